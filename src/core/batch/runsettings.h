#pragma once

#include "base/result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pilotrame {

// How "Executer script" runs a batch: one AutoCAD on one script for every drawing (the engine
// of old), or AutoCAD's console, one process per drawing, several at once, each with a time limit.
enum class Engine { Autocad, Console };

// The settings of the run. They live in a small UTF-8 key=value file of their own beside
// savescript.txt, whose fixed records stay as they are:
//     moteur=autocad|console
//     console=<the console program; empty: accoreconsole.exe in the AutoCAD program's folder>
//     plans-simultanes=2
//     delai=600
//     langue=fr-FR
// A missing file, or a missing key, gives the defaults below; a key this version does not know is
// left alone.
struct RunSettings {
    Engine engine = Engine::Autocad;
    std::string consolePath;
    int workers = 2;                // drawings at once, kMinWorkers to kMaxWorkers
    int timeoutSeconds = 600;       // per drawing, kMinTimeout to kMaxTimeout
    std::string language = "fr-FR"; // given to the console with /l; empty: no /l

    bool operator==(const RunSettings&) const = default;
};

inline constexpr std::string_view kRunSettingsFileName = "execution.txt";
// Five short lines: a file far larger is not this program's, and is refused before it is read.
inline constexpr std::uint64_t kRunSettingsSizeLimit = 64 * 1024;
inline constexpr int kMinWorkers = 1;
inline constexpr int kMaxWorkers = 16;
inline constexpr int kMinTimeout = 1;
inline constexpr int kMaxTimeout = 7 * 24 * 3600;
inline constexpr std::string_view kConsoleProgramName = "accoreconsole.exe";

// Whether text can be the console's language (/l): ASCII letters, digits and "-" only ("fr-FR"),
// or nothing. Any other character could end the word on the command line and add switches.
bool IsLanguageTag(std::string_view text);

// The console program of a run: the setting, or accoreconsole.exe in the folder of acadPath.
std::string ConsoleProgram(const RunSettings& run, std::string_view acadPath);

// The text of the file, keys in the order above, LF line ends.
std::string WriteRunSettings(const RunSettings& run);

// The settings of a file's text. A faulty value fails naming its key: an engine that is not
// "autocad" or "console" (TextFault::NotAWord), a count or a time limit that is no whole number
// (Cause::NotANumber) or outside its range (Cause::OutOfRange), a language that is not
// IsLanguageTag (TextFault::NotALanguage). Lines may end in CR LF.
Result<RunSettings> ParseRunSettings(std::string_view text);

// The file at path; the defaults when it does not exist. A file that is not an ordinary file (a
// pipe, a device) or is larger than kRunSettingsSizeLimit fails (NotAFile, TooLarge).
Result<RunSettings> LoadRunSettings(const std::string& path);

// Writes the file at path; the previous one is replaced only once the new one is whole.
Status SaveRunSettings(const std::string& path, const RunSettings& run);

} // namespace pilotrame
