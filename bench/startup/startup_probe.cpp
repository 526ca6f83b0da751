// startup_probe seed N     writes N simulated IDEs (300 known packages, 100-entry paths each)
// startup_probe clear      removes them
// startup_probe parse      parses the command line only, as the baseline
// startup_probe start      runs the installer's start-up sequence and prints what it found
// startup_probe roundtrip  prints the time of one registry query, the unit of the start-up's cost
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
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
            registry.DeleteKey(platform::Hive::CurrentUser, std::string("SOFTWARE\\Borland\\") + product);
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
        const auto key = registry.OpenKey(platform::Hive::CurrentUser, "Software", platform::KeyAccess::Read);
        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < kQueries; ++i) key->ValueExists("no such value");
        const auto took = std::chrono::steady_clock::now() - started;
        std::printf("%.1f\n", std::chrono::duration<double, std::micro>(took).count() / kQueries);
        return 0;
    }
    if (mode != "start") return mode == "clear" ? 0 : 2;

    const auto started = std::chrono::steady_clock::now();
    engine::TInstallData data(machine.platform, options);
    const auto took = std::chrono::steady_clock::now() - started;
    int packages = 0;
    for (int i = 0; i < data.Targets->Count(); ++i) {
        const auto& target = (*data.Targets)[i];
        packages += target.KnownIDEPackages.Count() + target.KnownPackages.Count() + target.DisabledPackages.Count();
    }
    std::printf("%d IDEs, %d package values, start-up sequence in-process: %.1f ms\n", data.Targets->Count(),
                packages, std::chrono::duration<double, std::milli>(took).count());
    return 0;
}
