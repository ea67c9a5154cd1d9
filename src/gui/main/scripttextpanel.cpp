#include "gui/main/scripttextpanel.h"

#include "gui/formparts.h"
#include "gui/prompts.h"
#include "script/drawingsection.h"
#include "selection/droppeditems.h"
#include "texts/messages.h"
#include "usecases/scripttext.h"

#include <QAction>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

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

    m_fill = new QTimer(this);
    m_fill->setInterval(0);
    connect(m_fill, &QTimer::timeout, this, &ScriptTextPanel::appendPendingPart);

    connect(m_openButton, &QPushButton::clicked, this, &ScriptTextPanel::OpenScriptFile);
    connect(m_openItem, &QAction::triggered, this, &ScriptTextPanel::OpenScriptFile);
    connect(m_saveAsItem, &QAction::triggered, this, &ScriptTextPanel::SaveScriptFileAs);
}

void ScriptTextPanel::setCommandsEnabled(bool enabled) {
    m_openButton->setEnabled(enabled);
    m_openItem->setEnabled(enabled);
    m_saveAsItem->setEnabled(enabled);
}

void ScriptTextPanel::showText() {
    m_text->show();
    m_text->setReadOnly(isFilling());
    m_text->setEnabled(true);
}

void ScriptTextPanel::hideText() {
    m_text->hide();
}

void ScriptTextPanel::resetText() {
    m_text->setEnabled(false);
    m_text->hide();
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
    const auto chosen = Prompts::instance().chooseFiles(
        m_host,
        FileDialogRequest{FileDialogKind::Save, kSaveTitle, kSaveScriptFilter,
                          FromStd(m_settings.scriptFolder()), QStringLiteral("script_perso.scr")});
    if (!chosen)
        return;
    const std::string path = ToStd(chosen->front());
    if (QFileInfo::exists(chosen->front())) {
        const MessageRequest question{kSaveTitle, FromStd(ReplaceFileQuestion(path)),
                                      MessageIcon::Question, MessageButtons::YesNo};
        if (Prompts::instance().message(m_host, question) != Answer::Yes)
            return;
    }
    if (Status written = SaveScriptText(path, text()); !written) {
        ShowMessage(m_host, FromStd(kErrorTitle),
                    FromStd(ScriptFileSaveFailureText(written.error())), MessageIcon::Critical);
        return;
    }
}

} // namespace pilotrame::gui
