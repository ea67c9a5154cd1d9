#include "gui/main/renamepanel.h"

#include "gui/formparts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace pilotrame::gui {

namespace {

QGroupBox* NewFrame(QWidget* host, int index) {
    auto* frame = KeepRoom(new QGroupBox(host));
    frame->setObjectName(ControlName("Frame1", index));
    frame->setFlat(false);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 2, 6, 2);
    return frame;
}

QRadioButton* NewRule(QGroupBox* frame, int index, const QString& caption) {
    auto* option = new QRadioButton(caption, frame);
    option->setObjectName(ControlName("Option1", index));
    frame->layout()->addWidget(option);
    return option;
}

} // namespace

RenamePanel::RenamePanel(QWidget* host) : QObject(host) {
    m_rename = new QCheckBox(QStringLiteral("RENOMMER FICHIERS"), host);
    m_rename->setObjectName(ControlName("Check4", 6));

    m_ruleFrame = NewFrame(host, 4);
    m_deleteRule = NewRule(m_ruleFrame, 9, QStringLiteral("Supprimer"));
    m_deleteRule->setChecked(true);
    m_insertRule = NewRule(m_ruleFrame, 10, QStringLiteral("Ajouter"));
    m_extensionRule = NewRule(m_ruleFrame, 11, QStringLiteral("Extension:"));

    m_valuesFrame = NewFrame(host, 5);
    m_startLabel = newLabel(6, QStringLiteral("Début:"));
    m_start = newValue(10, QStringLiteral("0"));
    m_lengthLabel = newLabel(7, QStringLiteral("Longeur:"));
    m_length = newValue(11, QStringLiteral("1"));
    m_textLabel = newLabel(8, QStringLiteral("Texte:"));
    m_text = newValue(12, QString());
    m_newExtensionLabel = newLabel(9, QStringLiteral("Nouveau:"));
    m_newExtension = newValue(13, QStringLiteral(".xls"));
    m_start->setMaximumWidth(DigitsWidth(m_start, 6));
    m_length->setMaximumWidth(DigitsWidth(m_length, 6));
    m_text->setMinimumWidth(DigitsWidth(m_text, 10));
    m_newExtension->setMinimumWidth(DigitsWidth(m_newExtension, 6));
    // "Supprimer" is the rule at start: it takes no text.
    m_text->setEnabled(false);
    m_textLabel->setEnabled(false);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_ruleFrame);
    row->addWidget(m_valuesFrame, 1);
    m_row = new QWidget(host);
    m_row->setLayout(row);

    // The rules are wired once the first state is set, so that setting it runs none of them.
    connect(m_rename, &QCheckBox::toggled, this, &RenamePanel::operationToggled);
    for (QRadioButton* rule : {m_deleteRule, m_insertRule, m_extensionRule}) {
        connect(rule, &QRadioButton::toggled, this, [this](bool chosen) {
            if (chosen)
                emit optionChosen();
        });
    }
}

QLineEdit* RenamePanel::newValue(int index, const QString& text) {
    auto* box = KeepRoom(new QLineEdit(text, m_valuesFrame));
    box->setObjectName(ControlName("Text4", index));
    m_valuesFrame->layout()->addWidget(box);
    return box;
}

QLabel* RenamePanel::newLabel(int index, const QString& caption) {
    auto* label = KeepRoom(new QLabel(caption, m_valuesFrame));
    label->setObjectName(ControlName("Label4", index));
    m_valuesFrame->layout()->addWidget(label);
    return label;
}

void RenamePanel::addRow(QGridLayout* grid, int row) const {
    grid->addWidget(m_rename, row, 0, Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(m_row, row, 1);
}

bool RenamePanel::isTicked() const {
    return m_rename->isChecked();
}

RenameJob RenamePanel::job() const {
    RenameJob job;
    job.rule = m_insertRule->isChecked()      ? RenameRule::Insert
               : m_extensionRule->isChecked() ? RenameRule::Extension
                                              : RenameRule::Delete;
    job.start = ToStd(m_start->text());
    job.length = ToStd(m_length->text());
    job.text = ToStd(m_text->text());
    job.newExtension = ToStd(m_newExtension->text());
    return job;
}

void RenamePanel::setJob(bool ticked, const RenameJob& job) {
    switch (job.rule) {
    case RenameRule::Delete:
        m_deleteRule->setChecked(true);
        break;
    case RenameRule::Insert:
        m_insertRule->setChecked(true);
        break;
    case RenameRule::Extension:
        m_extensionRule->setChecked(true);
        break;
    }
    m_start->setText(FromStd(job.start));
    m_length->setText(FromStd(job.length));
    m_text->setText(FromStd(job.text));
    m_newExtension->setText(FromStd(job.newExtension));
    m_rename->setChecked(ticked);
}

void RenamePanel::disable() {
    m_rename->setEnabled(false);
    m_rename->setChecked(false);
    m_ruleFrame->hide();
    m_valuesFrame->hide();
    for (QWidget* value :
         std::initializer_list<QWidget*>{m_start, m_length, m_text, m_newExtension, m_startLabel,
                                         m_lengthLabel, m_textLabel, m_newExtensionLabel})
        value->hide();
}

void RenamePanel::enable() {
    m_rename->setEnabled(true);
    m_ruleFrame->show();
    m_valuesFrame->show();
    for (QWidget* value :
         std::initializer_list<QWidget*>{m_start, m_length, m_text, m_newExtension, m_startLabel,
                                         m_lengthLabel, m_textLabel, m_newExtensionLabel})
        value->show();
}

void RenamePanel::applyOperationRule() {
    // A disabled frame takes no input in the controls inside it.
    const bool rename = m_rename->isChecked();
    m_ruleFrame->setEnabled(rename);
    m_valuesFrame->setEnabled(rename);
}

void RenamePanel::applyOptionRule() {
    const bool rename = m_rename->isChecked();
    const bool textOff = rename && m_deleteRule->isChecked();
    m_text->setEnabled(!textOff);
    m_textLabel->setEnabled(!textOff);
    const bool lengthOff = rename && m_insertRule->isChecked();
    m_length->setEnabled(!lengthOff);
    m_lengthLabel->setEnabled(!lengthOff);
}

} // namespace pilotrame::gui
