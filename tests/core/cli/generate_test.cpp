#include "cli/generate.h"

#include "base/paths.h"
#include "base/text.h"
#include "config/settingsfile.h"
#include "job/jobfile.h"
#include "support/childprocess.h"
#include "support/processes.h"
#include "support/promptly.h"
#include "support/recordingstarter.h"
#include "support/tempdir.h"
#include "texts/commandline.h"
#include "texts/common.h"
#include "texts/jobs.h"
#include "texts/runs.h"
#include "texts/scripts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>
#include <tuple>

#ifdef _WIN32
#include "batch/interrupt.h"

#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pilotrame {
namespace {

using test::FileExists;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using Args = std::vector<std::string>;

// A folder with a short path: settings slots hold at most 60 bytes, and the script folder of a
// test must fit in one even under the long temporary folders of Windows.
class ShortDir {
public:
    ShortDir() {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000;
        const auto base = std::filesystem::temp_directory_path() /
                          ("pj" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(base);
        m_folder = WithTrailingSeparator(FromFsPath(base));
    }
    ~ShortDir() {
        std::error_code ignored;
        std::filesystem::remove_all(ToFsPath(m_folder), ignored);
    }
    ShortDir(const ShortDir&) = delete;
    ShortDir& operator=(const ShortDir&) = delete;
    const std::string& folder() const { return m_folder; }

private:
    std::string m_folder;
};

struct RunGenerateTest : ::testing::Test {
    TempDir program;
    ShortDir scripts;
    GenerateEnvironment env;
    std::ostringstream err;
    test::RecordingStarter starter;
    std::vector<ProgramStart>& started = starter.started;
    std::string settingsPath = program.path("savescript.txt");
    std::string listPath = program.path("Liste01.txt");
    std::string scriptPath = scripts.folder() + "Pilotrame.scr";

    RunGenerateTest() {
        env.programFolder = program.folder();
        env.decimalSeparator = ',';
        env.separator = kNativeSeparator;
        env.windowsNames = false;
        env.firstRunSettings = settings();
        env.firstRunSettings.combo[slot::acadPath] = "first-run-acad";
        env.starter = &starter;
        WriteBytes(listPath, "\v" + program.folder() + "\r\n\ta.dwg\r\n");
        WriteBytes(program.path("a.dwg"), test::kDrawingBytes);
    }

    static Settings settings() {
        return DefaultSettings(ProposeSettingValues({"Imprimante"}, FolderStyle::Windows, ""));
    }

    // Writes savescript.txt with the script folder and the AutoCAD program of the test.
    std::string writeSettings(const std::string& acadPath = "acad-program") {
        Settings stored = settings();
        stored.combo[slot::scriptFolder] = scripts.folder();
        stored.combo[slot::acadPath] = acadPath;
        SettingsFile file(settingsPath);
        EXPECT_TRUE(file.SaveSettings(stored));
        return ReadBytes(settingsPath);
    }

    std::string writeJob(const std::string& body) {
        const std::string path = program.path("travail.pilotrame");
        WriteBytes(path, "pilotrame-travail=1\n" + body);
        return path;
    }

    ExitCode run(Args arguments) {
        arguments.insert(arguments.begin(), "--generate");
        const Result<CommandLine> command = ParseCommandLine(arguments);
        EXPECT_TRUE(command);
        return RunGenerate(*command, env, err);
    }

    std::string section(const std::string& body) {
        return "_.open\r\n\"" + program.folder() + "a.dwg\"\r\n" + body;
    }
};

TEST_F(RunGenerateTest, JobFileAndSettingsFileGiveTheScript) {
    const std::string stored = writeSettings();
    const std::string job = writeJob("mode=operations\nzoom=1\npurger=1\npurger.mode=tout\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::Success);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadBytes(scriptPath),
              section("zoom\r\net\r\npurger\r\nto\r\n\r\nn\r\n_qsave\r\n_close\r\n"));
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(ReadBytes(settingsPath), stored);
}

// What the check of the script text finds is printed first, and changes neither the script nor
// the exit code.
TEST_F(RunGenerateTest, TheFindingsOfTheScriptTextAreSaidAndTheScriptWritten) {
    writeSettings();
    const std::string job = writeJob("mode=script\nscript.texte=calque\\n(setq a 1\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::Success);
    EXPECT_EQ(err.str(),
              "attention : script, ligne 1 : « calque » ouvre une boîte de dialogue, qui arrête "
              "un traitement sans surveillance : écrivez « -calque », sa forme en ligne de "
              "commande\nerreur : script, ligne 2 : l'expression AutoLISP qui commence ici ne se "
              "ferme pas : AutoCAD prendrait toutes les lignes suivantes pour la suite de "
              "l'expression\n");
    EXPECT_EQ(ReadBytes(scriptPath), section("calque\r\n(setq a 1\r\n_qsave\r\n_close\r\n"));
}

TEST_F(RunGenerateTest, ASingleWindowVersionClosesNoDrawingAsInTheWindow) {
    Settings stored = settings();
    stored.combo[slot::scriptFolder] = scripts.folder();
    stored.combo[slot::acadVersion] = "Autocad 14";
    ASSERT_TRUE(SettingsFile(settingsPath).SaveSettings(stored));
    const std::string job = writeJob("mode=operations\nzoom=1\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::Success);
    EXPECT_EQ(ReadBytes(scriptPath), section("zoom\r\net\r\n_qsave\r\n"));
}

TEST_F(RunGenerateTest, WithoutAJobTheFreshWindowPlots) {
    writeSettings();
    EXPECT_EQ(run({}), ExitCode::Success);
    const std::string script = ReadBytes(scriptPath);
    EXPECT_TRUE(script.starts_with(section("-traceur\r\n"))) << script;
    EXPECT_NE(script.find("Imprimante\r\n"), std::string::npos);
}

TEST_F(RunGenerateTest, MissingSettingsFileUsesTheFirstRunSettingsAndIsNotCreated) {
    env.firstRunSettings.combo[slot::scriptFolder] = scripts.folder();
    const std::string job = writeJob("mode=operations\nzoom=1\n");
    EXPECT_EQ(run({"--job", job, "--execute"}), ExitCode::Success);
    EXPECT_EQ(ReadBytes(scriptPath), section("zoom\r\net\r\n_qsave\r\n_close\r\n"));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, "first-run-acad");
    EXPECT_FALSE(FileExists(settingsPath));
}

TEST_F(RunGenerateTest, ExecuteStartsAutocadOnTheScriptWhenEveryDrawingIsReady) {
    const std::string stored = writeSettings();
    EXPECT_EQ(run({"--execute"}), ExitCode::Success);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, "acad-program");
    EXPECT_EQ(started[0].arguments, (std::vector<std::string>{"/B", scriptPath}));
    EXPECT_TRUE(started[0].maximised);
    EXPECT_EQ(ReadBytes(settingsPath), stored);
}

// Nobody is there to answer for a drawing AutoCAD could not open: the script is written for the
// user to look at, and AutoCAD stays stopped. Without --execute nothing is checked.
TEST_F(RunGenerateTest, ACheckThatFindsProblemsKeepsAutocadStopped) {
    writeSettings();
    std::filesystem::remove(program.path("a.dwg"));
    EXPECT_EQ(run({}), ExitCode::Success);
    EXPECT_EQ(err.str(), "");
    std::filesystem::remove(scriptPath);

    EXPECT_EQ(run({"--execute"}), ExitCode::DrawingsNotReady);
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(err.str(),
              std::string(kErrorTitle) + "\n" +
                  ToLf(DrawingsNotReadyText(1, 1, program.path("a.dwg") + "\tintrouvable\r\n")) +
                  "\n");
    EXPECT_TRUE(ReadBytes(scriptPath).starts_with(section("")));
}

// Nothing processed is not a success: --execute on a list that leaves no drawing starts nothing
// and says so with its own code; without --execute the empty script is written, as the window's
// "Générer script" writes it.
TEST_F(RunGenerateTest, NothingToProcessHasItsOwnCode) {
    writeSettings();
    WriteBytes(listPath, "");
    EXPECT_EQ(run({"--execute"}), ExitCode::NothingToProcess);
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(err.str(),
              std::string(kErrorTitle) + "\n" + std::string(kNothingToProcessText) + "\n");
    EXPECT_EQ(ReadBytes(scriptPath), "");
    err.str("");
    EXPECT_EQ(run({}), ExitCode::Success);
    EXPECT_EQ(err.str(), "");
}

// A list edited on Linux ends its lines in LF alone, a hand-made one may lack the separator at
// the end of a folder: both still name the drawings they list.
TEST_F(RunGenerateTest, AListWithOtherLineEndsGivesTheSameScript) {
    writeSettings();
    const std::string folder = program.folder();
    const std::string bare = folder.substr(0, folder.size() - 1);
    for (const std::string& list : {"\v" + folder + "\n\ta.dwg\n", "\v" + folder + "\r\ta.dwg",
                                    "\v" + bare + "\r\n\ta.dwg\r\n"}) {
        WriteBytes(listPath, list);
        EXPECT_EQ(run({"--execute"}), ExitCode::Success) << err.str();
        EXPECT_TRUE(ReadBytes(scriptPath).starts_with(section("-traceur\r\n")));
    }
    EXPECT_EQ(started.size(), 3u);
}

TEST_F(RunGenerateTest, AutocadThatCannotStartIsReported) {
    writeSettings();
    starter.succeeds = false;
    EXPECT_EQ(run({"--execute"}), ExitCode::AutocadNotStarted);
    EXPECT_NE(
        err.str().find("AutoCAD n'a pas pu être démarré : programme introuvable.\nacad-program"),
        std::string::npos)
        << err.str();

    err.str("");
    writeSettings("");
    EXPECT_EQ(run({"--execute"}), ExitCode::AutocadNotStarted);
    EXPECT_NE(err.str().find("Aucun programme AutoCAD"), std::string::npos);
}

TEST_F(RunGenerateTest, ListOfTheCommandLineReplacesListe01) {
    writeSettings();
    const std::string other = program.path("autre liste.txt");
    WriteBytes(other, "\v" + program.folder() + "\r\n\tb.dwg\r\n");
    const std::string job = writeJob("mode=operations\n");
    EXPECT_EQ(run({"--job", job, "--list", other}), ExitCode::Success);
    EXPECT_EQ(ReadBytes(scriptPath),
              "_.open\r\n\"" + program.folder() + "b.dwg\"\r\n_qsave\r\n_close\r\n");
}

TEST_F(RunGenerateTest, MissingListFailsWithTheListMessageAndLeavesTheScript) {
    writeSettings();
    WriteBytes(scriptPath, "previous\r\n");
    const std::string missing = program.path("absente.txt");
    EXPECT_EQ(run({"--list", missing}), ExitCode::UnreadableList);
    EXPECT_EQ(err.str(), "ERREUR !!\nListe des fichiers sélectionnés en lecture seule ou "
                         "inexistant: \n" +
                             missing + "\nLe script précédent est resté tel qu'il était.\n");
    EXPECT_EQ(ReadBytes(scriptPath), "previous\r\n");

    err.str("");
    std::filesystem::remove(ToFsPath(listPath));
    EXPECT_EQ(run({}), ExitCode::UnreadableList);
    EXPECT_NE(err.str().find(listPath), std::string::npos);
}

// A list whose file comes before any folder would open a drawing of the folder the program runs
// in: refused as an unreadable list, naming its line, and AutoCAD is not started.
TEST_F(RunGenerateTest, AListWithoutItsFolderStartsNothing) {
    writeSettings();
    WriteBytes(scriptPath, "previous\r\n");
    WriteBytes(listPath, "\ta.dwg\r\n");
    EXPECT_EQ(run({"--execute"}), ExitCode::UnreadableList);
    EXPECT_NE(err.str().find(listPath + "\nligne 1 : le fichier « a.dwg » vient avant toute ligne "
                                        "de dossier"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(ReadBytes(scriptPath), "previous\r\n");
    EXPECT_TRUE(started.empty());
}

// A key this version does not know, a mistyped one among them, is named with its line; the job
// runs with what this version reads.
TEST_F(RunGenerateTest, AnUnknownJobKeyIsNamedAndTheRunGoesOn) {
    writeSettings();
    const std::string job = writeJob("mode=operations\npurger.mod=1\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::Success);
    EXPECT_EQ(err.str(),
              "Avertissement\n" + ToLf(UnknownJobKeysText(job, {{"purger.mod", 3}})) + "\n");
    EXPECT_EQ(ReadBytes(scriptPath), section("_qsave\r\n_close\r\n"));
}

TEST_F(RunGenerateTest, BadJobFileStopsBeforeAnything) {
    writeSettings();
    const std::string job = writeJob("mode=operations\nzoom=oui\n");
    EXPECT_EQ(run({"--job", job, "--execute"}), ExitCode::BadJobFile);
    EXPECT_NE(err.str().find("ligne 3 : « zoom » vaut « oui »"), std::string::npos) << err.str();
    EXPECT_FALSE(FileExists(scriptPath));
    EXPECT_TRUE(started.empty());

    err.str("");
    EXPECT_EQ(run({"--job", program.path("absent.pilotrame")}), ExitCode::BadJobFile);
    EXPECT_NE(err.str().find("Impossible de lire le fichier de travail"), std::string::npos);
}

TEST_F(RunGenerateTest, AJobThatRenamesIsRefused) {
    writeSettings();
    const std::string job = writeJob("mode=operations\nrenommer=1\n");
    EXPECT_EQ(run({"--job", job, "--execute"}), ExitCode::GenerationFailed);
    EXPECT_NE(err.str().find(kRenameNotFromCommandLineText), std::string::npos);
    EXPECT_FALSE(FileExists(scriptPath));
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(FileExists(program.folder() + "Liste01.txt"));
}

TEST_F(RunGenerateTest, UnreadableSettingsFileIsNotReplaced) {
    // A folder in place of the file cannot be read, whoever runs the test.
    std::filesystem::create_directory(ToFsPath(settingsPath));
    EXPECT_EQ(run({}), ExitCode::SettingsUnreadable);
    EXPECT_NE(err.str().find(settingsPath), std::string::npos) << err.str();
    EXPECT_TRUE(std::filesystem::is_directory(ToFsPath(settingsPath)));
    EXPECT_FALSE(FileExists(scriptPath));
}

TEST_F(RunGenerateTest, ScriptFolderThatDoesNotExistFailsTheGeneration) {
    Settings stored = settings();
    stored.combo[slot::scriptFolder] = scripts.folder() + "absent";
    SettingsFile file(settingsPath);
    ASSERT_TRUE(file.SaveSettings(stored));
    EXPECT_EQ(run({"--execute"}), ExitCode::GenerationFailed);
    EXPECT_NE(err.str().find("absent" + std::string(1, kNativeSeparator) + " » n'existe pas"),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(started.empty());
}

TEST_F(RunGenerateTest, BoxThatHoldsNoNumberFailsTheGeneration) {
    writeSettings();
    const std::string job = writeJob("mode=operations\neffacer=1\neffacer.x1=abc\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::GenerationFailed);
    EXPECT_NE(err.str().find("Génération arrêtée."), std::string::npos) << err.str();
}

// Refusals name what is wrong as the user can read it, and say that the previous script was kept
// exactly when it was: a name with a NUL, a value of an unknown key longer than any value, a batch
// file as AutoCAD, a missing list for a run on the console, a setting the file cannot hold.
TEST_F(RunGenerateTest, RefusalsAreReadableAndSayWhetherTheScriptWasKept) {
    std::string settings = writeSettings("C:\\AutoCAD\\ACAD.Bat.");
    const std::string nul = program.path("zero.txt");
    WriteBytes(nul, "\v" + program.folder() + "\r\n" + std::string("\ta\0b.dwg\r\n", 10));
    const std::string big = writeJob("futur.cle=" + std::string(1 << 20, 'x') + "\n");
    const std::string absent = program.path("absente.txt");
    const std::tuple<Args, ExitCode, std::string, bool> cases[] = {
        {{"--list", nul},
         ExitCode::GenerationFailed,
         "(code 0) :\n" + program.folder() + "a?b.dwg",
         true},
        {{"--job", big}, ExitCode::BadJobFile, "ligne 2 : « futur.cle » dépasse 32767", false},
        {{"--execute"}, ExitCode::AutocadNotStarted, "(.bat ou .cmd)", false},
        {{"--run", "--list", absent}, ExitCode::UnreadableList, absent + "\n", false},
    };
    for (const auto& [arguments, code, said, kept] : cases) {
        err.str("");
        EXPECT_EQ(run(arguments), code);
        EXPECT_NE(err.str().find(said), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find('\0'), std::string::npos);
        EXPECT_EQ(err.str().ends_with("\nLe script précédent est resté tel qu'il était.\n"), kept);
    }
    EXPECT_TRUE(started.empty());
    settings.replace(SettingsFile::kRecordOffset + 18 * 60, 1, "5");
    WriteBytes(settingsPath, settings);
    EXPECT_EQ(run({}), ExitCode::SettingsUnreadable);
    EXPECT_TRUE(err.str().ends_with("\nRéglage 18, « Sauvgarde configuration impression dans "
                                    "*.DWG », illisible : « 5 » au lieu de 0, 1 ou 2.\n"));
}

// ---- Files that are not ordinary files, too large, or damaged ----

// A pipe that nobody writes to, a device or a folder given for the job, the list or the settings
// ends the run at once with the code of that file's kind and a message naming it; no script is
// written.
TEST_F(RunGenerateTest, WhatIsNoOrdinaryFileIsRefusedWithTheCodeOfItsKind) {
    writeSettings();
    const std::string folder = program.path("dossier");
    std::filesystem::create_directory(ToFsPath(folder));
    std::vector<std::string> paths = {folder};
#ifdef _WIN32
    paths.push_back("NUL");
#else
    const std::string pipe = program.path("tube");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    paths.push_back(pipe);
    if (FileExists("/dev/zero"))
        paths.push_back("/dev/zero");
#endif
    struct Case {
        std::string option;
        ExitCode code;
    };
    const Case cases[] = {{"--job", ExitCode::BadJobFile}, {"--list", ExitCode::UnreadableList}};
    for (const std::string& path : paths) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.option + " " + path);
            err.str("");
            const ExitCode code = test::Promptly("--generate " + c.option + " " + path, [&] {
                return run({c.option, path, "--execute"});
            });
            EXPECT_EQ(code, c.code);
            EXPECT_NE(err.str().find("« " + path +
                                     " » n'est pas un fichier ordinaire (tube, "
                                     "périphérique ou dossier)"),
                      std::string::npos)
                << err.str();
            EXPECT_FALSE(FileExists(scriptPath));
            EXPECT_TRUE(started.empty());
        }
    }
}

#ifndef _WIN32
TEST_F(RunGenerateTest, ASettingsFileThatIsAPipeEndsWithTheSettingsCode) {
    ASSERT_EQ(::mkfifo(settingsPath.c_str(), 0600), 0);
    const ExitCode code = test::Promptly("--generate with a pipe for savescript.txt",
                                         [&] { return run({"--execute"}); });
    EXPECT_EQ(code, ExitCode::SettingsUnreadable);
    EXPECT_EQ(err.str(), "ERREUR !!\n« " + settingsPath +
                             " » n'est pas un fichier ordinaire (tube, périphérique ou dossier) : "
                             "les réglages n'ont pas été lus.\n");
    EXPECT_EQ(std::filesystem::status(settingsPath).type(), std::filesystem::file_type::fifo);
    EXPECT_TRUE(started.empty());
}
#endif

// A job file is some forty lines: one larger than the limit is refused before it is read.
TEST_F(RunGenerateTest, AJobFileLargerThanItsLimitIsRefused) {
    writeSettings();
    const std::string head = "pilotrame-travail=1\nmode=operations\nzoom=1\n#";
    std::string body = head + std::string(kJobFileSizeLimit - head.size() - 1, 'x') + "\n";
    ASSERT_EQ(body.size(), kJobFileSizeLimit);
    const std::string job = program.path("grand.pilotrame");
    WriteBytes(job, body);
    EXPECT_EQ(run({"--job", job}), ExitCode::Success) << err.str();
    EXPECT_EQ(ReadBytes(scriptPath), section("zoom\r\net\r\n_qsave\r\n_close\r\n"));
    std::filesystem::remove(ToFsPath(scriptPath));

    body.insert(body.size() - 1, "x");
    WriteBytes(job, body);
    EXPECT_EQ(run({"--job", job, "--execute"}), ExitCode::BadJobFile);
    EXPECT_EQ(err.str(), "ERREUR !!\n« " + job +
                             " » est trop grand pour un fichier de travail (plus de 4 Mio) : le "
                             "travail n'a pas été chargé.\n");
    EXPECT_FALSE(FileExists(scriptPath));
    EXPECT_TRUE(started.empty());
}

// The root of the file system holding the program folder: "/" or the drive's root.
std::string RootOf(const std::string& folder) {
    return FromFsPath(ToFsPath(folder).root_path());
}

// A settings file cut short ends the run with the settings code and says so; nothing is written,
// at the root of the file system least of all, and the file stays as it is.
TEST_F(RunGenerateTest, ADamagedSettingsFileEndsWithTheSettingsCode) {
    const std::string whole = writeSettings();
    const std::string atRoot = WithTrailingSeparator(RootOf(program.folder())) + "Pilotrame.scr";
    const bool rootHadAScript = FileExists(atRoot);
    for (const std::size_t length :
         {std::size_t{0}, SettingsFile::kRecordOffset + 5 * 60, SettingsFile::kSettingsEnd - 1}) {
        SCOPED_TRACE(length);
        err.str("");
        const std::string cut = whole.substr(0, length);
        WriteBytes(settingsPath, cut);
        EXPECT_EQ(run({"--execute"}), ExitCode::SettingsUnreadable);
        EXPECT_EQ(err.str(), "ERREUR !!\nLe fichier de réglages « " + settingsPath +
                                 " » est endommagé : il s'arrête avant la fin des réglages.\n"
                                 "Enregistrez la configuration dans la fenêtre (« Sauvegarder et "
                                 "Quitter ») pour le réécrire en entier.\n");
        EXPECT_FALSE(FileExists(scriptPath));
        EXPECT_FALSE(FileExists(program.path("Pilotrame.scr")));
        EXPECT_EQ(FileExists(atRoot), rootHadAScript);
        EXPECT_EQ(ReadBytes(settingsPath), cut);
        EXPECT_TRUE(started.empty());
    }
}

// An empty script folder setting would put the script at the root of the file system: it goes
// to the program folder, beside the list and the settings, as in the window.
TEST_F(RunGenerateTest, AnEmptyScriptFolderSettingWritesBesideTheSettings) {
    Settings stored = settings();
    stored.combo[slot::scriptFolder] = "";
    ASSERT_TRUE(SettingsFile(settingsPath).SaveSettings(stored));
    const std::string atRoot = WithTrailingSeparator(RootOf(program.folder())) + "Pilotrame.scr";
    const bool rootHadAScript = FileExists(atRoot);
    const std::string job = writeJob("mode=operations\nzoom=1\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::Success) << err.str();
    EXPECT_EQ(ReadBytes(program.path("Pilotrame.scr")),
              section("zoom\r\net\r\n_qsave\r\n_close\r\n"));
    EXPECT_EQ(FileExists(atRoot), rootHadAScript);
}

// A job file cut short by a copy loaded as if whole would write a script with values missing or
// cut; version 2 ends in a closing line whose absence is refused before the script is touched.
TEST_F(RunGenerateTest, AJobFileCutShortIsRefusedAndTheScriptIsKept) {
    writeSettings();
    WriteBytes(scriptPath, "previous\r\n");
    MainJob job;
    job.setMode(JobMode::Operations);
    job.drawing.erase = true;
    job.drawing.erasePoints = {"10", "20", "30.25", "40"};
    const std::string whole = WriteJobFile(job, ',');
    const std::string path = program.path("coupé.pilotrame");
    struct Case {
        std::string cutAfter; // the file stops right after this
        int line;
    };
    const Case cases[] = {
        {"effacer.x2=30", 14},               // within a value: "30" for "30.25"
        {"effacer.x2=30.25\n", 15},          // at a line end: effacer.y2 and the rest at defaults
        {"remplacer-texte.nouveau2=\n", 37}, // every key there, the closing line missing
        {"pilotrame-travail=fin", 37},       // the very last line end missing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cutAfter);
        const std::size_t at = whole.find(c.cutAfter);
        ASSERT_NE(at, std::string::npos);
        WriteBytes(path, whole.substr(0, at + c.cutAfter.size()));
        err.str("");
        EXPECT_EQ(run({"--job", path}), ExitCode::BadJobFile);
        EXPECT_EQ(err.str(), "ERREUR !!\nFichier de travail incorrect, il n'a pas été chargé : \n" +
                                 path + "\nligne " + std::to_string(c.line) +
                                 " : le fichier s'arrête avant sa fin, il lui manque sa dernière "
                                 "ligne « pilotrame-travail=fin » : il a sans doute été coupé "
                                 "(copie interrompue, disque plein)\n");
        EXPECT_EQ(ReadBytes(scriptPath), "previous\r\n");
    }
    // Whole, it runs.
    WriteBytes(path, whole);
    EXPECT_EQ(run({"--job", path}), ExitCode::Success) << err.str();
    EXPECT_NE(ReadBytes(scriptPath).find("\r\n10,20\r\n30.25,40\r\n"), std::string::npos);
}

// A job of the previous version has no closing line: it still runs.
TEST_F(RunGenerateTest, AJobFileOfTheFirstVersionStillRuns) {
    writeSettings();
    const std::string job = writeJob("mode=operations\neffacer=1\neffacer.x2=30.25\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::Success) << err.str();
    EXPECT_NE(ReadBytes(scriptPath).find("\r\n0,0\r\n30.25,0\r\n"), std::string::npos);
}

// Saved under a French locale, a coordinate "1,5" failed under "C" (a task scheduler's locale);
// numbers in a job file now read the same under every locale.
TEST_F(RunGenerateTest, NumbersOfAJobReadTheSameUnderEveryLocale) {
    writeSettings();
    env.decimalSeparator = '.';
    const std::string french = writeJob("mode=operations\neffacer=1\neffacer.x1=1,5\n");
    EXPECT_EQ(run({"--job", french}), ExitCode::Success) << err.str();
    const std::string expected = ReadBytes(scriptPath);
    EXPECT_NE(expected.find("\r\n1.5,0\r\n0,0\r\n"), std::string::npos) << expected;

    // The job as a window under a French locale saves it: the boxes as typed there.
    MainJob typed;
    typed.setMode(JobMode::Operations);
    typed.drawing.erase = true;
    typed.drawing.erasePoints = {"1,5", "0", "0", "0"};
    const std::string saved = program.path("fenêtre.pilotrame");
    ASSERT_TRUE(SaveJobFile(saved, typed, ','));
    EXPECT_NE(ReadBytes(saved).find("\neffacer.x1=1.5\n"), std::string::npos);
    for (const char separator : {'.', ','}) {
        SCOPED_TRACE(separator);
        env.decimalSeparator = separator;
        std::filesystem::remove(scriptPath);
        EXPECT_EQ(run({"--job", saved}), ExitCode::Success) << err.str();
        EXPECT_EQ(ReadBytes(scriptPath), expected);
    }
}

// The window cannot hold a single-line value past 32767 characters; the command line refuses it
// as the window does, rather than run a job the window would show otherwise.
TEST_F(RunGenerateTest, AValueLongerThanItsBoxIsRefusedNamingTheKey) {
    writeSettings();
    const std::string job =
        writeJob("mode=operations\nattribut.ancien=" + std::string(1000000, 'A') + "\n");
    EXPECT_EQ(run({"--job", job}), ExitCode::BadJobFile);
    EXPECT_NE(err.str().find("ligne 3 : « attribut.ancien » dépasse 32767 caractères"),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(FileExists(scriptPath));
}

// ---- --run: the batch on AutoCAD's console ----

// The program folder holds execution.txt naming the stand-in console; its engine is the old one,
// which --run overrides.
struct RunOnConsoleTest : RunGenerateTest {
    std::string console = test::InstallHelperProgram(program, PILOTRAME_STANDIN_CONSOLE);
    std::string runSettingsPath = program.path("execution.txt");
    std::string journal = scripts.folder() + "Pilotrame-journal";
    std::string zoomJob;

    RunOnConsoleTest() {
        writeSettings();
        WriteBytes(runSettingsPath, "moteur=autocad\nconsole=" + console + "\ndelai=20\n");
        zoomJob = writeJob("mode=operations\nzoom=1\n");
    }
    ~RunOnConsoleTest() override { EXPECT_EQ(test::ProcessesLeftOf(console), 0); }

    // Lists the drawings, made empty in the program folder, in Liste01.txt.
    void list(const std::vector<std::string>& names) {
        std::string text = "\v" + program.folder() + "\r\n";
        for (const std::string& name : names) {
            text += "\t" + name + "\r\n";
            WriteBytes(program.path(name), test::kDrawingBytes);
        }
        WriteBytes(listPath, text);
    }

    // The runs' folders of the journal, in the order they were made.
    std::vector<std::string> runFolders() const {
        std::vector<std::string> folders;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(ToFsPath(journal), ec))
            folders.push_back(WithTrailingSeparator(FromFsPath(entry.path())));
        std::sort(folders.begin(), folders.end());
        return folders;
    }

    bool said(const std::string& piece) const { return err.str().find(piece) != std::string::npos; }
};

TEST_F(RunOnConsoleTest, EveryDrawingSucceedingEndsInSuccessWithAJournal) {
    const std::vector<std::string> names = {"a.dwg", "b_sleep50.dwg", "c.dwg"};
    list(names);
    const std::string runSettings = ReadBytes(runSettingsPath);
    EXPECT_EQ(run({"--run", "--job", zoomJob}), ExitCode::Success) << err.str();
    const std::vector<std::string> folders = runFolders();
    ASSERT_EQ(folders.size(), 1u);
    const std::string& folder = folders.front();
    EXPECT_EQ(ReadBytes(folder + "console.scr"), "zoom\r\net\r\n_qsave\r\n");
    EXPECT_EQ(ReadBytes(folder + "echecs.txt"), "");
    EXPECT_TRUE(FileExists(folder + "resume.csv"));
    for (const std::string& name : names) {
        EXPECT_EQ(ReadBytes(program.path(name)), std::string(test::kDrawingBytes) + "fait\n")
            << name;
        EXPECT_TRUE(said("] réussi   " + name + "   ")) << err.str();
    }
    EXPECT_TRUE(said("\n[3/3] réussi   ")) << err.str();
    EXPECT_TRUE(said("Console : " + console +
                     "\n3 plans, 2 à la fois, délai de 20 s par plan.\n"
                     "Journal : " +
                     folder + "\n"))
        << err.str();
    EXPECT_TRUE(said("3 réussi(s), 0 erreur(s) de script, 0 échec(s), 0 délai(s) dépassé(s), 0 "
                     "arrêté(s), 0 non lancé(s), "
                     "en 00:00:0"))
        << err.str();
    EXPECT_FALSE(said("echecs.txt"));
    // Pilotrame.scr and the settings are left alone.
    EXPECT_FALSE(FileExists(scriptPath));
    EXPECT_EQ(ReadBytes(runSettingsPath), runSettings);
    EXPECT_TRUE(started.empty());
}

// A drawing that fails, runs past its time or crashes makes the run fail with its own code; the
// failures listed in echecs.txt run again with --list, the others are not touched again.
TEST_F(RunOnConsoleTest, DrawingsThatDoNotSucceedEndWithTheirOwnCode) {
    list({"a.dwg", "b_exit3.dwg", "c_hang.dwg", "d_crash.dwg"});
    EXPECT_EQ(run({"--run", "--job", zoomJob, "--timeout", "1", "--workers=4"}),
              ExitCode::SomeDrawingsFailed);
    EXPECT_TRUE(said("] réussi   a.dwg   ")) << err.str();
    EXPECT_TRUE(said("] échec   b_exit3.dwg   ")) << err.str();
    EXPECT_TRUE(said(" s   (code de sortie 3)\n")) << err.str();
    EXPECT_TRUE(said("] délai dépassé   c_hang.dwg   ")) << err.str();
    EXPECT_TRUE(said("] échec   d_crash.dwg   ")) << err.str();
#ifdef _WIN32
    EXPECT_TRUE(said(" s   (code de sortie 0xC0000005 violation d'accès)\n")) << err.str();
#endif
    EXPECT_TRUE(said("1 réussi(s), 0 erreur(s) de script, 2 échec(s), 1 délai(s) dépassé(s), 0 "
                     "arrêté(s), 0 non lancé(s)"))
        << err.str();
    ASSERT_EQ(runFolders().size(), 1u);
    const std::string failures = runFolders().front() + "echecs.txt";
    EXPECT_TRUE(said("listés dans " + failures + ", à donner à --list")) << err.str();
    EXPECT_EQ(ReadBytes(failures),
              "\v" + program.folder() + "\r\n\tb_exit3.dwg\r\n\tc_hang.dwg\r\n\td_crash.dwg\r\n");

    err.str("");
    EXPECT_EQ(run({"--run", "--job", zoomJob, "--timeout=1", "--list", failures}),
              ExitCode::SomeDrawingsFailed);
    EXPECT_EQ(runFolders().size(), 2u);
    EXPECT_TRUE(said("\n[3/3] ")) << err.str();
    EXPECT_EQ(ReadBytes(program.path("a.dwg")), std::string(test::kDrawingBytes) + "fait\n");
    EXPECT_EQ(ReadBytes(program.path("b_exit3.dwg")),
              std::string(test::kDrawingBytes) + "fait\nfait\n");
}

// execution.txt, then the settings of the run the job carries (all of them: what it lacks takes
// the defaults, as in execution.txt), then --workers and --timeout.
TEST_F(RunOnConsoleTest, TheJobsSettingsOfTheRunAndTheOptionsWinInTurn) {
    list({"a.dwg"});
    WriteBytes(runSettingsPath, "console=" + console + "\nplans-simultanes=3\ndelai=50\n");
    // A backslash of a Windows path is written "\\" in a job file.
    std::string escaped;
    for (const char c : console)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    const std::string carried =
        "execution.console=" + escaped + "\nexecution.plans-simultanes=5\nexecution.delai=70\n";
    struct Case {
        std::string jobRun; // the job's execution.* lines
        Args options;
        std::string said;
    };
    const Case cases[] = {
        {"", {}, "1 plan, 3 à la fois, délai de 50 s par plan."},
        {"", {"--timeout=9"}, "1 plan, 3 à la fois, délai de 9 s par plan."},
        {carried, {}, "1 plan, 5 à la fois, délai de 70 s par plan."},
        {carried, {"--workers", "2"}, "1 plan, 2 à la fois, délai de 70 s par plan."},
        {carried, {"--workers", "2", "--timeout", "4"}, "1 plan, 2 à la fois, délai de 4 s"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jobRun + ::testing::PrintToString(c.options));
        err.str("");
        Args arguments = {"--run", "--job", writeJob("mode=operations\nzoom=1\n" + c.jobRun)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(run(arguments), ExitCode::Success) << err.str();
        EXPECT_TRUE(said(c.said)) << err.str();
    }
    // A job's settings of the run replace those of execution.txt whole: without a console of its
    // own, the job's is the one beside AutoCAD.
    err.str("");
    EXPECT_EQ(run({"--run", "--job", writeJob("mode=operations\nexecution.delai=70\n")}),
              ExitCode::AutocadNotStarted);
    EXPECT_TRUE(said("\naccoreconsole.exe\n")) << err.str();
}

// What keeps a run from starting is told before anything is written: no journal, no drawing
// touched.
TEST_F(RunOnConsoleTest, WhatKeepsARunFromStartingLeavesNoTrace) {
    std::filesystem::create_directory(ToFsPath(program.path("dossier")));
    struct Case {
        std::string what;
        std::string runSettings; // execution.txt, when the case changes it
        std::string jobBody;
        std::vector<std::string> names;
        ExitCode code;
        std::string message; // as err shows it after "ERREUR !!"
    };
    const std::string settingsRefused = "Réglages d'exécution illisibles, aucun plan n'a été "
                                        "lancé : \n" +
                                        runSettingsPath + "\n";
    const std::string absentConsole = program.path("absent.exe");
    const Case cases[] = {
        {"a time limit that is no number",
         "delai=abc\n",
         "mode=operations\nzoom=1\n",
         {"a.dwg"},
         ExitCode::SettingsUnreadable,
         settingsRefused + "ligne 1 : « delai » vaut « abc » : un nombre entier attendu"},
        {"an engine of another name",
         "moteur=Console\n",
         "mode=operations\nzoom=1\n",
         {"a.dwg"},
         ExitCode::SettingsUnreadable,
         settingsRefused + "ligne 1 : « moteur » vaut « Console » : autocad ou console attendu"},
        {"too many at once",
         "console=" + console + "\nplans-simultanes=40\n",
         "mode=operations\nexecution.plans-simultanes=4\n",
         {"a.dwg"},
         ExitCode::SettingsUnreadable,
         settingsRefused + "ligne 2 : « plans-simultanes » vaut « 40 » : un nombre entier de 1 "
                           "à 16 attendu"},
        {"a language that would add a switch",
         "langue=fr-FR\" /s \"C:\\x.scr\n",
         "mode=operations\nzoom=1\n",
         {"a.dwg"},
         ExitCode::SettingsUnreadable,
         settingsRefused + "ligne 1 : « langue » vaut « fr-FR\" /s \"C:\\x.scr » : une langue "
                           "s'écrit en lettres, chiffres et « - » seulement (fr-FR par exemple)"},
        {"a console that does not exist",
         "console=" + absentConsole + "\n",
         "mode=operations\nzoom=1\n",
         {"a.dwg"},
         ExitCode::AutocadNotStarted,
         ToLf(ConsoleNotFoundText(absentConsole))},
        {"no console and no AutoCAD folder",
         "console=\n",
         "mode=operations\nzoom=1\n",
         {"a.dwg"},
         ExitCode::AutocadNotStarted,
         ToLf(ConsoleNotFoundText("accoreconsole.exe"))},
        {"a job that runs VBA",
         "",
         "mode=operations\nremplacer-texte=1\n",
         {"a.dwg"},
         ExitCode::GenerationFailed,
         std::string(kConsoleHasNoVbaText)},
        {"an empty list",
         "",
         "mode=operations\nzoom=1\n",
         {},
         ExitCode::NothingToProcess,
         std::string(kNothingToRunText)},
        {"a drawing that is missing",
         "",
         "mode=operations\nzoom=1\n",
         {"a.dwg", "absent.dwg"},
         ExitCode::DrawingsNotReady,
         ToLf(DrawingsNotReadyForRunText(2, 1, program.path("absent.dwg") + "\tintrouvable\r\n"))},
    };
    const std::string standard = ReadBytes(runSettingsPath);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(runSettingsPath, c.runSettings.empty() ? standard : c.runSettings);
        list(c.names);
        std::filesystem::remove(ToFsPath(program.path("absent.dwg")));
        err.str("");
        EXPECT_EQ(run({"--run", "--job", writeJob(c.jobBody)}), c.code);
        EXPECT_EQ(err.str(), "ERREUR !!\n" + c.message + "\n");
        EXPECT_TRUE(runFolders().empty());
        for (const std::string& name : c.names) {
            if (name != "absent.dwg") {
                EXPECT_EQ(ReadBytes(program.path(name)), std::string(test::kDrawingBytes));
            }
        }
    }
    // A folder in place of execution.txt is no settings file either.
    std::filesystem::remove(ToFsPath(runSettingsPath));
    std::filesystem::create_directory(ToFsPath(runSettingsPath));
    err.str("");
    EXPECT_EQ(run({"--run", "--job", zoomJob}), ExitCode::SettingsUnreadable);
    EXPECT_TRUE(said("n'est pas un fichier ordinaire")) << err.str();
    // Without --run, execution.txt is not read at all.
    err.str("");
    EXPECT_EQ(run({"--job", zoomJob}), ExitCode::Success) << err.str();
    EXPECT_TRUE(runFolders().empty());
}

#ifndef _WIN32
// A script folder where the user may not write (the first-run "c:\" of Windows) is named with
// where another is chosen, by AutoCAD's engine and by the console's; only the first had a script
// to keep. Root, whom permission bits do not stop, runs the command line as nobody.
TEST_F(RunOnConsoleTest, AScriptFolderThatCannotBeWrittenIsNamedWithWhereToChooseAnother) {
    namespace fs = std::filesystem;
    list({"a.dwg"});
    // The drawing stays ready for nobody: the run reaches its journal.
    fs::permissions(ToFsPath(program.folder()), fs::perms::all);
    fs::permissions(ToFsPath(program.path("a.dwg")), fs::perms::all);
    for (const std::string option : {"--execute", "--run"}) {
        const std::function<std::string()> outcome = [&] {
            err.str("");
            const int code = static_cast<int>(run({option, "--job", zoomJob}));
            return std::to_string(code) + " " + err.str();
        };
        fs::permissions(ToFsPath(scripts.folder()), fs::perms::owner_read | fs::perms::owner_exec);
        const std::optional<std::string> said =
            ::geteuid() != 0 ? outcome() : test::RunAsUser(test::kNobody, test::kNobody, outcome);
        fs::permissions(ToFsPath(scripts.folder()), fs::perms::all);
        ASSERT_TRUE(said);
        const bool script = option == "--execute";
        EXPECT_TRUE(said->starts_with("5 ERREUR !!\nVous n'avez pas le droit d'écrire dans le "
                                      "dossier « " +
                                      scripts.folder() + " » : le " +
                                      (script ? "script" : "journal")))
            << *said;
        EXPECT_NE(said->find("(menu Configuration, Général, « Chemin ouverture SCR : »)"),
                  std::string::npos);
        EXPECT_EQ(said->ends_with("\nLe script précédent est resté tel qu'il était.\n"), script);
        EXPECT_TRUE(runFolders().empty());
    }
}
#endif

// What --run makes of a script error, of drawings that are not ready with --skip-unready, of a
// drawing listed twice and of lines the console cannot run; off a terminal, each start has its
// line.
TEST_F(RunOnConsoleTest, ScriptErrorsSkippedDrawingsDuplicatesAndRefusedLines) {
    struct Case {
        std::vector<std::string> names; // listed, made; "absent.dwg" is listed only
        std::string jobBody;
        Args options;
        ExitCode code;
        std::string said;
    };
    const std::string zoom = "mode=operations\nzoom=1\n";
    const Case cases[] = {
        {{"a.dwg", "b_unknown.dwg"},
         zoom,
         {},
         ExitCode::SomeDrawingsFailed,
         "] erreur de script   b_unknown.dwg   "},
        {{"a.dwg", "absent.dwg"},
         zoom,
         {"--skip-unready"},
         ExitCode::SomeDrawingsFailed,
         "1 problème ; ces plans sont laissés de côté :\n" + program.path("absent.dwg") +
             "\tintrouvable\n"},
        {{"a.dwg", "a.dwg"},
         zoom,
         {},
         ExitCode::Success,
         DuplicatesLeftOutText(1) + "\nlancé   a.dwg   (1/1 lancés)\n"},
        {{"a.dwg"},
         "mode=operations\ninserer=1\ninserer.source=presse-papier\n",
         {},
         ExitCode::GenerationFailed,
         "INSERER, presse-papier : « _pasteclip » : la console n'a "
         "pas accès au presse-papiers"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        list(c.names);
        std::filesystem::remove(ToFsPath(program.path("absent.dwg")));
        err.str("");
        Args arguments = {"--run", "--job", writeJob(c.jobBody)};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(run(arguments), c.code) << err.str();
        EXPECT_TRUE(said(c.said)) << err.str();
    }
}

// A failure message is found in whatever encoding and place the console writes it, its letters
// compared without regard to case, accented ones too.
TEST_F(RunOnConsoleTest, AFailureMessageIsFoundInEveryEncodingAndPlace) {
    WriteBytes(runSettingsPath, "console=" + console + "\nplans-simultanes=4\n" +
                                    "messages-echec=Commande inconnue|échec de l’écriture\n");
    std::vector<std::string> names = {"a.dwg"};
    for (const char encoding : {'u', '8', 'w'})
        for (const char placement : {'a', 'o', 'n', 'p'})
            names.push_back(std::string("m_say") + encoding + placement + ".dwg");
    list(names);
    EXPECT_EQ(run({"--run", "--job", zoomJob}), ExitCode::SomeDrawingsFailed);
    EXPECT_TRUE(said("] réussi   a.dwg   ")) << err.str();
    for (std::size_t i = 1; i < names.size(); ++i)
        EXPECT_TRUE(said("] erreur de script   " + names[i] + "   ")) << names[i] << err.str();
    EXPECT_TRUE(said("1 réussi(s), 12 erreur(s) de script")) << err.str();
}

// A process that a console starts and that leaves the console's session ends with the console
// at the time limit: none outlives the run.
TEST_F(RunOnConsoleTest, AProcessThatLeftTheConsolesSessionEndsWithIt) {
    list({"a_escape_hang.dwg"});
    EXPECT_EQ(run({"--run", "--job", zoomJob, "--timeout", "1"}), ExitCode::SomeDrawingsFailed);
    EXPECT_TRUE(said("] délai dépassé   a_escape_hang.dwg   ")) << err.str();
    EXPECT_EQ(test::ProcessesLeftOf(console), 0);
}

// A drawing reached by several paths is one file: it runs once, whatever the path that names it.
TEST_F(RunOnConsoleTest, ADrawingReachedByManyPathsRunsOnce) {
    namespace fs = std::filesystem;
    const char sep = kNativeSeparator;
    const std::string folder = program.path("dwg") + sep + "a" + sep;
    fs::create_directories(ToFsPath(program.path("dwg") + sep + "x"));
    fs::create_directories(ToFsPath(folder));
    WriteBytes(folder + "a.dwg", test::kDrawingBytes);
    fs::create_hard_link(ToFsPath(folder + "a.dwg"), ToFsPath(folder + "lien.dwg"));
    struct Path {
        std::string folder;
        std::string name;
    };
    std::vector<Path> paths = {
        {folder, "a.dwg"},
        {program.path("dwg") + sep + "x" + sep + ".." + sep + "a" + sep, "a.dwg"},
        {folder, "lien.dwg"}, // another name of the same file
    };
#ifdef _WIN32
    paths.push_back({program.path("DWG") + sep + "A" + sep, "A.DWG"});
#else
    fs::create_directory_symlink(ToFsPath(folder), ToFsPath(program.path("dossier-lie")));
    paths.push_back({program.path("dossier-lie") + sep, "a.dwg"});
#endif
    std::string text;
    for (const Path& path : paths)
        text += "\v" + path.folder + "\r\n\t" + path.name + "\r\n";
    WriteBytes(listPath, text);
    EXPECT_EQ(run({"--run", "--job", zoomJob}), ExitCode::Success) << err.str();
    EXPECT_EQ(ReadBytes(folder + "a.dwg"), std::string(test::kDrawingBytes) + "fait\n");
    EXPECT_TRUE(said(DuplicatesLeftOutText(static_cast<int>(paths.size()) - 1))) << err.str();
}

// --skip-unready names the drawings it leaves out, lists them in the journal as not ready, among
// those to run again, and does not end in success; once ready, the list of the journal runs them.
TEST_F(RunOnConsoleTest, DrawingsLeftOutAsNotReadyAreInTheJournal) {
    list({"a.dwg", "absent.dwg", "b.dwg"});
    std::filesystem::remove(ToFsPath(program.path("absent.dwg")));
    EXPECT_EQ(run({"--run", "--job", zoomJob, "--skip-unready"}), ExitCode::SomeDrawingsFailed);
    EXPECT_TRUE(said("2 réussi(s), 0 erreur(s) de script, 0 échec(s), 0 délai(s) dépassé(s), 0 "
                     "arrêté(s), 0 non lancé(s), 1 non prêt(s), en "))
        << err.str();
    ASSERT_EQ(runFolders().size(), 1u);
    const std::string folder = runFolders().front();
    EXPECT_NE(ReadBytes(folder + "resume.csv").find("absent.dwg;non prêt;;;;;introuvable\r\n"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(folder + "echecs.txt"), "\v" + program.folder() + "\r\n\tabsent.dwg\r\n");

    WriteBytes(program.path("absent.dwg"), test::kDrawingBytes);
    err.str("");
    EXPECT_EQ(run({"--run", "--job", zoomJob, "--list", folder + "echecs.txt"}), ExitCode::Success)
        << err.str();
    EXPECT_EQ(ReadBytes(program.path("absent.dwg")), std::string(test::kDrawingBytes) + "fait\n");
    EXPECT_EQ(ReadBytes(program.path("a.dwg")), std::string(test::kDrawingBytes) + "fait\n");
}

#ifndef _WIN32
// A journal that cannot be written whole has a code of its own, over that of failed drawings.
TEST_F(RunOnConsoleTest, AJournalNotWrittenWholeHasItsOwnCode) {
    list({"a_big1.dwg", "b_exit3.dwg"});
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const ExitCode code = run({"--run", "--job", zoomJob});
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(code, ExitCode::JournalNotWritten);
    EXPECT_TRUE(said("ERREUR !!\nLe journal n'a pas pu être écrit en entier :\n")) << err.str();
    EXPECT_TRUE(said("0001_a_big1.dwg.log : 61 Disque plein\n")) << err.str();
}
#endif

// A console program that exists but is no program is refused before anything, naming it, rather
// than failing each drawing in the system's words.
TEST_F(RunOnConsoleTest, AConsoleThatIsNoProgramIsRefusedBeforeAnything) {
    const std::string text = program.path("texte.exe");
    WriteBytes(text, "pas un programme");
    std::filesystem::permissions(ToFsPath(text), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    WriteBytes(runSettingsPath, "console=" + text + "\n");
    list({"a.dwg", "b.dwg"});
    EXPECT_EQ(run({"--run", "--job", zoomJob}), ExitCode::AutocadNotStarted);
    EXPECT_EQ(err.str(), "ERREUR !!\n" + ToLf(ConsoleNotExecutableText(text)) + "\n");
    EXPECT_TRUE(runFolders().empty());
}

#ifndef _WIN32
// A console that is a script runs only when the interpreter of its "#!" line does: one that is
// missing or cannot be run is refused before anything, naming it.
TEST_F(RunOnConsoleTest, AScriptWhoseInterpreterCannotRunIsRefusedBeforeAnything) {
    const std::string script = program.path("console.sh");
    const std::string text = program.path("texte");
    WriteBytes(text, "pas un programme");
    struct Case {
        std::string firstLine;
        std::string message;
    };
    const Case cases[] = {
        {"#!/pas/d-interpreteur -f", ConsoleInterpreterText(script, "/pas/d-interpreteur", true)},
        {"#! " + text, ConsoleInterpreterText(script, text, false)},
        {"#!" + program.folder(), ConsoleInterpreterText(script, program.folder(), false)},
        {"#!", ConsoleNotExecutableText(script)},
    };
    WriteBytes(runSettingsPath, "console=" + script + "\n");
    list({"a.dwg"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstLine);
        WriteBytes(script, c.firstLine + "\n" + std::string(1 << 20, '#') + "\n");
        ::chmod(script.c_str(), 0755);
        err.str("");
        EXPECT_EQ(run({"--run", "--job", zoomJob}), ExitCode::AutocadNotStarted);
        EXPECT_EQ(err.str(), "ERREUR !!\n" + ToLf(c.message) + "\n");
        EXPECT_TRUE(runFolders().empty());
    }
}
#endif

// Ctrl-C stops the run, not the program: no more consoles, those running ended, the journal and
// the summary written, and a code of its own. Windows ends the program once the handler of a
// closed console returns: the journal is written by then.
TEST_F(RunOnConsoleTest, AnInterruptStopsTheRunAndTheJournalTellsIt) {
    list({"a_hang.dwg", "b_hang.dwg", "c_hang.dwg"});
    std::atomic<bool> sent{false};
    bool summaryOnReturn = true;
    std::thread interrupter([&] {
        // Once two consoles run, the handler is in place; they never end by themselves.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        while (test::CountProcessesOf(console) < 2 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (test::CountProcessesOf(console) >= 2) {
#ifdef _WIN32
            // On a desktop, what a log-off asks the run's hidden window; else the console closed.
            HWND session = nullptr;
            DWORD owner = 0;
            while ((session = FindWindowExW(nullptr, session, L"PilotrameSessionEnd", nullptr)) &&
                   (GetWindowThreadProcessId(session, &owner), owner != GetCurrentProcessId())) {
            }
            if (session)
                SendMessageW(session, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            else
                HandleConsoleEvent(CTRL_CLOSE_EVENT);
            summaryOnReturn = FileExists(runFolders().front() + "resume.csv");
#else
            ::kill(::getpid(), SIGINT);
#endif
            sent = true;
        }
    });
    const ExitCode code = run({"--run", "--job", zoomJob, "--workers", "2"});
    interrupter.join();
    ASSERT_TRUE(sent);
    EXPECT_TRUE(summaryOnReturn);
    EXPECT_EQ(code, ExitCode::RunInterrupted);
    EXPECT_TRUE(said("] arrêté   a_hang.dwg   ")) << err.str();
    EXPECT_TRUE(said("] arrêté   b_hang.dwg   ")) << err.str();
    EXPECT_TRUE(said(std::string(kRunInterruptedText) +
                     "\n0 réussi(s), 0 erreur(s) de script, 0 échec(s), 0 délai(s) "
                     "dépassé(s), 2 arrêté(s), 1 non lancé(s)"))
        << err.str();
    ASSERT_EQ(runFolders().size(), 1u);
    const std::string summary = ReadBytes(runFolders().front() + "resume.csv");
    EXPECT_NE(summary.find("a_hang.dwg;arrêté;"), std::string::npos) << summary;
    EXPECT_NE(summary.find("c_hang.dwg;non lancé;"), std::string::npos) << summary;
    EXPECT_EQ(ReadBytes(program.path("c_hang.dwg")), std::string(test::kDrawingBytes));
}

} // namespace
} // namespace pilotrame
