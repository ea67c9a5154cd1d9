#pragma once

#include "gui/config/configdialog.h"
#include "job/jobfile.h"
#include "job/switchrules.h"
#include "rename/renaming.h"
#include "script/drawingsection.h"
#include "script/scriptcheck.h"
#include "selection/droppeditems.h"
#include "session/session.h"
#include "usecases/executescript.h"
#include "usecases/scriptrun.h"

#include <QMainWindow>

#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pilotrame::gui {

class OperationsPanel;
class RenamePanel;
class ScriptTextPanel;

// The main window Form1: the job switches of the top row, the list and script commands on the
// left, the operation panel with its renaming row, the script text, and the menus. The job is
// read from the controls at the moment a command runs; settings come from the session.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // session holds the live settings and the program-wide values; it must outlive the window.
    explicit MainWindow(Session& session, QWidget* parent = nullptr);

    // Gives the window its start state: plot mode, file count "0 Fichier", script items off.
    void ResetMainWindow();

    // Greys, unticks and hides every operation of the panel (plot and script-file modes).
    void DisableOperationPanel();
    // Shows the panel again for operation mode, every operation usable.
    void EnableOperationPanel();

    // The job as the controls hold it now.
    DrawingJob currentJob() const;
    // The renaming rule as the renaming row holds it now.
    RenameJob currentRenameJob() const;
    // Everything composed in the window: the mode, every operation, box and option, the script
    // text and the renaming rule.
    MainJob currentMainJob() const;
    // Sets the window from job through the same rules as clicks: the mode first, then the
    // operations, the renaming switch of the top row last.
    void applyMainJob(const MainJob& job);
    // The file count Text2, in decimal, as a selection leaves it.
    void setFileCount(int count);
    // The folder count box Text5, as the advanced selection writes it.
    void setFolderCountText(const QString& text);

    // Commands behind the buttons and menus.
    void SelectFiles();
    // Shows the advanced selection window, on startFolder when given, and takes its counts.
    void showAdvancedSelection(const QString& startFolder = {});
    // Shows the macro-functions window Form5, then the text-insertion window Form3.
    void showMacroWindow();
    void showTextInsertion();
    // Checks the listed drawings, then writes the script; false when the user cancelled or it
    // stopped on a failure (already reported).
    bool writeScript();
    // "Executer script" (ExecuteScript): renames when the renaming row is ticked, else writes the
    // script and starts AutoCAD on it, or runs the batch on AutoCAD's console in "Exécution des
    // plans", as the engine of the run says. A script text with an "erreur" (ReviewScriptText)
    // asks first, naming its findings: "Continuer quand même" or "Annuler".
    void executeScript();
    // "Essai sur copies…" (RunTrial): asks how many drawings, then does what "Executer script"
    // would do on copies of the first of the list, and offers to open the trial's folder; with
    // the renaming row ticked, shows what the renaming would do instead.
    void tryOnCopies();
    // What the check of the script text needs of the settings of the run.
    ScriptCheckSettings scriptCheckSettings() const;
    void showAbout();
    // "Ouvrir un travail…" and "Enregistrer le travail…": a job file read into the window, or the
    // window's job written to one. A bad file changes nothing in the window.
    void openJob();
    void saveJob();
    // Reads the job file at path into the window, as "Ouvrir un travail…" does once a file is
    // chosen, and as a job given to the program (its argument, a second start) is opened: a bad
    // file is refused, naming why, and changes nothing; keys this version does not know are told.
    void openJobFile(const QString& path);

signals:
    // Emitted when the user quits or closes the window; start-up ends the program on it.
    void shutdownRequested();
    // A page of the configuration dialog was asked for from the "Configuration" menu.
    void configurationRequested(gui::ConfigDialog::Page page);

protected:
    void closeEvent(QCloseEvent* event) override;
    // A drop is taken by the rule of PlanDrop: one folder alone opens the advanced selection on
    // it, files are listed as "Selection fichiers" lists them, in the order dropped, and what is
    // not taken is named in one message. A drop that holds no file or folder of this computer is
    // refused (AcceptsDrop).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private slots:
    void onGenerateClicked();
    void onAdvancedSelectionClicked();

private:
    void buildControls();
    // What a script of the window's job is made from, as the controls hold it now.
    ScriptRequest scriptRequest() const;
    // What "Executer script" is asked to do, as the controls and the session hold it now.
    ExecuteRequest executeRequest() const;
    // False when the script text of request holds an "erreur" and the user does not go on.
    bool scriptErrorsAccepted(const ExecuteRequest& request);
    void buildMenus();
    void applyFormTabOrder();
    // The switch rules of the top row (SetTopSwitch), shown in the window.
    void onSwitchToggled(TopSwitch which, bool ticked);
    void showTopRow(const TopRow& row);
    // The operation rule and the option rule, run for every row of the panel.
    void onOperationToggled();
    void onOptionChosen();
    // Writes the list of chosen files, each under its own folder, leaving out (with one warning)
    // those AutoCAD could not open by name, and shows the count.
    void listChosenFiles(const std::vector<std::string>& paths);
    // Does what a drop asks, once the drop has returned: the file manager waits for the end of a
    // drop, and a window or a message shown during it would hold the file manager too.
    void takeDrop(const DropPlan& plan);

    Session& m_session;

    QCheckBox* m_plot = nullptr;         // Check1 "IMPRIMER"
    QCheckBox* m_scriptFile = nullptr;   // Check10 "SCRIPT FICHIER"
    QCheckBox* m_renameSwitch = nullptr; // Check20 "RENOMMER FICHIERS" of the top row
    TopRow m_topRow;                     // the top row as its rules last left it
    QLineEdit* m_fileCount = nullptr;    // Text2
    QLineEdit* m_folderCount = nullptr;  // Text5
    OperationsPanel* m_operations = nullptr;
    RenamePanel* m_renaming = nullptr;
    ScriptTextPanel* m_scriptText = nullptr;
    QAction* m_saveItem = nullptr;  // "&Enregistrer", never enabled
    QAction* m_copyItem = nullptr;  // "&Copier", never enabled
    QAction* m_pasteItem = nullptr; // "&Coller", never enabled
    // Unknown keys of the job file last opened, written back by the next save.
    std::vector<std::pair<std::string, std::string>> m_otherJobKeys;
};

} // namespace pilotrame::gui
