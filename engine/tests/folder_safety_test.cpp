// What the installer may recycle, delete or clean, whatever the registry or the user says.

#include "engine/folder_safety.h"

#include <gtest/gtest.h>

#include "engine/compiler.h"
#include "platform/memory/memory_machine.h"
#include "system/file_utils.h"
#include "tools/seed_ides/ide_seed.h"

namespace engine {

// A failed expectation names the refusal in words.
void PrintTo(FolderRefusal refusal, std::ostream* out) { *out << RefusalReason(refusal); }

}  // namespace engine

namespace {

using engine::FolderRefusal;
using engine::RemovalRefusal;
using platform::Hive;
using platform::KeyAccess;

class FolderSafety : public ::testing::Test {
protected:
    platform::memory::MemoryMachine machine;
    engine::GuardedFolders guarded = engine::ProtectedFolders(machine.system);

    std::optional<FolderRefusal> Refusal(const std::string& folder) { return RemovalRefusal(folder, guarded, machine.files); }
};

TEST_F(FolderSafety, EachRefusalNamesItsReason) {
    const std::vector<std::pair<const char*, FolderRefusal>> cases = {
        {"", FolderRefusal::NotAbsolute},
        {"Quorvex", FolderRefusal::NotAbsolute},
        {"C:Quorvex", FolderRefusal::NotAbsolute},
        {"\\Quorvex", FolderRefusal::NotAbsolute},
        {"C:\\Q\\..", FolderRefusal::DotName},
        {"C:\\Q\\.\\R", FolderRefusal::DotName},
        {"C:\\PROGRA~1", FolderRefusal::ShortName},
        {"c:\\progra~1\\Quorvex", FolderRefusal::ShortName},
        {"C:\\Tools\\QUORVE~2.OLD", FolderRefusal::ShortName},
        {"C:\\Q\" -y x", FolderRefusal::BadCharacter},
        {"C:\\Q:x", FolderRefusal::BadCharacter},
        {"C:\\Q\tx", FolderRefusal::BadCharacter},
        {"\\\\?\\C:\\Q", FolderRefusal::BadCharacter},
        {"D:\\", FolderRefusal::WholeDrive},
        {"C:\\.\\", FolderRefusal::DotName},
        {"\\\\server\\share", FolderRefusal::WholeDrive},
        {"C:\\WINDOWS", FolderRefusal::SystemOrUser},
        {"C:\\windows\\system32\\drivers", FolderRefusal::SystemOrUser},
        {"C:\\WINDOWS\\Temp\\Quorvex", FolderRefusal::SystemOrUser},
        {"C:\\Program Files", FolderRefusal::SystemOrUser},
        {"C:\\Program Files\\Common Files", FolderRefusal::SystemOrUser},
        {"C:\\Documents and Settings", FolderRefusal::SystemOrUser},
        {"C:\\Documents and Settings\\User\\Application Data. ", FolderRefusal::SystemOrUser},
        {"C:\\Setup", FolderRefusal::SetupFolder},
    };
    for (const auto& [folder, refusal] : cases) EXPECT_EQ(Refusal(folder), refusal) << folder;
}

TEST_F(FolderSafety, LongNamesAndFoldersInsideUserFoldersMayGo) {
    for (const char* folder : {"C:\\Quorvex~2 Setup", "C:\\Tools\\Quorvex~2", "C:\\Quorvex~1 Old\\Sub.Name~1x",
                               "C:\\Program Files\\Quorvex", "C:\\Program Files\\Common Files\\Quorvex",
                               "C:\\Documents and Settings\\User\\My Documents\\Quorvex", "C:\\Setup\\Quorvex",
                               "\\\\server\\share\\Quorvex", "D:/Tools/Quorvex/"})
        EXPECT_EQ(Refusal(folder), std::nullopt) << folder;
}

TEST_F(FolderSafety, TheSetupFolderAndTheCurrentDirectoryAreGuardedWithTheFoldersAboveThem) {
    machine.system.programFolder = "D:\\Dist\\Quorvex\\Setup";
    machine.system.currentDirectory = "E:\\Downloads\\Quorvex";
    guarded = engine::ProtectedFolders(machine.system);
    for (const char* folder : {"D:\\Dist", "D:\\Dist\\Quorvex\\Setup", "E:\\Downloads", "e:\\downloads\\quorvex"})
        EXPECT_EQ(Refusal(folder), FolderRefusal::SetupFolder) << folder;
    EXPECT_EQ(Refusal("E:\\Downloads\\Quorvex\\Installed"), std::nullopt);
    EXPECT_EQ(Refusal("C:\\Setup"), std::nullopt);
}

TEST_F(FolderSafety, AGuardedFolderGivenInShortNamesGuardsWhateverItsAliasesStandFor) {
    // Setup started through an 8.3 path; the system folders as an old system may report them.
    machine.system.programFolder = "D:\\Tools\\QUORVE~1\\Setup";
    machine.system.currentDirectory = "E:\\DOWNLO~1";
    guarded = engine::ProtectedFolders(machine.system);
    guarded.withContents.push_back("G:\\WINNT~1");
    guarded.system.push_back("F:\\DOCUME~1\\John");
    const std::vector<std::pair<const char*, FolderRefusal>> cases = {
        {"D:\\Tools", FolderRefusal::SetupFolder},
        {"D:\\Tools\\Quorvex Setup\\Setup", FolderRefusal::SetupFolder},
        {"E:\\Downloads", FolderRefusal::SetupFolder},
        {"G:\\WinNT\\System32", FolderRefusal::SystemOrUser},
        {"F:\\Documents and Settings", FolderRefusal::SystemOrUser},
    };
    for (const auto& [folder, refusal] : cases) EXPECT_EQ(Refusal(folder), refusal) << folder;
    for (const char* folder : {"D:\\Tools\\Quorvex Setup\\Setup\\Installed", "E:\\Downloads\\Quorvex",
                               "F:\\Documents and Settings\\John\\Quorvex"})
        EXPECT_EQ(Refusal(folder), std::nullopt) << folder;
}

// The guarded folders exist, and the system names them under other names too.
class FoldersByIdentity : public FolderSafety {
protected:
    FoldersByIdentity() {
        for (const auto& [kind, folder] : machine.system.specialFolders) sys::ForceDirectories(machine.files, folder);
        machine.system.programFolder = machine.system.currentDirectory = "C:\\Qv Dist";
        for (const char* folder : {"C:\\Qv Dist", "C:\\WINDOWS\\qvsentinel", "C:\\Quorvex", "C:\\Tools"})
            machine.files.CreateDirectory(folder);
        machine.files.AddDrive('D');
        Guard();
    }
    void Guard() { guarded = engine::ProtectedFolders(machine.system); }
    void ExpectRefusals(const std::vector<std::pair<const char*, std::optional<FolderRefusal>>>& cases) {
        for (const auto& [folder, refusal] : cases) EXPECT_EQ(Refusal(folder), refusal) << folder;
    }
};

TEST_F(FoldersByIdentity, AMappedDriveAShareAMountPointOrALinkIsTheFolderItLeadsTo) {
    machine.files.MapDrive('Q', "C:\\");
    machine.files.MapDrive('W', "C:\\WINDOWS");
    machine.files.CreateDirectoryLink("C:\\QvAlias", "C:\\WINDOWS");
    machine.files.AddShare("\\\\localhost\\C$", "C:\\");
    machine.files.CreateDirectoryLink("D:\\Mounted C", "C:\\");  // the volume of C: mounted in a folder
    ExpectRefusals({
        {"Q:\\Qv Dist", FolderRefusal::SetupFolder},
        {"W:\\qvsentinel", FolderRefusal::SystemOrUser},
        {"W:\\not there yet", FolderRefusal::SystemOrUser},
        {"W:\\", FolderRefusal::WholeDrive},
        {"C:\\QvAlias\\qvsentinel", FolderRefusal::SystemOrUser},
        {"C:\\QvAlias", FolderRefusal::SystemOrUser},
        {"\\\\localhost\\C$\\WINDOWS\\qvsentinel", FolderRefusal::SystemOrUser},
        {"\\\\LOCALHOST\\c$\\Documents and Settings", FolderRefusal::SystemOrUser},
        {"\\\\localhost\\C$\\Qv Dist", FolderRefusal::SetupFolder},
        {"\\\\localhost\\C$", FolderRefusal::WholeDrive},
        {"D:\\Mounted C\\WINDOWS\\Temp", FolderRefusal::SystemOrUser},
        {"D:\\Mounted C", FolderRefusal::SystemOrUser},
        // The same names may lead to the product's own folder.
        {"Q:\\Quorvex", std::nullopt},
        {"\\\\localhost\\C$\\Quorvex", std::nullopt},
        {"D:\\Mounted C\\Quorvex", std::nullopt},
    });
}

TEST_F(FoldersByIdentity, ALinkAboveTheFolderIsFollowedAndOneBelowItIsNot) {
    sys::ForceDirectories(machine.files, "D:\\Work\\Quorvex");
    machine.files.CreateDirectoryLink("C:\\Tools\\System", "C:\\WINDOWS\\system32");
    machine.files.CreateDirectoryLink("C:\\Tools\\Work", "D:\\Work");
    machine.files.CreateDirectoryLink("C:\\Quorvex\\Windows", "C:\\WINDOWS");
    ExpectRefusals({
        {"C:\\Tools\\System\\Quorvex", FolderRefusal::SystemOrUser},
        {"C:\\Tools\\Work\\Quorvex", std::nullopt},
        {"C:\\Tools\\Work", std::nullopt},
        // Its removal takes the link, not what it leads to.
        {"C:\\Quorvex", std::nullopt},
    });

    // Setup run through a link: the folder it leads to and those above are setup's.
    machine.files.CreateDirectory("D:\\Real");
    machine.files.CreateDirectory("D:\\Real\\Dist");
    machine.files.CreateDirectoryLink("C:\\Links", "D:\\Real");
    machine.system.programFolder = machine.system.currentDirectory = "C:\\Links\\Dist";
    Guard();
    ExpectRefusals({
        {"D:\\Real\\Dist", FolderRefusal::SetupFolder},
        {"D:\\Real", FolderRefusal::SetupFolder},
        {"D:\\Work", std::nullopt},
    });

    // Setup run from the root of a drive mapped onto its folder.
    machine.files.MapDrive('R', "C:\\Qv Dist");
    machine.system.programFolder = machine.system.currentDirectory = "R:\\";
    Guard();
    ExpectRefusals({{"C:\\Qv Dist", FolderRefusal::SetupFolder}, {"C:\\Quorvex", std::nullopt}});
}

TEST_F(FoldersByIdentity, AShortNameIsTheFolderItNames) {
    machine.files.SetShortName("C:\\Program Files", "PROGRA~1");
    machine.files.SetShortName("C:\\Documents and Settings", "DOCUME~1");
    sys::ForceDirectories(machine.files, "C:\\Program Files\\Quorvex Suite");
    machine.files.SetShortName("C:\\Program Files\\Quorvex Suite", "QUORVE~1");
    machine.files.CreateDirectory("C:\\Tools\\Quorvex Old");
    machine.files.SetShortName("C:\\Tools\\Quorvex Old", "QUORVE~1");
    ExpectRefusals({
        {"C:\\PROGRA~1\\QUORVE~1", std::nullopt},
        {"C:\\Tools\\QUORVE~1", std::nullopt},
        {"C:\\PROGRA~1", FolderRefusal::SystemOrUser},
        {"C:\\DOCUME~1\\User", FolderRefusal::SystemOrUser},
        {"C:\\DOCUME~1", FolderRefusal::SystemOrUser},
        // No folder has that alias: what it would stand for is unknown.
        {"C:\\Tools\\QUORVE~2", FolderRefusal::ShortName},
        {"C:\\QUORVE~1\\New", FolderRefusal::ShortName},
    });

    // Setup started through 8.3 names guards its own folder and those above, and no other.
    for (const char* folder : {"D:\\Tools\\Quorvex Setup\\Setup", "D:\\Tools\\Other\\Setup"})
        sys::ForceDirectories(machine.files, folder);
    machine.files.SetShortName("D:\\Tools\\Quorvex Setup", "QUORVE~1");
    machine.system.programFolder = machine.system.currentDirectory = "D:\\Tools\\QUORVE~1\\Setup";
    Guard();
    ExpectRefusals({
        {"D:\\Tools", FolderRefusal::SetupFolder},
        {"D:\\Tools\\Quorvex Setup", FolderRefusal::SetupFolder},
        {"d:\\tools\\quorvex setup\\setup", FolderRefusal::SetupFolder},
        {"D:\\Tools\\Other\\Setup", std::nullopt},
        {"D:\\Tools\\Other", std::nullopt},
        {"D:\\Tools\\Quorvex Setup\\Setup\\Installed", std::nullopt},
    });
}

TEST_F(FoldersByIdentity, WithoutFileIndexesTheNamesDecideAsBefore) {
    machine.files.AddDrive('N', platform::memory::MemoryFileSystem::FileIndexes::None);
    sys::ForceDirectories(machine.files, "N:\\Tools\\Quorvex Old");
    machine.files.SetShortName("N:\\Tools\\Quorvex Old", "QUORVE~1");
    machine.files.AddShare("\\\\FILER\\N$", "N:\\");
    ExpectRefusals({
        {"N:\\Tools\\QUORVE~1", FolderRefusal::ShortName},
        {"\\\\FILER\\N$\\Tools\\QUORVE~1", FolderRefusal::ShortName},
        {"\\\\FILER\\N$", FolderRefusal::WholeDrive},
        {"N:\\Tools\\Quorvex Old", std::nullopt},
        {"\\\\FILER\\N$\\Tools", std::nullopt},
    });
    // A guarded folder there in 8.3 names may be behind any name.
    machine.system.programFolder = "N:\\QUORVE~1\\Setup";
    Guard();
    ExpectRefusals({{"N:\\Tools\\Setup", FolderRefusal::SetupFolder}, {"N:\\Tools\\Other", std::nullopt}});
}

// The engine's removals, with the installation folder taken from the registry.
class EngineRemovals : public FolderSafety {
protected:
    EngineRemovals() {
        machine.files.CreateDirectory("C:\\Setup");
        machine.files.WriteFile("C:\\Setup\\version", "2.4.1.17");
        machine.files.WriteFile("C:\\Setup\\data.arc", "archive");
    }

    void Record(const std::string& installDir) {
        const auto key = machine.registry.OpenKey(Hive::LocalMachine, engine::ProductRegistryKey, KeyAccess::CreateWrite);
        key->WriteString("InstallDir", installDir);
        key->WriteString("InstalledVersion", "1.0.0");
    }

    void RecordDelphi7In(const std::string& installDir) {
        Record(installDir);
        const auto key = machine.registry.OpenKey(
            Hive::LocalMachine, std::string(engine::ProductRegistryKey) + "\\Delphi 7.0 (Enterprise)",
            KeyAccess::CreateWrite);
        for (const char* name : {"Installed", "IDE Registration", "ZEOS Connectivity", "Add Source Location"})
            key->WriteInteger(name, 1);
        key->WriteString("BPLDir", "C:\\D7\\Projects\\Bpl");
        key->WriteString("DCPDir", "C:\\D7\\Projects\\Bpl");
    }

    std::vector<std::string> Run(bool install) {
        engine::TInstallData data(machine.platform, options);
        engine::TCompiler compiler(data);
        std::vector<std::string> messages;
        compiler.OnMessage = [&](const std::string& line, bool&) { messages.push_back(line); };
        if (install) {
            compiler.Install();
        } else {
            data.State = engine::isUninstall;
            compiler.Uninstall();
        }
        return messages;
    }

    cmdline::TCmdOptions options{machine.files};
};

TEST_F(EngineRemovals, TheDistributionIsNeitherRecycledNorDeleted) {
    for (const char* folder : {"C:\\Setup", "C:\\"}) {
        Record(folder);
        const auto installed = Run(true);
        const auto uninstalled = Run(false);
        for (const auto* messages : {&installed, &uninstalled})
            EXPECT_NE(std::find(messages->begin(), messages->end(),
                                "The folder " + std::string(folder) + " is left as it is: " +
                                    engine::RefusalReason(*Refusal(folder)) + "."),
                      messages->end())
                << folder;
        EXPECT_EQ(machine.files.ReadFile("C:\\Setup\\data.arc"), "archive");
        EXPECT_TRUE(machine.files.RecycleBin().empty());
    }
}

TEST_F(EngineRemovals, AShortAliasIsNeitherRecycledNorDeleted) {
    sys::ForceDirectories(machine.files, "C:\\Program Files\\Other");
    machine.files.WriteFile("C:\\Program Files\\Other\\app.exe", "theirs");
    Record("C:\\PROGRA~1");
    Run(true);
    Run(false);
    EXPECT_EQ(machine.files.ReadFile("C:\\Program Files\\Other\\app.exe"), "theirs");
    EXPECT_TRUE(machine.files.RecycleBin().empty());
}

TEST_F(EngineRemovals, NoOtherNameOfTheDistributionOrOfTheWindowsFolderIsRecycledDeletedOrCleaned) {
    seeding::Seed(machine.registry, machine.files, seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    machine.files.WriteFile("C:\\Setup\\withsrcs", "");  // the uninstall cleans the units then
    sys::ForceDirectories(machine.files, "C:\\WINDOWS\\qvsentinel\\Delphi7");
    machine.files.WriteFile("C:\\WINDOWS\\qvsentinel\\Delphi7\\theirs.dcu", "theirs");
    machine.files.MapDrive('Q', "C:\\");
    machine.files.MapDrive('W', "C:\\WINDOWS");
    machine.files.CreateDirectoryLink("C:\\QvAlias", "C:\\WINDOWS");
    guarded = engine::ProtectedFolders(machine.system);
    struct Case {
        std::string folder;
        FolderRefusal refusal;
        bool withContents;  // what lies inside is guarded too: the IDE's target folder there
    };
    const std::vector<Case> cases = {
        {"Q:\\Setup", FolderRefusal::SetupFolder, false},
        {"W:\\qvsentinel", FolderRefusal::SystemOrUser, true},
        {"C:\\QvAlias\\qvsentinel", FolderRefusal::SystemOrUser, true},
    };
    const auto leftAsItIs = [](const std::string& folder, FolderRefusal refusal) {
        return "The folder " + folder + " is left as it is: " + engine::RefusalReason(refusal) + ".";
    };
    for (const auto& [folder, refusal, withContents] : cases) {
        EXPECT_EQ(Refusal(folder), refusal) << folder;
        Record(folder);
        const auto updated = Run(true);
        RecordDelphi7In(folder);
        const auto uninstalled = Run(false);
        for (const auto* messages : {&updated, &uninstalled})
            EXPECT_NE(std::find(messages->begin(), messages->end(), leftAsItIs(folder, refusal)), messages->end())
                << folder;
        const bool cleaningRefused = std::find(uninstalled.begin(), uninstalled.end(),
                                               leftAsItIs(folder + "\\Delphi7", refusal)) != uninstalled.end();
        EXPECT_EQ(cleaningRefused, withContents) << folder;
        EXPECT_EQ(machine.files.ReadFile("C:\\Setup\\data.arc"), "archive") << folder;
        EXPECT_EQ(machine.files.ReadFile("C:\\WINDOWS\\qvsentinel\\Delphi7\\theirs.dcu"), "theirs") << folder;
        EXPECT_TRUE(machine.files.RecycleBin().empty()) << folder;
    }
}

TEST_F(EngineRemovals, TheProductsOwnFolderGoesWhateverNameLeadsToIt) {
    machine.files.CreateDirectory("C:\\Tools");
    machine.files.MapDrive('T', "C:\\Tools");
    for (const char* folder : {"C:\\Tools\\QUORVE~1", "T:\\Quorvex Suite"}) {
        sys::ForceDirectories(machine.files, "C:\\Tools\\Quorvex Suite\\Packages");
        machine.files.WriteFile("C:\\Tools\\Quorvex Suite\\Packages\\bcb.bmk", "x");
        machine.files.SetShortName("C:\\Tools\\Quorvex Suite", "QUORVE~1");
        Record(folder);
        Run(false);
        EXPECT_FALSE(machine.files.GetAttributes("C:\\Tools\\Quorvex Suite")) << folder;
    }
}

TEST_F(EngineRemovals, TheUnitCleanUpLeavesWhatALinkLeadsTo) {
    seeding::Seed(machine.registry, machine.files, seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
    machine.files.WriteFile("C:\\Setup\\withsrcs", "");
    for (const char* folder : {"C:\\Q", "C:\\Q\\Delphi7", "C:\\Elsewhere", "C:\\Other", "C:\\Other\\Delphi7"})
        machine.files.CreateDirectory(folder);
    for (const char* unit : {"C:\\Q\\Delphi7\\old.dcu", "C:\\Elsewhere\\theirs.dcu", "C:\\Other\\Delphi7\\theirs.dcu"})
        machine.files.WriteFile(unit, "x");
    machine.files.CreateDirectoryLink("C:\\Q\\Delphi7\\Linked", "C:\\Elsewhere");
    RecordDelphi7In("C:\\Q");
    Run(false);
    EXPECT_FALSE(machine.files.GetAttributes("C:\\Q\\Delphi7\\old.dcu"));
    EXPECT_EQ(machine.files.ReadFile("C:\\Elsewhere\\theirs.dcu"), "x");

    // An installation folder that is itself a link: its target folder is not cleaned.
    machine.files.CreateDirectoryLink("C:\\Q", "C:\\Other");
    RecordDelphi7In("C:\\Q");
    Run(false);
    EXPECT_EQ(machine.files.ReadFile("C:\\Other\\Delphi7\\theirs.dcu"), "x");
}

}  // namespace
