#pragma once

#include "config/settings.h"
#include "script/drawingsection.h"

#include <QObject>

#include <vector>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace pilotrame::gui {

// The drawing operations of the main window's operation panel, "PURGER" to "REMPLACE TEXTE
// (vba)" (the renaming row is the renaming panel's): each a check box Check4(i) with its
// parameters to its right. It yields the operations of the DrawingJob and holds the rules that
// make each operation's parameters usable; when they run is the main window's decision.
class OperationsPanel : public QObject {
    Q_OBJECT

public:
    // Builds the controls in their first state as children of host. settings are the live
    // settings of the run (the insert chooser starts in their script folder); both must outlive
    // the panel.
    OperationsPanel(const Settings& settings, QWidget* host);

    // Places the operation rows in grid, check boxes in column 0 and parameters in column 1, at
    // the rows of kDrawingOperations; kRenameOperationRow is the renaming panel's.
    void addRows(QGridLayout* grid) const;

    // The operations and their parameters as the controls hold them now; the plot and custom
    // script fields keep their defaults (they are the main window's switches).
    DrawingJob job() const;
    // Sets the controls from job (its plot and custom script fields aside), ticks included, so
    // that each box's rule runs as a click's would.
    void setJob(const DrawingJob& job);

    // These rows' part of DisableOperationPanel: operations unticked and disabled, parameters
    // hidden.
    void disable();
    // These rows' part of EnableOperationPanel: operations enabled with their ticks kept,
    // parameters shown but greyed until their operation's rule runs.
    void enable();
    // The operation rule for these rows: each operation's parameters usable while it is ticked,
    // "..." of "INSERER" while it is ticked with "Fichier" chosen.
    void applyOperationRule();
    // The option rule for these rows: "..." of "INSERER" usable while "Fichier" is chosen and
    // "INSERER" ticked.
    void applyOptionRule();

    // ChooseInsertDrawing: the drawing to insert, chosen in the file dialog, into Text3.
    void ChooseInsertDrawing();

signals:
    // One of the operation check boxes changed, by a click or from code.
    void operationToggled();
    // An option button became the chosen one of its frame.
    void optionChosen();

private:
    QCheckBox* newOperation(int index, const QString& caption);
    // The place in kDrawingOperations of the operation whose tick is ticked.
    static std::size_t operationIndex(bool DrawingJob::*ticked);
    // The check box of the operation whose tick is ticked.
    QCheckBox* operationBox(bool DrawingJob::*ticked) const;
    // The row of parameters of that operation, to the right of its check box.
    void setParameters(bool DrawingJob::*ticked, QWidget* parameters);
    QGroupBox* newFrame(int index);
    QRadioButton* newOption(QGroupBox* frame, int index, const QString& caption);
    QLineEdit* newBox(int index, const QString& text);
    QLabel* newLabel(int index, const QString& caption);
    std::vector<QLineEdit*> parameterBoxes() const;
    std::vector<QLabel*> parameterLabels() const;
    std::vector<QRadioButton*> greyedOptions() const;

    const Settings& m_settings;
    QWidget* m_host;
    std::vector<QCheckBox*> m_operations; // in the order of kDrawingOperations
    std::vector<QWidget*> m_parameters; // beside m_operations; nullptr where an operation has none
    std::vector<QGroupBox*> m_frames;

    QRadioButton* m_purgeBlocks = nullptr;
    QRadioButton* m_purgeAll = nullptr;

    QRadioButton* m_dxfToDwg = nullptr;
    QRadioButton* m_dwgToDxf = nullptr;

    QCheckBox* m_erase = nullptr;
    QRadioButton* m_eraseWindow = nullptr;
    QRadioButton* m_eraseFence = nullptr;
    QRadioButton* m_eraseCrossing = nullptr;
    QLabel* m_eraseCorner1Label = nullptr;
    QLineEdit* m_eraseCorner1X = nullptr;
    QLineEdit* m_eraseCorner1Y = nullptr;
    QLabel* m_eraseCorner2Label = nullptr;
    QLineEdit* m_eraseCorner2X = nullptr;
    QLineEdit* m_eraseCorner2Y = nullptr;

    QCheckBox* m_insert = nullptr;
    QRadioButton* m_insertClipboard = nullptr;
    QRadioButton* m_insertFromFile = nullptr;
    QLineEdit* m_insertPath = nullptr;
    QPushButton* m_chooseInsert = nullptr;

    QCheckBox* m_replaceAttribute = nullptr;
    QLabel* m_attributeCorner1Label = nullptr;
    QLineEdit* m_attributeCorner1X = nullptr;
    QLineEdit* m_attributeCorner1Y = nullptr;
    QLabel* m_attributeCorner2Label = nullptr;
    QLineEdit* m_attributeCorner2X = nullptr;
    QLineEdit* m_attributeCorner2Y = nullptr;
    QLabel* m_attributeOldLabel = nullptr;
    QLineEdit* m_attributeOld = nullptr;
    QLabel* m_attributeNewLabel = nullptr;
    QLineEdit* m_attributeNew = nullptr;

    QCheckBox* m_replaceText = nullptr;
    QLabel* m_replaceOldLabel = nullptr;
    QLabel* m_replaceNewLabel = nullptr;
    QLineEdit* m_replaceOld1 = nullptr;
    QLineEdit* m_replaceNew1 = nullptr;
    QLineEdit* m_replaceOld2 = nullptr;
    QLineEdit* m_replaceNew2 = nullptr;
};

} // namespace pilotrame::gui
