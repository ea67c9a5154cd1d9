// Start-up benchmark: starts the real program and a bare Qt window program in turn, many times,
// and compares the time to the shown main window and the peak memory. Each start runs to the
// end of the process: both programs end as soon as their window is shown.
//
//     pilotrame_startup_bench [--runs N] [PILOTRAME BAREWINDOW]
//
// --help prints that line; a bad argument prints it to standard error and exits with 2.
// The real program runs from a copy in a temporary folder that already holds its savescript.txt
// (made by one first start before the measured runs), so every measured start is an ordinary
// one. Both programs get the same environment: the offscreen platform and the start-up test
// hooks (a transcript file, and PILOTRAME_TEST_QUIT_MS=0 to end once the window is shown).
// Exits with 1 when a target is missed or a start fails.
//
// Wall time counts the waits for the processor too: on a busy machine run it as root under
// `chrt -f 50`, which both programs inherit, so that other work does not preempt the starts. The
// processor time (user + system) is printed as well; it hardly moves with the machine's load.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr double kTimeTarget = 1.5;
constexpr double kMemoryTarget = 1.3;

struct Run {
    bool ok = false;
    double milliseconds = 0;
    double peakKiB = 0; // ru_maxrss of the child
    double cpuMs = 0;   // user and system time of the child
};

// The environment of every start: ours, with the platform and the test hooks set.
std::vector<std::string> BenchEnvironment(const fs::path& transcript) {
    const std::vector<std::pair<std::string, std::string>> overrides = {
        {"QT_QPA_PLATFORM", "offscreen"},
        {"PILOTRAME_TEST_TRANSCRIPT", transcript.string()},
        {"PILOTRAME_TEST_QUIT_MS", "0"},
    };
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const bool replaced = std::any_of(overrides.begin(), overrides.end(), [&](const auto& o) {
            return text.rfind(o.first + "=", 0) == 0;
        });
        if (!replaced)
            result.push_back(text);
    }
    for (const auto& [name, value] : overrides)
        result.push_back(name + "=" + value);
    return result;
}

Run RunOnce(const fs::path& program, const fs::path& workingFolder,
            const std::vector<std::string>& environment) {
    std::vector<char*> envp;
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    std::string programText = program.string();
    char* argv[] = {programText.data(), nullptr};

    // posix_spawn has no working-folder attribute everywhere; the child inherits ours.
    const fs::path previous = fs::current_path();
    fs::current_path(workingFolder);
    Run run;
    // Their messages (Qt's warnings on the offscreen platform) would only add terminal time.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, programText.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    fs::current_path(previous);
    if (spawned != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", programText.c_str(), std::strerror(spawned));
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    const auto ended = std::chrono::steady_clock::now();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.milliseconds = std::chrono::duration<double, std::milli>(ended - started).count();
    run.peakKiB = static_cast<double>(usage.ru_maxrss);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    run.cpuMs = ms(usage.ru_utime) + ms(usage.ru_stime);
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr const char* kUsage = "usage: pilotrame_startup_bench [--runs N] [PILOTRAME BAREWINDOW]\n";

// N: a whole number of starts, at least one.
bool ReadRuns(const char* text, int& runs) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 100000)
        return false;
    runs = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 30;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        const bool known = argument == "--runs" ? i + 1 < argc && ReadRuns(argv[++i], runs)
                                                : !argument.starts_with('-');
        if (!known || (argument != "--runs" && positional.size() == 2)) {
            std::fprintf(stderr, "pilotrame_startup_bench: bad argument '%s'\n%s", argv[i], kUsage);
            return 2;
        }
        if (argument != "--runs")
            positional.push_back(argument);
    }
    const fs::path program =
        positional.size() > 0 ? fs::path(positional[0]) : fs::path(PILOTRAME_PROGRAM);
    const fs::path bare =
        positional.size() > 1 ? fs::path(positional[1]) : fs::path(PILOTRAME_BAREWINDOW);

    char pattern[] = "/tmp/pilotrame-startup-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    const fs::path copy = folder / program.filename();
    std::error_code copyFailure;
    fs::copy_file(program, copy, copyFailure);
    if (copyFailure) {
        std::fprintf(stderr, "cannot copy %s: %s\n", program.c_str(),
                     copyFailure.message().c_str());
        fs::remove_all(folder, copyFailure);
        return 1;
    }
    const fs::path transcript = folder / "transcript.txt";
    const std::vector<std::string> environment = BenchEnvironment(transcript);

    // The first start writes savescript.txt; it and one bare start also warm the file cache.
    bool ok = RunOnce(copy, folder, environment).ok && RunOnce(bare, folder, environment).ok;
    ok = ok && fs::exists(folder / "savescript.txt");

    std::vector<double> programMs, programKiB, programCpu, bareMs, bareKiB, bareCpu;
    for (int i = 0; ok && i < runs; ++i) {
        // The transcript is appended to, never made anew: the bare program makes no file either.
        const std::size_t before = ReadText(transcript).size();
        const Run real = RunOnce(copy, folder, environment);
        // A start that did not reach its window (another copy running, say) measures nothing.
        ok = real.ok && ReadText(transcript).find("shown|", before) != std::string::npos;
        const Run baseline = RunOnce(bare, folder, environment);
        ok = ok && baseline.ok;
        programMs.push_back(real.milliseconds);
        programKiB.push_back(real.peakKiB);
        programCpu.push_back(real.cpuMs);
        bareMs.push_back(baseline.milliseconds);
        bareKiB.push_back(baseline.peakKiB);
        bareCpu.push_back(baseline.cpuMs);
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!ok) {
        std::fprintf(stderr, "a start failed or did not show its window\n");
        return 1;
    }

    const double timeRatio = Median(programMs) / Median(bareMs);
    const double memoryRatio = Median(programKiB) / Median(bareKiB);
    std::printf("%d starts of each, medians\n", runs);
    std::printf("%-12s %10s %12s %10s\n", "", "time (ms)", "peak (MiB)", "cpu (ms)");
    std::printf("%-12s %10.1f %12.1f %10.1f\n", "pilotrame", Median(programMs),
                Median(programKiB) / 1024, Median(programCpu));
    std::printf("%-12s %10.1f %12.1f %10.1f\n", "bare window", Median(bareMs),
                Median(bareKiB) / 1024, Median(bareCpu));
    const bool timeMet = timeRatio <= kTimeTarget;
    const bool memoryMet = memoryRatio <= kMemoryTarget;
    std::printf("time ratio   %.2f (target at most %.1f) %s\n", timeRatio, kTimeTarget,
                timeMet ? "met" : "MISSED");
    std::printf("memory ratio %.2f (target at most %.1f) %s\n", memoryRatio, kMemoryTarget,
                memoryMet ? "met" : "MISSED");
    // On a busy machine the wall time waits for the processor; the processor time does not.
    std::printf("cpu ratio    %.2f (for reference)\n", Median(programCpu) / Median(bareCpu));
    return timeMet && memoryMet ? 0 : 1;
}
