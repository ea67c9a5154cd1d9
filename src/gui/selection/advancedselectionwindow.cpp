#include "gui/selection/advancedselectionwindow.h"

#include "base/messages.h"
#include "base/paths.h"
#include "gui/prompts.h"
#include "selection/filelist.h"
#include "selection/folderwalk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>

#include <string_view>

namespace pilotrame::gui {

namespace {

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The drives the user can pick, in the platform's order.
QStringList DriveEntries() {
    QStringList drives;
#ifdef _WIN32
    for (const QFileInfo& drive : QDir::drives())
        drives << Native(drive.absoluteFilePath());
#else
    drives << QStringLiteral("/");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        // Containers mount single files (/etc/hosts) as volumes; only folders can be walked.
        if (!volume.isValid() || !volume.isReady() || !QFileInfo(root).isDir())
            continue;
        if (!drives.contains(root))
            drives << root;
    }
#endif
    return drives;
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

    m_drive1 = new QComboBox(this);
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    m_drive1->addItems(DriveEntries());
    m_drive1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_drive1, &QComboBox::activated, this, &AdvancedSelectionWindow::Drive1_Change);

    m_dirModel = new QFileSystemModel(this);
    // Hidden folders stay out of the tree as the walk leaves them out.
    m_dirModel->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_dirModel->setReadOnly(true);
    m_dirModel->setRootPath(QString());
    m_dir1 = new QTreeView(this);
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_dir1->setModel(m_dirModel);
    m_dir1->setHeaderHidden(true);
    for (int column = 1; column < m_dirModel->columnCount(); ++column)
        m_dir1->hideColumn(column);
    m_dir1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_dir1->setSelectionMode(QAbstractItemView::SingleSelection);
    // In name order, as the walk takes the sub-folders.
    m_dir1->setSortingEnabled(true);
    m_dir1->sortByColumn(0, Qt::AscendingOrder);
    // The tree fills and sorts itself in the background, which pushes the folder shown out of
    // sight; it is brought back until the user moves about the tree.
    const auto follow = [this] {
        if (m_followShownFolder && m_dir1->currentIndex().isValid())
            m_dir1->scrollTo(m_dir1->currentIndex());
    };
    connect(m_dirModel, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_dirModel, &QAbstractItemModel::layoutChanged, this, follow);
    const auto stopFollowing = [this] { m_followShownFolder = false; };
    connect(m_dir1, &QTreeView::expanded, this, stopFollowing);
    connect(m_dir1, &QTreeView::collapsed, this, stopFollowing);
    connect(m_dir1, &QTreeView::pressed, this, stopFollowing);
    connect(m_dir1->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, stopFollowing);
    connect(m_dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    Dir1_Change(Native(m_dirModel->filePath(current)));
            });

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
    m_dir1->setMinimumSize(28 * character, 14 * lineHeight);
    m_file1->setMinimumSize(24 * character, 14 * lineHeight);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_label3, 0, 0, 1, 2);
    grid->addWidget(m_drive1, 1, 0);
    grid->addWidget(m_dir1, 2, 0);
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

bool AdvancedSelectionWindow::setDirPath(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable())
        return false;
    const QModelIndex index = m_dirModel->index(QDir::cleanPath(info.absoluteFilePath()));
    if (!index.isValid())
        return false;
    if (index == m_dir1->currentIndex())
        Dir1_Change(Native(m_dirModel->filePath(index)));
    else
        m_dir1->setCurrentIndex(index);
    m_dir1->expand(index);
    m_dir1->scrollTo(index);
    m_followShownFolder = true;
    return true;
}

void AdvancedSelectionWindow::Dir1_Change(const QString& folder) {
    m_dirPath = folder;
    const int drive = driveIndexFor(folder);
    if (drive >= 0)
        m_drive1->setCurrentIndex(drive);
    m_file1->clear();
    // A folder that cannot be listed shows no file; the walk reports it if it is walked.
    if (const Result<FolderEntries> entries = ListFolder(folder.toStdString())) {
        for (const std::string& name : entries->files)
            m_file1->addItem(QString::fromStdString(name));
    }
}

int AdvancedSelectionWindow::driveIndexFor(const QString& folder) const {
#ifdef _WIN32
    constexpr Qt::CaseSensitivity kCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kCase = Qt::CaseSensitive;
#endif
    const QString inFolder = QString::fromStdString(WithTrailingSeparator(folder.toStdString()));
    // The longest root that holds the folder: a mounted volume rather than "/".
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drive1->count(); ++i) {
        const QString root = QString::fromStdString(DriveRoot(m_drive1->itemText(i).toStdString()));
        if (inFolder.startsWith(root, kCase) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void AdvancedSelectionWindow::Drive1_Change(int index) {
    if (index < 0)
        return;
    if (setDirPath(QString::fromStdString(DriveRoot(m_drive1->itemText(index).toStdString()))))
        return;
    ShowMessage(this, Qs(kDriveNotReadyTitle), Qs(kDriveNotReadyText), MessageIcon::Warning);
    const QString fallback = QString::fromStdString(FallbackDrive());
    const int fallbackIndex = m_drive1->findText(fallback, Qt::MatchFixedString);
    if (fallbackIndex >= 0)
        m_drive1->setCurrentIndex(fallbackIndex);
    // Without a readable fallback the tree stays where it was, and so does the drive shown.
    if (fallbackIndex < 0 || !setDirPath(fallback))
        m_drive1->setCurrentIndex(driveIndexFor(m_dirPath));
}

void AdvancedSelectionWindow::Command2_Click() {
    if (m_walking || m_dirPath.isEmpty())
        return;
    m_session.walkFolder = WithTrailingSeparator(m_dirPath.toStdString());
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
