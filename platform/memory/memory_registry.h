#pragma once
// A registry held in memory that keeps the registry's rules: two hives, the user's being the
// process's own or another user's of HKEY_USERS; key and value names that
// ignore the case of A to Z and keep the case they were created with; subkeys and values listed
// in name order, as the Wine registry lists them; a key object whose key was deleted stays safe
// to use and fails like one.

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/registry_data.h"

namespace platform::memory {

class MemoryRegistry : public Registry {
public:
    // The user's hive is HKEY_CURRENT_USER, or with a SID that user's HKEY_USERS\<SID>.
    explicit MemoryRegistry(const std::string& userSid = {});
    ~MemoryRegistry() override;

    std::unique_ptr<RegistryKey> OpenKey(Hive hive, const std::string& path,
                                         KeyAccess access) override;
    bool KeyExists(Hive hive, const std::string& path) override;
    bool DeleteKey(Hive hive, const std::string& path) override;
    std::string RootName(Hive hive) const override;

    // Stores a value of any kind, creating its key: for data the interface cannot write, such
    // as a value of the wrong kind.
    void SetRawValue(Hive hive, const std::string& path, const std::string& name,
                     const RegistryValue& value);
    // The value as stored; nothing when the key or the value is missing.
    std::optional<RegistryValue> GetRawValue(Hive hive, const std::string& path,
                                             const std::string& name) const;
    // The key refuses to be opened for writing from now on, as one whose security allows only
    // reading does.
    void DenyWrites(Hive hive, const std::string& path);

    // Hive::User reaches HKEY_USERS\<sid> from now on, as when start-up finds another user signed
    // in at the desktop; an empty sid is the process's own HKEY_CURRENT_USER. A hive is made empty
    // the first time it is chosen.
    void UseUserHive(const std::string& sid);
    // Every key and value of a user's hive (empty sid: HKEY_CURRENT_USER), with value kinds and
    // bytes, one line each: what a test compares to prove that a hive stayed as it was.
    std::string ExportUserHive(const std::string& sid) const;
    // Makes this registry a copy of the other. Key objects opened before keep what they had.
    void CopyFrom(const MemoryRegistry& other);

    struct Node;  // one key, shared with the key objects opened on it

private:
    std::shared_ptr<Node> Find(Hive hive, const std::string& path) const;
    std::shared_ptr<Node> FindOrCreate(Hive hive, const std::string& path);
    const std::shared_ptr<Node>& Root(Hive hive) const;
    KeyLocation Location(Hive hive, const std::string& path) const;

    std::shared_ptr<Node> localMachine_;
    std::map<std::string, std::shared_ptr<Node>> users_;  // by SID; "" is HKEY_CURRENT_USER
    std::string userSid_;
};

}  // namespace platform::memory
