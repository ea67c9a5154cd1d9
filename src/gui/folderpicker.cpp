#include "gui/folderpicker.h"

#include "base/paths.h"
#include "gui/formparts.h"
#include "gui/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>

#include <string>
#include <vector>

namespace pilotrame::gui {

namespace {

std::vector<std::string> SystemDrives() {
    std::vector<std::string> drives;
    for (const QFileInfo& drive : QDir::drives())
        drives.push_back(NativeStdPath(drive.absoluteFilePath()));
    return drives;
}

} // namespace

QStringList DrivesAndHomeFolder() {
    QStringList entries;
    for (const std::string& entry :
         DriveListEntries(SystemDrives(), NativeStdPath(QDir::homePath())))
        entries << FromStd(entry);
    return entries;
}

QStringList MountedDrives() {
    QStringList drives;
#ifdef _WIN32
    for (const std::string& drive : SystemDrives())
        drives << FromStd(drive);
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

FolderPicker::FolderPicker(const Setup& setup, QWidget* host)
    : QObject(host), m_host(host), m_unreadableDriveTitle(setup.unreadableDriveTitle),
      m_unreadableDriveText(setup.unreadableDriveText),
      m_expandShownFolder(setup.expandShownFolder) {
    m_driveList = new QComboBox(host);
    m_driveList->setObjectName(setup.driveListName);
    m_driveList->addItems(setup.drives);
    connect(m_driveList, &QComboBox::activated, this, &FolderPicker::onDriveChosen);

    m_folderTree = new QTreeView(host);
    m_folderTree->setObjectName(setup.folderTreeName);
    m_model = new QFileSystemModel(m_folderTree);
    m_model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setReadOnly(true);
    m_model->setRootPath(QString());
    m_folderTree->setModel(m_model);
    m_folderTree->setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_folderTree->hideColumn(column);
    m_folderTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_folderTree->setSelectionMode(QAbstractItemView::SingleSelection);
    // In name order, as the folder walk takes the sub-folders.
    m_folderTree->setSortingEnabled(true);
    m_folderTree->sortByColumn(0, Qt::AscendingOrder);

    const auto follow = [this] {
        if (m_followShownFolder && m_folderTree->currentIndex().isValid())
            m_folderTree->scrollTo(m_folderTree->currentIndex());
    };
    connect(m_model, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, follow);
    const auto stopFollowing = [this] { m_followShownFolder = false; };
    connect(m_folderTree, &QTreeView::expanded, this, stopFollowing);
    connect(m_folderTree, &QTreeView::collapsed, this, stopFollowing);
    connect(m_folderTree, &QTreeView::pressed, this, stopFollowing);
    connect(m_folderTree->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            stopFollowing);
    connect(m_folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    showFolder(NativePath(m_model->filePath(current)));
            });
}

bool FolderPicker::setFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable())
        return false;
    const QModelIndex index = m_model->index(QDir::cleanPath(info.absoluteFilePath()));
    if (!index.isValid())
        return false;
    // Making the current folder current again would report nothing.
    if (index == m_folderTree->currentIndex())
        showFolder(NativePath(m_model->filePath(index)));
    else
        m_folderTree->setCurrentIndex(index);
    if (m_expandShownFolder)
        m_folderTree->expand(index);
    m_folderTree->scrollTo(index);
    m_followShownFolder = true;
    return true;
}

void FolderPicker::setVisible(bool visible) {
    m_driveList->setVisible(visible);
    m_folderTree->setVisible(visible);
    if (visible)
        m_folderTree->scrollTo(m_folderTree->currentIndex());
}

void FolderPicker::showFolder(const QString& folder) {
    m_folder = folder;
    const int drive = driveIndexFor(folder);
    if (drive >= 0)
        m_driveList->setCurrentIndex(drive);
    emit folderChanged(folder);
}

int FolderPicker::driveIndexFor(const QString& folder) const {
    const std::string path = ToStd(folder);
    int best = -1;
    std::size_t bestLength = 0;
    for (int i = 0; i < m_driveList->count(); ++i) {
        const std::string root = DriveRoot(ToStd(m_driveList->itemText(i)));
        if (IsOnDrive(path, root) && (best < 0 || root.size() > bestLength)) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void FolderPicker::onDriveChosen(int index) {
    if (index < 0)
        return;
    if (setFolder(FromStd(DriveRoot(ToStd(m_driveList->itemText(index))))))
        return;
    ShowMessage(m_host->window(), FromStd(m_unreadableDriveTitle), FromStd(m_unreadableDriveText),
                MessageIcon::Warning);
    // Without a readable fallback the tree stays where it was, and so does the drive shown.
    if (!setFolder(FromStd(FallbackDrive())))
        m_driveList->setCurrentIndex(driveIndexFor(m_folder));
}

} // namespace pilotrame::gui
