#include "base/fileio.h"

#include "base/paths.h"
#include "batch/runsettings.h"
#include "check/drawingcheck.h"
#include "config/settingsfile.h"
#include "job/jobfile.h"
#include "rename/renaming.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "selection/filelist.h"
#include "session/startup.h"
#include "support/childprocess.h"
#include "support/promptly.h"
#include "support/tempdir.h"
#include "usecases/scriptrun.h"
#include "usecases/scripttext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pilotrame {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(FileIo, ReadMissingFileNamesThePath) {
    TempDir dir;
    const std::string path = dir.path("absent.txt");
    const auto read = ReadFileBytes(path);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().code, ErrorCode::FileNotFound);
    EXPECT_EQ(read.error().path, path);
    EXPECT_EQ(CheckReadable(path).error().code, ErrorCode::FileNotFound);
}

TEST(FileIo, MissingFolderIsAPathError) {
    TempDir dir;
    const std::string path = dir.path("nowhere") + "/x.txt";
    EXPECT_EQ(ReadFileBytes(path).error().code, ErrorCode::PathNotFound);
    const Status replaced = ReplaceFileContent(path, "a");
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::PathNotFound);
}

TEST(FileIo, AFileWhereAFolderShouldBeIsAPathError) {
    TempDir dir;
    WriteBytes(dir.path("plan.txt"), "x");
    const std::string path = dir.path("plan.txt") + "/x.txt";
    const auto read = ReadFileBytes(path);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().code, ErrorCode::PathNotFound);
    EXPECT_EQ(read.error().path, path);
}

TEST(FileIo, AFolderIsNotAFile) {
    TempDir dir;
    EXPECT_EQ(ReadFileBytes(dir.folder()).error().code, ErrorCode::PathFileAccess);
    EXPECT_FALSE(CheckReadable(dir.folder()));
}

// The names in a folder, sorted: what a write leaves beside the file it replaces.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(ToFsPath(folder)))
        names.push_back(FromFsPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// The old file stays whole until the new one is: a replacement that ends without commit, or
// while another one writes, changes nothing and leaves nothing beside it.
TEST(FileIo, AReplacementTakesThePlaceOfTheFileOnlyWhole) {
    TempDir dir;
    const std::string path = dir.path("f.bin");
    const std::string binary("a\0\r\n\xE9", 5);
    WriteBytes(path, "old");
    {
        FileReplacement first(path);
        FileReplacement second(path);
        ASSERT_TRUE(first.open());
        ASSERT_TRUE(second.open());
        ASSERT_TRUE(first.write(binary));
        ASSERT_TRUE(second.write("abandoned"));
        ASSERT_TRUE(first.write("z"));
        EXPECT_EQ(ReadBytes(path), "old");
        ASSERT_TRUE(first.commit(false));
    }
    EXPECT_EQ(ReadBytes(path), binary + "z");
    ASSERT_TRUE(ReplaceFileContent(path, "new"));
    EXPECT_EQ(*ReadFileBytes(path), "new");
    EXPECT_EQ(NamesIn(dir.folder()), std::vector<std::string>{"f.bin"});
}

TEST(FileIo, ReplacingAReadOnlyFileFailsAndKeepsIt) {
    TempDir dir;
    const std::string path = dir.path("ro.txt");
    WriteBytes(path, "old");
    test::SetReadOnly(path, true);
    const Status replaced = ReplaceFileContent(path, "new");
    ASSERT_FALSE(replaced);
    EXPECT_EQ(replaced.error().code, ErrorCode::PermissionDenied);
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(NamesIn(dir.folder()), std::vector<std::string>{"ro.txt"});
}

// Failures that happen whoever runs the tests, root included: a path through a file, a folder
// in place of a file, and a disk that fills up.
TEST(FileIo, ReplacingFailsAndNamesThePath) {
    TempDir dir;
    const std::string file = dir.path("plain.txt");
    WriteBytes(file, "old");
    for (const std::string& path : {file + "/inside.txt", dir.folder()}) {
        const Status replaced = ReplaceFileContent(path, "more");
        ASSERT_FALSE(replaced) << path;
        EXPECT_EQ(replaced.error().path, path);
        EXPECT_NE(replaced.error().code, ErrorCode::DiskFull) << path;
    }
    EXPECT_EQ(ReadBytes(file), "old");
#ifndef _WIN32
    const int code = test::RunWithFileSizeLimit(4096, [&] {
        const Status replaced = ReplaceFileContent(file, std::string(100000, 'x'));
        return !replaced && replaced.error().code == ErrorCode::DiskFull ? 0 : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(file), "old");
    EXPECT_EQ(NamesIn(dir.folder()), std::vector<std::string>{"plain.txt"});
#endif
}

TEST(FileIo, WritableFolderProbeLeavesTheFolderAsItWas) {
    TempDir dir;
    // A file of the user's with the name an earlier probe used is neither emptied nor removed.
    WriteBytes(dir.path(".pilotrame-essai"), "mine");
    EXPECT_TRUE(IsFolderWritable(dir.folder()));
    EXPECT_EQ(ReadBytes(dir.path(".pilotrame-essai")), "mine");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.folder()))
        ++entries;
    EXPECT_EQ(entries, 1u);
    EXPECT_FALSE(IsFolderWritable(dir.path("missing")));
}

#ifndef _WIN32
// Replacing a file keeps what the user set up around it.
TEST(FileIo, ReplacingKeepsLinksAndPermissions) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string real = dir.path("real.txt");
    const std::string link = dir.path("link.txt");
    WriteBytes(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(ReplaceFileContent(link, "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "new");

    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(ReplaceFileContent(real, "newer"));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A hard-linked file is written where it stands, so every name sees the new content.
    const std::string other = dir.path("other-name.txt");
    fs::create_hard_link(real, other);
    ASSERT_TRUE(ReplaceFileContent(real, "shared and longer"));
    EXPECT_EQ(ReadBytes(other), "shared and longer");
    ASSERT_TRUE(ReplaceFileContent(other, "short"));
    EXPECT_EQ(ReadBytes(real), "short");
    EXPECT_EQ(fs::hard_link_count(real), 2u);
}

// Every writer writes through a link, also to a file that does not exist yet, which it makes
// where the link points; a chain of links that leads back on itself names no file.
TEST(FileIo, EveryWriterWritesThroughALinkAndKeepsIt) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string list = dir.path("liste.txt");
    WriteBytes(list, "\v" + dir.folder() + "\r\n\ta.dwg\r\n");
    ListPosition at;
    using Path = const std::string&;
    const std::pair<std::string, std::function<bool(Path)>> writers[] = {
        {"script",
         [&](Path path) {
             return !!WriteScript({list, path, {}, {}, ','}, at, nullptr);
         }},
        {"script text", [](Path path) { return !!SaveScriptText(path, "zoom"); }},
        {"settings", [](Path path) { return !!SettingsFile(path).SaveSettings(Settings{}); }},
        {"job", [](Path path) { return !!SaveJobFile(path, MainJob{}, ','); }},
        {"list",
         [](Path path) {
             return !!WriteFileList(path, {{"/p/", {"a"}}});
         }},
        {"run settings", [](Path path) { return !!SaveRunSettings(path, RunSettings{}); }},
    };
    fs::create_directory(dir.path("ailleurs"));
    for (const auto& [name, write] : writers) {
        for (const std::string exists : {"", " existing"}) {
            SCOPED_TRACE(name + exists);
            const std::string link = dir.path(name + exists);
            if (!exists.empty())
                WriteBytes(dir.path("ailleurs/" + name + exists), "old");
            fs::create_symlink("ailleurs/" + name + exists, link);
            ASSERT_TRUE(write(link));
            EXPECT_TRUE(fs::is_symlink(link));
            EXPECT_NE(ReadBytes(dir.path("ailleurs/" + name + exists)), "old");
        }
    }
    fs::create_symlink(dir.path("b"), dir.path("a"));
    fs::create_symlink(dir.path("a"), dir.path("b"));
    EXPECT_FALSE(ReplaceFileContent(dir.path("a"), "x"));
    EXPECT_TRUE(fs::is_symlink(dir.path("a")));
}
#endif

// ---- Reading never waits, and never takes more than a file's kind can hold ----

template <typename T> std::optional<Error> Outcome(const Result<T>& result) {
    if (result)
        return std::nullopt;
    return result.error();
}

// Every reader of the program: the file operations, and each use case that reads a list, a job,
// the settings or a script text. folder is a scratch folder for what a reader writes.
struct Reader {
    std::string name;
    Operation operation;
    std::function<std::optional<Error>(const std::string& path, const std::string& folder)> read;
};

std::vector<Reader> EveryReader() {
    const auto acceptEveryFile = [](const ListPosition&) { return Success(); };
    return {
        {"ReadFileBytes", Operation::None,
         [](const std::string& path, const std::string&) { return Outcome(ReadFileBytes(path)); }},
        {"ReadFileBytes with a limit", Operation::None,
         [](const std::string& path, const std::string&) {
             return Outcome(ReadFileBytes(path, 1024));
         }},
        {"ReadFilePart", Operation::None,
         [](const std::string& path, const std::string&) {
             return Outcome(ReadFilePart(path, 100, 100));
         }},
        {"ReadFileInPieces", Operation::None,
         [](const std::string& path, const std::string&) -> std::optional<Error> {
             const Status read = ReadFileInPieces(
                 path, [](std::string_view) { return Success(); }, 7);
             if (read)
                 return std::nullopt;
             return read.error();
         }},
        {"CheckReadable", Operation::None,
         [](const std::string& path, const std::string&) { return Outcome(CheckReadable(path)); }},
        {"WalkFileList", Operation::ReadList,
         [acceptEveryFile](const std::string& path, const std::string&) {
             ListPosition position;
             return Outcome(WalkFileList(path, position, acceptEveryFile));
         }},
        {"ReadFileList", Operation::ReadList,
         [](const std::string& path, const std::string&) { return Outcome(ReadFileList(path)); }},
        {"LoadJobFile", Operation::ReadJob,
         [](const std::string& path, const std::string&) { return Outcome(LoadJobFile(path)); }},
        {"ReadScriptText", Operation::None,
         [](const std::string& path, const std::string&) { return Outcome(ReadScriptText(path)); }},
        {"LoadSettings", Operation::ReadSettings,
         [](const std::string& path, const std::string&) {
             SettingsFile file(path);
             Settings settings;
             return Outcome(file.LoadSettings(settings));
         }},
        {"SaveSettings", Operation::SaveSettings,
         [](const std::string& path, const std::string&) {
             return Outcome(SettingsFile(path).SaveSettings(Settings{}));
         }},
        {"EstablishSettings", Operation::ReadSettings,
         [](const std::string& path, const std::string&) {
             SettingsFile file(path);
             Settings settings;
             return EstablishSettings(file, settings, Settings{}).failure;
         }},
        {"CheckDrawings", Operation::ReadList,
         [](const std::string& path, const std::string&) { return Outcome(CheckDrawings(path)); }},
        {"GenerateScript", Operation::ReadList,
         [](const std::string& path, const std::string& folder) {
             ListPosition position;
             return Outcome(
                 GenerateScript(path, folder + "Pilotrame.scr", position,
                                [](std::string&, const ListPosition&) { return Success(); }));
         }},
        {"WriteScript", Operation::ReadList,
         [](const std::string& path, const std::string& folder) {
             ListPosition position;
             const ScriptRequest request{path, folder + "Pilotrame.scr", {}, {}, ','};
             return Outcome(WriteScript(request, position, nullptr));
         }},
        {"RenameListedFiles", Operation::ReadList,
         [](const std::string& path, const std::string&) {
             ListPosition position;
             return RenameListedFiles(path, RenameJob{}, position).failure;
         }},
    };
}

// What is at a path before and after the readers: none of them may replace a pipe, a device or
// a folder by a file of its own.
std::filesystem::file_type KindAt(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::status(ToFsPath(path), ignored).type();
}

#ifdef _WIN32
// A named pipe that no program writes to, for as long as it lives.
class NamedPipe {
public:
    explicit NamedPipe(std::string path) : m_path(std::move(path)) {
        m_handle = CreateNamedPipeW(ToFsPath(m_path).c_str(), PIPE_ACCESS_OUTBOUND,
                                    PIPE_TYPE_BYTE | PIPE_WAIT, PIPE_UNLIMITED_INSTANCES, 4096,
                                    4096, 0, nullptr);
    }
    ~NamedPipe() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;
    bool made() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    std::string m_path;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};
#endif

// A pipe that nobody writes to, a device that never ends and a folder, given to every reader:
// each returns at once, refuses the path as no ordinary file, names it, and leaves it as it was.
TEST(FileIo, NoReaderWaitsOnAPipeADeviceOrAFolder) {
    TempDir dir;
    std::vector<std::string> paths;
    const std::string folder = dir.path("dossier");
    std::filesystem::create_directory(ToFsPath(folder));
    paths.push_back(folder);
#ifdef _WIN32
    const std::string pipe =
        "\\\\.\\pipe\\pilotrame-essai-" + std::to_string(GetCurrentProcessId());
    NamedPipe server(pipe);
    ASSERT_TRUE(server.made()) << GetLastError();
    paths.push_back(pipe);
    paths.push_back("NUL");
#else
    const std::string pipe = dir.path("tube");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0) << std::strerror(errno);
    paths.push_back(pipe);
    const std::string link = dir.path("lien");
    std::filesystem::create_symlink(pipe, link);
    paths.push_back(link);
    // Never /dev/null: a reader that took it for an empty file could go on to write over it.
    if (test::FileExists("/dev/zero"))
        paths.push_back("/dev/zero");
#endif
    const std::string scratch = dir.path("travail") + std::string(1, kNativeSeparator);
    std::filesystem::create_directory(ToFsPath(scratch));
    for (const std::string& path : paths) {
        const auto kind = KindAt(path);
        for (const Reader& reader : EveryReader()) {
            SCOPED_TRACE(reader.name + " " + path);
            const std::optional<Error> error = test::Promptly(
                reader.name + " on " + path, [&] { return reader.read(path, scratch); });
            ASSERT_TRUE(error);
            EXPECT_EQ(error->cause, Cause::NotAFile);
            EXPECT_EQ(error->code, ErrorCode::PathFileAccess);
            EXPECT_EQ(error->path, path);
            if (reader.operation != Operation::None) {
                EXPECT_EQ(error->operation, reader.operation);
            }
            EXPECT_EQ(KindAt(path), kind);
        }
        EXPECT_FALSE(test::Promptly("HoldsEverySetting on " + path, [&] {
            return HoldsEverySetting(path);
        })) << path;
    }
}

// A limit refuses the file before it is read; the list, which may rightly be very large, has
// none.
TEST(FileIo, ALimitRefusesLargerFilesBeforeReadingThem) {
    TempDir dir;
    const std::string path = dir.path("f.txt");
    struct Case {
        std::size_t size;
        std::uint64_t limit;
        bool read;
    };
    const Case cases[] = {
        {0, 0, true},           {10, 10, true},
        {11, 10, false},        {10, 0, false},
        {100000, 65536, false}, {100000, 99999, false},
        {100000, 100000, true}, {200000, kNoSizeLimit, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.size) + " / " + std::to_string(c.limit));
        const std::string bytes(c.size, 'x');
        WriteBytes(path, bytes);
        const Result<std::string> read = ReadFileBytes(path, c.limit);
        if (c.read) {
            ASSERT_TRUE(read);
            EXPECT_EQ(*read, bytes);
            continue;
        }
        ASSERT_FALSE(read);
        EXPECT_EQ(read.error().cause, Cause::TooLarge);
        EXPECT_EQ(read.error().number, static_cast<int>(c.limit));
        EXPECT_EQ(read.error().path, path);
    }
}

#ifndef _WIN32
// A file that the system sizes at nothing may still hold bytes (/proc): the limit is kept while
// reading too, not only on the size given at the opening.
TEST(FileIo, ALimitHoldsWhileReading) {
    if (!test::FileExists("/proc/self/status"))
        GTEST_SKIP() << "no /proc here";
    const Result<std::string> whole = ReadFileBytes("/proc/self/status");
    ASSERT_TRUE(whole);
    ASSERT_GT(whole->size(), 10u);
    const Result<std::string> limited = ReadFileBytes("/proc/self/status", 10);
    ASSERT_FALSE(limited);
    EXPECT_EQ(limited.error().cause, Cause::TooLarge);
}
#endif

TEST(FileIo, APartOfAFileIsWhatItHoldsThere) {
    TempDir dir;
    const std::string path = dir.path("f.bin");
    WriteBytes(path, "0123456789");
    struct Case {
        std::uint64_t offset;
        std::size_t length;
        std::string expected;
    };
    const Case cases[] = {
        {0, 4, "0123"}, {6, 4, "6789"}, {6, 100, "6789"}, {10, 5, ""}, {1000, 5, ""}, {3, 0, ""},
    };
    for (const Case& c : cases) {
        const Result<std::string> part = ReadFilePart(path, c.offset, c.length);
        ASSERT_TRUE(part) << c.offset;
        EXPECT_EQ(*part, c.expected) << c.offset;
    }
    EXPECT_EQ(ReadFilePart(dir.path("absent"), 0, 4).error().code, ErrorCode::FileNotFound);
}

} // namespace
} // namespace pilotrame
