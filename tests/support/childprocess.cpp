#include "support/childprocess.h"

#ifndef _WIN32
#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pilotrame::test {

int RunWithFileSizeLimit([[maybe_unused]] std::uint64_t maxFileBytes,
                         [[maybe_unused]] const std::function<int()>& body) {
#ifdef _WIN32
    return -1;
#else
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(maxFileBytes), static_cast<rlim_t>(maxFileBytes)};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(126);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
#endif
}

std::optional<std::string> RunAsUser([[maybe_unused]] unsigned uid, [[maybe_unused]] unsigned gid,
                                     [[maybe_unused]] const std::function<std::string()>& body) {
#ifdef _WIN32
    return std::nullopt;
#else
    if (::geteuid() != 0)
        return std::nullopt;
    int channel[2];
    if (::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(channel[0]);
        // The groups first, while the process may still change them; then the user, for good.
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0 || ::geteuid() != uid || ::getegid() != gid)
            _exit(126);
        const std::string text = body();
        for (std::size_t written = 0; written < text.size();) {
            const ssize_t n = ::write(channel[1], text.data() + written, text.size() - written);
            if (n <= 0)
                _exit(125);
            written += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return text;
#endif
}

} // namespace pilotrame::test
