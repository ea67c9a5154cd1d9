#pragma once

#include "gui/prompts.h"

#include <QList>

#include <deque>
#include <functional>

namespace pilotrame::test {

// Prompts that answer from presets and record every request; installed for the life of the
// object. A message box without a preset answer gets OK (or No for a Yes/No question); a file
// dialog without preset files is cancelled; a drawing check without a preset answer is
// cancelled.
class ScriptedPrompts final : public gui::Prompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    void presetAnswer(gui::Answer answer) { m_answers.push_back(answer); }
    // The next file dialog returns these paths; an empty list means the user cancels.
    void presetFiles(const QStringList& files) { m_files.push_back(files); }
    // The next drawing check gets this answer.
    void presetDrawingAnswer(DrawingCheckAnswer answer) { m_drawingAnswers.push_back(answer); }
    // The next number asked for gets this answer; nullopt cancels. Without one, the value
    // proposed is taken.
    void presetNumber(std::optional<int> number) { m_numbers.push_back(number); }

    gui::Answer message(QWidget* parent, const gui::MessageRequest& request) override;
    std::optional<QStringList> chooseFiles(QWidget* parent,
                                           const gui::FileDialogRequest& request) override;
    DrawingCheckAnswer reviewDrawings(QWidget* parent, const DrawingCheck& check) override;
    void openFolder(QWidget*, const QString& folder) override { openedFolders << folder; }
    std::optional<int> askNumber(QWidget* parent, const gui::NumberRequest& request) override;
    void showRenamePreview(QWidget*, const RenamePreview& preview) override {
        renamePreviews.append(preview);
    }

    QList<gui::MessageRequest> messages;
    QList<gui::FileDialogRequest> dialogs;
    QList<DrawingCheck> drawingChecks;
    QStringList openedFolders;
    QList<gui::NumberRequest> numberRequests;
    QList<RenamePreview> renamePreviews;
    // Runs while a message box is open, before it is answered.
    std::function<void()> whileAsked;

private:
    std::deque<gui::Answer> m_answers;
    std::deque<QStringList> m_files;
    std::deque<DrawingCheckAnswer> m_drawingAnswers;
    std::deque<std::optional<int>> m_numbers;
};

} // namespace pilotrame::test
