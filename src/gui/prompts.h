#pragma once

#include "check/drawingcheck.h"
#include "rename/renaming.h"
#include "usecases/scriptrun.h"

#include <QString>
#include <QStringList>

#include <optional>

class QFileDialog;
class QWidget;

namespace pilotrame::gui {

// Every modal question the program asks goes through Prompts, so that tests can preset the
// answers of message boxes and file dialogs.

enum class MessageIcon { None, Information, Warning, Critical, Question };
// ContinueCancel: "Continuer quand même" (Yes) and "Annuler" (No, also Escape and the default).
enum class MessageButtons { Ok, YesNo, ContinueCancel };
enum class Answer { Ok, Yes, No };

struct MessageRequest {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

enum class FileDialogKind { Open, OpenMultiple, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString filter; // "Label|pattern|Label|pattern", the first entry selected
    QString startFolder;
    QString proposedName;
};

// A whole number asked for, within its range.
struct NumberRequest {
    QString title;
    QString text;
    int value = 0; // proposed
    int minimum = 0;
    int maximum = 0;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // Shows a message box and returns the button chosen.
    virtual Answer message(QWidget* parent, const MessageRequest& request) = 0;

    // Shows a file dialog; the chosen paths (native separators), or nullopt when cancelled.
    // A save dialog does not ask before replacing a file: its caller does.
    virtual std::optional<QStringList> chooseFiles(QWidget* parent,
                                                   const FileDialogRequest& request) = 0;

    // Shows the drawings that AutoCAD could not work on and returns the user's choice; closing
    // the window is Cancel. Asked only when check.issues is not empty.
    virtual DrawingCheckAnswer reviewDrawings(QWidget* parent, const DrawingCheck& check) = 0;

    // Opens a folder in the system's file manager (the journal of a run).
    virtual void openFolder(QWidget* parent, const QString& folder) = 0;

    // Asks for a whole number within the request's range; nullopt when cancelled.
    virtual std::optional<int> askNumber(QWidget* parent, const NumberRequest& request) = 0;

    // Shows what a renaming would do (the trial of a renaming) until it is closed.
    virtual void showRenamePreview(QWidget* parent, const RenamePreview& preview) = 0;

    // The prompts in use: the real dialogs unless a test installed its own.
    static Prompts& instance();
    // Installs prompts (not owned); nullptr restores the real dialogs.
    static void install(Prompts* prompts);
};

// The real Qt message boxes, file dialogs and drawing check window, with French button texts
// (the check's window answers reviewDrawings, in gui/execution).
class QtPrompts final : public Prompts {
public:
    Answer message(QWidget* parent, const MessageRequest& request) override;
    std::optional<QStringList> chooseFiles(QWidget* parent,
                                           const FileDialogRequest& request) override;
    DrawingCheckAnswer reviewDrawings(QWidget* parent, const DrawingCheck& check) override;
    void openFolder(QWidget* parent, const QString& folder) override;
    std::optional<int> askNumber(QWidget* parent, const NumberRequest& request) override;
    void showRenamePreview(QWidget* parent, const RenamePreview& preview) override;
};

// The window's answer to the check of the drawings: the "Vérification des plans" dialog, through
// the prompts in use.
class PromptedDrawingReview final : public DrawingReview {
public:
    explicit PromptedDrawingReview(QWidget* parent) : m_parent(parent) {}
    DrawingCheckAnswer review(const DrawingCheck& check) override {
        return Prompts::instance().reviewDrawings(m_parent, check);
    }

private:
    QWidget* m_parent;
};

// "Label|pattern|..." as Qt name filters: each label as written followed by its pattern in
// parentheses, which the dialog hides. The pattern "*.*" matches every file, names without a dot
// too.
QStringList QtNameFilters(const QString& filter);

// Gives a file dialog the title, start folder, filters, first filter and mode of request.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

// The file to write that a save dialog of request chooses, with suffix added when its name has
// none. When a file has that name already, the user is asked, under the request's title, whether
// to replace it. nullopt when the dialog is cancelled or the file is not to be replaced.
std::optional<QString> ChooseFileToWrite(QWidget* parent, const FileDialogRequest& request,
                                         const QString& suffix = {});

// Shortcut for a message box with an OK button.
void ShowMessage(QWidget* parent, const QString& title, const QString& text,
                 MessageIcon icon = MessageIcon::None);

} // namespace pilotrame::gui
