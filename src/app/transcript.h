#pragma once

#include "gui/prompts.h"

#include <QString>

namespace pilotrame::app {

using gui::Answer;
using gui::FileDialogRequest;
using gui::MessageButtons;
using gui::MessageRequest;

// Prompts for start-up tests of the real program: every message box is written to a file as one
// line "message|title|text" (line breaks as \n) and answered with OK or Yes; file dialogs are
// cancelled; a drawing check is written as "drawings|checked|problems" and cancelled; a number
// asked for as "number|title|value", answered with the value proposed; a renaming's trial as
// "rename-preview|rows|stop row or -". Used only
// when PILOTRAME_TEST_TRANSCRIPT names that file.
class TranscriptPrompts final : public gui::Prompts {
public:
    explicit TranscriptPrompts(QString path) : m_path(std::move(path)) {}

    Answer message(QWidget* parent, const MessageRequest& request) override;
    std::optional<QStringList> chooseFiles(QWidget* parent,
                                           const FileDialogRequest& request) override;
    DrawingCheckAnswer reviewDrawings(QWidget* parent, const DrawingCheck& check) override;
    void openFolder(QWidget* parent, const QString& folder) override;
    std::optional<int> askNumber(QWidget* parent, const gui::NumberRequest& request) override;
    void showRenamePreview(QWidget* parent, const RenamePreview& preview) override;

    // Appends one line to the transcript.
    void record(const QString& line) const;

private:
    QString m_path;
};

} // namespace pilotrame::app
