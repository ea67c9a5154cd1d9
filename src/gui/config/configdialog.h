#pragma once

#include "base/result.h"
#include "batch/runsettings.h"
#include "config/settings.h"
#include "config/settingsfile.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace pilotrame::gui {

class FolderPicker;

// The configuration dialog: a view of the live settings of the run. Each opening of a page
// reloads the settings file into them and shows them; closing the dialog by any means writes the
// controls back into them, and "Sauvegarder et Quitter" also saves them. Created once, when first
// opened, and only hidden afterwards, so that the version rule's greyed state and the folder
// picker's place carry over. One set of controls serves three pages.
class ConfigDialog : public QDialog {
    Q_OBJECT

public:
    // The pages of the "Configuration" menu.
    enum class Page { Printing, Autocad, General, Execution };
    Q_ENUM(Page)

    // file is the settings file the dialog loads and saves, live the settings of the run that
    // it shows and edits; both must outlive the dialog.
    ConfigDialog(SettingsFile& file, Settings& live, QWidget* parent = nullptr);

    // Gives the dialog the settings of the run (the engine, the console, the drawings at once, the
    // time limit) that its "Exécution" page shows, and the file that keeps them; both must outlive
    // the dialog. Without them the page shows nothing and nothing of them is saved.
    void attachRunSettings(RunSettings& live, std::string path);

    // Fills the drop-down list of every text setting with its proposed values, in slot order;
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

    // Sets every control from the live settings, in slot order, running the paper-space and
    // version rules.
    void showSettings();
    // The settings as the controls hold them now.
    Settings shownSettings() const;

    // Hides every page control and empties the captions; enabled states stay.
    void ResetConfigPage();
    // Printer, paper, plot style, offsets, orientation and paper-space rows.
    void ShowPrintingPage();
    // AutoCAD path and version, the two script switches and the window mode.
    void ShowAutocadPage();
    // The drawing and script folders with their folder-picker buttons.
    void ShowGeneralPage();
    // How "Executer script" runs: the engine, the console program, drawings at once, time limit.
    void showExecutionPage();
    // Closes the folder picker and makes both folder rows and the save button usable again.
    void EndFolderPicking();

    // The folder shown by the folder picker, native separators.
    QString dirPath() const;
    // Moves the folder picker to folder; false when it cannot be shown.
    bool setDirPath(const QString& folder);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void onQuitClicked();
    void onSaveAndQuitClicked();
    void onPickDrawingFolderClicked();
    void onPickScriptFolderClicked();
    void onRecordFolderClicked();
    // "..." of the AutoCAD path: the program chosen in a file dialog becomes the path.
    void ChooseAutocadProgram();
    // Closes the dialog keeping the edits: they become the live settings of the run.
    void closeKeepingEdits();

    // The layout rows show while the paper-space box is on the page and ticked.
    void applyPaperSpaceRule();
    // A single-window version chooses the single-window mode and greys the choice.
    void applyVersionRule();

    // The controls of the option and switch settings, by slot number.
    QRadioButton* optionButton(int settingSlot) const;
    QCheckBox* switchBox(int settingSlot) const;
    void setOptionState(int settingSlot, bool state);
    void showRow(int settingSlot, QLabel* caption, const QString& text);
    void showLayoutRows(bool shown);
    // Puts every control at its place, then grows each that shows too little of its caption,
    // to the right and then downwards, as far as its neighbours and its parent let it.
    void fitCaptions();
    void startFolderPicking();
    void buildRunGroup();
    // The run settings shown, and the controls set from run.
    RunSettings shownRunSettings() const;
    void showRunSettings(const RunSettings& run);
    // "..." of the console program: the program chosen in a file dialog.
    void onChooseConsoleClicked();
    bool confirmCutValues(const std::vector<int>& cutSlots);
    // Asks whether to save a script folder where no script can be written (a missing folder, or
    // one where the user may not write); true when there is none to ask about or the answer is Yes.
    bool confirmScriptFolder(const std::string& folder);

    SettingsFile& m_file;
    Settings& m_live;

    // One control per setting, in slot order, as the settings record holds them.
    std::array<QComboBox*, kComboCount> m_textBoxes{};
    std::array<QRadioButton*, kOptionCount> m_optionButtons{};
    std::array<QCheckBox*, kCheckCount> m_switches{};

    // The captions of the first four rows, which each page names anew.
    std::array<QLabel*, 4> m_rowCaptions{};
    QLabel* m_offsetCaption = nullptr;
    QLabel* m_offsetXCaption = nullptr;
    QLabel* m_offsetYCaption = nullptr;
    QLabel* m_layoutCaption = nullptr;
    QLabel* m_scaleCaption = nullptr;

    QGroupBox* m_orientationFrame = nullptr;
    QGroupBox* m_windowModeFrame = nullptr;
    QGroupBox* m_folderFrame = nullptr;
    FolderPicker* m_folderPicker = nullptr;

    QPushButton* m_quit = nullptr;
    QPushButton* m_saveAndQuit = nullptr;
    QPushButton* m_pickDrawingFolder = nullptr;
    QPushButton* m_pickScriptFolder = nullptr;
    QPushButton* m_recordFolder = nullptr; // "Enregistre": the folder picked into its row
    QPushButton* m_chooseAutocad = nullptr;

    // The "Exécution" page, a group of its own over the place of the other pages' rows.
    RunSettings* m_liveRun = nullptr;
    std::string m_runPath;
    QGroupBox* m_runGroup = nullptr;
    QComboBox* m_engine = nullptr;
    QLineEdit* m_consolePath = nullptr;
    QPushButton* m_chooseConsole = nullptr;
    QSpinBox* m_workers = nullptr;
    QSpinBox* m_timeout = nullptr;
    QLineEdit* m_language = nullptr;
    QPlainTextEdit* m_failureMessages = nullptr;
};

} // namespace pilotrame::gui
