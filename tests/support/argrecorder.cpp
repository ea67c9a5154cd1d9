// Stands in for AutoCAD and Excel in tests: writes each argument it receives, one a line, to
// "arguments.txt" beside itself, then ends. On Windows it also writes its whole command line, as
// the system handed it over, to "commandline.txt", and the arguments are read as UTF-16 so that
// accented ones arrive whole.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

namespace {
std::string Utf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length > 0 ? length - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), length, nullptr, nullptr);
    return out;
}
} // namespace
#endif

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv, argv + argc);
    std::filesystem::path self(argv[0]);
#ifdef _WIN32
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        arguments.clear();
        for (int i = 0; i < count; ++i)
            arguments.push_back(Utf8(wide[i]));
        LocalFree(wide);
    }
    wchar_t module[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
    self = module;
    std::ofstream(self.parent_path() / "commandline.txt", std::ios::binary)
        << Utf8(GetCommandLineW());
#endif
    std::ofstream out(self.parent_path() / "arguments.txt", std::ios::binary);
    for (std::size_t i = 1; i < arguments.size(); ++i)
        out << arguments[i] << '\n';
    return 0;
}
