#pragma once

#include "config/settings.h"
#include "script/scriptcheck.h"

#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QWidget;

namespace pilotrame::gui {

// The script text of "SCRIPT FICHIER": the text box Text1 with the commands that load it from a
// file ("..." Command10 and "&Ouvrir") and save it to one ("&Enregistrer sous"). A file dropped
// on the text gives its path there (DroppedPathText), not its file:// address. "Repères"
// (scriptMarkers) inserts a marker at the cursor. The text is checked (ReviewScriptText) a short
// pause after the user stops typing: each finding's line is marked in the box, and the list
// under it (scriptFindings, made with the first findings and hidden when there is none) names
// them, "ligne N : …"; a click on one puts the cursor on its line.
class ScriptTextPanel : public QObject {
    Q_OBJECT

public:
    // Builds Text1, Command10 and the two menu items (their objectNames mnuouvrir and
    // mnuenregistrersous) as children of host, commands disabled and text hidden. settings are
    // the live settings of the run (the choosers start in their script folder); both must
    // outlive the panel.
    ScriptTextPanel(const Settings& settings, QWidget* host);

    QPlainTextEdit* textBox() const { return m_text; }
    // The text box with the list of findings under it, for the window's layout.
    QWidget* area() const { return m_area; }
    QPushButton* markersButton() const { return m_markersButton; }
    QPushButton* openButton() const { return m_openButton; }
    QAction* openItem() const { return m_openItem; }
    QAction* saveAsItem() const { return m_saveAsItem; }

    // What the check needs of the settings of the run, asked at each check; without it the text
    // is checked for the AutoCAD engine.
    void setCheckSettings(std::function<ScriptCheckSettings()> settings);
    // The findings of the latest check.
    const std::vector<ScriptFinding>& findings() const { return m_findings; }
    // Checks the text now and shows its findings.
    void checkText();

    // Enables or disables "...", "Repères", "&Ouvrir" and "&Enregistrer sous" together.
    void setCommandsEnabled(bool enabled);
    // Shows the text, editable and enabled (script-file mode).
    void showText();
    // Hides the text; its content stays for a later return to script-file mode.
    void hideText();
    // Disables and hides the text (the start state).
    void resetText();

    // The text as the user wrote it, line feeds between lines; whole even while the box is
    // still being filled.
    std::string text() const;
    // Replaces the script text. A text of many lines goes into the box a part at a time between
    // events, the box read-only meanwhile, so that the window answers at once: a text document
    // takes microseconds per line, and a million lines froze the window for seconds.
    void setText(std::string_view text);
    // True while a text given to setText is not yet wholly in the box.
    bool isFilling() const;

    // OpenScriptFile: the lines of a chosen file into the text.
    void OpenScriptFile();
    // SaveScriptFileAs: the text, trimmed, into a chosen file with CR LF line ends.
    void SaveScriptFileAs();

protected:
    // A return to the window checks the text again when the settings of the run have changed
    // (the configuration's engine).
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFindingList();
    void showFindings();
    void onFindingClicked(QListWidgetItem* item);

    // Puts the next part of the pending text at the end of the box; the last one ends the filling.
    void appendPendingPart();
    // Leaves the box as it stands, editable and with its undo back, the rest of the pending text
    // dropped: the text is whole in the box, or another one replaces it.
    void stopFilling();

    const Settings& m_settings;
    QWidget* m_host;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_openButton = nullptr;
    QAction* m_openItem = nullptr;
    QAction* m_saveAsItem = nullptr;
    QWidget* m_area = nullptr;
    QListWidget* m_findingList = nullptr;
    QPushButton* m_markersButton = nullptr;
    QTimer* m_check = nullptr; // the pause after typing, before the check
    std::function<ScriptCheckSettings()> m_checkSettings;
    ScriptCheckSettings m_checkedWith;
    std::vector<ScriptFinding> m_findings;
    QTimer* m_fill = nullptr;  // runs while the box is being filled
    QString m_pending;         // the text given to setText, while the box is being filled
    qsizetype m_pendingAt = 0; // where the part not yet in the box starts
};

} // namespace pilotrame::gui
