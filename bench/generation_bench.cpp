// Script generation over a list of 10,000 drawings with every operation of the main window ticked,
// measured against a baseline that writes the very same bytes with the same file pattern (empty
// the script, then for each drawing: open for appending, write the section, close) and does
// nothing else. The gap between the two is what the generator itself costs on top of the file
// system; the target is a generator at most 1.3 times the baseline.
//
// Build and run (Release):
//   cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DPILOTRAME_BENCH=ON
//   cmake --build build/linux --target pilotrame_bench
//   build/linux/bench/pilotrame_bench --benchmark_repetitions=5

#include "base/codepage.h"
#include "base/fileio.h"
#include "config/settings.h"
#include "script/drawingsection.h"
#include "script/generation.h"
#include "selection/filelist.h"

#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using pilotrame::bench::FixtureOnce;
using pilotrame::bench::RunIterations;

constexpr int kDrawingCount = 10'000;

// The list, as the folder walk of the program writes it for a large job: a few folders with
// thousands of drawings each, accented folder and file names.
std::string ListText() {
    const char* const folders[] = {
        "D:\\Affaires\\2024-017 Hôpital Sud\\Électricité\\",
        "D:\\Affaires\\2024-017 Hôpital Sud\\Plomberie et chauffage\\",
        "\\\\serveur-bureau\\Plans\\Façades à reprendre\\",
        "C:\\Dessins\\Réseaux extérieurs\\",
    };
    const char* const stems[] = {"Plan_é_", "Coupe_à_", "Détail_ç_", "Façade_ô_"};
    constexpr int folderCount = static_cast<int>(std::size(folders));
    std::string text;
    int number = 0;
    for (int f = 0; f < folderCount; ++f) {
        text += pilotrame::kFolderMarker;
        text += folders[f];
        text += "\r\n";
        const int inFolder = kDrawingCount / folderCount + (f < kDrawingCount % folderCount);
        for (int i = 0; i < inFolder; ++i) {
            ++number;
            char digits[16];
            std::snprintf(digits, sizeof digits, "%05d", number);
            text += pilotrame::kFileMarker;
            text += stems[number % 4];
            text += digits;
            text += number % 10 == 0 ? ".dxf" : ".dwg";
            text += "\r\n";
        }
    }
    return text;
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

// What the baseline does: the same file pattern as the generator, with the bytes ready.
bool AppendSections(const std::string& scriptPath, const std::vector<std::string>& sections) {
    std::FILE* file = std::fopen(scriptPath.c_str(), "wb");
    if (file == nullptr || std::fclose(file) != 0)
        return false;
    for (const std::string& section : sections) {
        file = std::fopen(scriptPath.c_str(), "ab");
        if (file == nullptr)
            return false;
        const bool written = std::fwrite(section.data(), 1, section.size(), file) == section.size();
        if (std::fclose(file) != 0 || !written)
            return false;
    }
    return true;
}

// The files of both benchmarks, in a folder of its own, and the sections of one generator run as
// the ANSI bytes that the generator wrote.
class Fixture : public pilotrame::bench::FolderFixture {
public:
    Fixture() : FolderFixture("pilotrame-bench-"), m_job(FullJob()), m_settings(FullSettings()) {
        if (!m_error.empty())
            return;
        m_listPath = pathOf("Liste01.txt");
        m_scriptPath = pathOf("Pilotrame.scr");
        if (!pilotrame::ReplaceFileContent(m_listPath, pilotrame::ToAnsi(ListText()))) {
            m_error = "cannot write " + m_listPath;
            return;
        }

        // One generator run, keeping each section as it goes to the file.
        pilotrame::ListPosition position;
        pilotrame::DrawingSectionWriter writer = makeWriter();
        const pilotrame::SectionWriter keep = [this, &writer](std::string& section,
                                                              const pilotrame::ListPosition& at) {
            pilotrame::Status written = writer(section, at);
            if (written)
                m_sections.push_back(pilotrame::ToAnsi(section));
            return written;
        };
        if (!pilotrame::GenerateScript(m_listPath, m_scriptPath, position, keep)) {
            m_error = "the generator failed";
            return;
        }
        const auto generated = pilotrame::ReadFileBytes(m_scriptPath);
        std::string joined;
        for (const std::string& section : m_sections)
            joined += section;
        if (!generated || *generated != joined ||
            m_sections.size() != static_cast<std::size_t>(kDrawingCount)) {
            m_error = "the sections kept do not make up the generated script";
            return;
        }
        m_scriptSize = static_cast<std::int64_t>(joined.size());

        // The baseline must leave the very same file.
        if (!AppendSections(m_scriptPath, m_sections)) {
            m_error = "the baseline cannot write " + m_scriptPath;
            return;
        }
        const auto baseline = pilotrame::ReadFileBytes(m_scriptPath);
        if (!baseline || *baseline != joined)
            m_error = "the baseline does not write the generated script";
    }

    const std::string& listPath() const { return m_listPath; }
    const std::string& scriptPath() const { return m_scriptPath; }
    // The writer of one generation, made afresh for each as the main window does.
    pilotrame::DrawingSectionWriter makeWriter() const {
        return pilotrame::DrawingSectionWriter(m_job, m_settings, ',');
    }
    const std::vector<std::string>& sections() const { return m_sections; }
    std::int64_t scriptSize() const { return m_scriptSize; }

private:
    pilotrame::DrawingJob m_job;
    pilotrame::Settings m_settings;
    std::string m_listPath;
    std::string m_scriptPath;
    std::vector<std::string> m_sections;
    std::int64_t m_scriptSize = 0;
};

void SetCounters(benchmark::State& state, const Fixture& data) {
    pilotrame::bench::SetCounters(
        state, kDrawingCount, data.scriptSize(),
        {{"drawings", kDrawingCount},
         {"script_MiB", static_cast<double>(data.scriptSize()) / (1024.0 * 1024.0)}});
}

void BM_GenerateScript(benchmark::State& state) {
    const Fixture& data = FixtureOnce<Fixture>();
    pilotrame::ListPosition position;
    const bool ran = RunIterations(state, data.error(), "the generator failed", [&] {
        pilotrame::DrawingSectionWriter writer = data.makeWriter();
        return bool(pilotrame::GenerateScript(data.listPath(), data.scriptPath(), position,
                                              std::ref(writer)));
    });
    if (ran)
        SetCounters(state, data);
}

void BM_BaselineAppend(benchmark::State& state) {
    const Fixture& data = FixtureOnce<Fixture>();
    if (RunIterations(state, data.error(), "the baseline failed to write",
                      [&] { return AppendSections(data.scriptPath(), data.sections()); }))
        SetCounters(state, data);
}

BENCHMARK(BM_GenerateScript)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BaselineAppend)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
