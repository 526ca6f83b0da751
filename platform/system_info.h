#pragma once
// What the installer asks of the system besides files, registry and processes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct OsVersion {
    enum class Family { Windows9x, NT, Other };
    Family family = Family::Other;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::string servicePack;
};

enum class SpecialFolder {
    ProgramFiles,        // where 32-bit programs are installed
    ProgramFilesNative,  // the system's own Program Files (the same on a 32-bit system)
    Personal,            // the documents of the user whose IDEs are changed (the signed-in user)
    OwnPersonal,         // the documents of the user setup runs as; the same unless another is signed in
    Windows,
    System,
    SystemX86,  // where 32-bit system modules live (System on a 32-bit system)
    UserProfile,
    Desktop,
    CommonFiles,        // shared files of 32-bit programs
    CommonFilesNative,  // the system's own Common Files (the same on a 32-bit system)
    AppData,            // the user's roaming application data
    LocalAppData,       // the user's application data of this machine
};

struct ProcessEntry {
    std::uint32_t id = 0;
    std::string exeName;  // name part of the program file
};

// A program's small icon as the shell gives it; owned, released with the object.
class SmallIcon {
public:
    virtual ~SmallIcon() = default;
    virtual void* NativeHandle() const = 0;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    virtual OsVersion GetOsVersion() = 0;
    // Nothing when the system cannot supply the folder; never creates it.
    virtual std::optional<std::string> GetSpecialFolder(SpecialFolder folder) = 0;

    // Nothing when the variable is not set.
    virtual std::optional<std::string> GetEnv(const std::string& name) = 0;
    // Set in this process's environment, so programs started afterwards inherit it.
    virtual void SetEnv(const std::string& name, const std::string& value) = 0;

    // Folder of the running program and the current directory, without trailing delimiter but
    // for a drive root ("D:\").
    virtual std::string ProgramFolder() = 0;
    virtual std::string CurrentDirectory() = 0;
    // Today's date on the machine's clock, as YYYYMMDD.
    virtual std::string LocalDate() = 0;

    // Abbreviated language name of the thread's locale ("ENU", "DEU"); nothing when unknown.
    virtual std::optional<std::string> LocaleAbbreviation() = 0;
    // Loads a resource-only module and reads one string of its string table. Nothing when the
    // module cannot be loaded; an empty text when the string is missing. At most 1023 characters.
    virtual std::optional<std::string> LoadResourceString(const std::string& modulePath,
                                                          std::uint32_t id) = 0;

    // Nothing when the system offers no process snapshots.
    virtual std::optional<std::vector<ProcessEntry>> RunningProcesses() = 0;
    // Full paths of the modules of a process; empty when they cannot be listed.
    virtual std::vector<std::string> ProcessModules(std::uint32_t processId) = 0;

    // Nothing when the shell has no icon for the file.
    virtual std::unique_ptr<SmallIcon> FileSmallIcon(const std::string& path) = 0;
};

}  // namespace platform
