#pragma once

#include "base/result.h"
#include "batch/runner.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pilotrame {

// The journal of batch runs: one folder per run beside the script,
//     <script folder>Pilotrame-journal/<date>_<time>/
// holding one .log per drawing, resume.csv (every drawing and what became of it, for a French
// spreadsheet program) and echecs.txt (the drawings that did not succeed, as Liste01.txt lists
// them, so that it can be given to --list or copied over the list).

inline constexpr std::string_view kJournalFolderName = "Pilotrame-journal";
inline constexpr std::string_view kSummaryFileName = "resume.csv";
inline constexpr std::string_view kFailuresFileName = "echecs.txt";

// "réussi", "échec", "délai dépassé", "arrêté", "non lancé", "en cours": the words of the logs,
// of resume.csv, and of the window and the command line.
std::string_view DrawingStateText(DrawingState state);

// Why a drawing failed: " (code de sortie 4)", or its reason in brackets; empty for any other
// state.
std::string DrawingFailureDetail(const DrawingRun& run);

// Seconds as the journal and the command line show them: one decimal, a comma ("3,2").
std::string SecondsText(double seconds);

// The head of a drawing's log: the drawing, the command, the state with its code or reason, the
// duration; the console's output follows it.
std::string DrawingLogHead(const DrawingRun& run, std::string_view commandLine);

// The first line of resume.csv.
inline constexpr std::string_view kSummaryCsvHeader =
    "Plan;Etat;Code de sortie;Début;Durée (s);Journal";

// "2026-12-07_14-03-12", local time: the name of a run's folder, sorted as runs follow.
std::string RunFolderName(std::chrono::system_clock::time_point when);

// "2026-12-07 14:03:12", local time.
std::string LocalTimeText(std::chrono::system_clock::time_point when);

// Creates the folder of a new run under the journal of scriptFolder (a folder ending in its
// separator) and returns it, ending in the separator: named by RunFolderName, with "-2", "-3" …
// added when a run of the same second has it already.
Result<std::string> CreateRunFolder(const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point when);

// The name of the log of the drawing at index in its batch: "0007_A01.dwg.log"; the number keeps
// two drawings of the same name in different folders apart, and the logs in list order.
std::string LogName(std::size_t index, const DrawingRun& run);

// Writes the log of the drawing at index: DrawingLogHead, then the console's output.
Status WriteDrawingLog(const std::string& runFolder, std::size_t index, const DrawingRun& run,
                       std::string_view commandLine);

// The text of resume.csv: a byte-order mark, then the header and one line per drawing (path,
// state, exit code, start, duration in seconds, log), fields separated by ";" and quoted when they
// hold one, CR LF line ends.
std::string SummaryCsv(const std::vector<DrawingRun>& runs);

// Writes resume.csv and echecs.txt (empty when every drawing succeeded) into runFolder.
Status WriteRunSummary(const std::string& runFolder, const std::vector<DrawingRun>& runs);

} // namespace pilotrame
