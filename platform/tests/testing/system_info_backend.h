#pragma once
// What the system-information contract tests run against, and what they may expect of it.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/system_info.h"

namespace testing_support {

class SystemInfoBackend {
public:
    virtual ~SystemInfoBackend() = default;
    virtual platform::SystemInfo& Info() = 0;
    // The test program itself, as the system lists it.
    virtual std::string OwnProgramPath() = 0;
    virtual std::uint32_t OwnProcessId() = 0;
    // A resource-only module whose string 64431 is "Eigene Projekte" and 100 is 1500 "x".
    virtual std::string ResourceModulePath() = 0;
};

std::unique_ptr<SystemInfoBackend> MakeSystemInfoBackend();

}  // namespace testing_support
