#include "session/startup.h"

#include "base/fileio.h"
#include "base/text.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace pilotrame {

namespace {

bool IsSeparator(char c, char separator) {
    return c == separator || (separator == '\\' && c == '/');
}

// The names of a path, "." dropped and ".." taking off the name before it.
std::vector<std::string> PathNames(std::string_view path, char separator) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end], separator))
            ++end;
        const std::string_view name = path.substr(start, end - start);
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.emplace_back(name);
        }
        start = end + 1;
    }
    return names;
}

bool SameName(std::string_view a, std::string_view b, char separator) {
    return separator == '\\' ? EqualsIgnoringCase(a, b) : a == b;
}

#ifdef _WIN32
std::string EnvironmentFolder(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    return value ? FromFsPath(std::filesystem::path(value)) : std::string();
}
#endif

} // namespace

std::vector<std::string> SystemProgramFolders() {
#ifdef _WIN32
    std::vector<std::string> folders;
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432"}) {
        if (std::string folder = EnvironmentFolder(name); !folder.empty())
            folders.push_back(std::move(folder));
    }
    if (folders.empty())
        folders = {"C:\\Program Files", "C:\\Program Files (x86)"};
    return folders;
#else
    return {"/usr",  "/bin", "/sbin",      "/lib",       "/lib64",          "/opt",
            "/snap", "/app", "/nix/store", "/gnu/store", "/var/lib/flatpak"};
#endif
}

bool IsInsideFolder(std::string_view folder, const std::vector<std::string>& roots,
                    char separator) {
    const std::vector<std::string> names = PathNames(folder, separator);
    for (const std::string& root : roots) {
        const std::vector<std::string> rootNames = PathNames(root, separator);
        // An empty root would hold every path: it names no folder.
        if (rootNames.empty() || rootNames.size() > names.size())
            continue;
        if (std::equal(rootNames.begin(), rootNames.end(), names.begin(),
                       [separator](const std::string& a, const std::string& b) {
                           return SameName(a, b, separator);
                       }))
            return true;
    }
    return false;
}

std::string ResolveProgramFolder(std::string_view executableFolder, std::string_view appDataFolder,
                                 const std::vector<std::string>& installFolders, char separator) {
    std::string own = WithTrailingSeparator(executableFolder, separator);
    if (appDataFolder.empty())
        return own;
    const bool installed = IsInsideFolder(executableFolder, installFolders, separator);
    if (!installed && IsFolderWritable(own))
        return own;
    std::error_code ignored;
    std::filesystem::create_directories(ToFsPath(appDataFolder), ignored);
    return WithTrailingSeparator(appDataFolder, separator);
}

SettingsStartup EstablishSettings(SettingsFile& file, Settings& settings, const Settings& defaults,
                                  SettingsUse use) {
    SettingsStartup startup;
    Status readable = CheckReadable(file.path());
    const bool missing = !readable && (readable.error().code == ErrorCode::FileNotFound ||
                                       readable.error().code == ErrorCode::PathNotFound);
    if (missing) {
        settings = defaults;
        startup.created = true;
        if (use == SettingsUse::ReadOnly)
            return startup;
        if (Status saved = file.SaveSettings(settings); !saved)
            startup.failure = saved.error();
        return startup;
    }
    if (!readable) {
        startup.failure = InOperation(readable.error(), Operation::ReadSettings);
        return startup;
    }
    // What the file does not hold keeps its first-run value.
    settings = defaults;
    if (Status loaded = file.LoadSettings(settings); !loaded)
        startup.failure = loaded.error();
    return startup;
}

std::string ResolveScriptFolder(const SettingsStartup& startup, const Settings& settings,
                                std::string_view programFolder, char separator) {
    if (startup.failure && !startup.created && startup.failure->cause != Cause::Damaged)
        return {};
    if (settings.scriptFolder().empty())
        return programFolder.empty() ? std::string()
                                     : WithTrailingSeparator(programFolder, separator);
    return WithTrailingSeparator(settings.scriptFolder(), separator);
}

Settings FirstRunSettings(const std::string& settingsPath,
                          const std::function<ProposedValues(bool withPrinters)>& lists) {
    return DefaultSettings(lists(!HoldsEverySetting(settingsPath)));
}

StartupSettings StartSettings(SettingsFile& file, const std::string& programFolder,
                              const Settings& firstRun, SettingsUse use, char separator) {
    StartupSettings started;
    // What cannot be read keeps its first-run value.
    started.settings = firstRun;
    started.startup = EstablishSettings(file, started.settings, firstRun, use);
    ApplySingleWindowRule(started.settings);
    started.scriptFolder =
        ResolveScriptFolder(started.startup, started.settings, programFolder, separator);
    started.run = LoadRunSettings(std::string(programFolder).append(kRunSettingsFileName));
    return started;
}

} // namespace pilotrame
