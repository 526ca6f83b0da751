// read_only_key <path>: the key HKEY_LOCAL_MACHINE\<path> (32-bit view) lets everyone read it and
// nobody write it or create subkeys, its inherited rights cut off. Prints the failure and exits
// with 1 when the key's security cannot be set.

#include <windows.h>
#include <sddl.h>

#include <cstdio>

#include "platform/registry.h"
#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_registry.h"

namespace {

int Fail(const char* action, const char* path, LONG error) {
    std::printf("Cannot %s key HKEY_LOCAL_MACHINE\\%s: %s\n", action, path,
                platform::win32::SystemMessage(static_cast<DWORD>(error)).c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: read_only_key <path>\n", stderr);
        return 2;
    }
    const char* path = argv[1];
    platform::win32::UniqueRegKey key;
    LONG error = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0,
                                 WRITE_DAC | platform::win32::HiveView(platform::Hive::LocalMachine), key.put());
    if (error != ERROR_SUCCESS) return Fail("open", path, error);
    // Protected (P): no rights inherited from the parent; Everyone (WD) may read (KR), with subkeys (CI).
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;CI;KR;;;WD)", SDDL_REVISION_1, &descriptor,
                                                                nullptr))
        return Fail("describe the security of", path, static_cast<LONG>(::GetLastError()));
    const platform::win32::UniqueLocalMemory owned(descriptor);
    error = ::RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    if (error != ERROR_SUCCESS) return Fail("set the security of", path, error);
    return 0;
}
