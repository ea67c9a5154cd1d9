#include "support/scriptedprompts.h"

namespace pilotrame::test {

ScriptedPrompts::ScriptedPrompts() {
    gui::Prompts::install(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    gui::Prompts::install(nullptr);
}

gui::Answer ScriptedPrompts::message(QWidget*, const gui::MessageRequest& request) {
    messages.append(request);
    if (whileAsked)
        whileAsked();
    if (!m_answers.empty()) {
        const gui::Answer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return request.buttons == gui::MessageButtons::YesNo ? gui::Answer::No : gui::Answer::Ok;
}

std::optional<QStringList> ScriptedPrompts::chooseFiles(QWidget*,
                                                        const gui::FileDialogRequest& request) {
    dialogs.append(request);
    if (m_files.empty())
        return std::nullopt;
    QStringList files = m_files.front();
    m_files.pop_front();
    if (files.isEmpty())
        return std::nullopt;
    return files;
}

DrawingCheckAnswer ScriptedPrompts::reviewDrawings(QWidget*, const DrawingCheck& check) {
    drawingChecks.append(check);
    if (m_drawingAnswers.empty())
        return DrawingCheckAnswer::Cancel;
    const DrawingCheckAnswer answer = m_drawingAnswers.front();
    m_drawingAnswers.pop_front();
    return answer;
}

std::optional<int> ScriptedPrompts::askNumber(QWidget*, const gui::NumberRequest& request) {
    numberRequests.append(request);
    if (m_numbers.empty())
        return request.value;
    const std::optional<int> number = m_numbers.front();
    m_numbers.pop_front();
    return number;
}

} // namespace pilotrame::test
