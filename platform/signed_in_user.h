#pragma once
// The users of a session, and the system as the user signed in at the desktop sees it when setup
// runs as another user (an administrator typed into the elevation prompt, or "Run as").

#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/system_info.h"

namespace platform {

struct Account {
    std::string sid;   // "S-1-5-21-..."
    std::string name;  // "DOMAIN\user", or the bare name where Windows gives no domain
};

// What start-up finds out about the session.
struct SessionUsers {
    std::optional<Account> desktop;  // the owner of the shell; nothing when no shell runs
    std::optional<Account> process;  // the user setup runs as
    std::string failure;             // why a user could not be found; empty when none failed
};

// The signed-in user's PATH and Personal folder, read from that user's hive (Hive::User of the
// registry given); everything else is the process's own. PATH is composed as Windows composes it
// at logon: the machine's Path, then the user's, with %NAME% taken from that user's environment
// first.
class SignedInUserSystem : public SystemInfo {
public:
    SignedInUserSystem(SystemInfo& process, Registry& registry) : process_(process), registry_(registry) {}

    OsVersion GetOsVersion() override { return process_.GetOsVersion(); }
    std::optional<std::string> GetSpecialFolder(SpecialFolder folder) override;
    std::optional<std::string> GetEnv(const std::string& name) override;
    void SetEnv(const std::string& name, const std::string& value) override { process_.SetEnv(name, value); }
    std::string ProgramFolder() override { return process_.ProgramFolder(); }
    std::string CurrentDirectory() override { return process_.CurrentDirectory(); }
    std::string LocalDate() override { return process_.LocalDate(); }
    std::optional<std::string> LocaleAbbreviation() override { return process_.LocaleAbbreviation(); }
    std::optional<std::string> LoadResourceString(const std::string& modulePath, std::uint32_t id) override {
        return process_.LoadResourceString(modulePath, id);
    }
    std::optional<std::vector<ProcessEntry>> RunningProcesses() override { return process_.RunningProcesses(); }
    std::vector<std::string> ProcessModules(std::uint32_t processId) override {
        return process_.ProcessModules(processId);
    }
    std::unique_ptr<SmallIcon> FileSmallIcon(const std::string& path) override {
        return process_.FileSmallIcon(path);
    }

private:
    // A value of the user's environment, else of the process's; nothing when neither has it.
    std::optional<std::string> Variable(const std::string& name);
    // %NAME% replaced by the variable; an unknown name stays as it is, as Windows leaves it.
    std::string Expand(const std::string& text);

    SystemInfo& process_;
    Registry& registry_;
};

}  // namespace platform
