#pragma once

#include "base/result.h"
#include "config/settings.h"
#include "config/settingsfile.h"

#include <QDialog>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pilotrame::gui {

class FolderPicker;

// The configuration dialog Form2: a view of the live settings of the run. Each opening of a
// page reloads the settings file into them and shows them; closing the dialog by any means
// writes the controls back into them, and "Sauvegarder et Quitter" also saves them. Created once,
// when first opened, and only hidden afterwards, so that the version rule's greyed state and the
// folder picker's place carry over. One set of controls serves three pages.
class ConfigDialog : public QDialog {
    Q_OBJECT

public:
    // The pages of the "Configuration" menu.
    enum class Page { Printing, Autocad, General };
    Q_ENUM(Page)

    // file is the settings file the dialog loads and saves, live the settings of the run that
    // it shows and edits; both must outlive the dialog.
    ConfigDialog(SettingsFile& file, Settings& live, QWidget* parent = nullptr);

    // Fills the drop-down lists of Combo1(0) to Combo1(13) with the proposed values, in order;
    // the texts shown do not change.
    void FillSettingLists(const ProposedValues& lists);

    // Opens a page from the main window's menus: reloads the file into the live settings
    // (reporting a failure, and showing what could be applied), builds the page and shows the
    // dialog modally until it is closed.
    void openPage(Page page);

    // Reads savescript.txt into the live settings and shows them; stops at the first slot that
    // does not convert, keeping the slots applied before it.
    Status LoadSettings();
    // Takes the controls into the live settings and writes them to savescript.txt.
    Status SaveSettings();

    // Sets every control from the live settings, in slot order, running the check-box rule.
    void showSettings();
    // The settings as the controls hold them now.
    Settings shownSettings() const;

    // Hides every page control and empties the label captions; enabled states stay.
    void ResetConfigPage();
    // Printer, paper, plot style, offsets, orientation and paper-space rows.
    void ShowPrintingPage();
    // AutoCAD path and version, the two script switches and the window mode.
    void ShowAutocadPage();
    // The drawing and script folders with their folder-picker buttons.
    void ShowGeneralPage();
    // Closes the folder picker and makes both folder rows and the save button usable again.
    void EndFolderPicking();

    // The folder shown by the folder picker's list, native separators.
    QString dirPath() const;
    // Moves the folder picker's list to folder; false when it cannot be shown.
    bool setDirPath(const QString& folder);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Check1_Click();
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    // Closes the dialog keeping the edits: they become the live settings of the run.
    void closeKeepingEdits();

    void setOptionState(int index, bool state);
    void showRow(int combo, int label, const QString& caption);
    void showLayoutRows(bool shown);
    void startFolderPicking();
    bool confirmCutValues(const std::vector<int>& cutSlots);

    SettingsFile& m_file;
    Settings& m_live;
    std::array<QLabel*, 9> m_label{};
    std::array<QComboBox*, kComboCount> m_combo{};
    std::array<QCheckBox*, kCheckCount> m_check{};
    std::array<QGroupBox*, 3> m_frame{};
    std::array<QRadioButton*, kOptionCount> m_option{};
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command5 = nullptr;
    QPushButton* m_command6 = nullptr;
    FolderPicker* m_folderPicker = nullptr;
};

} // namespace pilotrame::gui
