#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <string_view>

class QComboBox;
class QFileSystemModel;
class QTreeView;
class QWidget;

namespace pilotrame::gui {

// The system's drives and, where drives are mount points, the user's home folder: a lone "/" is a
// poor choice of drives.
QStringList DrivesAndHomeFolder();
// The system's drives and, where drives are mount points, every mounted volume that is a folder.
QStringList MountedDrives();

// A drive list over a folder tree, for choosing a folder. Picking a drive shows its root; a drive
// that cannot be read is reported and the fallback drive is shown instead. Whatever shows a
// folder also selects the drive that holds it. The tree lists folders only, hidden ones left out
// as the folder walk leaves them out, and reads each folder when it is first opened. Builds its
// two controls as children of host; the window places and sizes them.
class FolderPicker : public QObject {
    Q_OBJECT

public:
    struct Setup {
        QString driveListName;  // objectName of the drive list
        QString folderTreeName; // objectName of the folder tree
        QStringList drives;     // entries of the drive list, in order
        // The message box shown when a picked drive cannot be read; the texts must outlive the
        // picker.
        std::string_view unreadableDriveTitle;
        std::string_view unreadableDriveText;
        // Whether showing a folder also opens it on its sub-folders.
        bool expandShownFolder = false;
    };

    FolderPicker(const Setup& setup, QWidget* host);

    QComboBox* driveList() const { return m_driveList; }
    QTreeView* folderTree() const { return m_folderTree; }

    // The folder shown, native separators, as the tree names it, without a separator added.
    QString folder() const { return m_folder; }
    // Shows folder in the tree and selects its drive; false, nothing changed, when it is not a
    // readable folder. A folder already shown is reported again by folderChanged, so that what a
    // window lists from it is read anew.
    bool setFolder(const QString& folder);

    // Shows or hides both controls; shown again, the tree brings the folder shown into sight.
    void setVisible(bool visible);

signals:
    // The folder shown, after a click or a key in the tree, a drive picked or setFolder.
    void folderChanged(const QString& folder);

private:
    void onDriveChosen(int index);
    void showFolder(const QString& folder);
    // The drive list entry whose root holds folder, the longest one (a mounted volume or the
    // home folder rather than "/"); -1 when none does.
    int driveIndexFor(const QString& folder) const;

    QWidget* m_host;
    std::string_view m_unreadableDriveTitle;
    std::string_view m_unreadableDriveText;
    bool m_expandShownFolder;
    QComboBox* m_driveList = nullptr;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_folderTree = nullptr;
    QString m_folder;
    // The tree fills and sorts itself in the background, which pushes the folder shown out of
    // sight; it is brought back until the user moves about the tree.
    bool m_followShownFolder = false;
};

} // namespace pilotrame::gui
