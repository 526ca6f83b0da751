#include "platform/memory/memory_system_info.h"

#include "platform/memory/memory_path.h"

namespace platform::memory {

namespace {

std::string NamePart(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

class MemorySmallIcon : public SmallIcon {
public:
    explicit MemorySmallIcon(int* id) : id_(id) {}
    void* NativeHandle() const override { return id_; }

private:
    int* id_;
};

}  // namespace

bool LessText::operator()(const std::string& a, const std::string& b) const {
    return FoldCase(a) < FoldCase(b);
}

std::optional<std::string> MemorySystemInfo::GetSpecialFolder(SpecialFolder folder) {
    const auto found = specialFolders.find(folder);
    if (found == specialFolders.end()) return std::nullopt;
    return found->second;
}

std::optional<std::string> MemorySystemInfo::GetEnv(const std::string& name) {
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
}

void MemorySystemInfo::SetEnv(const std::string& name, const std::string& value) {
    environment[name] = value;
}

std::optional<std::string> MemorySystemInfo::LoadResourceString(const std::string& modulePath,
                                                                std::uint32_t id) {
    const auto module = resourceModules.find(modulePath);
    if (module == resourceModules.end()) return std::nullopt;
    const auto text = module->second.find(id);
    if (text == module->second.end()) return std::string();
    return text->second.substr(0, 1023);
}

std::optional<std::vector<ProcessEntry>> MemorySystemInfo::RunningProcesses() {
    if (!processSnapshots) return std::nullopt;
    std::vector<ProcessEntry> result;
    for (const auto& [id, process] : processes) result.push_back(process.entry);
    return result;
}

std::vector<std::string> MemorySystemInfo::ProcessModules(std::uint32_t processId) {
    const auto found = processes.find(processId);
    return found == processes.end() ? std::vector<std::string>{} : found->second.modules;
}

std::unique_ptr<SmallIcon> MemorySystemInfo::FileSmallIcon(const std::string& path) {
    const auto found = icons.find(path);
    if (found == icons.end()) return nullptr;
    return std::make_unique<MemorySmallIcon>(&found->second);
}

std::uint32_t MemorySystemInfo::StartProcess(const std::string& programPath,
                                             std::vector<std::string> otherModules) {
    const std::uint32_t id = nextProcessId_++;
    otherModules.insert(otherModules.begin(), programPath);
    processes[id] = Process{{id, NamePart(programPath)}, std::move(otherModules)};
    return id;
}

void MemorySystemInfo::EndProcess(std::uint32_t processId) { processes.erase(processId); }

}  // namespace platform::memory
