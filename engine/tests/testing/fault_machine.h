#pragma once
// The platform's services with a switch that makes one chosen change fail, or cuts the run short
// before it as a kill would: every change (each copy, move, delete, folder, written file,
// registry write, key created or deleted, tool run) is counted while the switch is armed.

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_data.h"

namespace enginetest {

// Thrown where a kill cuts the run short. No std::exception: nothing in the engine catches it, as
// nothing in a killed process runs on.
struct Killed {
    std::string at;
};

class Faults {
public:
    enum class Mode { Count, Fail, Kill };
    enum class Action { None, Fail, Kill };

    // Counts the changes from now on; the one numbered `at` (from 1) fails or is killed.
    void Arm(Mode mode, int at = 0) {
        mode_ = mode;
        at_ = at;
        count_ = 0;
        armed_ = true;
        seen_.clear();
        hit_.clear();
    }
    void Disarm() { armed_ = false; }
    int Count() const { return count_; }
    const std::vector<std::string>& Seen() const { return seen_; }
    // The change that failed or was killed; empty when none was.
    const std::string& HitChange() const { return hit_; }

    Action Hit(const std::string& what) {
        if (!armed_) return Action::None;
        ++count_;
        seen_.push_back(what);
        if (count_ != at_ || mode_ == Mode::Count) return Action::None;
        hit_ = what;
        return mode_ == Mode::Fail ? Action::Fail : Action::Kill;
    }
    // For changes that a kill cuts off before they happen.
    bool Fails(const std::string& what) {
        const Action action = Hit(what);
        if (action == Action::Kill) throw Killed{what};
        return action == Action::Fail;
    }

private:
    Mode mode_ = Mode::Count;
    int at_ = 0;
    int count_ = 0;
    bool armed_ = false;
    std::vector<std::string> seen_;
    std::string hit_;
};

class FaultyFiles : public platform::FileSystem {
public:
    FaultyFiles(platform::FileSystem& inner, Faults& faults) : inner_(inner), faults_(faults) {}

    platform::FindResult Find(const std::string& pattern, std::uint32_t mask) override { return inner_.Find(pattern, mask); }
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override { return inner_.GetAttributes(path); }
    std::optional<platform::FolderIdentity> IdentityOf(const std::string& path) override { return inner_.IdentityOf(path); }
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override {
        return !faults_.Fails("attributes " + path) && inner_.SetAttributes(path, attributes);
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return !faults_.Fails("copy " + from + " > " + to) && inner_.CopyFile(from, to, overwrite);
    }
    bool MoveFile(const std::string& from, const std::string& to) override {
        return !faults_.Fails("move " + from + " > " + to) && inner_.MoveFile(from, to);
    }
    bool DeleteFile(const std::string& path) override { return !faults_.Fails("delete " + path) && inner_.DeleteFile(path); }
    bool CreateDirectory(const std::string& path) override {
        return !faults_.Fails("create folder " + path) && inner_.CreateDirectory(path);
    }
    bool RemoveDirectory(const std::string& path) override {
        return !faults_.Fails("remove folder " + path) && inner_.RemoveDirectory(path);
    }
    std::string ReadWholeFile(const std::string& path) override { return inner_.ReadWholeFile(path); }
    void WriteFile(const std::string& path, const std::string& data) override {
        if (faults_.Fails("write " + path)) throw platform::FileError("Cannot write file " + path + ": injected");
        inner_.WriteFile(path, data);
    }
    bool Recycle(const std::string& pattern) override { return !faults_.Fails("recycle " + pattern) && inner_.Recycle(pattern); }

private:
    platform::FileSystem& inner_;
    Faults& faults_;
};

class FaultyKey : public platform::RegistryKey {
public:
    FaultyKey(std::unique_ptr<platform::RegistryKey> inner, std::string where, Faults& faults)
        : inner_(std::move(inner)), where_(std::move(where)), faults_(faults) {}

    std::string ReadString(const std::string& name) const override { return inner_->ReadString(name); }
    std::optional<std::int32_t> ReadInteger(const std::string& name) const override { return inner_->ReadInteger(name); }
    bool ValueExists(const std::string& name) const override { return inner_->ValueExists(name); }
    void WriteString(const std::string& name, const std::string& value) override {
        Check(name);
        inner_->WriteString(name, value);
    }
    void WriteInteger(const std::string& name, std::int32_t value) override {
        Check(name);
        inner_->WriteInteger(name, value);
    }
    bool DeleteValue(const std::string& name) override {
        return !faults_.Fails("delete value " + where_ + " " + name) && inner_->DeleteValue(name);
    }
    std::optional<platform::RegistryValue> ReadValue(const std::string& name) const override {
        return inner_->ReadValue(name);
    }
    void WriteValue(const std::string& name, const platform::RegistryValue& value) override {
        Check(name);
        inner_->WriteValue(name, value);
    }
    std::vector<std::string> ValueNames() const override { return inner_->ValueNames(); }
    std::vector<std::pair<std::string, std::string>> StringValues() const override { return inner_->StringValues(); }
    std::vector<std::string> SubkeyNames() const override { return inner_->SubkeyNames(); }

private:
    void Check(const std::string& name) {
        if (faults_.Fails("write value " + where_ + " " + name))
            throw platform::RegistryError("Cannot write value \"" + name + "\" of key " + where_ + ": injected");
    }

    std::unique_ptr<platform::RegistryKey> inner_;
    std::string where_;
    Faults& faults_;
};

class FaultyRegistry : public platform::Registry {
public:
    FaultyRegistry(platform::Registry& inner, Faults& faults) : inner_(inner), faults_(faults) {}

    std::unique_ptr<platform::RegistryKey> OpenKey(platform::Hive hive, const std::string& path,
                                                   platform::KeyAccess access) override {
        const std::string where = platform::KeyDisplayName(hive, path);
        if (access == platform::KeyAccess::CreateWrite && faults_.Fails("create key " + where))
            throw platform::RegistryError("Cannot create key " + where + ": injected");
        auto key = inner_.OpenKey(hive, path, access);
        if (!key || access == platform::KeyAccess::Read) return key;
        return std::make_unique<FaultyKey>(std::move(key), where, faults_);
    }
    bool KeyExists(platform::Hive hive, const std::string& path) override { return inner_.KeyExists(hive, path); }
    bool DeleteKey(platform::Hive hive, const std::string& path) override {
        return !faults_.Fails("delete key " + platform::KeyDisplayName(hive, path)) && inner_.DeleteKey(hive, path);
    }
    std::string RootName(platform::Hive hive) const override { return inner_.RootName(hive); }

private:
    platform::Registry& inner_;
    Faults& faults_;
};

// A tool that fails does its work first and then ends with exit code 1, as one that crashes
// after writing some of its files; a kill lets the tool finish (a killed setup.exe does not take
// its tools along) and then cuts the run.
class FaultyRunner : public platform::ProcessRunner {
public:
    FaultyRunner(platform::ProcessRunner& inner, Faults& faults) : inner_(inner), faults_(faults) {}

    int CaptureExecute(const std::string& command, const std::string& parameters, const std::string& directory,
                       const platform::LineCallback& onLine, const platform::IdleCallback& onIdle,
                       bool useInputPipe) override {
        const auto action = faults_.Hit("run " + command + parameters);
        const int exitCode = inner_.CaptureExecute(command, parameters, directory, onLine, onIdle, useInputPipe);
        if (action == Faults::Action::Kill) throw Killed{"run " + command + parameters};
        return action == Faults::Action::Fail ? 1 : exitCode;
    }
    std::string StartFailure() const override { return inner_.StartFailure(); }

private:
    platform::ProcessRunner& inner_;
    Faults& faults_;
};

}  // namespace enginetest
