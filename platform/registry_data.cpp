#include "platform/registry_data.h"

namespace platform {

namespace {

RegistryError InvalidDataType(const KeyLocation& key, const std::string& name) {
    return RegistryError("Invalid data type for value \"" + name + "\" of key " +
                         key.DisplayName());
}

}  // namespace

RegistryValue StringValue(const std::string& text) {
    return {RegistryValueKind::String, text + '\0'};
}

RegistryValue IntegerValue(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((bits >> shift) & 0xFF);
    return {RegistryValueKind::Integer, bytes};
}

std::string TextOf(const RegistryValue& value, const KeyLocation& key, const std::string& name) {
    if (value.kind != RegistryValueKind::String && value.kind != RegistryValueKind::ExpandString)
        throw InvalidDataType(key, name);
    // Stored strings need not end in exactly one zero; the text ends at the first one.
    return value.bytes.substr(0, value.bytes.find('\0'));
}

std::int32_t IntegerOf(const RegistryValue& value, const KeyLocation& key,
                       const std::string& name) {
    if (value.kind != RegistryValueKind::Integer || value.bytes.size() != 4)
        throw InvalidDataType(key, name);
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<unsigned char>(value.bytes[i]);
    return static_cast<std::int32_t>(bits);
}

RegistryError ValueFailure(const std::string& action, const KeyLocation& key,
                           const std::string& name, const std::string& reason) {
    return RegistryError("Cannot " + action + " value \"" + name + "\" of key " +
                         key.DisplayName() + ": " + reason);
}

RegistryError KeyFailure(const std::string& action, const KeyLocation& key,
                         const std::string& reason) {
    return RegistryError("Cannot " + action + " key " + key.DisplayName() + ": " + reason);
}

}  // namespace platform
