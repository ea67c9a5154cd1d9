#include "gui/selection/advancedselectionwindow.h"

#include "base/paths.h"
#include "selection/folderwalk.h"
#include "support/guitest.h"
#include "support/scriptedprompts.h"
#include "support/tempdir.h"
#include "texts/common.h"
#include "texts/lists.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace pilotrame::gui {
namespace {

namespace fs = std::filesystem;
using test::Child;
using test::Click;
using test::LayoutFaults;
using test::Native;
using test::ReadBytes;
using test::ShownInWindow;
using test::Str;
using test::WriteBytes;

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const std::string kSep(1, kNativeSeparator);

std::optional<QString> OptionalText(const char* text) {
    if (text == nullptr)
        return std::nullopt;
    return QString::fromUtf8(text);
}

// The folder as Dir1 shows it: native separators, no separator at the end.
QString Shown(const std::string& folder) {
    QString path = QString::fromStdString(folder);
    if (path.size() > 1 && path.endsWith(QDir::separator()))
        path.chop(1);
    return path;
}

QStringList ItemTexts(const QComboBox* combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

QStringList ItemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

class AdvancedSelectionWindowTest : public ::testing::Test {
protected:
    AdvancedSelectionWindowTest() { session.programFolder = program.folder(); }

    // Makes entries under the tree folder: a name ending in "/" is a folder, any other a file.
    void makeTree(std::initializer_list<std::string_view> entries) {
        test::MakeTree(tree, entries);
    }
    std::string folder(std::string_view relative) const {
        return WithTrailingSeparator(tree.path(Native(relative)));
    }

    template <typename T = QWidget> static T* get(const QWidget& window, const char* name) {
        return Child<T>(&window, QLatin1String(name));
    }
    static void pick(QComboBox* box, const QString& entry) {
        const int index = box->findText(entry);
        ASSERT_GE(index, 0) << Str(entry);
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // The expected list bytes from lines separated by "|": "{A}" stands for the folder A with
    // its separator, "{/}" for a separator, "{c}" for "ç" in the ANSI code page; each line gets
    // CR LF.
    std::string listBytes(std::string_view lines) const {
        if (lines.empty())
            return {};
        std::string text(lines);
        const std::pair<std::string_view, std::string> marks[] = {
            {"{A}", folder("A")}, {"{/}", kSep}, {"{c}", "\xE7"}, {"|", "\r\n"}};
        for (const auto& [mark, replacement] : marks) {
            for (std::size_t at = 0; (at = text.find(mark, at)) != std::string::npos;
                 at += replacement.size())
                text.replace(at, mark.size(), replacement);
        }
        return text + "\r\n";
    }

    test::TempDir program;
    test::TempDir tree;
    test::ScriptedPrompts prompts;
    Session session;
};

TEST_F(AdvancedSelectionWindowTest, ControlsCaptionsAndDefaults) {
    AdvancedSelectionWindow window(session);
    EXPECT_EQ(Str(window.objectName()), "Form4");
    EXPECT_EQ(Str(window.windowTitle()), "Sélection avancée");
    EXPECT_TRUE(window.isModal());

    const std::pair<const char*, const char*> labels[] = {
        {"Label3", "Selection des sous répertoires:"},
        {"Label1", "Mode de recherche des fichiers:"},
        {"Label2", "Type de fichier:"}};
    for (const auto& [name, caption] : labels) {
        if (auto* label = get<QLabel>(window, name)) {
            EXPECT_EQ(Str(label->text()), caption) << name;
        }
    }
    const std::pair<const char*, const char*> buttons[] = {
        {"Check1", "Générer uniquement une liste des fichiers"}, {"Command2", "Validation"}};
    for (const auto& [name, caption] : buttons) {
        if (auto* button = get<QAbstractButton>(window, name)) {
            EXPECT_EQ(Str(button->text()), caption) << name;
        }
    }
    auto* check1 = get<QCheckBox>(window, "Check1");
    ASSERT_NE(check1, nullptr);
    EXPECT_FALSE(check1->isChecked());

    auto* combo1 = get<QComboBox>(window, "Combo1");
    ASSERT_NE(combo1, nullptr);
    EXPECT_FALSE(combo1->isEditable());
    EXPECT_EQ(ItemTexts(combo1),
              QStringList({"Répertoire courant", "Les 1er sous répertoires",
                           "Le Courant et les 1er", "Le Courant, les 1er, les 2ème"}));
    EXPECT_EQ(Str(combo1->currentText()), "Le Courant et les 1er");

    auto* combo2 = get<QComboBox>(window, "Combo2");
    ASSERT_NE(combo2, nullptr);
    EXPECT_TRUE(combo2->isEditable());
    EXPECT_EQ(Str(combo2->currentText()), "*.dwg");
    EXPECT_EQ(ItemTexts(combo2), QStringList({"*.dxf", "*.dwt", "*.dgn", "*.*"}));

    auto* drive1 = get<QComboBox>(window, "Drive1");
    ASSERT_NE(drive1, nullptr);
    const QStringList drives = ItemTexts(drive1);
    EXPECT_TRUE(drives.contains(Qs(FallbackDrive()), Qt::CaseInsensitive));
    for (const QString& drive : drives) {
        EXPECT_EQ(drives.count(drive), 1) << Str(drive);
        EXPECT_TRUE(QFileInfo(QString::fromStdString(DriveRoot(drive.toStdString()))).isDir())
            << Str(drive);
    }
    EXPECT_NE(get<QTreeView>(window, "Dir1"), nullptr);
    EXPECT_NE(get<QListWidget>(window, "File1"), nullptr);
}

TEST_F(AdvancedSelectionWindowTest, PatternIsTheTextAsTyped) {
    AdvancedSelectionWindow window(session);
    auto* combo2 = get<QComboBox>(window, "Combo2");
    ASSERT_NE(combo2, nullptr);
    // A completion from the list would turn "*.d" into "*.dxf".
    test::TypeText(combo2, QStringLiteral("*.d"));
    EXPECT_EQ(Str(combo2->currentText()), "*.d");
    EXPECT_EQ(combo2->count(), 4);
}

TEST_F(AdvancedSelectionWindowTest, OpensOnTheFolderItIsGivenThenTheWalkFolder) {
    makeTree({"A/", "B/"});
    const std::string current = Str(QDir::toNativeSeparators(QDir::currentPath()));
    struct Case {
        const char* name;
        std::string walkFolder;
        std::string startFolder;
        std::string expected;
    };
    const Case cases[] = {
        {"first opening of a run", "", "", current},
        {"walk folder", folder("A"), "", folder("A")},
        {"start folder before the walk folder", folder("A"), folder("B"), folder("B")},
        {"walk folder since removed", folder("gone"), "", current},
    };
    for (const Case& c : cases) {
        session.walkFolder = c.walkFolder;
        AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(c.startFolder));
        EXPECT_EQ(window.dirPath(), Shown(c.expected)) << c.name;
        auto* dir1 = get<QTreeView>(window, "Dir1");
        ASSERT_NE(dir1, nullptr);
        EXPECT_EQ(
            QDir::toNativeSeparators(
                static_cast<QFileSystemModel*>(dir1->model())->filePath(dir1->currentIndex())),
            Shown(c.expected))
            << c.name;
    }
}

TEST_F(AdvancedSelectionWindowTest, File1ShowsEveryVisibleFileOfTheFolderInDir1) {
    makeTree({"A/b.txt", "A/a.DWG", "A/.cache", "A/Sub/inner.dwg", "B/only.dxf"});
    session.walkFolder = folder("A");
    AdvancedSelectionWindow window(session);
    auto* file1 = get<QListWidget>(window, "File1");
    ASSERT_NE(file1, nullptr);
    EXPECT_EQ(ItemTexts(file1), QStringList({"a.DWG", "b.txt"}));

    ASSERT_TRUE(window.setDirPath(QString::fromStdString(folder("B"))));
    EXPECT_EQ(ItemTexts(file1), QStringList({"only.dxf"}));
    EXPECT_FALSE(window.setDirPath(QString::fromStdString(folder("missing"))));
    EXPECT_EQ(window.dirPath(), Shown(folder("B")));
    EXPECT_EQ(ItemTexts(file1), QStringList({"only.dxf"}));
}

TEST_F(AdvancedSelectionWindowTest, Dir1ShowsFoldersOnly) {
    makeTree({"A/x.dwg", "A/B/", "A/.hidden/"});
    session.walkFolder = folder("A");
    AdvancedSelectionWindow window(session);
    auto* dir1 = get<QTreeView>(window, "Dir1");
    ASSERT_NE(dir1, nullptr);
    auto* model = static_cast<QFileSystemModel*>(dir1->model());
    const QModelIndex a = dir1->currentIndex();
    // The model reads folders in the background.
    for (int waited = 0; model->rowCount(a) < 1 && waited < 5000; waited += 20)
        QTest::qWait(20);
    QStringList names;
    for (int row = 0; row < model->rowCount(a); ++row)
        names << model->fileName(model->index(row, 0, a));
    EXPECT_EQ(names, QStringList({"B"}));
}

TEST_F(AdvancedSelectionWindowTest, ValidationWritesTheListAndGivesTheCounts) {
    struct Case {
        const char* name;
        std::initializer_list<std::string_view> extra; // beside A/x.dwg and A/B/façade.dwg
        int mode;                                      // index in the mode list
        const char* typedPattern;                      // nullptr: "*.dwg" as the window opens
        bool listOnly;                                 // Check1
        const char* lines;                             // see listBytes
        int fileCount;
        const char* folderCount; // nullptr: the folder count is left as it is
        std::string_view walkFolderAfter;
    };
    // clang-format off
    const Case cases[] = {
        {"current and first", {}, 2, nullptr, false,
         "\v{A}|\tx.dwg|\v{A}B{/}|\tfa{c}ade.dwg", 2, "1 Répertoires", "A"},
        {"list for reading only", {}, 2, nullptr, true,
         "{A}|\tx.dwg|{A}B{/}|\tfa{c}ade.dwg", 2, "1 Répertoires", "A"},
        {"current folder", {}, 0, nullptr, false,
         "\v{A}|\tx.dwg", 1, nullptr, "A"},
        {"first sub-folders", {}, 1, nullptr, false,
         "\v{A}B{/}|\tfa{c}ade.dwg", 1, "1 Répertoires", "A"},
        {"sub-folder without a match gives no line", {"A/C/readme.txt"}, 2, nullptr, false,
         "\v{A}|\tx.dwg|\v{A}B{/}|\tfa{c}ade.dwg", 2, "2 Répertoires", "A"},
        {"typed pattern lists every file", {"A/notes.txt"}, 2, "*.*", false,
         "\v{A}|\tnotes.txt|\tx.dwg|\v{A}B{/}|\tfa{c}ade.dwg", 3, "1 Répertoires", "A"},
        {"two levels", {"A/B/D/z.dwg", "A/B/E/"}, 3, nullptr, false,
         "\v{A}|\tx.dwg|\v{A}B{/}|\tfa{c}ade.dwg|\v{A}B{/}D{/}|\tz.dwg", 3, "2 Répertoires",
         "A/B"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(ToFsPath(tree.path("A")));
        makeTree({"A/x.dwg", "A/B/façade.dwg"});
        makeTree(c.extra);
        session.walkFolder.clear();
        WriteBytes(session.listPath(), "previous list");

        AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
        auto* combo1 = get<QComboBox>(window, "Combo1");
        auto* combo2 = get<QComboBox>(window, "Combo2");
        auto* check1 = get<QCheckBox>(window, "Check1");
        ASSERT_TRUE(combo1 && combo2 && check1);
        combo1->setCurrentIndex(c.mode);
        if (c.typedPattern)
            test::TypeText(combo2, QString::fromUtf8(c.typedPattern));
        if (c.listOnly)
            check1->setChecked(true);
        Click(get(window, "Command2"));

        EXPECT_EQ(ReadBytes(session.listPath()), listBytes(c.lines));
        ASSERT_TRUE(window.outcome().has_value());
        EXPECT_EQ(window.outcome()->fileCount, c.fileCount);
        EXPECT_EQ(window.outcome()->folderCountText, OptionalText(c.folderCount));
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_TRUE(prompts.messages.isEmpty());

        // The next opening starts where this walk ended.
        EXPECT_EQ(session.walkFolder, folder(c.walkFolderAfter));
        AdvancedSelectionWindow next(session);
        EXPECT_EQ(next.dirPath(), Shown(folder(c.walkFolderAfter)));
    }
}

TEST_F(AdvancedSelectionWindowTest, FolderWithoutSubFoldersWarnsOnceInModesThatWalkThem) {
    struct Case {
        int mode;
        bool warned;
        const char* lines;
        int fileCount;
        const char* folderCount;
    };
    const Case cases[] = {
        {0, false, "\v{A}|\tx.dwg", 1, nullptr},
        {1, true, "", 0, "0 Répertoires"},
        {2, true, "\v{A}|\tx.dwg", 1, "0 Répertoires"},
        {3, true, "\v{A}|\tx.dwg", 1, "0 Répertoires"},
    };
    makeTree({"A/x.dwg"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        prompts.messages.clear();
        AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
        auto* combo1 = get<QComboBox>(window, "Combo1");
        ASSERT_NE(combo1, nullptr);
        combo1->setCurrentIndex(c.mode);
        Click(get(window, "Command2"));

        if (c.warned) {
            ASSERT_EQ(prompts.messages.size(), 1);
            EXPECT_EQ(prompts.messages[0].title, Qs(kWarningTitle));
            EXPECT_EQ(prompts.messages[0].text, Qs(kNoSubFolderText));
        } else {
            EXPECT_TRUE(prompts.messages.isEmpty());
        }
        EXPECT_EQ(ReadBytes(session.listPath()), listBytes(c.lines));
        ASSERT_TRUE(window.outcome().has_value());
        EXPECT_EQ(window.outcome()->fileCount, c.fileCount);
        EXPECT_EQ(window.outcome()->folderCountText, OptionalText(c.folderCount));
    }
}

TEST_F(AdvancedSelectionWindowTest, FolderGoneBeforeValidationIsNamedInOneWarning) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder the window watches is not removed under it on Windows";
#endif
    makeTree({"A/x.dwg", "A/B/y.dwg"});
    AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
    // Another program removes the folder while the window shows it.
    fs::remove_all(ToFsPath(tree.path("A")));
    Click(get(window, "Command2"));

    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, Qs(kWarningTitle));
    EXPECT_EQ(prompts.messages[0].text,
              QString::fromStdString(UnreadableFoldersText({folder("A")})));
    EXPECT_EQ(ReadBytes(session.listPath()), "");
    ASSERT_TRUE(window.outcome().has_value());
    EXPECT_EQ(window.outcome()->fileCount, 0);
}

TEST_F(AdvancedSelectionWindowTest, ClosingWithoutValidationLeavesTheList) {
    makeTree({"A/x.dwg"});
    WriteBytes(session.listPath(), "previous list");
    session.walkFolder = folder("A");
    QTimer::singleShot(0, [] {
        if (QWidget* shownWindow = QApplication::activeModalWidget())
            shownWindow->close();
    });
    const std::optional<AdvancedSelectionOutcome> outcome = AdvancedSelectionWindow::run(session);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(ReadBytes(session.listPath()), "previous list");
    EXPECT_EQ(session.walkFolder, folder("A"));
}

TEST_F(AdvancedSelectionWindowTest, ListThatCannotBeWrittenShowsTheErrorAndGivesNoCounts) {
    makeTree({"A/x.dwg", "A/B/"});
    struct Case {
        const char* name;
        std::string programFolder;
        bool listIsAFolder;
    };
    const Case cases[] = {
        {"program folder removed", WithTrailingSeparator(program.path("gone")), false},
        {"list path is a folder", program.folder(), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.messages.clear();
        session.programFolder = c.programFolder;
        if (c.listIsAFolder)
            fs::create_directories(ToFsPath(session.listPath()));
        AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
        Click(get(window, "Command2"));

        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_EQ(prompts.messages[0].title, Qs(kErrorTitle));
        EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromStdString(session.listPath())))
            << Str(prompts.messages[0].text);
        EXPECT_FALSE(window.outcome().has_value());
        EXPECT_NE(window.result(), QDialog::Accepted);
        EXPECT_EQ(fs::is_directory(ToFsPath(session.listPath())), c.listIsAFolder);
    }
}

TEST_F(AdvancedSelectionWindowTest, AWalkWhoseEveryFileIsRefusedLeavesTheListAndTheWindow) {
    makeTree({"A/\xE6\x97\xA5.dwg"});
    WriteBytes(session.listPath(), "previous list");
    AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
    get<QComboBox>(window, "Combo1")->setCurrentIndex(0); // the current folder: no sub-folder
    Click(get(window, "Command2"));

    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text,
              QString::fromStdString(NamesOutsideAnsiText({folder("A") + "\xE6\x97\xA5.dwg"})));
    EXPECT_EQ(ReadBytes(session.listPath()), "previous list");
    EXPECT_FALSE(window.outcome().has_value());
    EXPECT_NE(window.result(), QDialog::Accepted);
}

TEST_F(AdvancedSelectionWindowTest, CancelledWalkLeavesTheListAndTheWindow) {
    makeTree({"A/x.dwg", "A/B/y.dwg"});
    WriteBytes(session.listPath(), "previous list");
    AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
    window.setProgressDelay(std::chrono::milliseconds(0));
    QString progressText;
    QString cancelText;
    QTimer::singleShot(0, [&] {
        auto* progress = window.findChild<QProgressDialog*>();
        ASSERT_NE(progress, nullptr);
        EXPECT_TRUE(progress->isVisible());
        progressText = progress->labelText();
        for (QPushButton* button : progress->findChildren<QPushButton*>()) {
            cancelText = button->text();
            Click(button);
        }
    });
    Click(get(window, "Command2"));

    EXPECT_TRUE(progressText.startsWith(QStringLiteral("Recherche des fichiers…")))
        << Str(progressText);
    EXPECT_EQ(Str(cancelText), "Annuler");
    EXPECT_EQ(ReadBytes(session.listPath()), "previous list");
    EXPECT_FALSE(window.outcome().has_value());
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(window.findChild<QProgressDialog*>(), nullptr);

    // The window stays usable: a second validation, left to run, writes the list.
    window.setProgressDelay(std::chrono::milliseconds(60000));
    Click(get(window, "Command2"));
    ASSERT_TRUE(window.outcome().has_value());
    EXPECT_EQ(window.outcome()->fileCount, 2);
}

TEST_F(AdvancedSelectionWindowTest, DriveChangeShowsTheRootOrFallsBack) {
    makeTree({"A/x.dwg"});
    AdvancedSelectionWindow window(session, nullptr, QString::fromStdString(folder("A")));
    auto* drive1 = get<QComboBox>(window, "Drive1");
    ASSERT_NE(drive1, nullptr);
    const QString fallback = Qs(FallbackDrive());
    const int fallbackIndex = drive1->findText(fallback, Qt::MatchFixedString);
    ASSERT_GE(fallbackIndex, 0);

    pick(drive1, drive1->itemText(fallbackIndex));
    EXPECT_EQ(window.dirPath().toLower(), fallback.toLower());
    EXPECT_TRUE(prompts.messages.isEmpty());

    ASSERT_TRUE(window.setDirPath(QString::fromStdString(folder("A"))));
    // A drive unplugged after the list was made.
#ifdef _WIN32
    const QString unplugged = QStringLiteral("0:");
#else
    const QString unplugged = QString::fromStdString(tree.path("unplugged"));
#endif
    drive1->addItem(unplugged);
    pick(drive1, unplugged);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].title, Qs(kDriveNotReadyTitle));
    EXPECT_EQ(prompts.messages[0].text, Qs(kDriveNotReadyText));
    EXPECT_EQ(drive1->currentText().toLower(), fallback.toLower());
    EXPECT_EQ(window.dirPath().toLower(), fallback.toLower());
}

TEST_F(AdvancedSelectionWindowTest, ControlsDoNotOverlapAtNormalAndLargeFonts) {
    const QFont original = QApplication::font();
    for (const double scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        QFont font = original;
        font.setPointSizeF(original.pointSizeF() * scale);
        QApplication::setFont(font);
        AdvancedSelectionWindow window(session);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        for (const char* name : {"Label3", "Drive1", "Dir1", "File1", "Label1", "Combo1", "Label2",
                                 "Combo2", "Check1", "Command2"}) {
            QWidget* widget = get(window, name);
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(ShownInWindow(widget)) << name;
        }
        EXPECT_EQ(LayoutFaults(&window), std::vector<std::string>{});
        window.close();
    }
    QApplication::setFont(original);
}

} // namespace
} // namespace pilotrame::gui
