#include <windows.h>
#include <tlhelp32.h>

#include <stdexcept>

#include "platform/tests/testing/process_runner_backend.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_process_runner.h"

namespace testing_support {
namespace {

constexpr const char* ChildFileName = "capture_child.exe";

// The test programs and capture_child.exe are built into the same folder.
std::string OwnFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length == sizeof path)
        throw std::runtime_error("cannot tell the test program's own path");
    const std::string own(path, length);
    return own.substr(0, own.find_last_of('\\'));
}

std::size_t RunningProcessesNamed(const char* fileName) {
    platform::win32::UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) throw std::runtime_error("cannot list the running processes");
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    std::size_t count = 0;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (::lstrcmpiA(entry.szExeFile, fileName) == 0) ++count;
    }
    return count;
}

class Win32ProcessRunnerBackend : public ProcessRunnerBackend {
public:
    platform::ProcessRunner& Runner() override { return runner_; }
    std::string ChildCommand() const override {
        return "\"" + folder_ + "\\" + ChildFileName + "\"";
    }
    std::string ExistingDirectory() const override { return folder_; }
    std::size_t ChildrenLeftRunning() override { return RunningProcessesNamed(ChildFileName); }

private:
    platform::win32::Win32ProcessRunner runner_;
    std::string folder_ = OwnFolder();
};

}  // namespace

std::unique_ptr<ProcessRunnerBackend> MakeProcessRunnerBackend() {
    return std::make_unique<Win32ProcessRunnerBackend>();
}

}  // namespace testing_support
