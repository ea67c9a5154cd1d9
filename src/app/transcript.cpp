#include "app/transcript.h"

#include <QFile>

namespace pilotrame::app {

void TranscriptPrompts::record(const QString& line) const {
    QFile file(m_path);
    if (file.open(QIODevice::Append)) {
        QString escaped = line;
        escaped.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
        escaped.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        file.write(escaped.toUtf8() + '\n');
    }
}

Answer TranscriptPrompts::message(QWidget*, const MessageRequest& request) {
    record(QStringLiteral("message|") + request.title + QLatin1Char('|') + request.text);
    return request.buttons == MessageButtons::YesNo ? Answer::Yes : Answer::Ok;
}

std::optional<QStringList> TranscriptPrompts::chooseFiles(QWidget*,
                                                          const FileDialogRequest& request) {
    record(QStringLiteral("dialog|") + request.title);
    return std::nullopt;
}

DrawingCheckAnswer TranscriptPrompts::reviewDrawings(QWidget*, const DrawingCheck& check) {
    record(QStringLiteral("drawings|") + QString::number(check.checked) + QLatin1Char('|') +
           QString::number(check.issues.size()));
    return DrawingCheckAnswer::Cancel;
}

void TranscriptPrompts::openFolder(QWidget*, const QString& folder) {
    record(QStringLiteral("open-folder|") + folder);
}

std::optional<int> TranscriptPrompts::askNumber(QWidget*, const gui::NumberRequest& request) {
    record(QStringLiteral("number|") + request.title + QLatin1Char('|') +
           QString::number(request.value));
    return request.value;
}

void TranscriptPrompts::showRenamePreview(QWidget*, const RenamePreview& preview) {
    record(QStringLiteral("rename-preview|") + QString::number(preview.rows.size()) +
           QLatin1Char('|') +
           (preview.stop ? QString::number(preview.stopRow) : QStringLiteral("-")));
}

} // namespace pilotrame::app
