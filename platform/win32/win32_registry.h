#pragma once
// The machine's registry through the ANSI functions. HKEY_LOCAL_MACHINE is always reached through
// its 32-bit view, where the IDEs and earlier installs of the product keep their settings.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/registry_data.h"

namespace platform::win32 {

// The root key of a hive and the view flag that every access to it carries.
HKEY HiveRoot(Hive hive);
REGSAM HiveView(Hive hive);

class Win32Registry : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenKey(Hive hive, const std::string& path,
                                         KeyAccess access) override;
    bool KeyExists(Hive hive, const std::string& path) override;
    bool DeleteKey(Hive hive, const std::string& path) override;

    // Stores a value of any kind, creating its key: for data the interface cannot write. A key
    // that cannot be created or a refused write raises RegistryError.
    void SetRawValue(Hive hive, const std::string& path, const std::string& name,
                     const RegistryValue& value);
    // The value as stored; nothing when the key or the value is missing.
    std::optional<RegistryValue> GetRawValue(Hive hive, const std::string& path,
                                             const std::string& name);
};

}  // namespace platform::win32
