#include "support/childprocess.h"

#ifndef _WIN32
#include <csignal>
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

} // namespace pilotrame::test
