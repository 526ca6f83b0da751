#include "engine/compiler.h"

#include <gtest/gtest.h>

#include "engine/tests/testing/engine_machine.h"

namespace {

using namespace enginetest;

TEST_F(CompilerTest, FirstInstallationSendsExactlyTheProtocol) {
    SeedTypical();
    Start();
    Target(0).Action = engine::taInstall;  // Delphi 7, precompiled
    auto& engineRef = Engine();
    int targetsStarted = 0;
    engineRef.OnTarget = [&](TCompiler&, engine::TTargetOptions&, int index, int count) {
        EXPECT_EQ(index, targetsStarted++);
        EXPECT_EQ(count, 3);
    };
    EXPECT_TRUE(engineRef.Install());
    EXPECT_EQ(targetsStarted, 3);  // also for the IDEs left alone
    EXPECT_EQ(messages, (Lines{"Windows XP Service Pack 2 (5.1.2600)", "", "Delete old files...",
                               "Extracting component files...", "Completed", "",
                               "Compiling for: Delphi 7.0 (Enterprise)", "Compiling package: tkQuorvex",
                               "Compiling package: tkQuorvexDsgn", "Installing package: tkQuorvexDsgn",
                               "Completed", "", "All operations done. Press Finish to exit installation."}));
    // The extractor's command line and output are in the log only.
    const auto& log = engineRef.Log;
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"" + InstallDir + "\\\""),
              log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "All OK"), log.end());
    ASSERT_FALSE(machine.processes.Invocations().empty());
    EXPECT_EQ(machine.processes.Invocations()[0].directory, "C:\\Dist");

    EXPECT_TRUE(Exists("C:\\D7\\Projects\\Bpl\\tkQuorvexDsgnD7.bpl"));
    EXPECT_TRUE(Exists("C:\\D7\\Projects\\Bpl\\tkQuorvexD7.dcp"));
    const std::string user = "SOFTWARE\\Borland\\Delphi\\7.0";
    EXPECT_EQ(Value(Hive::User, user + "\\Known Packages", "C:\\D7\\Projects\\Bpl\\tkQuorvexDsgnD7.bpl"),
              "Quorvex Component");
    EXPECT_EQ(Value(Hive::User, user + "\\Library", "Search Path"),
              "$(DELPHI)\\Lib;$(DELPHI)\\Bin;$(DELPHI)\\Imports;$(DELPHI)\\Projects\\Bpl;" + InstallDir + "\\Delphi7");
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.17 Standard Edition");
    EXPECT_EQ(Value(Hive::LocalMachine, Product + "\\Delphi 7.0 (Enterprise)", "BPLDir"), "C:\\D7\\Projects\\Bpl");
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\C++Builder 6.0 (Enterprise)"));

    // install.log holds every line with CR LF.
    std::string expected;
    for (const auto& line : log) expected += line + "\r\n";
    compiler.reset();
    const auto written = machine.files.ReadFile("C:\\Dist\\install.log");
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, expected);
}

TEST_F(CompilerTest, ToolsGetTheirExactCommandLinesAndEnvironment) {
    SeedTypical();
    machine.files.WriteFile("C:\\Dist\\freevers", "");
    Start();
    Target(1).Action = engine::taInstall;  // C++Builder 6
    Target(2).Action = engine::taInstall;  // Delphi 2005
    Target(1).CompilePackages = Target(2).CompilePackages = true;
    Target(1).BPLDir = "C:\\Out Bpl";
    EXPECT_TRUE(Engine().Install());

    const auto& runs = machine.processes.Invocations();
    const std::string packages = InstallDir + "\\Packages";
    ASSERT_EQ(runs.size(), 1u + 4u + 2u);
    EXPECT_EQ(runs[1].command, "\"C:\\CB6\\Bin\\bpr2mak.exe\"");
    EXPECT_EQ(runs[1].parameters, " -t\"" + packages + "\\bcb.bmk\" \"" + packages + "\\tkQuorvexC6.bpk\"");
    EXPECT_EQ(runs[1].directory, packages);
    EXPECT_EQ(runs[2].command, "\"C:\\CB6\\Bin\\make.exe\"");
    EXPECT_EQ(runs[2].parameters, "-f\"" + packages + "\\tkQuorvexC6.mak\" ");
    EXPECT_EQ(runs[5].command, "\"C:\\BDS3\\Bin\\dcc32.exe\"");
    EXPECT_EQ(runs[5].parameters, " -B -H+ -W+ -U\"" + InstallDir + "\\Delphi9\" -U\"C:\\BDS3\\Projects\\Bpl\" -N\"" +
                                      InstallDir + "\\Delphi9\" -LE\"C:\\BDS3\\Projects\\Bpl\" -LN\"C:\\BDS3\\Projects\\Bpl\" -DFREE tkQuorvexD9.dpk");
    const auto& log = compiler->Log;
    EXPECT_NE(std::find(log.begin(), log.end(), runs[5].command + " " + runs[5].parameters), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), runs[1].command + runs[1].parameters), log.end());

    // Results moved out of the packages folder, intermediates gone, headers written.
    EXPECT_TRUE(Exists("C:\\Out Bpl\\tkQuorvexDsgnC6.bpl"));
    EXPECT_TRUE(Exists("C:\\CB6\\Projects\\Bpl\\tkQuorvexC6.lib"));
    EXPECT_TRUE(Exists(InstallDir + "\\CBuilder6\\QvBase.obj"));
    for (const char* ext : {".mak", ".obj", ".tds", ".bpl"}) EXPECT_FALSE(Exists(packages + "\\tkQuorvexC6" + ext)) << ext;
    EXPECT_TRUE(Exists("C:\\CB6\\Include\\Vcl\\QvBase.hpp"));
}

TEST_F(CompilerTest, ConnectivityPackagesAreAlwaysCompiled) {
    auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = true;
    Seed(d7);
    Start();
    ASSERT_TRUE(Target(0).ZEOS);
    Target(0).Action = engine::taInstall;
    EXPECT_TRUE(Engine().Install());
    const auto& runs = machine.processes.Invocations();
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_NE(runs[1].parameters.find("  tkQuorvexZeosD7.dpk"), std::string::npos);
    EXPECT_NE(runs[2].parameters.find("  tkQuorvexDsgnZeosD7.dpk"), std::string::npos);
    EXPECT_EQ(Value(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages",
                    "C:\\D7\\Projects\\Bpl\\tkQuorvexDsgnZeosD7.bpl"),
              "Quorvex Component ZEOS Connectivity");

    // Switched off later: the packages and their registration go.
    Start();
    Target(0).ZEOS = false;
    Target(0).Action = engine::taInstall;
    EXPECT_TRUE(Engine().Install());
    EXPECT_FALSE(Exists("C:\\D7\\Projects\\Bpl\\tkQuorvexDsgnZeosD7.bpl"));
    EXPECT_EQ(Values(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages").size(), 3u);
}

TEST_F(CompilerTest, InstallingTwiceLeavesOneEntryEach) {
    auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.disabledPackages.push_back({"$(DELPHI)\\Projects\\Bpl\\TKQUORVEXDSGND7.BPL", "Old copy"});
    d7.browsingPath = *d7.browsingPath + ";" + "c:\\program files\\veltradb\\quorvex\\sources\\";
    Seed(d7);
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    for (int run = 0; run < 2; ++run) ASSERT_TRUE(InstallAll());
    const std::string user = "SOFTWARE\\Borland\\Delphi\\7.0";
    EXPECT_EQ(Values(Hive::User, user + "\\Known Packages").size(), 3u);
    EXPECT_EQ(Values(Hive::User, user + "\\Disabled Packages").size(), 1u);
    const std::string search = Value(Hive::User, user + "\\Library", "Search Path");
    EXPECT_EQ(search.find("Delphi7"), search.rfind("Delphi7"));
    // The old spelling is replaced in place by the engine's.
    EXPECT_EQ(Value(Hive::User, user + "\\Library", "Browsing Path"),
              "$(DELPHI)\\Source\\Vcl;$(DELPHI)\\Source\\Rtl\\Common;$(DELPHI)\\Source\\Rtl\\Sys;" + InstallDir +
                  "\\Sources");
    EXPECT_TRUE(Exists(InstallDir + "\\Delphi7\\QvDialogs.dfm"));
}

TEST_F(CompilerTest, FoldersBelowTheRootGetTheRootMacro) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    const auto key = machine.registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::CreateWrite);
    key->WriteString("InstallDir", "C:\\D7\\Quorvex");
    key->WriteString("InstalledVersion", "2.4.1.16");
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).AddSource = true;
    ASSERT_TRUE(Engine().Install());
    const std::string library = "SOFTWARE\\Borland\\Delphi\\7.0\\Library";
    EXPECT_NE(Value(Hive::User, library, "Browsing Path").find(";$(DELPHI)\\Quorvex\\Sources"), std::string::npos);
    EXPECT_NE(Value(Hive::User, library, "Search Path").find(";$(DELPHI)\\Quorvex\\Delphi7"), std::string::npos);
}

TEST_F(CompilerTest, MaintenanceRunSkipsTheArchive) {
    SeedTypical();
    ASSERT_TRUE(InstallAll());
    Start();
    ASSERT_EQ(data->State, engine::isMaintenance);
    Target(0).Action = engine::taUninstall;
    const auto before = machine.processes.Invocations().size();
    EXPECT_TRUE(Engine().Install());
    EXPECT_EQ(messages, (Lines{"Windows XP Service Pack 2 (5.1.2600)", "", "Uninstall from IDE: Delphi 7.0 (Enterprise)",
                               "Completed", "", "All operations done. Press Finish to exit installation."}));
    EXPECT_EQ(machine.processes.Invocations().size(), before);
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\Delphi 7.0 (Enterprise)"));
    EXPECT_TRUE(machine.registry.KeyExists(Hive::LocalMachine, Product + "\\Delphi 2005 (Enterprise)"));
    const std::string known = "SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages";
    EXPECT_EQ(Values(Hive::User, known),
              (Lines{"$(DELPHI)\\Bin\\dclbase70.bpl", "$(DELPHI)\\Bin\\dcldata70.bpl"}));
    EXPECT_EQ(Value(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Library", "Search Path"),
              "$(DELPHI)\\Lib;$(DELPHI)\\Bin;$(DELPHI)\\Imports;$(DELPHI)\\Projects\\Bpl");
}

TEST_F(CompilerTest, FullUninstallLeavesNothingOfTheProduct) {
    SeedTypical();
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    const std::string known7 = "SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages";
    const auto knownBefore = Values(Hive::User, known7);
    ASSERT_TRUE(InstallAll());
    WriteFile("C:\\CB6\\Include\\Vcl\\Foreign.hpp");
    for (const auto unit : engine::ProductUnitNames) WriteFile("C:\\CB6\\Include\\Vcl\\" + std::string(unit) + ".hpp");
    Start();
    data->State = engine::isUninstall;
    machine.system.osVersion = {platform::OsVersion::Family::NT, 5, 0, 2195, "Service Pack 4"};
    auto& engineRef = Engine();
    EXPECT_TRUE(engineRef.Uninstall());
    EXPECT_EQ(messages, (Lines{"Uninstall from IDE: Delphi 7.0 (Enterprise)", "Completed", "",
                               "Uninstall from IDE: C++Builder 6.0 (Enterprise)", "Completed", "",
                               "Uninstall from IDE: Delphi 2005 (Enterprise)", "Completed", "",
                               "Delete component files...", "Completed", "",
                               "Uninstall completed. Press Finish to exit installation."}));
    EXPECT_EQ(engineRef.Log.front(), "\x01Windows 2000 Service Pack 4 (5.0.2195)");
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
    EXPECT_FALSE(Exists(InstallDir));
    EXPECT_EQ(Values(Hive::User, known7), knownBefore);
    EXPECT_TRUE(Exists("C:\\CB6\\Include\\Vcl\\Foreign.hpp"));
    EXPECT_FALSE(Exists("C:\\CB6\\Include\\Vcl\\QvGrid.hpp"));
    EXPECT_FALSE(Exists("C:\\D7\\Projects\\Bpl\\tkQuorvexD7.bpl"));
    // The log was saved before the last line and again when the engine went.
    EXPECT_EQ(machine.files.ReadFile("C:\\Dist\\install.log")->find("Uninstall completed"), std::string::npos);
    compiler.reset();
    EXPECT_NE(machine.files.ReadFile("C:\\Dist\\install.log")->find("Uninstall completed"), std::string::npos);
}

TEST_F(CompilerTest, UninstallSaysWhenTheComponentFilesCannotAllBeDeleted) {
    SeedTypical();
    ASSERT_TRUE(InstallAll());
    WriteFile(InstallDir + "\\Readme.txt");
    Start();
    data->State = engine::isUninstall;
    const auto held = machine.files.OpenWithoutSharing(InstallDir + "\\Readme.txt");
    EXPECT_TRUE(Engine().Uninstall());
    const auto deleting = std::find(messages.begin(), messages.end(), "Delete component files...");
    ASSERT_NE(deleting, messages.end());
    ASSERT_NE(deleting + 1, messages.end());
    EXPECT_EQ(*(deleting + 1), "The folder " + InstallDir +
                                   " could not be deleted completely: a file in it is in use or cannot be deleted; "
                                   "what is left may be deleted by hand.");
    EXPECT_TRUE(Exists(InstallDir + "\\Readme.txt"));
}

TEST_F(CompilerTest, ExtractionFailureEndsTheRunAndChangesNothing) {
    SeedTypical();
    damagedArchive = true;
    EXPECT_FALSE(InstallAll());
    EXPECT_EQ(messages, (Lines{"Windows XP Service Pack 2 (5.1.2600)", "", "Delete old files...",
                               "Extracting component files...", "Error extracting component files from archive.",
                               "Archive damaged."}));
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
    EXPECT_EQ(compiler->Log.back(), "Archive damaged.");
    EXPECT_NE(std::find(compiler->Log.begin(), compiler->Log.end(), "data.arc: checksum error"), compiler->Log.end());

    // A missing extractor is a failed extraction too, and the log says why.
    machine.processes.Unregister("unrar.exe");
    EXPECT_FALSE(InstallAll());
    EXPECT_EQ(messages.back(), "Archive damaged.");
    EXPECT_NE(std::find(compiler->Log.begin(), compiler->Log.end(),
                        "Cannot start unrar.exe in C:\\Dist: The system cannot find the file specified."),
              compiler->Log.end());
}

TEST_F(CompilerTest, ACompilerThatCannotBeStartedLeavesItsReasonInTheBuildLog) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    machine.processes.Unregister("dcc32.exe");
    EXPECT_FALSE(Engine().Install());
    const auto& log = compiler->Log;
    const auto reason = std::find(log.begin(), log.end(),
                                  "Cannot start \"C:\\D7\\Bin\\dcc32.exe\" in " + InstallDir +
                                      "\\Packages: The system cannot find the file specified.");
    ASSERT_NE(reason, log.end());
    // Right after the command line that could not be run.
    EXPECT_EQ(reason[-1].rfind("\"C:\\D7\\Bin\\dcc32.exe\"  -B", 0), 0u) << reason[-1];
}

TEST_F(CompilerTest, AFailedOptionalPackageLetsTheIDESucceed) {
    auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = true;
    Seed(d7);
    failing = {"tkQuorvexDsgnZeosD7"};
    EXPECT_TRUE(InstallAll());
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Package tkQuorvexDsgnZeos could not be built; the build log holds the details."),
              messages.end());
    EXPECT_EQ(messages[messages.size() - 3], "Completed");
}

TEST_F(CompilerTest, MissingOrFailingToolsFailTheBuild) {
    Seed(seeding::TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    failing = {"tkQuorvexC6"};
    EXPECT_FALSE(Engine().Install());
    // bpr2mak failed: no make run, and the intermediate files are gone all the same.
    for (const auto& run : machine.processes.Invocations())
        EXPECT_EQ(run.parameters.find("tkQuorvexC6.mak"), std::string::npos) << run.command;
    EXPECT_FALSE(Exists(InstallDir + "\\Packages\\tkQuorvexC6.mak"));

    // A precompiled package that the archive did not bring fails without a tool.
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    failing.clear();
    machine.registry.DeleteKey(Hive::LocalMachine, Product);
    Start();
    Target(0).Action = engine::taInstall;
    Target(1).Action = engine::taInstall;
    machine.processes.Register("unrar.exe", [](const ProgramInvocation&) { return ProgramScript{}; });
    EXPECT_FALSE(Engine().Install());
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Package tkQuorvex could not be built; the build log holds the details."),
              messages.end());
}

TEST_F(CompilerTest, StalePackagesAreFoundOnThePathAndInPackageFolders) {
    auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.packageSearchPath = "C:\\Pkgs;C:\\Missing;$(DELPHI)\\Stale";
    Seed(d7);
    machine.system.SetEnv("PATH", "C:\\A;;\"C:\\Program Files\\B\";");
    for (const char* folder : {"C:\\A", "C:\\Program Files\\B", "C:\\Pkgs", "C:\\Other", "C:\\D7\\Stale"})
        WriteFile(std::string(folder) + "\\tkQuorvexD7.bpl");
    ASSERT_TRUE(InstallAll());
    EXPECT_FALSE(Exists("C:\\D7\\Stale\\tkQuorvexD7.bpl"));
    EXPECT_FALSE(Exists("C:\\A\\tkQuorvexD7.bpl"));
    EXPECT_FALSE(Exists("C:\\Program Files\\B\\tkQuorvexD7.bpl"));
    EXPECT_FALSE(Exists("C:\\Pkgs\\tkQuorvexD7.bpl"));
    EXPECT_TRUE(Exists("C:\\Other\\tkQuorvexD7.bpl"));
}

// A PATH entry whose quote is not closed has no pair to remove: its last character is no quote,
// and without it "C:\Pkg\7 would name C:\Pkg\, a folder that is not on PATH.
TEST_F(CompilerTest, AnUnclosedQuoteOnThePathNamesNoOtherFolder) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    machine.system.SetEnv("PATH", "C:\\Windows;\"C:\\Pkg\\7");
    WriteFile("C:\\Pkg\\tkQuorvexD7.bpl");
    ASSERT_TRUE(InstallAll());
    EXPECT_TRUE(Exists("C:\\Pkg\\tkQuorvexD7.bpl"));
}

TEST_F(CompilerTest, SystemLineOnlyForNamedSystems) {
    Start();
    struct Case {
        platform::OsVersion os;
        std::string line;
    } cases[] = {
        // The 95 family's builds as the system reports them, the version in the high word.
        {{platform::OsVersion::Family::Windows9x, 4, 0, 0x040003B6, ""}, "Windows 95  (4.0.950)"},
        {{platform::OsVersion::Family::Windows9x, 4, 10, 0x040A08AE, " A "}, "Windows 98  A  (4.10.2222)"},
        {{platform::OsVersion::Family::Windows9x, 4, 90, 0x045A0BB8, " "}, "Windows ME   (4.90.3000)"},
        {{platform::OsVersion::Family::NT, 4, 0, 1381, "Service Pack 6"}, "Windows NT4 Service Pack 6 (4.0.1381)"},
        {{platform::OsVersion::Family::NT, 5, 1, 2600, "Service Pack 3"}, "Windows XP Service Pack 3 (5.1.2600)"},
        {{platform::OsVersion::Family::NT, 5, 2, 3790, ""}, ""},
        {{platform::OsVersion::Family::NT, 6, 1, 7601, "Service Pack 1"}, ""},
    };
    for (const auto& c : cases) {
        machine.system.osVersion = c.os;
        EXPECT_EQ(Engine().SystemLine(), c.line);
    }
    EXPECT_TRUE(Engine().Install());
    EXPECT_EQ(messages.front(), "Delete old files...");
}

TEST_F(CompilerTest, ProtectedFoldersAreNeverRecycledOrDeleted) {
    WriteFile("C:\\Program Files\\Other Vendor\\app.exe");
    const auto key = machine.registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::CreateWrite);
    key->WriteString("InstallDir", "C:\\Program Files");
    key->WriteString("InstalledVersion", "1.0.0");
    Start();
    EXPECT_TRUE(Engine().Install());
    EXPECT_EQ(messages[3], "The folder C:\\Program Files is left as it is: it is a folder of the system or of the user, or holds one.");
    EXPECT_TRUE(Exists("C:\\Program Files\\Other Vendor\\app.exe"));
    EXPECT_TRUE(machine.files.RecycleBin().empty());

    data->State = engine::isUninstall;
    EXPECT_TRUE(Engine().Uninstall());
    EXPECT_TRUE(Exists("C:\\Program Files\\Other Vendor\\app.exe"));
}

TEST_F(CompilerTest, InstallLogThatCannotBeWrittenIsAnError) {
    Start();
    WriteFile("C:\\Dist\\install.log", "old");
    machine.files.SetAttributes("C:\\Dist\\install.log", platform::attr::ReadOnly);
    auto& engineRef = Engine();
    engineRef.AddMessage("line");
    EXPECT_THROW(engineRef.SaveLog(), platform::FileError);
    compiler.reset();  // the destructor cannot report it, and must not throw
    EXPECT_EQ(machine.files.ReadFile("C:\\Dist\\install.log").value_or(""), "old");
}

TEST_F(CompilerTest, AToolLineOfTenMegabytesArrivesWhole) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    machine.processes.Register("dcc32.exe", [](const ProgramInvocation&) {
        ProgramScript script;
        script.output.push_back({{}, std::string(10 << 20, 'x')});
        return script;
    });
    Engine().Install();
    const auto longest = std::max_element(compiler->Log.begin(), compiler->Log.end(),
                                          [](const auto& a, const auto& b) { return a.size() < b.size(); });
    EXPECT_EQ(longest->size(), std::size_t(10) << 20);
}

TEST_F(CompilerTest, TargetAndProgressEventsComeInOrder) {
    SeedTypical();
    Start();
    auto& engineRef = Engine();
    Lines events;
    engineRef.OnTarget = [&](TCompiler&, engine::TTargetOptions& target, int index, int count) {
        events.push_back("target " + target.Target.DisplayName() + " " + std::to_string(index) + "/" + std::to_string(count));
    };
    engineRef.OnProgress = [&](TCompiler&, const std::string& caption, int index, int count, bool flag) {
        events.push_back("progress " + caption + " " + std::to_string(index) + "/" + std::to_string(count) +
                         (flag ? " set" : " clear"));
    };
    engineRef.Install();
    EXPECT_EQ(events, (Lines{"target Delphi 7.0 (Enterprise) 0/3", "progress Delphi 7.0 (Enterprise) 0/3 clear",
                             "target C++Builder 6.0 (Enterprise) 1/3", "progress C++Builder 6.0 (Enterprise) 1/3 clear",
                             "target Delphi 2005 (Enterprise) 2/3", "progress Delphi 2005 (Enterprise) 2/3 clear"}));
}

TEST_F(CompilerTest, AMissingCompilerFailsTheBuildAndSaysSo) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    Start();
    Target(0).Action = engine::taInstall;
    Target(0).CompilePackages = true;
    // An extractor that brings nothing, and no compiler at all.
    machine.processes = platform::memory::MemoryProcessRunner();
    machine.processes.Register("unrar.exe", [](const ProgramInvocation&) { return ProgramScript{}; });
    EXPECT_FALSE(Engine().Install());
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "Package tkQuorvex could not be built; the build log holds the details."),
              messages.end());
}

TEST_F(CompilerTest, ARegistryValueOfTheWrongKindEndsTheRunWithItsMessage) {
    Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    Start();
    Target(0).Action = engine::taInstall;
    machine.registry.SetRawValue(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Debugging", "Debug DCUs Path",
                                 platform::IntegerValue(1));
    try {
        Engine().Install();
        FAIL() << "no error";
    } catch (const platform::RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("\"Debug DCUs Path\""), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("Delphi\\7.0\\Debugging"), std::string::npos) << error.what();
    }
    // What was done before the error stays done; the IDE's settings are read before anything
    // of it changes; the product is not recorded.
    EXPECT_TRUE(Exists(InstallDir + "\\Packages\\bcb.bmk"));
    EXPECT_FALSE(Exists("C:\\D7\\Projects\\Bpl\\tkQuorvexD7.bpl"));
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
}

// What the IDE would meet when it loads the packages: the engine warns before it says "Completed".
class LoadCheckTest : public CompilerTest {
protected:
    // A first installation into Delphi 7 with its precompiled packages, or compiled when asked;
    // the warnings before the IDE's "Completed".
    Lines InstallDelphi7(const std::function<void(engine::TTargetOptions&)>& choose = {}) {
        machine.registry.DeleteKey(Hive::LocalMachine, Product);
        Start();
        Target(0).Action = engine::taInstall;
        if (choose) choose(Target(0));
        Engine().Install();
        const auto from = std::find(messages.begin(), messages.end(), "Compiling for: Delphi 7.0 (Enterprise)");
        const auto to = std::find(from, messages.end(), "Completed");
        EXPECT_NE(to, messages.end());
        Lines warnings;
        for (auto line = from; line != to; ++line)
            if (line->starts_with("Warning: ")) warnings.push_back(*line);
        return warnings;
    }
    seeding::SeededIde d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
};

TEST_F(LoadCheckTest, APackageFolderOffThePathIsNamed) {
    // Typed on the configuration page: the runtime package lies beside the design package only.
    Seed(d7);
    EXPECT_EQ(InstallDelphi7([](engine::TTargetOptions& target) { target.BPLDir = "C:\\My Bpl"; }),
              (Lines{"Warning: tkQuorvexDsgnD7.bpl cannot load in Delphi 7.0 (Enterprise): tkQuorvexD7.bpl is in "
                     "C:\\My Bpl, which is not on PATH."}));

    // The IDE's own BPL folder, when its installer left it off PATH; every importing package is named.
    machine.system.SetEnv("PATH", "C:\\Windows");
    d7.zeos = true;
    d7.bplOnPath = false;
    Seed(d7);
    EXPECT_EQ(InstallDelphi7(),
              (Lines{"Warning: tkQuorvexDsgnD7.bpl cannot load in Delphi 7.0 (Enterprise): tkQuorvexD7.bpl is in "
                     "C:\\D7\\Projects\\Bpl, which is not on PATH.",
                     "Warning: tkQuorvexZeosD7.bpl cannot load in Delphi 7.0 (Enterprise): tkQuorvexD7.bpl is in "
                     "C:\\D7\\Projects\\Bpl, which is not on PATH.",
                     "Warning: tkQuorvexZeosD7.bpl cannot load in Delphi 7.0 (Enterprise): ZCore.bpl is in "
                     "C:\\D7\\Projects\\Bpl, which is not on PATH.",
                     "Warning: tkQuorvexDsgnZeosD7.bpl cannot load in Delphi 7.0 (Enterprise): tkQuorvexZeosD7.bpl is in "
                     "C:\\D7\\Projects\\Bpl, which is not on PATH."}));
    // The warnings do not change the outcome.
    EXPECT_EQ(messages.back(), "All operations done. Press Finish to exit installation.");
    EXPECT_TRUE(Target(0).Installed);
}

TEST_F(LoadCheckTest, MissingLibrariesWrongBitnessAndMissingFiles) {
    d7.zeos = true;
    Seed(d7);
    afterBuild = [this](const std::string& stem) {
        if (stem == "tkQuorvexZeosD7") machine.files.DeleteFile("C:\\D7\\Projects\\Bpl\\ZCore.bpl");
    };
    EXPECT_EQ(InstallDelphi7(),
              (Lines{"Warning: tkQuorvexZeosD7.bpl cannot load in Delphi 7.0 (Enterprise): ZCore.bpl was not found."}));

    // An x86-64 DLL brought as the precompiled runtime package.
    afterBuild = {};
    WriteFile("C:\\D7\\Projects\\Bpl\\ZCore.bpl", fixtures::PackageImage({}));
    x64Packages = {"tkQuorvexD7"};
    EXPECT_EQ(InstallDelphi7(),
              (Lines{"Warning: tkQuorvexD7.bpl cannot load in Delphi 7.0 (Enterprise): it is not a 32-bit package."}));

    // A compiler that reports success but writes no package.
    x64Packages.clear();
    withheld = {"tkQuorvexDsgnZeosD7"};
    EXPECT_EQ(InstallDelphi7([](engine::TTargetOptions& target) { target.CompilePackages = true; }),
              (Lines{"Warning: tkQuorvexDsgnZeosD7.bpl cannot load in Delphi 7.0 (Enterprise): the file is missing."}));
}

}  // namespace
