#pragma once

#include "app/session.h"
#include "script/drawingsection.h"

#include <QMainWindow>

#include <array>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace pilotrame::gui {

class ConfigDialog;

// The main window Form1: the job the user composes, the list and script commands, the menus.
// Its controls are read into a DrawingJob at the moment a command runs.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(Session& session, QWidget* parent = nullptr);

    // Gives the window its start state: plot mode, file count "0 Fichier", script items off.
    void ResetMainWindow();
    // The configuration dialog whose controls hold the live settings; set once at start-up.
    void setConfigDialog(ConfigDialog* dialog) { m_config = dialog; }

    void DisableOperationPanel();
    void EnableOperationPanel();

    // The job as the controls hold it now.
    DrawingJob currentJob() const;
    // Decimal separator of the user's locale, accepted in coordinates.
    char decimalSeparator() const;

    // Commands behind the buttons and menus.
    void SelectFiles();
    // Writes the script; false when it stopped on a failure (already reported).
    bool GenerateScript();
    void ExecuteScript();
    void LaunchAutocad();
    void OpenScriptFile();
    void SaveScriptFileAs();
    void ChooseInsertDrawing();
    void RenameSelectedFiles();
    void ShowAbout();

signals:
    // Emitted when the user quits or closes the window; start-up ends the program on it.
    void shutdownRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void Check1_Click();
    void Check10_Click();
    void Check20_Click();
    void applyPanelRule();
    void Check4_Click();
    void Option1_Click();
    void setFileCount(int count);

    Session& m_session;
    ConfigDialog* m_config = nullptr;

    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_check10 = nullptr;
    QCheckBox* m_check20 = nullptr;
    QPushButton* m_command10 = nullptr;
    QPushButton* m_command20 = nullptr;
    QPushButton* m_command30 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command8 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QLineEdit* m_text3 = nullptr;
    QLineEdit* m_text5 = nullptr;
    QLabel* m_label3 = nullptr;
    QPlainTextEdit* m_text1 = nullptr;
    std::array<QCheckBox*, 8> m_check4{};
    std::array<QGroupBox*, 6> m_frame1{};
    std::array<QRadioButton*, 12> m_option1{};
    std::array<QLineEdit*, 18> m_text4{};
    std::array<QLabel*, 12> m_label4{};
    QAction* m_mnuouvrir = nullptr;
    QAction* m_mnuenregistrer = nullptr;
    QAction* m_mnuenregistrersous = nullptr;
    QAction* m_mnuquitter = nullptr;
    QAction* m_mnucopier = nullptr;
    QAction* m_mnucoller = nullptr;
    QAction* m_mnuimpression = nullptr;
    QAction* m_mnuautocad = nullptr;
    QAction* m_mnugeneral = nullptr;
    QAction* m_mnuaide = nullptr;
};

} // namespace pilotrame::gui
