#include "gui/textinsert/textinsertwindow.h"

#include "gui/controlname.h"
#include "gui/formparts.h"
#include "gui/prompts.h"
#include "texts/common.h"
#include "texts/scripts.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>

namespace pilotrame::gui {

namespace {

// Room for at least chars characters of the window's font, so that the boxes grow with the scale.
void FitChars(QLineEdit* edit, int chars) {
    const int width = edit->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0')));
    edit->setMinimumWidth(width + edit->fontMetrics().height());
    edit->setMaximumWidth(edit->minimumWidth() * 2);
}

struct ComboLayout {
    const char* caption;
    QStringList entries; // the first entry is the text shown at the start
};

} // namespace

TextInsertionWindow::TextInsertionWindow(Session& session, QWidget* parent)
    : QDialog(parent), m_session(session) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Inserer texte"));
    buildControls();
}

void TextInsertionWindow::buildControls() {
    const auto newLabel = [this](const QString& name, const QString& caption) {
        return NamedLabel(this, name, caption);
    };
    const auto newButton = [this](const char* name, const QString& caption) {
        return NamedButton(this, QString::fromLatin1(name), caption);
    };
    const auto newBox = [this](int index, const QString& text) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(ControlName("Text4", index));
        FitChars(edit, 5);
        return edit;
    };

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->setSpacing(10);

    auto* pasteTable = newButton("Command2", QStringLiteral("Coller tableau"));
    auto* pasteRow = new QHBoxLayout;
    pasteRow->addWidget(pasteTable);
    pasteRow->addStretch(1);
    outer->addLayout(pasteRow);

    // The table on the left, the text settings on the right.
    auto* middle = new QHBoxLayout;
    middle->setSpacing(14);
    outer->addLayout(middle, 1);
    m_table = new QPlainTextEdit(this);
    m_table->setObjectName(QStringLiteral("Text2"));
    // Cells are split by tabs: a tab typed here is part of the table, not a move to the next box.
    m_table->setTabChangesFocus(false);
    m_table->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_table->setMinimumSize(m_table->fontMetrics().horizontalAdvance(QString(50, QLatin1Char('0'))),
                            m_table->fontMetrics().lineSpacing() * 12);
    middle->addWidget(m_table, 1);

    auto* settings = new QGridLayout;
    settings->setVerticalSpacing(8);
    middle->addLayout(settings);
    const ComboLayout combos[4] = {
        {"Style texte :",
         {QStringLiteral("STANDARD"), QStringLiteral("vaxo"), QStringLiteral("style1")}},
        {"Justifier :",
         {QStringLiteral("Gauche"), QStringLiteral("Milieu"), QStringLiteral("Droite"),
          QStringLiteral("Milieu Gauche"), QStringLiteral("Milieu Centre"),
          QStringLiteral("Milieu Droite")}},
        {"Hauteur :",
         {QStringLiteral("2.5"), QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2"),
          QStringLiteral("3")}},
        {"Rotation :",
         {QStringLiteral("0"), QStringLiteral("90"), QStringLiteral("180"), QStringLiteral("270")}},
    };
    std::array<QComboBox*, 4> boxes{};
    for (int index = 0; index < 4; ++index) {
        const ComboLayout& entry = combos[index];
        auto* combo = new QComboBox(this);
        combo->setObjectName(ControlName("Combo1", index));
        combo->setEditable(true);
        // A typed value is used as typed; it does not join the list.
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(entry.entries);
        combo->setCurrentIndex(0);
        combo->setMinimumContentsLength(14);
        boxes[static_cast<std::size_t>(index)] = combo;
        settings->addWidget(
            newLabel(ControlName("Label1", index), QString::fromUtf8(entry.caption)), index, 0);
        settings->addWidget(combo, index, 1);
    }
    // The justification and "Inversion ordre" are shown only: the script takes neither.
    m_style = boxes[0];
    m_height = boxes[2];
    m_rotation = boxes[3];
    auto* reverseOrder = new QCheckBox(QStringLiteral("Inversion ordre"), this);
    reverseOrder->setObjectName(QStringLiteral("Check1"));
    settings->addWidget(reverseOrder, 4, 0, 1, 2);
    m_rowStep = newBox(20, QStringLiteral("10"));
    settings->addWidget(newLabel(ControlName("Label4", 1), QStringLiteral("Décalage : ")), 5, 0);
    settings->addWidget(m_rowStep, 5, 1, Qt::AlignLeft);
    settings->setRowStretch(6, 1);

    // The X of every column, its caption under its box. The start point is the X of column 1
    // and a second box beside it, shown only: the rows take their Y from the row step.
    auto* columns = new QGridLayout;
    columns->setHorizontalSpacing(10);
    outer->addLayout(columns);
    columns->addWidget(newLabel(ControlName("Label4", 0), QStringLiteral("Point de départ :")), 0,
                       0);
    auto* startSecondBox = newBox(0, QStringLiteral("0"));
    for (int column = 1; column <= kMaxTextColumns; ++column)
        m_columnX[static_cast<std::size_t>(column - 1)] =
            newBox(column, QString::number((column - 1) * 10));
    columns->addWidget(m_columnX[0], 0, 1);
    columns->addWidget(startSecondBox, 0, 2);
    columns->addWidget(newLabel(ControlName("Label4", 2), QStringLiteral("Décalage : ")), 0, 3,
                       Qt::AlignRight);
    for (int column = 1; column <= 9; ++column) {
        const int gridColumn = column == 1 ? 1 : column + 2;
        if (column > 1)
            columns->addWidget(m_columnX[static_cast<std::size_t>(column - 1)], 0, gridColumn);
        columns->addWidget(newLabel(ControlName("Label4", column + 2),
                                    QStringLiteral("Colonne ") + QString::number(column)),
                           1, gridColumn, Qt::AlignHCenter);
    }
    columns->setColumnStretch(12, 1);

    auto* generateScript = newButton("Command1", QStringLiteral("Générer script"));
    generateScript->setMinimumHeight(generateScript->sizeHint().height() * 3 / 2);
    auto* generateRow = new QHBoxLayout;
    generateRow->addStretch(1);
    generateRow->addWidget(generateScript);
    outer->addLayout(generateRow);

    connect(pasteTable, &QPushButton::clicked, this, &TextInsertionWindow::onPasteTableClicked);
    connect(generateScript, &QPushButton::clicked, this,
            &TextInsertionWindow::onGenerateScriptClicked);
}

TextInsertionJob TextInsertionWindow::currentJob() const {
    TextInsertionJob job;
    // The box gives LF line ends; the script treats LF and CR LF alike.
    job.table = ToStd(m_table->toPlainText());
    job.style = ToStd(m_style->currentText());
    job.height = ToStd(m_height->currentText());
    job.rotation = ToStd(m_rotation->currentText());
    job.rowStep = ToStd(m_rowStep->text());
    for (std::size_t column = 0; column < job.columnX.size(); ++column)
        job.columnX[column] = ToStd(m_columnX[column]->text());
    return job;
}

void TextInsertionWindow::onPasteTableClicked() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    m_table->setPlainText(clipboard ? clipboard->text() : QString());
}

void TextInsertionWindow::onGenerateScriptClicked() {
    const Result<TextInsertionOutcome> written =
        WriteTextInsertionScript(m_session.scriptPath(), currentJob());
    if (!written) {
        ShowMessage(this, FromStd(kErrorTitle), FromStd(GenerationFailureText(written.error())),
                    MessageIcon::Critical);
        return;
    }
    if (written->tooManyColumns)
        ShowMessage(this, FromStd(kTooManyColumnsTitle), FromStd(kTooManyColumnsText),
                    MessageIcon::Information);
}

} // namespace pilotrame::gui
