// What the installer may recycle, delete or clean, whatever the registry or the user says.

#include "engine/folder_safety.h"

#include <gtest/gtest.h>

#include "engine/compiler.h"
#include "platform/memory/memory_machine.h"
#include "system/file_utils.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using engine::FolderRefusal;
using engine::RemovalRefusal;
using platform::Hive;
using platform::KeyAccess;

class FolderSafety : public ::testing::Test {
protected:
    platform::memory::MemoryMachine machine;
    engine::GuardedFolders guarded = engine::ProtectedFolders(machine.system);

    std::optional<FolderRefusal> Refusal(const std::string& folder) { return RemovalRefusal(folder, guarded); }
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
