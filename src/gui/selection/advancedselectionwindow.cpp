#include "gui/selection/advancedselectionwindow.h"

#include "base/messages.h"
#include "base/paths.h"
#include "gui/folderpicker.h"
#include "gui/prompts.h"
#include "selection/filelist.h"
#include "selection/folderwalk.h"

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

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

    QString labelText() const {
        return QStringLiteral("Recherche des fichiers…\n%1 répertoires parcourus").arg(m_folders);
    }

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

    m_label3 = new QLabel(QStringLiteral("Selection des sous répertoires:"), this);
    m_label3->setObjectName(QStringLiteral("Label3"));

    m_folderPicker = new FolderPicker({.driveListName = QStringLiteral("Drive1"),
                                       .folderTreeName = QStringLiteral("Dir1"),
                                       .drives = MountedDrives(),
                                       .unreadableDriveTitle = kDriveNotReadyTitle,
                                       .unreadableDriveText = kDriveNotReadyText,
                                       .expandShownFolder = true},
                                      this);
    m_folderPicker->driveList()->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_folderPicker, &FolderPicker::folderChanged, this,
            &AdvancedSelectionWindow::Dir1_Change);

    m_file1 = new QListWidget(this);
    m_file1->setObjectName(QStringLiteral("File1"));
    // For looking only: the walk, not a pick here, decides what is listed.
    m_file1->setSelectionMode(QAbstractItemView::NoSelection);
    m_file1->setSortingEnabled(false);

    m_label1 = new QLabel(QStringLiteral("Mode de recherche des fichiers:"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    for (const std::string_view mode : kWalkModeTexts)
        m_combo1->addItem(Qs(mode));
    m_combo1->setCurrentIndex(m_combo1->findText(Qs(kWalkModeTexts[2])));
    m_combo1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_label1->setBuddy(m_combo1);

    m_label2 = new QLabel(QStringLiteral("Type de fichier:"), this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    m_combo2->setEditable(true);
    // The pattern is the text as typed: neither completed from the list nor added to it.
    m_combo2->setInsertPolicy(QComboBox::NoInsert);
    m_combo2->setCompleter(nullptr);
    m_combo2->addItems({QStringLiteral("*.dxf"), QStringLiteral("*.dwt"), QStringLiteral("*.dgn"),
                        QStringLiteral("*.*")});
    m_combo2->setCurrentIndex(-1);
    m_combo2->setEditText(QStringLiteral("*.dwg"));
    m_label2->setBuddy(m_combo2);

    m_check1 = new QCheckBox(QStringLiteral("Générer uniquement une liste des fichiers"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));

    m_command2 = new QPushButton(QStringLiteral("Validation"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    // Enter in the pattern box must not start a walk.
    m_command2->setAutoDefault(false);
    connect(m_command2, &QPushButton::clicked, this, &AdvancedSelectionWindow::Command2_Click);

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
    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);

    // Sizes in characters, so that the boxes grow with the font at larger display scales.
    const int character = fontMetrics().averageCharWidth();
    const int lineHeight = fontMetrics().height();
    m_folderPicker->folderTree()->setMinimumSize(28 * character, 14 * lineHeight);
    m_file1->setMinimumSize(24 * character, 14 * lineHeight);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_label3, 0, 0, 1, 2);
    grid->addWidget(m_folderPicker->driveList(), 1, 0);
    grid->addWidget(m_folderPicker->folderTree(), 2, 0);
    grid->addWidget(m_file1, 1, 1, 2, 1);
    grid->addWidget(line1, 3, 0, 1, 2);

    auto* choices = new QGridLayout;
    choices->addWidget(m_label1, 0, 0);
    choices->addWidget(m_combo1, 0, 1);
    choices->addWidget(m_label2, 1, 0);
    choices->addWidget(m_combo2, 1, 1);
    choices->setColumnStretch(1, 1);
    grid->addLayout(choices, 4, 0, 1, 2);

    grid->addWidget(m_check1, 5, 0, 1, 2);
    grid->addWidget(m_command2, 6, 1, Qt::AlignRight);

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

void AdvancedSelectionWindow::Dir1_Change(const QString& folder) {
    m_file1->clear();
    // A folder that cannot be listed shows no file; the walk reports it if it is walked.
    if (const Result<FolderEntries> entries = ListFolder(folder.toStdString())) {
        for (const std::string& name : entries->files)
            m_file1->addItem(QString::fromStdString(name));
    }
}

void AdvancedSelectionWindow::Command2_Click() {
    if (m_walking || dirPath().isEmpty())
        return;
    m_session.walkFolder = WithTrailingSeparator(dirPath().toStdString());
    const WalkRequest request{m_session.walkFolder,
                              WalkModeFromText(m_combo1->currentText().toStdString()),
                              m_combo2->currentText().toStdString()};
    WalkResult result;
    {
        const QScopedValueRollback<bool> walking(m_walking, true);
        WalkProgress progress(this, m_progressDelay);
        result = WalkFolder(request, [&progress] { return progress.keepGoing(); });
    }
    // A cancelled walk is incomplete: the list and the counts stay as they were.
    if (result.cancelled)
        return;

    // Files that AutoCAD could not open by name stay out of the list.
    const std::vector<std::string> leftOut = RemoveNamesOutsideAnsi(result.list);
    // Written once the walk is over, so that a failed walk never leaves half a list.
    const Result<int> written =
        WriteFileList(m_session.listPath(), result.list, !m_check1->isChecked());
    if (!leftOut.empty())
        ShowMessage(this, Qs(kWarningTitle), QString::fromStdString(NamesOutsideAnsiText(leftOut)),
                    MessageIcon::Warning);
    if (result.noSubFolder)
        ShowMessage(this, Qs(kWarningTitle), Qs(kNoSubFolderText), MessageIcon::Warning);
    if (!result.unreadableFolders.empty())
        ShowMessage(this, Qs(kWarningTitle),
                    QString::fromStdString(UnreadableFoldersText(result.unreadableFolders)),
                    MessageIcon::Warning);
    if (!written) {
        // The window stays open so that the user can free the list and validate again.
        ShowMessage(this, Qs(kErrorTitle),
                    QString::fromStdString(ListWriteFailureText(written.error())),
                    MessageIcon::Critical);
        return;
    }

    m_session.walkFolder = result.walkFolder;
    AdvancedSelectionOutcome outcome;
    outcome.fileCount = *written;
    if (result.collectedSubFolders)
        outcome.folderCountText = QStringLiteral("%1 Répertoires").arg(result.subFolderCount);
    m_outcome = outcome;
    accept();
}

} // namespace pilotrame::gui
