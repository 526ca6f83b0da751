#pragma once
// The registry as the installer sees it: two hives, keys addressed by their path from the
// hive's root, string and 32-bit integer values. HKEY_LOCAL_MACHINE is always the 32-bit view.

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// LocalMachine is HKEY_LOCAL_MACHINE. User is the hive of the user whose IDEs are changed:
// HKEY_CURRENT_USER, or HKEY_USERS\<SID> of the user signed in at the desktop when setup runs as
// another user. A backend takes that choice once, when it is made, and keeps it.
enum class Hive { LocalMachine, User };

struct RegistryValue;  // a value of any kind as stored: registry_data.h

enum class KeyAccess {
    Read,          // open an existing key for reading
    Write,         // open an existing key for reading and writing
    CreateWrite,   // open for writing, creating the key (and its parents) when missing
};

// A registry operation that failed for a reason other than "not there": a value of the wrong
// kind, a write that was refused. The message names the key and the value.
class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "HKEY_LOCAL_MACHINE"; the user's hive is "HKEY_CURRENT_USER", or "HKEY_USERS\<SID>" when
// `userSid` names another user's hive.
std::string HiveName(Hive hive, const std::string& userSid = {});

// Key path as used in messages: hive name, a backslash, the path without leading backslash.
std::string KeyDisplayName(Hive hive, const std::string& path, const std::string& userSid = {});

// The key path without leading, trailing and doubled backslashes, as both backends address keys.
std::string NormalizeKeyPath(const std::string& path);

class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // Missing value: empty text. A value that is neither REG_SZ nor REG_EXPAND_SZ: RegistryError.
    virtual std::string ReadString(const std::string& name) const = 0;
    // Missing value: nothing. A value that is not REG_DWORD: RegistryError.
    virtual std::optional<std::int32_t> ReadInteger(const std::string& name) const = 0;
    virtual bool ValueExists(const std::string& name) const = 0;

    // A write that the system refuses raises RegistryError.
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
    virtual void WriteInteger(const std::string& name, std::int32_t value) = 0;
    // False when the value did not exist or could not be deleted.
    virtual bool DeleteValue(const std::string& name) = 0;

    // The value of any kind with its data as stored, so that it can be put back as it was;
    // nothing when it is missing. (A string kind stored without its closing zero is read with
    // one through the system's ANSI functions.)
    virtual std::optional<RegistryValue> ReadValue(const std::string& name) const = 0;
    // Stores the value with its kind and data as given. A write the system refuses raises
    // RegistryError.
    virtual void WriteValue(const std::string& name, const RegistryValue& value) = 0;

    // Names in the registry's enumeration order.
    virtual std::vector<std::string> ValueNames() const = 0;
    // Every value with its text, in enumeration order, read in one pass (a package key holds
    // hundreds). A value that is not a string raises RegistryError.
    virtual std::vector<std::pair<std::string, std::string>> StringValues() const = 0;
    virtual std::vector<std::string> SubkeyNames() const = 0;
};

class Registry {
public:
    virtual ~Registry() = default;

    // Read and Write: nothing when the key does not exist or cannot be opened with that access.
    // CreateWrite: a key that cannot be created or opened for writing raises RegistryError.
    virtual std::unique_ptr<RegistryKey> OpenKey(Hive hive, const std::string& path,
                                                 KeyAccess access) = 0;
    virtual bool KeyExists(Hive hive, const std::string& path) = 0;
    // Deletes the key with all its subkeys; false when it did not exist or could not be deleted.
    virtual bool DeleteKey(Hive hive, const std::string& path) = 0;

    // The root's name as this registry reaches it: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or
    // HKEY_USERS\<SID>. A journal keeps it, so that its changes go back to the same hive.
    virtual std::string RootName(Hive hive) const = 0;
};

}  // namespace platform
