#pragma once
// A whole machine for the journal's tests, made again for each failure injected: three IDEs
// (Delphi 7 from precompiled packages with its optional ZEOS packages compiled, C++Builder 6
// built with make, Delphi 2005 compiled with dcc32), a distribution with sources, and the
// platform's services behind a switch that fails or kills one chosen change. The state of each
// IDE (its registry keys, its folder with the BPL, DCP and header folders, the product's record
// of it and its target folder) is taken as a snapshot to compare.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/journal.h"
#include "engine/tests/testing/engine_machine.h"
#include "engine/tests/testing/fault_machine.h"

namespace enginetest {

struct RigIde {
    std::string name;       // display name
    std::string key;        // below SOFTWARE\Borland
    std::string root;       // root folder, holding the BPL, DCP and header folders
    std::string target;     // target folder in the installation folder
};

inline const std::vector<RigIde> RigIdes = {
    {"Delphi 7.0 (Enterprise)", "Delphi\\7.0", "C:\\D7", "Delphi7"},
    {"C++Builder 6.0 (Enterprise)", "C++Builder\\6.0", "C:\\CB6", "CBuilder6"},
    {"Delphi 2005 (Enterprise)", "BDS\\3.0", "C:\\BDS3", "Delphi9"},
};

enum class Scenario { FirstInstallation, Maintenance, Update };

inline const char* ScenarioName(Scenario scenario) {
    switch (scenario) {
        case Scenario::FirstInstallation: return "first installation";
        case Scenario::Maintenance: return "maintenance reinstall";
        case Scenario::Update: return "update";
    }
    return "?";
}

// Everything below some keys and folders: each key, each value with its kind and bytes, each
// folder and each file with its attributes and contents.
using State = std::map<std::string, std::string>;

inline void AddKey(State& state, platform::Registry& registry, platform::Hive hive, const std::string& key) {
    const auto opened = registry.OpenKey(hive, key, platform::KeyAccess::Read);
    const std::string where = platform::KeyDisplayName(hive, key);
    if (!opened) {
        state["no key " + where] = "";
        return;
    }
    state["key " + where] = "";
    for (const auto& name : opened->ValueNames()) {
        const auto value = opened->ReadValue(name);
        state["value " + where + " | " + name] = std::to_string(static_cast<int>(value->kind)) + ":" + value->bytes;
    }
    for (const auto& subkey : opened->SubkeyNames()) AddKey(state, registry, hive, key + "\\" + subkey);
}

inline void AddFolder(State& state, platform::FileSystem& files, const std::string& folder) {
    const auto attributes = files.GetAttributes(folder);
    if (!attributes) {
        state["no folder " + folder] = "";
        return;
    }
    state["folder " + folder] = std::to_string(*attributes);
    for (const auto& entry : files.Find(folder + "\\*.*", platform::attr::AnyFile).entries) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string path = folder + "\\" + entry.name;
        if (entry.attributes & platform::attr::Directory)
            AddFolder(state, files, path);
        else
            state["file " + path] = std::to_string(entry.attributes) + ":" + files.ReadWholeFile(path);
    }
}

// The differences of two states, one line each, for the failure messages.
inline std::string Differences(const State& expected, const State& actual) {
    std::string text;
    for (const auto& [name, value] : expected) {
        const auto found = actual.find(name);
        if (found == actual.end())
            text += "  missing: " + name + "\n";
        else if (found->second != value)
            text += "  changed: " + name + "\n";
    }
    for (const auto& [name, value] : actual)
        if (!expected.count(name)) text += "  added: " + name + "\n";
    return text;
}

class Rig : public CompilerTest {
public:
    // The engine and the data use the switch's services: they go first.
    ~Rig() override {
        compiler.reset();
        data.reset();
    }
    void TestBody() override {}

    // What the journal's tests reach of the machine.
    using CompilerTest::afterBuild;
    using CompilerTest::damagedArchive;
    using CompilerTest::Exists;
    using CompilerTest::machine;
    using CompilerTest::messages;
    using CompilerTest::Value;
    using CompilerTest::WriteFile;

    // What the run does with each IDE.
    std::vector<engine::TTargetAction> actions{engine::taInstall, engine::taInstall, engine::taInstall};
    Faults faults;
    FaultyFiles faultyFiles{machine.files, faults};
    FaultyRegistry faultyRegistry{machine.registry, faults};
    FaultyRunner faultyRunner{machine.processes, faults};
    platform::Platform faulty{faultyRegistry, faultyFiles, faultyRunner, machine.system};

    // The machine before the run of the scenario: IDEs seeded, and for maintenance and update
    // an installation into each.
    void Prepare(Scenario scenario) {
        auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
        d7.zeos = true;
        Seed(d7);
        Seed(seeding::TypicalIde("C++Builder", "6.0", "C:\\CB6"));
        Seed(seeding::TypicalIde("BDS", "3.0", "C:\\BDS3"));
        machine.files.WriteFile("C:\\Dist\\withsrcs", "");
        if (scenario == Scenario::FirstInstallation) return;
        if (scenario == Scenario::Update) machine.files.WriteFile("C:\\Dist\\version", "2.4.1.16");
        EXPECT_TRUE(Run()) << Lines();
        if (scenario == Scenario::Update) machine.files.WriteFile("C:\\Dist\\version", "2.4.1.17");
        // What the run is to change: an older build of the main package, and a registration of an
        // older copy that the IDE was told not to load.
        for (const auto& ide : RigIdes) {
            const std::string suffix = ide.target[0] == 'C' ? "C6" : ide.target == "Delphi7" ? "D7" : "D9";
            machine.files.WriteFile(ide.root + "\\Projects\\Bpl\\tkQuorvex" + suffix + ".bpl",
                                    fixtures::PackageImage({}) + "older build");
            machine.registry.OpenKey(platform::Hive::User, "SOFTWARE\\Borland\\" + ide.key + "\\Disabled Packages",
                                     platform::KeyAccess::Write)
                ->WriteString("C:\\Old\\tkQuorvexDsgn" + suffix + ".bpl", "An older copy");
        }
    }

    // The machine as another rig has it: a prepared machine is made once and copied.
    void CopyMachineFrom(const Rig& other) {
        machine.files.CopyFrom(other.machine.files);
        machine.registry.CopyFrom(other.machine.registry);
        machine.system = other.machine.system;
    }

    // The run into every IDE, as the compile page makes it; `onTarget` sees each IDE begin.
    bool Run(const std::function<void(int)>& onTarget = {}, const std::function<void(const std::string&)>& onMessage = {},
             const std::function<void()>& beforeInstall = {}) {
        compiler.reset();
        data = std::make_unique<TInstallData>(faulty, options);
        for (int i = 0; i < data->TargetOptions->Count(); ++i) {
            auto& target = (*data->TargetOptions)[i];
            target.Action = actions[static_cast<std::size_t>(i)];
            target.CompilePackages = target.Target.IsBCB() || target.Target.Version == 9;
        }
        data->SaveToRegistry();
        auto& engineRef = Engine();
        if (onTarget) engineRef.OnTarget = [onTarget](TCompiler&, engine::TTargetOptions&, int index, int) { onTarget(index); };
        if (onMessage)
            engineRef.OnMessage = [this, onMessage](const std::string& line, bool&) {
                messages.push_back(line);
                onMessage(line);
            };
        if (beforeInstall) beforeInstall();
        return engineRef.Install();
    }

    // The product's main record: its two values (a key with per-IDE records only is no record).
    State Record() {
        State state;
        for (const char* name : {"InstallDir", "InstalledVersion"}) {
            const std::string value = Value(platform::Hive::LocalMachine, Product, name);
            state[name] = value == "<no key>" ? "" : value;
        }
        // A version without a folder is what a first installation cut short in between leaves.
        if (state["InstallDir"].empty()) state["InstalledVersion"].clear();
        return state;
    }

    State Ide(int index) {
        const RigIde& ide = RigIdes[static_cast<std::size_t>(index)];
        State state;
        AddKey(state, machine.registry, platform::Hive::User, "SOFTWARE\\Borland\\" + ide.key);
        AddKey(state, machine.registry, platform::Hive::LocalMachine, "SOFTWARE\\Borland\\" + ide.key);
        AddKey(state, machine.registry, platform::Hive::LocalMachine, Product + "\\" + ide.name);
        AddFolder(state, machine.files, ide.root);
        AddFolder(state, machine.files, InstallDir + "\\" + ide.target);
        return state;
    }

    // The installation folder without the target folders.
    State Installation() {
        State state;
        AddFolder(state, machine.files, InstallDir + "\\Packages");
        AddFolder(state, machine.files, InstallDir + "\\Sources");
        return state;
    }

    // No journal is left, nor the registry's pointer to one.
    bool JournalGone() {
        const auto key = machine.registry.OpenKey(platform::Hive::LocalMachine, engine::journal::JournalRegistryKey,
                                                  platform::KeyAccess::Read);
        return !Exists(engine::journal::JournalFolderFor(InstallDir)) && (!key || key->ValueNames().empty());
    }

    bool Sent(const std::string& line) const { return std::find(messages.begin(), messages.end(), line) != messages.end(); }

    std::string Lines() const {
        std::string text;
        for (const auto& line : messages) text += "  | " + line + "\n";
        return text;
    }
};

}  // namespace enginetest
