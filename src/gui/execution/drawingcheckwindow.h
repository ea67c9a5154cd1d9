#pragma once

#include "check/drawingcheck.h"
#include "gui/prompts.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeView;

namespace pilotrame::gui {

class DrawingIssueModel;

// "Vérification des plans": the drawings of the list that AutoCAD could not work on, each with
// its reason, and the choice of what the script does about them. Opened for one modal use.
//
// No button is the default: each choice changes what is written, so a stray Enter chooses
// nothing; Escape and closing the window are "Annuler".
class DrawingCheckWindow : public QDialog {
    Q_OBJECT

public:
    explicit DrawingCheckWindow(const DrawingCheck& check, QWidget* parent = nullptr);

    // The button chosen so far; Cancel until "Ignorer ces plans" or "Continuer quand même".
    DrawingCheckAnswer answer() const { return m_answer; }

    // "Copier la liste": the list as text, one drawing per line, on the system clipboard.
    void copyList() const;

    // Shows the window modally for check and returns the user's choice.
    static DrawingCheckAnswer ask(QWidget* parent, const DrawingCheck& check);

private:
    void buildControls(const DrawingCheck& check);
    void choose(DrawingCheckAnswer answer);

    DrawingIssueModel* m_issues = nullptr; // holds the check
    DrawingCheckAnswer m_answer = DrawingCheckAnswer::Cancel;
    QLabel* m_summary = nullptr;
    QTreeView* m_list = nullptr;
};

} // namespace pilotrame::gui
