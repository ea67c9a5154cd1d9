#include "script/generation.h"

#include "base/paths.h"
#include "base/text.h"
#include "script/drawingsection.h"
#include "support/childprocess.h"
#include "support/tempdir.h"
#include "texts/common.h"
#include "texts/scripts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <thread>
#include <vector>

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A section of one line naming the drawing, enough to follow what the driver does.
Status NameSection(std::string& section, const ListPosition& at) {
    section += at.currentFolder + at.currentFileName + "\r\n";
    return Success();
}

struct Generation : ::testing::Test {
    TempDir dir;
    std::string list = dir.path("Liste01.txt");
    std::string script = dir.path("Pilotrame.scr");
    ListPosition position;

    Result<int> run(const SectionWriter& writer = NameSection) {
        return GenerateScript(list, script, position, writer);
    }
};

TEST_F(Generation, EmptyListGivesAnEmptyScript) {
    WriteBytes(list, "");
    WriteBytes(script, "old content\r\n");
    ASSERT_TRUE(run());
    EXPECT_EQ(ReadBytes(script), "");
}

TEST_F(Generation, MissingListLeavesTheScriptAndFails) {
    WriteBytes(script, "old content\r\n");
    const Result<int> generated = run();
    ASSERT_FALSE(generated);
    EXPECT_EQ(ReadBytes(script), "old content\r\n");
    EXPECT_EQ(GenerationFailureText(generated.error()),
              "Liste des fichiers sélectionnés en lecture seule ou inexistant: \r\n" + list +
                  "\r\nLe script précédent est resté tel qu'il était.");
}

TEST_F(Generation, SectionsFollowTheLatestFolderAndRunsDoNotAccumulate) {
    WriteBytes(list, "\vC:\\A\\\r\n\tx.dwg\r\n\vC:\\A\\B\\\r\n\ty.dwg\r\n\tz.dwg\r\n");
    ASSERT_TRUE(run());
    ASSERT_TRUE(run());
    EXPECT_EQ(ReadBytes(script), "C:\\A\\x.dwg\r\nC:\\A\\B\\y.dwg\r\nC:\\A\\B\\z.dwg\r\n");
    EXPECT_EQ(position.currentFileName, "z.dwg");
}

TEST_F(Generation, AFailingSectionStopsTheRunAndLeavesThePreviousScript) {
    WriteBytes(list, "\vC:\\\r\n\ta.dwg\r\n\tb.dwg\r\n\tc.dwg\r\n");
    WriteBytes(script, "old");
    int calls = 0;
    const Result<int> generated = run([&](std::string& section, const ListPosition& at) -> Status {
        ++calls;
        section += "_.open\r\n";
        if (at.currentFileName == "b.dwg")
            return BoxError(Cause::NotANumber, Box::EraseFirstX, "abc");
        section += at.currentFileName + "\r\n";
        return Success();
    });
    ASSERT_FALSE(generated);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ReadBytes(script), "old");
    // The box is named, not the list: the list is not at fault.
    EXPECT_EQ(
        GenerationFailureText(generated.error()),
        "Génération arrêtée. La case \xC2\xAB EFFACER, 1er point X \xC2\xBB ne contient pas un "
        "nombre : \"abc\"\r\nLe script précédent est resté tel qu'il était.");
}

TEST_F(Generation, NamesThatNoScriptLineCanCarryStopTheRun) {
    const std::string names[] = {"tab\t.dwg", "quote\".dwg", "bell\a.dwg"};
    WriteBytes(script, "old");
    for (const auto& name : names) {
        WriteBytes(list, "\vC:\\p\\\r\n\tok.dwg\r\n\t" + name + "\r\n\tlast.dwg\r\n");
        const Result<int> generated = run();
        ASSERT_FALSE(generated) << name;
        EXPECT_EQ(generated.error().code, ErrorCode::InvalidName);
        EXPECT_EQ(generated.error().detail, "C:\\p\\" + name);
        // Shown without its control characters, which would break the message.
        EXPECT_NE(GenerationFailureText(generated.error()).find("C:\\p\\" + ShownText(name)),
                  std::string::npos);
        EXPECT_EQ(ReadBytes(script), "old");
    }
    WriteBytes(list, "\vC:\\bad\"folder\\\r\n\tok.dwg\r\n");
    EXPECT_EQ(run().error().code, ErrorCode::InvalidName);
    // A list in UTF-8 may name what the script's code page cannot hold: AutoCAD would get "?".
    WriteBytes(list, "\xEF\xBB\xBF\vC:\\p\\\r\n\tok.dwg\r\n\t\xE2\x98\xBA.dwg\r\n");
    const Result<int> outside = run();
    ASSERT_FALSE(outside);
    EXPECT_EQ(GenerationFailureText(outside.error()),
              "Nom de fichier impossible à écrire dans le script : il contient « ☺ », qu'AutoCAD "
              "recevrait comme « ? » :\r\nC:\\p\\☺.dwg\r\nLe script précédent est resté tel "
              "qu'il était.");
    EXPECT_EQ(ReadBytes(script), "old");
}

// Two generations of one script at once (the window and a scheduled command line share it): each
// puts a whole script in place, never a mix of both, and leaves nothing beside it.
TEST_F(Generation, TwoGenerationsAtOnceEachLeaveAWholeScript) {
    std::string text = "\vC:\\p\\\r\n";
    for (int i = 0; i < 20000; ++i)
        text += "\tplan" + std::to_string(i) + ".dwg\r\n";
    WriteBytes(list, text);
    ASSERT_TRUE(run());
    const std::string whole = ReadBytes(script);
    std::vector<std::thread> generations;
    for (int i = 0; i < 2; ++i) {
        generations.emplace_back([&] {
            ListPosition own;
            EXPECT_TRUE(GenerateScript(list, script, own, NameSection));
        });
    }
    for (std::thread& generation : generations)
        generation.join();
    EXPECT_EQ(ReadBytes(script), whole);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ToFsPath(dir.folder())), {}), 2);
}

TEST_F(Generation, ScriptIsWrittenInTheAnsiCodePage) {
    WriteBytes(list, "\vC:\\Pr\xE9sentations\\\r\n\t\xE9t\xE9.dwg\r\n");
    ASSERT_TRUE(run());
    EXPECT_EQ(ReadBytes(script), "C:\\Pr\xE9sentations\\\xE9t\xE9.dwg\r\n");
    EXPECT_EQ(position.currentFolder, "C:\\Présentations\\");
}

TEST_F(Generation, AScriptThatCannotBeCreatedWritesNothing) {
    script = dir.path("missing-folder") + "/Pilotrame.scr";
    WriteBytes(list, "\vC:\\\r\n\ta.dwg\r\n");
    int calls = 0;
    const Result<int> generated = run([&](std::string&, const ListPosition&) {
        ++calls;
        return Success();
    });
    ASSERT_FALSE(generated);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(GenerationFailureText(generated.error())
                    .starts_with("Le dossier « " + dir.path("missing-folder") + kNativeSeparator +
                                 " » n'existe pas : le script « " + script +
                                 " » n'a pas pu y être écrit."));
}

#ifndef _WIN32
// A script that runs out of room is a full disk, named as such; the previous script stays whole,
// and nothing is left beside it.
TEST_F(Generation, ADiskThatFillsUpStopsTheRunAsAFullDisk) {
    WriteBytes(script, "old");
    std::string text = "\vC:\\\r\n";
    for (int i = 0; i < 200; ++i)
        text += "\tplan" + std::to_string(i) + ".dwg\r\n";
    WriteBytes(list, text);
    const int code = test::RunWithFileSizeLimit(4096, [&] {
        const Result<int> generated = run([](std::string& section, const ListPosition& at) {
            section += std::string(100, 'x') + at.currentFileName + "\r\n";
            return Success();
        });
        if (generated)
            return 1;
        if (generated.error().code != ErrorCode::DiskFull || generated.error().path != script)
            return 2;
        return GenerationFailureText(generated.error()).find("précédent") == std::string::npos ? 3
                                                                                               : 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(script), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ToFsPath(dir.folder())), {}), 2);
}
#endif

// The list is read as the script is written, a piece at a time: lists of every kind give the
// same script and the same outcome (a count, or the failure and its detail) whatever the size of
// the pieces, down to one byte. The BOM is no line end nor a marker: its list stops at a name
// holding a control character, as it does when read whole.
TEST_F(Generation, AListReadInPiecesGivesTheScriptOfTheListReadWhole) {
    const std::string texts[] = {
        "\vC:\\A\\\r\n\tx.dwg\n\r\n\vC:\\B\r\tb.dwg\r\n\tc.dwg",
        "\vD:\\Affaires\\H\xF4pital\\\r\n\tPlan_\xE9_1.dwg\r\n\xA5"
        "Coupe_\xE0.dwg\r\n"
        "\v\\\\serveur\\Fa\xE7"
        "ades\n\t\x80uro.dwg\r\t" +
            std::string(200, 'n') + ".dwg\r\n",
        "\xEF\xBB\xBF\vC:\\bom\\\r\n\tplan.dwg\r\n",
        "\vC:\\p\\\r\n\tok.dwg\r\n\tquote\".dwg\r\n\tlast.dwg\r\n",
    };
    // Each run from a fresh position, the count or the failure as text.
    const auto generate = [&](std::size_t pieceSize) {
        ListPosition fresh;
        const Result<int> generated =
            GenerateScript(list, script, fresh, NameSection, nullptr, pieceSize);
        return generated ? std::to_string(*generated)
                         : "failure " + std::to_string(static_cast<int>(generated.error().code)) +
                               " " + generated.error().detail;
    };
    for (const std::string& text : texts) {
        WriteBytes(list, text);
        const std::string whole = generate(text.size() + 1);
        const std::string wholeScript = ReadBytes(script);
        for (std::size_t size = 1; size <= text.size(); ++size) {
            ASSERT_EQ(generate(size), whole) << "pieces of " << size << " bytes: " << text;
            ASSERT_EQ(ReadBytes(script), wholeScript) << "pieces of " << size << ": " << text;
        }
    }
}

// "Générer script" writes the sections of a drawing job in the ANSI code page from the start, the
// names as the list holds them: byte for byte the sections written in UTF-8 and converted, over
// accented folders and names, bytes the code page leaves undefined, a marker that is no tab, a
// folder coming back, and every operation ticked.
TEST_F(Generation, SectionsWrittenInAnsiAreTheSectionsConverted) {
    WriteBytes(list, "\vC:\\R\xE9"
                     "seaux\\\r\n\t\xC9t\xE9.dwg\r\n\t\x80.dwg\r\n\vC:\\plans\\\r\n"
                     "\tA01.dwg\r\n\vC:\\R\xE9"
                     "seaux\\\r\n\tFa\xE7"
                     "ade.dwg\r\n\t\x81\x8D\x8F\x90\x9D.dwg\r\n\xA5"
                     "Coupe.dwg\r\nXplan\xFF.dwg\r\n");
    DrawingJob job;
    job.customScript = true;
    job.scriptText = "_-calque\nch\nCartouche_\xC3\xA9t\xC3\xA9";
    job.purge = true;
    job.zoomExtents = true;
    job.erase = true;
    job.erasePoints = {"12,5", "-3,25", "1250", "980,75"};
    job.insert = true;
    job.insertFile = true;
    job.insertPath = "C:\\Blocs\\Cartouche_soci\xC3\xA9t\xC3\xA9.dwg";
    job.replaceText = true;
    job.replaceTexts = {"R\xC3\xA9v. A", "R\xC3\xA9v. B", "", ""};
    const Settings settings = DefaultSettings(ProposeSettingValues({}, FolderStyle::Windows, ""));
    DrawingSectionWriter converted(job, settings, ',');
    ASSERT_EQ(
        *run([&](std::string& section, const ListPosition& at) { return converted(section, at); }),
        7);
    const std::string expected = ReadBytes(script);
    EXPECT_NE(expected.find("\"C:\\R\xE9"
                            "seaux\\Fa\xE7"
                            "ade.dwg\""),
              std::string::npos);
    DrawingSectionWriter ansi(job, settings, ',');
    ASSERT_EQ(*GenerateScript(list, script, position, ansi), 7);
    EXPECT_EQ(ReadBytes(script), expected);
}

#ifdef __linux__
// A list that the system lets open but fails to read (/proc/self/mem has no byte at its start)
// stops the run as an unreadable list, never as a script written in full.
TEST_F(Generation, AListThatCannotBeReadStopsTheRun) {
    list = "/proc/self/mem";
    WriteBytes(script, "old");
    const Result<int> generated = run();
    ASSERT_FALSE(generated);
    EXPECT_EQ(generated.error().operation, Operation::ReadList);
    EXPECT_EQ(ReadBytes(script), "old");
}
#endif

TEST_F(Generation, FullSectionsEndToEnd) {
    WriteBytes(list, "\vC:\\plans\\\r\n\tA01.dwg\r\n\tA02.dwg\r\n");
    DrawingJob job;
    job.plot = false;
    job.purge = true;
    job.purgeAll = true;
    job.zoomExtents = true;
    const Settings settings = DefaultSettings(ProposeSettingValues({}, FolderStyle::Windows, ""));
    ASSERT_TRUE(run([&](std::string& section, const ListPosition& at) {
        return WriteDrawingSection(section, job, settings, at, ',');
    }));
    const std::string body = "zoom\r\net\r\npurger\r\nto\r\n\r\nn\r\n_qsave\r\n_close\r\n";
    EXPECT_EQ(ReadBytes(script), "_.open\r\n\"C:\\plans\\A01.dwg\"\r\n" + body +
                                     "_.open\r\n\"C:\\plans\\A02.dwg\"\r\n" + body);
}

} // namespace
} // namespace pilotrame
