#include "platform/tests/testing/registry_backend.h"
#include "platform/win32/win32_registry.h"

namespace testing_support {

std::unique_ptr<RegistryBackend> MakeRegistryBackend() {
    return std::make_unique<RegistryBackendOf<platform::win32::Win32Registry>>();
}

}  // namespace testing_support
