#include "platform/registry.h"

namespace platform {

std::string HiveName(Hive hive) {
    return hive == Hive::LocalMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

std::string NormalizeKeyPath(const std::string& path) {
    const auto first = path.find_first_not_of('\\');
    if (first == std::string::npos) return {};
    const auto last = path.find_last_not_of('\\');
    return path.substr(first, last - first + 1);
}

std::string KeyDisplayName(Hive hive, const std::string& path) {
    const std::string key = NormalizeKeyPath(path);
    return key.empty() ? HiveName(hive) : HiveName(hive) + "\\" + key;
}

}  // namespace platform
