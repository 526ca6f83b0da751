#include "platform/registry.h"

namespace platform {

std::string HiveName(Hive hive, const std::string& userSid) {
    if (hive == Hive::LocalMachine) return "HKEY_LOCAL_MACHINE";
    return userSid.empty() ? "HKEY_CURRENT_USER" : "HKEY_USERS\\" + userSid;
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

std::string KeyDisplayName(Hive hive, const std::string& path, const std::string& userSid) {
    const std::string key = NormalizeKeyPath(path);
    const std::string root = HiveName(hive, userSid);
    return key.empty() ? root : root + "\\" + key;
}

}  // namespace platform
