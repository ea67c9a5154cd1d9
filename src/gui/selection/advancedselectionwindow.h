#pragma once

#include "session/session.h"

#include <QDialog>
#include <QString>

#include <chrono>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace pilotrame::gui {

class FolderPicker;

// What a validated selection gives the main window's counts.
struct AdvancedSelectionOutcome {
    int fileCount = 0; // file lines written to the list, for the main window's file count
    // "3 Répertoires" for the main window's folder count; set only when the mode collected
    // sub-folders, so that a walk of the chosen folder alone leaves the folder count as it was.
    std::optional<QString> folderCountText;
};

// The advanced selection window: fills the file list with the files of a folder tree that
// match a pattern. Made for one modal use; "Validation" walks, writes the list and accepts.
class AdvancedSelectionWindow : public QDialog {
    Q_OBJECT

public:
    // session must outlive the window; its walkFolder is where the window opens and where a
    // validation leaves its last folder. A non-empty startFolder (a folder dropped on the caller)
    // is shown instead; when neither can be shown, the process's current folder is.
    explicit AdvancedSelectionWindow(Session& session, QWidget* parent = nullptr,
                                     const QString& startFolder = {});

    // Shows the window modally and returns what its validation gave; nullopt when the user
    // closed it without a list written.
    static std::optional<AdvancedSelectionOutcome> run(Session& session, QWidget* parent = nullptr,
                                                       const QString& startFolder = {});

    // Set by a validation that wrote the list; nullopt until then.
    const std::optional<AdvancedSelectionOutcome>& outcome() const { return m_outcome; }

    // The folder shown by the folder tree, native separators, without a separator added.
    QString dirPath() const;
    // Shows folder in the folder tree and its files in the file list; false (nothing changed)
    // when it cannot be shown.
    bool setDirPath(const QString& folder);

    // How long a walk runs before its progress window shows; half a second unless changed.
    void setProgressDelay(std::chrono::milliseconds delay) { m_progressDelay = delay; }

private:
    // The files of folder into the file list, to look at before walking.
    void ListFolderFiles(const QString& folder);
    // "Validation": walks the folder shown, writes the list and accepts; the window stays open
    // when the walk was cancelled or the list could not be written.
    void ValidateAdvancedSelection();
    void buildLayout();

    Session& m_session;
    std::optional<AdvancedSelectionOutcome> m_outcome;
    std::chrono::milliseconds m_progressDelay{500};
    bool m_walking = false;

    QLabel* m_treeCaption = nullptr;
    FolderPicker* m_folderPicker = nullptr;
    QListWidget* m_fileList = nullptr;
    QLabel* m_modeCaption = nullptr;
    QComboBox* m_walkMode = nullptr;
    QLabel* m_patternCaption = nullptr;
    QComboBox* m_pattern = nullptr;
    QCheckBox* m_listOnly = nullptr;
    QPushButton* m_validate = nullptr;
};

} // namespace pilotrame::gui
