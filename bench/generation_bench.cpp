// Script generation over lists of 10,000 and 1,000,000 drawings with every operation of the main
// window ticked, each measured against a baseline that does the least the job needs: read the
// list file's bytes, then write the very same script bytes with the same file pattern (a new file
// beside the script, the sections in the generator's pieces, then a rename over the script) with
// the bare system calls, and nothing else. The gap between the two is what the generator itself
// costs on top of the file system; the target is a generator at most 1.05 times the baseline.
//
// The peak memory of a generation is measured apart, before any benchmark runs, in a child
// process for each length of list (MeasureGenerationMemory): a list is read as the script is
// written, so the peak for 1,000,000 drawings is to stay within 1.2 times that for 10,000.

#include "base/codepage.h"
#include "base/fileio.h"
#include "config/settings.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "selection/filelist.h"
#include "usecases/scriptrun.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

constexpr int kSmallList = 10'000;
constexpr int kLargeList = 1'000'000;

// The list, as the folder walk of the program writes it for a large job: a few folders with
// thousands of drawings each, accented folder and file names. Written a line at a time, so that
// making a long list takes no more memory than a short one.
bool WriteList(const std::string& path, int drawings) {
    const char* const folders[] = {
        "D:\\Affaires\\2024-017 Hôpital Sud\\Électricité\\",
        "D:\\Affaires\\2024-017 Hôpital Sud\\Plomberie et chauffage\\",
        "\\\\serveur-bureau\\Plans\\Façades à reprendre\\",
        "C:\\Dessins\\Réseaux extérieurs\\",
    };
    const char* const stems[] = {"Plan_é_", "Coupe_à_", "Détail_ç_", "Façade_ô_"};
    constexpr int folderCount = static_cast<int>(std::size(folders));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = true;
    const auto put = [&](const std::string& line) {
        const std::string ansi = pilotrame::ToAnsi(line);
        written = written && std::fwrite(ansi.data(), 1, ansi.size(), file) == ansi.size();
    };
    int number = 0;
    for (int f = 0; f < folderCount; ++f) {
        put(pilotrame::kFolderMarker + std::string(folders[f]) + "\r\n");
        const int inFolder = drawings / folderCount + (f < drawings % folderCount);
        for (int i = 0; i < inFolder; ++i) {
            ++number;
            char digits[16];
            std::snprintf(digits, sizeof digits, "%05d", number);
            put(pilotrame::kFileMarker + std::string(stems[number % 4]) + digits +
                (number % 10 == 0 ? ".dxf" : ".dwg") + "\r\n");
        }
    }
    return std::fclose(file) == 0 && written;
}

// Every operation of the main window ticked, with decimal coordinates typed the French way.
pilotrame::DrawingJob FullJob() {
    pilotrame::DrawingJob job;
    job.plot = true;
    job.customScript = true;
    job.scriptText = "_-calque\r\nch\r\nCartouche\r\n\r\n";
    job.purge = true;
    job.purgeAll = true;
    job.zoomExtents = true;
    job.transfer = true;
    job.dwgToDxf = true;
    job.erase = true;
    job.eraseSelection = pilotrame::EraseSelection::Fence;
    job.erasePoints = {"12,5", "-3,25", "1250", "980,75"};
    job.insert = true;
    job.insertFile = true;
    job.insertPath = "C:\\Blocs\\Cartouche_société.dwg";
    job.replaceAttribute = true;
    job.attributeCorners = {"0", "0", "420", "297,5"};
    job.attributeOld = "INDICE_A";
    job.attributeNew = "INDICE_B";
    job.replaceText = true;
    job.replaceTexts = {"Ancienne désignation", "Nouvelle désignation", "Rév. A", "Rév. B"};
    return job;
}

pilotrame::Settings FullSettings() {
    using namespace pilotrame;
    Settings settings = DefaultSettings(
        ProposeSettingValues({"Traceur"}, FolderStyle::Windows, std::string_view()));
    settings.check[slot::objectSnapOff - kComboCount - kOptionCount] = 1;
    settings.check[slot::plotPaperSpace - kComboCount - kOptionCount] = 1;
    return settings;
}

// The script's bytes, and where each drawing's section ends in them.
struct Sections {
    std::string bytes;
    std::vector<std::size_t> ends;
};

#ifndef _WIN32
// Reads the whole file through one buffer and drops the bytes: the least reading of the list.
bool ReadThrough(const std::string& path, std::vector<char>& buffer) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    ssize_t done = 0;
    while ((done = ::read(descriptor, buffer.data(), buffer.size())) > 0) {
    }
    return ::close(descriptor) == 0 && done == 0;
}

// What the baseline does: read the list, then the generator's file pattern with the bytes ready:
// a new file made beside the script, the sections written in the generator's pieces (whole
// sections, a piece as soon as it holds kScriptPieceSize bytes), then renamed over the script.
bool BaselineGeneration(const std::string& listPath, const std::string& scriptPath,
                        const Sections& sections, std::vector<char>& buffer) {
    if (!ReadThrough(listPath, buffer))
        return false;
    const std::string temporary = scriptPath + ".~baseline";
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return false;
    bool written = true;
    const auto write = [&](std::size_t from, std::size_t to) {
        const auto size = static_cast<ssize_t>(to - from);
        written = written && ::write(descriptor, sections.bytes.data() + from, to - from) == size;
    };
    std::size_t start = 0;
    for (const std::size_t end : sections.ends) {
        if (end - start >= pilotrame::kScriptPieceSize) {
            write(start, end);
            start = end;
        }
    }
    write(start, sections.bytes.size());
    return ::close(descriptor) == 0 && written &&
           ::rename(temporary.c_str(), scriptPath.c_str()) == 0;
}
#endif

// True when the file at path holds exactly bytes; read a part at a time.
bool FileHolds(const std::string& path, std::string_view bytes) {
    std::size_t offset = 0;
    const pilotrame::Status read =
        pilotrame::ReadFileInPieces(path, [&](std::string_view piece) -> pilotrame::Status {
            if (bytes.substr(offset, piece.size()) != piece)
                return pilotrame::Error{};
            offset += piece.size();
            return pilotrame::Success();
        });
    return read && offset == bytes.size();
}

// The files of both benchmarks for a list of Count drawings, in a folder of their own, and the
// sections of one generator run as the ANSI bytes that the generator wrote.
template <int Count> class Fixture : public pilotrame::bench::FolderFixture {
public:
    Fixture() : FolderFixture("pilotrame-bench-"), m_job(FullJob()), m_settings(FullSettings()) {
        if (!m_error.empty())
            return;
#ifdef _WIN32
        m_error = "the baseline is written for POSIX systems";
#else
        m_listPath = pathOf("Liste01.txt");
        m_scriptPath = pathOf("Pilotrame.scr");
        if (!WriteList(m_listPath, Count)) {
            m_error = "cannot write " + m_listPath;
            return;
        }

        // One generator run with sections written in UTF-8, keeping each as it goes to the file.
        pilotrame::ListPosition position;
        pilotrame::DrawingSectionWriter writer = makeWriter();
        const pilotrame::SectionWriter keep = [this, &writer](std::string& section,
                                                              const pilotrame::ListPosition& at) {
            pilotrame::Status written = writer(section, at);
            if (written) {
                pilotrame::AppendToAnsi(m_sections.bytes, section);
                m_sections.ends.push_back(m_sections.bytes.size());
            }
            return written;
        };
        if (!pilotrame::GenerateScript(m_listPath, m_scriptPath, position, keep)) {
            m_error = "the generator failed";
            return;
        }
        if (!FileHolds(m_scriptPath, m_sections.bytes) ||
            m_sections.ends.size() != static_cast<std::size_t>(Count)) {
            m_error = "the sections kept do not make up the generated script";
            return;
        }
        // The measured run writes its sections in ANSI from the start: the same bytes.
        pilotrame::DrawingSectionWriter measured = makeWriter();
        if (!pilotrame::GenerateScript(m_listPath, m_scriptPath, position, measured) ||
            !FileHolds(m_scriptPath, m_sections.bytes)) {
            m_error = "the sections written in ANSI differ from those converted";
            return;
        }
        // The baseline must leave the very same file.
        if (!BaselineGeneration(m_listPath, m_scriptPath, m_sections, m_buffer) ||
            !FileHolds(m_scriptPath, m_sections.bytes))
            m_error = "the baseline does not write the generated script";
#endif
    }

    const std::string& listPath() const {
        return m_listPath;
    }
    const std::string& scriptPath() const {
        return m_scriptPath;
    }
    // The writer of one generation, made afresh for each as the main window does.
    pilotrame::DrawingSectionWriter makeWriter() const {
        return pilotrame::DrawingSectionWriter(m_job, m_settings, ',');
    }
    const Sections& sections() const {
        return m_sections;
    }
    std::vector<char>& buffer() {
        return m_buffer;
    }

private:
    pilotrame::DrawingJob m_job;
    pilotrame::Settings m_settings;
    std::string m_listPath;
    std::string m_scriptPath;
    Sections m_sections;
    std::vector<char> m_buffer = std::vector<char>(pilotrame::kReadPieceSize);
};

template <int Count> void SetCounters(benchmark::State& state, const Fixture<Count>& data) {
    const auto size = static_cast<std::int64_t>(data.sections().bytes.size());
    pilotrame::bench::SetCounters(
        state, Count, size,
        {{"drawings", Count}, {"script_MiB", static_cast<double>(size) / (1024.0 * 1024.0)}});
}

template <int Count> void BM_GenerateScript(benchmark::State& state) {
    const Fixture<Count>& data = FixtureOnce<Fixture<Count>>();
    pilotrame::ListPosition position;
    const bool ran = RunIterations(state, data.error(), "the generator failed", [&] {
        pilotrame::DrawingSectionWriter writer = data.makeWriter();
        return bool(
            pilotrame::GenerateScript(data.listPath(), data.scriptPath(), position, writer));
    });
    if (ran)
        SetCounters(state, data);
}

template <int Count> void BM_BaselineGeneration(benchmark::State& state) {
    Fixture<Count>& data = FixtureOnce<Fixture<Count>>();
#ifndef _WIN32
    if (RunIterations(state, data.error(), "the baseline failed to write", [&] {
            return BaselineGeneration(data.listPath(), data.scriptPath(), data.sections(),
                                      data.buffer());
        }))
        SetCounters(state, data);
#else
    RunIterations(state, data.error(), "", [] { return true; });
#endif
}

// Named by their lengths, as main.cpp pairs them.
static_assert(kSmallList == 10'000 && kLargeList == 1'000'000);
BENCHMARK_TEMPLATE(BM_GenerateScript, 10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_BaselineGeneration, 10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_GenerateScript, 1000000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_BaselineGeneration, 1000000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

namespace pilotrame::bench {

GenerationMemory MeasureGenerationMemory() {
    GenerationMemory measured;
#ifdef _WIN32
    measured.error = "measured on POSIX systems only";
#else
    struct Folder : FolderFixture {
        Folder() : FolderFixture("pilotrame-memory-bench-") {}
        using FolderFixture::pathOf;
    } folder;
    if (!folder.error().empty()) {
        measured.error = folder.error();
        return measured;
    }
    // The whole use case of "Générer script" without the check, as the command line runs it.
    const auto peakOf = [&](int drawings) -> long {
        ScriptRequest request;
        request.listPath = folder.pathOf("Liste" + std::to_string(drawings) + ".txt");
        request.scriptPath = folder.pathOf("Pilotrame.scr");
        request.job = FullJob();
        request.settings = FullSettings();
        request.decimalSeparator = ',';
        if (!WriteList(request.listPath, drawings))
            return -1;
        // A child of its own for each length, made while this process is still small: its peak
        // starts from what it shares with this one, the same for both.
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child < 0)
            return -1;
        if (child == 0) {
            ListPosition position;
            const Result<WrittenScript> written = WriteScript(request, position, nullptr);
            ::_exit(written && written->sections == drawings ? 0 : 1);
        }
        int status = 0;
        struct rusage usage {};
        if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0)
            return -1;
        std::remove(request.scriptPath.c_str());
        std::remove(request.listPath.c_str());
        return usage.ru_maxrss;
    };
    measured.smallKiB = peakOf(kSmallList);
    measured.largeKiB = peakOf(kLargeList);
    if (measured.smallKiB <= 0 || measured.largeKiB <= 0)
        measured.error = "a generation in a child process failed";
#endif
    return measured;
}

} // namespace pilotrame::bench
