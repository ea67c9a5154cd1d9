#pragma once

#include "base/paths.h"
#include "base/result.h"
#include "cli/arguments.h"
#include "config/settings.h"
#include "process/process.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace pilotrame {

// What a generation from the command line needs from the platform.
struct GenerateEnvironment {
    std::string programFolder;   // holds savescript.txt and Liste01.txt; ends in a separator
    char decimalSeparator = ','; // the user's, for the coordinates of the job
    // The settings used when there is no settings file: those a first start would create,
    // DefaultSettings(ProposeSettingValues(printers, kNativeFolderStyle, homeFolder)).
    Settings firstRunSettings = DefaultSettings(ProposeSettingValues({}, kNativeFolderStyle, ""));
    char separator = kNativeSeparator;            // ends the script folder
    bool windowsNames = kNativeSeparator == '\\'; // see BuildAutocadCommand
    // Starts AutoCAD for --execute; null: AutoCAD cannot be started.
    ProgramStarter* starter = nullptr;
    // The width of the terminal that standard error is, for the status line of --run; 0 when
    // standard error is no terminal (a file, a pipe).
    int errColumns = 0;
    // Where a result asked for goes (the report of --verifier, the names of a renaming's trial);
    // null: with the messages.
    std::ostream* out = nullptr;
    // The time that names the journal's folder of a trial; now when not set.
    std::optional<std::chrono::system_clock::time_point> now;
};

// Runs --generate without any window and returns the exit code: reads the settings file without
// ever creating or changing it (the first-run settings when it is missing), takes the job from
// the job file or a freshly started window's job, writes the script from the list (the job file
// and list paths of the command line, else Liste01.txt of the program folder) into the script
// folder and, with --execute, checks the drawings and starts AutoCAD on it when all are ready. A
// job with "RENOMMER FICHIERS" ticked in its panel is refused: renaming is never done unattended.
// Failure messages go to err in French, as the windows would show them.
//
// With --run, the batch runs on AutoCAD's console whatever engine the settings name, with the
// settings of the run of execution.txt (beside the settings file, read only), over which those
// the job carries, then --workers and --timeout, win. Before anything is written it refuses a
// faulty execution.txt (SettingsUnreadable) and a console program that is no program it can run
// (AutocadNotStarted); then, as PrepareConsoleRun does, a job with "REMPLACE TEXTE (vba)" or with
// lines the console cannot run (GenerationFailed), drawings that are not ready (DrawingsNotReady;
// with --skip-unready they are named and left out, "non prêt" in the journal) and a list that
// leaves none to start (NothingToProcess). Pilotrame.scr is left alone: the console's script and
// the journal go into a new folder of the journal. The progress (RunProgress) and the summary go to
// err; a closed pipe there ends no run. Ctrl-C, or a request to end the program, stops the run: no
// more consoles, those running ended, the journal written (RunInterrupted). SomeDrawingsFailed when
// a drawing did not succeed, one left out as not ready included; JournalNotWritten, over both, when
// a file of the journal could not be written.
//
// With --essai N, "Executer script" is tried on copies of the first N drawings (RunTrial): with
// --run on the console, with --execute on AutoCAD, each with its exit codes; the copies and the
// journal go into a new folder of the journal ending in "-essai", which is named at the end. With
// a job that renames files, with or without --run and --execute, the old and new names of every
// listed file and where the renaming would stop go to out (RenamePreviewText), nothing is
// renamed, and the code is GenerationFailed when it would stop, Success otherwise. Without --run
// or --execute any other job is refused (BadArguments).
ExitCode RunGenerate(const CommandLine& command, const GenerateEnvironment& env, std::ostream& err);

// Runs --verifier: the job and the settings as RunGenerate takes them (the engine of
// execution.txt and the job, not forced), then Verify; the report goes to out, failures to err.
// ScriptHasErrors when the script has an error, else DrawingsNotReady when a drawing is not
// ready, else Success. Writes nothing.
ExitCode RunVerify(const CommandLine& command, const GenerateEnvironment& env, std::ostream& err);

} // namespace pilotrame
