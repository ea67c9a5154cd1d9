#pragma once

#include "process/childprocess.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>

// What the Windows and the POSIX implementations of RunChild share.
namespace pilotrame::watch {

using Clock = std::chrono::steady_clock;

// How often a waiting run looks at the stop request: a user who presses "Arrêter" or Ctrl-C sees
// the consoles end within this time. The end of a program itself is seen at once.
constexpr std::chrono::milliseconds kStopPoll{100};

// Hands output on to the sink, when there is one.
inline void Pass(const ChildOutputSink& onOutput, const char* bytes, std::size_t size) {
    if (onOutput && size > 0)
        onOutput(std::string_view(bytes, size));
}

// How long to wait before looking again: until the deadline, kStopPoll at most.
inline std::chrono::milliseconds WaitFor(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::clamp(left, std::chrono::milliseconds(0), kStopPoll);
}

// How a child still running must end now: Stopped when asked to stop, TimedOut past its
// deadline; nothing while it may go on.
inline std::optional<ChildEnd> StoppedOrLate(const std::function<bool()>& stopRequested,
                                             Clock::time_point deadline) {
    if (stopRequested && stopRequested())
        return ChildEnd::Stopped;
    if (Clock::now() >= deadline)
        return ChildEnd::TimedOut;
    return std::nullopt;
}

} // namespace pilotrame::watch
