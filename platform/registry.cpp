#include "platform/registry.h"

namespace platform {

std::string HiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string NormalizeKeyPath(const std::string& path) {
    std::string key;
    for (const char c : path) {
        if (c == '\\' && (key.empty() || key.back() == '\\')) continue;
        key += c;
    }
    if (!key.empty() && key.back() == '\\') key.pop_back();
    return key;
}

std::string KeyDisplayName(Hive hive, const std::string& path) {
    const std::string key = NormalizeKeyPath(path);
    return key.empty() ? HiveName(hive) : HiveName(hive) + "\\" + key;
}

}  // namespace platform
