#include "platform/win32/win32_process_runner.h"

#include <windows.h>

#include "platform/capture_loop.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {
namespace {

// How long to wait for a terminated program to be gone, so that its exit code is the one it
// was terminated with rather than "still active".
constexpr DWORD TerminationWaitMilliseconds = 5000;

// A start that the system refuses for a passing reason (short of memory or resources; Wine
// reports a process it failed to create as an internal error) is tried again a few times. A
// program that is missing or may not be run is not.
constexpr int StartAttempts = 4;
constexpr DWORD StartRetryMilliseconds = 50;

bool PassingStartFailure(DWORD error) {
    switch (error) {
    case ERROR_INTERNAL_ERROR:
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
    case ERROR_NO_SYSTEM_RESOURCES:
    case ERROR_COMMITMENT_LIMIT: return true;
    default: return false;
    }
}

struct Pipe {
    UniqueKernelHandle read;
    UniqueKernelHandle write;

    bool Create(SECURITY_ATTRIBUTES& attributes, DWORD size) {
        return ::CreatePipe(read.put(), write.put(), &attributes, size) != FALSE;
    }
};

// Borrows the handles of one run; the runner owns them.
class Win32Child : public StartedChild {
public:
    Win32Child(HANDLE process, HANDLE outputRead, HANDLE inputWrite)
        : process_(process), outputRead_(outputRead), inputWrite_(inputWrite) {}

    bool WaitForExit(int milliseconds) override {
        return ::WaitForSingleObject(process_, static_cast<DWORD>(milliseconds)) != WAIT_TIMEOUT;
    }

    std::size_t BytesAvailable() override {
        DWORD available = 0;
        if (!::PeekNamedPipe(outputRead_, nullptr, 0, nullptr, &available, nullptr)) return 0;
        return available;
    }

    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD got = 0;
        ::ReadFile(outputRead_, buffer, static_cast<DWORD>(size), &got, nullptr);
        return got;
    }

    bool HasInputPipe() const override { return inputWrite_ != nullptr; }

    void WriteInput(const std::string& bytes) override {
        DWORD written = 0;
        ::WriteFile(inputWrite_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                    nullptr);
    }

    void Terminate(int exitCode) override {
        if (::TerminateProcess(process_, static_cast<UINT>(exitCode)))
            ::WaitForSingleObject(process_, TerminationWaitMilliseconds);
    }

    int ExitCode() override {
        DWORD code = 0;
        // Unknown is never reported as success.
        if (!::GetExitCodeProcess(process_, &code)) return capture_result::NotStarted;
        return static_cast<int>(code);
    }

    std::string OemToAnsi(std::string text) override {
        if (!text.empty())
            ::OemToCharBuffA(text.data(), text.data(), static_cast<DWORD>(text.size()));
        return text;
    }

private:
    HANDLE process_;
    HANDLE outputRead_;
    HANDLE inputWrite_;
};

}  // namespace

int Win32ProcessRunner::CaptureExecute(const std::string& command, const std::string& parameters,
                                       const std::string& directory, const LineCallback& onLine,
                                       const IdleCallback& onIdle, bool useInputPipe) {
    if (!onLine) {
        startFailure_ = NoLineCallback;
        return capture_result::NotRun;
    }

    SECURITY_ATTRIBUTES inheritable{};
    inheritable.nLength = sizeof inheritable;
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;

    // Declared so that they close in the order input pipe, then output pipe.
    Pipe output;
    Pipe input;
    if (!output.Create(inheritable, OutputPipeBytes) || (useInputPipe && !input.Create(inheritable, 0))) {
        startFailure_ = "its pipe could not be created: " + SystemMessage(::GetLastError());
        return capture_result::NotRun;
    }

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = useInputPipe ? input.read.get() : ::GetStdHandle(STD_INPUT_HANDLE);
    // One pipe for both streams keeps them in the order the program wrote them.
    startup.hStdOutput = output.write.get();
    startup.hStdError = output.write.get();

    PROCESS_INFORMATION started{};
    for (int attempt = 1;; ++attempt) {
        std::string commandLine = command + " " + parameters;  // CreateProcessA may write to it
        if (::CreateProcessA(nullptr, commandLine.data(), &inheritable, nullptr, TRUE, 0, nullptr,
                             directory.empty() ? nullptr : directory.c_str(), &startup, &started))
            break;
        const DWORD error = ::GetLastError();
        if (attempt == StartAttempts || !PassingStartFailure(error)) {
            startFailure_ = SystemMessage(error);
            return capture_result::NotStarted;
        }
        ::Sleep(StartRetryMilliseconds * static_cast<DWORD>(attempt));
    }
    startFailure_.clear();
    const UniqueKernelHandle process(started.hProcess);
    UniqueKernelHandle(started.hThread).reset();  // never needed

    Win32Child child(process.get(), output.read.get(), input.write.get());
    return RunCaptureLoop(child, onLine, onIdle);
}

}  // namespace platform::win32
