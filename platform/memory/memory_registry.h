#pragma once
// A registry held in memory that keeps the registry's rules: two hives; key and value names that
// ignore the case of A to Z and keep the case they were created with; subkeys and values listed
// in name order, as the Wine registry lists them; a key object whose key was deleted stays safe
// to use and fails like one.

#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/registry_data.h"

namespace platform::memory {

class MemoryRegistry : public Registry {
public:
    MemoryRegistry();
    ~MemoryRegistry() override;

    std::unique_ptr<RegistryKey> OpenKey(Hive hive, const std::string& path,
                                         KeyAccess access) override;
    bool KeyExists(Hive hive, const std::string& path) override;
    bool DeleteKey(Hive hive, const std::string& path) override;

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

    struct Node;  // one key, shared with the key objects opened on it

private:
    std::shared_ptr<Node> Find(Hive hive, const std::string& path) const;
    std::shared_ptr<Node> FindOrCreate(Hive hive, const std::string& path);
    const std::shared_ptr<Node>& Root(Hive hive) const;

    std::shared_ptr<Node> localMachine_;
    std::shared_ptr<Node> currentUser_;
};

}  // namespace platform::memory
