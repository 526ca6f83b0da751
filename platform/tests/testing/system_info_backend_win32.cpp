#include <windows.h>

#include "platform/tests/testing/system_info_backend.h"
#include "platform/win32/win32_system_info.h"

namespace testing_support {

namespace {

class Win32Backend : public SystemInfoBackend {
public:
    platform::SystemInfo& Info() override { return info_; }
    std::string OwnProgramPath() override {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        return path;
    }
    std::uint32_t OwnProcessId() override { return GetCurrentProcessId(); }
    // Built beside the tests from tests/testing/test_strings.rc.
    std::string ResourceModulePath() override { return info_.ProgramFolder() + "\\test_strings.deu"; }

private:
    platform::win32::Win32SystemInfo info_;
};

}  // namespace

std::unique_ptr<SystemInfoBackend> MakeSystemInfoBackend() {
    return std::make_unique<Win32Backend>();
}

}  // namespace testing_support
