#pragma once

#include "config/settings.h"

#include <QObject>

#include <string>

class QAction;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace pilotrame::gui {

// The script text of "SCRIPT FICHIER": the text box Text1 with the commands that load it from a
// file ("..." Command10 and "&Ouvrir") and save it to one ("&Enregistrer sous"). A file dropped
// on the text gives its path there (DroppedPathText), not its file:// address.
class ScriptTextPanel : public QObject {
    Q_OBJECT

public:
    // Builds Text1, Command10 and the two menu items (their objectNames mnuouvrir and
    // mnuenregistrersous) as children of host, commands disabled and text hidden. settings are
    // the live settings of the run (the choosers start in their script folder); both must
    // outlive the panel.
    ScriptTextPanel(const Settings& settings, QWidget* host);

    QPlainTextEdit* textBox() const { return m_text; }
    QPushButton* openButton() const { return m_openButton; }
    QAction* openItem() const { return m_openItem; }
    QAction* saveAsItem() const { return m_saveAsItem; }

    // Enables or disables "...", "&Ouvrir" and "&Enregistrer sous" together.
    void setCommandsEnabled(bool enabled);
    // Shows the text, editable and enabled (script-file mode).
    void showText();
    // Hides the text; its content stays for a later return to script-file mode.
    void hideText();
    // Disables and hides the text (the start state).
    void resetText();

    // The text as the user wrote it, line feeds between lines.
    std::string text() const;
    // Replaces the script text.
    void setText(std::string_view text);

    // OpenScriptFile: the lines of a chosen file into the text.
    void OpenScriptFile();
    // SaveScriptFileAs: the text, trimmed, into a chosen file with CR LF line ends.
    void SaveScriptFileAs();

private:
    const Settings& m_settings;
    QWidget* m_host;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_openButton = nullptr;
    QAction* m_openItem = nullptr;
    QAction* m_saveAsItem = nullptr;
};

} // namespace pilotrame::gui
