#include "platform/memory/memory_registry.h"

#include <algorithm>
#include <map>
#include <vector>

namespace platform::memory {

namespace {

// The words Windows uses for these failures.
const char* const kAccessDenied = "Access is denied.";
const char* const kKeyDeleted =
    "Illegal operation attempted on a registry key that has been marked for deletion.";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Name order of the registry: letters compared as lower case, all else by code.
struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) {
                                                return static_cast<unsigned char>(LowerAscii(x)) <
                                                       static_cast<unsigned char>(LowerAscii(y));
                                            });
    }
};

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> names;
    const std::string key = NormalizeKeyPath(path);
    std::size_t start = 0;
    while (start < key.size()) {
        const std::size_t end = std::min(key.find('\\', start), key.size());
        names.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

template <typename Map>
std::vector<std::string> NamesOf(const Map& map) {
    std::vector<std::string> names;
    for (const auto& entry : map) names.push_back(entry.first);
    return names;
}

}  // namespace

struct MemoryRegistry::Node {
    std::map<std::string, RegistryValue, NameLess> values;
    std::map<std::string, std::shared_ptr<Node>, NameLess> subkeys;
    bool deleted = false;
    bool writesDenied = false;

    void MarkDeleted() {
        deleted = true;
        for (auto& subkey : subkeys) subkey.second->MarkDeleted();
    }
};

namespace {

using Node = MemoryRegistry::Node;

class MemoryKey : public RegistryKey {
public:
    MemoryKey(std::shared_ptr<Node> node, KeyLocation location, bool writable)
        : node_(std::move(node)), location_(std::move(location)), writable_(writable) {}

    std::string ReadString(const std::string& name) const override {
        const RegistryValue* value = Lookup(name);
        return value ? TextOf(*value, location_, name) : std::string();
    }

    std::optional<std::int32_t> ReadInteger(const std::string& name) const override {
        const RegistryValue* value = Lookup(name);
        if (!value) return std::nullopt;
        return IntegerOf(*value, location_, name);
    }

    bool ValueExists(const std::string& name) const override { return Lookup(name) != nullptr; }

    void WriteString(const std::string& name, const std::string& value) override {
        Store(name, StringValue(value));
    }

    void WriteInteger(const std::string& name, std::int32_t value) override {
        Store(name, IntegerValue(value));
    }

    bool DeleteValue(const std::string& name) override {
        return writable_ && !node_->deleted && node_->values.erase(name) > 0;
    }

    std::optional<RegistryValue> ReadValue(const std::string& name) const override {
        const RegistryValue* value = Lookup(name);
        return value ? std::optional<RegistryValue>(*value) : std::nullopt;
    }

    void WriteValue(const std::string& name, const RegistryValue& value) override { Store(name, value); }

    std::vector<std::string> ValueNames() const override {
        CheckNotDeleted("list the values of");
        return NamesOf(node_->values);
    }

    std::vector<std::pair<std::string, std::string>> StringValues() const override {
        CheckNotDeleted("list the values of");
        std::vector<std::pair<std::string, std::string>> values;
        for (const auto& [name, value] : node_->values) values.emplace_back(name, TextOf(value, location_, name));
        return values;
    }

    std::vector<std::string> SubkeyNames() const override {
        CheckNotDeleted("list the subkeys of");
        return NamesOf(node_->subkeys);
    }

private:
    const RegistryValue* Lookup(const std::string& name) const {
        if (node_->deleted) throw ValueFailure("read", location_, name, kKeyDeleted);
        const auto found = node_->values.find(name);
        return found == node_->values.end() ? nullptr : &found->second;
    }

    void Store(const std::string& name, RegistryValue value) {
        if (node_->deleted) throw ValueFailure("write", location_, name, kKeyDeleted);
        if (!writable_) throw ValueFailure("write", location_, name, kAccessDenied);
        // An existing value keeps the case of its name.
        node_->values.insert_or_assign(name, std::move(value));
    }

    void CheckNotDeleted(const std::string& action) const {
        if (node_->deleted) throw KeyFailure(action, location_, kKeyDeleted);
    }

    std::shared_ptr<Node> node_;  // keeps a deleted key alive while this object uses it
    KeyLocation location_;
    bool writable_;
};

}  // namespace

MemoryRegistry::MemoryRegistry(const std::string& userSid) : localMachine_(std::make_shared<Node>()) {
    UseUserHive(userSid);
}

MemoryRegistry::~MemoryRegistry() = default;

const std::shared_ptr<Node>& MemoryRegistry::Root(Hive hive) const {
    return hive == Hive::LocalMachine ? localMachine_ : users_.at(userSid_);
}

std::string MemoryRegistry::RootName(Hive hive) const { return HiveName(hive, userSid_); }

KeyLocation MemoryRegistry::Location(Hive hive, const std::string& path) const {
    return KeyLocation{hive, NormalizeKeyPath(path), hive == Hive::User ? userSid_ : std::string()};
}

void MemoryRegistry::UseUserHive(const std::string& sid) {
    auto& hive = users_[sid];
    if (!hive) hive = std::make_shared<Node>();
    userSid_ = sid;
}

namespace {

void ExportKey(const Node& node, const std::string& path, std::string& text) {
    text += "[" + path + "]\n";
    for (const auto& [name, value] : node.values)
        text += name + "=" + std::to_string(static_cast<std::uint32_t>(value.kind)) + ":" + value.bytes + "\n";
    for (const auto& [name, subkey] : node.subkeys) ExportKey(*subkey, path + "\\" + name, text);
}

}  // namespace

std::string MemoryRegistry::ExportUserHive(const std::string& sid) const {
    std::string text;
    ExportKey(*users_.at(sid), HiveName(Hive::User, sid), text);
    return text;
}

std::shared_ptr<Node> MemoryRegistry::Find(Hive hive, const std::string& path) const {
    std::shared_ptr<Node> node = Root(hive);
    for (const std::string& name : PathParts(path)) {
        const auto found = node->subkeys.find(name);
        if (found == node->subkeys.end()) return nullptr;
        node = found->second;
    }
    return node;
}

std::shared_ptr<Node> MemoryRegistry::FindOrCreate(Hive hive, const std::string& path) {
    std::shared_ptr<Node> node = Root(hive);
    for (const std::string& name : PathParts(path)) {
        auto& subkey = node->subkeys[name];
        if (!subkey) subkey = std::make_shared<Node>();
        node = subkey;
    }
    return node;
}

std::unique_ptr<RegistryKey> MemoryRegistry::OpenKey(Hive hive, const std::string& path,
                                                     KeyAccess access) {
    std::shared_ptr<Node> node =
        access == KeyAccess::CreateWrite ? FindOrCreate(hive, path) : Find(hive, path);
    if (!node) return nullptr;
    if (node->writesDenied && access != KeyAccess::Read) {
        if (access == KeyAccess::Write) return nullptr;
        throw KeyFailure("create", Location(hive, path), kAccessDenied);
    }
    return std::make_unique<MemoryKey>(std::move(node), Location(hive, path), access != KeyAccess::Read);
}

bool MemoryRegistry::KeyExists(Hive hive, const std::string& path) {
    return Find(hive, path) != nullptr;
}

bool MemoryRegistry::DeleteKey(Hive hive, const std::string& path) {
    const std::string key = NormalizeKeyPath(path);
    if (key.empty()) return false;  // never the whole hive
    const std::size_t split = key.rfind('\\');
    const std::shared_ptr<Node> parent =
        Find(hive, split == std::string::npos ? std::string() : key.substr(0, split));
    if (!parent) return false;
    const auto found = parent->subkeys.find(key.substr(split + 1));  // npos + 1 is 0
    if (found == parent->subkeys.end()) return false;
    found->second->MarkDeleted();
    parent->subkeys.erase(found);
    return true;
}

void MemoryRegistry::SetRawValue(Hive hive, const std::string& path, const std::string& name,
                                 const RegistryValue& value) {
    FindOrCreate(hive, path)->values.insert_or_assign(name, value);
}

std::optional<RegistryValue> MemoryRegistry::GetRawValue(Hive hive, const std::string& path,
                                                         const std::string& name) const {
    const std::shared_ptr<Node> node = Find(hive, path);
    if (!node) return std::nullopt;
    const auto found = node->values.find(name);
    if (found == node->values.end()) return std::nullopt;
    return found->second;
}

namespace {

std::shared_ptr<Node> CloneKey(const Node& node) {
    auto copy = std::make_shared<Node>();
    copy->values = node.values;
    copy->deleted = node.deleted;
    copy->writesDenied = node.writesDenied;
    for (const auto& [name, subkey] : node.subkeys) copy->subkeys[name] = CloneKey(*subkey);
    return copy;
}

}  // namespace

void MemoryRegistry::CopyFrom(const MemoryRegistry& other) {
    if (&other == this) return;
    localMachine_ = CloneKey(*other.localMachine_);
    users_.clear();
    for (const auto& [sid, hive] : other.users_) users_[sid] = CloneKey(*hive);
    userSid_ = other.userSid_;
}

void MemoryRegistry::DenyWrites(Hive hive, const std::string& path) {
    FindOrCreate(hive, path)->writesDenied = true;
}

}  // namespace platform::memory
