// Runs the real program, copied into a temporary folder, as a user would start it.
#include "base/paths.h"
#include "base/text.h"
#include "cli/generate.h"
#include "config/settingsfile.h"
#include "support/processes.h"
#include "support/tempdir.h"
#include "texts/common.h"
#include "texts/lists.h"
#include "texts/scripts.h"
#include "usecases/autocadcommand.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace pilotrame {
namespace {

namespace fs = std::filesystem;
using test::FileExists;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// What a run of the command line left: its exit code and its two output streams.
struct Outcome {
    int code = -1; // -1 when it crashed or did not end
    std::string out;
    std::string err;
};

class ProgramCopy {
public:
    ProgramCopy() {
        m_program = (fs::path(m_dir.folder()) / fs::path(PILOTRAME_PROGRAM).filename()).string();
        fs::copy_file(PILOTRAME_PROGRAM, m_program);
    }

    std::string path(const std::string& name) const { return m_dir.path(name); }

    // Starts the program; it records what it shows in transcript and ends after quitMs.
    std::unique_ptr<QProcess> start(const std::string& transcript, int quitMs,
                                    const QStringList& arguments = {}) const {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("PILOTRAME_TEST_TRANSCRIPT"),
                           QString::fromStdString(path(transcript)));
        environment.insert(QStringLiteral("PILOTRAME_TEST_QUIT_MS"), QString::number(quitMs));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(QString::fromStdString(m_dir.folder()));
        process->start(QString::fromStdString(m_program), arguments);
        EXPECT_TRUE(process->waitForStarted(10000));
        return process;
    }

    // Runs the program to its end and returns its transcript.
    std::string run(int quitMs = 800, const QStringList& arguments = {}) const {
        auto process = start("transcript.txt", quitMs, arguments);
        EXPECT_TRUE(process->waitForFinished(30000));
        EXPECT_EQ(process->exitCode(), 0);
        return transcript("transcript.txt");
    }

    std::string transcript(const std::string& name) const {
        return test::FileExists(path(name)) ? ReadBytes(path(name)) : std::string();
    }

    // Waits until the transcript holds piece; false when it did not come in time.
    bool waitFor(const std::string& name, const std::string& piece, int ms = 15000) const {
        QElapsedTimer timer;
        timer.start();
        while (transcript(name).find(piece) == std::string::npos && timer.elapsed() < ms)
            QThread::msleep(50);
        return transcript(name).find(piece) != std::string::npos;
    }

    // Runs the program with a command line to its end, without a display. Its home folder is a
    // fresh folder, where the first-run values put the script.
    Outcome command(const std::vector<std::string>& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // No display of any kind: the command line must run where there is none (a scheduled
        // task, a remote shell); a window platform started by mistake would abort the program.
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), QString::fromStdString(home()));
        environment.remove(QStringLiteral("PILOTRAME_TEST_TRANSCRIPT"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QString::fromStdString(m_dir.folder()));
        QStringList list;
        for (const std::string& argument : arguments)
            list << QString::fromStdString(argument);
        process.start(QString::fromStdString(m_program), list);
        Outcome outcome;
        if (!process.waitForFinished(30000)) {
            ADD_FAILURE() << "the program did not end";
            process.kill();
            process.waitForFinished(5000);
            return outcome;
        }
        if (process.exitStatus() == QProcess::NormalExit)
            outcome.code = process.exitCode();
        // Windows' C runtime ends the lines of its text streams with CR LF.
        outcome.out = ToLf(process.readAllStandardOutput().toStdString());
        outcome.err = ToLf(process.readAllStandardError().toStdString());
        return outcome;
    }

    std::string home() const { return m_home.folder(); }
    std::string folder() const { return m_dir.folder(); }
    std::string program() const { return m_program; }

private:
    TempDir m_dir;
    TempDir m_home;
    std::string m_program;
};

TEST(StartupProgram, FirstStartCreatesTheSettingsFileAndShowsTheWindow) {
    ProgramCopy copy;
    EXPECT_EQ(copy.run(), "shown|Pilotrame\n");
    const std::string settings = ReadBytes(copy.path("savescript.txt"));
    ASSERT_EQ(settings.size(), 60600u);
    EXPECT_EQ(settings.substr(SettingsFile::kRecordOffset + 60, 2), "A4");

    // A second start loads the file without a word.
    EXPECT_EQ(copy.run(), "shown|Pilotrame\nshown|Pilotrame\n");
}

TEST(StartupProgram, DamagedStateShowsTheErrorThenTheWindow) {
    ProgramCopy copy;
    copy.run();
    std::string settings = ReadBytes(copy.path("savescript.txt"));
    settings.replace(SettingsFile::kRecordOffset + 14 * 60, 4, "Oui?");
    test::WriteBytes(copy.path("savescript.txt"), settings);
    std::remove(copy.path("transcript.txt").c_str());
    EXPECT_EQ(copy.run(), "message|Pilotrame|Erreur sur le fichier de réglages : \\n" +
                              copy.path("savescript.txt") +
                              "\\n13 Incompatibilité de type\\nRéglage 14, « Paysage », illisible "
                              ": « Oui? » au lieu de True, False, Vrai, Faux ou un nombre "
                              "entier.\nshown|Pilotrame\n");
}

TEST(StartupProgram, SecondCopyEndsAtOnceAndBringsTheFirstForward) {
    ProgramCopy copy;
    auto first = copy.start("first.txt", 8000);
    ASSERT_TRUE(copy.waitFor("first.txt", "shown"));

    auto second = copy.start("second.txt", 8000);
    ASSERT_TRUE(second->waitForFinished(6000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(copy.transcript("second.txt"), "");

    copy.waitFor("first.txt", "brought-to-front", 5000);
    EXPECT_EQ(copy.transcript("first.txt"), "shown|Pilotrame\nbrought-to-front\n");
    first->kill();
    first->waitForFinished(5000);
}

// A job file given alone (a double-click on it) opens in the window, or in the copy already
// running; a faulty one is named over the window.
TEST(StartupProgram, AJobFileGivenAloneOpensInTheWindowOrInTheCopyRunning) {
    ProgramCopy copy;
    const std::string job = copy.path("faux.pilotrame");
    WriteBytes(job, "pilotrame-travail=1\nzoom=peut-etre\n");
    const std::string alone = copy.run(800, {QString::fromStdString(job)});
    const std::string messageLine = alone.substr(0, alone.find('\n') + 1);
    EXPECT_TRUE(messageLine.starts_with("message|" + std::string(kErrorTitle) + "|")) << alone;
    EXPECT_NE(messageLine.find(job), std::string::npos) << alone;
    EXPECT_EQ(alone, messageLine + "shown|Pilotrame\n");

    auto first = copy.start("first.txt", 8000);
    ASSERT_TRUE(copy.waitFor("first.txt", "shown"));
    auto second = copy.start("second.txt", 8000, {QString::fromStdString(job)});
    ASSERT_TRUE(second->waitForFinished(6000));
    copy.waitFor("first.txt", "message|", 5000);
    EXPECT_EQ(copy.transcript("first.txt"), "shown|Pilotrame\nbrought-to-front\n" + messageLine);
    first->kill();
    first->waitForFinished(5000);
}

// ---- The command line: no window, the codes of --help, French messages on standard error ----

int CodeOf(ExitCode code) {
    return static_cast<int>(code);
}

// A program copy with a settings file whose script folder is "scripts" beside the program, a
// drawing a.dwg and the list Liste01.txt naming it.
class CommandLineProgram : public ::testing::Test {
protected:
    CommandLineProgram() {
        std::filesystem::create_directory(copy.path("scripts"));
        WriteBytes(copy.path("a.dwg"), test::kDrawingBytes);
        WriteBytes(copy.path("Liste01.txt"), "\v" + copy.folder() + "\r\n\ta.dwg\r\n");
    }

    // Writes savescript.txt; returns its bytes.
    std::string writeSettings(const std::string& acadPath = "acad-program") {
        Settings stored =
            DefaultSettings(ProposeSettingValues({"Imprimante"}, kNativeFolderStyle, ""));
        stored.combo[slot::scriptFolder] = scriptFolder();
        stored.combo[slot::acadPath] = acadPath;
        EXPECT_TRUE(SettingsFile(copy.path("savescript.txt")).SaveSettings(stored));
        return ReadBytes(copy.path("savescript.txt"));
    }

    std::string writeJob(const std::string& body) {
        WriteBytes(copy.path("travail.pilotrame"), "pilotrame-travail=1\n" + body);
        return copy.path("travail.pilotrame");
    }

    std::string scriptFolder() const { return copy.path("scripts") + kNativeSeparator; }
    std::string scriptPath() const { return scriptFolder() + "Pilotrame.scr"; }

#ifndef _WIN32
    // The settings, the stand-in console two at a time and a list of these empty drawings, whose
    // names tell the stand-in what to do; returns the console's path.
    std::string prepareConsoleRun(std::initializer_list<const char*> names) {
        writeSettings();
        const std::string console = copy.path("console");
        std::filesystem::copy_file(PILOTRAME_STANDIN_CONSOLE, console);
        WriteBytes(copy.path("execution.txt"), "console=" + console + "\nplans-simultanes=2\n");
        std::string list = "\v" + copy.folder() + "\r\n";
        for (const char* name : names) {
            WriteBytes(copy.path(name), test::kDrawingBytes);
            list += std::string("\t") + name + "\r\n";
        }
        WriteBytes(copy.path("Liste01.txt"), list);
        return console;
    }

    // Starts --run on the zoom job and waits until processes of console run.
    void startConsoleRun(QProcess& process, const std::string& console, int processes) {
        process.setWorkingDirectory(QString::fromStdString(copy.folder()));
        process.start(QString::fromStdString(copy.program()),
                      {QStringLiteral("--generate"), QStringLiteral("--run"),
                       QStringLiteral("--job"),
                       QString::fromStdString(writeJob("mode=operations\nzoom=1\n"))});
        ASSERT_TRUE(process.waitForStarted(10000));
        QElapsedTimer timer;
        timer.start();
        while (test::CountProcessesOf(console) < processes && timer.elapsed() < 15000)
            QThread::msleep(20);
        EXPECT_EQ(test::CountProcessesOf(console), processes);
    }

    // The folders of the journal's runs.
    std::vector<std::filesystem::path> journalRuns() const {
        std::vector<std::filesystem::path> runs;
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(scriptFolder()) / "Pilotrame-journal"))
            runs.push_back(entry.path());
        return runs;
    }
#endif

    // The zoom job's section for a drawing of the program folder.
    std::string zoomSection(const std::string& name) const {
        return "_.open\r\n\"" + copy.folder() + name + "\"\r\nzoom\r\net\r\n_qsave\r\n_close\r\n";
    }

    // Copies the stand-in for AutoCAD under a folder with a space; returns its path, short
    // enough for the 60 characters of a setting.
    std::string installRecorder() const {
        const std::filesystem::path folder = std::filesystem::path(copy.folder()) / "A C";
        std::filesystem::create_directories(folder);
        const std::filesystem::path target = folder / "acad";
        std::filesystem::copy_file(PILOTRAME_ARGRECORDER, target);
        return target.string();
    }

    ProgramCopy copy;
};

TEST_F(CommandLineProgram, AnswersWithTheCodeAndTheTextOfEachCase) {
    writeSettings();
    WriteBytes(copy.path("faulty.pilotrame"), "pilotrame-travail=1\nzoom=peut-etre\n");
    const std::string missingList = copy.path("absente.txt");
    struct Case {
        std::vector<std::string> arguments;
        ExitCode code;
        std::vector<std::string> out; // pieces of standard output
        std::vector<std::string> err; // pieces of standard error
    };
    const Case cases[] = {
        {{"--help"},
         ExitCode::Success,
         {"--generate", "--job FICHIER", "--list FICHIER", "--execute", "--version",
          "Codes de sortie", "  2  arguments incorrects", "  7  dessins pas prêts"},
         {}},
        {{"-h"}, ExitCode::Success, {"Utilisation :"}, {}},
        {{"--version"}, ExitCode::Success, {"Pilotrame " PILOTRAME_VERSION "\n"}, {}},
        {{"--bogus"},
         ExitCode::BadArguments,
         {},
         {"option inconnue : « --bogus »\nPour l'aide : pilotrame --help\n"}},
        {{"--generate", "--generate"}, ExitCode::BadArguments, {}, {"donnée deux fois"}},
        {{"--job", "x.pilotrame"}, ExitCode::BadArguments, {}, {"ne vont qu'avec --generate"}},
        {{"--generate", "--list"}, ExitCode::BadArguments, {}, {"attend un nom de fichier"}},
        {{"--generate", "--list", missingList},
         ExitCode::UnreadableList,
         {},
         {std::string(kErrorTitle) + "\n" + ToLf(ListFailureText(missingList)) + "\n"}},
        {{"--generate", "--job", copy.path("faulty.pilotrame")},
         ExitCode::BadJobFile,
         {},
         {std::string(kErrorTitle) + "\n", "faulty.pilotrame", "ligne 2"}},
        {{"--generate", "--job", copy.path("absent.pilotrame")},
         ExitCode::BadJobFile,
         {},
         {"absent.pilotrame"}},
    };
    for (const Case& c : cases) {
        const std::string name = c.arguments.front() + (c.arguments.size() > 1 ? " ..." : "");
        const Outcome outcome = copy.command(c.arguments);
        EXPECT_EQ(outcome.code, CodeOf(c.code)) << name << "\n" << outcome.err;
        for (const std::string& piece : c.out)
            EXPECT_NE(outcome.out.find(piece), std::string::npos) << name << ": " << outcome.out;
        for (const std::string& piece : c.err)
            EXPECT_NE(outcome.err.find(piece), std::string::npos) << name << ": " << outcome.err;
        if (c.out.empty()) {
            EXPECT_EQ(outcome.out, "") << name;
        }
        if (c.err.empty()) {
            EXPECT_EQ(outcome.err, "") << name;
        }
    }
    // None of them got as far as writing a script.
    EXPECT_FALSE(FileExists(scriptPath()));
}

TEST_F(CommandLineProgram, GenerateWritesTheScriptAndLeavesTheSettingsFileAlone) {
    const std::string stored = writeSettings();
    const Outcome outcome =
        copy.command({"--generate", "--job", writeJob("mode=operations\nzoom=1\n")});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(ReadBytes(scriptPath()), zoomSection("a.dwg"));
    EXPECT_EQ(ReadBytes(copy.path("savescript.txt")), stored);
}

TEST_F(CommandLineProgram, ListOfTheCommandLineReplacesListe01) {
    writeSettings();
    WriteBytes(copy.path("b.dwg"), test::kDrawingBytes);
    WriteBytes(copy.path("autre.txt"), "\v" + copy.folder() + "\r\n\tb.dwg\r\n");
    const Outcome outcome = copy.command({"--generate", "--list=" + copy.path("autre.txt"),
                                          "--job=" + writeJob("mode=operations\nzoom=1\n")});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(ReadBytes(scriptPath()), zoomSection("b.dwg"));
}

TEST_F(CommandLineProgram, WithoutASettingsFileTheFirstRunValuesServeAndNoFileIsMade) {
    const Outcome outcome =
        copy.command({"--generate", "--job", writeJob("mode=operations\nzoom=1\n")});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    // The first-run script folder: the home folder, c:\ on Windows.
    const std::string script =
        WithTrailingSeparator(
            DefaultSettings(ProposeSettingValues({}, kNativeFolderStyle, copy.home()))
                .scriptFolder()) +
        "Pilotrame.scr";
    EXPECT_EQ(ReadBytes(script), zoomSection("a.dwg"));
    std::remove(script.c_str());
    EXPECT_FALSE(FileExists(copy.path("savescript.txt")));
}

TEST_F(CommandLineProgram, DamagedSettingsFileStopsWithItsCodeAndStaysAsItIs) {
    std::string settings = writeSettings();
    settings.replace(SettingsFile::kRecordOffset + 14 * 60, 4, "Oui?");
    WriteBytes(copy.path("savescript.txt"), settings);
    const Outcome outcome = copy.command({"--generate"});
    EXPECT_EQ(outcome.code, CodeOf(ExitCode::SettingsUnreadable));
    EXPECT_NE(outcome.err.find("13"), std::string::npos) << outcome.err;
    EXPECT_EQ(ReadBytes(copy.path("savescript.txt")), settings);
    EXPECT_FALSE(FileExists(scriptPath()));
}

// Nothing waits on a pipe or reads a device without end: each is refused with the code of the
// file's kind, and so is a settings file cut short; no script is written.
TEST_F(CommandLineProgram, WhatIsNoOrdinaryFileOrIsCutShortEndsWithTheCodeOfItsKind) {
    const std::string whole = writeSettings();
    std::filesystem::create_directory(copy.path("dossier"));
    std::vector<std::string> paths = {copy.path("dossier")};
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(copy.path("tube").c_str(), 0600), 0);
    paths.push_back(copy.path("tube"));
    if (FileExists("/dev/zero"))
        paths.push_back("/dev/zero");
#endif
    for (const std::string& path : paths) {
        for (const auto& [option, code] :
             {std::pair{"--job", ExitCode::BadJobFile}, {"--list", ExitCode::UnreadableList}}) {
            const Outcome outcome = copy.command({"--generate", option, path});
            EXPECT_EQ(outcome.code, CodeOf(code)) << option << " " << path;
            EXPECT_NE(outcome.err.find("« " + path + " » n'est pas un fichier ordinaire"),
                      std::string::npos)
                << outcome.err;
        }
    }
    WriteBytes(copy.path("savescript.txt"), whole.substr(0, SettingsFile::kSettingsEnd - 1));
    const Outcome damaged = copy.command({"--generate"});
    EXPECT_EQ(damaged.code, CodeOf(ExitCode::SettingsUnreadable));
    EXPECT_NE(damaged.err.find("est endommagé : il s'arrête avant la fin des réglages"),
              std::string::npos)
        << damaged.err;
    EXPECT_FALSE(FileExists(scriptPath()));
    EXPECT_FALSE(FileExists(copy.path("Pilotrame.scr")));
}

TEST_F(CommandLineProgram, ExecuteStartsAutocadOnTheScript) {
    const std::string recorder = installRecorder();
    writeSettings(recorder);
    const Outcome outcome = copy.command({"--generate", "--execute"});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    const std::string recorded =
        (std::filesystem::path(recorder).parent_path() / "arguments.txt").string();
    QElapsedTimer timer;
    timer.start();
    while (!FileExists(recorded) && timer.elapsed() < 10000)
        QThread::msleep(50);
    QThread::msleep(100); // let the stand-in finish writing
    // A folder with a space ("A C") in the program's path splits nothing.
    EXPECT_EQ(FileExists(recorded) ? ReadBytes(recorded) : std::string(),
              "/B\n" + BuildAutocadCommand(recorder, scriptFolder()).arguments.back() + "\n");
    EXPECT_TRUE(ReadBytes(scriptPath()).starts_with("_.open\r\n\"" + copy.path("a.dwg")));
}

TEST_F(CommandLineProgram, ExecuteWithAMissingDrawingLeavesAutocadStopped) {
    const std::string recorder = installRecorder();
    writeSettings(recorder);
    WriteBytes(copy.path("Liste01.txt"), "\v" + copy.folder() + "\r\n\ta.dwg\r\n\tabsent.dwg\r\n");
    const Outcome outcome = copy.command({"--generate", "--execute"});
    EXPECT_EQ(outcome.code, CodeOf(ExitCode::DrawingsNotReady));
    EXPECT_EQ(outcome.err,
              std::string(kErrorTitle) + "\n" +
                  ToLf(DrawingsNotReadyText(2, 1, copy.path("absent.dwg") + "\tintrouvable\r\n")) +
                  "\n");
    QThread::msleep(500);
    EXPECT_FALSE(
        FileExists((std::filesystem::path(recorder).parent_path() / "arguments.txt").string()));
    // The script is written all the same, for the user to look at.
    EXPECT_TRUE(FileExists(scriptPath()));
}

TEST_F(CommandLineProgram, AutocadThatCannotStartHasItsOwnCode) {
    // Within the 60 characters of the setting.
    const std::string missing =
        kWindowsNames ? "C:\\pas-de-programme" : copy.path("pas-de-programme");
    writeSettings(missing);
    const Outcome outcome = copy.command({"--generate", "--execute"});
    EXPECT_EQ(outcome.code, CodeOf(ExitCode::AutocadNotStarted));
    EXPECT_NE(outcome.err.find("programme introuvable.\n" + missing), std::string::npos)
        << outcome.err;
}

TEST_F(CommandLineProgram, RunsBesideAnOpenWindowWithoutDisturbingIt) {
    writeSettings();
    auto window = copy.start("window.txt", 8000);
    ASSERT_TRUE(copy.waitFor("window.txt", "shown"));

    const Outcome outcome =
        copy.command({"--generate", "--job", writeJob("mode=operations\nzoom=1\n")});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_EQ(ReadBytes(scriptPath()), zoomSection("a.dwg"));
    QThread::msleep(300);
    EXPECT_EQ(copy.transcript("window.txt"), "shown|Pilotrame\n"); // not brought forward
    EXPECT_EQ(window->state(), QProcess::Running);
    window->kill();
    window->waitForFinished(5000);
}

// ---- --run: the batch on AutoCAD's console ----

#ifndef _WIN32
// Ctrl-C on a run of consoles that never end: the program stops them, leaves none behind, writes
// the journal and ends with the code of an interrupted run.
// With markers in its script text, each drawing of a run on the console gets a script of its
// own beside its log, its markers filled in; what the check of the text finds is said first.
TEST_F(CommandLineProgram, ARunWithMarkersGivesEachDrawingItsOwnScript) {
    prepareConsoleRun({"a 1.dwg", "b.dwg"});
    const Outcome outcome =
        copy.command({"--generate", "--run", "--job",
                      writeJob("mode=script\nscript.texte=_saveas\\nDXF\\n\"<DOSSIER><NOM>.dxf\"\\n"
                               "(princ \"<NUMERO> <CHEMIN>\")\\npurger\n")});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("attention : script, ligne 5 : \xC2\xAB purger \xC2\xBB"),
              std::string::npos)
        << outcome.err;
    const std::vector<std::filesystem::path> runs = journalRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_FALSE(FileExists((runs.front() / "console.scr").string()));
    const std::string folder = copy.folder();
    for (const auto& [number, name] : {std::pair<std::string, std::string>{"1", "a 1"}, {"2", "b"}})
        EXPECT_EQ(ReadBytes((runs.front() / ("000" + number + "_" + name + ".dwg.scr")).string()),
                  "_saveas\r\nDXF\r\n\"" + folder + name + ".dxf\"\r\n(princ \"" + number + " " +
                      folder + name + ".dwg\")\r\npurger\r\n_qsave\r\n");
    // Each saved the DXF its own script names.
    EXPECT_TRUE(FileExists(copy.path("a 1.dxf")));
    EXPECT_TRUE(FileExists(copy.path("b.dxf")));
}

TEST_F(CommandLineProgram, AnInterruptedRunLeavesNoConsoleAndAJournal) {
    // b's console starts a child of its own, which must end with it.
    const std::string console = prepareConsoleRun({"a_hang.dwg", "b_child_hang.dwg", "c_hang.dwg"});
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("HOME"), QString::fromStdString(copy.home()));
    process.setProcessEnvironment(environment);
    startConsoleRun(process, console, 3);
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGINT), 0);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished(5000);
        FAIL() << "the program did not end on SIGINT";
    }
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), CodeOf(ExitCode::RunInterrupted));
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_NE(err.find("] arrêté   a_hang.dwg   "), std::string::npos) << err;
    EXPECT_NE(err.find("2 arrêté(s), 1 non lancé(s)"), std::string::npos) << err;
    EXPECT_EQ(test::ProcessesLeftOf(console), 0);

    const std::vector<std::filesystem::path> runs = journalRuns();
    ASSERT_EQ(runs.size(), 1u);
    const std::string summary = ReadBytes((runs.front() / "resume.csv").string());
    EXPECT_NE(summary.find("a_hang.dwg;arrêté;"), std::string::npos) << summary;
    EXPECT_NE(summary.find("b_child_hang.dwg;arrêté;"), std::string::npos) << summary;
    EXPECT_NE(summary.find("c_hang.dwg;non lancé;"), std::string::npos) << summary;
    EXPECT_NE(ReadBytes((runs.front() / "echecs.txt").string()).find("\ta_hang.dwg\r\n"),
              std::string::npos);
}

// Standard error closed by the reader early (`2>&1 | head -3`) ends no run: it goes to its end
// and writes its journal whole.
TEST_F(CommandLineProgram, AClosedPipeEndsNoRun) {
    prepareConsoleRun({"a_sleep300.dwg"});
    // Its standard error is a pipe whose reader has gone before the program writes.
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    const std::string job = writeJob("mode=operations\nzoom=1\n");
    const std::string program = copy.program();
    const char* argv[] = {program.c_str(), "--generate", "--run", "--job", job.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(ends[0]);
    ::close(ends[1]);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::vector<std::filesystem::path> runs = journalRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(FileExists((runs.front() / "echecs.txt").string()));
}

// A crash of the program, which nothing in it can catch, leaves no console and nothing that a
// console started, even what left the console's session; each log holds what its console wrote
// up to the crash.
TEST_F(CommandLineProgram, AKilledRunLeavesNoProcessBehind) {
    const std::string console = prepareConsoleRun({"a_child_hang.dwg", "b_escape_hang.dwg"});
    QProcess process;
    // Two consoles, each with the child it started.
    startConsoleRun(process, console, 4);
    // The consoles have written their first lines, and wait.
    const std::vector<std::filesystem::path> runs = journalRuns();
    ASSERT_EQ(runs.size(), 1u);
    const auto logsHold = [&runs](const std::string& piece) {
        int holding = 0;
        for (const char* log : {"0001_a_child_hang.dwg.log", "0002_b_escape_hang.dwg.log"})
            holding += ReadBytes((runs.front() / log).string()).find(piece) != std::string::npos;
        return holding == 2;
    };
    QElapsedTimer timer;
    timer.start();
    while (!logsHold("Exécution du script") && timer.elapsed() < 5000)
        QThread::msleep(50);
    EXPECT_TRUE(logsHold("Plan : " + copy.folder()));
    EXPECT_TRUE(logsHold("Exécution du script"));
    ASSERT_EQ(::kill(static_cast<pid_t>(process.processId()), SIGKILL), 0);
    process.waitForFinished(5000);
    EXPECT_EQ(test::ProcessesLeftOf(console), 0);
    EXPECT_TRUE(logsHold("Exécution du script"));
}

// A trial runs copies of the first drawings on the console, beside each other in a folder of the
// journal that ends in "-essai"; the originals keep their bytes and their times.
TEST_F(CommandLineProgram, ATrialRunsCopiesAndLeavesTheOriginalsAsTheyWere) {
    prepareConsoleRun({"a1.dwg", "a2.dwg", "a3.dwg"});
    std::vector<std::filesystem::file_time_type> times;
    for (const char* name : {"a1.dwg", "a2.dwg", "a3.dwg"})
        times.push_back(std::filesystem::last_write_time(copy.path(name)));
    const Outcome outcome = copy.command(
        {"--generate", "--run", "--essai", "2", "--job", writeJob("mode=operations\nzoom=1\n")});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("Essai sur copies : 2 plans copiés"), std::string::npos)
        << outcome.err;
    const std::vector<std::filesystem::path> runs = journalRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs.front().filename().string().ends_with("-essai"));
    const std::filesystem::path plans = runs.front() / "plans";
    for (const char* name : {"a1.dwg", "a2.dwg"}) {
        // The stand-in saved each copy by adding a line to it.
        EXPECT_NE(ReadBytes((plans / name).string()), test::kDrawingBytes) << name;
    }
    EXPECT_FALSE(FileExists((plans / "a3.dwg").string()));
    EXPECT_NE(ReadBytes((runs.front() / "resume.csv").string()).find("a2.dwg;réussi;"),
              std::string::npos);
    int i = 0;
    for (const char* name : {"a1.dwg", "a2.dwg", "a3.dwg"}) {
        EXPECT_EQ(ReadBytes(copy.path(name)), test::kDrawingBytes) << name;
        EXPECT_EQ(std::filesystem::last_write_time(copy.path(name)), times[i++]) << name;
    }
}
#endif

// --verifier writes nothing and says by its code what it found: drawings not ready (7), a script
// with an error (13, which wins), nothing (0).
TEST_F(CommandLineProgram, VerifierReportsWithoutWritingAnything) {
    writeSettings();
    WriteBytes(copy.path("new.dwg"), "AC1032");
    const std::string script = writeJob("mode=script\nscript.texte=zoom\\n_close\n"
                                        "execution.moteur=console\n");
    struct Case {
        std::string list;
        std::vector<std::string> arguments;
        ExitCode code;
        std::string finding;
    };
    const std::string folder = "\v" + copy.folder() + "\r\n";
    const Case cases[] = {
        {folder + "\ta.dwg\r\n", {}, ExitCode::Success, "Plans : 1 plan vérifié, 0 problème"},
        {folder + "\ta.dwg\r\n\tnew.dwg\r\n",
         {},
         ExitCode::DrawingsNotReady,
         "erreur\t" + copy.path("new.dwg") +
             "\tformat plus récent que Autocad LT 2000 (AutoCAD 2018)\n"},
        {folder + "\tnew.dwg\r\n",
         {"--job", script},
         ExitCode::ScriptHasErrors,
         "erreur\tSCRIPT FICHIER, ligne 2, colonne 1\t« _close »"},
    };
    for (const Case& c : cases) {
        WriteBytes(copy.path("Liste01.txt"), c.list);
        std::vector<std::string> arguments = {"--verifier"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Outcome outcome = copy.command(arguments);
        EXPECT_EQ(outcome.code, CodeOf(c.code)) << outcome.err;
        EXPECT_NE(outcome.out.find(c.finding), std::string::npos) << outcome.out;
    }
    EXPECT_FALSE(FileExists(scriptPath()));
    EXPECT_FALSE(FileExists(scriptFolder() + "Pilotrame-journal"));
}

// A renaming job tried from the command line shows the names and renames nothing.
TEST_F(CommandLineProgram, ATrialOfARenamingShowsTheNamesOnly) {
    writeSettings();
    const std::string job = writeJob("mode=operations\nrenommer=1\nrenommer.regle=ajouter\n"
                                     "renommer.texte=x-\n");
    const Outcome outcome = copy.command({"--generate", "--essai", "3", "--job", job});
    EXPECT_EQ(outcome.code, 0) << outcome.err;
    EXPECT_NE(outcome.out.find(copy.path("a.dwg") + "\tx-a.dwg\n"), std::string::npos)
        << outcome.out;
    EXPECT_TRUE(FileExists(copy.path("a.dwg")));
    EXPECT_FALSE(FileExists(copy.path("x-a.dwg")));
    const Outcome refused = copy.command(
        {"--generate", "--essai", "3", "--job", writeJob("mode=operations\nzoom=1\n")});
    EXPECT_EQ(refused.code, CodeOf(ExitCode::BadArguments));
}

} // namespace
} // namespace pilotrame
