#include "job/jobfile.h"

#include "base/fileio.h"
#include "base/numbers.h"
#include "base/text.h"
#include "base/utf8.h"
#include "job/switchrules.h"
#include "script/operations.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <optional>
#include <span>

namespace pilotrame {

namespace {

// How a key's value is written and checked.
enum class ValueKind {
    Flag,      // "0" or "1"
    Word,      // one of a fixed list of words
    Line,      // the text of a single-line box: no line break, at most kJobLineValueLimit
    Number,    // a Line whose box holds a number, kept with a full stop
    Paragraph, // the text of a multi-line box
    Run,       // a Line that is a setting of the run, read and written as execution.txt does
};

// The keys of the settings of the run are those of execution.txt after this.
constexpr std::string_view kRunKeyPrefix = "execution.";

struct KeySpec {
    std::string name;
    ValueKind kind = ValueKind::Flag;
    bool& (*flag)(MainJob&) = nullptr;
    bool DrawingJob::*operation = nullptr; // the tick of an operation, in place of flag
    std::string& (*text)(MainJob&) = nullptr;
    std::span<const std::string_view> words;
    int (*getWord)(const MainJob&) = nullptr;
    void (*setWord)(MainJob&, int) = nullptr;
    // Whether the job carries the key; null: always. A key a job does not carry is not written.
    bool (*carried)(const MainJob&) = nullptr;
    // The value goes into the script: a control character in it is refused (line breaks aside in
    // a paragraph, where they part its lines).
    bool toScript = false;
};

KeySpec FlagKey(std::string_view name, bool& (*flag)(MainJob&)) {
    KeySpec key;
    key.name = name;
    key.kind = ValueKind::Flag;
    key.flag = flag;
    return key;
}

KeySpec TextKey(std::string_view name, std::string& (*text)(MainJob&),
                ValueKind kind = ValueKind::Line) {
    KeySpec key;
    key.name = name;
    key.kind = kind;
    key.text = text;
    return key;
}

KeySpec NumberKey(std::string_view name, std::string& (*text)(MainJob&)) {
    return TextKey(name, text, ValueKind::Number);
}

KeySpec WordKey(std::string_view name, std::span<const std::string_view> words,
                int (*getWord)(const MainJob&), void (*setWord)(MainJob&, int)) {
    KeySpec key;
    key.name = name;
    key.kind = ValueKind::Word;
    key.words = words;
    key.getWord = getWord;
    key.setWord = setWord;
    return key;
}

// The settings of the run of a job, made when a key of theirs is first read.
RunSettings& RunOf(MainJob& job) {
    if (!job.run)
        job.run.emplace();
    return *job.run;
}

bool CarriesRun(const MainJob& job) {
    return job.run.has_value();
}

// A setting of the run, by its key in execution.txt.
KeySpec RunKey(std::string_view setting) {
    KeySpec key;
    key.name = std::string(kRunKeyPrefix).append(setting);
    key.kind = ValueKind::Run;
    key.carried = CarriesRun;
    return key;
}

KeySpec ToScript(KeySpec key) {
    key.toScript = true;
    return key;
}

// The order of the words follows the enums and booleans they stand for.
constexpr std::array<std::string_view, 3> kModeWords{"imprimer", "script", "operations"};
constexpr std::array<std::string_view, 2> kPurgeWords{"bloc", "tout"};
constexpr std::array<std::string_view, 2> kTransferWords{"dxf-dwg", "dwg-dxf"};
constexpr std::array<std::string_view, 3> kEraseWords{"fenetre", "trajet", "capture"};
constexpr std::array<std::string_view, 2> kInsertWords{"presse-papier", "fichier"};
constexpr std::array<std::string_view, 3> kRuleWords{"supprimer", "ajouter", "extension"};

// The keys, then those of the settings of the run, as execution.txt names them.
std::vector<KeySpec> WithRunKeys(std::vector<KeySpec> keys) {
    for (const std::string_view setting : kRunSettingKeys)
        keys.push_back(RunKey(setting));
    return keys;
}

// The tick of an operation of the panel, under its key of kDrawingOperations.
KeySpec OperationKey(const DrawingOperation& operation) {
    KeySpec key;
    key.name = operation.jobKey;
    key.kind = ValueKind::Flag;
    key.operation = operation.ticked;
    return key;
}

bool& FlagOf(const KeySpec& key, MainJob& job) {
    return key.operation ? job.drawing.*key.operation : key.flag(job);
}

// The keys of an operation's parameters, which follow its tick's key.
std::vector<KeySpec> ParameterKeys(bool DrawingJob::*ticked) {
    if (ticked == &DrawingJob::purge)
        return {WordKey(
            "purger.mode", kPurgeWords, [](const MainJob& j) { return j.drawing.purgeAll ? 1 : 0; },
            [](MainJob& j, int w) { j.drawing.purgeAll = w == 1; })};
    if (ticked == &DrawingJob::transfer)
        return {WordKey(
            "transfert.sens", kTransferWords,
            [](const MainJob& j) { return j.drawing.dwgToDxf ? 1 : 0; },
            [](MainJob& j, int w) { j.drawing.dwgToDxf = w == 1; })};
    if (ticked == &DrawingJob::erase)
        return {
            WordKey(
                "effacer.selection", kEraseWords,
                [](const MainJob& j) { return static_cast<int>(j.drawing.eraseSelection); },
                [](MainJob& j, int w) {
                    j.drawing.eraseSelection = static_cast<EraseSelection>(w);
                }),
            ToScript(NumberKey(
                "effacer.x1", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[0]; })),
            ToScript(NumberKey(
                "effacer.y1", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[1]; })),
            ToScript(NumberKey(
                "effacer.x2", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[2]; })),
            ToScript(NumberKey(
                "effacer.y2", [](MainJob& j) -> std::string& { return j.drawing.erasePoints[3]; })),
        };
    if (ticked == &DrawingJob::insert)
        return {
            WordKey(
                "inserer.source", kInsertWords,
                [](const MainJob& j) { return j.drawing.insertFile ? 1 : 0; },
                [](MainJob& j, int w) { j.drawing.insertFile = w == 1; }),
            ToScript(TextKey("inserer.fichier",
                             [](MainJob& j) -> std::string& { return j.drawing.insertPath; })),
        };
    if (ticked == &DrawingJob::replaceAttribute)
        return {
            ToScript(NumberKey(
                "attribut.x1",
                [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[0]; })),
            ToScript(NumberKey(
                "attribut.y1",
                [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[1]; })),
            ToScript(NumberKey(
                "attribut.x2",
                [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[2]; })),
            ToScript(NumberKey(
                "attribut.y2",
                [](MainJob& j) -> std::string& { return j.drawing.attributeCorners[3]; })),
            ToScript(TextKey("attribut.ancien",
                             [](MainJob& j) -> std::string& { return j.drawing.attributeOld; })),
            ToScript(TextKey("attribut.nouveau",
                             [](MainJob& j) -> std::string& { return j.drawing.attributeNew; })),
        };
    if (ticked == &DrawingJob::replaceText)
        return {
            ToScript(TextKey("remplacer-texte.ancien1",
                             [](MainJob& j) -> std::string& { return j.drawing.replaceTexts[0]; })),
            ToScript(TextKey("remplacer-texte.nouveau1",
                             [](MainJob& j) -> std::string& { return j.drawing.replaceTexts[1]; })),
            ToScript(TextKey("remplacer-texte.ancien2",
                             [](MainJob& j) -> std::string& { return j.drawing.replaceTexts[2]; })),
            ToScript(TextKey("remplacer-texte.nouveau2",
                             [](MainJob& j) -> std::string& { return j.drawing.replaceTexts[3]; })),
        };
    return {};
}

// "RENOMMER FICHIERS" of the panel and the renaming rule.
std::vector<KeySpec> RenameKeys() {
    return {
        FlagKey("renommer", [](MainJob& j) -> bool& { return j.renameTicked; }),
        WordKey(
            "renommer.regle", kRuleWords,
            [](const MainJob& j) { return static_cast<int>(j.rename.rule); },
            [](MainJob& j, int w) { j.rename.rule = static_cast<RenameRule>(w); }),
        NumberKey("renommer.debut", [](MainJob& j) -> std::string& { return j.rename.start; }),
        NumberKey("renommer.longueur", [](MainJob& j) -> std::string& { return j.rename.length; }),
        TextKey("renommer.texte", [](MainJob& j) -> std::string& { return j.rename.text; }),
        TextKey("renommer.extension",
                [](MainJob& j) -> std::string& { return j.rename.newExtension; }),
    };
}

// Every key of this version, in the order they are written: the top row, then each operation of
// the panel by its check box number (the renaming's at its place), its tick then its parameters,
// then the settings of the run.
std::vector<KeySpec> AllKeys() {
    std::vector<KeySpec> keys{
        WordKey(
            "mode", kModeWords, [](const MainJob& j) { return static_cast<int>(j.mode()); },
            [](MainJob& j, int w) { j.setMode(static_cast<JobMode>(w)); }),
        FlagKey("renommer.haut", [](MainJob& j) -> bool& { return j.renameSwitch; }),
        ToScript(TextKey(
            "script.texte", [](MainJob& j) -> std::string& { return j.drawing.scriptText; },
            ValueKind::Paragraph)),
    };
    const auto append = [&keys](std::vector<KeySpec> more) {
        keys.insert(keys.end(), std::make_move_iterator(more.begin()),
                    std::make_move_iterator(more.end()));
    };
    bool renaming = false;
    for (const DrawingOperation& operation : kDrawingOperations) {
        if (!renaming && operation.box > kRenameOperationBox) {
            append(RenameKeys());
            renaming = true;
        }
        keys.push_back(OperationKey(operation));
        append(ParameterKeys(operation.ticked));
    }
    if (!renaming)
        append(RenameKeys());
    return WithRunKeys(std::move(keys));
}

const std::vector<KeySpec>& Keys() {
    static const std::vector<KeySpec> table = AllKeys();
    return table;
}

const KeySpec* FindKey(std::string_view name) {
    for (const KeySpec& key : Keys())
        if (key.name == name)
            return &key;
    return nullptr;
}

bool IsKeyCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
}

bool IsWellFormedKey(std::string_view name) {
    if (name.empty())
        return false;
    for (char c : name)
        if (!IsKeyCharacter(c))
            return false;
    return true;
}

std::string Escaped(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The value with its escapes replaced, or the fault as text.
Result<std::string> Unescaped(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (i + 1 == value.size())
            return TextError(TextFault::LoneBackslash, 0);
        switch (const char next = value[++i]; next) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            return TextError(TextFault::UnknownEscape, 0, {}, std::string("\\") + next);
        }
    }
    return out;
}

bool IsBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

bool IsComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first != std::string_view::npos && line[first] == '#';
}

// The length of UTF-8 text in UTF-16 units, as a QLineEdit counts it: a character past U+FFFF
// takes two. Only lead bytes are counted, so that the count stays a single pass.
std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    for (const char c : text) {
        if (IsContinuationByte(c))
            continue;
        units += static_cast<unsigned char>(c) >= 0xF0u ? 2 : 1;
    }
    return units;
}

// The text of a numeric box in the file's form: spaces around it dropped and its decimal
// separator, separator or a full stop, made a full stop; nullopt when it holds no number as
// ParseNumber reads it with that separator.
std::optional<std::string> InvariantNumber(std::string_view text, char separator) {
    if (!ParseNumber(text, separator))
        return std::nullopt;
    std::string number(TrimSpaces(text));
    // The separator, if any, follows the sign and the whole digits, as ParseNumber reads it.
    std::size_t i = number.front() == '+' || number.front() == '-' ? 1 : 0;
    while (i < number.size() && number[i] >= '0' && number[i] <= '9')
        ++i;
    if (i < number.size() && number[i] == separator)
        number[i] = '.';
    return number;
}

std::string ClosingLine() {
    return std::string(kJobFormatKey) + "=" + std::string(kJobClosingValue);
}

// True when the line that starts at text[start] is the closing line with its line end.
bool IsClosingLineAt(std::string_view text, std::size_t start) {
    const std::string closing = ClosingLine();
    if (text.compare(start, closing.size(), closing) != 0)
        return false;
    const std::string_view rest = text.substr(start + closing.size());
    return rest.starts_with("\n") || rest.starts_with("\r\n");
}

// True when a line after the first is the closing line with its line end, wherever it stands: a
// text without one stops before its end, one with text after it is faulty.
bool HoldsClosingLine(std::string_view text) {
    const std::string closing = "\n" + ClosingLine();
    for (std::size_t at = text.find(closing); at != std::string_view::npos;
         at = text.find(closing, at + 1)) {
        if (IsClosingLineAt(text, at + 1))
            return true;
    }
    return false;
}

// The number of the line where the text stops: the line it cuts, or the one after its last line
// end.
int LineCount(std::string_view text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
}

// Checks the first line; the version it names is the only fault it reports beyond its shape.
Result<int> CheckHeader(std::string_view line) {
    const std::string expected =
        std::string(kJobFormatKey) + "=" + std::to_string(kJobFormatVersion);
    const Error notAJobFile = TextError(TextFault::NotAJobFile, 1, {}, expected);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.substr(0, equals) != kJobFormatKey)
        return notAJobFile;
    const std::string_view version = line.substr(equals + 1);
    if (version.empty() || version.size() > 9 ||
        version.find_first_not_of("0123456789") != std::string_view::npos)
        return notAJobFile;
    const int number = std::stoi(std::string(version));
    if (number > kJobFormatVersion) {
        Error newer = TextError(TextFault::NewerFormat, 1);
        newer.number = number;
        for (int readable = 1; readable <= kJobFormatVersion; ++readable)
            newer.allowed.push_back(std::to_string(readable));
        return newer;
    }
    if (number < 1)
        return notAJobFile;
    return number;
}

// The code of the first control character of a value that goes into the script; -1 when none.
int ControlInScriptValue(const KeySpec& key, std::string_view value) {
    if (!key.toScript)
        return -1;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool lineBreak = c == '\r' || c == '\n';
        if ((byte < 0x20 || byte == 0x7F) && !(lineBreak && key.kind == ValueKind::Paragraph))
            return byte;
    }
    return -1;
}

// Refuses a value longer than a single-line value may be.
Status CheckLineValueLength(std::string_view key, std::string_view value, int lineNumber) {
    // UTF-16 units are never more than UTF-8 bytes: most values need no count.
    if (value.size() > kJobLineValueLimit && Utf16Length(value) > kJobLineValueLimit) {
        Error tooLong = TextError(TextFault::ValueTooLong, lineNumber, key);
        tooLong.number = static_cast<int>(kJobLineValueLimit);
        return tooLong;
    }
    return Success();
}

// Applies one known key's value to the job, or names what is wrong with it.
Status ApplyValue(const KeySpec& key, std::string value, MainJob& job, int lineNumber) {
    // A line break in a single-line value has a fault of its own, below.
    if (const int control = ControlInScriptValue(key, value);
        control >= 0 && control != '\r' && control != '\n') {
        Error error = TextError(TextFault::ControlInValue, lineNumber, key.name);
        error.number = control;
        return error;
    }
    switch (key.kind) {
    case ValueKind::Flag:
        if (value != "0" && value != "1")
            return TextError(TextFault::NotAFlag, lineNumber, key.name, value);
        FlagOf(key, job) = value == "1";
        return Success();
    case ValueKind::Word: {
        for (std::size_t i = 0; i < key.words.size(); ++i) {
            if (key.words[i] == value) {
                key.setWord(job, static_cast<int>(i));
                return Success();
            }
        }
        Error error = TextError(TextFault::NotAWord, lineNumber, key.name, value);
        error.allowed.assign(key.words.begin(), key.words.end());
        return error;
    }
    case ValueKind::Line:
    case ValueKind::Number:
    case ValueKind::Run:
        if (value.find_first_of("\r\n") != std::string::npos)
            return TextError(TextFault::LineBreakInLine, lineNumber, key.name);
        if (Status fits = CheckLineValueLength(key.name, value, lineNumber); !fits)
            return fits;
        if (key.kind == ValueKind::Number) {
            // A file of any version, written under any locale, reads the same everywhere.
            if (std::optional<std::string> number = InvariantNumber(value, ','))
                value = std::move(*number);
        }
        if (key.kind == ValueKind::Run) {
            Status read =
                ReadRunSetting(RunOf(job), std::string_view(key.name).substr(kRunKeyPrefix.size()),
                               value, lineNumber);
            if (!read) {
                Error error = read.error();
                error.detail = key.name;
                return error;
            }
            return Success();
        }
        key.text(job) = std::move(value);
        return Success();
    case ValueKind::Paragraph:
        key.text(job) = std::move(value);
        return Success();
    }
    return Success();
}

} // namespace

JobMode MainJob::mode() const {
    if (drawing.plot)
        return JobMode::Plot;
    if (drawing.customScript)
        return JobMode::ScriptText;
    return JobMode::Operations;
}

void MainJob::setMode(JobMode mode) {
    drawing.plot = mode == JobMode::Plot;
    drawing.customScript = mode == JobMode::ScriptText;
}

std::string WriteJobFile(const MainJob& original, char userDecimalSeparator) {
    MainJob job = original;
    ApplySwitchRules(job);
    std::string text(kJobFormatKey);
    text.append("=").append(std::to_string(kJobFormatVersion)).append("\n");
    for (const KeySpec& key : Keys()) {
        if (key.carried && !key.carried(job))
            continue;
        text.append(key.name).append("=");
        switch (key.kind) {
        case ValueKind::Flag:
            text.append(FlagOf(key, job) ? "1" : "0");
            break;
        case ValueKind::Word:
            text.append(key.words[static_cast<std::size_t>(key.getWord(job))]);
            break;
        case ValueKind::Line:
        case ValueKind::Paragraph:
            text.append(Escaped(key.text(job)));
            break;
        case ValueKind::Number: {
            const std::string& typed = key.text(job);
            const std::optional<std::string> number = InvariantNumber(typed, userDecimalSeparator);
            text.append(Escaped(number ? *number : typed));
            break;
        }
        case ValueKind::Run:
            text.append(Escaped(RunSettingValue(
                *job.run, std::string_view(key.name).substr(kRunKeyPrefix.size()))));
            break;
        }
        text.append("\n");
    }
    for (const auto& [name, value] : job.otherKeys) {
        if (!IsWellFormedKey(name) || FindKey(name) || name == kJobFormatKey)
            continue;
        text.append(name).append("=").append(Escaped(value)).append("\n");
    }
    text.append(ClosingLine()).append("\n");
    return text;
}

Result<MainJob> ParseJobFile(std::string_view text, std::vector<JobKeyLine>* unknownKeys) {
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom)
        text.remove_prefix(bom.size());

    MainJob job;
    std::map<std::string, int, std::less<>> seen; // key -> line of its first appearance
    int version = 0;
    int lineNumber = 0;
    std::size_t position = 0;
    while (position < text.size() || lineNumber == 0) {
        ++lineNumber;
        const std::size_t end = text.find('\n', position);
        std::string_view line = text.substr(
            position, end == std::string_view::npos ? std::string_view::npos : end - position);
        position = end == std::string_view::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (!IsUtf8(line))
            return TextError(TextFault::NotUtf8, lineNumber);
        if (line.find('\r') != std::string_view::npos)
            return TextError(TextFault::StrayCarriageReturn, lineNumber);
        if (lineNumber == 1) {
            Result<int> header = CheckHeader(line);
            if (!header)
                return header.error();
            version = *header;
            // A cut is told before the faults it may have made in the last line it left.
            if (version >= 2 && !HoldsClosingLine(text))
                return TextError(TextFault::CutShort, LineCount(text), {}, ClosingLine());
            seen.emplace(std::string(kJobFormatKey), 1);
            continue;
        }
        if (IsBlank(line) || IsComment(line))
            continue;

        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return TextError(TextFault::MissingEquals, lineNumber);
        const std::string_view name = line.substr(0, equals);
        if (!IsWellFormedKey(name))
            return TextError(TextFault::MalformedKey, lineNumber, name);
        if (version >= 2 && name == kJobFormatKey && line.substr(equals + 1) == kJobClosingValue) {
            if (position == text.size() && end != std::string_view::npos)
                break;
            return TextError(TextFault::TextAfterEnd, lineNumber + 1, {}, ClosingLine());
        }
        if (const auto earlier = seen.find(name); earlier != seen.end()) {
            Error repeated = TextError(TextFault::RepeatedKey, lineNumber, name);
            repeated.number = earlier->second;
            return repeated;
        }
        seen.emplace(std::string(name), lineNumber);

        Result<std::string> value = Unescaped(line.substr(equals + 1));
        if (!value) {
            Error error = value.error();
            error.line = lineNumber;
            error.detail = name;
            return error;
        }
        if (const KeySpec* key = FindKey(name)) {
            if (Status applied = ApplyValue(*key, std::move(*value), job, lineNumber); !applied)
                return applied.error();
        } else {
            // A newer version's value is no longer than this version's: nothing of the size of
            // a whole file is kept, and saved again, unread.
            if (Status fits = CheckLineValueLength(name, *value, lineNumber); !fits)
                return fits.error();
            job.otherKeys.emplace_back(std::string(name), std::move(*value));
            if (unknownKeys)
                unknownKeys->push_back(JobKeyLine{std::string(name), lineNumber});
        }
    }
    ApplySwitchRules(job);
    return job;
}

Status SaveJobFile(const std::string& path, const MainJob& job, char userDecimalSeparator) {
    if (Status saved = ReplaceFileContent(path, WriteJobFile(job, userDecimalSeparator)); !saved)
        return InOperation(saved.error(), Operation::SaveJob);
    return Success();
}

Result<MainJob> LoadJobFile(const std::string& path, std::vector<JobKeyLine>* unknownKeys) {
    Result<std::string> bytes = ReadFileBytes(path, kJobFileSizeLimit);
    if (!bytes)
        return InOperation(bytes.error(), Operation::ReadJob);
    Result<MainJob> job = ParseJobFile(*bytes, unknownKeys);
    if (!job) {
        Error error = InOperation(job.error(), Operation::ReadJob);
        error.path = path;
        return error;
    }
    return job;
}

} // namespace pilotrame
