#pragma once

#include "platform/system_info.h"

namespace platform::win32 {

class Win32SystemInfo : public SystemInfo {
public:
    OsVersion GetOsVersion() override;
    std::optional<std::string> GetSpecialFolder(SpecialFolder folder) override;
    std::optional<std::string> GetEnv(const std::string& name) override;
    void SetEnv(const std::string& name, const std::string& value) override;
    std::string ProgramFolder() override;
    std::string CurrentDirectory() override;
    std::string LocalDate() override;
    std::optional<std::string> LocaleAbbreviation() override;
    std::optional<std::string> LoadResourceString(const std::string& modulePath,
                                                  std::uint32_t id) override;
    std::optional<std::vector<ProcessEntry>> RunningProcesses() override;
    std::vector<std::string> ProcessModules(std::uint32_t processId) override;
    std::unique_ptr<SmallIcon> FileSmallIcon(const std::string& path) override;
};

}  // namespace platform::win32
