#pragma once

#include "base/result.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
//     messages-echec=Commande inconnue|Unknown command|…
// Spaces around "=" and around a value are left out. A missing file, or a missing key, gives the
// defaults below; a key this version does not know is left alone.

// The messages of AutoCAD's console for an unknown command and for a drawing it cannot open or
// save, in French and in English: a console that prints one has failed, whatever its exit code.
std::vector<std::string> DefaultFailureMessages();

// What separates the failure messages in the file; a message cannot hold it.
inline constexpr char kFailureMessageSeparator = '|';

struct RunSettings {
    Engine engine = Engine::Autocad;
    std::string consolePath;
    int workers = 2;                // drawings at once, kMinWorkers to kMaxWorkers
    int timeoutSeconds = 600;       // per drawing, kMinTimeout to kMaxTimeout
    std::string language = "fr-FR"; // given to the console with /l; empty: no /l
    // A drawing whose console prints one of them ends "erreur de script"; empty: none is looked
    // for. Each is trimmed, none is empty, none holds kFailureMessageSeparator.
    std::vector<std::string> failureMessages = DefaultFailureMessages();

    bool operator==(const RunSettings&) const = default;
};

inline constexpr std::string_view kRunSettingsFileName = "execution.txt";
// Six short lines: a file far larger is not this program's, and is refused before it is read.
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

// The keys of the file, in the order it is written; a job file gives each of them after
// "execution.".
inline constexpr std::array<std::string_view, 6> kRunSettingKeys{
    "moteur", "console", "plans-simultanes", "delai", "langue", "messages-echec"};

// The failure messages of a text: its parts between kFailureMessageSeparator or line breaks, each
// trimmed of spaces and tabs, the empty ones left out.
std::vector<std::string> SplitFailureMessages(std::string_view text);

// The value of one key of kRunSettingKeys as the file writes it; empty for any other key.
std::string RunSettingValue(const RunSettings& run, std::string_view key);

// Reads the value of one key into run, for execution.txt and a job file alike. A faulty value
// fails as a faulty text (Cause::FaultyText) at line, naming the key (detail) and the value
// (text): an engine other than "autocad" or "console" (NotAWord; allowed: those two), a count of
// drawings at once or a time limit that is no whole number (NotAWholeNumber) or is outside its
// range (NumberOutOfRange; allowed: the lowest and the highest), a language that is not
// IsLanguageTag (NotALanguage). The failure messages are read as SplitFailureMessages reads them.
// A key that is none of kRunSettingKeys changes nothing.
Status ReadRunSetting(RunSettings& run, std::string_view key, std::string_view value, int line);

// The text of the file, keys in the order above, LF line ends.
std::string WriteRunSettings(const RunSettings& run);

// The settings of a file's text, each line read as ReadRunSetting reads it, its key and its value
// without the spaces and tabs around them; a line without "=" fails as MissingEquals. Lines may
// end in CR LF.
Result<RunSettings> ParseRunSettings(std::string_view text);

// The file at path; the defaults when it does not exist. A file that is not an ordinary file (a
// pipe, a device) or is larger than kRunSettingsSizeLimit fails (NotAFile, TooLarge).
Result<RunSettings> LoadRunSettings(const std::string& path);

// Writes the file at path; the previous one is replaced only once the new one is whole.
Status SaveRunSettings(const std::string& path, const RunSettings& run);

} // namespace pilotrame
