#include "benchsupport.h"

#include "base/paths.h"

#include <random>
#include <system_error>

namespace pilotrame::bench {

FolderFixture::FolderFixture(std::string_view prefix) {
    std::error_code ec;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(ec);
    if (ec) {
        m_error = "no temporary folder: " + ec.message();
        return;
    }
    // A random name rather than the process number: two runs side by side never share a folder,
    // and a folder left by a killed run is not reused.
    std::random_device random;
    m_root = temporary / (std::string(prefix) + std::to_string(random()));
    std::filesystem::create_directories(m_root, ec);
    if (ec)
        m_error = "cannot create " + FromFsPath(m_root) + ": " + ec.message();
}

FolderFixture::~FolderFixture() {
    if (m_root.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::string FolderFixture::pathOf(std::string_view name) const {
    return FromFsPath(m_root / ToFsPath(name));
}

void SetCounters(benchmark::State& state, std::int64_t items, std::int64_t bytes,
                 std::initializer_list<std::pair<const char*, double>> counters) {
    state.SetItemsProcessed(state.iterations() * items);
    if (bytes > 0)
        state.SetBytesProcessed(state.iterations() * bytes);
    for (const auto& [name, value] : counters)
        state.counters[name] = value;
}

} // namespace pilotrame::bench
