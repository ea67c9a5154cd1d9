#pragma once

#include "base/error.h"

#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// What the texts of every topic share: the titles of the boxes, the description of an error
// number, the names of the boxes, and the small pieces the texts are made of.

inline constexpr std::string_view kErrorTitle = "ERREUR !!";

inline constexpr std::string_view kWarningTitle = "Avertissement";

inline constexpr std::string_view kInformationTitle = "INFORMATION";

inline constexpr std::string_view kProgramTitle = "Pilotrame";

// The French description of an error number, as shown after the number.
std::string DescribeErrorCode(ErrorCode code);

// "13 Incompatibilité de type": the number, one space, the description.
std::string NumberAndDescription(const Error& error);

// The French name of a box, as its window shows it: "EFFACER, 1er point X", "SCRIPT FICHIER,
// ligne 2", "tableau, ligne 3, colonne 2" …; empty for Box::None.
std::string BoxName(const BoxRef& box);

// The name of the box an error concerns; its detail when it names no box (a key of a file).
std::string BoxName(const Error& error);

// "« text »", with the French quotation marks.
std::string InQuotes(std::string_view text);

// "3 plans": the count and its word, the singular below two as French has it.
std::string Counted(int count, std::string_view singular, std::string_view plural);

// "a, b ou c".
std::string Alternatives(const std::vector<std::string>& words);

// "code 9, tabulation": a control character as the messages name it.
std::string ControlCode(int code);

// "La case « EFFACER, 1er point X » ne contient pas un nombre : "abc"": the box of error, what is
// wrong with it, and what it holds (error.text).
std::string BoxText(const Error& error, std::string_view problem);

// "La case « INSERER, fichier » contient un caractère de contrôle (code 9, tabulation) qu'un script
// ne peut pas porter" (cause ControlCharacter).
std::string ControlCharacterText(const Error& error);

// Whether error is a full disk.
bool DiskFull(const Error& error);

// What a character the ANSI code page cannot hold does to a box or a name.
inline constexpr std::string_view kUnreceivedCharacter =
    "contient un caractère qu'AutoCAD ne recevrait pas";

// A box or cell (detail) holding a character (text) that the ANSI code page cannot hold
// (NotInCodePage): "La case « REMPLACER ATTRIBUT, ancienne valeur » contient un caractère
// qu'AutoCAD ne recevrait pas : « ☺ »".
std::string CharacterOutsideAnsiText(const Error& error);

// Steps that take a table or a grid past the positions a script can place (PastTheLimit):
// detail names the table or grid, text is the step as typed, number the limit passed; for a
// table, line is its first row past the limit, for a grid it is 0.
std::string PastTheLimitText(const Error& error);

} // namespace pilotrame
