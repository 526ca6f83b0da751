#include "platform/tests/testing/registry_backend.h"
#include "platform/win32/session_users.h"
#include "platform/win32/win32_registry.h"

namespace testing_support {

std::unique_ptr<RegistryBackend> MakeRegistryBackend(const std::string& userSid) {
    return std::make_unique<RegistryBackendOf<platform::win32::Win32Registry>>(userSid);
}

std::string LoadedUserSid() {
    const auto users = platform::win32::FindSessionUsers();
    return users.process ? users.process->sid : "(no user: " + users.failure + ")";
}

}  // namespace testing_support
