#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace pilotrame::test {

// Runs body in a child process whose files cannot grow past maxFileBytes (RLIMIT_FSIZE, with
// SIGXFSZ ignored, so that a write past the limit fails with EFBIG as on a full disk) and returns
// its exit code, or -1 when the child could not run or ended on a signal. POSIX only.
int RunWithFileSizeLimit(std::uint64_t maxFileBytes, const std::function<int()>& body);

// An unprivileged user and group that exist on every Debian system ("nobody", "nogroup").
inline constexpr unsigned kNobody = 65534;

// Runs body in a child process that has dropped every privilege for the user uid and the group
// gid, and returns the text body gave. nullopt when the process is not root (only root may
// become another user), or when the child could not drop to that user or did not end normally.
// POSIX only: nullopt on Windows.
std::optional<std::string> RunAsUser(unsigned uid, unsigned gid,
                                     const std::function<std::string()>& body);

} // namespace pilotrame::test
