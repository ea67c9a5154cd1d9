// The Liste01.txt reader and the generation driver over it. Whatever the list holds, the script
// holds exactly one opening per file line, or is the previous one untouched when the list or a
// name in it is refused; and a list written from names reads back as the same names.

#include "base/codepage.h"
#include "base/text.h"
#include "base/utf8.h"
#include "config/settings.h"
#include "fuzzsupport.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "selection/filelist.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using namespace pilotrame;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// How a generation over a list should end.
enum class Ending { Whole, RefusedName, FaultyList };

void CheckGeneration(const std::string& bytes) {
    const std::string list = fuzz::ScratchFolder() + "Liste01.txt";
    const std::string script = fuzz::ScratchFolder() + "Pilotrame.scr";
    const std::string previous = "previous\r\n";
    std::ofstream(list, std::ios::binary | std::ios::trunc) << bytes;
    std::ofstream(script, std::ios::binary | std::ios::trunc) << previous;

    DrawingJob job;
    job.plot = false;
    job.zoomExtents = true;
    static const Settings settings =
        DefaultSettings(ProposeSettingValues({}, FolderStyle::Windows, ""));
    DrawingSectionWriter writer(job, settings, ',');
    int sections = 0;
    ListPosition position;
    const Result<int> generated =
        GenerateScript(list, script, position, [&](std::string& section, const ListPosition& at) {
            ++sections;
            return writer(section, at);
        });

    // The list walked a second, plainer way: the drawings that should get a section, in order,
    // up to the first line that cannot be read or whose folder or name cannot stand on a script
    // line.
    std::vector<std::string> expected;
    Ending ending = Ending::Whole;
    bool folderSeen = false;
    std::string folder;
    std::string_view rest = bytes;
    // A UTF-8 byte-order mark: then each line valid in UTF-8 is read as UTF-8.
    const bool utf8 = rest.starts_with("\xEF\xBB\xBF");
    if (utf8)
        rest.remove_prefix(3);
    // A final Ctrl-Z ends the text, and is no part of it.
    if (!rest.empty() && rest.back() == '\x1A')
        rest.remove_suffix(1);
    while (!rest.empty() && ending == Ending::Whole) {
        // CR LF, LF and CR each end a line.
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view raw = rest.substr(0, end);
        const std::size_t next = end == std::string_view::npos
                                     ? rest.size()
                                     : end + (rest.substr(end, 2) == "\r\n" ? 2 : 1);
        rest = rest.substr(next);
        if (raw.size() > kMaxListLineBytes) {
            ending = Ending::FaultyList;
            break;
        }
        if (raw.empty())
            continue;
        const std::string line = utf8 && IsUtf8(raw) ? std::string(raw) : FromAnsi(raw);
        // A folder line: its marker, or in a list for reading none and a separator at its end.
        const bool marked = raw.front() == kFolderMarker;
        if (marked || (raw.front() != kFileMarker && (raw.back() == '\\' || raw.back() == '/'))) {
            folder.assign(line.substr(marked ? 1 : 0));
            folderSeen = true;
            // A folder line names a folder: its separator is added when missing.
            if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') {
                const std::size_t last = folder.find_last_of("\\/");
                folder += last == std::string::npos ? kNativeSeparator : folder[last];
            }
            continue;
        }
        if (!folderSeen) {
            ending = Ending::FaultyList;
            break;
        }
        // The marker is the first character, however many bytes it takes.
        std::size_t marker = 1;
        while (marker < line.size() && (static_cast<unsigned char>(line[marker]) >> 6) == 2)
            ++marker;
        if (marker >= line.size()) {
            ending = Ending::FaultyList; // a file line without a name
            break;
        }
        const std::string path = folder + line.substr(marker);
        if (!FitsAnsi(path) || std::any_of(path.begin(), path.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '"';
            })) {
            ending = Ending::RefusedName;
            break;
        }
        expected.push_back(path);
    }

    // The path on the line after each opening, in script order.
    const std::string text = ReadAll(script);
    std::vector<std::string> opened;
    for (std::size_t at = text.find("_.open\r\n"); at != std::string::npos;
         at = text.find("_.open\r\n", at + 1)) {
        const std::size_t start = at + 8;
        const std::size_t end = text.find("\r\n", start);
        const std::string quoted = FromAnsi(std::string_view(text).substr(start, end - start));
        if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
            fuzz::Violated("an opening is not followed by a quoted path", quoted);
        opened.push_back(quoted.substr(1, quoted.size() - 2));
    }
    if (static_cast<bool>(generated) != (ending == Ending::Whole))
        fuzz::Violated(generated ? "a list with a name or a line no script can take was generated"
                                 : "generation failed on a list it can write");
    if (!generated) {
        const Error& error = generated.error();
        const bool named = ending == Ending::RefusedName && error.cause == Cause::InvalidName;
        const bool faulty = ending == Ending::FaultyList && error.cause == Cause::FaultyText &&
                            error.operation == Operation::ReadList;
        if (!named && !faulty)
            fuzz::Violated("generation failed for another reason than the list's");
        if (text != previous)
            fuzz::Violated("a generation that failed changed the previous script");
        return;
    }
    if (sections != static_cast<int>(expected.size()) || opened != expected)
        fuzz::Violated("the script does not hold one opening per file line, in list order");
}

void CheckRoundTrip(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    FileList model;
    while (!fields.empty()) {
        ListedFolder folder{fields.next(), {}};
        for (int i = 0; i < 3 && !fields.empty(); ++i)
            folder.names.push_back(fields.next());
        model.push_back(std::move(folder));
    }
    RemoveNamesOutsideAnsi(model);
    const std::string list = fuzz::ScratchFolder() + "Liste-model.txt";
    const Result<int> written = WriteFileList(list, model);
    if (!written) {
        // Only a folder or name holding a CR or an LF, which no list line can carry, or an empty
        // name, is refused.
        const auto crLf = [](const std::string& text) {
            return text.find_first_of("\r\n") != text.npos;
        };
        const auto unwritable = [&](const std::string& name) { return name.empty() || crLf(name); };
        const bool lineBreak = std::any_of(model.begin(), model.end(), [&](const ListedFolder& f) {
            return crLf(f.folder) || std::any_of(f.names.begin(), f.names.end(), unwritable);
        });
        if (!lineBreak || written.error().cause != Cause::InvalidName)
            fuzz::Violated("a list without line breaks in its names was refused");
        return;
    }
    const Result<FileList> read = ReadFileList(list);
    if (!read)
        fuzz::Violated("a written list cannot be read");
    // Read back, each name is the name written, under the folder written (with a separator at
    // its end, the one it uses): the list is the model less the folders without names, a folder
    // that comes again at once read as one.
    FileList expected;
    for (const ListedFolder& folder : model)
        for (const std::string& name : folder.names) {
            std::string named = folder.folder;
            if (!named.empty() && named.back() != '\\' && named.back() != '/') {
                const std::size_t last = named.find_last_of("\\/");
                named += last == std::string::npos ? kNativeSeparator : named[last];
            }
            if (expected.empty() || expected.back().folder != named)
                expected.push_back(ListedFolder{named, {}});
            expected.back().names.push_back(name);
        }
    if (*read != expected)
        fuzz::Violated("a list read back differs from the one written");
    if (*written != CountFiles(expected))
        fuzz::Violated("a list reports another count of file lines than it wrote");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckGeneration(std::string(reinterpret_cast<const char*>(data), size));
    CheckRoundTrip(data, size);
    return 0;
}
