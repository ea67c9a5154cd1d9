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
    int fileCount = 0; // file lines written to the list: Form1.Text2, in decimal
    // "3 Répertoires" for Form1.Text5; set only when the mode collected sub-folders, so that a
    // walk of the chosen folder alone leaves the folder count as it was.
    std::optional<QString> folderCountText;
};

// The advanced selection window Form4: fills the file list with the files of a folder tree that
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

    // The folder shown by Dir1, native separators, without a separator added.
    QString dirPath() const;
    // Shows folder in Dir1 and its files in File1; false (nothing changed) when it cannot be
    // shown.
    bool setDirPath(const QString& folder);

    // How long a walk runs before its progress window shows; half a second unless changed.
    void setProgressDelay(std::chrono::milliseconds delay) { m_progressDelay = delay; }

private:
    void Dir1_Change(const QString& folder);
    void Command2_Click();
    void buildLayout();

    Session& m_session;
    std::optional<AdvancedSelectionOutcome> m_outcome;
    std::chrono::milliseconds m_progressDelay{500};
    bool m_walking = false;

    QLabel* m_label3 = nullptr;
    FolderPicker* m_folderPicker = nullptr;
    QListWidget* m_file1 = nullptr;
    QLabel* m_label1 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QLabel* m_label2 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QCheckBox* m_check1 = nullptr;
    QPushButton* m_command2 = nullptr;
};

} // namespace pilotrame::gui
