#include "batch/console.h"

#include "base/codepage.h"
#include "base/fileio.h"
#include "base/paths.h"
#include "base/text.h"
#include "base/utf8.h"

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pilotrame {

namespace {

// The bytes looked at before the encoding of the output is decided, unless it ends before: enough
// for a few lines of the console, little enough that a log shows a slow console's first lines.
constexpr std::size_t kSniffSize = 512;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FoldedAscii(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = LowerAscii(c);
    return folded;
}

// UTF-16LE, told by its shape: the zero bytes of the line breaks and spaces that every console
// line holds sit in odd places, where 8-bit text has none at all; text of a script without them
// (Cyrillic, Greek …) has high bytes that are control characters in most odd places.
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
    if (oddZeros + evenZeros > 0)
        return oddZeros >= evenZeros;
    const std::size_t units = bytes.size() / 2;
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
        if (::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0 &&
            (magic.starts_with("\x7F"
                               "ELF") ||
             magic.starts_with("#!")))
            return Success();
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
        m_folded.push_back(FoldedAscii(message));
        m_messages.push_back(std::move(message));
    }
}

void ConsoleOutputReader::add(std::string_view bytes) {
    if (m_encoding == Encoding::Unknown) {
        m_held.append(bytes);
        if (m_held.size() >= kSniffSize)
            decide();
        return;
    }
    decode(bytes, false);
}

void ConsoleOutputReader::finish() {
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
    m_textSize += text.size();
    m_tail.append(text);
    if (m_tail.size() > 2 * kTailSize)
        m_tail.erase(0, m_tail.size() - kTailSize);
    if (!m_found.empty() || m_messages.empty())
        return;
    // The messages are searched in the text of this piece after the end of the one before, long
    // enough that a message cut between them is whole in it.
    m_window = m_carry;
    const std::size_t before = m_window.size();
    m_window.resize(before + text.size());
    std::transform(text.begin(), text.end(), m_window.begin() + static_cast<std::ptrdiff_t>(before),
                   LowerAscii);
    // The message whose first occurrence ends first is named, the longer one at a tie: the same
    // one wherever the pieces cut the text.
    std::size_t firstEnd = std::string::npos;
    std::size_t longest = 0;
    for (std::size_t m = 0; m < m_folded.size(); ++m) {
        const std::size_t length = m_folded[m].size();
        longest = std::max(longest, length);
        const std::size_t at = m_window.find(m_folded[m]);
        if (at == std::string::npos)
            continue;
        if (at + length < firstEnd || (at + length == firstEnd && length > m_found.size())) {
            firstEnd = at + length;
            m_found = m_messages[m];
        }
    }
    const std::size_t keep = std::min(m_window.size(), longest - 1);
    m_carry.assign(m_window, m_window.size() - keep, keep);
}

std::string ConsoleOutputReader::tail() const {
    std::size_t start = m_tail.size() > kTailSize ? m_tail.size() - kTailSize : 0;
    while (start < m_tail.size() && IsContinuationByte(m_tail[start]))
        ++start;
    return m_tail.substr(start);
}

std::string DecodeConsoleOutput(std::string_view bytes) {
    std::string text;
    ConsoleOutputReader reader({}, [&text](std::string_view piece) { text.append(piece); });
    reader.add(bytes);
    reader.finish();
    return text;
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
