#pragma once

#include "session/session.h"
#include "textinsert/textscript.h"

#include <QDialog>

#include <array>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace pilotrame::gui {

// The text-insertion window Form3: a table pasted from a spreadsheet becomes a script of AutoCAD
// text commands, one per cell, written into the program's script file. Opened for one modal use.
class TextInsertionWindow : public QDialog {
    Q_OBJECT

public:
    TextInsertionWindow(Session& session, QWidget* parent = nullptr);

    // The job as the controls hold it now.
    TextInsertionJob currentJob() const;

    // "Coller tableau": the table becomes the clipboard's plain text.
    void Command2_Click();
    // "Générer script": writes the script; failures and the column warning are shown.
    void Command1_Click();

private:
    void buildControls();

    Session& m_session;
    QPlainTextEdit* m_table = nullptr;    // Text2
    std::array<QComboBox*, 4> m_combo1{}; // Combo1(0) to Combo1(3)
    QLineEdit* m_rowStep = nullptr;       // Text4(20)
    std::array<QLineEdit*, 10> m_text4{}; // Text4(0) to Text4(9); 1 to 9 the column X
};

} // namespace pilotrame::gui
