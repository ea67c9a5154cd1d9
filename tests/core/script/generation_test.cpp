#include "script/generation.h"

#include "base/messages.h"

#include "script/drawingsection.h"
#include "support/childprocess.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

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

TEST_F(Generation, MissingListEmptiesTheScriptThenFails) {
    WriteBytes(script, "old content\r\n");
    const Result<int> generated = run();
    ASSERT_FALSE(generated);
    EXPECT_EQ(ReadBytes(script), "");
    EXPECT_EQ(GenerationFailureText(generated.error()),
              "Liste des fichiers sélectionnés en lecture seule ou inexistant: \r\n" + list);
}

TEST_F(Generation, SectionsFollowTheLatestFolderAndRunsDoNotAccumulate) {
    WriteBytes(list, "\vC:\\A\\\r\n\tx.dwg\r\n\vC:\\A\\B\\\r\n\ty.dwg\r\n\tz.dwg\r\n");
    ASSERT_TRUE(run());
    ASSERT_TRUE(run());
    EXPECT_EQ(ReadBytes(script), "C:\\A\\x.dwg\r\nC:\\A\\B\\y.dwg\r\nC:\\A\\B\\z.dwg\r\n");
    EXPECT_EQ(position.currentFileName, "z.dwg");
}

TEST_F(Generation, AFailingSectionLeavesNothingOfItselfAndStopsTheRun) {
    WriteBytes(list, "\vC:\\\r\n\ta.dwg\r\n\tb.dwg\r\n\tc.dwg\r\n");
    int calls = 0;
    const Result<int> generated = run([&](std::string& section, const ListPosition& at) -> Status {
        ++calls;
        section += "_.open\r\n";
        if (at.currentFileName == "b.dwg")
            return BoxError(Cause::NotANumber, "EFFACER, 1er point X", "abc");
        section += at.currentFileName + "\r\n";
        return Success();
    });
    ASSERT_FALSE(generated);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(ReadBytes(script), "_.open\r\na.dwg\r\n");
    // The box is named, not the list: the list is not at fault.
    EXPECT_EQ(
        GenerationFailureText(generated.error()),
        "Génération arrêtée. La case \xC2\xAB EFFACER, 1er point X \xC2\xBB ne contient pas un "
        "nombre : \"abc\"");
}

TEST_F(Generation, NamesThatNoScriptLineCanCarryStopTheRun) {
    const std::string names[] = {"tab\t.dwg", "quote\".dwg", "bell\a.dwg"};
    for (const auto& name : names) {
        WriteBytes(list, "\vC:\\p\\\r\n\tok.dwg\r\n\t" + name + "\r\n\tlast.dwg\r\n");
        const Result<int> generated = run();
        ASSERT_FALSE(generated) << name;
        EXPECT_EQ(generated.error().code, ErrorCode::InvalidName);
        EXPECT_EQ(generated.error().detail, "C:\\p\\" + name);
        EXPECT_NE(GenerationFailureText(generated.error()).find("C:\\p\\" + name),
                  std::string::npos);
        EXPECT_EQ(ReadBytes(script), "C:\\p\\ok.dwg\r\n");
    }
    WriteBytes(list, "\vC:\\bad\"folder\\\r\n\tok.dwg\r\n");
    EXPECT_EQ(run().error().code, ErrorCode::InvalidName);
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
    EXPECT_EQ(GenerationFailureText(generated.error()),
              "Impossible de créer le fichier script : \r\n" + script);
}

#ifndef _WIN32
// A script that runs out of room is a full disk, named as such, never a finished script.
TEST_F(Generation, ADiskThatFillsUpStopsTheRunAsAFullDisk) {
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
        return GenerationFailureText(generated.error()).find("incomplet") == std::string::npos ? 3
                                                                                               : 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_LE(ReadBytes(script).size(), 4096u);
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
