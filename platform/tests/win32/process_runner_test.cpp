// What only the Windows runner has: handles, and the system's refusal to start a program.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "platform/tests/testing/process_runner_backend.h"
#include "platform/win32/system_error.h"

namespace {

using platform::capture_result::NotStarted;

// Asks about every handle value a small test process uses: GetProcessHandleCount is a stub that
// answers 0 under Wine.
DWORD OpenHandles() {
    DWORD count = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 0x2000; value += 4)
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    if (count == 0) throw std::runtime_error("cannot count this process's handles");
    return count;
}

class Win32ProcessRunner : public ::testing::Test {
protected:
    int Run(const std::string& command, const std::string& script, const std::string& directory,
            bool useInputPipe, const platform::LineCallback& onLine) {
        return backend->Runner().CaptureExecute(command, script, directory, onLine, nullptr,
                                                useInputPipe);
    }
    int RunChild(const std::string& script, bool useInputPipe,
                 const platform::LineCallback& onLine) {
        return Run(backend->ChildCommand(), script, backend->ExistingDirectory(), useInputPipe,
                   onLine);
    }

    std::unique_ptr<testing_support::ProcessRunnerBackend> backend =
        testing_support::MakeProcessRunnerBackend();
};

TEST_F(Win32ProcessRunner, ClosesEveryHandleOnEveryPath) {
    const auto ignore = [](const std::string&, bool&) {};
    const auto stop = [](const std::string&, bool& abort) { abort = true; };
    const auto fail = [](const std::string&, bool&) { throw std::runtime_error("callback"); };
    const struct {
        const char* path;
        std::function<void()> run;
    } paths[] = {
        {"normal run", [&] { RunChild("out:a\\n exit:1", false, ignore); }},
        {"abort", [&] { RunChild("out:a\\n sleep:20000", false, stop); }},
        {"abort through the input pipe",
         [&] { RunChild("ctrlc:4 out:a\\n sleep:20000", true, stop); }},
        {"callback threw",
         [&] {
             EXPECT_THROW(RunChild("out:a\\n sleep:20000", true, fail), std::runtime_error);
         }},
        {"program could not start",
         [&] { Run("qv_no_such_program.exe", "", backend->ExistingDirectory(), true, ignore); }},
    };
    for (const auto& path : paths) {
        path.run();  // the first time may allocate handles the runtime and system keep
        const DWORD before = OpenHandles();
        path.run();
        EXPECT_EQ(OpenHandles(), before) << "handles left open by: " << path.path;
    }
}

TEST_F(Win32ProcessRunner, MissingDirectoryMeansTheProgramCannotStart) {
    bool called = false;
    const int result = Run(backend->ChildCommand(), "out:x\\n",
                           backend->ExistingDirectory() + "\\qv-no-such-folder", false,
                           [&](const std::string&, bool&) { called = true; });
    EXPECT_EQ(result, NotStarted);
    EXPECT_FALSE(called);
}

TEST_F(Win32ProcessRunner, AProgramThatCannotStartIsExplainedInTheSystemsWords) {
    const auto ignore = [](const std::string&, bool&) {};
    EXPECT_EQ(Run("qv_no_such_program.exe", "", backend->ExistingDirectory(), false, ignore), NotStarted);
    EXPECT_EQ(backend->Runner().StartFailure(), platform::win32::SystemMessage(ERROR_FILE_NOT_FOUND));
}

}  // namespace
