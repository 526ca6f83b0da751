#include "platform/win32/win32_registry.h"

#include <shlwapi.h>

#include <algorithm>

#include "platform/win32/system_error.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

// Longest names in bytes: 16383 characters for values, 255 for keys, three bytes each at most
// when the ANSI code page is UTF-8, and the terminating zero.
constexpr DWORD kValueNameBytes = 3 * 16383 + 1;
constexpr DWORD kKeyNameBytes = 3 * 255 + 1;

class Win32Key : public RegistryKey {
public:
    Win32Key(UniqueRegKey key, KeyLocation location)
        : key_(std::move(key)), location_(std::move(location)) {}

    std::string ReadString(const std::string& name) const override {
        const auto value = Query(name);
        return value ? TextOf(*value, location_, name) : std::string();
    }

    std::optional<std::int32_t> ReadInteger(const std::string& name) const override {
        const auto value = Query(name);
        if (!value) return std::nullopt;
        return IntegerOf(*value, location_, name);
    }

    bool ValueExists(const std::string& name) const override { return Query(name).has_value(); }

    void WriteString(const std::string& name, const std::string& value) override {
        Store(name, StringValue(value));
    }

    void WriteInteger(const std::string& name, std::int32_t value) override {
        Store(name, IntegerValue(value));
    }

    bool DeleteValue(const std::string& name) override {
        return RegDeleteValueA(key_.get(), name.c_str()) == ERROR_SUCCESS;
    }

    std::optional<RegistryValue> ReadValue(const std::string& name) const override { return Query(name); }

    void WriteValue(const std::string& name, const RegistryValue& value) override { Store(name, value); }

    std::vector<std::string> ValueNames() const override {
        return EnumerateNames(kValueNameBytes, "list the values of",
                              [this](DWORD index, char* buffer, DWORD* length) {
                                  return RegEnumValueA(key_.get(), index, buffer, length, nullptr,
                                                       nullptr, nullptr, nullptr);
                              });
    }

    std::vector<std::pair<std::string, std::string>> StringValues() const override {
        std::vector<std::pair<std::string, std::string>> values;
        DWORD longestData = 0;
        LONG result = RegQueryInfoKeyA(key_.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       nullptr, nullptr, &longestData, nullptr, nullptr);
        if (result != ERROR_SUCCESS)
            throw KeyFailure("list the values of", location_, SystemMessage(static_cast<DWORD>(result)));
        std::string name(kValueNameBytes, '\0');
        std::string data(longestData + 1, '\0');
        for (DWORD index = 0;;) {
            DWORD nameLength = kValueNameBytes;
            DWORD dataLength = static_cast<DWORD>(data.size());
            DWORD type = 0;
            result = RegEnumValueA(key_.get(), index, name.data(), &nameLength, nullptr, &type,
                                   reinterpret_cast<BYTE*>(data.data()), &dataLength);
            if (result == ERROR_NO_MORE_ITEMS) return values;
            if (result == ERROR_MORE_DATA) {
                // The value grew since the key was measured, or its text is longer in the ANSI
                // code page than as stored (UTF-8). The name is not returned then: ask for the
                // same value again with room for its data.
                data.resize(std::max<std::size_t>(dataLength, 2 * data.size()));
                continue;
            }
            if (result != ERROR_SUCCESS)
                throw KeyFailure("list the values of", location_, SystemMessage(static_cast<DWORD>(result)));
            const std::string valueName(name.data(), nameLength);
            const RegistryValue value{static_cast<RegistryValueKind>(type), data.substr(0, dataLength)};
            values.emplace_back(valueName, TextOf(value, location_, valueName));
            ++index;
        }
    }

    std::vector<std::string> SubkeyNames() const override {
        return EnumerateNames(kKeyNameBytes, "list the subkeys of",
                              [this](DWORD index, char* buffer, DWORD* length) {
                                  return RegEnumKeyExA(key_.get(), index, buffer, length, nullptr,
                                                       nullptr, nullptr, nullptr);
                              });
    }

    std::optional<RegistryValue> Query(const std::string& name) const {
        DWORD type = 0;
        DWORD size = 0;
        LONG result = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size);
        std::string bytes;
        // The value may grow between asking for its size and reading it: ask again until it fits.
        while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
            bytes.resize(size);
            result = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(bytes.data()), &size);
            if (result == ERROR_SUCCESS) {
                bytes.resize(size);
                return RegistryValue{static_cast<RegistryValueKind>(type), std::move(bytes)};
            }
        }
        if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
        throw ValueFailure("read", location_, name, SystemMessage(static_cast<DWORD>(result)));
    }

    void Store(const std::string& name, const RegistryValue& value) {
        const LONG result =
            RegSetValueExA(key_.get(), name.c_str(), 0, static_cast<DWORD>(value.kind),
                           reinterpret_cast<const BYTE*>(value.bytes.data()),
                           static_cast<DWORD>(value.bytes.size()));
        if (result != ERROR_SUCCESS)
            throw ValueFailure("write", location_, name, SystemMessage(static_cast<DWORD>(result)));
    }

private:
    template <typename EnumerateOne>
    std::vector<std::string> EnumerateNames(DWORD bufferBytes, const char* action,
                                            EnumerateOne enumerateOne) const {
        std::vector<std::string> names;
        std::string buffer(bufferBytes, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD length = bufferBytes;
            const LONG result = enumerateOne(index, buffer.data(), &length);
            if (result == ERROR_NO_MORE_ITEMS) return names;
            if (result != ERROR_SUCCESS)
                throw KeyFailure(action, location_, SystemMessage(static_cast<DWORD>(result)));
            names.emplace_back(buffer.data(), length);
        }
    }

    UniqueRegKey key_;
    KeyLocation location_;
};

// Opens or creates the key; on failure nothing, with the system's error code in `error`.
std::unique_ptr<Win32Key> OpenWin32Key(HKEY root, const KeyLocation& location, KeyAccess access, LONG& error) {
    const REGSAM rights = (access == KeyAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE) |
                          HiveView(location.hive);
    UniqueRegKey opened;
    error = access == KeyAccess::CreateWrite
                ? RegCreateKeyExA(root, location.path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  rights, nullptr, opened.put(), nullptr)
                : RegOpenKeyExA(root, location.path.c_str(), 0, rights, opened.put());
    if (error != ERROR_SUCCESS) return nullptr;
    return std::make_unique<Win32Key>(std::move(opened), location);
}

std::unique_ptr<Win32Key> CreateWin32Key(HKEY root, const KeyLocation& location) {
    LONG error = ERROR_SUCCESS;
    auto key = OpenWin32Key(root, location, KeyAccess::CreateWrite, error);
    if (!key) throw KeyFailure("create", location, SystemMessage(static_cast<DWORD>(error)));
    return key;
}

}  // namespace

Win32Registry::Win32Registry(const std::string& userSid) : userSid_(userSid) {
    if (userSid_.empty()) return;
    const LONG result = RegOpenKeyExA(HKEY_USERS, userSid_.c_str(), 0, KEY_READ | KEY_WRITE, userHive_.put());
    if (result != ERROR_SUCCESS)
        throw KeyFailure("open", Location(Hive::User, {}), SystemMessage(static_cast<DWORD>(result)));
}

HKEY Win32Registry::Root(Hive hive) const {
    if (hive == Hive::LocalMachine) return HKEY_LOCAL_MACHINE;
    return userHive_ ? userHive_.get() : HKEY_CURRENT_USER;
}

KeyLocation Win32Registry::Location(Hive hive, const std::string& path) const {
    return KeyLocation{hive, NormalizeKeyPath(path), hive == Hive::User ? userSid_ : std::string()};
}

REGSAM HiveView([[maybe_unused]] Hive hive) {
#ifdef _WIN64
    return hive == Hive::LocalMachine ? KEY_WOW64_32KEY : 0;
#else
    // A 32-bit process sees the 32-bit view by itself, and Windows 2000 refuses the flag.
    return 0;
#endif
}

std::unique_ptr<RegistryKey> Win32Registry::OpenKey(Hive hive, const std::string& path,
                                                    KeyAccess access) {
    if (access == KeyAccess::CreateWrite) return CreateWin32Key(Root(hive), Location(hive, path));
    LONG error = ERROR_SUCCESS;
    return OpenWin32Key(Root(hive), Location(hive, path), access, error);
}

std::string Win32Registry::RootName(Hive hive) const { return HiveName(hive, userSid_); }

bool Win32Registry::KeyExists(Hive hive, const std::string& path) {
    UniqueRegKey key;
    const LONG result = RegOpenKeyExA(Root(hive), NormalizeKeyPath(path).c_str(), 0,
                                      KEY_QUERY_VALUE | HiveView(hive), key.put());
    // A key that refuses us is still there.
    return result == ERROR_SUCCESS || result == ERROR_ACCESS_DENIED;
}

bool Win32Registry::DeleteKey(Hive hive, const std::string& path) {
    const std::string key = NormalizeKeyPath(path);
    if (key.empty()) return false;  // never the whole hive
    // Deleted through its parent opened in the hive's view, so the key and its subkeys are taken
    // from that view (SHDeleteKeyA itself knows no views).
    const auto slash = key.find_last_of('\\');
    const std::string parentPath = slash == std::string::npos ? std::string() : key.substr(0, slash);
    UniqueRegKey parent;
    if (RegOpenKeyExA(Root(hive), parentPath.c_str(), 0, KEY_READ | HiveView(hive),
                      parent.put()) != ERROR_SUCCESS)
        return false;
    static auto* const deleteKey = SystemFunction<decltype(::SHDeleteKeyA)>("shlwapi.dll", "SHDeleteKeyA");
    return deleteKey && deleteKey(parent.get(), key.substr(slash + 1).c_str()) == ERROR_SUCCESS;
}

void Win32Registry::SetRawValue(Hive hive, const std::string& path, const std::string& name,
                                const RegistryValue& value) {
    CreateWin32Key(Root(hive), Location(hive, path))->Store(name, value);
}

std::optional<RegistryValue> Win32Registry::GetRawValue(Hive hive, const std::string& path,
                                                        const std::string& name) {
    LONG error = ERROR_SUCCESS;
    const auto key = OpenWin32Key(Root(hive), Location(hive, path), KeyAccess::Read, error);
    if (!key) return std::nullopt;
    return key->Query(name);
}

}  // namespace platform::win32
