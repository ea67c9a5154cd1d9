#include "batch/console.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "base/systemerror.h"
#include "base/text.h"
#include "base/utf8.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

// The bytes looked at before the encoding of the output is decided, unless it ends before: enough
// for a few lines of the console, little enough that a log shows a slow console's first lines.
constexpr std::size_t kSniffSize = 512;

// UTF-16LE, told by its shape: the zero bytes of the line breaks and spaces that every console
// line holds sit in odd places; text of a script without them (Cyrillic, Greek …) has high bytes
// that are control characters in most odd places. 8-bit text has no zero byte, or a stray one:
// read in pairs, its units are then mostly two printable ASCII bytes, which the units of UTF-16
// text with zero bytes in it seldom are.
bool LooksUtf16Le(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE")
        return true;
    std::size_t oddZeros = 0;
    std::size_t evenZeros = 0;
    std::size_t controlHighBytes = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0)
            ++(i % 2 ? oddZeros : evenZeros);
        else if (i % 2 && byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            ++controlHighBytes;
    }
    const std::size_t units = bytes.size() / 2;
    if (oddZeros + evenZeros > 0) {
        std::size_t asciiPairs = 0;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto low = static_cast<unsigned char>(bytes[i]);
            const auto high = static_cast<unsigned char>(bytes[i + 1]);
            if (low >= 0x20 && low < 0x7F && high >= 0x20 && high < 0x7F)
                ++asciiPairs;
        }
        return oddZeros >= evenZeros && asciiPairs * 2 < units;
    }
    return units >= 2 && controlHighBytes * 2 >= units;
}

// True when the byte at i starts a UTF-8 sequence that the end of bytes cuts short.
bool CutShortAtEnd(std::string_view bytes, std::size_t i) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || i + length <= bytes.size())
        return false;
    for (std::size_t j = i + 1; j < bytes.size(); ++j)
        if (!IsContinuationByte(bytes[j]))
            return false;
    return true;
}

std::string_view StemOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(0, dot);
}

std::string ExtensionOfFormat(std::string_view format) {
    const std::string word = CommandWord(format);
    if (word == "dxf")
        return ".dxf";
    if (word == "dwt" || word == "t" || word == "template")
        return ".dwt";
    return ".dwg";
}

bool IsAbsolute(std::string_view path) {
    return (!path.empty() && (path.front() == '/' || path.front() == '\\')) ||
           (path.size() >= 2 && path[1] == ':');
}

#ifndef _WIN32
// The bytes of a "#!" line the system reads (BINPRM_BUF_SIZE of Linux).
constexpr std::size_t kInterpreterLineSize = 256;

// A script runs only when the interpreter its "#!" line names does: an ordinary file this user
// may run. The line is read with a limit, from a file that may be huge.
Status CheckInterpreter(const std::string& script) {
    const Result<std::string> start = ReadFilePart(script, 0, kInterpreterLineSize);
    std::string_view line = start ? std::string_view(*start) : std::string_view();
    line.remove_prefix(std::min<std::size_t>(2, line.size()));
    const std::size_t first = line.find_first_not_of(" \t");
    line.remove_prefix(first == std::string_view::npos ? line.size() : first);
    const std::string interpreter(
        line.substr(0, line.find_first_of(std::string_view(" \t\r\n\0", 5))));
    Error error = FileError(ErrorCode::PermissionDenied, script);
    if (!interpreter.empty()) {
        error.text = interpreter;
        struct stat status {};
        if (::stat(interpreter.c_str(), &status) != 0)
            error.code = CodeFromErrno(errno, interpreter);
        else if (S_ISREG(status.st_mode) &&
                 ::faccessat(AT_FDCWD, interpreter.c_str(), X_OK, AT_EACCESS) == 0)
            return Success();
    }
    return InOperation(error, Operation::StartProgram);
}
#endif

} // namespace

ProgramStart ConsoleStart(std::string_view console, std::string_view drawing,
                          std::string_view script, std::string_view language) {
    ProgramStart start;
    start.program = std::string(console);
    start.arguments = {"/i", std::string(drawing), "/s", std::string(script)};
    if (!language.empty()) {
        start.arguments.push_back("/l");
        start.arguments.emplace_back(language);
    }
    return start;
}

Status CheckConsoleProgram(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(ToFsPath(path), ec);
    Error error;
    if (!fs::exists(status)) {
        error = FileError(CodeFromErrno(ENOENT, path), path);
    } else if (!fs::is_regular_file(status)) {
        error = NotAFileError(path);
    } else {
        // The first bytes tell a program from a text that only has its name.
        const Result<std::string> start = ReadFilePart(path, 0, 4);
        const std::string_view magic = start ? std::string_view(*start) : std::string_view();
#ifdef _WIN32
        const std::string extension = FromFsPath(ToFsPath(path).extension());
        if ((EqualsIgnoringCase(extension, ".exe") && magic.starts_with("MZ")) ||
            EqualsIgnoringCase(extension, ".com"))
            return Success();
#else
        if (::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0) {
            if (magic.starts_with("\x7F"
                                  "ELF"))
                return Success();
            if (magic.starts_with("#!"))
                return CheckInterpreter(path);
        }
#endif
        error = FileError(ErrorCode::PermissionDenied, path);
    }
    return InOperation(error, Operation::StartProgram);
}

// ---- The output ----

ConsoleOutputReader::ConsoleOutputReader(std::vector<std::string> failureMessages,
                                         std::function<void(std::string_view text)> onText)
    : m_onText(std::move(onText)) {
    for (std::string& message : failureMessages) {
        if (message.empty())
            continue;
        std::string folded;
        for (std::size_t i = 0; i < message.size();) {
            const std::size_t at = i;
            char32_t cp = NextCodePoint(message, i);
            if (cp == kInvalidCodePoint)
                cp = Cp1252CodePoint(static_cast<unsigned char>(message[at]));
            AppendUtf8(folded, FoldLatinCase(cp));
        }
        m_longest = std::max(m_longest, folded.size());
        m_folded.push_back(std::move(folded));
        m_messages.push_back(std::move(message));
    }
    if (m_messages.empty())
        return;
    using Kind = Reading::Kind;
    for (const Kind kind : {Kind::Utf16Even, Kind::Utf16Odd, Kind::Utf8, Kind::Cp1252})
        m_readings.emplace_back().kind = kind;
}

void ConsoleOutputReader::add(std::string_view bytes) {
    search(bytes, false);
    if (m_encoding == Encoding::Unknown) {
        m_held.append(bytes);
        if (m_held.size() >= kSniffSize)
            decide();
        return;
    }
    decode(bytes, false);
}

void ConsoleOutputReader::settle() {
    if (m_encoding == Encoding::Unknown && !m_held.empty())
        decide();
}

void ConsoleOutputReader::finish() {
    search({}, true);
    if (m_encoding == Encoding::Unknown)
        decide();
    decode({}, true);
    if (m_highSurrogate != 0) {
        m_highSurrogate = 0;
        m_text.clear();
        AppendUtf8(m_text, 0xFFFD);
        pass(m_text);
    }
}

void ConsoleOutputReader::decide() {
    // The same first bytes decide, however the output came in pieces.
    m_encoding = LooksUtf16Le(std::string_view(m_held).substr(0, kSniffSize)) ? Encoding::Utf16Le
                                                                              : Encoding::Bytes;
    if (m_encoding == Encoding::Utf16Le && m_held.starts_with("\xFF\xFE"))
        m_held.erase(0, 2);
    std::string first = std::move(m_held);
    m_held.clear();
    decode(first, false);
}

void ConsoleOutputReader::decode(std::string_view bytes, bool last) {
    std::string joined;
    if (!m_held.empty()) {
        joined = std::move(m_held);
        m_held.clear();
        joined.append(bytes);
        bytes = joined;
    }
    m_text.clear();
    if (m_encoding == Encoding::Utf16Le) {
        std::size_t i = 0;
        for (; i + 1 < bytes.size(); i += 2) {
            const char32_t unit =
                static_cast<unsigned char>(bytes[i]) |
                (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
            if (m_highSurrogate != 0) {
                const char32_t high = m_highSurrogate;
                m_highSurrogate = 0;
                if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    AppendUtf8(m_text, 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                    continue;
                }
                AppendUtf8(m_text, 0xFFFD);
            }
            if (unit >= 0xD800 && unit <= 0xDBFF)
                m_highSurrogate = unit;
            else if (unit >= 0xDC00 && unit <= 0xDFFF)
                AppendUtf8(m_text, 0xFFFD);
            else if (unit < 0x80)
                m_text += static_cast<char>(unit);
            else
                AppendUtf8(m_text, unit);
        }
        // A byte of a unit the next piece completes; at the end, a half unit is dropped.
        if (i < bytes.size() && !last)
            m_held.assign(bytes.substr(i));
    } else {
        std::size_t i = 0;
        while (i < bytes.size()) {
            if (static_cast<unsigned char>(bytes[i]) < 0x80) {
                const std::size_t ascii = AsciiPrefixLength(bytes.substr(i));
                m_text.append(bytes.substr(i, ascii));
                i += ascii;
                continue;
            }
            if (!last && CutShortAtEnd(bytes, i)) {
                m_held.assign(bytes.substr(i));
                break;
            }
            std::size_t next = i;
            if (NextCodePoint(bytes, next) != kInvalidCodePoint) {
                m_text.append(bytes.substr(i, next - i));
                i = next;
                continue;
            }
            AppendFromAnsi(m_text, bytes.substr(i, 1));
            ++i;
        }
    }
    pass(m_text);
}

void ConsoleOutputReader::pass(std::string_view text) {
    if (text.empty())
        return;
    if (m_onText)
        m_onText(text);
    m_tail.append(text);
    if (m_tail.size() > 2 * kTailSize)
        m_tail.erase(0, m_tail.size() - kTailSize);
}

namespace {

// Where a reading writes a piece's text and the sizes of its characters. Room is made for the
// worst case first (three bytes of text for each byte of output), so that each character costs a
// few stores.
class ReadingOut {
public:
    ReadingOut(std::unique_ptr<char[]>& text, std::unique_ptr<std::uint8_t[]>& sizes,
               std::size_t& length, std::size_t& room, std::size_t bytes)
        : m_text(text), m_length(length) {
        const std::size_t needed = length + 3 * bytes + 8;
        if (needed > room) {
            room = std::max(needed, 2 * room);
            auto moreText = std::make_unique_for_overwrite<char[]>(room);
            auto moreSizes = std::make_unique_for_overwrite<std::uint8_t[]>(room);
            std::copy_n(text.get(), length, moreText.get());
            std::copy_n(sizes.get(), length, moreSizes.get());
            text = std::move(moreText);
            sizes = std::move(moreSizes);
        }
        m_out = text.get() + length;
        m_size = sizes.get() + length;
    }
    ~ReadingOut() { m_length = static_cast<std::size_t>(m_out - m_text.get()); }
    ReadingOut(const ReadingOut&) = delete;
    ReadingOut& operator=(const ReadingOut&) = delete;

    // ASCII characters of a byte each.
    void ascii(std::string_view run) {
        for (const char c : run) {
            *m_out++ = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
            *m_size++ = 1;
        }
    }

    // A character that took size bytes of the output, its letters folded.
    void put(char32_t cp, std::uint8_t size) {
        *m_size = size;
        cp = FoldLatinCase(cp);
        if (cp < 0x80) {
            *m_out++ = static_cast<char>(cp);
            ++m_size;
            return;
        }
        char bytes[4];
        std::size_t length = 0;
        if (cp < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            length = 1;
        } else if (cp < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            length = 2;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (cp >> 18));
            bytes[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            length = 3;
        }
        bytes[length++] = static_cast<char>(0x80 | (cp & 0x3F));
        for (std::size_t i = 0; i < length; ++i) {
            *m_out++ = bytes[i];
            *m_size++ = i == 0 ? size : 0;
        }
    }

private:
    std::unique_ptr<char[]>& m_text;
    std::size_t& m_length;
    char* m_out = nullptr;
    std::uint8_t* m_size = nullptr;
};

} // namespace

void ConsoleOutputReader::read(Reading& reading, std::string_view bytes, bool last) {
    using Kind = Reading::Kind;
    const auto outFor = [&reading](std::size_t size) {
        return ReadingOut(reading.text, reading.sizes, reading.length, reading.room, size);
    };
    if (reading.kind == Kind::Cp1252) {
        ReadingOut out = outFor(bytes.size());
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t ascii = AsciiPrefixLength(bytes.substr(i));
            out.ascii(bytes.substr(i, ascii));
            i += ascii;
            if (i < bytes.size())
                out.put(Cp1252CodePoint(static_cast<unsigned char>(bytes[i++])), 1);
        }
        reading.end += bytes.size();
        return;
    }
    if (reading.kind == Kind::Utf16Odd && !reading.begun && !bytes.empty()) {
        reading.begun = true;
        bytes.remove_prefix(1);
        reading.end = 1;
    }
    std::string joined;
    if (!reading.held.empty()) {
        joined = std::move(reading.held);
        reading.held.clear();
        joined.append(bytes);
        bytes = joined;
    }
    ReadingOut out = outFor(bytes.size());
    std::size_t i = 0;
    if (reading.kind == Kind::Utf8) {
        while (i < bytes.size()) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            if (byte < 0x80) {
                const std::size_t ascii = AsciiPrefixLength(bytes.substr(i));
                out.ascii(bytes.substr(i, ascii));
                i += ascii;
                continue;
            }
            if (!last && CutShortAtEnd(bytes, i)) {
                reading.held.assign(bytes.substr(i));
                break;
            }
            std::size_t next = i;
            const char32_t cp = NextCodePoint(bytes, next);
            // A byte that starts no character (NextCodePoint passes it alone) is Windows-1252.
            out.put(cp == kInvalidCodePoint ? Cp1252CodePoint(byte) : cp,
                    static_cast<std::uint8_t>(next - i));
            i = next;
        }
        reading.end += i;
        return;
    }
    // A first half of a pair held from before counts as read once it is written out.
    if (reading.highSurrogate != 0)
        reading.end += 2;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t unit =
            static_cast<unsigned char>(bytes[i]) |
            (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (reading.highSurrogate != 0) {
            const char32_t high = reading.highSurrogate;
            reading.highSurrogate = 0;
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                out.put(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00), 4);
                continue;
            }
            out.put(0xFFFD, 2);
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
            reading.highSurrogate = unit;
        else
            out.put(unit >= 0xDC00 && unit <= 0xDFFF ? 0xFFFD : unit, 2);
    }
    if (i < bytes.size() && !last)
        reading.held.assign(bytes.substr(i));
    if (last && reading.highSurrogate != 0) {
        reading.highSurrogate = 0;
        out.put(0xFFFD, 2);
    }
    reading.end += i;
    if (reading.highSurrogate != 0)
        reading.end -= 2;
}

void ConsoleOutputReader::search(std::string_view bytes, bool last) {
    if (!m_found.empty())
        return;
    // The message whose first occurrence ends first in the output is named, the longer one at a
    // tie, whatever reading it was found in.
    std::uint64_t firstEnd = std::numeric_limits<std::uint64_t>::max();
    std::size_t found = m_messages.size();
    for (Reading& reading : m_readings) {
        read(reading, bytes, last);
        const std::string_view text(reading.text.get(), reading.length);
        for (std::size_t m = 0; m < m_folded.size(); ++m) {
            const std::size_t at = text.find(m_folded[m]);
            if (at == std::string_view::npos)
                continue;
            std::uint64_t after = 0;
            for (std::size_t k = at + m_folded[m].size(); k < text.size(); ++k)
                after += reading.sizes[k];
            const std::uint64_t end = reading.end - after;
            if (end < firstEnd || (end == firstEnd && found < m_messages.size() &&
                                   m_messages[m].size() > m_messages[found].size())) {
                firstEnd = end;
                found = m;
            }
        }
        // What the next piece's text needs before it, for a message that the pieces cut.
        std::size_t cut = text.size() - std::min(text.size(), m_longest - 1);
        while (cut < text.size() && IsContinuationByte(text[cut]))
            ++cut;
        std::copy(reading.text.get() + cut, reading.text.get() + reading.length,
                  reading.text.get());
        std::copy(reading.sizes.get() + cut, reading.sizes.get() + reading.length,
                  reading.sizes.get());
        reading.length -= cut;
    }
    if (found < m_messages.size()) {
        m_found = m_messages[found];
        m_readings.clear();
    }
}

std::string ConsoleOutputReader::tail() const {
    std::size_t start = m_tail.size() > kTailSize ? m_tail.size() - kTailSize : 0;
    while (start < m_tail.size() && IsContinuationByte(m_tail[start]))
        ++start;
    return m_tail.substr(start);
}

// ---- The script ----

std::vector<std::vector<std::string>> ScriptAnswers(std::string_view script) {
    std::vector<std::vector<std::string>> lines;
    for (const std::string_view line : SplitLines(script)) {
        std::vector<std::string>& words = lines.emplace_back(1);
        bool quoted = false;
        for (const char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ' ' && !quoted)
                words.emplace_back();
            else
                words.back() += c;
        }
    }
    return lines;
}

std::vector<ScriptSave> ScriptSaves(std::string_view script) {
    std::vector<std::string> answers;
    for (std::vector<std::string>& line : ScriptAnswers(script))
        for (std::string& word : line)
            answers.push_back(std::move(word));
    std::vector<ScriptSave> saves;
    ScriptSave inHand;
    const auto add = [&saves](const ScriptSave& save) {
        if (std::find(saves.begin(), saves.end(), save) == saves.end())
            saves.push_back(save);
    };
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const std::string word = CommandWord(answers[i]);
        if (word == "qsave") {
            add(inHand);
        } else if (word == "saveas") {
            const std::string format = i + 1 < answers.size() ? answers[i + 1] : std::string();
            const std::string name = i + 2 < answers.size() ? answers[i + 2] : std::string();
            ScriptSave save;
            save.extension = ExtensionOfFormat(format);
            if (name.empty()) {
                save.kind = ScriptSave::Kind::SameName;
            } else {
                save.kind = ScriptSave::Kind::Named;
                save.path = name;
                const std::size_t separator = name.find_last_of("/\\");
                if (name.find('.', separator == std::string::npos ? 0 : separator) ==
                    std::string::npos)
                    save.path += save.extension;
                save.extension.clear();
            }
            add(save);
            inHand = save;
            i += 2;
        }
    }
    return saves;
}

std::vector<std::string> SavedFiles(const ScriptSave& save, const std::string& folder,
                                    const std::string& name) {
    const std::string stem = folder + std::string(StemOf(name));
    switch (save.kind) {
    case ScriptSave::Kind::Drawing: {
        std::vector<std::string> files = {folder + name};
        if (EqualsIgnoringCase(name.substr(stem.size() - folder.size()), ".dxf"))
            files.push_back(stem + ".dwg");
        return files;
    }
    case ScriptSave::Kind::SameName:
        return {stem + save.extension};
    case ScriptSave::Kind::Named:
        return {IsAbsolute(save.path) ? save.path : folder + save.path};
    }
    return {};
}

std::vector<ConsoleRefusal> ConsoleRefusals(const DrawingJob& job) {
    std::vector<ConsoleRefusal> refusals;
    if (job.customScript) {
        for (const ScriptWord& word : ReadScript(job.scriptText).words) {
            if (!word.command)
                continue;
            if (const std::optional<ConsoleLimit> limit = ConsoleLimitOf(CommandWord(word.text)))
                refusals.push_back({"SCRIPT FICHIER, ligne " + std::to_string(word.line),
                                    std::string(word.text), *limit});
        }
    }
    if (job.insert && !job.insertFile)
        refusals.push_back({"INSERER, presse-papier", "_pasteclip", ConsoleLimit::UsesClipboard});
    return refusals;
}

} // namespace pilotrame
