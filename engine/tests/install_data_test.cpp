#include "engine/install_data.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_machine.h"
#include "platform/registry_data.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using engine::TInstallData;
using platform::Hive;
using platform::KeyAccess;
using seeding::TypicalIde;

const std::string Product = "Software\\Veltrano Software\\Quorvex";

class InstallDataTest : public ::testing::Test {
protected:
    InstallDataTest() {
        machine.files.CreateDirectory("C:\\Dist");
        machine.system.currentDirectory = "C:\\Dist";
        machine.files.WriteFile("C:\\Dist\\version", "2.4.1.17\r\n");
    }

    std::unique_ptr<TInstallData> Start() {
        return std::make_unique<TInstallData>(machine.platform, options);
    }

    void RecordInstall(const std::string& folder, const std::string& version) {
        const auto key = machine.registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::CreateWrite);
        key->WriteString("InstallDir", folder);
        key->WriteString("InstalledVersion", version);
    }

    std::string StartError() {
        try {
            Start();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "<no error>";
    }

    void Seed(const seeding::SeededIde& ide) { seeding::Seed(machine.registry, machine.files, ide); }

    platform::memory::MemoryMachine machine;
    cmdline::TCmdOptions options{machine.files};
};

TEST_F(InstallDataTest, FirstInstallationUsesTheDefaultFolder) {
    const auto data = Start();
    EXPECT_EQ(data->State, engine::isInstall);
    EXPECT_FALSE(data->Installed);
    EXPECT_FALSE(data->InstalledVersion.has_value());
    EXPECT_EQ(data->InstallDir(), "C:\\Program Files\\Veltradb\\Quorvex");
    EXPECT_EQ(data->SetupVersion.FullText(), "2.4.1.17 Standard Edition");
    EXPECT_EQ(data->PackagesDir(), "C:\\Program Files\\Veltradb\\Quorvex\\Packages");
    EXPECT_EQ(data->SourcesDir(), "C:\\Program Files\\Veltradb\\Quorvex\\Sources");

    machine.system.specialFolders.erase(platform::SpecialFolder::ProgramFiles);
    EXPECT_EQ(Start()->InstallDir(), "C:\\Program files\\Veltradb\\Quorvex");
    machine.system.specialFolders[platform::SpecialFolder::ProgramFiles] = "D:\\";
    EXPECT_EQ(Start()->InstallDir(), "D:\\Veltradb\\Quorvex");
}

// Naming Program Files loads the shell on Windows: a first installation asks for it when its
// folder is first needed, not at start.
TEST_F(InstallDataTest, TheDefaultFolderIsLookedUpWhenFirstNeeded) {
    const auto data = Start();
    machine.system.specialFolders[platform::SpecialFolder::ProgramFiles] = "E:\\Apps";
    EXPECT_EQ(data->InstallDir(), "E:\\Apps\\Veltradb\\Quorvex");
    machine.system.specialFolders[platform::SpecialFolder::ProgramFiles] = "F:\\Later";
    EXPECT_EQ(data->PackagesDir(), "E:\\Apps\\Veltradb\\Quorvex\\Packages");

    const auto chosen = Start();
    chosen->SetInstallDir("D:\\Chosen");
    EXPECT_EQ(chosen->InstallDir(), "D:\\Chosen");

    RecordInstall("D:\\Tools\\Q", "2.4.1.16");
    const auto installed = Start();
    machine.system.specialFolders[platform::SpecialFolder::ProgramFiles] = "G:\\Other";
    EXPECT_EQ(installed->InstallDir(), "D:\\Tools\\Q");
}

TEST_F(InstallDataTest, StateComesFromTheRecordedVersion) {
    RecordInstall("", "2.4.1.17 Standard Edition");
    auto data = Start();
    EXPECT_EQ(data->State, engine::isInstall);
    EXPECT_FALSE(data->InstalledVersion.has_value());

    RecordInstall("D:\\Tools\\Q", "2.4.1.17 Standard Edition");
    data = Start();
    EXPECT_EQ(data->State, engine::isMaintenance);
    EXPECT_EQ(data->InstallDir(), "D:\\Tools\\Q");

    RecordInstall("D:\\Tools\\Q", "2.4.1.18 Standard Edition");
    data = Start();
    EXPECT_EQ(data->State, engine::isUpdate);
    EXPECT_EQ(data->InstallDir(), "D:\\Tools\\Q");
    EXPECT_EQ(data->InstalledVersion->FullText(), "2.4.1.18 Standard Edition");

    RecordInstall("D:\\Tools\\Q", "2.4.1.17 Standard Edition");
    machine.files.WriteFile("C:\\Dist\\version", "  2.4.1.17 With Sources");
    EXPECT_EQ(Start()->State, engine::isUpdate);
}

TEST_F(InstallDataTest, MarkerFilesCountByExistenceOnly) {
    auto data = Start();
    EXPECT_FALSE(data->WithSources || data->FreeVersion);
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    machine.files.CreateDirectory("C:\\Dist\\FREEVERS");
    data = Start();
    EXPECT_TRUE(data->WithSources);
    EXPECT_TRUE(data->FreeVersion);
}

TEST_F(InstallDataTest, StartUpFailuresCarryTheirMessage) {
    machine.files.WriteFile("C:\\Dist\\version", " \r\n");
    EXPECT_EQ(StartError(), "Bad version string");
    machine.files.WriteFile("C:\\Dist\\version", std::string(3 << 20, '\x01') + "\xff\xfe");
    EXPECT_EQ(StartError(), "Bad version string");
    machine.files.DeleteFile("C:\\Dist\\version");
    EXPECT_NE(StartError().find("version"), std::string::npos);

    machine.files.WriteFile("C:\\Dist\\version", "2.4.1");
    machine.registry.SetRawValue(Hive::LocalMachine, Product, "InstalledVersion",
                                 platform::IntegerValue(3));
    EXPECT_NE(StartError().find("InstalledVersion"), std::string::npos);
}

TEST_F(InstallDataTest, SavingTheRecordWritesOrRemovesTheWholeKey) {
    auto data = Start();
    data->Installed = true;
    data->SetInstallDir("E:\\Q");
    data->SaveToRegistry();
    const auto key = machine.registry.OpenKey(Hive::LocalMachine, Product, KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("InstallDir"), "E:\\Q");
    EXPECT_EQ(key->ReadString("InstalledVersion"), "2.4.1.17 Standard Edition");
    EXPECT_EQ(Start()->State, engine::isMaintenance);

    machine.registry.OpenKey(Hive::LocalMachine, Product + "\\Delphi 7.0 (Enterprise)",
                             KeyAccess::CreateWrite);
    data->Installed = false;
    data->SaveToRegistry();
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
    EXPECT_TRUE(machine.registry.KeyExists(Hive::LocalMachine, "Software\\Veltrano Software"));
}

TEST_F(InstallDataTest, OptionsDefaultsFollowTheIDEAndTheDistribution) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = d7.mydac = d7.odac = true;
    Seed(d7);
    Seed(TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    auto data = Start();
    ASSERT_EQ(data->TargetOptions->Count(), 2);
    const auto& delphi = (*data->TargetOptions)[0];
    EXPECT_FALSE(delphi.Installed);
    EXPECT_TRUE(delphi.IDERegistration);
    EXPECT_TRUE(delphi.ZEOS && delphi.MyDAC && delphi.ODAC);
    EXPECT_FALSE(delphi.AddSource);
    EXPECT_EQ(delphi.BPLDir, "C:\\D7\\Projects\\Bpl");
    EXPECT_EQ(delphi.DCPDir, "C:\\D7\\Projects\\Bpl");
    EXPECT_EQ(delphi.HPPDir, "");
    EXPECT_EQ(delphi.Action, engine::taNone);
    EXPECT_EQ(delphi.TargetDir(), "C:\\Program Files\\Veltradb\\Quorvex\\Delphi7");
    const auto& builder = (*data->TargetOptions)[1];
    EXPECT_FALSE(builder.ZEOS || builder.MyDAC || builder.ODAC);
    EXPECT_EQ(builder.HPPDir, "C:\\CB6\\Include\\Vcl");
    EXPECT_EQ(builder.TargetDir(), "C:\\Program Files\\Veltradb\\Quorvex\\CBuilder6");

    machine.files.WriteFile("C:\\Dist\\freevers", "");
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    data = Start();
    const auto& freeDelphi = (*data->TargetOptions)[0];
    EXPECT_FALSE(freeDelphi.ZEOS || freeDelphi.MyDAC || freeDelphi.ODAC);
    EXPECT_TRUE(freeDelphi.AddSource);
}

TEST_F(InstallDataTest, OptionsRecordRoundTripsAndReadsBackWithItsRules) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = true;
    d7.mydac = true;
    Seed(d7);
    machine.files.WriteFile("C:\\Dist\\withsrcs", "");
    auto data = Start();
    auto& options7 = (*data->TargetOptions)[0];
    options7.Installed = true;
    options7.BPLDir = "E:\\Out Bpl";
    options7.DCPDir = "E:\\Out Dcp";
    options7.IDERegistration = false;
    options7.AddSource = true;
    options7.CompilePackages = true;
    options7.SaveToRegistry();
    const std::string subkey = Product + "\\Delphi 7.0 (Enterprise)";
    const auto key = machine.registry.OpenKey(Hive::LocalMachine, subkey, KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadInteger("Compile Packages").value_or(-1), 1);
    EXPECT_EQ(key->ReadInteger("ZEOS Connectivity").value_or(-1), 1);

    RecordInstall("E:\\Q", "2.4.1.17");
    data = Start();
    const auto& loaded = (*data->TargetOptions)[0];
    EXPECT_TRUE(loaded.Installed);
    EXPECT_EQ(loaded.BPLDir, "E:\\Out Bpl");
    EXPECT_EQ(loaded.DCPDir, "E:\\Out Dcp");
    EXPECT_FALSE(loaded.IDERegistration);
    EXPECT_TRUE(loaded.ZEOS);
    EXPECT_TRUE(loaded.AddSource);
    EXPECT_FALSE(loaded.MyDAC || loaded.ODAC || loaded.CompilePackages);
    EXPECT_EQ(data->State, engine::isMaintenance);
    // The free edition's defaults do not overrule a stored choice.
    machine.files.WriteFile("C:\\Dist\\freevers", "");
    EXPECT_TRUE((*Start()->TargetOptions)[0].ZEOS);

    // Without the library or the sources the stored choices do not hold.
    machine.files.DeleteFile("C:\\D7\\Projects\\Bpl\\ZCore.bpl");
    machine.files.DeleteFile("C:\\Dist\\withsrcs");
    data = Start();
    EXPECT_FALSE((*data->TargetOptions)[0].ZEOS);
    EXPECT_FALSE((*data->TargetOptions)[0].AddSource);

    // A damaged record stops start-up with the registry's error.
    machine.registry.OpenKey(Hive::LocalMachine, subkey, KeyAccess::Write)->DeleteValue("Installed");
    EXPECT_NE(StartError().find("Installed"), std::string::npos);
    machine.registry.SetRawValue(Hive::LocalMachine, subkey, "Installed", platform::StringValue("1"));
    EXPECT_NE(StartError().find("Installed"), std::string::npos);

    (*data->TargetOptions)[0].Installed = false;
    (*data->TargetOptions)[0].SaveToRegistry();
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, subkey));
}

TEST_F(InstallDataTest, AnyActionAndInstallCount) {
    Seed(TypicalIde("Delphi", "6.0", "C:\\D6"));
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    auto data = Start();
    auto& list = *data->TargetOptions;
    EXPECT_FALSE(list.AnyAction());
    list[0].Action = engine::taUninstall;
    EXPECT_TRUE(list.AnyAction());
    EXPECT_EQ(list.InstallCount(), 0);
    list[1].Action = engine::taInstall;
    EXPECT_EQ(list.InstallCount(), 1);
    list[0].Action = list[1].Action = engine::taNone;
    data->State = engine::isUpdate;
    EXPECT_TRUE(list.AnyAction());
}

}  // namespace
