// The Liste01.txt reader and the generation driver over it. Whatever the list holds, the script
// holds exactly one opening per file line processed; and a list written from names reads back as
// the same names.

#include "base/codepage.h"
#include "base/text.h"
#include "config/settings.h"
#include "fuzzsupport.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "selection/filelist.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace {

using namespace pilotrame;

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void checkGeneration(const std::string& bytes) {
    const std::string list = fuzz::scratchFolder() + "Liste01.txt";
    const std::string script = fuzz::scratchFolder() + "Pilotrame.scr";
    std::ofstream(list, std::ios::binary | std::ios::trunc) << bytes;

    DrawingJob job;
    job.plot = false;
    job.zoomExtents = true;
    static const Settings settings = defaultSettings(proposedValues({}, FolderStyle::Windows, ""));
    DrawingSectionWriter writer(job, settings, ',');
    int sections = 0;
    ListPosition position;
    const Status generated =
        GenerateScript(list, script, position, [&](std::string& section, const ListPosition& at) {
            ++sections;
            return writer(section, at);
        });

    int fileLines = 0;
    const std::string utf8 = fromAnsi(bytes);
    for (const std::string_view line : splitCrLfLines(utf8))
        fileLines += line.empty() || line.front() != kFolderMarker;
    const std::string text = readAll(script);
    std::size_t openings = 0;
    for (std::size_t at = text.find("_.open\r\n"); at != std::string::npos;
         at = text.find("_.open\r\n", at + 1))
        ++openings;
    if (generated && (sections != fileLines || openings != static_cast<std::size_t>(fileLines)))
        fuzz::violated("a finished script does not hold one opening per file line");
    if (!generated && openings > static_cast<std::size_t>(fileLines))
        fuzz::violated("a stopped script holds more openings than file lines");
    if (!generated && generated.error().kind != ErrorKind::InvalidName)
        fuzz::violated("generation failed on a readable list for another reason than a name");
}

void checkRoundTrip(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    FileList model;
    while (!fields.empty()) {
        ListedFolder folder{fields.next(), {}};
        for (int i = 0; i < 3 && !fields.empty(); ++i)
            folder.names.push_back(fields.next());
        model.push_back(std::move(folder));
    }
    RemoveNamesOutsideAnsi(model);
    const std::string list = fuzz::scratchFolder() + "Liste-model.txt";
    const Result<int> written = WriteFileList(list, model);
    if (!written)
        return; // a name with CR LF, refused
    const Result<FileList> read = ReadFileList(list);
    if (!read)
        fuzz::violated("a written list cannot be read");
    // Read back, each name is the name written; folders read back as written whenever they
    // hold no line break and start no line as a folder line would.
    std::vector<std::string> before, after;
    for (const ListedFolder& folder : model)
        for (const std::string& name : folder.names)
            if (!folder.names.empty())
                before.push_back(name);
    for (const ListedFolder& folder : *read)
        for (const std::string& name : folder.names)
            after.push_back(name);
    if (before != after)
        fuzz::violated("list names read back differ from those written");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkGeneration(std::string(reinterpret_cast<const char*>(data), size));
    checkRoundTrip(data, size);
    return 0;
}
