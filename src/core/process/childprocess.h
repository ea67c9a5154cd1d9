#pragma once

#include "process/process.h"

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

namespace pilotrame {

// How a watched program ended.
enum class ChildEnd {
    Exited,      // it ended by itself; exitCode holds its code
    TimedOut,    // it was still running at the deadline and was ended
    Stopped,     // it was ended because the caller asked to stop
    NotStarted,  // the system could not start it, or not where it can be ended with all it
                 // starts; reason says why
    ExitUnknown, // it ended, but the system did not give its exit code; reason says why
};

// Where the start of a watched program failed. On Windows a program runs in a job object or not
// at all: the job is a step of its own.
enum class ChildStep {
    Program, // the program itself, or the pipe of its output
    MakeJob, // the job object could not be made
    IntoJob, // the program could not be put into its job, which ends it with all it starts
};

struct ChildOutcome {
    ChildEnd end = ChildEnd::NotStarted;
    // The exit code of a program that ended by itself. A POSIX program ended by a signal (a
    // crash) gets 128 plus the signal's number, as shells report it; a crashed Windows program
    // has the exception code the system gives (0xC0000005 …).
    long long exitCode = 0;
    // Why it could not start or has no code: the step that failed (NotStarted), and the system's
    // words, or, where it has none, its number of the failure.
    ChildStep failedStep = ChildStep::Program;
    std::string reason;
    long long systemError = 0;
};

// Takes what a watched program writes on its standard output and error, bytes as they come, in
// order: one call at a time, every call made before RunChild returns. Nothing of the output is
// kept by RunChild itself, so a program that writes without end costs no memory.
using ChildOutputSink = std::function<void(std::string_view bytes)>;

// Runs a program that the program watches (an AutoCAD console on one drawing) and returns when it
// has ended: by itself, at the deadline, or when stopRequested turns true (asked from the calling
// thread a few times a second, at least every kStopPoll, and at each piece of output: a caller may
// do its own upkeep there). Its output goes to onOutput (dropped when null), its input is empty.
// Whatever way it ends, every process it started ends with it, also when this program dies, even
// by SIGKILL: on POSIX a small guard process stands between this program and the program, which
// leads a process group of its own, takes back as their subreaper whatever the program's
// processes leave behind (also those that left the group or the session), and kills them all when
// this program ends the run or dies; on Windows it runs in a job object that ends all its
// processes, also when this program dies, and it is not started when it cannot be put in one. It
// inherits no handle of this program but its input and output. Once it has ended, what is left of
// its output is waited for a second at most: a process that escaped and holds the pipe does not
// hold the run. Safe to call from several threads at once.
ChildOutcome RunChild(const ProgramStart& start, std::chrono::steady_clock::time_point deadline,
                      const std::function<bool()>& stopRequested = nullptr,
                      const ChildOutputSink& onOutput = nullptr);

} // namespace pilotrame
