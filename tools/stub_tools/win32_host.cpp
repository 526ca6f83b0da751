#include "tools/stub_tools/win32_host.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"

namespace stubs {
namespace {

using platform::win32::UniqueFileHandle;

// Writes all bytes, in chunks a DWORD can count.
bool WriteAll(HANDLE handle, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        if (!::WriteFile(handle, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

std::string Win32Host::CurrentDirectory() const {
    std::string buffer(MAX_PATH + 1, '\0');
    const DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    buffer.resize(length < buffer.size() ? length : 0);
    return buffer;
}

std::optional<std::string> Win32Host::Environment(const std::string& name) const {
    ::SetLastError(ERROR_SUCCESS);
    DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) {
        if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::string value(size, '\0');
    size = ::GetEnvironmentVariableA(name.c_str(), value.data(), size);
    value.resize(size);
    return value;
}

std::optional<std::string> Win32Host::ReadFile(const std::string& path) const {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    std::string data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    return data;
}

bool Win32Host::WriteFile(const std::string& path, std::string_view data) {
    UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), data);
}

void Win32Host::Print(std::string_view bytes) {
    WriteAll(::GetStdHandle(STD_OUTPUT_HANDLE), bytes);
}

void Win32Host::Sleep(unsigned seconds) {
    ::Sleep(seconds * 1000);
}

}  // namespace stubs
