#include "session/startup.h"

#include "base/fileio.h"

#include <filesystem>
#include <system_error>

namespace pilotrame {

std::string ResolveProgramFolder(std::string_view executableFolder, std::string_view appDataFolder,
                                 char separator) {
    std::string own = WithTrailingSeparator(executableFolder, separator);
    if (IsFolderWritable(own) || appDataFolder.empty())
        return own;
    std::error_code ignored;
    std::filesystem::create_directories(ToFsPath(appDataFolder), ignored);
    return WithTrailingSeparator(appDataFolder, separator);
}

SettingsStartup EstablishSettings(SettingsFile& file, Settings& settings,
                                  const Settings& defaults) {
    SettingsStartup startup;
    Status readable = CheckReadable(file.path());
    const bool missing = !readable && (readable.error().code == ErrorCode::FileNotFound ||
                                       readable.error().code == ErrorCode::PathNotFound);
    if (missing) {
        settings = defaults;
        startup.created = true;
        if (Status saved = file.SaveSettings(settings); !saved)
            startup.failure = saved.error();
        return startup;
    }
    if (!readable) {
        startup.failure = readable.error();
        return startup;
    }
    if (Status loaded = file.LoadSettings(settings); !loaded)
        startup.failure = loaded.error();
    return startup;
}

std::string ResolveScriptFolder(const SettingsStartup& startup, const Settings& settings,
                                char separator) {
    if (startup.failure && !startup.created)
        return {};
    return WithTrailingSeparator(settings.scriptFolder(), separator);
}

} // namespace pilotrame
