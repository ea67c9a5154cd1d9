#include "script/scriptwords.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace pilotrame {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLineEnd(char c) {
    return c == '\n' || c == '\r';
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Reads a script text byte by byte, keeping the line and the column (in characters) of where it
// stands.
class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    ScriptReading read() {
        // At most an input for each space and each line: one allocation for a long text.
        m_reading.words.reserve(
            static_cast<std::size_t>(std::count(m_text.begin(), m_text.end(), ' ') +
                                     std::count(m_text.begin(), m_text.end(), '\n')) +
            1);
        while (m_pos < m_text.size()) {
            if (m_text[m_pos] == ';')
                skipToLineEnd();
            else
                readLine();
            lineBreak();
        }
        return std::move(m_reading);
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool atLineEnd() const { return atEnd() || IsLineEnd(m_text[m_pos]); }
    char current() const { return m_text[m_pos]; }

    void advance() {
        if (!IsContinuationByte(m_text[m_pos]))
            ++m_column;
        ++m_pos;
    }

    // Steps over the line end where the reader stands, if there is one.
    void lineBreak() {
        if (atEnd() || !IsLineEnd(current()))
            return;
        if (current() == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n')
            ++m_pos;
        ++m_pos;
        ++m_line;
        m_column = 1;
    }

    void skipToLineEnd() {
        while (!atLineEnd())
            advance();
    }

    void problem(LispFault fault, int line, int column) {
        m_reading.lispProblems.push_back({fault, line, column});
    }

    // The inputs of one line, up to its line end (not stepped over).
    void readLine() {
        bool first = true;
        while (true) {
            ScriptWord word;
            const std::size_t start = m_pos;
            word.line = m_line;
            word.column = m_column;
            word.firstOnLine = first;
            first = false;
            if (!atEnd() && current() == '(') {
                word.lisp = true;
                readLisp();
            }
            readRestOfWord(word.lisp);
            word.text = m_text.substr(start, m_pos - start);
            m_reading.words.push_back(word);
            if (atLineEnd())
                return;
            advance(); // the space that ended the input
        }
    }

    // The rest of an input, up to a space outside double quotes or the line end. After an
    // AutoLISP expression, or at the start of the input, a ")" closes nothing.
    void readRestOfWord(bool afterLisp) {
        bool quoted = false;
        bool lispEnded = afterLisp;
        bool startOfInput = true;
        while (!atLineEnd()) {
            const char c = current();
            if (c == ' ' && !quoted)
                return;
            if (c == '"')
                quoted = !quoted;
            else if (c == ')' && !quoted && (lispEnded || startOfInput)) {
                problem(LispFault::StrayParenthesis, m_line, m_column);
                lispEnded = false; // one is enough for an input
            }
            startOfInput = false;
            advance();
        }
    }

    // An AutoLISP expression from its "(" to its closing ")", across spaces and lines; to the end
    // of the text when it does not close.
    void readLisp() {
        const int line = m_line;
        const int column = m_column;
        int depth = 0;
        while (!atEnd()) {
            const char c = current();
            if (IsLineEnd(c)) {
                m_reading.linesEndingInLisp.push_back(m_line);
                lineBreak();
            } else if (c == '"') {
                if (!readLispString())
                    return;
            } else if (c == ';') {
                readLispComment();
            } else {
                advance();
                if (c == '(')
                    ++depth;
                else if (c == ')' && --depth == 0)
                    return;
            }
        }
        problem(LispFault::UnclosedParenthesis, line, column);
    }

    // A string of an AutoLISP expression, from its opening quote; false when the text ends in it.
    bool readLispString() {
        const int line = m_line;
        const int column = m_column;
        advance();
        const std::size_t first = m_pos;
        while (!atEnd()) {
            const char c = current();
            if (c == '"') {
                m_reading.lispStrings.emplace_back(first, m_pos);
                advance();
                return true;
            }
            if (IsLineEnd(c)) {
                m_reading.linesEndingInLisp.push_back(m_line);
                lineBreak();
                continue;
            }
            advance();
            // A backslash keeps the character after it in the string ("\"", "\\").
            if (c == '\\' && !atLineEnd())
                advance();
        }
        problem(LispFault::UnclosedString, line, column);
        return false;
    }

    // A comment of an AutoLISP expression: ";|" to "|;", across lines, or ";" to the line end.
    void readLispComment() {
        advance();
        if (atEnd() || current() != '|') {
            skipToLineEnd();
            return;
        }
        advance();
        while (!atEnd()) {
            if (IsLineEnd(current())) {
                m_reading.linesEndingInLisp.push_back(m_line);
                lineBreak();
                continue;
            }
            const bool bar = current() == '|';
            advance();
            if (bar && !atEnd() && current() == ';') {
                advance();
                return;
            }
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
    int m_column = 1;
    ScriptReading m_reading;
};

// How many answers a command takes before it has ended, when that is known. ZOOM is apart: its
// first answer decides. A system variable typed as a command takes its value; SETVAR a name and
// a value. Sources: AutoCAD Help, Command Reference (ZOOM, QSAVE, CLOSE, QUIT, REGEN, REGENALL,
// REDRAW, REDRAWALL, PASTECLIP, AUDIT, SETVAR) and System Variables (each variable below).
struct KnownCommand {
    std::string_view name;
    int answers;
};
constexpr int kZoom = -1;
constexpr std::array kKnownCommands = {
    KnownCommand{"zoom", kZoom},       KnownCommand{"qsave", 0},       KnownCommand{"close", 0},
    KnownCommand{"fermer", 0},         KnownCommand{"quit", 0},        KnownCommand{"quitter", 0},
    KnownCommand{"regen", 0},          KnownCommand{"regenall", 0},    KnownCommand{"redraw", 0},
    KnownCommand{"redrawall", 0},      KnownCommand{"pasteclip", 1},   KnownCommand{"audit", 1},
    KnownCommand{"setvar", 2},         KnownCommand{"osmode", 1},      KnownCommand{"filedia", 1},
    KnownCommand{"cmddia", 1},         KnownCommand{"snapmode", 1},    KnownCommand{"orthomode", 1},
    KnownCommand{"gridmode", 1},       KnownCommand{"attreq", 1},      KnownCommand{"attdia", 1},
    KnownCommand{"expert", 1},         KnownCommand{"cmdecho", 1},     KnownCommand{"tilemode", 1},
    KnownCommand{"lwdisplay", 1},      KnownCommand{"ltscale", 1},     KnownCommand{"clayer", 1},
    KnownCommand{"backgroundplot", 1}, KnownCommand{"proxynotice", 1}, KnownCommand{"insunits", 1},
    KnownCommand{"pickfirst", 1},      KnownCommand{"mirrtext", 1},    KnownCommand{"fillmode", 1},
    KnownCommand{"qtextmode", 1},      KnownCommand{"textstyle", 1},   KnownCommand{"visretain", 1},
};

// ZOOM's options: how many answers follow each. Its prompt, in French "[Tout/Centre/DYnamique/
// Etendu/Précédent/Echelle/Fenêtre/Objet]", in English (after "_") "[All/Center/Dynamic/Extents/
// Previous/Scale/Window/Object]". An option may be shortened down to its capital letters.
struct ZoomOption {
    std::string_view name;
    std::size_t shortest;
    int answers; // -1: not known (DYNAMIC, OBJECT)
};
constexpr std::array kFrenchZoom = {
    ZoomOption{"tout", 1, 0},    ZoomOption{"centre", 1, 2},    ZoomOption{"dynamique", 2, -1},
    ZoomOption{"etendu", 1, 0},  ZoomOption{"precedent", 1, 0}, ZoomOption{"echelle", 2, 1},
    ZoomOption{"fenetre", 1, 2}, ZoomOption{"objet", 1, -1},
};
constexpr std::array kEnglishZoom = {
    ZoomOption{"all", 1, 0},     ZoomOption{"center", 1, 2},   ZoomOption{"dynamic", 1, -1},
    ZoomOption{"extents", 1, 0}, ZoomOption{"previous", 1, 0}, ZoomOption{"scale", 1, 1},
    ZoomOption{"window", 1, 2},  ZoomOption{"object", 1, -1},
};

// How many answers follow ZOOM's first one; -1 when that is not known.
int ZoomAnswersAfter(std::string_view answer) {
    if (answer.find(',') != std::string_view::npos)
        return 1; // the first corner of a window
    if (!answer.empty() && ((answer[0] >= '0' && answer[0] <= '9') || answer[0] == '.'))
        return 0; // a scale factor: "2", "2x", ".5xp"
    const bool english = answer.starts_with('_');
    std::string option = CommandWord(answer);
    // The accents of "précédent" and "fenêtre".
    for (const auto& [accented, plain] :
         {std::pair<std::string_view, std::string_view>{"\xC3\xA9", "e"}, {"\xC3\xAA", "e"}}) {
        for (std::size_t at = option.find(accented); at != std::string::npos;
             at = option.find(accented, at))
            option.replace(at, accented.size(), plain);
    }
    const auto find = [&option](const auto& options) {
        for (const ZoomOption& candidate : options)
            if (option.size() >= candidate.shortest && candidate.name.starts_with(option))
                return candidate.answers;
        return -1;
    };
    return english ? find(kEnglishZoom) : find(kFrenchZoom);
}

} // namespace

std::string CommandWord(std::string_view answer) {
    std::size_t start = 0;
    while (start < answer.size() && (answer[start] == '_' || answer[start] == '.' ||
                                     answer[start] == '-' || answer[start] == '\''))
        ++start;
    std::string word(answer.substr(start));
    for (char& c : word)
        c = LowerAscii(c);
    return word;
}

std::optional<ConsoleLimit> ConsoleLimitOf(std::string_view command) {
    constexpr std::pair<std::string_view, ConsoleLimit> kLimits[] = {
        {"open", ConsoleLimit::OpensDrawing},   {"ouvrir", ConsoleLimit::OpensDrawing},
        {"close", ConsoleLimit::ClosesDrawing}, {"fermer", ConsoleLimit::ClosesDrawing},
        {"quit", ConsoleLimit::Quits},          {"quitter", ConsoleLimit::Quits},
        {"vbarun", ConsoleLimit::RunsVba},      {"pasteclip", ConsoleLimit::UsesClipboard},
    };
    for (const auto& [name, limit] : kLimits)
        if (command == name)
            return limit;
    return std::nullopt;
}

void CommandWords(std::vector<ScriptWord>& words) {
    enum class Progress { AtPrompt, Known, Unknown };
    Progress progress = Progress::AtPrompt;
    int answersLeft = 0;
    bool zoomOption = false;
    const auto answered = [&](std::string_view answer) {
        if (zoomOption) {
            zoomOption = false;
            answersLeft = ZoomAnswersAfter(answer);
            if (answersLeft < 0) {
                progress = Progress::Unknown;
                return;
            }
        } else {
            --answersLeft;
        }
        if (answersLeft <= 0)
            progress = Progress::AtPrompt;
    };
    for (ScriptWord& word : words) {
        word.command = false;
        if (word.lisp) {
            if (progress == Progress::Known)
                answered(word.text);
            continue;
        }
        if (word.text.empty()) {
            // An Enter ends what is left of a command, or may: the next word may be a command.
            // At the prompt it repeats the last one, whose answers the program does not follow.
            progress = Progress::AtPrompt;
            zoomOption = false;
            continue;
        }
        const bool transparent = word.text.front() == '\'';
        if (progress == Progress::Known && !transparent) {
            // AutoCAD takes it as an answer; the first word of a line is marked all the same.
            word.command = word.firstOnLine;
            answered(word.text);
            continue;
        }
        if (progress != Progress::AtPrompt && !transparent && !word.firstOnLine)
            continue;
        word.command = true;
        zoomOption = false;
        const std::string name = CommandWord(word.text);
        // Looked up by name: a long text has a command on most of its lines.
        static const std::unordered_map<std::string_view, int> kAnswers = [] {
            std::unordered_map<std::string_view, int> answers;
            for (const KnownCommand& known : kKnownCommands)
                answers.emplace(known.name, known.answers);
            return answers;
        }();
        const auto known = kAnswers.find(name);
        if (known == kAnswers.end()) {
            progress = Progress::Unknown;
        } else if (known->second == kZoom) {
            progress = Progress::Known;
            zoomOption = true;
        } else if (known->second == 0) {
            progress = Progress::AtPrompt;
        } else {
            progress = Progress::Known;
            answersLeft = known->second;
        }
    }
}

ScriptReading ReadScript(std::string_view text) {
    // What the section writes: the line ends at the very end go.
    while (!text.empty() && IsLineEnd(text.back()))
        text.remove_suffix(1);
    ScriptReading reading = Reader(text).read();
    CommandWords(reading.words);
    return reading;
}

} // namespace pilotrame
