#include "ide/compile_target.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/memory/memory_machine.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using platform::Hive;
using platform::KeyAccess;
using seeding::TypicalIde;

class CompileTargetTest : public ::testing::Test {
protected:
    void Seed(const seeding::SeededIde& ide) { seeding::Seed(machine.registry, machine.files, ide); }

    // Fresh options each time, as every start of the installer has.
    ide::TCompileTargetList List(const std::vector<std::string>& args = {}) {
        options = std::make_unique<cmdline::TCmdOptions>(machine.files);
        options->Parse(args);
        return ide::TCompileTargetList(machine.platform, *options);
    }

    std::string UserValue(const std::string& key, const std::string& name) {
        const auto k = machine.registry.OpenKey(Hive::User, key, KeyAccess::Read);
        return k ? k->ReadString(name) : "<no key>";
    }

    platform::memory::MemoryMachine machine;
    std::unique_ptr<cmdline::TCmdOptions> options;
};

std::vector<std::string> Names(const ide::TCompileTargetList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i].DisplayName());
    return names;
}

TEST_F(CompileTargetTest, AMachineWithoutIDEsListsNothing) {
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(options->RegistryDelphi, "Delphi");
    EXPECT_EQ(options->RegistryBCB, "C++Builder");
    EXPECT_EQ(options->RegistryBDS, "BDS");
}

TEST_F(CompileTargetTest, ListsDelphiThenCBuilderThenSupportedBDS) {
    Seed(TypicalIde("BDS", "3.0", "C:\\BDS3"));
    Seed(TypicalIde("BDS", "2.0", "C:\\BDS2"));
    Seed(TypicalIde("BDS", "1.0", "C:\\BDS1"));
    Seed(TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    Seed(TypicalIde("C++Builder", "5.0", "C:\\CB5"));
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    Seed(TypicalIde("Delphi", "6.0", "C:\\D6"));
    Seed(TypicalIde("Delphi", "5.0", "C:\\D5"));
    auto bogus = TypicalIde("Delphi", "0.9", "C:\\D0");
    Seed(bogus);
    bogus.keyName = "Common";
    Seed(bogus);
    EXPECT_EQ(Names(List()), (std::vector<std::string>{
                                 "Delphi 5.0 (Enterprise)", "Delphi 6.0 (Enterprise)",
                                 "Delphi 7.0 (Enterprise)", "C++Builder 5.0 (Enterprise)",
                                 "C++Builder 6.0 (Enterprise)", "Delphi 2005 (Enterprise)"}));
    EXPECT_EQ(Names(List({"--ignore-delphi"})),
              (std::vector<std::string>{"C++Builder 5.0 (Enterprise)", "C++Builder 6.0 (Enterprise)"}));
    EXPECT_EQ(List({"--ignore-bcb"}).Count(), 4);
}

TEST_F(CompileTargetTest, FieldsOfEachProduct) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\Program Files\\Borland\\Delphi7\\"));
    Seed(TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    Seed(TypicalIde("BDS", "3.0", "C:\\BDS3"));
    const auto list = List();
    ASSERT_EQ(list.Count(), 3);
    auto& d7 = list[0];
    d7.ReloadLists();
    EXPECT_EQ(d7.RootDir, "C:\\Program Files\\Borland\\Delphi7");
    EXPECT_EQ(d7.Version, 7);
    EXPECT_FALSE(d7.IsBCB() || d7.IsBDS());
    EXPECT_EQ(d7.DccPath(), "C:\\Program Files\\Borland\\Delphi7\\Bin\\dcc32.exe");
    EXPECT_EQ(d7.PackageFileName("Quorvex"), "QuorvexD7.dpk");
    EXPECT_EQ(d7.BPLOutputDir, "$(DELPHI)\\Projects\\Bpl");
    EXPECT_EQ(d7.ExpandedBPLOutputDir(), "C:\\Program Files\\Borland\\Delphi7\\Projects\\Bpl");
    EXPECT_EQ(d7.DebugDCUPaths, std::vector<std::string>{"$(DELPHI)\\Lib\\Debug"});

    const auto& cb6 = list[1];
    EXPECT_TRUE(cb6.IsBCB());
    EXPECT_EQ(cb6.PackageFileName("Quorvex"), "QuorvexC6.bpk");

    const auto& bds = list[2];
    EXPECT_TRUE(bds.IsBDS());
    EXPECT_FALSE(bds.IsBCB());
    EXPECT_EQ(bds.ProductName, "Delphi");
    EXPECT_EQ(bds.KeyVersion, 3);
    EXPECT_EQ(bds.Version, 9);
    EXPECT_EQ(bds.PackageFileName("Quorvex"), "QuorvexD9.dpk");
}

TEST_F(CompileTargetTest, UserHiveDecidesAndMayUseAnotherName) {
    auto machineOnly = TypicalIde("Delphi", "7.0", "C:\\D7");
    machineOnly.userKey = false;
    Seed(machineOnly);
    auto renamed = TypicalIde("BDS", "3.0", "C:\\BDS3");
    renamed.registryName = "Win32Only";
    Seed(renamed);
    EXPECT_EQ(List().Count(), 0);
    const auto list = List({"-rbds=Win32Only"});
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].UserKey, "\\SOFTWARE\\Borland\\Win32Only\\3.0");
    EXPECT_EQ(list[0].MachineKey, "\\SOFTWARE\\Borland\\BDS\\3.0");
    list[0].ReloadLists();
    EXPECT_EQ(list[0].SearchPaths.size(), 4u);
}

TEST_F(CompileTargetTest, EditionFallsBackToVersionValueThenPers) {
    auto withVersion = TypicalIde("Delphi", "6.0", "C:\\D6");
    withVersion.edition.reset();
    withVersion.versionValue = "Professional";
    Seed(withVersion);
    auto bare = TypicalIde("BDS", "3.0", "C:\\BDS3");
    bare.edition.reset();
    Seed(bare);
    auto both = TypicalIde("C++Builder", "6.0", "C:\\CB6");
    both.versionValue = "6.0";
    Seed(both);
    EXPECT_EQ(Names(List()), (std::vector<std::string>{"Delphi 6.0 (Professional)", "C++Builder 6.0 (Enterprise)",
                                                       "Delphi 2005 (Pers)"}));
}

TEST_F(CompileTargetTest, MissingKeysLeaveFieldsEmpty) {
    auto bare = TypicalIde("Delphi", "7.0", "C:\\D7");
    bare.machineKey = true;
    bare.libraryKey = false;
    bare.debuggingKey = false;
    bare.packageKeys = false;
    Seed(bare);
    machine.registry.DeleteKey(Hive::LocalMachine, "SOFTWARE\\Borland\\Delphi\\7.0");
    machine.registry.OpenKey(Hive::LocalMachine, "SOFTWARE\\Borland\\Delphi\\7.0", KeyAccess::CreateWrite);
    const auto list = List();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0].RootDir, "");
    EXPECT_EQ(list[0].Edition, "Pers");
    EXPECT_TRUE(list[0].SearchPaths.empty());
    EXPECT_EQ(list[0].KnownPackages.Count(), 0);
}

// Start-up reads every list, so that one the engine could not read stops it, but keeps none: the
// engine reads them again just before it changes them. Saving lists never read would empty them.
TEST_F(CompileTargetTest, StartUpReadsTheListsButKeepsNone) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    const std::string library = "SOFTWARE\\Borland\\Delphi\\7.0\\Library";
    const std::string searchPath = UserValue(library, "Search Path");
    auto list = List();
    auto& d7 = list[0];
    EXPECT_TRUE(d7.SearchPaths.empty());
    EXPECT_EQ(d7.KnownPackages.Count(), 0);
    EXPECT_EQ(d7.BPLOutputDir, "$(DELPHI)\\Projects\\Bpl");
    EXPECT_THROW(d7.SavePaths(), std::logic_error);
    EXPECT_THROW(d7.SavePackageLists(), std::logic_error);
    EXPECT_EQ(UserValue(library, "Search Path"), searchPath);

    d7.ReloadLists();
    EXPECT_EQ(d7.SearchPaths.size(), 4u);
    EXPECT_GT(d7.KnownPackages.Count(), 0);
    EXPECT_NO_THROW(d7.SavePaths());
    EXPECT_EQ(UserValue(library, "Search Path"), searchPath);

    machine.registry.SetRawValue(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages", "C:\\x.bpl",
                                 platform::IntegerValue(1));
    EXPECT_THROW(List(), platform::RegistryError);
}

TEST_F(CompileTargetTest, ValueOfTheWrongKindNamesKeyAndValue) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    machine.registry.SetRawValue(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Library",
                                 "Search Path", platform::IntegerValue(1));
    try {
        List();
        FAIL() << "no error";
    } catch (const platform::RegistryError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("Search Path"), std::string::npos) << message;
        EXPECT_NE(message.find("HKEY_CURRENT_USER\\SOFTWARE\\Borland\\Delphi\\7.0\\Library"),
                  std::string::npos)
            << message;
    }
}

TEST_F(CompileTargetTest, ExpandPathMacros) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    Seed(TypicalIde("BDS", "3.0", "C:\\BDS3"));
    machine.system.SetEnv("QVHOME", "E:\\Q");
    machine.system.SetEnv("SELF", "self");
    const auto list = List();
    const auto& d7 = list[0];
    EXPECT_EQ(d7.ExpandPathMacros("$(DELPHI)\\Lib"), "C:\\D7\\Lib");
    EXPECT_EQ(d7.ExpandPathMacros("$(bcb)\\x;$(BdS)\\y"), "C:\\D7\\x;C:\\D7\\y");
    EXPECT_EQ(d7.ExpandPathMacros("$(NOSUCHVAR)\\x"), "\\x");
    EXPECT_EQ(d7.ExpandPathMacros("$(NOSUCHVAR)$(NOSUCHVAR)x"), "x");
    EXPECT_EQ(d7.ExpandPathMacros("$(QVHOME)\\Lib"), "E:\\Q\\Lib");
    EXPECT_EQ(d7.ExpandPathMacros("$(BDSPROJECTSDIR)\\Bpl"), "\\Bpl");  // environment on Delphi
    machine.system.SetEnv("BDSPROJECTSDIR", "E:\\Projects");
    EXPECT_EQ(d7.ExpandPathMacros("$(BDSPROJECTSDIR)\\Bpl"), "E:\\Projects\\Bpl");
    EXPECT_EQ(d7.ExpandPathMacros("$(SELF)\\x"), "$(SELF)\\x");      // value equals the name
    EXPECT_EQ(d7.ExpandPathMacros("a\\$(DELPHI"), "a\\C:\\D7");      // runs to the end
    EXPECT_EQ(d7.ExpandPathMacros("$"), "$");
    EXPECT_EQ(d7.ExpandPathMacros(""), "");
    machine.system.SetEnv("LOOP", "$(DELPHI)");
    EXPECT_EQ(d7.ExpandPathMacros("$(LOOP)\\x"), "$(DELPHI)\\x");  // inserted text not rescanned

    const auto& bds = list[1];
    EXPECT_EQ(bds.ExpandPathMacros("$(BDSPROJECTSDIR)\\Bpl"), bds.ProjectsDir + "\\Bpl");
}

TEST_F(CompileTargetTest, InsertRootMacro) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    Seed(TypicalIde("C++Builder", "6.0", "C:\\CB6"));
    Seed(TypicalIde("BDS", "3.0", "C:\\BDS3"));
    const auto list = List();
    EXPECT_EQ(list[0].InsertRootMacro("c:\\d7\\Lib"), "$(DELPHI)\\Lib");
    EXPECT_EQ(list[0].InsertRootMacro("C:\\D7x\\Lib"), "C:\\D7x\\Lib");
    EXPECT_EQ(list[0].InsertRootMacro("C:\\D7"), "C:\\D7");
    EXPECT_EQ(list[1].InsertRootMacro("C:\\CB6\\Include"), "$(BCB)\\Include");
    EXPECT_EQ(list[2].InsertRootMacro("C:\\BDS3\\Lib"), "$(BDS)\\Lib");
}

TEST_F(CompileTargetTest, ProjectsFolderFollowsTheLocaleModule) {
    Seed(TypicalIde("BDS", "3.0", "C:\\BDS3"));
    machine.system.specialFolders[platform::SpecialFolder::Personal] = "C:\\Users\\Anna\\Documents\\";
    EXPECT_EQ(List()[0].ProjectsDir, "C:\\Users\\Anna\\Documents\\Borland Studio Projects");

    machine.system.localeAbbreviation = "DEU";
    machine.files.WriteFile("C:\\BDS3\\Bin\\coreide90.de", "");
    machine.system.resourceModules["C:\\BDS3\\Bin\\coreide90.de"] = {{64431, "Eigene Projekte"}};
    EXPECT_EQ(List()[0].ProjectsDir, "C:\\Users\\Anna\\Documents\\Eigene Projekte");

    machine.files.WriteFile("C:\\BDS3\\Bin\\coreide90.deu", "");  // not a loadable module
    EXPECT_EQ(List()[0].ProjectsDir, "C:\\Users\\Anna\\Documents\\");

    machine.system.specialFolders.erase(platform::SpecialFolder::Personal);
    EXPECT_EQ(List()[0].ProjectsDir, "");
}

TEST_F(CompileTargetTest, RunningIDEIsFoundByProgramAndModulePath) {
    Seed(TypicalIde("Delphi", "7.0", "C:\\D7"));
    Seed(TypicalIde("Delphi", "6.0", "C:\\D6"));
    const auto list = List();
    EXPECT_FALSE(list[0].IsIDERunning());
    const auto other = machine.system.StartProcess("C:\\Elsewhere\\Bin\\delphi32.exe");
    EXPECT_FALSE(list[0].IsIDERunning());
    EXPECT_FALSE(list[1].IsIDERunning());
    machine.system.StartProcess("c:\\d7\\BIN\\DELPHI32.EXE");
    EXPECT_FALSE(list[0].IsIDERunning());  // Delphi 6 is first: keys enumerate by name
    EXPECT_TRUE(list[1].IsIDERunning());
    machine.system.EndProcess(other);
    machine.system.processSnapshots = false;
    EXPECT_FALSE(list[1].IsIDERunning());
}

TEST_F(CompileTargetTest, SavePackageListsTouchesOnlyWhatChanged) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.knownPackages = {{"$(DELPHI)\\Bin\\keep.bpl", "Keep"},
                        {"C:\\Old\\QuorvexD7.bpl", "Old copy"},
                        {"C:\\Bpl\\Case.bpl", "Stored text"}};
    Seed(d7);
    const std::string known = "SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages";
    auto list = List();
    auto& target = list[0];
    target.ReloadLists();
    target.KnownPackages.Delete(target.KnownPackages.IndexOfName("QuorvexD7.bpl"));
    target.KnownPackages.AddPackage("C:\\BPL\\CASE.BPL", "Other text");
    target.KnownPackages.AddPackage("C:\\Bpl\\New.bpl", "");
    target.KnownIDEPackages.AddPackage("C:\\never.bpl", "");
    target.SavePackageLists();

    const auto key = machine.registry.OpenKey(Hive::User, known, KeyAccess::Read);
    EXPECT_EQ(key->ValueNames(),
              (std::vector<std::string>{"$(DELPHI)\\Bin\\keep.bpl", "C:\\Bpl\\Case.bpl", "C:\\Bpl\\New.bpl"}));
    EXPECT_EQ(key->ReadString("C:\\Bpl\\Case.bpl"), "Stored text");
    EXPECT_EQ(key->ReadString("C:\\Bpl\\New.bpl"), "New");
    EXPECT_EQ(UserValue(known, "$(DELPHI)\\Bin\\keep.bpl"), "Keep");
    const auto ideKey = machine.registry.OpenKey(
        Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Known IDE Packages", KeyAccess::Read);
    EXPECT_EQ(ideKey->ValueNames().size(), 1u);

    // A missing key is not created.
    machine.registry.DeleteKey(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0\\Disabled Packages");
    target.DisabledPackages.AddPackage("C:\\x.bpl", "");
    target.SavePackageLists();
    EXPECT_FALSE(machine.registry.KeyExists(Hive::User,
                                            "SOFTWARE\\Borland\\Delphi\\7.0\\Disabled Packages"));
}

TEST_F(CompileTargetTest, SavePathsRoundTripsLongListsWithoutLoss) {
    auto d7 = TypicalIde("Delphi", "7.0", "C:\\D7");
    std::string longPath;
    for (int i = 0; i < 200; ++i)
        longPath += (i ? ";" : "") + (i % 50 == 7 ? std::string() : "$(NOSUCH)\\\"Folder " + std::to_string(i) + "\"");
    d7.searchPath = longPath;
    d7.browsingPath = " a\\; b;;c ";
    Seed(d7);
    const std::string library = "SOFTWARE\\Borland\\Delphi\\7.0\\Library";
    auto list = List();
    list[0].ReloadLists();
    list[0].SavePaths();
    EXPECT_EQ(UserValue(library, "Search Path"), longPath);
    EXPECT_EQ(UserValue(library, "Browsing Path"), "a;b;;c ");
    EXPECT_GT(longPath.size(), 260u);

    list[0].SearchPaths.push_back("$(DELPHI)\\Quorvex");
    list[0].DebugDCUPaths.push_back("C:\\Debug");
    list[0].SavePaths();
    EXPECT_EQ(UserValue(library, "Search Path"), longPath + ";$(DELPHI)\\Quorvex");
    EXPECT_EQ(UserValue("SOFTWARE\\Borland\\Delphi\\7.0\\Debugging", "Debug DCUs Path"),
              "$(DELPHI)\\Lib\\Debug;C:\\Debug");
    EXPECT_EQ(UserValue(library, "Package Search Path"), "$(DELPHI)\\Projects\\Bpl");
}

}  // namespace
