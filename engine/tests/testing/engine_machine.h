#pragma once
// The machine the engine tests share, for the tests of each phase of a run.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "engine/compiler.h"
#include "engine/unit_names.h"
#include "platform/memory/memory_machine.h"
#include "platform/registry_data.h"
#include "system/file_utils.h"
#include "tools/pe_package/pe_package.h"
#include "tools/sample_product/sample_product.h"
#include "tools/seed_ides/ide_seed.h"

namespace enginetest {

using engine::TCompiler;
using engine::TInstallData;
using platform::Hive;
using platform::KeyAccess;
using platform::memory::ProgramInvocation;
using platform::memory::ProgramScript;
using Lines = std::vector<std::string>;

inline const std::string Product = "Software\\Veltrano Software\\Quorvex";
inline const std::string InstallDir = "C:\\Program Files\\Veltradb\\Quorvex";
// The typical Delphi 7 of the seeding: its user key, BPL folder and the packages it comes with.
inline const std::string User7 = "SOFTWARE\\Borland\\Delphi\\7.0";
inline const std::string Bpl7 = "C:\\D7\\Projects\\Bpl";
inline const Lines IdePackages7 = {"$(DELPHI)\\Bin\\dclbase70.bpl", "$(DELPHI)\\Bin\\dcldata70.bpl"};
inline const Lines IdeDisabled7 = {"$(DELPHI)\\Bin\\dclsample70.bpl"};

// The quoted text after a switch such as -LE"C:\Bpl"; empty when absent.
inline std::string SwitchValue(const std::string& parameters, const std::string& name) {
    const auto at = parameters.find(" " + name + "\"");
    if (at == std::string::npos) return {};
    const auto start = at + name.size() + 2;
    return parameters.substr(start, parameters.find('"', start) - start);
}

inline std::string LastQuoted(const std::string& parameters) {
    const auto close = parameters.find_last_of('"');
    const auto open = parameters.find_last_of('"', close - 1);
    return parameters.substr(open + 1, close - open - 1);
}

inline std::string Stem(const std::string& file) {
    const auto slash = file.find_last_of('\\');
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    return name.substr(0, name.find_last_of('.'));
}

// What setup.exe of the distribution holds.
inline const std::string SetupProgram = "MZ setup of 2.4.1.17";

// A machine with a distribution in C:\Dist, simulated IDEs and tools that do what the real
// ones would: the extractor lays out the product, the compilers write their output files.
class CompilerTest : public ::testing::Test {
protected:
    CompilerTest() {
        machine.files.CreateDirectory("C:\\Dist");
        machine.system.currentDirectory = machine.system.programFolder = "C:\\Dist";
        machine.files.WriteFile("C:\\Dist\\version", "2.4.1.17");
        machine.files.WriteFile("C:\\Dist\\setup.exe", SetupProgram);
        machine.system.SetEnv("PATH", "C:\\Windows");
        RegisterTools();
    }

    // Seeds the IDE; the programs the engine starts see its BPL folder on PATH, as on Windows.
    void Seed(const seeding::SeededIde& ide) {
        seeding::Seed(machine.registry, machine.files, ide);
        if (ide.bplOnPath)
            machine.system.SetEnv("PATH", *machine.system.GetEnv("PATH") + ";" + seeding::ExpandedBplOutput(ide));
    }
    void SeedTypical() {
        Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
        Seed(seeding::TypicalIde("C++Builder", "6.0", "C:\\CB6"));
        Seed(seeding::TypicalIde("BDS", "3.0", "C:\\BDS3"));
    }

    TInstallData& Start() {
        compiler.reset();
        data = std::make_unique<TInstallData>(*platformInUse, options);
        return *data;
    }

    TCompiler& Engine() {
        compiler = std::make_unique<TCompiler>(*data);
        compiler->OnMessage = [this](const std::string& line, bool&) { messages.push_back(line); };
        messages.clear();
        return *compiler;
    }

    engine::TTargetOptions& Target(int index) { return (*data->TargetOptions)[index]; }

    // First installation into every IDE with the given actions.
    bool InstallAll() {
        Start();
        for (int i = 0; i < data->TargetOptions->Count(); ++i) Target(i).Action = engine::taInstall;
        return Engine().Install();
    }

    void WriteFile(const std::string& path, const std::string& text = "x") {
        const auto slash = path.find_last_of('\\');
        sys::ForceDirectories(machine.files, path.substr(0, slash));
        machine.files.WriteFile(path, text);
    }
    bool Exists(const std::string& path) { return machine.files.GetAttributes(path).has_value(); }

    std::vector<std::string> Values(Hive hive, const std::string& key) {
        const auto k = machine.registry.OpenKey(hive, key, KeyAccess::Read);
        return k ? k->ValueNames() : std::vector<std::string>{"<no key>"};
    }
    std::string Value(Hive hive, const std::string& key, const std::string& name) {
        const auto k = machine.registry.OpenKey(hive, key, KeyAccess::Read);
        return k ? k->ReadString(name) : "<no key>";
    }

    // A package file as the real tools make it: a 32-bit DLL importing what the package requires.
    std::string PackageFile(const std::string& stem) const {
        return x64Packages.count(stem) ? fixtures::Package64Image() : fixtures::PackageImage(sample::PackageImports(stem));
    }

    void RegisterTools() {
        auto& processes = machine.processes;
        processes.Register("unrar.exe", [this](const ProgramInvocation& call) {
            ProgramScript script;
            if (damagedArchive) {
                script.output.push_back({{}, "data.arc: checksum error\r\n"});
                script.exitCode = 3;
                return script;
            }
            const std::string dest = LastQuoted(call.parameters);
            for (const char* package : {"tkQuorvex", "tkQuorvexDsgn"}) {
                for (const char* suffix : {"D7", "D9", "C6"}) {
                    const std::string stem = package + std::string(suffix);
                    const std::string folder = dest + (suffix[0] == 'C' ? "CBuilder6" : "Delphi" + std::string(1, suffix[1]));
                    WriteFile(folder + "\\" + stem + ".bpl", PackageFile(stem));
                    for (const std::string& ext : suffix[0] == 'C' ? Lines{".bpi", ".lib"} : Lines{".dcp"})
                        WriteFile(folder + "\\" + stem + ext);
                }
            }
            for (const char* folder : {"Delphi7", "Delphi9", "CBuilder6"}) {
                WriteFile(dest + folder + "\\Version.txt", machine.files.ReadFile("C:\\Dist\\version").value_or(""));
                // The precompiled units, and for C++Builder their object files, where a test
                // looks for them: the journal's tests run many installations.
                for (const auto unit : engine::ProductUnitNames) {
                    if (!withUnits) break;
                    WriteFile(dest + folder + "\\" + std::string(unit) + ".dcu");
                    if (folder[0] == 'C') WriteFile(dest + folder + "\\" + std::string(unit) + ".obj");
                }
            }
            WriteFile(dest + "Packages\\bcb.bmk");
            if (data->WithSources) {
                for (const auto unit : engine::ProductUnitNames) WriteFile(dest + "Sources\\" + std::string(unit) + ".pas");
                WriteFile(dest + "Sources\\QvDialogs.dfm");
            }
            script.output.push_back({{}, "Extracting  Packages\\bcb.bmk  OK\r\nAll OK\r\n"});
            return script;
        });
        processes.Register("dcc32.exe", [this](const ProgramInvocation& call) {
            const std::string package = call.parameters.substr(call.parameters.find_last_of(' ') + 1);
            ProgramScript script;
            script.output.push_back({{}, "Compiling " + package + "\r\n"});
            if (failing.count(Stem(package))) {
                script.output.push_back({{}, "Fatal: File not found\r\n"});
                script.exitCode = 1;
                return script;
            }
            if (!withheld.count(Stem(package)))
                WriteFile(SwitchValue(call.parameters, "-LE") + "\\" + Stem(package) + ".bpl", PackageFile(Stem(package)));
            if (afterBuild) afterBuild(Stem(package));
            WriteFile(SwitchValue(call.parameters, "-LN") + "\\" + Stem(package) + ".dcp");
            WriteFile(SwitchValue(call.parameters, "-N") + "\\QvBase.dcu");
            for (const auto unit : engine::ProductUnitNames) {
                if (!withUnits) break;
                WriteFile(SwitchValue(call.parameters, "-N") + "\\" + std::string(unit) + ".dcu");
            }
            return script;
        });
        processes.Register("bpr2mak.exe", [this](const ProgramInvocation& call) {
            const std::string project = LastQuoted(call.parameters);
            ProgramScript script;
            if (failing.count(Stem(project))) {
                script.exitCode = 2;
                return script;
            }
            WriteFile(project.substr(0, project.size() - 4) + ".mak");
            return script;
        });
        processes.Register("make.exe", [this](const ProgramInvocation& call) {
            const std::string makefile = SwitchValue(" " + call.parameters, "-f");
            const std::string base = makefile.substr(0, makefile.size() - 4);
            for (const char* name : {"MYUNITOUTDIR", "MYBPLDIR", "MYDCPDIR", "LIBDIR", "HPPDIR", "BPILIBDIR"})
                makeEnvironment[name] = machine.system.GetEnv(name).value_or("<unset>");
            WriteFile(base + ".bpl", PackageFile(Stem(base)));
            for (const char* ext : {".bpi", ".lib", ".obj", ".tds"}) WriteFile(base + ext);
            WriteFile(InstallDir + "\\Sources\\QvBase.obj");
            WriteFile(machine.system.GetEnv("HPPDIR").value_or("") + "\\QvBase.hpp");
            // Every unit beside its source, as the real make leaves them, where a test looks.
            for (const auto unit : engine::ProductUnitNames) {
                if (!withUnits) break;
                for (const char* ext : {".obj", ".dcu"})
                    WriteFile(InstallDir + "\\Sources\\" + std::string(unit) + ext);
                WriteFile(machine.system.GetEnv("HPPDIR").value_or("") + "\\" + std::string(unit) + ".hpp");
            }
            return ProgramScript{};
        });
    }

    platform::memory::MemoryMachine machine;
    platform::Platform* platformInUse = &machine.platform;  // what the installer is given
    cmdline::TCmdOptions options{machine.files};
    std::unique_ptr<TInstallData> data;
    std::unique_ptr<TCompiler> compiler;
    Lines messages;
    std::set<std::string> failing;
    std::set<std::string> withheld;  // packages dcc32 reports built without writing them
    std::set<std::string> x64Packages;  // packages of the wrong bitness
    std::function<void(const std::string& stem)> afterBuild;
    bool damagedArchive = false;
    bool withUnits = false;  // the archive carries the product's units
    std::map<std::string, std::string> makeEnvironment;  // as the last make run saw it
};

}  // namespace enginetest
