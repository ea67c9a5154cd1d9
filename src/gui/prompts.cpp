#include "gui/prompts.h"

#include "gui/formparts.h"
#include "texts/files.h"
#include "texts/scriptcheck.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace pilotrame::gui {

namespace {
Prompts* g_installed = nullptr;

QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

Prompts& Prompts::instance() {
    static QtPrompts real;
    return g_installed ? *g_installed : real;
}

void Prompts::install(Prompts* prompts) {
    g_installed = prompts;
}

Answer QtPrompts::message(QWidget* parent, const MessageRequest& request) {
    // The program's texts use CR LF where the classic boxes did; Qt wants LF.
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(ToQt(request.icon), request.title, text, QMessageBox::NoButton, parent);
    if (request.buttons == MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("Oui"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("Non"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Answer::Yes : Answer::No;
    }
    if (request.buttons == MessageButtons::ContinueCancel) {
        // Going on with what will fail is never the default.
        QPushButton* go = box.addButton(FromStd(kContinueAnyway), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(FromStd(kCancelRun), QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        box.setEscapeButton(cancel);
        box.exec();
        return box.clickedButton() == go ? Answer::Yes : Answer::No;
    }
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return Answer::Ok;
}

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        // "*.*" means every file in these dialogs, as on Windows; Qt would want a dot in the name.
        const QString pattern =
            parts[i + 1] == QStringLiteral("*.*") ? QStringLiteral("*") : parts[i + 1];
        // Qt reads the pattern from the parentheses at the end of the filter, and the dialog
        // hides them: the user sees the label exactly as written, once.
        filters << label + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.title);
    if (!request.startFolder.isEmpty())
        dialog.setDirectory(request.startFolder);
    // The patterns that QtNameFilters adds stay hidden: each entry reads as its label.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = QtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.front());
    switch (request.kind) {
    case FileDialogKind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case FileDialogKind::OpenMultiple:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        break;
    case FileDialogKind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The caller asks before replacing a file, through these prompts, so tests see it.
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!request.proposedName.isEmpty())
            dialog.selectFile(request.proposedName);
        break;
    }
}

std::optional<QStringList> QtPrompts::chooseFiles(QWidget* parent,
                                                  const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList chosen;
    for (const QString& file : dialog.selectedFiles())
        chosen << QDir::toNativeSeparators(file);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

std::optional<QString> ChooseFileToWrite(QWidget* parent, const FileDialogRequest& request,
                                         const QString& suffix) {
    const auto chosen = Prompts::instance().chooseFiles(parent, request);
    if (!chosen)
        return std::nullopt;
    QString path = chosen->front();
    if (!suffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += suffix;
    if (QFileInfo::exists(path)) {
        const MessageRequest question{request.title, FromStd(ReplaceFileQuestion(ToStd(path))),
                                      MessageIcon::Question, MessageButtons::YesNo};
        if (Prompts::instance().message(parent, question) != Answer::Yes)
            return std::nullopt;
    }
    return path;
}

void ShowMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    Prompts::instance().message(parent, MessageRequest{title, text, icon, MessageButtons::Ok});
}

void QtPrompts::openFolder(QWidget*, const QString& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

std::optional<int> QtPrompts::askNumber(QWidget* parent, const NumberRequest& request) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.text);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(request.minimum, request.maximum);
    dialog.setIntValue(request.value);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annuler"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.intValue();
}

} // namespace pilotrame::gui
