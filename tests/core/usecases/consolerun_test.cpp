#include "usecases/consolerun.h"

#include "batch/journal.h"
#include "script/drawingsection.h"
#include "support/lines.h"
#include "support/processes.h"
#include "support/tempdir.h"
#include "texts/journal.h"
#include "texts/runs.h"
#include "texts/scripts.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pilotrame {
namespace {

using namespace std::chrono_literals;
using test::ReadBytes;
using test::SplitLines;
using test::TempDir;
using test::WriteBytes;
using Lines = std::vector<std::string>;

Settings BaseSettings() {
    return DefaultSettings(ProposeSettingValues({"P1"}, FolderStyle::Windows, ""));
}

// The console runs what a drawing's section of Pilotrame.scr runs, less the opening (the console
// opens the drawing) and the closing (it ends with it): for every set of operations, the console
// script is the section without its first two lines and "_close", with "_qsave" for the "o" that
// answers the question of saving at closing.
TEST(ConsoleScript, IsTheSectionWithoutOpeningAndClosing) {
    struct Case {
        const char* what;
        void (*setUp)(DrawingJob&, Settings&);
    };
    const Case cases[] = {
        {"plot, set-up not saved", [](DrawingJob&, Settings&) {}},
        {"plot, set-up saved", [](DrawingJob&, Settings& s) { s.check[0] = 1; }},
        {"plot, single window",
         [](DrawingJob&, Settings& s) { s.setOption(slot::sdiSingle, true); }},
        {"purge and zoom",
         [](DrawingJob& j, Settings&) {
             j.plot = false;
             j.purge = j.zoomExtents = true;
         }},
        {"every operation",
         [](DrawingJob& j, Settings& s) {
             j.plot = false;
             j.purge = j.zoomExtents = j.erase = j.insert = j.insertFile = true;
             j.replaceAttribute = j.transfer = j.dwgToDxf = true;
             j.erasePoints = {"1.5", "2", "3", "-4"};
             s.check[1] = 1;
         }},
        {"DWG to DXF single window",
         [](DrawingJob& j, Settings& s) {
             j.plot = false;
             j.transfer = true;
             s.setOption(slot::sdiSingle, true);
         }},
        {"script text",
         [](DrawingJob& j, Settings&) {
             j.plot = false;
             j.customScript = true;
             j.scriptText = "ligne\r\n_close\r\n";
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DrawingJob job;
        Settings settings = BaseSettings();
        c.setUp(job, settings);
        std::string section;
        ASSERT_TRUE(WriteDrawingSection(section, job, settings, {"C:\\p\\", "A.dwg"}, '.'));
        Lines expected = SplitLines(section);
        expected.erase(expected.begin(), expected.begin() + 2);
        // The section's own "_close" is its last but one or last line; a script text may hold
        // one of the user's, which stays.
        const bool answersQuestion = expected.back() == "o";
        if (answersQuestion)
            expected.pop_back();
        if (!expected.empty() && expected.back() == "_close" && settings.sdiMultiple())
            expected.pop_back();
        if (answersQuestion)
            expected.push_back("_qsave");
        const Result<std::string> console = WriteConsoleScript(job, settings, '.');
        ASSERT_TRUE(console);
        EXPECT_EQ(SplitLines(*console), expected);
    }
}

TEST(RunSettings, TextRoundTripsAndFaultsNameTheirKey) {
    RunSettings run;
    EXPECT_EQ(WriteRunSettings(run),
              "moteur=autocad\nconsole=\nplans-simultanes=2\ndelai=600\nlangue=fr-FR\n"
              "messages-echec=Commande inconnue|Unknown command|Le fichier de dessin n'est pas "
              "valide|Drawing file is not valid|Impossible d'ouvrir le dessin|Cannot open "
              "drawing|Impossible d'enregistrer le dessin|Unable to save drawing\n");
    run.engine = Engine::Console;
    run.consolePath = "C:\\AutoCAD 2024\\accoreconsole.exe";
    run.workers = 16;
    run.timeoutSeconds = 1;
    run.language = "";
    run.failureMessages = {"Erreur", "d'écriture"};
    EXPECT_EQ(*ParseRunSettings(WriteRunSettings(run)), run);
    // Spaces around "=" and around each message are left out, never the key.
    run = *ParseRunSettings("delai = 5\n\tmessages-echec\t=  a b | |c|\n");
    EXPECT_EQ(run.timeoutSeconds, 5);
    EXPECT_EQ(run.failureMessages, (std::vector<std::string>{"a b", "c"}));
    EXPECT_TRUE(ParseRunSettings("messages-echec=\n")->failureMessages.empty());
    EXPECT_EQ(*ParseRunSettings("\xEF\xBB\xBFmoteur=console\r\ninconnue=1\r\n"),
              (RunSettings{Engine::Console, "", 2, 600, "fr-FR"}));

    struct Case {
        std::string text;
        Cause cause;
        std::string detail;
    };
    const Case cases[] = {
        {"moteur=Console\n", Cause::FaultyText, "moteur"},
        {"plans-simultanes=0\n", Cause::FaultyText, "plans-simultanes"},
        {"plans-simultanes=17\n", Cause::FaultyText, "plans-simultanes"},
        {"plans-simultanes=deux\n", Cause::FaultyText, "plans-simultanes"},
        {"delai=-5\n", Cause::FaultyText, "delai"},
        {"delai=1.5\n", Cause::FaultyText, "delai"},
        {"delai\n", Cause::FaultyText, ""},
    };
    for (const Case& c : cases) {
        const Result<RunSettings> parsed = ParseRunSettings(c.text);
        ASSERT_FALSE(parsed) << c.text;
        EXPECT_EQ(parsed.error().cause, c.cause) << c.text;
        EXPECT_EQ(parsed.error().detail, c.detail) << c.text;
    }
}

TEST(RunSettings, TheConsoleIsBesideAutocadUnlessChosen) {
    RunSettings run;
    EXPECT_EQ(ConsoleProgram(run, "C:\\Program Files\\AutoCAD 2024\\acad.exe"),
              "C:\\Program Files\\AutoCAD 2024\\accoreconsole.exe");
    EXPECT_EQ(ConsoleProgram(run, "/opt/acad/acad"), "/opt/acad/accoreconsole.exe");
    EXPECT_EQ(ConsoleProgram(run, ""), "accoreconsole.exe");
    run.consolePath = "D:\\console.exe";
    EXPECT_EQ(ConsoleProgram(run, "C:\\acad.exe"), "D:\\console.exe");
}

// The settings file is read whole: what is not an ordinary file, or is far too large, is refused
// rather than read for ever; a missing one gives the defaults.
TEST(RunSettings, TheFileIsReadOnlyWhenItIsAnOrdinaryFileOfItsSize) {
    TempDir dir;
    const std::string path = dir.path(std::string(kRunSettingsFileName));
    EXPECT_EQ(*LoadRunSettings(path), RunSettings{});
    WriteBytes(path, "moteur=console\n" + std::string(kRunSettingsSizeLimit, '#'));
    const Result<RunSettings> large = LoadRunSettings(path);
    ASSERT_FALSE(large);
    EXPECT_EQ(large.error().cause, Cause::TooLarge);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    const Result<RunSettings> folder = LoadRunSettings(path);
    ASSERT_FALSE(folder);
    EXPECT_EQ(folder.error().cause, Cause::NotAFile);
    EXPECT_NE(RunSettingsFailureText(folder.error()).find(path), std::string::npos);
}

TEST(Journal, SummaryOpensInAFrenchSpreadsheet) {
    const auto drawing = [](std::string folder, std::string name, DrawingState state,
                            long long code, std::string reason, double seconds) {
        DrawingRun run;
        run.folder = std::move(folder);
        run.name = std::move(name);
        run.state = state;
        run.exitCode = code;
        if (!reason.empty()) {
            run.noExitCode = ChildOutcome{};
            run.noExitCode->reason = std::move(reason);
        }
        run.seconds = seconds;
        return run;
    };
    const DrawingRun done = drawing("C:\\p\\", "A01.dwg", DrawingState::Succeeded, 0, "", 3.24);
    const DrawingRun failed =
        drawing("C:\\p;q\\", "B \"1\".dwg", DrawingState::Failed, 3, "", 0.05);
    const DrawingRun refused =
        drawing("C:\\p\\", "C.dwg", DrawingState::Failed, 0, "introuvable", 0);
    const DrawingRun late = drawing("C:\\p\\", "D.dwg", DrawingState::TimedOut, 0, "", 600);
    const DrawingRun never = drawing("C:\\p\\", "E.dwg", DrawingState::NotStarted, 0, "", 0);
    const DrawingRun crashed = drawing("C:\\p\\", "F.dwg", DrawingState::Failed, 0xC0000005, "", 1);
    DrawingRun unready = drawing("C:\\p\\", "G.dwg", DrawingState::NotReady, 0, "", 0);
    unready.problem = DrawingProblem::ReadOnly;
    const std::string csv =
        SummaryCsv({done, failed, refused, late, never, crashed, unready}, JournalTexts());
    const Lines lines = SplitLines(csv);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_TRUE(csv.starts_with("\xEF\xBB\xBFPlan;Etat;Code de sortie;Début;"));
    const std::string started = LocalTimeText({});
    EXPECT_EQ(lines[1], "C:\\p\\A01.dwg;réussi;0;" + started + ";3,2;0001_A01.dwg.log;");
    EXPECT_EQ(lines[2], "\"C:\\p;q\\B \"\"1\"\".dwg\";échec;3;" + started +
                            ";0,1;\"0002_B \"\"1\"\".dwg.log\";code de sortie 3");
    EXPECT_EQ(lines[3], "C:\\p\\C.dwg;échec;;" + started +
                            ";0,0;0003_C.dwg.log;la console n'a pas pu être lancée : introuvable");
    EXPECT_EQ(lines[4], "C:\\p\\D.dwg;délai dépassé;;" + started + ";600,0;0004_D.dwg.log;");
    EXPECT_EQ(lines[5], "C:\\p\\E.dwg;non lancé;;;;;");
    EXPECT_EQ(lines[6], "C:\\p\\F.dwg;échec;0xC0000005 violation d'accès;" + started +
                            ";1,0;0006_F.dwg.log;code de sortie 0xC0000005 violation d'accès");
    EXPECT_EQ(lines[7], "C:\\p\\G.dwg;non prêt;;;;;en lecture seule");
}

// The whole use case on the stand-in console: the journal holds a log per drawing, the summary
// and the failures as a list that the next run can take.
struct ConsoleRunTest : ::testing::Test {
    TempDir dir;
    ScriptRequest request;
    RunSettings run;
    BatchControl control;
    struct Quiet final : BatchObserver {
        void drawingStarted(std::size_t, const DrawingRun&) override {}
        void drawingFinished(std::size_t, const DrawingRun&) override {}
    } quiet;

    ConsoleRunTest() {
        request.listPath = dir.path("Liste01.txt");
        request.scriptPath = dir.path("Pilotrame.scr");
        request.settings = BaseSettings();
        request.job.plot = false;
        request.job.zoomExtents = true;
        run.engine = Engine::Console;
        run.consolePath = test::InstallHelperProgram(dir, PILOTRAME_STANDIN_CONSOLE);
        run.timeoutSeconds = 2;
    }
    ~ConsoleRunTest() override { EXPECT_EQ(test::ProcessesLeftOf(run.consolePath), 0); }

    void list(const std::vector<std::string>& names) {
        std::string text = "\v" + dir.folder() + "\r\n";
        for (const std::string& name : names) {
            text += "\t" + name + "\r\n";
            WriteBytes(dir.path(name), test::kDrawingBytes);
        }
        WriteBytes(request.listPath, text);
    }
};

TEST_F(ConsoleRunTest, TheJournalTellsWhatHappenedAndTheFailuresRunAgain) {
    // a.dwg, listed twice, runs once.
    list({"a.dwg", "b_exit4.dwg", "c_hang.dwg", "d.dwg", "a.dwg"});
    const auto now = std::chrono::system_clock::now();
    const Result<ConsoleRunPlan> plan = PrepareConsoleRun(request, run, dir.folder(), nullptr, now);
    ASSERT_TRUE(plan);
    ASSERT_EQ(plan->stop, RunStop::None);
    EXPECT_EQ(plan->runFolder, dir.folder() + "Pilotrame-journal" + kNativeSeparator +
                                   RunFolderName(now) + kNativeSeparator);
    EXPECT_EQ(ReadBytes(plan->batch.scriptPath), "zoom\r\net\r\n_qsave\r\n");
    EXPECT_EQ(plan->duplicates, 1);

    const std::vector<DrawingRun> runs = RunConsolePlan(*plan, JournalTexts(), quiet, control).runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[1].state, DrawingState::Failed);
    EXPECT_EQ(runs[2].state, DrawingState::TimedOut);
    for (std::size_t i = 0; i < runs.size(); ++i)
        EXPECT_TRUE(test::FileExists(plan->runFolder + LogName(i, runs.size(), runs[i]))) << i;
    EXPECT_NE(
        ReadBytes(plan->runFolder + LogName(1, runs.size(), runs[1])).find("code de sortie 4"),
        std::string::npos);
    EXPECT_EQ(ReadBytes(plan->runFolder + "resume.csv"), SummaryCsv(runs, JournalTexts()));
    EXPECT_EQ(ReadBytes(plan->runFolder + "echecs.txt"),
              "\v" + dir.folder() + "\r\n\tb_exit4.dwg\r\n\tc_hang.dwg\r\n");

    // Again, with the same script, only the failures, in a folder of their own.
    const Result<ConsoleRunPlan> again = PlanRunAgain(*plan, runs, dir.folder(), now);
    ASSERT_TRUE(again);
    EXPECT_NE(again->runFolder, plan->runFolder);
    EXPECT_EQ(again->batch.scriptPath, again->runFolder + "console.scr");
    EXPECT_EQ(ReadBytes(again->batch.scriptPath), ReadBytes(plan->batch.scriptPath));
    const std::vector<DrawingRun> second =
        RunConsolePlan(*again, JournalTexts(), quiet, control).runs;
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].name, "b_exit4.dwg");
    EXPECT_EQ(ReadBytes(dir.path("a.dwg")), std::string(test::kDrawingBytes) + "fait\n");
    EXPECT_EQ(ReadBytes(dir.path("b_exit4.dwg")),
              std::string(test::kDrawingBytes) + "fait\nfait\n");
}

// The drawings left out at the check ("Ignorer ces plans") are in the journal as not ready; a run
// again leaves them out while they still are, and runs them once they are ready.
TEST_F(ConsoleRunTest, DrawingsLeftOutAtTheCheckRunAgainOnceReady) {
    struct Skip final : DrawingReview {
        DrawingCheckAnswer review(const DrawingCheck&) override {
            return DrawingCheckAnswer::SkipProblems;
        }
    } skip;
    list({"a.dwg", "absent.dwg"});
    std::filesystem::remove(ToFsPath(dir.path("absent.dwg")));
    const auto now = std::chrono::system_clock::now();
    const Result<ConsoleRunPlan> plan = PrepareConsoleRun(request, run, dir.folder(), &skip, now);
    ASSERT_TRUE(plan);
    const std::vector<DrawingRun> runs = RunConsolePlan(*plan, JournalTexts(), quiet, control).runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].state, DrawingState::NotReady);
    EXPECT_EQ(ReadBytes(plan->runFolder + "echecs.txt"),
              "\v" + dir.folder() + "\r\n\tabsent.dwg\r\n");

    const Result<ConsoleRunPlan> still = PlanRunAgain(*plan, runs, dir.folder(), now);
    ASSERT_TRUE(still);
    ASSERT_EQ(still->batch.drawings.size(), 1u);
    EXPECT_EQ(still->batch.drawings[0].state, DrawingState::NotReady);
    WriteBytes(dir.path("absent.dwg"), test::kDrawingBytes);
    const Result<ConsoleRunPlan> ready = PlanRunAgain(*plan, runs, dir.folder(), now);
    ASSERT_TRUE(ready);
    EXPECT_EQ(RunConsolePlan(*ready, JournalTexts(), quiet, control).runs[0].state,
              DrawingState::Succeeded);
}

// A journal that cannot be written is told file by file: here the run's folder is removed during
// the run (a full disk is in the command line's tests).
TEST_F(ConsoleRunTest, AJournalThatCannotBeWrittenIsToldFileByFile) {
    struct Remover final : BatchObserver {
        std::string folder;
        void drawingStarted(std::size_t, const DrawingRun&) override {
            std::error_code ignored;
            std::filesystem::remove_all(ToFsPath(folder), ignored);
        }
        void drawingFinished(std::size_t, const DrawingRun&) override {}
    } remover;
    list({"a.dwg", "b.dwg"});
    const Result<ConsoleRunPlan> plan =
        PrepareConsoleRun(request, run, dir.folder(), nullptr, std::chrono::system_clock::now());
    ASSERT_TRUE(plan);
    remover.folder = plan->runFolder;
    std::vector<std::string> failed;
    for (const Error& failure :
         RunConsolePlan(*plan, JournalTexts(), remover, control).journalFailures) {
        EXPECT_EQ(failure.operation, Operation::WriteJournal);
        failed.push_back(failure.path.substr(plan->runFolder.size()));
    }
    EXPECT_EQ(failed, (std::vector<std::string>{"0001_a.dwg.log", "0002_b.dwg.log", "resume.csv",
                                                "echecs.txt"}));
}

// With markers each drawing runs a script of its own, which a run made again copies for the
// drawings that did not succeed; a name that cannot go into a script stops the run before
// anything is made.
TEST_F(ConsoleRunTest, EachDrawingRunsItsOwnScriptAgain) {
    list({"a.dwg", "b_exit4.dwg"});
    request.job.customScript = true;
    request.job.scriptText = "(princ \"<NOM> <NUMERO>\")";
    const auto now = std::chrono::system_clock::now();
    const Result<ConsoleRunPlan> plan = PrepareConsoleRun(request, run, dir.folder(), nullptr, now);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->batch.scriptPath, "");
    ASSERT_EQ(plan->batch.drawings.size(), 2u);
    EXPECT_EQ(plan->batch.drawings[1].scriptPath, plan->runFolder + "0002_b_exit4.dwg.scr");
    EXPECT_EQ(ReadBytes(plan->batch.drawings[1].scriptPath),
              "(princ \"b_exit4 2\")\r\nzoom\r\net\r\n_qsave\r\n");
    const std::vector<DrawingRun> runs = RunConsolePlan(*plan, JournalTexts(), quiet, control).runs;
    EXPECT_EQ(runs[0].state, DrawingState::Succeeded);
    EXPECT_EQ(runs[1].state, DrawingState::Failed);

    const Result<ConsoleRunPlan> again = PlanRunAgain(*plan, runs, dir.folder(), now);
    ASSERT_TRUE(again);
    ASSERT_EQ(again->batch.drawings.size(), 1u);
    EXPECT_EQ(again->batch.drawings[0].scriptPath, again->runFolder + "0001_b_exit4.dwg.scr");
    EXPECT_EQ(ReadBytes(again->batch.drawings[0].scriptPath),
              ReadBytes(plan->batch.drawings[1].scriptPath));
    EXPECT_EQ(RunConsolePlan(*again, JournalTexts(), quiet, control).runs[0].state,
              DrawingState::Failed);

    // A list in UTF-8 may name what the ANSI code page cannot hold.
    WriteBytes(request.listPath, "\xEF\xBB\xBF\v" + dir.folder() + "\r\n\ta.dwg\r\n\tc☺.dwg\r\n");
    const Result<ConsoleRunPlan> refused =
        PrepareConsoleRun(request, run, dir.folder(), nullptr, now);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().cause, Cause::InvalidName);
    EXPECT_EQ(refused.error().detail, dir.folder() + "c☺.dwg");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("Pilotrame-journal")),
                            std::filesystem::directory_iterator()),
              2);
}

TEST_F(ConsoleRunTest, WhatStopsARunBeforeItStarts) {
    list({"a.dwg"});
    request.job.replaceText = true;
    const Result<ConsoleRunPlan> vba =
        PrepareConsoleRun(request, run, dir.folder(), nullptr, std::chrono::system_clock::now());
    ASSERT_FALSE(vba);
    EXPECT_EQ(vba.error().cause, Cause::NeedsVba);
    EXPECT_EQ(GenerationFailureText(vba.error()), kConsoleHasNoVbaText);

    request.job.replaceText = false;
    list({});
    const Result<ConsoleRunPlan> empty =
        PrepareConsoleRun(request, run, dir.folder(), nullptr, std::chrono::system_clock::now());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->stop, RunStop::NothingToProcess);
    EXPECT_FALSE(test::FileExists(dir.path("Pilotrame-journal")));
}

} // namespace
} // namespace pilotrame
