#include "platform/memory/memory_system_info.h"
#include "platform/tests/testing/system_info_backend.h"

namespace testing_support {

namespace {

class MemoryBackend : public SystemInfoBackend {
public:
    MemoryBackend() {
        info_.programFolder = "C:\\Tests";
        ownId_ = info_.StartProcess(OwnProgramPath(), {"C:\\Windows\\system32\\kernel32.dll"});
        info_.StartProcess("C:\\Windows\\explorer.exe");
        info_.resourceModules[ResourceModulePath()] = {{64431, "Eigene Projekte"},
                                                       {100, std::string(1500, 'x')}};
    }
    platform::SystemInfo& Info() override { return info_; }
    std::string OwnProgramPath() override { return "C:\\Tests\\system_info_contract_test.exe"; }
    std::uint32_t OwnProcessId() override { return ownId_; }
    std::string ResourceModulePath() override { return "C:\\Tests\\strings.deu"; }

private:
    platform::memory::MemorySystemInfo info_;
    std::uint32_t ownId_ = 0;
};

}  // namespace

std::unique_ptr<SystemInfoBackend> MakeSystemInfoBackend() {
    return std::make_unique<MemoryBackend>();
}

}  // namespace testing_support
