#pragma once

#include "base/result.h"
#include "config/settings.h"
#include "config/settingsfile.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTreeView;
class QFileSystemModel;

namespace pilotrame::gui {

// The configuration dialog Form2. Created once at start-up and only hidden afterwards: its
// controls are the live settings of the run. One set of controls serves three pages.
class ConfigDialog : public QDialog {
    Q_OBJECT

public:
    // file is the settings file the dialog loads and saves; it must outlive the dialog.
    ConfigDialog(SettingsFile& file, QWidget* parent = nullptr);

    // Fills the drop-down lists of Combo1(0) to Combo1(13); printers in the system's order.
    void FillSettingLists(const QStringList& printers);
    // Every combo its first list entry, "Paysage" and "SDI = 0 Fenetre multiple" set,
    // check boxes unticked.
    void ApplyDefaultSettings();
    // Reads savescript.txt into the controls; stops at the first slot that does not convert,
    // keeping the slots applied before it.
    Status LoadSettings();
    // Writes the controls to savescript.txt.
    Status SaveSettings();

    // The settings as the controls hold them now.
    Settings currentSettings() const;
    // Sets every control from settings, in slot order, running the check-box rule.
    void applySettings(const Settings& settings);

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

    // Opens the dialog on a page from the main window's menus: loads the file (reporting a
    // failure), builds the page, shows the dialog modally.
    void openPage(void (ConfigDialog::*page)());

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
    void Drive1_Change(int index);

    void setOptionState(int index, bool state);
    void showRow(int combo, int label, const QString& caption);
    void showLayoutRows(bool shown);
    void startFolderPicking();
    bool confirmCutValues(const std::vector<int>& cutSlots);
    void folderShown(const QString& folder);
    int driveIndexFor(const QString& folder) const;

    SettingsFile& m_file;
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
    QComboBox* m_drive1 = nullptr;
    QTreeView* m_dir1 = nullptr;
    QFileSystemModel* m_dirModel = nullptr;
    QString m_dirPath;      // native separators
    ProposedValues m_lists; // as filled, for the first-run values
};

} // namespace pilotrame::gui
