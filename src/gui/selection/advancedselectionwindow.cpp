#include "gui/selection/advancedselectionwindow.h"

#include "base/paths.h"
#include "gui/folderpicker.h"
#include "gui/formparts.h"
#include "gui/prompts.h"
#include "selection/filelist.h"
#include "selection/folderwalk.h"
#include "texts/common.h"
#include "texts/lists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeView>

#include <string_view>

namespace pilotrame::gui {

namespace {

// Keeps the window alive during a walk and lets the user stop it. Until the walk has lasted
// the delay, only paint and timer events are handled, so that a click cannot start a second
// walk; after it a modal progress window takes the clicks and offers "Annuler".
class WalkProgress {
public:
    WalkProgress(QWidget* window, std::chrono::milliseconds delay)
        : m_window(window), m_delay(delay) {
        m_clock.start();
    }
    ~WalkProgress() { delete m_dialog; }
    WalkProgress(const WalkProgress&) = delete;
    WalkProgress& operator=(const WalkProgress&) = delete;

    // Asked before each folder is read; false once the user has cancelled.
    bool keepGoing() {
        ++m_folders;
        if (!m_dialog && m_clock.elapsed() >= m_delay.count())
            open();
        // Handling events for every folder would slow a walk of many small folders.
        if (m_lastEvents.isValid() && m_lastEvents.elapsed() < kEventInterval)
            return !cancelled();
        m_lastEvents.start();
        if (m_dialog) {
            m_dialog->setLabelText(labelText());
            QCoreApplication::processEvents();
        } else {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        return !cancelled();
    }

private:
    static constexpr qint64 kEventInterval = 30; // milliseconds

    void open() {
        m_dialog = new QProgressDialog(labelText(), QStringLiteral("Annuler"), 0, 0, m_window);
        m_dialog->setObjectName(QStringLiteral("WalkProgress"));
        m_dialog->setWindowTitle(m_window->windowTitle());
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setMinimumDuration(0);
        m_dialog->show();
    }

    QString labelText() const { return FromStd(WalkProgressText(m_folders)); }

    bool cancelled() const { return m_dialog && m_dialog->wasCanceled(); }

    QWidget* m_window;
    std::chrono::milliseconds m_delay;
    QElapsedTimer m_clock;
    QElapsedTimer m_lastEvents;
    QPointer<QProgressDialog> m_dialog;
    int m_folders = 0;
};

} // namespace

AdvancedSelectionWindow::AdvancedSelectionWindow(Session& session, QWidget* parent,
                                                 const QString& startFolder)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_session(session) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Sélection avancée"));
    setModal(true);

    m_treeCaption = new QLabel(QStringLiteral("Selection des sous répertoires:"), this);
    m_treeCaption->setObjectName(QStringLiteral("Label3"));

    m_folderPicker = new FolderPicker({.driveListName = QStringLiteral("Drive1"),
                                       .folderTreeName = QStringLiteral("Dir1"),
                                       .drives = MountedDrives(),
                                       .unreadableDriveTitle = kDriveNotReadyTitle,
                                       .unreadableDriveText = kDriveNotReadyText,
                                       .expandShownFolder = true},
                                      this);
    m_folderPicker->driveList()->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_folderPicker, &FolderPicker::folderChanged, this,
            &AdvancedSelectionWindow::ListFolderFiles);

    m_fileList = new QListWidget(this);
    m_fileList->setObjectName(QStringLiteral("File1"));
    // For looking only: the walk, not a pick here, decides what is listed.
    m_fileList->setSelectionMode(QAbstractItemView::NoSelection);
    m_fileList->setSortingEnabled(false);

    m_modeCaption = new QLabel(QStringLiteral("Mode de recherche des fichiers:"), this);
    m_modeCaption->setObjectName(QStringLiteral("Label1"));
    m_walkMode = new QComboBox(this);
    m_walkMode->setObjectName(QStringLiteral("Combo1"));
    for (const std::string_view mode : kWalkModeTexts)
        m_walkMode->addItem(FromStd(mode));
    m_walkMode->setCurrentIndex(m_walkMode->findText(FromStd(kWalkModeTexts[2])));
    m_walkMode->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_modeCaption->setBuddy(m_walkMode);

    m_patternCaption = new QLabel(QStringLiteral("Type de fichier:"), this);
    m_patternCaption->setObjectName(QStringLiteral("Label2"));
    m_pattern = new QComboBox(this);
    m_pattern->setObjectName(QStringLiteral("Combo2"));
    m_pattern->setEditable(true);
    // The pattern is the text as typed: neither completed from the list nor added to it.
    m_pattern->setInsertPolicy(QComboBox::NoInsert);
    m_pattern->setCompleter(nullptr);
    m_pattern->addItems({QStringLiteral("*.dxf"), QStringLiteral("*.dwt"), QStringLiteral("*.dgn"),
                         QStringLiteral("*.*")});
    m_pattern->setCurrentIndex(-1);
    m_pattern->setEditText(QStringLiteral("*.dwg"));
    m_patternCaption->setBuddy(m_pattern);

    m_listOnly = new QCheckBox(QStringLiteral("Générer uniquement une liste des fichiers"), this);
    m_listOnly->setObjectName(QStringLiteral("Check1"));

    m_validate = new QPushButton(QStringLiteral("Validation"), this);
    m_validate->setObjectName(QStringLiteral("Command2"));
    // Enter in the pattern box must not start a walk.
    m_validate->setAutoDefault(false);
    connect(m_validate, &QPushButton::clicked, this,
            &AdvancedSelectionWindow::ValidateAdvancedSelection);

    buildLayout();

    const QString walkFolder = QString::fromStdString(m_session.walkFolder);
    const QString first = !startFolder.isEmpty() ? startFolder : walkFolder;
    if (!setDirPath(first) && !setDirPath(QDir::currentPath()))
        setDirPath(QString::fromStdString(FallbackDrive()));
}

std::optional<AdvancedSelectionOutcome>
AdvancedSelectionWindow::run(Session& session, QWidget* parent, const QString& startFolder) {
    AdvancedSelectionWindow window(session, parent, startFolder);
    window.exec();
    return window.outcome();
}

void AdvancedSelectionWindow::buildLayout() {
    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("Line1"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    // Sizes in characters, so that the boxes grow with the font at larger display scales.
    const int character = fontMetrics().averageCharWidth();
    const int lineHeight = fontMetrics().height();
    m_folderPicker->folderTree()->setMinimumSize(28 * character, 14 * lineHeight);
    m_fileList->setMinimumSize(24 * character, 14 * lineHeight);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_treeCaption, 0, 0, 1, 2);
    grid->addWidget(m_folderPicker->driveList(), 1, 0);
    grid->addWidget(m_folderPicker->folderTree(), 2, 0);
    grid->addWidget(m_fileList, 1, 1, 2, 1);
    grid->addWidget(rule, 3, 0, 1, 2);

    auto* choices = new QGridLayout;
    choices->addWidget(m_modeCaption, 0, 0);
    choices->addWidget(m_walkMode, 0, 1);
    choices->addWidget(m_patternCaption, 1, 0);
    choices->addWidget(m_pattern, 1, 1);
    choices->setColumnStretch(1, 1);
    grid->addLayout(choices, 4, 0, 1, 2);

    grid->addWidget(m_listOnly, 5, 0, 1, 2);
    grid->addWidget(m_validate, 6, 1, Qt::AlignRight);

    grid->setRowStretch(2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    resize(sizeHint());
}

QString AdvancedSelectionWindow::dirPath() const {
    return m_folderPicker->folder();
}

bool AdvancedSelectionWindow::setDirPath(const QString& folder) {
    return m_folderPicker->setFolder(folder);
}

void AdvancedSelectionWindow::ListFolderFiles(const QString& folder) {
    m_fileList->clear();
    // A folder that cannot be listed shows no file; the walk reports it if it is walked.
    if (const Result<FolderEntries> entries = ListFolder(folder.toStdString())) {
        for (const std::string& name : entries->files)
            m_fileList->addItem(QString::fromStdString(name));
    }
}

void AdvancedSelectionWindow::ValidateAdvancedSelection() {
    if (m_walking || dirPath().isEmpty())
        return;
    m_session.walkFolder = WithTrailingSeparator(dirPath().toStdString());
    const WalkRequest request{m_session.walkFolder,
                              WalkModeFromText(m_walkMode->currentText().toStdString()),
                              m_pattern->currentText().toStdString()};
    WalkResult result;
    {
        const QScopedValueRollback<bool> walking(m_walking, true);
        WalkProgress progress(this, m_progressDelay);
        result = WalkFolder(request, [&progress] { return progress.keepGoing(); });
    }
    // A cancelled walk is incomplete: the list and the counts stay as they were.
    if (result.cancelled)
        return;

    // Written once the walk is over, so that a failed walk never leaves half a list.
    const ChosenFilesListing listing =
        ListChosenFiles(m_session.listPath(), std::move(result.list),
                        m_listOnly->isChecked() ? FolderLines::ForReading : FolderLines::Marked);
    if (!listing.leftOut.empty())
        ShowMessage(this, FromStd(kWarningTitle), FromStd(NamesOutsideAnsiText(listing.leftOut)),
                    MessageIcon::Warning);
    if (result.noSubFolder)
        ShowMessage(this, FromStd(kWarningTitle), FromStd(kNoSubFolderText), MessageIcon::Warning);
    if (!result.unreadableFolders.empty())
        ShowMessage(this, FromStd(kWarningTitle),
                    FromStd(UnreadableFoldersText(result.unreadableFolders)), MessageIcon::Warning);
    if (listing.failure) {
        // The window stays open so that the user can free the list and validate again.
        ShowMessage(this, FromStd(kErrorTitle), FromStd(ListWriteFailureText(*listing.failure)),
                    MessageIcon::Critical);
        return;
    }
    // Every file found was left out: the previous list stays, and the window stays open so that
    // the user can choose another folder.
    if (!listing.written)
        return;

    m_session.walkFolder = result.walkFolder;
    AdvancedSelectionOutcome outcome;
    outcome.fileCount = listing.count;
    if (result.collectedSubFolders)
        outcome.folderCountText = FromStd(FolderCountText(result.subFolderCount));
    m_outcome = outcome;
    accept();
}

} // namespace pilotrame::gui
