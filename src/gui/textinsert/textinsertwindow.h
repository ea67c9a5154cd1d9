#pragma once

#include "session/session.h"
#include "textinsert/textscript.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace pilotrame::gui {

// The text-insertion window: a table pasted from a spreadsheet becomes a script of AutoCAD
// text commands, one per cell, written into the program's script file. Opened for one modal use.
class TextInsertionWindow : public QDialog {
    Q_OBJECT

public:
    TextInsertionWindow(Session& session, QWidget* parent = nullptr);

    // The job as the controls hold it now.
    TextInsertionJob currentJob() const;

private:
    void buildControls();
    // "Coller tableau": the table becomes the clipboard's plain text.
    void onPasteTableClicked();
    // "Générer script": writes the script; failures and the column warning are shown.
    void onGenerateScriptClicked();

    Session& m_session;
    QPlainTextEdit* m_table = nullptr;
    QComboBox* m_style = nullptr;
    QComboBox* m_height = nullptr;
    QComboBox* m_rotation = nullptr;
    QLineEdit* m_rowStep = nullptr;
    std::array<QLineEdit*, kMaxTextColumns> m_columnX{}; // columns 1 to 9
};

} // namespace pilotrame::gui
