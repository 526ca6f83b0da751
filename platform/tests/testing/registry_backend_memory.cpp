#include "platform/memory/memory_registry.h"
#include "platform/tests/testing/registry_backend.h"

namespace testing_support {

std::unique_ptr<RegistryBackend> MakeRegistryBackend(const std::string& userSid) {
    return std::make_unique<RegistryBackendOf<platform::memory::MemoryRegistry>>(userSid);
}

std::string LoadedUserSid() { return "S-1-5-21-1004336348-1177238915-682003330-1003"; }

}  // namespace testing_support
