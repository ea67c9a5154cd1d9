#pragma once

#include "script/macrosection.h"
#include "session/session.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pilotrame::gui {

// The macro-functions window: a second kind of script, one section per listed drawing
// (symbol insertion or VBA macros), and Excel on a workbook. Opened for one modal use; what must
// outlive it (the symbol grid, the workbook) lives in the Session.
class MacroWindow : public QDialog {
    Q_OBJECT

public:
    // What the window asks of the rest of the program. selectFiles and advancedSelection run the
    // main window's commands, so that its counts follow; startExcel starts Excel on a workbook,
    // failing with why it could not, and, when left empty, is the real start.
    struct Hooks {
        std::function<void()> selectFiles;
        std::function<void()> advancedSelection;
        std::function<Status(const QString& workbook)> startExcel;
    };

    MacroWindow(Session& session, Hooks hooks, QWidget* parent = nullptr);

    // The job as the controls hold it now.
    MacroJob currentJob() const;

    // Starts Excel on the workbook with the platform's means; fails with why Excel could not
    // start.
    static Status StartExcelOnWorkbook(const QString& workbook);

private:
    void buildControls();
    // "GENERER": writes the macro script from the list; failures are shown, never passed on.
    void onGenerateClicked();
    // ".....": chooses the F2 workbook, only while F2 is ticked.
    void onChooseWorkbookClicked();

    Session& m_session;
    Hooks m_hooks;

    // The functions F1 to F8, each ticked to be part of the script; F4 is a place kept.
    QCheckBox* m_insertSymbols = nullptr;
    QCheckBox* m_startExcel = nullptr;
    QCheckBox* m_exportAttributes = nullptr;
    QCheckBox* m_countBlocks = nullptr;
    QCheckBox* m_eraseLayer = nullptr;
    QCheckBox* m_freezeLayer = nullptr;
    QCheckBox* m_exportText = nullptr;

    QLineEdit* m_stepX = nullptr;
    QLineEdit* m_stepY = nullptr;
    QRadioButton* m_attributesAll = nullptr;
    QRadioButton* m_attributesNamed = nullptr;
    std::array<QLineEdit*, 4> m_attributeBlocks{}; // one block name per column
    std::array<QLineEdit*, 4> m_attributeNames{};  // the attribute of the block above it
    QComboBox* m_format = nullptr;
    QRadioButton* m_countAll = nullptr;
    QRadioButton* m_countNamed = nullptr;
    QLineEdit* m_countBlock = nullptr;
    QLineEdit* m_erasedLayer = nullptr;
    QRadioButton* m_freeze = nullptr;
    QRadioButton* m_thaw = nullptr;
    QLineEdit* m_frozenLayer = nullptr;
    QRadioButton* m_exportAll = nullptr;
    QRadioButton* m_exportWindow = nullptr;
    std::array<QLineEdit*, 4> m_corners{}; // X of the first and second corners, then their Y
};

} // namespace pilotrame::gui
