#pragma once
// The registry backend that the contract tests run against: the memory registry natively, the
// machine's registry under Wine. Both also store and show raw values, which the tests use to
// plant values of kinds the interface cannot write.

#include <memory>
#include <optional>
#include <string>

#include "platform/registry.h"
#include "platform/registry_data.h"

namespace testing_support {

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    virtual platform::Registry& Registry() = 0;
    virtual void SetRawValue(platform::Hive hive, const std::string& path,
                             const std::string& name, const platform::RegistryValue& value) = 0;
    virtual std::optional<platform::RegistryValue> GetRawValue(platform::Hive hive,
                                                               const std::string& path,
                                                               const std::string& name) = 0;
};

// Both backends offer the raw access under the same names.
template <typename Backend>
class RegistryBackendOf : public RegistryBackend {
public:
    explicit RegistryBackendOf(const std::string& userSid) : backend_(userSid) {}
    platform::Registry& Registry() override { return backend_; }
    void SetRawValue(platform::Hive hive, const std::string& path, const std::string& name,
                     const platform::RegistryValue& value) override {
        backend_.SetRawValue(hive, path, name, value);
    }
    std::optional<platform::RegistryValue> GetRawValue(platform::Hive hive,
                                                       const std::string& path,
                                                       const std::string& name) override {
        return backend_.GetRawValue(hive, path, name);
    }

private:
    Backend backend_;
};

// The user's hive is HKEY_CURRENT_USER, or with a SID that user's hive under HKEY_USERS.
std::unique_ptr<RegistryBackend> MakeRegistryBackend(const std::string& userSid = {});
// A user whose hive is loaded under HKEY_USERS: any for the memory registry, the process's own
// user under Wine.
std::string LoadedUserSid();

}  // namespace testing_support
