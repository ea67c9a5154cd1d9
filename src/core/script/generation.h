#pragma once

#include "base/fileio.h"
#include "base/result.h"
#include "script/drawingsection.h"
#include "selection/filelist.h"

#include <cstddef>
#include <functional>
#include <string>
#include <unordered_set>

namespace pilotrame {

// A generation writes its script in pieces of whole sections, each piece handed to the system
// as soon as it holds this many bytes: few calls, and a buffer that stays small whatever the list.
inline constexpr std::size_t kScriptPieceSize = 256 * 1024;

// Succeeds when a folder or file name can go between the quotes of a script line; else fails
// with InvalidName (detail: path, the drawing's folder and name; text: the character outside the
// ANSI code page when it is one): a control character or a double quote, or a character the ANSI
// code page cannot hold, which AutoCAD would get as "?". scriptPath is the script's, for the
// failure.
Status CheckScriptPathPart(std::string_view part, const std::string& path,
                           const std::string& scriptPath);

// Appends the section of the drawing at position to the section buffer, in UTF-8.
using SectionWriter = std::function<Status(std::string& section, const ListPosition& position)>;

// Writes the script: walks the list and makes one section per file line, into a new file beside
// the script that takes its place only once every section is written (FileReplacement), so that
// the script on disk is always a whole one. Whatever fails leaves the previous script as it was:
// a script that cannot be made (CreateScript), a list that cannot be read or is faulty, even
// part-way (ReadList), a section that cannot be written, a full disk included (AppendScript),
// a folder or file name that cannot go between a script line's quotes, a control character, a
// double quote or a character the ANSI code page cannot hold (InvalidName, detail: the path,
// text: the character outside the code page when it is one), and whatever the section writer
// returns. Two generations of the same script at the same time each put a whole script in place;
// the last one stays. Drawings whose path (folder + name) is in skipped get no section; the list
// itself is not changed. The list is read as the script is written, listPieceSize bytes at a
// time (WalkFileList). Returns the number of sections written.
Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, const SectionWriter& writeSection,
                           const std::unordered_set<std::string>* skipped = nullptr,
                           std::size_t listPieceSize = kReadPieceSize);

// The same with the sections of a drawing job, which the writer gives in the ANSI code page
// (DrawingSectionWriter::appendAnsi): the same bytes, without converting each section.
Result<int> GenerateScript(const std::string& listPath, const std::string& scriptPath,
                           ListPosition& position, DrawingSectionWriter& writer,
                           const std::unordered_set<std::string>* skipped = nullptr,
                           std::size_t listPieceSize = kReadPieceSize);

} // namespace pilotrame
