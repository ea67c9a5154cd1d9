#include "gui/main/scripttextpanel.h"

#include "gui/formparts.h"
#include "gui/prompts.h"
#include "script/drawingsection.h"
#include "selection/droppeditems.h"
#include "texts/common.h"
#include "texts/files.h"
#include "texts/scriptcheck.h"
#include "usecases/scripttext.h"

#include <QAction>
#include <QEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace pilotrame::gui {

namespace {
const QString kOpenScriptFilter =
    QStringLiteral("Script (*.scr)|*.scr|Texte (*.txt)|*.txt|Tout (*.*)|*.*");
const QString kSaveScriptFilter =
    QStringLiteral("Script (*.scr)|*.scr|Texte (*.txt)|*.txt|Tout les fichiers (*.*)|*.*");
const QString kSaveTitle = QStringLiteral("Enregistrer fichier script");

// Text1. A file or folder dropped from a file manager (or pasted after a copy there) comes as an
// address, file:///…, which a plain text box would insert as it is: here it gives its path as a
// script line names it, inserted where it is dropped, one line per item.
class ScriptTextBox final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override {
        return source->hasUrls() || QPlainTextEdit::canInsertFromMimeData(source);
    }

    void insertFromMimeData(const QMimeData* source) override {
        if (!source->hasUrls()) {
            QPlainTextEdit::insertFromMimeData(source);
            return;
        }
        QStringList lines;
        for (const QUrl& url : source->urls()) {
            // An address from elsewhere is text the user may want as it is.
            lines << (url.isLocalFile() ? FromStd(DroppedPathText(NativeStdPath(url.toLocalFile())))
                                        : url.toString());
        }
        textCursor().insertText(lines.join(QLatin1Char('\n')));
        ensureCursorVisible();
    }
};
// A part of a long text put in the box at once: a few milliseconds of work, so that the window
// keeps answering between parts.
constexpr qsizetype kPartLines = 2000;
constexpr qsizetype kPartCharacters = 256 * 1024;

// Where the part of text that starts at from ends: after a line break, once it holds kPartLines
// lines or kPartCharacters characters; the end of the text for its last part. A line is never
// split, so that each part lays out whole lines.
qsizetype PartEnd(const QString& text, qsizetype from) {
    qsizetype lines = 0;
    qsizetype at = from;
    while (at < text.size()) {
        const qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), at);
        if (lineFeed < 0)
            return text.size();
        at = lineFeed + 1;
        if (++lines == kPartLines || at - from >= kPartCharacters)
            return at;
    }
    return text.size();
}

// The pause after the last key before the text is checked: long enough that typing goes on
// unchecked, short enough that the marks follow as the user looks up.
constexpr int kCheckPauseMs = 400;
// The lines marked in the box and the entries of the list at most: a text with thousands of
// findings still types freely.
constexpr std::size_t kMarkedLines = 1000;
constexpr int kListedFindings = 1000;
// The rows the list of findings shows before it scrolls.
constexpr int kFindingRows = 4;
} // namespace

ScriptTextPanel::ScriptTextPanel(const Settings& settings, QWidget* host)
    : QObject(host), m_settings(settings), m_host(host) {
    m_openButton = new QPushButton(QStringLiteral("..."), host);
    m_openButton->setObjectName(QStringLiteral("Command10"));
    m_openButton->setEnabled(false);
    m_openButton->setFixedWidth(SmallButtonWidth(m_openButton));
    m_openButton->setToolTip(QStringLiteral("Charger un fichier script"));

    m_openItem = new QAction(QStringLiteral("&Ouvrir"), host);
    m_openItem->setObjectName(QStringLiteral("mnuouvrir"));
    m_saveAsItem = new QAction(QStringLiteral("&Enregistrer sous"), host);
    m_saveAsItem->setObjectName(QStringLiteral("mnuenregistrersous"));

    m_text = new ScriptTextBox(host);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setPlaceholderText(QStringLiteral("Lignes de script à appliquer à chaque plan"));

    // A push button with a menu: the same bevel and height as its neighbours, so that its caption
    // has the room of theirs in every style.
    m_markersButton = new QPushButton(host);
    m_markersButton->setObjectName(QStringLiteral("scriptMarkers"));
    m_markersButton->setText(FromStd(kMarkersCaption));
    m_markersButton->setToolTip(FromStd(MarkersToolTipText()));
    m_markersButton->setEnabled(false);
    auto* markers = new QMenu(m_markersButton);
    markers->setToolTipsVisible(true);
    for (const MarkerForm& form : kMarkers) {
        const QString marker = FromStd(form.text);
        QAction* insert = markers->addAction(marker + QStringLiteral(" : ") +
                                             FromStd(MarkerMeaningText(form.marker)));
        insert->setToolTip(FromStd(MarkerMeaningText(form.marker)));
        connect(insert, &QAction::triggered, this, [this, marker] {
            if (m_text->isReadOnly())
                return; // a text still being filled takes nothing
            m_text->insertPlainText(marker);
            m_text->setFocus();
        });
    }
    m_markersButton->setMenu(markers);

    m_area = new QWidget(host);
    auto* areaLayout = new QVBoxLayout(m_area);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(4);
    m_text->setParent(m_area);
    areaLayout->addWidget(m_text, 1);
    m_area->hide();

    m_check = new QTimer(this);
    m_check->setSingleShot(true);
    m_check->setInterval(kCheckPauseMs);
    connect(m_check, &QTimer::timeout, this, &ScriptTextPanel::checkText);
    connect(m_text, &QPlainTextEdit::textChanged, m_check, qOverload<>(&QTimer::start));
    host->installEventFilter(this);

    m_fill = new QTimer(this);
    m_fill->setInterval(0);
    connect(m_fill, &QTimer::timeout, this, &ScriptTextPanel::appendPendingPart);

    connect(m_openButton, &QPushButton::clicked, this, &ScriptTextPanel::OpenScriptFile);
    connect(m_openItem, &QAction::triggered, this, &ScriptTextPanel::OpenScriptFile);
    connect(m_saveAsItem, &QAction::triggered, this, &ScriptTextPanel::SaveScriptFileAs);
}

void ScriptTextPanel::setCheckSettings(std::function<ScriptCheckSettings()> settings) {
    m_checkSettings = std::move(settings);
}

void ScriptTextPanel::checkText() {
    // The box is still being filled: its last part starts the pause again.
    if (isFilling())
        return;
    m_checkedWith = m_checkSettings ? m_checkSettings() : ScriptCheckSettings{};
    m_findings = ReviewScriptText(text(), m_checkedWith);
    showFindings();
}

void ScriptTextPanel::makeFindingList() {
    // Made with the first findings: a start of the program needs none.
    m_findingList = new QListWidget(m_area);
    m_findingList->setObjectName(QStringLiteral("scriptFindings"));
    // Reached by a click; Tab in the script text writes a tab, and the form's order ends there.
    m_findingList->setFocusPolicy(Qt::ClickFocus);
    m_findingList->setMaximumHeight(m_findingList->fontMetrics().height() * (kFindingRows + 1) +
                                    2 * m_findingList->frameWidth());
    m_area->layout()->addWidget(m_findingList);
    connect(m_findingList, &QListWidget::itemClicked, this, &ScriptTextPanel::onFindingClicked);
    connect(m_findingList, &QListWidget::itemActivated, this, &ScriptTextPanel::onFindingClicked);
}

void ScriptTextPanel::showFindings() {
    QList<QTextEdit::ExtraSelection> marks;
    if (!m_findingList) {
        if (m_findings.empty()) {
            m_text->setExtraSelections(marks);
            return;
        }
        makeFindingList();
    }
    m_findingList->clear();
    const QIcon errorIcon = m_text->style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warningIcon = m_text->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    int markedLine = 0;
    int listed = 0;
    for (const ScriptFinding& finding : m_findings) {
        const bool error = finding.severity == ScriptSeverity::Error;
        if (listed++ < kListedFindings) {
            auto* item =
                new QListWidgetItem(error ? errorIcon : warningIcon,
                                    FromStd(ScriptFindingLineText(finding)), m_findingList);
            item->setData(Qt::UserRole, finding.line);
            item->setToolTip(item->text());
        }
        // One mark a line, that of its first finding; an error's mark wins over a warning's.
        if (finding.line == markedLine && !error)
            continue;
        if (static_cast<std::size_t>(marks.size()) >= kMarkedLines)
            continue;
        const QTextBlock block = m_text->document()->findBlockByNumber(finding.line - 1);
        if (!block.isValid())
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        mark.format.setBackground(error ? QColor(255, 214, 214) : QColor(255, 243, 196));
        mark.format.setToolTip(FromStd(ScriptFindingText(finding)));
        marks.append(mark);
        markedLine = finding.line;
    }
    if (listed > kListedFindings)
        m_findingList->addItem(FromStd(MoreFindingsText(listed - kListedFindings)));
    m_text->setExtraSelections(marks);
    m_findingList->setVisible(!m_findings.empty());
}

void ScriptTextPanel::onFindingClicked(QListWidgetItem* item) {
    if (!item->data(Qt::UserRole).isValid())
        return;
    const QTextBlock block =
        m_text->document()->findBlockByNumber(item->data(Qt::UserRole).toInt() - 1);
    if (!block.isValid())
        return;
    m_text->setTextCursor(QTextCursor(block));
    m_text->ensureCursorVisible();
    m_text->setFocus();
}

bool ScriptTextPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_host && event->type() == QEvent::WindowActivate && m_area->isVisible() &&
        m_checkSettings && m_checkSettings() != m_checkedWith)
        checkText();
    return QObject::eventFilter(watched, event);
}

void ScriptTextPanel::setCommandsEnabled(bool enabled) {
    m_markersButton->setEnabled(enabled);
    m_openButton->setEnabled(enabled);
    m_openItem->setEnabled(enabled);
    m_saveAsItem->setEnabled(enabled);
}

void ScriptTextPanel::showText() {
    m_area->show();
    m_text->show();
    m_text->setReadOnly(isFilling());
    m_text->setEnabled(true);
    checkText();
}

void ScriptTextPanel::hideText() {
    m_text->hide();
    m_area->hide();
}

void ScriptTextPanel::resetText() {
    m_text->setEnabled(false);
    m_text->hide();
    m_area->hide();
}

std::string ScriptTextPanel::text() const {
    QString whole = m_text->toPlainText();
    if (isFilling())
        whole += QStringView(m_pending).mid(m_pendingAt);
    return ToStd(whole);
}

bool ScriptTextPanel::isFilling() const {
    return m_fill->isActive();
}

void ScriptTextPanel::setText(std::string_view text) {
    stopFilling();
    QString whole = FromStd(text);
    const qsizetype first = PartEnd(whole, 0);
    if (first == whole.size()) {
        m_text->setPlainText(whole);
        return;
    }
    m_text->setPlainText(whole.left(first));
    // The parts are no edits of the user's: none of them is undone.
    m_text->document()->setUndoRedoEnabled(false);
    m_text->setReadOnly(true);
    m_pending = std::move(whole);
    m_pendingAt = first;
    m_fill->start();
}

void ScriptTextPanel::appendPendingPart() {
    const qsizetype end = PartEnd(m_pending, m_pendingAt);
    QTextCursor cursor(m_text->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_pending.mid(m_pendingAt, end - m_pendingAt));
    m_pendingAt = end;
    if (end == m_pending.size())
        stopFilling();
}

void ScriptTextPanel::stopFilling() {
    if (!isFilling())
        return;
    m_fill->stop();
    m_pending.clear();
    m_pendingAt = 0;
    m_text->document()->setUndoRedoEnabled(true);
    m_text->setReadOnly(false);
}

void ScriptTextPanel::OpenScriptFile() {
    const auto chosen = Prompts::instance().chooseFiles(
        m_host,
        FileDialogRequest{FileDialogKind::Open, QStringLiteral("Choisissez un fichier"),
                          kOpenScriptFilter, FromStd(m_settings.scriptFolder()), QString()});
    if (!chosen)
        return; // a cancel changes nothing
    const std::string path = ToStd(chosen->front());
    const Result<std::string> text = ReadScriptText(path);
    if (!text) {
        ShowMessage(m_host, FromStd(kErrorTitle), FromStd(ScriptFileReadFailureText(text.error())),
                    MessageIcon::Critical);
        return;
    }
    setText(*text);
}

void ScriptTextPanel::SaveScriptFileAs() {
    const auto path = ChooseFileToWrite(
        m_host,
        FileDialogRequest{FileDialogKind::Save, kSaveTitle, kSaveScriptFilter,
                          FromStd(m_settings.scriptFolder()), QStringLiteral("script_perso.scr")});
    if (!path)
        return;
    if (Status written = SaveScriptText(ToStd(*path), text()); !written) {
        ShowMessage(m_host, FromStd(kErrorTitle),
                    FromStd(ScriptFileSaveFailureText(written.error())), MessageIcon::Critical);
        return;
    }
}

} // namespace pilotrame::gui
