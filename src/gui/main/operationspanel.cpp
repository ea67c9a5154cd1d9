#include "gui/main/operationspanel.h"

#include "gui/formparts.h"
#include "gui/prompts.h"
#include "script/operations.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <tuple>
#include <utility>

namespace pilotrame::gui {

namespace {

// A row of parameters as one widget, so that the panel's grid keeps one cell per row.
QWidget* RowWidget(QWidget* host, QLayout* layout) {
    auto* widget = new QWidget(host);
    layout->setContentsMargins(0, 0, 0, 0);
    widget->setLayout(layout);
    return widget;
}

} // namespace

OperationsPanel::OperationsPanel(const Settings& settings, QWidget* host)
    : QObject(host), m_settings(settings), m_host(host) {
    // One check box per operation of the table, in its order.
    for (const DrawingOperation& operation : kDrawingOperations)
        newOperation(operation.box, FromStd(operation.caption));
    m_parameters.assign(m_operations.size(), nullptr);
    m_erase = operationBox(&DrawingJob::erase);
    m_insert = operationBox(&DrawingJob::insert);
    m_replaceAttribute = operationBox(&DrawingJob::replaceAttribute);
    m_replaceText = operationBox(&DrawingJob::replaceText);

    // The parameters of each operation that has any; the table places the rows.
    // A row whose only parameters are two options in a frame, the first chosen.
    const auto optionRow = [this](bool DrawingJob::*operation, int frameIndex,
                                  std::pair<int, QString> first, std::pair<int, QString> second) {
        QGroupBox* frame = newFrame(frameIndex);
        QRadioButton* chosen = newOption(frame, first.first, first.second);
        chosen->setChecked(true);
        QRadioButton* other = newOption(frame, second.first, second.second);
        auto* layout = new QHBoxLayout;
        layout->addWidget(frame);
        layout->addStretch(1);
        setParameters(operation, RowWidget(m_host, layout));
        return std::pair{chosen, other};
    };
    std::tie(m_purgeBlocks, m_purgeAll) =
        optionRow(&DrawingJob::purge, 0, {0, QStringLiteral("Bloc")}, {1, QStringLiteral("Tout")});
    std::tie(m_dxfToDwg, m_dwgToDxf) = optionRow(
        &DrawingJob::transfer, 3, {6, QStringLiteral("DXF->DWG")}, {7, QStringLiteral("DWG->DXF")});
    { // INSERER
        QGroupBox* frame = newFrame(2);
        m_insertClipboard = newOption(frame, 5, QStringLiteral("Presse papier"));
        m_insertClipboard->setChecked(true);
        m_insertFromFile = newOption(frame, 4, QStringLiteral("Fichier"));
        m_insertPath = KeepRoom(new QLineEdit(QStringLiteral("Fichier"), m_host));
        m_insertPath->setObjectName(QStringLiteral("Text3"));
        MakeReadOnlyGrey(m_insertPath);
        m_chooseInsert = KeepRoom(new QPushButton(QStringLiteral("..."), m_host));
        m_chooseInsert->setObjectName(QStringLiteral("Command8"));
        m_chooseInsert->setEnabled(false);
        m_chooseInsert->setFixedWidth(SmallButtonWidth(m_chooseInsert));
        m_chooseInsert->setToolTip(QStringLiteral("Choisir le plan à insérer"));
        auto* row = new QHBoxLayout;
        row->addWidget(frame);
        row->addWidget(m_insertPath, 1);
        row->addWidget(m_chooseInsert);
        setParameters(&DrawingJob::insert, RowWidget(m_host, row));
    }
    { // EFFACER
        QGroupBox* frame = newFrame(1);
        m_eraseWindow = newOption(frame, 2, QStringLiteral("Fenêtre"));
        m_eraseWindow->setChecked(true);
        m_eraseFence = newOption(frame, 3, QStringLiteral("Trajet"));
        m_eraseCrossing = newOption(frame, 8, QStringLiteral("Capture"));
        auto* corners = new QGridLayout;
        m_eraseCorner1Label = newLabel(0, QStringLiteral(" 1er point :"));
        m_eraseCorner1X = newBox(0, QStringLiteral("0"));
        m_eraseCorner1Y = newBox(1, QStringLiteral("0"));
        m_eraseCorner2Label = newLabel(1, QStringLiteral("2em point :"));
        m_eraseCorner2X = newBox(2, QStringLiteral("0"));
        m_eraseCorner2Y = newBox(3, QStringLiteral("0"));
        corners->addWidget(m_eraseCorner1Label, 0, 0);
        corners->addWidget(m_eraseCorner1X, 0, 1);
        corners->addWidget(m_eraseCorner1Y, 0, 2);
        corners->addWidget(m_eraseCorner2Label, 1, 0);
        corners->addWidget(m_eraseCorner2X, 1, 1);
        corners->addWidget(m_eraseCorner2Y, 1, 2);
        auto* row = new QHBoxLayout;
        row->addWidget(frame);
        row->addLayout(corners);
        row->addStretch(1);
        setParameters(&DrawingJob::erase, RowWidget(m_host, row));
    }
    { // REMPLACER ATTRIBUT
        auto* grid = new QGridLayout;
        m_attributeCorner1Label = newLabel(2, QStringLiteral(" 1er point :"));
        m_attributeCorner1X = newBox(4, QStringLiteral("0"));
        m_attributeCorner1Y = newBox(5, QStringLiteral("0"));
        m_attributeCorner2Label = newLabel(3, QStringLiteral("2em point :"));
        m_attributeCorner2X = newBox(6, QStringLiteral("0"));
        m_attributeCorner2Y = newBox(7, QStringLiteral("0"));
        m_attributeOldLabel = newLabel(4, QStringLiteral("Remplacer :"));
        m_attributeOld = newBox(8, QString());
        m_attributeNewLabel = newLabel(5, QStringLiteral("Par :"));
        m_attributeNew = newBox(9, QString());
        grid->addWidget(m_attributeCorner1Label, 0, 0);
        grid->addWidget(m_attributeCorner1X, 0, 1);
        grid->addWidget(m_attributeCorner1Y, 0, 2);
        grid->addWidget(m_attributeCorner2Label, 1, 0);
        grid->addWidget(m_attributeCorner2X, 1, 1);
        grid->addWidget(m_attributeCorner2Y, 1, 2);
        grid->addWidget(m_attributeOldLabel, 0, 3);
        grid->addWidget(m_attributeOld, 0, 4);
        grid->addWidget(m_attributeNewLabel, 1, 3);
        grid->addWidget(m_attributeNew, 1, 4);
        grid->setColumnStretch(4, 2);
        setParameters(&DrawingJob::replaceAttribute, RowWidget(m_host, grid));
    }
    { // REMPLACE TEXTE (vba): two columns, each an old text above its new text
        auto* grid = new QGridLayout;
        m_replaceOldLabel = newLabel(10, QStringLiteral("Ancien:"));
        m_replaceOld1 = newBox(14, QString());
        m_replaceOld2 = newBox(16, QString());
        m_replaceNewLabel = newLabel(11, QStringLiteral("Nouveau:"));
        m_replaceNew1 = newBox(15, QString());
        m_replaceNew2 = newBox(17, QString());
        grid->addWidget(m_replaceOldLabel, 0, 0);
        grid->addWidget(m_replaceOld1, 0, 1);
        grid->addWidget(m_replaceOld2, 0, 2);
        grid->addWidget(m_replaceNewLabel, 1, 0);
        grid->addWidget(m_replaceNew1, 1, 1);
        grid->addWidget(m_replaceNew2, 1, 2);
        setParameters(&DrawingJob::replaceText, RowWidget(m_host, grid));
    }
    // Coordinates are short numbers.
    for (QLineEdit* corner :
         {m_eraseCorner1X, m_eraseCorner1Y, m_eraseCorner2X, m_eraseCorner2Y, m_attributeCorner1X,
          m_attributeCorner1Y, m_attributeCorner2X, m_attributeCorner2Y})
        corner->setMaximumWidth(DigitsWidth(corner, 12));

    // The rules are wired once the first state is set, so that setting it runs none of them.
    for (QCheckBox* operation : m_operations)
        connect(operation, &QCheckBox::toggled, this, &OperationsPanel::operationToggled);
    for (QRadioButton* option :
         {m_purgeBlocks, m_purgeAll, m_dxfToDwg, m_dwgToDxf, m_eraseWindow, m_eraseFence,
          m_eraseCrossing, m_insertClipboard, m_insertFromFile}) {
        connect(option, &QRadioButton::toggled, this, [this](bool chosen) {
            if (chosen)
                emit optionChosen();
        });
    }
    connect(m_chooseInsert, &QPushButton::clicked, this, &OperationsPanel::ChooseInsertDrawing);
}

QCheckBox* OperationsPanel::newOperation(int index, const QString& caption) {
    auto* operation = new QCheckBox(caption, m_host);
    operation->setObjectName(ControlName("Check4", index));
    m_operations.push_back(operation);
    return operation;
}

std::size_t OperationsPanel::operationIndex(bool DrawingJob::*ticked) {
    std::size_t i = 0;
    while (i + 1 < kDrawingOperations.size() && kDrawingOperations[i].ticked != ticked)
        ++i;
    return i;
}

QCheckBox* OperationsPanel::operationBox(bool DrawingJob::*ticked) const {
    return m_operations[operationIndex(ticked)];
}

void OperationsPanel::setParameters(bool DrawingJob::*ticked, QWidget* parameters) {
    m_parameters[operationIndex(ticked)] = parameters;
}

QGroupBox* OperationsPanel::newFrame(int index) {
    auto* frame = KeepRoom(new QGroupBox(m_host));
    frame->setObjectName(ControlName("Frame1", index));
    frame->setFlat(false);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 2);
    m_frames.push_back(frame);
    return frame;
}

QRadioButton* OperationsPanel::newOption(QGroupBox* frame, int index, const QString& caption) {
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(ControlName("Option1", index));
    frame->layout()->addWidget(option);
    return option;
}

QLineEdit* OperationsPanel::newBox(int index, const QString& text) {
    auto* box = KeepRoom(new QLineEdit(text, m_host));
    box->setObjectName(ControlName("Text4", index));
    return box;
}

QLabel* OperationsPanel::newLabel(int index, const QString& caption) {
    auto* label = KeepRoom(new QLabel(caption, m_host));
    label->setObjectName(ControlName("Label4", index));
    return label;
}

void OperationsPanel::addRows(QGridLayout* grid) const {
    for (std::size_t i = 0; i < kDrawingOperations.size(); ++i) {
        const int row = kDrawingOperations[i].row;
        grid->addWidget(m_operations[i], row, 0, Qt::AlignLeft | Qt::AlignVCenter);
        if (m_parameters[i])
            grid->addWidget(m_parameters[i], row, 1);
    }
}

std::vector<QLineEdit*> OperationsPanel::parameterBoxes() const {
    return {m_eraseCorner1X,     m_eraseCorner1Y,     m_eraseCorner2X,     m_eraseCorner2Y,
            m_attributeCorner1X, m_attributeCorner1Y, m_attributeCorner2X, m_attributeCorner2Y,
            m_attributeOld,      m_attributeNew,      m_replaceOld1,       m_replaceNew1,
            m_replaceOld2,       m_replaceNew2};
}

std::vector<QLabel*> OperationsPanel::parameterLabels() const {
    return {m_eraseCorner1Label,     m_eraseCorner2Label, m_attributeCorner1Label,
            m_attributeCorner2Label, m_attributeOldLabel, m_attributeNewLabel,
            m_replaceOldLabel,       m_replaceNewLabel};
}

// The options that switching the panel off greys, Option1(0) to Option1(5): those of "PURGER",
// of "INSERER" and of "EFFACER" but "Capture". The others are never greyed.
std::vector<QRadioButton*> OperationsPanel::greyedOptions() const {
    return {m_purgeBlocks, m_purgeAll,       m_eraseWindow,
            m_eraseFence,  m_insertFromFile, m_insertClipboard};
}

void OperationsPanel::disable() {
    for (QCheckBox* operation : m_operations) {
        operation->setEnabled(false);
        operation->setChecked(false);
    }
    for (QGroupBox* frame : m_frames)
        frame->hide();
    for (QRadioButton* option : greyedOptions())
        option->setEnabled(false);
    for (QLineEdit* box : parameterBoxes())
        box->hide();
    for (QLabel* label : parameterLabels())
        label->hide();
    m_chooseInsert->hide();
    m_insertPath->hide();
}

void OperationsPanel::enable() {
    for (QCheckBox* operation : m_operations)
        operation->setEnabled(true);
    for (QGroupBox* frame : m_frames)
        frame->show();
    for (QRadioButton* option : greyedOptions())
        option->setEnabled(true);
    for (QLineEdit* box : parameterBoxes()) {
        box->show();
        box->setEnabled(false);
    }
    for (QLabel* label : parameterLabels()) {
        label->show();
        label->setEnabled(false);
    }
    m_chooseInsert->show();
    m_insertPath->show();
}

void OperationsPanel::applyOperationRule() {
    m_chooseInsert->setEnabled(m_insert->isChecked() && m_insertFromFile->isChecked());

    const bool attribute = m_replaceAttribute->isChecked();
    for (QWidget* parameter : std::initializer_list<QWidget*>{
             m_attributeCorner1X, m_attributeCorner1Y, m_attributeCorner2X, m_attributeCorner2Y,
             m_attributeOld, m_attributeNew, m_attributeCorner1Label, m_attributeCorner2Label,
             m_attributeOldLabel, m_attributeNewLabel})
        parameter->setEnabled(attribute);

    const bool erase = m_erase->isChecked();
    for (QWidget* parameter :
         std::initializer_list<QWidget*>{m_eraseCorner1X, m_eraseCorner1Y, m_eraseCorner2X,
                                         m_eraseCorner2Y, m_eraseCorner1Label, m_eraseCorner2Label})
        parameter->setEnabled(erase);

    const bool replaceText = m_replaceText->isChecked();
    for (QWidget* parameter :
         std::initializer_list<QWidget*>{m_replaceOldLabel, m_replaceNewLabel, m_replaceOld1,
                                         m_replaceNew1, m_replaceOld2, m_replaceNew2})
        parameter->setEnabled(replaceText);
}

void OperationsPanel::applyOptionRule() {
    m_chooseInsert->setEnabled(m_insertFromFile->isChecked() && m_insert->isChecked());
}

DrawingJob OperationsPanel::job() const {
    DrawingJob job;
    job.purgeAll = m_purgeAll->isChecked();
    job.dwgToDxf = m_dwgToDxf->isChecked();
    job.eraseSelection = m_eraseFence->isChecked()      ? EraseSelection::Fence
                         : m_eraseCrossing->isChecked() ? EraseSelection::Crossing
                                                        : EraseSelection::Window;
    job.erasePoints = {ToStd(m_eraseCorner1X->text()), ToStd(m_eraseCorner1Y->text()),
                       ToStd(m_eraseCorner2X->text()), ToStd(m_eraseCorner2Y->text())};
    job.insertFile = m_insertFromFile->isChecked();
    job.insertPath = ToStd(m_insertPath->text());
    job.attributeCorners = {ToStd(m_attributeCorner1X->text()), ToStd(m_attributeCorner1Y->text()),
                            ToStd(m_attributeCorner2X->text()), ToStd(m_attributeCorner2Y->text())};
    job.attributeOld = ToStd(m_attributeOld->text());
    job.attributeNew = ToStd(m_attributeNew->text());
    job.replaceTexts = {ToStd(m_replaceOld1->text()), ToStd(m_replaceNew1->text()),
                        ToStd(m_replaceOld2->text()), ToStd(m_replaceNew2->text())};
    for (std::size_t i = 0; i < kDrawingOperations.size(); ++i)
        job.*kDrawingOperations[i].ticked = m_operations[i]->isChecked();
    return job;
}

void OperationsPanel::setJob(const DrawingJob& job) {
    // The options and boxes first: the ticks then run their rules on the values they will keep.
    (job.purgeAll ? m_purgeAll : m_purgeBlocks)->setChecked(true);
    (job.dwgToDxf ? m_dwgToDxf : m_dxfToDwg)->setChecked(true);
    switch (job.eraseSelection) {
    case EraseSelection::Window:
        m_eraseWindow->setChecked(true);
        break;
    case EraseSelection::Fence:
        m_eraseFence->setChecked(true);
        break;
    case EraseSelection::Crossing:
        m_eraseCrossing->setChecked(true);
        break;
    }
    (job.insertFile ? m_insertFromFile : m_insertClipboard)->setChecked(true);
    const auto setTexts = [](std::initializer_list<QLineEdit*> boxes,
                             const std::array<std::string, 4>& texts) {
        std::size_t i = 0;
        for (QLineEdit* box : boxes)
            box->setText(FromStd(texts[i++]));
    };
    setTexts({m_eraseCorner1X, m_eraseCorner1Y, m_eraseCorner2X, m_eraseCorner2Y}, job.erasePoints);
    setTexts({m_attributeCorner1X, m_attributeCorner1Y, m_attributeCorner2X, m_attributeCorner2Y},
             job.attributeCorners);
    setTexts({m_replaceOld1, m_replaceNew1, m_replaceOld2, m_replaceNew2}, job.replaceTexts);
    m_insertPath->setText(FromStd(job.insertPath));
    m_attributeOld->setText(FromStd(job.attributeOld));
    m_attributeNew->setText(FromStd(job.attributeNew));
    for (std::size_t i = 0; i < kDrawingOperations.size(); ++i)
        m_operations[i]->setChecked(job.*kDrawingOperations[i].ticked);
}

void OperationsPanel::ChooseInsertDrawing() {
    const auto chosen = Prompts::instance().chooseFiles(
        m_host, FileDialogRequest{FileDialogKind::Open, QStringLiteral("Choisissez un fichier"),
                                  QStringLiteral("Autocad (*.dwg)|*.dwg"),
                                  FromStd(m_settings.scriptFolder()), QString()});
    if (!chosen)
        return; // a cancel changes nothing
    m_insertPath->setText(chosen->front());
}

} // namespace pilotrame::gui
