#include "gui/folderpicker.h"

#include "support/guitest.h"
#include "support/tempdir.h"

#include <QComboBox>
#include <QDir>
#include <QSignalSpy>
#include <QTreeView>
#include <QWidget>

#include <string_view>

namespace pilotrame::gui {
namespace {

using test::Str;

class FolderPickerTest : public ::testing::Test {
protected:
    FolderPickerTest() { test::MakeTree(tree, {"A/B/", "AB/", "x.txt"}); }

    // A folder of the tree as the picker shows it: native separators, none at the end.
    QString shown(std::string_view relative) const {
        QString folder = QString::fromStdString(tree.path(test::Native(relative)));
        if (folder.endsWith(QDir::separator()))
            folder.chop(1);
        return folder;
    }

    // A picker whose controls lie in host, which owns it.
    FolderPicker* makePicker(const QStringList& drives, bool expandShownFolder = false) {
        return new FolderPicker(FolderPicker::Setup{.driveListName = QStringLiteral("drives"),
                                                    .folderTreeName = QStringLiteral("folders"),
                                                    .drives = drives,
                                                    .unreadableDriveTitle = "titre",
                                                    .unreadableDriveText = "texte",
                                                    .expandShownFolder = expandShownFolder},
                                &host);
    }

    test::TempDir tree;
    QWidget host;
};

TEST_F(FolderPickerTest, AFolderSelectsTheDriveWithTheLongestRootThatHoldsIt) {
#ifdef _WIN32
    GTEST_SKIP() << "drives are letters on Windows";
#endif
    const QString root = shown("");
    const QString nested = shown("A");
    FolderPicker* picker = makePicker({QStringLiteral("/"), root, nested});
    const struct {
        const char* what;
        QString folder;
        QString drive;
    } cases[] = {
        {"inside the nested drive", shown("A/B"), nested},
        {"a drive's own root", nested, nested},
        {"a name that begins like a drive's is not on it", shown("AB"), root},
        {"outside every mounted drive", QDir::rootPath(), QStringLiteral("/")},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(picker->setFolder(c.folder)) << c.what;
        EXPECT_EQ(Str(picker->driveList()->currentText()), Str(c.drive)) << c.what;
    }
}

TEST_F(FolderPickerTest, EveryFolderShownIsReportedAndAnythingElseRefused) {
    FolderPicker* picker = makePicker({});
    QSignalSpy reported(picker, &FolderPicker::folderChanged);
    // In order: each step starts where the one before left the picker.
    const struct {
        const char* what;
        QString folder;
        bool shown;
    } steps[] = {
        {"a folder", shown("A"), true},
        {"the same folder again, so that a window reads it anew", shown("A"), true},
        {"a folder with a separator at the end", shown("A/B") + QDir::separator(), true},
        {"a missing folder", shown("missing"), false},
        {"a file", shown("x.txt"), false},
        {"nothing", QString(), false},
    };
    QString shownBefore;
    for (const auto& step : steps) {
        reported.clear();
        EXPECT_EQ(picker->setFolder(step.folder), step.shown) << step.what;
        if (step.shown) {
            shownBefore = QDir::toNativeSeparators(QDir::cleanPath(step.folder));
            ASSERT_EQ(reported.size(), 1) << step.what;
            EXPECT_EQ(Str(reported[0][0].toString()), Str(shownBefore)) << step.what;
        } else {
            EXPECT_EQ(reported.size(), 0) << step.what;
        }
        EXPECT_EQ(Str(picker->folder()), Str(shownBefore)) << step.what;
    }
}

TEST_F(FolderPickerTest, TheFolderShownIsOpenedOnlyWhenTheWindowAsks) {
    for (const bool expand : {false, true}) {
        FolderPicker* picker = makePicker({}, expand);
        ASSERT_TRUE(picker->setFolder(shown("A")));
        const QTreeView* folders = picker->folderTree();
        EXPECT_EQ(folders->isExpanded(folders->currentIndex()), expand);
    }
}

} // namespace
} // namespace pilotrame::gui
