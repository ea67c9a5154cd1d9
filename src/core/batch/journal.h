#pragma once

#include "base/result.h"
#include "batch/runner.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
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

// The words of the journal's files, which the user reads: each drawing's state, why it did not
// succeed, the head and end of its log. They are the program's texts (texts/journal.h), which
// stand above this topic, so the caller gives them. The header of resume.csv and the shape of its
// fields are the format's own and stay here.
class JournalWords {
public:
    virtual ~JournalWords() = default;
    // A drawing's state: "réussi", "échec" …
    virtual std::string_view state(DrawingState state) const = 0;
    // An exit code: "4", "0xC0000005 violation d'accès".
    virtual std::string exitCode(long long code) const = 0;
    // Why a drawing did not succeed: "code de sortie 4" …; empty for a drawing that did.
    virtual std::string failureReason(const DrawingRun& run) const = 0;
    // The head of a drawing's log, written when its console starts: the drawing, the command, the
    // start (startedAt, as LocalTimeText gives it); the console's output follows it.
    virtual std::string logHead(const DrawingRun& run, std::string_view commandLine,
                                std::string_view startedAt) const = 0;
    // The end of a drawing's log, after the output: the state with its code, reason or message,
    // the duration.
    virtual std::string logEnd(const DrawingRun& run) const = 0;
    // Where a log leaves out the middle of an output too long: keptMebibytes kept from its start,
    // its last endBytes, omittedBytes left out between them.
    virtual std::string outputCut(std::uint64_t keptMebibytes, std::size_t endBytes,
                                  std::uint64_t omittedBytes) const = 0;
};

// The output a log keeps whole; past it, only the output's end (ConsoleOutputReader's tail).
inline constexpr std::uint64_t kLogOutputLimit = 4 * 1024 * 1024;

// The log of one drawing, written while its console runs, in words: the head of its log when it
// starts, the console's output as it comes, then the end of its log. A log that cannot be made or
// written keeps its failure (operation WriteJournal, naming the log) and takes nothing more; the
// run goes on.
class DrawingLog {
public:
    DrawingLog() = default; // no log at all
    DrawingLog(std::string path, const DrawingRun& run, std::string_view commandLine,
               const JournalWords& words);
    ~DrawingLog();
    DrawingLog(const DrawingLog&) = delete;
    DrawingLog& operator=(const DrawingLog&) = delete;

    // The console's text, as it comes; it reaches the file at the latest with flush or finish.
    void write(std::string_view text);
    // What the log holds goes to the file now, so that a crash of the program loses none of it.
    void flush();
    // Ends the log: the end of the output past kLogOutputLimit (tail holds the output's last
    // bytes), then the end of the log. The log is closed.
    void finish(const DrawingRun& run, std::string_view tail);
    const std::optional<Error>& failure() const { return m_failure; }

private:
    void put(std::string_view bytes);
    void fail(int error);

    const JournalWords* m_words = nullptr;
    std::FILE* m_file = nullptr;
    std::string m_path;
    std::uint64_t m_seen = 0;    // bytes of output given
    std::uint64_t m_written = 0; // of them, written
    std::optional<Error> m_failure;
};

// The first line of resume.csv: the format's fixed words, which a spreadsheet's formulas may
// name.
inline constexpr std::string_view kSummaryCsvHeader =
    "Plan;Etat;Code de sortie;Début;Durée (s);Journal;Motif";

// "2026-12-07_14-03-12", local time: the name of a run's folder, sorted as runs follow.
std::string RunFolderName(std::chrono::system_clock::time_point when);

// "2026-12-07 14:03:12", local time.
std::string LocalTimeText(std::chrono::system_clock::time_point when);

// Creates the folder of a new run under the journal of scriptFolder (a folder ending in its
// separator) and returns it, ending in the separator: named by RunFolderName, with "-2", "-3" …
// added when a run of the same second has it already, then suffix ("-essai" for a trial).
Result<std::string> CreateRunFolder(const std::string& scriptFolder,
                                    std::chrono::system_clock::time_point when,
                                    std::string_view suffix = {});

// The name of the log of the drawing at index in a batch of count drawings: "0007_A01.dwg.log";
// the number keeps two drawings of the same name in different folders apart, and has as many
// digits as count needs (at least four), so that the logs sort in list order.
std::string LogName(std::size_t index, std::size_t count, const DrawingRun& run);

// The text of resume.csv: a byte-order mark, then the header and one line per drawing (path,
// state, exit code, start, duration in seconds, log, why it did not succeed), fields separated by
// ";" and quoted when they hold one, CR LF line ends; the state, the exit code and the reason in
// words.
std::string SummaryCsv(const std::vector<DrawingRun>& runs, const JournalWords& words);

// Writes resume.csv and echecs.txt (every drawing that did not succeed, those not ready included;
// empty when every drawing succeeded) into runFolder, each
// whole or not at all; returns the failure of each that could not be written (operation
// WriteJournal), none when both were.
std::vector<Error> WriteRunSummary(const std::string& runFolder,
                                   const std::vector<DrawingRun>& runs, const JournalWords& words);

} // namespace pilotrame
