#pragma once
// Decorators that count and time each file and registry call the engine makes, so that the bench
// can say where the engine's own time goes.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/registry_data.h"
#include "system/text.h"

namespace bench {

class CallProfile {
public:
    template <typename Call>
    auto Time(const std::string& operation, Call&& call) {
        const auto start = std::chrono::steady_clock::now();
        struct Record {
            CallProfile& profile;
            const std::string& operation;
            std::chrono::steady_clock::time_point start;
            ~Record() {
                auto& [count, milliseconds] = profile.calls_[operation];
                ++count;
                milliseconds += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            }
        } record{*this, operation, start};
        return call();
    }

    void Clear() { calls_.clear(); }

    // One line per operation, the costliest first, then the share of the file and registry calls
    // that were the journal's: those on the files in its folder.
    void Print() const {
        std::vector<std::pair<std::string, std::pair<long, double>>> rows(calls_.begin(), calls_.end());
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second.second > b.second.second; });
        double platform = 0;
        double journal = 0;
        for (const auto& [operation, figures] : rows) {
            std::printf("  %-28s %7ld calls %9.1f ms %8.1f us each\n", operation.c_str(), figures.first, figures.second,
                        1000.0 * figures.second / static_cast<double>(figures.first));
            if (operation == ToolRuns) continue;
            platform += figures.second;
            if (operation.find(JournalSuffix) != std::string::npos) journal += figures.second;
        }
        std::printf("file and registry calls: %.0f ms, of which on the journal's files: %.0f ms\n", platform, journal);
    }

    static constexpr const char* ToolRuns = "CaptureExecute";
    static constexpr const char* JournalSuffix = " (journal)";

private:
    std::map<std::string, std::pair<long, double>> calls_;
};

class ProfilingKey : public platform::RegistryKey {
public:
    ProfilingKey(std::unique_ptr<platform::RegistryKey> inner, CallProfile& profile)
        : inner_(std::move(inner)), profile_(profile) {}

    std::string ReadString(const std::string& name) const override {
        return profile_.Time("key.ReadString", [&] { return inner_->ReadString(name); });
    }
    std::optional<std::int32_t> ReadInteger(const std::string& name) const override {
        return profile_.Time("key.ReadInteger", [&] { return inner_->ReadInteger(name); });
    }
    bool ValueExists(const std::string& name) const override {
        return profile_.Time("key.ValueExists", [&] { return inner_->ValueExists(name); });
    }
    void WriteString(const std::string& name, const std::string& value) override {
        profile_.Time("key.WriteString", [&] { inner_->WriteString(name, value); });
    }
    void WriteInteger(const std::string& name, std::int32_t value) override {
        profile_.Time("key.WriteInteger", [&] { inner_->WriteInteger(name, value); });
    }
    bool DeleteValue(const std::string& name) override {
        return profile_.Time("key.DeleteValue", [&] { return inner_->DeleteValue(name); });
    }
    std::optional<platform::RegistryValue> ReadValue(const std::string& name) const override {
        return profile_.Time("key.ReadValue", [&] { return inner_->ReadValue(name); });
    }
    void WriteValue(const std::string& name, const platform::RegistryValue& value) override {
        profile_.Time("key.WriteValue", [&] { inner_->WriteValue(name, value); });
    }
    std::vector<std::string> ValueNames() const override {
        return profile_.Time("key.ValueNames", [&] { return inner_->ValueNames(); });
    }
    std::vector<std::pair<std::string, std::string>> StringValues() const override {
        return profile_.Time("key.StringValues", [&] { return inner_->StringValues(); });
    }
    std::vector<std::string> SubkeyNames() const override {
        return profile_.Time("key.SubkeyNames", [&] { return inner_->SubkeyNames(); });
    }

private:
    std::unique_ptr<platform::RegistryKey> inner_;
    CallProfile& profile_;
};

class ProfilingRegistry : public platform::Registry {
public:
    ProfilingRegistry(platform::Registry& inner, CallProfile& profile) : inner_(inner), profile_(profile) {}

    std::unique_ptr<platform::RegistryKey> OpenKey(platform::Hive hive, const std::string& path,
                                                   platform::KeyAccess access) override {
        auto opened = profile_.Time(access == platform::KeyAccess::Read ? "OpenKey(Read)" : "OpenKey(Write)",
                                    [&] { return inner_.OpenKey(hive, path, access); });
        if (!opened) return opened;
        return std::make_unique<ProfilingKey>(std::move(opened), profile_);
    }
    bool KeyExists(platform::Hive hive, const std::string& path) override {
        return profile_.Time("KeyExists", [&] { return inner_.KeyExists(hive, path); });
    }
    bool DeleteKey(platform::Hive hive, const std::string& path) override {
        return profile_.Time("DeleteKey", [&] { return inner_.DeleteKey(hive, path); });
    }
    std::string RootName(platform::Hive hive) const override { return inner_.RootName(hive); }

private:
    platform::Registry& inner_;
    CallProfile& profile_;
};

// Each call on a file in a journal's folder ("<installation folder>.journal") is counted apart:
// the entries, the files moved in and their deletion once the IDE is done.
class ProfilingFiles : public platform::FileSystem {
public:
    ProfilingFiles(platform::FileSystem& inner, CallProfile& profile) : inner_(inner), profile_(profile) {}

    platform::FindResult Find(const std::string& pattern, std::uint32_t mask) override {
        return profile_.Time(Name("Find", pattern), [&] { return inner_.Find(pattern, mask); });
    }
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override {
        return profile_.Time(Name("GetAttributes", path), [&] { return inner_.GetAttributes(path); });
    }
    std::optional<platform::FolderIdentity> IdentityOf(const std::string& path) override {
        return profile_.Time(Name("IdentityOf", path), [&] { return inner_.IdentityOf(path); });
    }
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
        return profile_.Time(Name("SetAttributes", path), [&] { return inner_.SetAttributes(path, attributes); });
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return profile_.Time(Name("CopyFile", from, to), [&] { return inner_.CopyFile(from, to, overwrite); });
    }
    bool MoveFile(const std::string& from, const std::string& to) override {
        return profile_.Time(Name("MoveFile", from, to), [&] { return inner_.MoveFile(from, to); });
    }
    bool DeleteFile(const std::string& path) override {
        return profile_.Time(Name("DeleteFile", path), [&] { return inner_.DeleteFile(path); });
    }
    bool CreateDirectory(const std::string& path) override {
        return profile_.Time(Name("CreateDirectory", path), [&] { return inner_.CreateDirectory(path); });
    }
    bool RemoveDirectory(const std::string& path) override {
        return profile_.Time(Name("RemoveDirectory", path), [&] { return inner_.RemoveDirectory(path); });
    }
    std::string ReadWholeFile(const std::string& path) override {
        return profile_.Time(Name("ReadWholeFile", path), [&] { return inner_.ReadWholeFile(path); });
    }
    void WriteFile(const std::string& path, const std::string& data) override {
        profile_.Time(Name("WriteFile", path), [&] { inner_.WriteFile(path, data); });
    }
    bool Recycle(const std::string& pattern) override {
        return profile_.Time(Name("Recycle", pattern), [&] { return inner_.Recycle(pattern); });
    }

private:
    static bool InJournal(const std::string& path) {
        return sys::UpperAscii(path).find(".JOURNAL\\") != std::string::npos;
    }
    // The operation's name, marked when it touches the journal's files.
    static std::string Name(const char* operation, const std::string& path, const std::string& other = {}) {
        return InJournal(path) || InJournal(other) ? operation + std::string(CallProfile::JournalSuffix) : operation;
    }

    platform::FileSystem& inner_;
    CallProfile& profile_;
};

}  // namespace bench
