// Stands in for AutoCAD's console (accoreconsole.exe) in tests and in the benchmark:
//     standinconsole /i DRAWING /s SCRIPT [/l LANGUAGE]
// It checks that the drawing and the script exist (exit code 2 otherwise), saves the drawing by
// appending one line to it (so that a test sees that each drawing was done exactly once), writes
// "<name>.dxf" beside it when the script holds "_saveas" then "DXF", and writes what it does on
// its output in UTF-16LE, as the real console does. What it does next follows the words of the
// drawing's name, separated by "_":
//     sleepN   sleeps N milliseconds
//     exitN    ends with the code N
//     crash    ends on a crash (a signal on POSIX, an access violation on Windows)
//     child    starts a child of its own that never ends, then goes on
//     escape   the same, but the child leaves its session (setsid on POSIX) first
//     sayEP    writes "ÉCHEC DE L’ÉCRITURE" in the encoding E (u: UTF-16LE, 8: UTF-8, w:
//              Windows-1252), placed by P: a straight after the lines before, o after one odd byte,
//              n after "x" and a zero byte, p cut in two writes a moment apart
//     hang     never ends
//     unknown  says that a command of the script is unknown, as the French console does, and goes
//              on to end with code 0
//     nosave   saves nothing: neither the drawing nor a DXF
//     bigN     writes N MB (10^6 bytes) of output
//     leakN    (Windows) hands its output to the process N, which keeps the pipe open
// With the single argument --child it is that child: it never ends. It first writes its command
// line (Windows) and arguments, and the files it holds when the script's name holds "ouverts".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#else
#include <csignal>
#include <unistd.h>
#endif

namespace {

[[noreturn]] void SleepForEver() {
    while (true)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

// Writes text (ASCII and Latin-1 from UTF-8) as UTF-16LE on the standard output.
void Say(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned int unit = static_cast<unsigned char>(text[i]);
        if ((unit & 0xE0) == 0xC0 && i + 1 < text.size()) {
            unit = ((unit & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
        }
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

// Writes size bytes of output, a line of UTF-16LE over and over.
void SayMuch(std::size_t size) {
    std::string line;
    for (const char c :
         std::string("Regeneration du modele, 0123456789 0123456789 0123456789\r\n")) {
        line += c;
        line += '\0';
    }
    std::string block;
    while (block.size() < 65536)
        block += line;
    for (std::size_t written = 0; written < size; written += block.size())
        std::fwrite(block.data(), 1, std::min(block.size(), size - written), stdout);
    std::fflush(stdout);
}

// Writes a failure message in an encoding and a place of its own, as a console whose output mixes
// encodings would.
void SayFailure(char encoding, char placement) {
    std::string message;
    if (encoding == 'u') {
        for (const char16_t unit : std::u16string(u"\u00C9CHEC DE L\u2019\u00C9CRITURE\r\n")) {
            message += static_cast<char>(unit & 0xFF);
            message += static_cast<char>(unit >> 8);
        }
    } else if (encoding == '8') {
        message = "\xC3\x89"
                  "CHEC DE L\xE2\x80\x99\xC3\x89"
                  "CRITURE\r\n";
    } else {
        message = "\xC9"
                  "CHEC DE L\x92\xC9"
                  "CRITURE\r\n";
    }
    const std::string before = placement == 'o'   ? "x"
                               : placement == 'n' ? std::string("x\0", 2)
                                                  : "";
    std::string bytes = before + message;
    const std::size_t half = placement == 'p' ? bytes.size() / 2 + 1 : bytes.size();
    std::fwrite(bytes.data(), 1, half, stdout);
    std::fflush(stdout);
    if (half < bytes.size()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::fwrite(bytes.data() + half, 1, bytes.size() - half, stdout);
        std::fflush(stdout);
    }
}

void StartHangingChild(const char* self, bool leaveSession) {
#ifdef _WIN32
    (void)leaveSession;
    std::wstring line = L"\"";
    wchar_t module[MAX_PATH * 4];
    GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
    line += module;
    line += L"\" --child";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
#else
    if (::fork() == 0) {
        if (leaveSession)
            ::setsid();
        ::execl(self, self, "--child", static_cast<char*>(nullptr));
        ::_exit(127);
    }
#endif
    (void)self;
}

#ifdef _WIN32
std::string Utf8(std::wstring_view wide) {
    std::string out(wide.size() * 3, '\0');
    out.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}
#endif

void SayOpenFiles() {
#ifdef _WIN32
    wchar_t name[MAX_PATH * 4];
    for (ULONG_PTR value = 4; value < 2048; value += 4) {
        const auto handle = reinterpret_cast<HANDLE>(value);
        if (GetFileType(handle) == FILE_TYPE_DISK)
            Say("Fichier ouvert : " +
                Utf8({name, GetFinalPathNameByHandleW(handle, name, MAX_PATH * 4, 0)}) + "\r\n");
    }
#else
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", ec))
        Say("Fichier ouvert : " + std::filesystem::read_symlink(entry, ec).string() + "\r\n");
#endif
}

[[noreturn]] void Crash() {
#ifdef _WIN32
    // At once, as without a debugger: Wine would start its own first, slowly.
    SetUnhandledExceptionFilter(
        [](EXCEPTION_POINTERS*) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
    RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
#else
    std::signal(SIGSEGV, SIG_DFL);
    std::raise(SIGSEGV);
#endif
    std::abort();
}

} // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** wideArgv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> argv(static_cast<std::size_t>(argc));
    std::transform(wideArgv, wideArgv + argc, argv.begin(), Utf8);
#else
int main(int argc, char** argv) {
#endif
    if (argc == 2 && std::string(argv[1]) == "--child")
        SleepForEver();
#ifdef _WIN32
    Say("Ligne de commande : " + Utf8(GetCommandLineW()) + "\r\n");
#endif
    for (int i = 1; i < argc; ++i)
        Say("Argument : " + std::string(argv[i]) + "\r\n");
    std::string drawing;
    std::string script;
    std::string language;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "/i")
            drawing = argv[i + 1];
        else if (option == "/s")
            script = argv[i + 1];
        else if (option == "/l")
            language = argv[i + 1];
    }
    if (script.find("ouverts") != std::string::npos)
        SayOpenFiles();
    namespace fs = std::filesystem;
    const fs::path drawingPath = fs::u8path(drawing);
    if (drawing.empty() || script.empty() || !fs::is_regular_file(drawingPath) ||
        !fs::is_regular_file(fs::u8path(script))) {
        Say("Erreur : dessin ou script introuvable\r\n");
        return 2;
    }
    Say("Console AutoCAD de test : ouverture de " + drawing + " (" + language + ")\r\n");
    Say("Exécution du script " + script + "\r\n");

    std::string words = drawingPath.stem().string();
    if (("_" + words + "_").find("_nosave_") == std::string::npos) {
        std::ofstream(drawingPath, std::ios::app | std::ios::binary) << "fait\n";
        std::ifstream lines(fs::u8path(script), std::ios::binary);
        std::string line;
        bool saveAs = false;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (saveAs && line == "DXF")
                std::ofstream(fs::path(drawingPath).replace_extension(".dxf"), std::ios::binary)
                    << "dxf\n";
            saveAs = line == "_saveas";
        }
    }
    int exitCode = 0;
    std::size_t start = 0;
    while (start <= words.size()) {
        const std::size_t end = std::min(words.find('_', start), words.size());
        const std::string word = words.substr(start, end - start);
        if (word.rfind("sleep", 0) == 0 && word.size() > 5)
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(word.c_str() + 5)));
        else if (word.rfind("exit", 0) == 0 && word.size() > 4)
            exitCode = std::atoi(word.c_str() + 4);
        else if (word == "crash")
            Crash();
        else if (word == "child" || word == "escape")
            StartHangingChild(std::string(argv[0]).c_str(), word == "escape");
        else if (word.rfind("say", 0) == 0 && word.size() == 5)
            SayFailure(word[3], word[4]);
        else if (word == "hang")
            SleepForEver();
        else if (word == "unknown")
            Say("Commande inconnue \"ZOOMX\". Appuyez sur F1 pour obtenir de l'aide.\r\n");
        else if (word.rfind("big", 0) == 0 && word.size() > 3)
            SayMuch(static_cast<std::size_t>(std::atoi(word.c_str() + 3)) * 1000 * 1000);
#ifdef _WIN32
        else if (word.rfind("leak", 0) == 0)
            DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE),
                            OpenProcess(PROCESS_DUP_HANDLE, FALSE, std::stoul(word.substr(4))),
                            nullptr, 0, FALSE, DUPLICATE_SAME_ACCESS);
#endif
        start = end + 1;
    }
    Say("Fin du script\r\n");
    return exitCode;
}
