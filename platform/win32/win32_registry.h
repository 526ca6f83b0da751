#pragma once
// The machine's registry through the ANSI functions. HKEY_LOCAL_MACHINE is always reached through
// its 32-bit view, where the IDEs and earlier installs of the product keep their settings.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/registry_data.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

// The view flag that every access to a hive carries.
REGSAM HiveView(Hive hive);

class Win32Registry : public Registry {
public:
    // The user's hive is HKEY_CURRENT_USER, or with a SID that user's HKEY_USERS\<SID>; a hive
    // that cannot be opened (its user is not signed in, so it is not loaded) raises RegistryError.
    explicit Win32Registry(const std::string& userSid = {});

    std::unique_ptr<RegistryKey> OpenKey(Hive hive, const std::string& path,
                                         KeyAccess access) override;
    bool KeyExists(Hive hive, const std::string& path) override;
    bool DeleteKey(Hive hive, const std::string& path) override;
    std::string RootName(Hive hive) const override;

    // Stores a value of any kind, creating its key: for data the interface cannot write. A key
    // that cannot be created or a refused write raises RegistryError.
    void SetRawValue(Hive hive, const std::string& path, const std::string& name,
                     const RegistryValue& value);
    // The value as stored; nothing when the key or the value is missing.
    std::optional<RegistryValue> GetRawValue(Hive hive, const std::string& path,
                                             const std::string& name);

private:
    HKEY Root(Hive hive) const;
    KeyLocation Location(Hive hive, const std::string& path) const;

    std::string userSid_;
    UniqueRegKey userHive_;  // HKEY_USERS\<SID>; empty for HKEY_CURRENT_USER
};

}  // namespace platform::win32
