#pragma once
// Registry values as the registry stores them, a type code and raw bytes. Both backends read and
// write through these, so they decode data and word their errors alike.

#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace platform {

// The registry's own type codes; values of any other code are kept as they come.
enum class RegistryValueKind : std::uint32_t {
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ, kept unexpanded
    Binary = 3,        // REG_BINARY
    Integer = 4,       // REG_DWORD, little-endian
    MultiString = 7,   // REG_MULTI_SZ
};

struct RegistryValue {
    RegistryValueKind kind = RegistryValueKind::Binary;
    std::string bytes;
};

// The text with its terminating zero, as WriteString stores it.
RegistryValue StringValue(const std::string& text);
RegistryValue IntegerValue(std::int32_t value);

// A key as the caller named it: what the messages about its values show.
struct KeyLocation {
    Hive hive = Hive::User;
    std::string path;     // normalized
    std::string userSid{};  // whose hive Hive::User reaches, when not the process user's
    std::string DisplayName() const { return KeyDisplayName(hive, path, userSid); }
};

// The text of a string or expand-string value, up to its first zero; any other kind raises
// RegistryError.
std::string TextOf(const RegistryValue& value, const KeyLocation& key, const std::string& name);
// A 4-byte integer value; any other kind or size raises RegistryError.
std::int32_t IntegerOf(const RegistryValue& value, const KeyLocation& key, const std::string& name);

// Cannot <action> value "<name>" of key <key>: <reason>
RegistryError ValueFailure(const std::string& action, const KeyLocation& key,
                           const std::string& name, const std::string& reason);
// Cannot <action> key <key>: <reason>
RegistryError KeyFailure(const std::string& action, const KeyLocation& key,
                         const std::string& reason);

}  // namespace platform
