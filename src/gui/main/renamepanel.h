#pragma once

#include "rename/renaming.h"

#include <QObject>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace pilotrame::gui {

// The renaming row of the main window's operation panel: the box "RENOMMER FICHIERS"
// (Check4(6)), the rule ("Supprimer", "Ajouter", "Extension:") and its values. It yields the
// RenameJob and holds the rules that make the values usable.
class RenamePanel : public QObject {
    Q_OBJECT

public:
    // Builds the controls in their first state as children of host.
    explicit RenamePanel(QWidget* host);

    // Places the row in grid: the check box in column 0, rule and values in column 1.
    void addRow(QGridLayout* grid, int row) const;

    // True while "RENOMMER FICHIERS" is ticked: "Executer script" then renames instead.
    bool isTicked() const;
    // The rule and its values as the controls hold them now.
    RenameJob job() const;
    // Sets the rule and its boxes from job, then the tick, so that the rules run as for clicks.
    void setJob(bool ticked, const RenameJob& job);

    // This row's part of DisableOperationPanel: unticked and disabled, rule and values hidden.
    void disable();
    // This row's part of EnableOperationPanel: enabled with its tick kept, rule and values shown
    // with their enabled states kept.
    void enable();
    // The operation rule for this row: rule and values usable while the box is ticked.
    void applyOperationRule();
    // The option rule for this row: "Supprimer" greys "Texte:", "Ajouter" greys "Longeur:",
    // while the box is ticked.
    void applyOptionRule();

signals:
    // The box changed, by a click or from code.
    void operationToggled();
    // A rule became the chosen one.
    void optionChosen();

private:
    QLineEdit* newValue(int index, const QString& text);
    QLabel* newLabel(int index, const QString& caption);

    QWidget* m_row = nullptr;
    QCheckBox* m_rename = nullptr;
    QGroupBox* m_ruleFrame = nullptr;
    QRadioButton* m_deleteRule = nullptr;
    QRadioButton* m_insertRule = nullptr;
    QRadioButton* m_extensionRule = nullptr;
    QGroupBox* m_valuesFrame = nullptr;
    QLabel* m_startLabel = nullptr;
    QLineEdit* m_start = nullptr;
    QLabel* m_lengthLabel = nullptr;
    QLineEdit* m_length = nullptr;
    QLabel* m_textLabel = nullptr;
    QLineEdit* m_text = nullptr;
    QLabel* m_newExtensionLabel = nullptr;
    QLineEdit* m_newExtension = nullptr;
};

} // namespace pilotrame::gui
