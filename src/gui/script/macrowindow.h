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

// The macro-functions window Form5: a second kind of script, one section per listed drawing
// (symbol insertion or VBA macros), and Excel on a workbook. Opened for one modal use; what must
// outlive it (the symbol grid, the workbook) lives in the Session.
class MacroWindow : public QDialog {
    Q_OBJECT

public:
    // What the window asks of the rest of the program. selectFiles and advancedSelection run the
    // main window's commands, so that its counts follow; startExcel starts Excel on a workbook
    // and, when left empty, is the real start.
    struct Hooks {
        std::function<void()> selectFiles;
        std::function<void()> advancedSelection;
        std::function<void(const QString& workbook)> startExcel;
    };

    MacroWindow(Session& session, Hooks hooks, QWidget* parent = nullptr);

    // The job as the controls hold it now.
    MacroJob currentJob() const;

    // "GENERER": writes the macro script from the list; failures are shown, never passed on.
    void Command1_Click();
    // ".....": chooses the F2 workbook, only while F2 is ticked.
    void Command2_Click();

    // Starts Excel on the workbook with the platform's means; a failure is ignored.
    static void StartExcelOnWorkbook(const QString& workbook);

private:
    void buildControls();

    Session& m_session;
    Hooks m_hooks;

    std::array<QCheckBox*, 9> m_check1{};          // Check1(1) to Check1(8); entry 0 unused
    QLineEdit* m_stepX = nullptr;                  // Text1(10)
    QLineEdit* m_stepY = nullptr;                  // Text1(11)
    QRadioButton* m_attributesAll = nullptr;       // Option1(30)
    QRadioButton* m_attributesNamed = nullptr;     // Option1(31)
    std::array<QLineEdit*, 4> m_attributeBlocks{}; // Text1(30) to Text1(33)
    std::array<QLineEdit*, 4> m_attributeNames{};  // Text1(35) to Text1(38)
    QComboBox* m_format = nullptr;                 // Combo1(30)
    QRadioButton* m_countAll = nullptr;            // Option1(50)
    QRadioButton* m_countNamed = nullptr;          // Option1(51)
    QLineEdit* m_countBlock = nullptr;             // Text1(50)
    QLineEdit* m_erasedLayer = nullptr;            // Text1(60)
    QRadioButton* m_freeze = nullptr;              // Option1(70)
    QRadioButton* m_thaw = nullptr;                // Option1(71)
    QLineEdit* m_frozenLayer = nullptr;            // Text1(70)
    QRadioButton* m_exportAll = nullptr;           // Option1(80)
    QRadioButton* m_exportWindow = nullptr;        // Option1(81)
    std::array<QLineEdit*, 4> m_corners{};         // Text1(80) to Text1(83)
};

} // namespace pilotrame::gui
