#include "gui/script/macrowindow.h"

#include "base/messages.h"
#include "base/text.h"
#include "gui/designname.h"
#include "gui/formparts.h"
#include "gui/prompts.h"
#include "script/generation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include <string>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace pilotrame::gui {

namespace {

const QString kChooseFile = QStringLiteral("Choisissez un fichier");
const QString kWorkbookFilter = QStringLiteral("Excel (*.xls)|*.xls|Tous (*.*)|*.*");

// Runs its action when the scope ends, whichever way it ends.
template <typename F> class ScopeExit {
public:
    explicit ScopeExit(F action) : m_action(std::move(action)) {}
    ~ScopeExit() { m_action(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F m_action;
};

bool Ticked(const QCheckBox* check) {
    // A greyed box is not a choice the user made.
    return check->checkState() == Qt::Checked;
}

std::string TextOf(const QLineEdit* edit) {
    return ToStd(edit->text());
}

// Room for about chars characters of the window's font, so that the boxes grow with the scale.
void FitChars(QLineEdit* edit, int chars) {
    const int width = edit->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0')));
    edit->setFixedWidth(width + edit->fontMetrics().height());
}

} // namespace

MacroWindow::MacroWindow(Session& session, Hooks hooks, QWidget* parent)
    : QDialog(parent), m_session(session), m_hooks(std::move(hooks)) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Nécessite macro autocad !"));
    if (!m_hooks.startExcel)
        m_hooks.startExcel = &MacroWindow::StartExcelOnWorkbook;
    buildControls();
}

void MacroWindow::buildControls() {
    const auto newCheck = [this](int index, const QString& caption) {
        auto* check = new QCheckBox(caption, this);
        check->setObjectName(DesignName("Check1", index));
        m_check1[static_cast<std::size_t>(index)] = check;
        return check;
    };
    const auto newEdit = [](QWidget* parent, int index, const QString& text, int chars) {
        auto* edit = new QLineEdit(text, parent);
        edit->setObjectName(DesignName("Text1", index));
        if (chars > 0)
            FitChars(edit, chars);
        return edit;
    };
    const auto newOption = [](QGroupBox* frame, int index, const QString& caption, bool chosen) {
        auto* option = new QRadioButton(caption, frame);
        option->setObjectName(DesignName("Option1", index));
        option->setChecked(chosen);
        return option;
    };
    const auto newFrame = [this](const char* name) {
        auto* frame = new QGroupBox(this);
        frame->setObjectName(QString::fromLatin1(name));
        return frame;
    };
    const auto newButton = [this](const char* name, const QString& caption) {
        return NamedButton(this, QString::fromLatin1(name), caption);
    };

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(10);

    // F1 and F2 have long captions: each takes a whole row, its boxes at the end.
    auto* f1 = new QHBoxLayout;
    f1->addWidget(newCheck(
        1, QStringLiteral("F1  Inserer les symboles de la bibliothèque  (pas d'espace dans "
                          "les noms de fichier, 1 attribut en ligne de commande)")));
    f1->addStretch(1);
    f1->addWidget(NamedLabel(this, DesignName("Label1", 0), QStringLiteral("X:")));
    m_stepX = newEdit(this, 10, QStringLiteral("25"), 5);
    f1->addWidget(m_stepX);
    f1->addSpacing(6);
    f1->addWidget(NamedLabel(this, DesignName("Label1", 1), QStringLiteral("Y:")));
    m_stepY = newEdit(this, 11, QStringLiteral("40"), 5);
    f1->addWidget(m_stepY);
    outer->addLayout(f1);

    auto* f2 = new QHBoxLayout;
    f2->addWidget(newCheck(2, QStringLiteral("F2  Remplacer du texte à partir d'un fichier excel "
                                             "(colone1:texte à remplacer / colone2: nouveau "
                                             "texte)")));
    auto* command2 = newButton("Command2", QStringLiteral("....."));
    f2->addWidget(command2);
    f2->addStretch(1);
    outer->addLayout(f2);

    // F3 to F8: the check box on the left, its choices in a frame on the right.
    auto* functions = new QGridLayout;
    functions->setHorizontalSpacing(14);
    functions->setVerticalSpacing(8);
    functions->setColumnStretch(1, 1);
    outer->addLayout(functions);
    int row = 0;
    const auto addFunction = [functions, &row](QCheckBox* check, QWidget* choices) {
        functions->addWidget(check, row, 0, Qt::AlignLeft | Qt::AlignTop);
        if (choices)
            functions->addWidget(choices, row, 1);
        ++row;
    };

    auto* frame3 = newFrame("Frame3");
    auto* f3 = new QGridLayout(frame3);
    m_attributesAll = newOption(frame3, 30, QStringLiteral("Tout"), true);
    m_attributesNamed = newOption(frame3, 31, QStringLiteral("Nom :"), false);
    f3->addWidget(m_attributesAll, 0, 0);
    f3->addWidget(m_attributesNamed, 1, 0);
    const QString blocks[4] = {QStringLiteral("Disjoncteur1"), QString(), QString(), QString()};
    for (int column = 0; column < 4; ++column) {
        const auto at = static_cast<std::size_t>(column);
        m_attributeBlocks[at] = newEdit(frame3, 30 + column, blocks[column], 0);
        m_attributeNames[at] = newEdit(frame3, 35 + column, QString(), 0);
        f3->addWidget(m_attributeBlocks[at], 1, column + 1);
        f3->addWidget(m_attributeNames[at], 2, column + 1);
        f3->setColumnStretch(column + 1, 1);
    }
    f3->addWidget(
        NamedLabel(frame3, QStringLiteral("Label8"), QStringLiteral("Nom de l'attribut / aucun:")),
        2, 0);
    f3->addWidget(
        NamedLabel(frame3, QStringLiteral("Label9"), QStringLiteral("Format d'enregistrement:")), 3,
        0);
    m_format = new QComboBox(frame3);
    m_format->setObjectName(DesignName("Combo1", 30));
    m_format->setEditable(true);
    // A typed format stays a typed text; it is not added to the list.
    m_format->setInsertPolicy(QComboBox::NoInsert);
    m_format->addItems({QStringLiteral("Nom fichier + infos sur 1 Ligne"),
                        QStringLiteral("Nom fichier + infos par Colone"),
                        QStringLiteral("Par Colone"), QStringLiteral("Par Ligne")});
    m_format->setCurrentIndex(0);
    f3->addWidget(m_format, 3, 1, 1, 2);
    addFunction(newCheck(3, QStringLiteral("F3  Extraire les attributs des blocs")), frame3);

    addFunction(newCheck(4, QStringLiteral("F4 Réserve")), nullptr);

    auto* frame2 = newFrame("Frame2");
    auto* f5 = new QHBoxLayout(frame2);
    m_countAll = newOption(frame2, 50, QStringLiteral("Tout"), true);
    m_countNamed = newOption(frame2, 51, QStringLiteral("Nom :"), false);
    m_countBlock = newEdit(frame2, 50, QStringLiteral("Luminaire_A"), 20);
    f5->addWidget(m_countAll);
    f5->addSpacing(10);
    f5->addWidget(m_countNamed);
    f5->addWidget(m_countBlock);
    f5->addStretch(1);
    addFunction(newCheck(5, QStringLiteral("F5  Compte nombre de blocs")), frame2);

    // F6 has no frame: its box stands in the choices column, inset like the frames' contents.
    auto* f6 = new QWidget(this);
    auto* f6Layout = new QHBoxLayout(f6);
    f6Layout->setContentsMargins(10, 0, 0, 0);
    m_erasedLayer = newEdit(f6, 60, QStringLiteral("nuage"), 20);
    f6Layout->addWidget(m_erasedLayer);
    f6Layout->addStretch(1);
    addFunction(newCheck(6, QStringLiteral("F6  Efface un calque: (nom:)")), f6);

    auto* frame4 = newFrame("Frame4");
    auto* f7 = new QHBoxLayout(frame4);
    m_freeze = newOption(frame4, 70, QStringLiteral("Gèle"), true);
    m_thaw = newOption(frame4, 71, QStringLiteral("Dégèle"), false);
    m_frozenLayer = newEdit(frame4, 70, QStringLiteral("nuage"), 20);
    f7->addWidget(m_freeze);
    f7->addWidget(m_thaw);
    f7->addSpacing(10);
    f7->addWidget(NamedLabel(frame4, QStringLiteral("Label6"), QStringLiteral("Nom:")));
    f7->addWidget(m_frozenLayer);
    f7->addStretch(1);
    addFunction(newCheck(7, QStringLiteral("F7  Gèle/dégèle un calque: (nom:)")), frame4);

    // F8: the first corner in the left column of boxes, the second in the right one.
    auto* frame1 = newFrame("Frame1");
    auto* f8 = new QGridLayout(frame1);
    m_exportAll = newOption(frame1, 80, QStringLiteral("Tout"), true);
    m_exportWindow = newOption(frame1, 81, QStringLiteral("Selection :"), false);
    f8->addWidget(m_exportAll, 0, 0);
    f8->addWidget(m_exportWindow, 1, 0);
    const char* cornerLabels[4] = {"Label2", "Label4", "Label3", "Label5"};
    const char* cornerCaptions[4] = {"X:", "X:", "Y:", "Y:"};
    const QString cornerTexts[4] = {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("0"),
                                    QStringLiteral("100")};
    for (int box = 0; box < 4; ++box) {
        const auto at = static_cast<std::size_t>(box);
        m_corners[at] = newEdit(frame1, 80 + box, cornerTexts[box], 6);
        const int gridRow = 1 + box / 2;
        const int gridColumn = 1 + (box % 2) * 2;
        f8->addWidget(NamedLabel(frame1, QString::fromLatin1(cornerLabels[box]),
                                 QString::fromLatin1(cornerCaptions[box])),
                      gridRow, gridColumn, Qt::AlignRight);
        f8->addWidget(m_corners[at], gridRow, gridColumn + 1);
    }
    f8->setColumnStretch(5, 1);
    addFunction(newCheck(8, QStringLiteral("F8  Exporte le texte du folio")), frame1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    // Shown only: the transfer direction changes nothing in the script.
    auto* transfer = new QHBoxLayout;
    transfer->addWidget(NamedLabel(this, QStringLiteral("Label7"),
                                   QStringLiteral("Transfert AUTOCAD / MICROSTATION:")));
    auto* frame5 = newFrame("Frame5");
    auto* f10 = new QHBoxLayout(frame5);
    f10->addWidget(newOption(frame5, 10, QStringLiteral("*.dwg -> *.dgn"), true));
    f10->addWidget(newOption(frame5, 11, QStringLiteral("*.dgn -> *.dwg"), false));
    transfer->addWidget(frame5);
    transfer->addStretch(1);
    outer->addLayout(transfer);

    outer->addStretch(1);
    auto* buttons = new QHBoxLayout;
    auto* command4 = newButton("Command4", QStringLiteral("Selection fichiers"));
    auto* command5 = newButton("Command5", QStringLiteral("Selection avancée"));
    auto* command3 = newButton("Command3", QStringLiteral("Executer"));
    auto* command1 = newButton("Command1", QStringLiteral("GENERER"));
    for (QPushButton* button : {command4, command5, command3, command1})
        button->setMinimumHeight(button->sizeHint().height() * 3 / 2);
    buttons->addWidget(command4);
    buttons->addWidget(command5);
    buttons->addStretch(1);
    buttons->addWidget(command3);
    buttons->addWidget(command1);
    outer->addLayout(buttons);

    connect(command1, &QPushButton::clicked, this, &MacroWindow::Command1_Click);
    connect(command2, &QPushButton::clicked, this, &MacroWindow::Command2_Click);
    // "Executer" has never done anything here; the script is run from the main window.
    connect(command4, &QPushButton::clicked, this, [this] {
        if (m_hooks.selectFiles)
            m_hooks.selectFiles();
    });
    connect(command5, &QPushButton::clicked, this, [this] {
        if (m_hooks.advancedSelection)
            m_hooks.advancedSelection();
    });
}

MacroJob MacroWindow::currentJob() const {
    MacroJob job;
    job.insertSymbols = Ticked(m_check1[1]);
    job.symbolStepX = TextOf(m_stepX);
    job.symbolStepY = TextOf(m_stepY);
    job.startExcel = Ticked(m_check1[2]);

    job.exportAttributes = Ticked(m_check1[3]);
    job.attributesAllBlocks = m_attributesAll->isChecked();
    job.attributesNamed = m_attributesNamed->isChecked();
    for (std::size_t column = 0; column < 4; ++column) {
        job.attributeBlocks[column] = TextOf(m_attributeBlocks[column]);
        job.attributeNames[column] = TextOf(m_attributeNames[column]);
    }
    job.attributeFormat = ToStd(m_format->currentText());

    job.countBlocks = Ticked(m_check1[5]);
    job.countAllBlocks = m_countAll->isChecked();
    job.countNamed = m_countNamed->isChecked();
    job.countBlock = TextOf(m_countBlock);

    job.eraseLayer = Ticked(m_check1[6]);
    job.erasedLayer = TextOf(m_erasedLayer);

    job.freezeLayer = Ticked(m_check1[7]);
    job.freeze = m_freeze->isChecked();
    job.thaw = m_thaw->isChecked();
    job.frozenLayer = TextOf(m_frozenLayer);

    job.exportText = Ticked(m_check1[8]);
    job.exportAllText = m_exportAll->isChecked();
    job.exportWindow = m_exportWindow->isChecked();
    for (std::size_t box = 0; box < 4; ++box)
        job.exportCorners[box] = TextOf(m_corners[box]);
    return job;
}

void MacroWindow::Command1_Click() {
    const MacroJob job = currentJob();
    const bool sdiMultiple = m_session.settings.sdiMultiple();
    const QString workbook = FromStd(m_session.excelWorkbookPath);
    bool excelStarted = false;

    m_session.macroMode = true;
    const ScopeExit endMacroMode([this] { m_session.macroMode = false; });

    const SectionWriter writeSection = [&](std::string& section,
                                           const ListPosition& position) -> Status {
        // A section that fails leaves the grid where the last symbol went.
        SymbolGrid grid = m_session.symbols;
        const Status written = WriteMacroSection(section, job, grid, sdiMultiple, position);
        if (!written)
            return written;
        m_session.symbols = grid;
        // Excel is wanted once for the batch, not once per drawing; symbol insertion never
        // asks for it.
        if (job.startExcel && !job.insertSymbols && !excelStarted) {
            excelStarted = true;
            m_hooks.startExcel(workbook);
        }
        return Success();
    };

    const Status generated = GenerateScript(m_session.listPath(), m_session.scriptPath(),
                                            m_session.position, writeSection);
    if (!generated)
        ShowMessage(this, FromStd(kErrorTitle), FromStd(GenerationFailureText(generated.error())),
                    MessageIcon::Critical);
}

void MacroWindow::Command2_Click() {
    if (!Ticked(m_check1[2]))
        return;
    m_session.spreadsheetMode = true;
    const auto chosen = Prompts::instance().chooseFiles(
        this, FileDialogRequest{FileDialogKind::Open, kChooseFile, kWorkbookFilter,
                                FromStd(m_session.settings.drawingFolder()), QString()});
    m_session.spreadsheetMode = false;
    // A cancel keeps the workbook already chosen.
    if (!chosen || chosen->isEmpty())
        return;
    const std::string path = ToStd(QDir::toNativeSeparators(chosen->front()));
    m_session.dialogSelection = std::string(TrimSpaces(path));
    m_session.excelWorkbookPath = m_session.dialogSelection;
}

void MacroWindow::StartExcelOnWorkbook(const QString& workbook) {
#ifdef Q_OS_WIN
    // The fixed Excel command line, unquoted as Windows has always parsed it, maximised.
    std::wstring commandLine = FromStd(ExcelCommandLine(ToStd(workbook))).toStdWString();
    QProcess process;
    process.setProgram(QStringLiteral("excel.exe"));
    process.setCreateProcessArgumentsModifier(
        [&commandLine](QProcess::CreateProcessArguments* args) {
            args->arguments = commandLine.data();
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = SW_SHOWMAXIMIZED;
        });
    process.startDetached();
#else
    // No fixed Excel path elsewhere: the desktop's program for the workbook's type.
    QDesktopServices::openUrl(QUrl::fromLocalFile(workbook));
#endif
}

} // namespace pilotrame::gui
