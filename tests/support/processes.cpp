#include "support/processes.h"

#include "base/paths.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include <tlhelp32.h>
#endif

namespace pilotrame::test {

int CountProcessesOf(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path program = fs::weakly_canonical(ToFsPath(path), ec);
    int count = 0;
#ifdef _WIN32
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        const HANDLE process =
            OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        wchar_t name[MAX_PATH * 4];
        DWORD size = MAX_PATH * 4;
        if (QueryFullProcessImageNameW(process, 0, name, &size) &&
            fs::weakly_canonical(fs::path(std::wstring(name, size)), ec) == program)
            ++count;
        CloseHandle(process);
    }
    CloseHandle(snapshot);
#else
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
        std::error_code linkError;
        const fs::path exe = fs::read_symlink(entry.path() / "exe", linkError);
        if (!linkError && exe == program)
            ++count;
    }
#endif
    return count;
}

int ProcessesLeftOf(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int left = CountProcessesOf(path);
    while (left > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        left = CountProcessesOf(path);
    }
    return left;
}

} // namespace pilotrame::test
