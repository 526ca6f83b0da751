#include "platform/signed_in_user.h"

namespace platform {

namespace {

const char* const kMachineEnvironment = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
// The logon's own variables (USERPROFILE, APPDATA, ...), then those the user set.
const char* const kUserEnvironments[] = {"Volatile Environment", "Environment"};
const char* const kShellFolders[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The text of a value; nothing when the key or value is missing or holds no text.
std::optional<std::string> TextValue(Registry& registry, Hive hive, const std::string& key, const std::string& name) {
    const auto opened = registry.OpenKey(hive, key, KeyAccess::Read);
    if (!opened || !opened->ValueExists(name)) return std::nullopt;
    try {
        return opened->ReadString(name);
    } catch (const RegistryError&) {
        return std::nullopt;  // a number where a text belongs sets no variable
    }
}

}  // namespace

std::optional<std::string> SignedInUserSystem::Variable(const std::string& name) {
    for (const char* key : kUserEnvironments)
        if (auto value = TextValue(registry_, Hive::User, key, name)) return value;
    return process_.GetEnv(name);
}

std::string SignedInUserSystem::Expand(const std::string& text) {
    std::string result;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) return result + text.substr(at);
        result += text.substr(at, open - at);
        const auto value = close > open + 1 ? Variable(text.substr(open + 1, close - open - 1)) : std::nullopt;
        if (value) {
            result += *value;
            at = close + 1;
        } else {
            result += '%';  // the closing % may open the next name
            at = open + 1;
        }
    }
}

std::optional<std::string> SignedInUserSystem::GetEnv(const std::string& name) {
    if (!SameText(name, "PATH")) return process_.GetEnv(name);
    std::string path;
    for (auto part : {TextValue(registry_, Hive::LocalMachine, kMachineEnvironment, "Path"),
                      TextValue(registry_, Hive::User, "Environment", "Path")}) {
        if (!part || part->empty()) continue;
        path += (path.empty() ? "" : ";") + Expand(*part);
    }
    return path;
}

std::optional<std::string> SignedInUserSystem::GetSpecialFolder(SpecialFolder folder) {
    if (folder != SpecialFolder::Personal) return process_.GetSpecialFolder(folder);
    for (const char* key : kShellFolders)
        if (const auto value = TextValue(registry_, Hive::User, key, "Personal"); value && !value->empty())
            return Expand(*value);
    return std::nullopt;
}

}  // namespace platform
