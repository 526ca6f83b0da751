// startup_probe seed N     writes N simulated IDEs (300 known packages, 100-entry paths each)
// startup_probe clear      removes them
// startup_probe parse      parses the command line only, as the baseline
// startup_probe start      runs the installer's start-up sequence and prints what it found
// startup_probe roundtrip  prints the time of one registry query, the unit of the start-up's cost
// startup_probe floor      records every registry read of the start-up sequence, then times only
//                          those reads, one query each as the start-up makes them: "<ms> <queries>"
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/install_data.h"
#include "platform/win32/win32_machine.h"
#include "system/file_utils.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

const std::string Root = "C:\\QuorvexStartupBench";

seeding::SeededIde BenchIde(int index) {
    // Version keys 6.0, 6.1, ... 7.9, spread over Delphi and C++Builder, all listed.
    const char* product = index % 2 ? "C++Builder" : "Delphi";
    const std::string key = std::to_string(6 + index / 20) + "." + std::to_string(index % 20);
    auto ide = seeding::TypicalIde(product, key, Root + "\\IDE" + std::to_string(index));
    ide.knownPackages.clear();
    for (int p = 0; p < 300; ++p)
        ide.knownPackages.push_back({"$(DELPHI)\\Bin\\package" + std::to_string(p) + ".bpl",
                                     "Package number " + std::to_string(p)});
    std::string paths;
    for (int p = 0; p < 100; ++p) paths += (p ? ";" : "") + std::string("$(DELPHI)\\Lib\\Folder") + std::to_string(p);
    ide.searchPath = ide.browsingPath = ide.packageSearchPath = ide.debugDcusPath = paths;
    return ide;
}

// One read of the start-up: which key (by the order it was opened in) and what was asked of it.
struct RegistryRead {
    int key;
    std::function<void(platform::RegistryKey&)> ask;
};

struct OpenedKey {
    platform::Hive hive;
    std::string path;
    platform::KeyAccess access;
};

// Passes every call on and writes down the keys opened and the reads made of them.
class RecordingKey : public platform::RegistryKey {
public:
    RecordingKey(std::unique_ptr<platform::RegistryKey> inner, int id, std::vector<RegistryRead>& reads)
        : inner_(std::move(inner)), id_(id), reads_(reads) {}

    std::string ReadString(const std::string& name) const override {
        Note([name](platform::RegistryKey& key) { key.ReadString(name); });
        return inner_->ReadString(name);
    }
    std::optional<std::int32_t> ReadInteger(const std::string& name) const override {
        Note([name](platform::RegistryKey& key) { key.ReadInteger(name); });
        return inner_->ReadInteger(name);
    }
    bool ValueExists(const std::string& name) const override {
        Note([name](platform::RegistryKey& key) { key.ValueExists(name); });
        return inner_->ValueExists(name);
    }
    void WriteString(const std::string& name, const std::string& value) override { inner_->WriteString(name, value); }
    void WriteInteger(const std::string& name, std::int32_t value) override { inner_->WriteInteger(name, value); }
    bool DeleteValue(const std::string& name) override { return inner_->DeleteValue(name); }
    std::optional<platform::RegistryValue> ReadValue(const std::string& name) const override {
        Note([name](platform::RegistryKey& key) { key.ReadValue(name); });
        return inner_->ReadValue(name);
    }
    void WriteValue(const std::string& name, const platform::RegistryValue& value) override {
        inner_->WriteValue(name, value);
    }
    std::vector<std::string> ValueNames() const override {
        Note([](platform::RegistryKey& key) { key.ValueNames(); });
        return inner_->ValueNames();
    }
    std::vector<std::pair<std::string, std::string>> StringValues() const override {
        Note([](platform::RegistryKey& key) { key.StringValues(); });
        return inner_->StringValues();
    }
    std::vector<std::string> SubkeyNames() const override {
        Note([](platform::RegistryKey& key) { key.SubkeyNames(); });
        return inner_->SubkeyNames();
    }

private:
    void Note(std::function<void(platform::RegistryKey&)> ask) const { reads_.push_back({id_, std::move(ask)}); }

    std::unique_ptr<platform::RegistryKey> inner_;
    int id_;
    std::vector<RegistryRead>& reads_;
};

class RecordingRegistry : public platform::Registry {
public:
    explicit RecordingRegistry(platform::Registry& inner) : inner_(inner) {}

    std::unique_ptr<platform::RegistryKey> OpenKey(platform::Hive hive, const std::string& path,
                                                   platform::KeyAccess access) override {
        auto key = inner_.OpenKey(hive, path, access);
        if (!key) return key;
        opened.push_back({hive, path, access});
        return std::make_unique<RecordingKey>(std::move(key), static_cast<int>(opened.size()) - 1, reads);
    }
    bool KeyExists(platform::Hive hive, const std::string& path) override { return inner_.KeyExists(hive, path); }
    bool DeleteKey(platform::Hive hive, const std::string& path) override { return inner_.DeleteKey(hive, path); }
    std::string RootName(platform::Hive hive) const override { return inner_.RootName(hive); }

    std::vector<OpenedKey> opened;
    std::vector<RegistryRead> reads;

private:
    platform::Registry& inner_;
};

// The registry floor: the start-up's key opens and reads again, nothing else.
int TimeRegistryFloor(platform::win32::Win32Machine& machine, cmdline::TCmdOptions& options) {
    RecordingRegistry recorder(machine.registry);
    platform::Platform recording{recorder, machine.files, machine.processes, machine.system};
    engine::TInstallData data(recording, options);

    const auto started = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<platform::RegistryKey>> keys;
    for (const auto& key : recorder.opened) keys.push_back(machine.registry.OpenKey(key.hive, key.path, key.access));
    for (const auto& read : recorder.reads) read.ask(*keys[static_cast<std::size_t>(read.key)]);
    const auto took = std::chrono::steady_clock::now() - started;
    std::printf("%.1f %zu\n", std::chrono::duration<double, std::milli>(took).count(),
                recorder.opened.size() + recorder.reads.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    platform::win32::Win32Machine machine;
    auto& registry = machine.registry;
    auto& files = machine.files;

    cmdline::TCmdOptions options(files);
    options.Parse(std::vector<std::string>(argv + 1, argv + argc));
    if (mode == "parse") return 0;
    if (mode == "clear" || mode == "seed") {
        for (const char* product : {"Delphi", "C++Builder", "BDS"}) {
            registry.DeleteKey(platform::Hive::LocalMachine, std::string("SOFTWARE\\Borland\\") + product);
            registry.DeleteKey(platform::Hive::User, std::string("SOFTWARE\\Borland\\") + product);
        }
        sys::DeleteTree(files, Root);
    }
    if (mode == "seed") {
        const int count = argc > 2 ? std::atoi(argv[2]) : 1;
        for (int i = 0; i < count; ++i) seeding::Seed(registry, files, BenchIde(i));
        return 0;
    }
    if (mode == "roundtrip") {
        // Under Wine every registry call is a round trip to the server, whatever it asks.
        constexpr int kQueries = 5000;
        const auto key = registry.OpenKey(platform::Hive::User, "Software", platform::KeyAccess::Read);
        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < kQueries; ++i) key->ValueExists("no such value");
        const auto took = std::chrono::steady_clock::now() - started;
        std::printf("%.1f\n", std::chrono::duration<double, std::micro>(took).count() / kQueries);
        return 0;
    }
    if (mode == "floor") return TimeRegistryFloor(machine, options);
    if (mode != "start") return mode == "clear" ? 0 : 2;

    const auto started = std::chrono::steady_clock::now();
    engine::TInstallData data(machine.platform, options);
    const auto took = std::chrono::steady_clock::now() - started;
    // The start-up reads the package lists but keeps none: read them again to count them.
    int packages = 0;
    for (int i = 0; i < data.Targets->Count(); ++i) {
        auto& target = (*data.Targets)[i];
        target.ReloadLists();
        packages += target.KnownIDEPackages.Count() + target.KnownPackages.Count() + target.DisabledPackages.Count();
    }
    std::printf("%d IDEs, %d package values, start-up sequence in-process: %.1f ms\n", data.Targets->Count(),
                packages, std::chrono::duration<double, std::milli>(took).count());
    return 0;
}
