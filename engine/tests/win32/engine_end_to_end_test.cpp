// The engine from a distribution made by mkdist, on IDEs made by the seeding tool, with the stub
// tools: real processes, the real registry and files of the test prefix.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>

#include "engine/unit_names.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "system/file_utils.h"
#include "tools/seed_ides/ide_seed.h"
#include "tools/stub_tools/testing/fixture_process.h"

namespace {

using ::testing::HasSubstr;
using platform::Hive;
using platform::KeyAccess;
using Lines = std::vector<std::string>;

const std::string Product = "Software\\Veltrano Software\\Quorvex";
const std::string D7 = "Delphi 7.0 (Enterprise)";
const std::string CB6 = "C++Builder 6.0 (Enterprise)";
const std::string BDS3 = "Delphi 2005 (Enterprise)";
const std::string D7User = "SOFTWARE\\Borland\\Delphi\\7.0";
const std::string CB6User = "SOFTWARE\\Borland\\C++Builder\\6.0";
const std::string BDS3User = "SOFTWARE\\Borland\\BDS\\3.0";

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return lines;
}

class EngineEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        CleanRegistry();
        installDir = sys::AddPathDelimiter(*system.GetSpecialFolder(platform::SpecialFolder::ProgramFiles)) +
                     "Veltradb\\Quorvex";
        sys::DeleteTree(files, installDir);
        for (const auto& [name, root] : {std::pair{"Delphi", "Delphi7"}, {"C++Builder", "CBuilder6"}, {"BDS", "BDS\\3.0"}}) {
            const std::string key = std::string(name) == "BDS" ? "3.0" : std::string(name) == "Delphi" ? "7.0" : "6.0";
            auto ide = seeding::TypicalIde(name, key, scratch.path() + "\\Borland\\" + root);
            ide.knownPackages.push_back({"C:\\Other Vendor\\vendor70.bpl", "Another vendor's package"});
            seeding::Seed(registry, files, ide);
            for (const char* tool : {"dcc32.exe", "bpr2mak.exe", "make.exe"})
                fixtures::CopyProgram(tool, ide.rootDir + "\\Bin");
            roots.push_back(ide.rootDir);
            bplFolders += ";" + seeding::ExpandedBplOutput(ide);
        }
        // The seeding put the BPL folders on the user's PATH, which programs started from now on
        // get; this one started before.
        pathWithBplFolders.emplace("PATH", *system.GetEnv("PATH") + bplFolders);
        UseDistribution("plain");
    }

    void TearDown() override {
        CleanRegistry();
        sys::DeleteTree(files, installDir);
    }

    void CleanRegistry() {
        registry.DeleteKey(Hive::LocalMachine, Product);
        for (const char* product : {"Delphi", "C++Builder", "BDS"}) {
            registry.DeleteKey(Hive::LocalMachine, std::string("SOFTWARE\\Borland\\") + product);
            registry.DeleteKey(Hive::User, std::string("SOFTWARE\\Borland\\") + product);
        }
    }

    // A copy of one of mkdist's distributions, in a folder with a blank in its name.
    void UseDistribution(const std::string& which) {
        const char* root = std::getenv("QV_DIST_ROOT");
        ASSERT_NE(root, nullptr);
        dist = scratch.path() + "\\dist " + which;
        sys::ForceDirectories(files, dist);
        for (const char* file : {"setup.exe", "unrar.exe", "data.arc", "version", "withsrcs", "freevers"}) {
            const std::string from = std::string(root) + "\\" + which + "\\" + file;
            if (sys::FileOrDirExists(files, from)) files.CopyFile(from, dist + "\\" + file, true);
        }
        fixtures::CopyProgram("engine_run.exe", dist);
    }

    // Runs the engine in the distribution folder; the engine's messages come back.
    Lines Run(const std::string& arguments, int expectedExit = 0) {
        const auto result = fixtures::RunExact("engine_run.exe " + arguments, dist, dist + "\\engine_run.exe", 120000);
        EXPECT_EQ(result.exitCode, expectedExit) << result.output;
        return SplitLines(result.output);
    }

    std::string Value(Hive hive, const std::string& key, const std::string& name) {
        const auto k = registry.OpenKey(hive, key, KeyAccess::Read);
        return k ? k->ReadString(name) : "<no key>";
    }
    Lines Names(Hive hive, const std::string& key) {
        const auto k = registry.OpenKey(hive, key, KeyAccess::Read);
        return k ? k->ValueNames() : Lines{"<no key>"};
    }
    bool Exists(const std::string& path) { return sys::FileOrDirExists(files, path); }

    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32SystemInfo system;
    fixtures::ScratchFolder scratch{"qv engine"};
    std::string installDir;
    std::string dist;
    Lines roots;
    std::string bplFolders;
    std::optional<fixtures::ScopedEnvironment> pathWithBplFolders;
};

TEST_F(EngineEndToEnd, FirstInstallationIntoThreeIDEs) {
    UseDistribution("with sources");
    const auto messages = Run("install \"" + D7 + "=install\" --compile \"" + CB6 + "=install\" \"" + BDS3 + "=install\"");
    EXPECT_EQ(Lines(messages.begin(), messages.begin() + 4),
              (Lines{"Delete old files...", "Extracting component files...", "Completed", ""}));
    EXPECT_EQ(messages.back(), "All operations done. Press Finish to exit installation.");
    EXPECT_THAT(messages, ::testing::Contains("Compiling for: " + CB6));
    // install.log: every line of the run, CR LF after each, the tools' command lines included.
    const auto log = fixtures::ReadFile(dist + "\\install.log");
    ASSERT_TRUE(log.has_value());
    EXPECT_THAT(messages, ::testing::Not(::testing::Contains(HasSubstr("could not be built")))) << *log;
    EXPECT_THAT(messages, ::testing::Not(::testing::Contains(::testing::StartsWith("Warning: ")))) << *log;
    EXPECT_EQ(log->substr(log->size() - 2), "\r\n");
    const Lines logLines = SplitLines(log->substr(0, log->size() - 2));
    EXPECT_EQ(logLines.front(), "Delete old files...");
    EXPECT_THAT(logLines, ::testing::Contains("unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"" + installDir + "\\\""));
    EXPECT_THAT(logLines, ::testing::Contains(HasSubstr("bpr2mak.exe\" -t\"" + installDir + "\\Packages\\bcb.bmk\"")));
    EXPECT_THAT(logLines, ::testing::Contains(HasSubstr("dcc32.exe\"  -B -H+ -W+ -U\"" + installDir + "\\Delphi9\"")));
    EXPECT_THAT(logLines, ::testing::Contains(HasSubstr("Gr\xf6\xdf" "e")));  // OEM output arrives as ANSI
    std::size_t found = 0;
    for (const auto& line : logLines)
        if (found < messages.size() && line == messages[found]) ++found;
    EXPECT_EQ(found, messages.size());

    // Packages in the IDEs' folders, registered with their descriptions.
    const std::string d7Bpl = roots[0] + "\\Projects\\Bpl";
    EXPECT_TRUE(Exists(d7Bpl + "\\tkQuorvexDsgnD7.bpl"));
    EXPECT_TRUE(Exists(d7Bpl + "\\tkQuorvexD7.dcp"));
    EXPECT_EQ(Value(Hive::User, D7User + "\\Known Packages", d7Bpl + "\\tkQuorvexDsgnD7.bpl"), "Quorvex Component");
    EXPECT_EQ(Value(Hive::User, CB6User + "\\Known Packages", roots[1] + "\\Projects\\Bpl\\tkQuorvexDsgnC6.bpl"),
              "Quorvex Component");
    EXPECT_TRUE(Exists(roots[1] + "\\Projects\\Bpl\\tkQuorvexC6.lib"));
    EXPECT_TRUE(Exists(roots[1] + "\\Include\\Vcl\\QvGrid.hpp"));
    EXPECT_TRUE(Exists(roots[2] + "\\Projects\\Bpl\\tkQuorvexDsgnD9.bpl"));
    EXPECT_THAT(Value(Hive::User, D7User + "\\Library", "Search Path"), HasSubstr(";" + installDir + "\\Delphi7"));
    EXPECT_THAT(Value(Hive::User, D7User + "\\Library", "Browsing Path"), HasSubstr(";" + installDir + "\\Sources"));
    EXPECT_EQ(Value(Hive::LocalMachine, Product + "\\" + CB6, "HPPDir"), roots[1] + "\\Include\\Vcl");
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "3.0.0.1 Standard Edition");
    EXPECT_TRUE(Exists(installDir + "\\Delphi7\\QvDialogs.dfm"));

    // The same installation again: one value per package, one entry per folder.
    const auto knownBefore = Names(Hive::User, D7User + "\\Known Packages");
    const auto searchBefore = Value(Hive::User, D7User + "\\Library", "Search Path");
    Run("install \"" + D7 + "=install\" --compile \"" + CB6 + "=install\" \"" + BDS3 + "=install\"");
    EXPECT_EQ(Names(Hive::User, D7User + "\\Known Packages"), knownBefore);
    EXPECT_EQ(Value(Hive::User, D7User + "\\Library", "Search Path"), searchBefore);
}

TEST_F(EngineEndToEnd, MaintenanceThenFullUninstallLeaveNothingOfTheProduct) {
    const auto d7KnownBefore = Names(Hive::User, D7User + "\\Known Packages");
    const auto d7SearchBefore = Value(Hive::User, D7User + "\\Library", "Search Path");
    const auto cb6BrowseBefore = Value(Hive::User, CB6User + "\\Library", "Browsing Path");
    Run("install \"" + D7 + "=install\" \"" + CB6 + "=install\"");
    ASSERT_TRUE(registry.KeyExists(Hive::LocalMachine, Product + "\\" + D7));

    // Maintenance: one IDE added, one removed, one left.
    const auto maintenance = Run("install \"" + D7 + "=uninstall\" \"" + CB6 + "=none\" \"" + BDS3 + "=install\"");
    EXPECT_EQ(maintenance.front(), "Uninstall from IDE: " + D7);
    EXPECT_THAT(maintenance, ::testing::Not(::testing::Contains("Extracting component files...")));
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, Product + "\\" + D7));
    EXPECT_TRUE(registry.KeyExists(Hive::LocalMachine, Product + "\\" + CB6));
    EXPECT_TRUE(registry.KeyExists(Hive::LocalMachine, Product + "\\" + BDS3));
    EXPECT_EQ(Names(Hive::User, D7User + "\\Known Packages"), d7KnownBefore);

    const auto uninstall = Run("uninstall");
    EXPECT_EQ(uninstall.back(), "Uninstall completed. Press Finish to exit installation.");
    EXPECT_THAT(uninstall, ::testing::Contains("Uninstall from IDE: " + CB6));
    EXPECT_THAT(uninstall, ::testing::Not(::testing::Contains("Uninstall from IDE: " + D7)));
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, Product));
    EXPECT_FALSE(Exists(installDir));
    EXPECT_EQ(Names(Hive::User, D7User + "\\Known Packages"), d7KnownBefore);
    EXPECT_EQ(Value(Hive::User, D7User + "\\Library", "Search Path"), d7SearchBefore);
    EXPECT_EQ(Value(Hive::User, CB6User + "\\Library", "Browsing Path"), cb6BrowseBefore);
    for (const auto& key : {D7User, CB6User, BDS3User})
        for (const auto& name : Names(Hive::User, key + "\\Known Packages"))
            EXPECT_THAT(name, ::testing::Not(HasSubstr("tkQuorvex")));
    EXPECT_EQ(Value(Hive::User, CB6User + "\\Known Packages", "C:\\Other Vendor\\vendor70.bpl"),
              "Another vendor's package");
    for (const auto unit : engine::ProductUnitNames)
        EXPECT_FALSE(Exists(roots[1] + "\\Include\\Vcl\\" + std::string(unit) + ".hpp")) << unit;
}

TEST_F(EngineEndToEnd, ExtractionFailures) {
    files.DeleteFile(dist + "\\unrar.exe");
    auto messages = Run("install \"" + D7 + "=install\"", 1);
    EXPECT_EQ(messages, (Lines{"Delete old files...", "Extracting component files...",
                               "Error extracting component files from archive.", "Archive damaged."}));
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, Product));

    UseDistribution("plain");
    auto archive = *fixtures::ReadFile(dist + "\\data.arc");
    archive[archive.size() / 2] ^= 0x55;
    fixtures::WriteFile(dist + "\\data.arc", archive);
    messages = Run("install \"" + D7 + "=install\"", 1);
    EXPECT_EQ(messages.back(), "Archive damaged.");
    EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, Product));
}

TEST_F(EngineEndToEnd, FailingToolsFailOnlyTheirIDE) {
    {
        fixtures::ScopedEnvironment fail("QV_STUB_FAIL", "dcc32:tkQuorvexDsgn");
        // The plain distribution has no sources: C++Builder gets the precompiled packages.
        const auto messages = Run("install \"" + CB6 + "=install\" --compile \"" + D7 + "=install\"", 1);
        EXPECT_THAT(messages, ::testing::Contains("Package tkQuorvexDsgn could not be built; the build log holds the details."));
        EXPECT_THAT(messages, ::testing::Contains("Installation into " + D7 + " failed."));
        EXPECT_EQ(Lines(messages.end() - 4, messages.end()),
                  (Lines{"Completed", "", "Installation failed for: " + D7 + ". The build log holds the details.",
                         "All operations done. Press Finish to exit installation."}));
        EXPECT_EQ(Names(Hive::User, D7User + "\\Known Packages").size(), 3u);
        EXPECT_EQ(Value(Hive::User, CB6User + "\\Known Packages", roots[1] + "\\Projects\\Bpl\\tkQuorvexDsgnC6.bpl"),
                  "Quorvex Component");
    }
    {
        fixtures::ScopedEnvironment fail("QV_STUB_FAIL", "bpr2mak:tkQuorvex");
        const auto messages = Run("install --compile \"" + CB6 + "=install\"", 1);
        EXPECT_THAT(messages, ::testing::Contains("Package tkQuorvex could not be built; the build log holds the details."));
        EXPECT_FALSE(Exists(installDir + "\\Packages\\tkQuorvexC6.mak"));
    }
}

TEST_F(EngineEndToEnd, StoredFolderValuesReachNoTool) {
    Run("install \"" + D7 + "=install\" \"" + CB6 + "=install\"");
    // A quote in a stored BPL folder would give the compiler a second -LE: packages in C:\.
    const auto d7Record = registry.OpenKey(Hive::LocalMachine, Product + "\\" + D7, KeyAccess::Write);
    const std::string injected = roots[0] + "\\Out\" -LE\"C:\\";
    d7Record->WriteString("BPLDir", injected);
    auto messages = Run("install \"" + CB6 + "=install\" --compile \"" + D7 + "=install\"", 1);
    EXPECT_EQ(messages.front(), "The BPL folder \"" + injected + "\" of " + D7 +
                                    " cannot be used: it holds a character that a folder name cannot hold (\" < > | ? * : "
                                    "or a control character).");
    EXPECT_EQ(Lines(messages.begin() + 1, messages.begin() + 4),
              (Lines{"Installation into " + D7 + " failed.", "", "Compiling for: " + CB6}));
    EXPECT_EQ(messages[messages.size() - 2], "Installation failed for: " + D7 + ". The build log holds the details.");
    // The compiler never ran (C++Builder's packages are precompiled), so nothing went to C:\.
    EXPECT_THAT(SplitLines(fixtures::ReadFile(dist + "\\install.log").value_or("")),
                ::testing::Not(::testing::Contains(HasSubstr("dcc32.exe"))));
    EXPECT_FALSE(Exists("C:\\tkQuorvexD7.bpl"));

    // A stored installation folder that no tool may get ends the run before anything changes.
    const auto record = registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::Write);
    const std::string folder = installDir + "\" -y \"C:\\";
    record->WriteString("InstallDir", folder);
    const std::string version = Value(Hive::LocalMachine, Product, "InstalledVersion");
    messages = Run("uninstall", 1);
    EXPECT_EQ(messages, (Lines{"The installation folder \"" + folder + "\" cannot be used: it holds a character that a "
                               "folder name cannot hold (\" < > | ? * : or a control character). Nothing was changed."}));
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), version);
    EXPECT_TRUE(registry.KeyExists(Hive::LocalMachine, Product + "\\" + CB6));
    EXPECT_TRUE(Exists(installDir + "\\Packages\\bcb.bmk"));
    EXPECT_TRUE(Exists(roots[1] + "\\Projects\\Bpl\\tkQuorvexDsgnC6.bpl"));
    record->WriteString("InstallDir", installDir);
}

// Whatever the record says, the update's recycle and the uninstall's delete take nothing that is
// not the product's: here the distribution itself, then a folder inside Windows.
TEST_F(EngineEndToEnd, ARecordPointingElsewhereRemovesNothingThere) {
    Run("install \"" + D7 + "=install\"");
    const auto record = registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::Write);
    record->WriteString("InstalledVersion", "1.0.0.1");
    record->WriteString("InstallDir", dist);
    auto messages = Run("install \"" + D7 + "=install\"");
    EXPECT_THAT(messages, ::testing::Contains("The folder " + dist +
                                              " is left as it is: setup runs from it or from a folder inside it."));
    messages = Run("uninstall");
    EXPECT_THAT(messages, ::testing::Contains("The folder " + dist +
                                              " is left as it is: setup runs from it or from a folder inside it."));
    for (const char* file : {"data.arc", "unrar.exe", "version", "engine_run.exe"})
        EXPECT_TRUE(Exists(dist + "\\" + file)) << file;

    const std::string drivers = *system.GetSpecialFolder(platform::SpecialFolder::System) + "\\drivers";
    ASSERT_TRUE(sys::DirExists(files, drivers));
    Run("install \"" + D7 + "=install\"");
    registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::Write)->WriteString("InstallDir", drivers);
    messages = Run("uninstall");
    EXPECT_THAT(messages, ::testing::Contains("The folder " + drivers +
                                              " is left as it is: it is a folder of the system or of the user, or holds one."));
    EXPECT_TRUE(sys::DirExists(files, drivers));
}

TEST_F(EngineEndToEnd, PackagesThatWillNotLoadAreNamed) {
    // Delphi 7 builds into a typed folder that is not on PATH; the compiler for Delphi 2005
    // reports success but writes no design package.
    fixtures::ScopedEnvironment noPackage("QV_STUB_NO_PACKAGE", "dcc32:tkQuorvexDsgnD9");
    const std::string typed = scratch.path() + "\\typed bpl";
    const auto messages = Run("install --compile \"" + BDS3 + "=install\" \"--bpl=" + typed + "\" \"" + D7 + "=install\"");
    Lines warnings;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(warnings),
                 [](const std::string& line) { return line.starts_with("Warning: "); });
    EXPECT_EQ(warnings, (Lines{"Warning: tkQuorvexDsgnD7.bpl cannot load in " + D7 + ": tkQuorvexD7.bpl is in " + typed +
                                   ", which is not on PATH.",
                               "Warning: tkQuorvexDsgnD9.bpl cannot load in " + BDS3 + ": the file is missing."}));
    // Warnings leave the outcome alone.
    EXPECT_EQ(messages.back(), "All operations done. Press Finish to exit installation.");
    EXPECT_EQ(Value(Hive::User, D7User + "\\Known Packages", typed + "\\tkQuorvexDsgnD7.bpl"), "Quorvex Component");
}

TEST_F(EngineEndToEnd, UnusableFoldersFailWithoutHarm) {
    // A BPL "folder" that is a file: nothing can be put there.
    const std::string blocked = scratch.path() + "\\blocked bpl";
    fixtures::WriteFile(blocked, "not a folder");
    auto messages = Run("install \"--bpl=" + blocked + "\" \"" + D7 + "=install\"", 1);
    EXPECT_THAT(messages, ::testing::Contains("Package tkQuorvex could not be built; the build log holds the details."));

    // install.log cannot be written: the run says so.
    sys::DeleteTree(files, installDir);
    files.DeleteFile(dist + "\\install.log");
    ASSERT_TRUE(files.CreateDirectory(dist + "\\install.log"));
    const auto result = fixtures::RunExact("engine_run.exe install", dist, dist + "\\engine_run.exe", 120000);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_THAT(result.output, HasSubstr("install.log"));
}

}  // namespace
