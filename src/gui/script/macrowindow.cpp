#include "gui/script/macrowindow.h"

#include "base/text.h"
#include "gui/controlname.h"
#include "gui/formparts.h"
#include "gui/prompts.h"
#include "texts/common.h"
#include "texts/programstart.h"
#include "texts/scripts.h"
#include "usecases/macrogeneration.h"

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
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include <string>
#include <utility>

namespace pilotrame::gui {

namespace {

const QString kChooseFile = QStringLiteral("Choisissez un fichier");
const QString kWorkbookFilter = QStringLiteral("Excel (*.xls)|*.xls|Tous (*.*)|*.*");

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
        check->setObjectName(ControlName("Check1", index));
        return check;
    };
    const auto newEdit = [](QWidget* parent, int index, const QString& text, int chars) {
        auto* edit = new QLineEdit(text, parent);
        edit->setObjectName(ControlName("Text1", index));
        if (chars > 0)
            FitChars(edit, chars);
        return edit;
    };
    const auto newOption = [](QGroupBox* frame, int index, const QString& caption, bool chosen) {
        auto* option = new QRadioButton(caption, frame);
        option->setObjectName(ControlName("Option1", index));
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
    m_insertSymbols = newCheck(
        1, QStringLiteral("F1  Inserer les symboles de la bibliothèque  (pas d'espace dans "
                          "les noms de fichier, 1 attribut en ligne de commande)"));
    f1->addWidget(m_insertSymbols);
    f1->addStretch(1);
    f1->addWidget(NamedLabel(this, ControlName("Label1", 0), QStringLiteral("X:")));
    m_stepX = newEdit(this, 10, QStringLiteral("25"), 5);
    f1->addWidget(m_stepX);
    f1->addSpacing(6);
    f1->addWidget(NamedLabel(this, ControlName("Label1", 1), QStringLiteral("Y:")));
    m_stepY = newEdit(this, 11, QStringLiteral("40"), 5);
    f1->addWidget(m_stepY);
    outer->addLayout(f1);

    auto* f2 = new QHBoxLayout;
    m_startExcel = newCheck(2, QStringLiteral("F2  Remplacer du texte à partir d'un fichier excel "
                                              "(colone1:texte à remplacer / colone2: nouveau "
                                              "texte)"));
    f2->addWidget(m_startExcel);
    auto* chooseWorkbook = newButton("Command2", QStringLiteral("....."));
    f2->addWidget(chooseWorkbook);
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

    auto* attributesFrame = newFrame("Frame3");
    auto* f3 = new QGridLayout(attributesFrame);
    m_attributesAll = newOption(attributesFrame, 30, QStringLiteral("Tout"), true);
    m_attributesNamed = newOption(attributesFrame, 31, QStringLiteral("Nom :"), false);
    f3->addWidget(m_attributesAll, 0, 0);
    f3->addWidget(m_attributesNamed, 1, 0);
    const QString blocks[4] = {QStringLiteral("Disjoncteur1"), QString(), QString(), QString()};
    for (int column = 0; column < 4; ++column) {
        const auto at = static_cast<std::size_t>(column);
        m_attributeBlocks[at] = newEdit(attributesFrame, 30 + column, blocks[column], 0);
        m_attributeNames[at] = newEdit(attributesFrame, 35 + column, QString(), 0);
        f3->addWidget(m_attributeBlocks[at], 1, column + 1);
        f3->addWidget(m_attributeNames[at], 2, column + 1);
        f3->setColumnStretch(column + 1, 1);
    }
    f3->addWidget(NamedLabel(attributesFrame, QStringLiteral("Label8"),
                             QStringLiteral("Nom de l'attribut / aucun:")),
                  2, 0);
    f3->addWidget(NamedLabel(attributesFrame, QStringLiteral("Label9"),
                             QStringLiteral("Format d'enregistrement:")),
                  3, 0);
    m_format = new QComboBox(attributesFrame);
    m_format->setObjectName(ControlName("Combo1", 30));
    m_format->setEditable(true);
    // A typed format stays a typed text; it is not added to the list.
    m_format->setInsertPolicy(QComboBox::NoInsert);
    m_format->addItems({QStringLiteral("Nom fichier + infos sur 1 Ligne"),
                        QStringLiteral("Nom fichier + infos par Colone"),
                        QStringLiteral("Par Colone"), QStringLiteral("Par Ligne")});
    m_format->setCurrentIndex(0);
    f3->addWidget(m_format, 3, 1, 1, 2);
    m_exportAttributes = newCheck(3, QStringLiteral("F3  Extraire les attributs des blocs"));
    addFunction(m_exportAttributes, attributesFrame);

    addFunction(newCheck(4, QStringLiteral("F4 Réserve")), nullptr);

    auto* countFrame = newFrame("Frame2");
    auto* f5 = new QHBoxLayout(countFrame);
    m_countAll = newOption(countFrame, 50, QStringLiteral("Tout"), true);
    m_countNamed = newOption(countFrame, 51, QStringLiteral("Nom :"), false);
    m_countBlock = newEdit(countFrame, 50, QStringLiteral("Luminaire_A"), 20);
    f5->addWidget(m_countAll);
    f5->addSpacing(10);
    f5->addWidget(m_countNamed);
    f5->addWidget(m_countBlock);
    f5->addStretch(1);
    m_countBlocks = newCheck(5, QStringLiteral("F5  Compte nombre de blocs"));
    addFunction(m_countBlocks, countFrame);

    // F6 and F7 name a layer, in the box "nuage" of their choices; F7 also chooses "Gèle" or
    // "Dégèle", in its frame. F6 has no frame: its box stands in the choices column, inset like
    // the frames' contents.
    const auto layerChoices = [&](int function, QGroupBox* frame) {
        QWidget* choices = frame ? frame : new QWidget(this);
        auto* layout = new QHBoxLayout(choices);
        if (frame) {
            m_freeze = newOption(frame, 70, QStringLiteral("Gèle"), true);
            m_thaw = newOption(frame, 71, QStringLiteral("Dégèle"), false);
        } else {
            layout->setContentsMargins(10, 0, 0, 0);
        }
        QLineEdit* layer = newEdit(choices, function * 10, QStringLiteral("nuage"), 20);
        if (frame) {
            layout->addWidget(m_freeze);
            layout->addWidget(m_thaw);
            layout->addSpacing(10);
            layout->addWidget(NamedLabel(frame, QStringLiteral("Label6"), QStringLiteral("Nom:")));
        }
        layout->addWidget(layer);
        layout->addStretch(1);
        return std::pair{choices, layer};
    };

    const auto [erasedChoices, erasedLayer] = layerChoices(6, nullptr);
    m_erasedLayer = erasedLayer;
    m_eraseLayer = newCheck(6, QStringLiteral("F6  Efface un calque: (nom:)"));
    addFunction(m_eraseLayer, erasedChoices);

    const auto [frozenChoices, frozenLayer] = layerChoices(7, newFrame("Frame4"));
    m_frozenLayer = frozenLayer;
    m_freezeLayer = newCheck(7, QStringLiteral("F7  Gèle/dégèle un calque: (nom:)"));
    addFunction(m_freezeLayer, frozenChoices);

    // F8: the first corner in the left column of boxes, the second in the right one.
    auto* exportFrame = newFrame("Frame1");
    auto* f8 = new QGridLayout(exportFrame);
    m_exportAll = newOption(exportFrame, 80, QStringLiteral("Tout"), true);
    m_exportWindow = newOption(exportFrame, 81, QStringLiteral("Selection :"), false);
    f8->addWidget(m_exportAll, 0, 0);
    f8->addWidget(m_exportWindow, 1, 0);
    const char* cornerLabels[4] = {"Label2", "Label4", "Label3", "Label5"};
    const char* cornerCaptions[4] = {"X:", "X:", "Y:", "Y:"};
    const QString cornerTexts[4] = {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("0"),
                                    QStringLiteral("100")};
    for (int box = 0; box < 4; ++box) {
        const auto at = static_cast<std::size_t>(box);
        m_corners[at] = newEdit(exportFrame, 80 + box, cornerTexts[box], 6);
        const int gridRow = 1 + box / 2;
        const int gridColumn = 1 + (box % 2) * 2;
        f8->addWidget(NamedLabel(exportFrame, QString::fromLatin1(cornerLabels[box]),
                                 QString::fromLatin1(cornerCaptions[box])),
                      gridRow, gridColumn, Qt::AlignRight);
        f8->addWidget(m_corners[at], gridRow, gridColumn + 1);
    }
    f8->setColumnStretch(5, 1);
    m_exportText = newCheck(8, QStringLiteral("F8  Exporte le texte du folio"));
    addFunction(m_exportText, exportFrame);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    outer->addWidget(rule);

    // Shown only: the transfer direction changes nothing in the script.
    auto* transfer = new QHBoxLayout;
    transfer->addWidget(NamedLabel(this, QStringLiteral("Label7"),
                                   QStringLiteral("Transfert AUTOCAD / MICROSTATION:")));
    auto* transferFrame = newFrame("Frame5");
    auto* f10 = new QHBoxLayout(transferFrame);
    f10->addWidget(newOption(transferFrame, 10, QStringLiteral("*.dwg -> *.dgn"), true));
    f10->addWidget(newOption(transferFrame, 11, QStringLiteral("*.dgn -> *.dwg"), false));
    transfer->addWidget(transferFrame);
    transfer->addStretch(1);
    outer->addLayout(transfer);

    outer->addStretch(1);
    auto* buttons = new QHBoxLayout;
    auto* selectFiles = newButton("Command4", QStringLiteral("Selection fichiers"));
    auto* advancedSelection = newButton("Command5", QStringLiteral("Selection avancée"));
    auto* execute = newButton("Command3", QStringLiteral("Executer"));
    auto* generate = newButton("Command1", QStringLiteral("GENERER"));
    for (QPushButton* button : {selectFiles, advancedSelection, execute, generate})
        button->setMinimumHeight(button->sizeHint().height() * 3 / 2);
    buttons->addWidget(selectFiles);
    buttons->addWidget(advancedSelection);
    buttons->addStretch(1);
    buttons->addWidget(execute);
    buttons->addWidget(generate);
    outer->addLayout(buttons);

    connect(generate, &QPushButton::clicked, this, &MacroWindow::onGenerateClicked);
    connect(chooseWorkbook, &QPushButton::clicked, this, &MacroWindow::onChooseWorkbookClicked);
    // "Executer" has never done anything here; the script is run from the main window.
    connect(selectFiles, &QPushButton::clicked, this, [this] {
        if (m_hooks.selectFiles)
            m_hooks.selectFiles();
    });
    connect(advancedSelection, &QPushButton::clicked, this, [this] {
        if (m_hooks.advancedSelection)
            m_hooks.advancedSelection();
    });
}

MacroJob MacroWindow::currentJob() const {
    MacroJob job;
    job.insertSymbols = Ticked(m_insertSymbols);
    job.symbolStepX = TextOf(m_stepX);
    job.symbolStepY = TextOf(m_stepY);
    job.startExcel = Ticked(m_startExcel);

    job.exportAttributes = Ticked(m_exportAttributes);
    job.attributesAllBlocks = m_attributesAll->isChecked();
    job.attributesNamed = m_attributesNamed->isChecked();
    for (std::size_t column = 0; column < 4; ++column) {
        job.attributeBlocks[column] = TextOf(m_attributeBlocks[column]);
        job.attributeNames[column] = TextOf(m_attributeNames[column]);
    }
    job.attributeFormat = ToStd(m_format->currentText());

    job.countBlocks = Ticked(m_countBlocks);
    job.countAllBlocks = m_countAll->isChecked();
    job.countNamed = m_countNamed->isChecked();
    job.countBlock = TextOf(m_countBlock);

    job.eraseLayer = Ticked(m_eraseLayer);
    job.erasedLayer = TextOf(m_erasedLayer);

    job.freezeLayer = Ticked(m_freezeLayer);
    job.freeze = m_freeze->isChecked();
    job.thaw = m_thaw->isChecked();
    job.frozenLayer = TextOf(m_frozenLayer);

    job.exportText = Ticked(m_exportText);
    job.exportAllText = m_exportAll->isChecked();
    job.exportWindow = m_exportWindow->isChecked();
    for (std::size_t box = 0; box < 4; ++box)
        job.exportCorners[box] = TextOf(m_corners[box]);
    return job;
}

void MacroWindow::onGenerateClicked() {
    const MacroRequest request{m_session.listPath(), m_session.scriptPath(), currentJob(),
                               m_session.settings.sdiMultiple(), m_session.excelWorkbookPath};
    Status excel = Success();
    const Result<int> generated =
        GenerateMacroScript(request, m_session.position, m_session.symbols,
                            [this, &excel](const std::string& workbook) {
                                excel = m_hooks.startExcel(FromStd(workbook));
                            });
    if (!generated)
        ShowMessage(this, FromStd(kErrorTitle), FromStd(GenerationFailureText(generated.error())),
                    MessageIcon::Critical);
    if (!excel)
        ShowMessage(this, FromStd(kErrorTitle), FromStd(ExcelNotStartedText(excel.error())),
                    MessageIcon::Critical);
}

void MacroWindow::onChooseWorkbookClicked() {
    if (!Ticked(m_startExcel))
        return;
    const auto chosen = Prompts::instance().chooseFiles(
        this, FileDialogRequest{FileDialogKind::Open, kChooseFile, kWorkbookFilter,
                                FromStd(m_session.settings.drawingFolder()), QString()});
    // A cancel keeps the workbook already chosen.
    if (!chosen || chosen->isEmpty())
        return;
    const std::string path = NativeStdPath(chosen->front());
    m_session.excelWorkbookPath = std::string(TrimSpaces(path));
}

Status MacroWindow::StartExcelOnWorkbook(const QString& workbook) {
#ifdef Q_OS_WIN
    return SystemProgramStarter().startDetached(ExcelStart(ToStd(workbook)));
#else
    // No fixed Excel path elsewhere: the desktop's program for the workbook's type, which says
    // itself when it has none.
    QDesktopServices::openUrl(QUrl::fromLocalFile(workbook));
    return Success();
#endif
}

} // namespace pilotrame::gui
