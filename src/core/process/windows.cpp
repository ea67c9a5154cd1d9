// The Windows implementation of the process module: programs started detached, and consoles
// watched in a job object.
#ifdef _WIN32
#include "base/utf8.h"
#include "process/childprocess.h"
#include "process/process.h"
#include "process/systemstarter.h"
#include "process/watch.h"

#include <atomic>
#include <mutex>
#include <vector>

#include <windows.h>

namespace pilotrame {

using namespace watch;

namespace {

// The system's description of error; empty where it has none.
std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length > 0 ? WideToUtf8(std::wstring_view(text, length)) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

// Why CreateProcessW failed with error.
Error StartFailureFromWindows(DWORD error, const std::string& program) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME:
        return StartFailure(program, error == ERROR_FILE_NOT_FOUND ? ErrorCode::FileNotFound
                                                                   : ErrorCode::PathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return StartFailure(program, ErrorCode::PermissionDenied);
    case ERROR_BAD_EXE_FORMAT:
    case ERROR_EXE_MACHINE_TYPE_MISMATCH:
    case ERROR_EXE_MARKED_INVALID:
    case ERROR_INVALID_EXE_SIGNATURE:
    case ERROR_BAD_FORMAT:
    case ERROR_DIRECTORY:
        return StartFailure(program, ErrorCode::PathFileAccess, Cause::NotAProgram);
    default: {
        Error failure =
            StartFailure(program, ErrorCode::DeviceIo, Cause::System, SystemMessage(error));
        failure.number = static_cast<int>(error); // for a failure without a description
        return failure;
    }
    }
}

} // namespace

Status SystemStarter::startDetached(const ProgramStart& start) {
    std::wstring commandLine = Utf8ToWide(WindowsCommandLine(start));
    const std::wstring program = Utf8ToWide(start.program);
    if (program.empty())
        return StartFailure(start.program, ErrorCode::FileNotFound);
    // CreateProcessW refuses a folder as access denied: it is said for what it is.
    const DWORD attributes = GetFileAttributesW(program.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return StartFailureFromWindows(ERROR_DIRECTORY, start.program);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (start.maximised) {
        startup.dwFlags |= STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMAXIMIZED;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup, &process))
        return StartFailureFromWindows(GetLastError(), start.program);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return Success();
}

namespace {

// Why a watched program could not be started or has no code: the step, and the system's error.
void NoteFailure(ChildOutcome& outcome, ChildStep step = ChildStep::Program,
                 DWORD error = GetLastError()) {
    outcome.failedStep = step;
    outcome.systemError = static_cast<long long>(error);
    outcome.reason = SystemMessage(error);
}

// How long a process that was told to end, and then its output, are waited for: a program that
// cannot be ended, or a process outside the job that holds the pipe, must not hold the run.
constexpr DWORD kEndWaitMs = 5000;
constexpr DWORD kOutputWaitMs = 1000;

// The handles a run owns, closed whatever way it ends. The job is closed last: closing it ends
// whatever is still in it.
struct Handles {
    HANDLE job = nullptr;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
    HANDLE outputWrite = nullptr;
    HANDLE input = nullptr;
    ~Handles() {
        for (HANDLE handle : {thread, process, outputWrite, input, job})
            if (handle && handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
};

// The read end of the child's output: a named pipe of the run's own, read with overlapped calls,
// since an anonymous pipe has no read that can be waited for with a time limit.
class OutputPipe {
public:
    OutputPipe() { m_overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~OutputPipe() {
        // A read still under way writes into this object: it is cancelled and waited for.
        if (m_pending && CancelIoEx(m_read, &m_overlapped)) {
            DWORD got = 0;
            GetOverlappedResult(m_read, &m_overlapped, &got, TRUE);
        }
        for (HANDLE handle : {m_read, m_overlapped.hEvent})
            if (handle && handle != INVALID_HANDLE_VALUE)
                CloseHandle(handle);
    }
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    // Makes the pipe; the write end, inheritable, goes to the child.
    bool open(HANDLE& writeEnd, ChildOutcome& failure) {
        static std::atomic<unsigned> runs{0};
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const std::wstring name =
            L"\\\\.\\pipe\\pilotrame-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(runs++) + L"-" + std::to_wstring(GetTickCount64());
        // One instance, made here first: no other program can take the name or its place.
        m_read = CreateNamedPipeW(name.c_str(),
                                  PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED |
                                      FILE_FLAG_FIRST_PIPE_INSTANCE,
                                  PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
                                  sizeof m_buffer, 0, nullptr);
        if (m_read != INVALID_HANDLE_VALUE)
            writeEnd = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, 0,
                                   nullptr);
        if (m_read == INVALID_HANDLE_VALUE || writeEnd == INVALID_HANDLE_VALUE ||
            !m_overlapped.hEvent) {
            NoteFailure(failure);
            return false;
        }
        return true;
    }

    // Signalled when a read has ended.
    HANDLE event() const { return m_overlapped.hEvent; }

    // Keeps what has come; false once every holder of the write end has closed it.
    bool take(const ChildOutputSink& onOutput) {
        while (true) {
            if (!m_pending) {
                if (!ReadFile(m_read, m_buffer, sizeof m_buffer, nullptr, &m_overlapped) &&
                    GetLastError() != ERROR_IO_PENDING)
                    return false;
                m_pending = true;
            }
            DWORD got = 0;
            if (!GetOverlappedResult(m_read, &m_overlapped, &got, FALSE)) {
                if (GetLastError() == ERROR_IO_INCOMPLETE)
                    return true;
                m_pending = false;
                return false;
            }
            m_pending = false;
            Pass(onOutput, m_buffer, got);
        }
    }

private:
    HANDLE m_read = INVALID_HANDLE_VALUE;
    OVERLAPPED m_overlapped{};
    bool m_pending = false;
    char m_buffer[16384];
};

// The child gets the handles of its input and output and no other, whatever this program has
// open. Where the system would pass on every inheritable handle regardless, starts also take
// turns, so that a console does not get the pipe of another and keep it open past that one's end.
std::mutex& StartMutex() {
    static std::mutex mutex;
    return mutex;
}

// Starts the program suspended, in its job, or ends it and says why.
bool StartInJob(const ProgramStart& start, Handles& handles, HANDLE outputWrite,
                ChildOutcome& failure) {
    std::lock_guard lock(StartMutex());
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handles.input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inheritable, OPEN_EXISTING, 0, nullptr);
    if (handles.input == INVALID_HANDLE_VALUE) {
        NoteFailure(failure);
        return false;
    }
    HANDLE passed[] = {handles.input, outputWrite};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        NoteFailure(failure);
        return false;
    }
    const bool listed = UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                                  passed, sizeof passed, nullptr, nullptr);
    if (!listed)
        NoteFailure(failure);

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = handles.input;
    startup.StartupInfo.hStdOutput = outputWrite;
    startup.StartupInfo.hStdError = outputWrite;
    startup.lpAttributeList = list;
    std::wstring commandLine = Utf8ToWide(WindowsCommandLine(start));
    const std::wstring program = Utf8ToWide(start.program);
    PROCESS_INFORMATION process{};
    const bool created =
        listed && CreateProcessW(program.empty() ? nullptr : program.c_str(), commandLine.data(),
                                 nullptr, nullptr, TRUE,
                                 CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW |
                                     EXTENDED_STARTUPINFO_PRESENT,
                                 nullptr, nullptr, &startup.StartupInfo, &process);
    if (listed && !created)
        NoteFailure(failure);
    DeleteProcThreadAttributeList(list);
    if (!created)
        return false;
    handles.process = process.hProcess;
    handles.thread = process.hThread;
    // A program that would run outside the job could outlive the run: it never runs at all.
    if (!AssignProcessToJobObject(handles.job, handles.process) ||
        ResumeThread(handles.thread) == static_cast<DWORD>(-1)) {
        NoteFailure(failure, ChildStep::IntoJob);
        TerminateProcess(handles.process, 1);
        WaitForSingleObject(handles.process, kEndWaitMs);
        return false;
    }
    return true;
}

// The job that ends every process of the run when it is closed: by the run at its end, or by the
// system should this program die.
bool MakeJob(Handles& handles, ChildOutcome& failure) {
    handles.job = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (handles.job && SetInformationJobObject(handles.job, JobObjectExtendedLimitInformation,
                                               &limits, sizeof limits))
        return true;
    NoteFailure(failure, ChildStep::MakeJob);
    return false;
}

} // namespace

ChildOutcome RunChild(const ProgramStart& start, Clock::time_point deadline,
                      const std::function<bool()>& stopRequested, const ChildOutputSink& onOutput) {
    ChildOutcome outcome;
    Handles handles;
    OutputPipe output;
    if (!MakeJob(handles, outcome) || !output.open(handles.outputWrite, outcome) ||
        !StartInJob(start, handles, handles.outputWrite, outcome))
        return outcome;
    // The child holds its own copies now: the pipe ends when the child and what it starts end.
    CloseHandle(handles.outputWrite);
    handles.outputWrite = nullptr;
    CloseHandle(handles.input);
    handles.input = nullptr;

    outcome.end = ChildEnd::Exited;
    bool outputOpen = true;
    while (true) {
        if (outputOpen)
            outputOpen = output.take(onOutput);
        const HANDLE waits[] = {handles.process, output.event()};
        const DWORD waited = WaitForMultipleObjects(outputOpen ? 2 : 1, waits, FALSE,
                                                    static_cast<DWORD>(WaitFor(deadline).count()));
        if (waited == WAIT_OBJECT_0)
            break;
        if (waited == WAIT_FAILED)
            Sleep(static_cast<DWORD>(kStopPoll.count()));
        if (const std::optional<ChildEnd> end = StoppedOrLate(stopRequested, deadline)) {
            outcome.end = *end;
            break;
        }
    }
    // What the program left running ends with it; a program stopped or late ends here.
    TerminateJobObject(handles.job, 1);
    const DWORD waited = WaitForSingleObject(handles.process, kEndWaitMs);
    if (outcome.end == ChildEnd::Exited) {
        DWORD code = 0;
        if (waited == WAIT_OBJECT_0 && GetExitCodeProcess(handles.process, &code)) {
            outcome.exitCode = static_cast<long long>(code);
        } else {
            outcome.end = ChildEnd::ExitUnknown;
            NoteFailure(outcome, ChildStep::Program,
                        waited == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError());
        }
    }
    // What is left in the pipe, now that the job is empty; a holder outside it gets a moment.
    const ULONGLONG drained = GetTickCount64() + kOutputWaitMs;
    while (outputOpen && output.take(onOutput)) {
        const ULONGLONG now = GetTickCount64();
        if (now >= drained)
            break;
        WaitForSingleObject(output.event(), static_cast<DWORD>(drained - now));
    }
    return outcome;
}

} // namespace pilotrame

#endif
