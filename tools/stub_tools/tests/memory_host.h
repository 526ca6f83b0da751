#pragma once
// A host in memory for the stub tools' tests: Windows paths compared without case, files only
// writable into folders the test made.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/stub_tools/host.h"
#include "tools/stub_tools/package_project.h"
#include "tools/stub_tools/paths.h"

namespace stubs::testing {

class MemoryHost : public Host {
public:
    std::string currentDirectory = "C:\\Work";
    Macros environment;
    std::string output;
    std::vector<unsigned> sleeps;

    void AddFolder(const std::string& path) { folders_.insert(NormalizePath(path)); }
    void AddFile(const std::string& path, const std::string& data) {
        AddFolder(FolderOf(NormalizePath(path)));
        files_[NormalizePath(path)] = data;
    }
    void RemoveFile(const std::string& path) { files_.erase(NormalizePath(path)); }
    bool HasFile(const std::string& path) const { return files_.contains(NormalizePath(path)); }
    std::string FileText(const std::string& path) const { return ReadFile(path).value_or("(no such file)"); }
    // Every file's path, in sorted order.
    std::vector<std::string> Files() const {
        std::vector<std::string> paths;
        for (const auto& file : files_) paths.push_back(file.first);
        return paths;
    }

    std::string CurrentDirectory() const override { return currentDirectory; }
    std::optional<std::string> Environment(const std::string& name) const override {
        const auto it = environment.find(name);
        return it == environment.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::optional<std::string> ReadFile(const std::string& path) const override {
        const auto it = files_.find(NormalizePath(path));
        return it == files_.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    bool WriteFile(const std::string& path, std::string_view data) override {
        if (!folders_.contains(FolderOf(NormalizePath(path)))) return false;
        files_[NormalizePath(path)] = std::string(data);
        return true;
    }
    void Print(std::string_view bytes) override { output += bytes; }
    void Sleep(unsigned seconds) override { sleeps.push_back(seconds); }

private:
    std::set<std::string, IgnoreCaseLess> folders_;
    std::map<std::string, std::string, IgnoreCaseLess> files_;
};

}  // namespace stubs::testing
