#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <utility>

namespace pilotrame::test {

// Runs a call that must return at once, such as a read of a pipe that nobody writes to. A call
// that waits would hold the whole test program for good: after a minute the program ends with a
// message naming the call, rather than hang. This is no measure of speed.
template <typename Call> auto Promptly(const std::string& what, Call call) {
    auto done = std::async(std::launch::async, std::move(call));
    if (done.wait_for(std::chrono::minutes(1)) != std::future_status::ready) {
        std::fprintf(stderr, "\n%s never returned: it waits on what is not a file\n", what.c_str());
        std::fflush(stderr);
        std::_Exit(3);
    }
    return done.get();
}

} // namespace pilotrame::test
