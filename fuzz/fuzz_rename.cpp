// The renaming rules. A new name is what the rule makes of the name, worked out here a second,
// plainer way, and never more than a bare name the lists can hold and Windows can give a file:
// no separator, not empty, "." or "..", none of the characters Windows forbids, no final space
// or dot, no device name, every character in the ANSI code page. A renaming run over a folder
// renames only the listed files of that folder, each to the name the rule gives it, and touches
// nothing outside the folder; a name the rule cannot make renames no file at all; only the files
// that took a new name are counted.

#include "base/codepage.h"
#include "base/numbers.h"
#include "fuzzsupport.h"
#include "rename/renaming.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace pilotrame;
namespace fs = std::filesystem;

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Byte offsets where the characters of text begin, and the size of the text last. A byte that
// continues a character begins none, except at the very start.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i == 0 || !IsContinuation(text[i]))
            starts.push_back(i);
    starts.push_back(text.size());
    return starts;
}

// The first count characters of text (the whole text when it has fewer).
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
    const std::vector<std::size_t> starts = CharacterStarts(text);
    return text.substr(0, starts[std::min(count, starts.size() - 1)]);
}

std::string_view AfterCharacters(std::string_view text, std::size_t count) {
    return text.substr(FirstCharacters(text, count).size());
}

// A count box as the rule reads it: a number rounded half to even, 0 to 32767.
std::optional<std::size_t> CountBox(const std::string& text, char separator, Cause& cause) {
    const std::optional<double> number = ParseNumber(text, separator);
    if (!number) {
        cause = Cause::NotANumber;
        return std::nullopt;
    }
    // The default rounding mode rounds halves to the even neighbour.
    const double whole = std::nearbyint(*number);
    if (!(whole >= 0 && whole <= 32767)) {
        cause = Cause::OutOfRange;
        return std::nullopt;
    }
    return static_cast<std::size_t>(whole);
}

bool IsBare(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

// A name Windows can give a file: none of the characters it forbids, no final space or dot, not
// the name of one of its devices, whatever the extension.
bool WindowsCanHold(std::string_view name) {
    if (name.empty() || name.back() == ' ' || name.back() == '.')
        return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F ||
            std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            return false;
    }
    std::string stem(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    while (!stem.empty() && stem.front() == ' ')
        stem.erase(0, 1);
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const std::set<std::string> devices = {
        "CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7",
        "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
    return !devices.contains(stem);
}

// What the rule should make of name: the new name, or the cause of the failure expected.
struct Expected {
    std::optional<std::string> name;
    Cause cause = Cause::System;
};

Expected ExpectedName(std::string_view name, const RenameJob& job, char separator) {
    Expected expected;
    const std::vector<std::size_t> starts = CharacterStarts(name);
    if (starts.size() - 1 < 4) {
        expected.cause = Cause::InvalidName;
        return expected;
    }
    const std::string_view base = name.substr(0, starts[starts.size() - 5]);
    const std::string_view extension = name.substr(base.size());
    const std::optional<std::size_t> start = CountBox(job.start, separator, expected.cause);
    if (!start)
        return expected;
    std::string renamed;
    switch (job.rule) {
    case RenameRule::Delete: {
        const std::optional<std::size_t> length = CountBox(job.length, separator, expected.cause);
        if (!length)
            return expected;
        renamed.append(FirstCharacters(base, *start));
        renamed.append(AfterCharacters(base, *start + *length));
        renamed.append(extension);
        break;
    }
    case RenameRule::Insert:
        renamed.append(FirstCharacters(base, *start));
        renamed.append(job.text);
        renamed.append(AfterCharacters(base, *start));
        renamed.append(extension);
        break;
    case RenameRule::Extension:
        renamed.append(base);
        renamed.append(job.newExtension);
        break;
    }
    if (!IsBare(renamed) || !WindowsCanHold(renamed)) {
        expected.cause = Cause::InvalidName;
        return expected;
    }
    if (!FitsAnsi(renamed)) {
        expected.cause = Cause::NotInCodePage;
        return expected;
    }
    expected.name = std::move(renamed);
    return expected;
}

void CheckRenamedName(std::string_view name, const RenameJob& job, char separator) {
    const Result<std::string> renamed = RenamedName(name, job, separator);
    const Expected expected = ExpectedName(name, job, separator);
    if (renamed) {
        const std::string& result = *renamed;
        if (result.empty() || result == "." || result == "..")
            fuzz::Violated("a new name names no file of the folder", result);
        if (result.find('/') != std::string::npos || result.find('\0') != std::string::npos)
            fuzz::Violated("a new name holds a separator", result);
        if (!FitsAnsi(result))
            fuzz::Violated("a new name holds a character no list can hold", result);
        if (!WindowsCanHold(result))
            fuzz::Violated("a new name is one Windows cannot hold", result);
        if (!expected.name || *expected.name != result)
            fuzz::Violated("a new name differs from what the rule makes", result);
        // The arithmetic of the rules on byte lengths.
        if (job.rule == RenameRule::Insert && result.size() != name.size() + job.text.size())
            fuzz::Violated("an insertion does not add the text's length", result);
        if (job.rule == RenameRule::Delete && result.size() > name.size())
            fuzz::Violated("a deletion made a name longer", result);
        if (job.rule == RenameRule::Insert && ParseInteger(job.start) == 0 &&
            result.compare(0, job.text.size(), job.text) != 0)
            fuzz::Violated("an insertion at 0 does not start with the text", result);
        if (job.rule == RenameRule::Extension &&
            (result.size() < job.newExtension.size() ||
             result.compare(result.size() - job.newExtension.size(), std::string::npos,
                            job.newExtension) != 0))
            fuzz::Violated("a new extension is not at the end", result);
    } else {
        if (expected.name)
            fuzz::Violated("a rule that makes a bare name failed", *expected.name);
        if (renamed.error().cause != expected.cause)
            fuzz::Violated("a rule failed for another reason than expected", std::string(name));
    }
}

// The names in a folder.
std::set<std::string> Entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

void Touch(const fs::path& path) {
    std::ofstream(path, std::ios::binary) << "x";
}

// The part of a path that the system calls see: up to its first NUL.
std::string_view SystemPath(std::string_view path) {
    return path.substr(0, path.find('\0'));
}

// True when nothing at path (as the system sees it) lies outside the folder within: a run that
// went wrong must never reach the files of the machine.
bool Harmless(std::string_view path, const fs::path& within) {
    std::error_code ec;
    const fs::path seen{std::string(SystemPath(path))};
    if (!fs::exists(fs::symlink_status(seen, ec)))
        return true;
    const std::string inside = fs::canonical(seen, ec).string();
    const std::string folder = fs::canonical(within).string() + "/";
    return !ec && inside.compare(0, folder.size(), folder) == 0;
}

// Renames listed files of a folder beside a file and a folder that must not change. The folder
// line is the run's folder followed by suffix ("" for the folder itself, "./", "../o/" for
// others, or a name that none has).
void CheckRenamingRun(const std::string& suffix, const std::vector<std::string>& listed,
                      const RenameJob& job, char separator) {
    const fs::path root = fs::path(fuzz::ScratchFolder()) / "rename";
    const fs::path folder = root / "r";
    const fs::path other = root / "o";
    fs::remove_all(root);
    fs::create_directories(folder);
    fs::create_directories(other);
    Touch(root / "outside.dwg");
    Touch(other / "inner.dwg");
    Touch(folder / "plan");

    const std::string listedFolder = folder.string() + "/" + FromAnsi(suffix);
    std::string list = "\v" + folder.string() + "/" + suffix + "\r\n";
    std::vector<std::string> names; // as the run sees them, UTF-8
    for (const std::string& bytes : listed) {
        list += "\t" + bytes + "\r\n";
        names.push_back(FromAnsi(bytes));
        const std::string& name = names.back();
        if (IsBare(name) && name.size() < 200)
            Touch(folder / name);
        // Also as a system call would see it with the folder cut at a NUL.
        if (!Harmless(listedFolder + name, root) ||
            !Harmless(std::string(SystemPath(listedFolder)) + "/" + name, root))
            return;
    }
    // The folder the system would open, and the folder the list names: one of the three here,
    // or none when it does not exist or holds a NUL.
    std::error_code ec;
    if (!Harmless(listedFolder, root) &&
        !fs::equivalent(fs::path(std::string(SystemPath(listedFolder))), root, ec))
        return;
    std::optional<fs::path> named;
    if (listedFolder.find('\0') == std::string::npos && fs::is_directory(listedFolder, ec))
        for (const fs::path& candidate : {root, folder, other})
            if (fs::equivalent(listedFolder, candidate, ec))
                named = candidate;
    const std::string listPath = (root / "Liste01.txt").string();
    std::ofstream(listPath, std::ios::binary) << list;

    std::map<fs::path, std::set<std::string>> model;
    for (const fs::path& each : {root, folder, other})
        model[each] = Entries(each);

    // The run as it should go: every new name made first, and none renamed when one cannot be;
    // then in list order, each listed file of the named folder renamed within it, stopping at
    // the first that cannot be. A file that keeps its name is not counted.
    // A file line with no name is a fault of the list itself, found as the list is read.
    int renamed = 0;
    bool stopped = false;
    Operation stoppedIn = Operation::RenameFile;
    for (const std::string& name : names) {
        if (name.empty())
            stoppedIn = Operation::ReadList;
        if (!IsBare(name) || listedFolder.find('\0') != std::string::npos ||
            !ExpectedName(name, job, separator).name) {
            stopped = true;
            break;
        }
    }
    for (const std::string& name : names) {
        if (stopped)
            break;
        const Expected expected = ExpectedName(name, job, separator);
        std::set<std::string>* files = named ? &model[*named] : nullptr;
        if (!files || !files->contains(name) || expected.name->size() > 255 ||
            (*expected.name != name && files->contains(*expected.name))) {
            stopped = true;
            break;
        }
        files->erase(name);
        files->insert(*expected.name);
        if (*expected.name != name)
            ++renamed;
    }

    ListPosition position;
    const RenameReport report = RenameListedFiles(listPath, job, position, separator);
    for (const auto& [each, files] : model)
        if (Entries(each) != files)
            fuzz::Violated(named && each == *named
                               ? "a renaming left its folder otherwise than the rule says"
                               : "a renaming changed a file outside its folder",
                           each.string());
    if (report.renamed != renamed || report.failure.has_value() != stopped)
        fuzz::Violated("a renaming reports another count than it did");
    if (report.failure && report.failure->operation != stoppedIn)
        fuzz::Violated(stoppedIn == Operation::ReadList
                           ? "a nameless file line is not a list fault"
                           : "a renaming failure is not a rename failure");
}

} // namespace

// Fields: rule, decimal separator, start, length, text, new extension, folder suffix, then up
// to four names.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Fields fields(data, size);
    const std::string rule = fields.next();
    const std::string separatorField = fields.next();
    const char separator = separatorField.empty() ? ',' : separatorField.front();
    RenameJob job;
    job.rule = static_cast<RenameRule>(rule.empty() ? 0 : static_cast<unsigned char>(rule[0]) % 3);
    job.start = fields.next();
    job.length = fields.next();
    job.text = fields.next();
    job.newExtension = fields.next();
    const auto withoutCrLf = [](std::string text) {
        // A list line cannot hold a CR or an LF: the list reader ends a line at either.
        std::erase_if(text, [](char c) { return c == '\r' || c == '\n'; });
        return text;
    };
    const std::string suffix = withoutCrLf(fields.next());
    std::vector<std::string> names;
    while (!fields.empty() && names.size() < 4)
        names.push_back(withoutCrLf(fields.next()));
    for (const std::string& name : names)
        CheckRenamedName(name, job, separator);
    CheckRenamingRun(suffix, names, job, separator);
    return 0;
}
