#pragma once
// A machine described by the test: every answer is a field the test sets.

#include <map>

#include "platform/system_info.h"

namespace platform::memory {

// Orders texts without regard to the case of A to Z, as the system compares names.
struct LessText {
    bool operator()(const std::string& a, const std::string& b) const;
};

class MemorySystemInfo : public SystemInfo {
public:
    struct Process {
        ProcessEntry entry;
        std::vector<std::string> modules;
    };

    OsVersion GetOsVersion() override { return osVersion; }
    std::optional<std::string> GetSpecialFolder(SpecialFolder folder) override;
    std::optional<std::string> GetEnv(const std::string& name) override;
    void SetEnv(const std::string& name, const std::string& value) override;
    std::string ProgramFolder() override { return programFolder; }
    std::string CurrentDirectory() override { return currentDirectory; }
    std::string LocalDate() override { return localDate; }
    std::optional<std::string> LocaleAbbreviation() override { return localeAbbreviation; }
    std::optional<std::string> LoadResourceString(const std::string& modulePath,
                                                  std::uint32_t id) override;
    std::optional<std::vector<ProcessEntry>> RunningProcesses() override;
    std::vector<std::string> ProcessModules(std::uint32_t processId) override;
    std::unique_ptr<SmallIcon> FileSmallIcon(const std::string& path) override;

    // Starts a process whose modules are its program and the given others; returns its id.
    std::uint32_t StartProcess(const std::string& programPath,
                               std::vector<std::string> otherModules = {});
    void EndProcess(std::uint32_t processId);

    OsVersion osVersion{OsVersion::Family::NT, 5, 1, 2600, "Service Pack 2"};
    std::map<SpecialFolder, std::string> specialFolders{
        {SpecialFolder::ProgramFiles, "C:\\Program Files"},
        {SpecialFolder::ProgramFilesNative, "C:\\Program Files"},
        {SpecialFolder::Personal, "C:\\Documents and Settings\\User\\My Documents"},
        {SpecialFolder::OwnPersonal, "C:\\Documents and Settings\\User\\My Documents"},
        {SpecialFolder::Windows, "C:\\WINDOWS"},
        {SpecialFolder::System, "C:\\WINDOWS\\system32"},
        {SpecialFolder::SystemX86, "C:\\WINDOWS\\system32"},
        {SpecialFolder::UserProfile, "C:\\Documents and Settings\\User"},
        {SpecialFolder::Desktop, "C:\\Documents and Settings\\User\\Desktop"},
        {SpecialFolder::CommonFiles, "C:\\Program Files\\Common Files"},
        {SpecialFolder::CommonFilesNative, "C:\\Program Files\\Common Files"},
        {SpecialFolder::AppData, "C:\\Documents and Settings\\User\\Application Data"},
        {SpecialFolder::LocalAppData, "C:\\Documents and Settings\\User\\Local Settings\\Application Data"}};
    std::map<std::string, std::string, LessText> environment;
    std::string programFolder = "C:\\Setup";
    std::string currentDirectory = "C:\\Setup";
    std::string localDate = "20261208";
    std::optional<std::string> localeAbbreviation = std::string("ENU");
    // Resource-only modules by path: their string tables.
    std::map<std::string, std::map<std::uint32_t, std::string>, LessText> resourceModules;
    bool processSnapshots = true;
    std::map<std::uint32_t, Process> processes;
    // Files for which the shell has an icon.
    std::map<std::string, int, LessText> icons;

private:
    std::uint32_t nextProcessId_ = 1000;
};

}  // namespace platform::memory
