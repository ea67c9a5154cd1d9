#pragma once

#include <cstdint>
#include <functional>

namespace pilotrame::test {

// Runs body in a child process whose files cannot grow past maxFileBytes (RLIMIT_FSIZE, with
// SIGXFSZ ignored, so that a write past the limit fails with EFBIG as on a full disk) and returns
// its exit code, or -1 when the child could not run or ended on a signal. POSIX only.
int RunWithFileSizeLimit(std::uint64_t maxFileBytes, const std::function<int()>& body);

} // namespace pilotrame::test
