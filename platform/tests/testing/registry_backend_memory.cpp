#include "platform/memory/memory_registry.h"
#include "platform/tests/testing/registry_backend.h"

namespace testing_support {

std::unique_ptr<RegistryBackend> MakeRegistryBackend() {
    return std::make_unique<RegistryBackendOf<platform::memory::MemoryRegistry>>();
}

}  // namespace testing_support
