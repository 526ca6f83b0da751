// IDE discovery on a real registry and file system: simulated installations are written into the
// test prefix (HKEY_LOCAL_MACHINE through its 32-bit view) and found again.
#include <windows.h>

#include <gtest/gtest.h>

#include "ide/compile_target.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_machine.h"
#include "system/file_utils.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using platform::Hive;
using platform::KeyAccess;
using seeding::TypicalIde;

const std::string Root = "C:\\QuorvexDiscoveryTest";

class IdeDiscoveryTest : public ::testing::Test {
protected:
    void SetUp() override { CleanUp(); }
    void TearDown() override { CleanUp(); }

    void CleanUp() {
        for (const char* product : {"Delphi", "C++Builder", "BDS"})
            registry.DeleteKey(Hive::LocalMachine, std::string("SOFTWARE\\Borland\\") + product);
        registry.DeleteKey(Hive::User, "SOFTWARE\\Borland");
        sys::DeleteTree(files, Root);
    }

    void Seed(seeding::SeededIde ide) { seeding::Seed(registry, files, ide); }

    ide::TCompileTargetList List(const std::vector<std::string>& args = {}) {
        cmdline::TCmdOptions options(files);
        options.Parse(args);
        return ide::TCompileTargetList(machine, options);
    }

    std::string OwnFolder() { return system.ProgramFolder(); }

    platform::win32::Win32Machine win32;
    platform::win32::Win32Registry& registry = win32.registry;
    platform::win32::Win32FileSystem& files = win32.files;
    platform::win32::Win32SystemInfo& system = win32.system;
    platform::Platform& machine = win32.platform;
};

std::vector<std::string> Names(const ide::TCompileTargetList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i].DisplayName());
    return names;
}

TEST_F(IdeDiscoveryTest, FindsEveryProductInOrder) {
    EXPECT_EQ(List().Count(), 0);
    for (const char* key : {"3.0", "2.0", "1.0"}) Seed(TypicalIde("BDS", key, Root + "\\BDS" + key));
    for (const char* key : {"6.0", "5.0"}) Seed(TypicalIde("C++Builder", key, Root + "\\CB" + key));
    for (const char* key : {"7.0", "6.0", "5.0"}) Seed(TypicalIde("Delphi", key, Root + "\\D" + key));
    auto machineOnly = TypicalIde("Delphi", "4.0", Root + "\\D4");
    machineOnly.userKey = false;
    Seed(machineOnly);
    auto noEdition = TypicalIde("BDS", "3.0", Root + "\\BDS3.0");
    noEdition.edition.reset();
    noEdition.registryName = "Win32Only";
    Seed(noEdition);

    EXPECT_EQ(Names(List()),
              (std::vector<std::string>{"Delphi 5.0 (Enterprise)", "Delphi 6.0 (Enterprise)",
                                        "Delphi 7.0 (Enterprise)", "C++Builder 5.0 (Enterprise)",
                                        "C++Builder 6.0 (Enterprise)", "Delphi 2005 (Enterprise)"}));
    EXPECT_EQ(Names(List({"--ignore-delphi", "-rBCB=Nothing"})), std::vector<std::string>{});

    // The user hive under another name; the machine key stays under BDS.
    registry.DeleteKey(Hive::LocalMachine, "SOFTWARE\\Borland\\BDS\\3.0");
    Seed(noEdition);
    const auto renamed = List({"--ignore-bcb", "-rBDS=Win32Only"});
    ASSERT_EQ(renamed.Count(), 4);
    EXPECT_EQ(renamed[3].DisplayName(), "Delphi 2005 (Pers)");
    EXPECT_EQ(renamed[3].UserKey, "\\SOFTWARE\\Borland\\Win32Only\\3.0");
    renamed[3].ReloadLists();
    EXPECT_EQ(renamed[3].SearchPaths.size(), 4u);
}

TEST_F(IdeDiscoveryTest, AKeyOnlyInThe64BitViewIsNotSeen) {
    platform::win32::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Delphi\\7.0", 0, nullptr, 0,
                              KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    registry.OpenKey(Hive::User, "SOFTWARE\\Borland\\Delphi\\7.0", KeyAccess::CreateWrite);
    EXPECT_EQ(List().Count(), 0);
    key.reset();
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Delphi\\7.0", KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Borland\\Delphi", KEY_WOW64_64KEY, 0);
}

TEST_F(IdeDiscoveryTest, GermanProjectsFolderFromTheResourceModule) {
    Seed(TypicalIde("BDS", "3.0", Root + "\\BDS3"));
    ASSERT_TRUE(CopyFileA((OwnFolder() + "\\projects_deu.dll").c_str(),
                          (Root + "\\BDS3\\Bin\\coreide90.deu").c_str(), FALSE));
    const LCID previous = GetThreadLocale();
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
    const auto list = List();
    SetThreadLocale(previous);
    ASSERT_EQ(list.Count(), 1);
    const std::string documents =
        system.GetSpecialFolder(platform::SpecialFolder::Personal).value_or("<none>");
    EXPECT_EQ(list[0].ProjectsDir, documents + "\\Eigene Projekte");
    EXPECT_EQ(List()[0].ProjectsDir, documents + "\\Borland Studio Projects");
}

TEST_F(IdeDiscoveryTest, RunningIDEIsSeenUntilItEnds) {
    Seed(TypicalIde("Delphi", "7.0", Root + "\\D7"));
    Seed(TypicalIde("Delphi", "6.0", Root + "\\D6"));
    const auto list = List();
    ASSERT_EQ(list.Count(), 2);
    const std::string app = list[1].IDEExecutable;
    ASSERT_TRUE(CopyFileA((OwnFolder() + "\\ide_stub.exe").c_str(), app.c_str(), FALSE));
    EXPECT_FALSE(list[1].IsIDERunning());

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + app + "\" 60";
    ASSERT_TRUE(CreateProcessA(app.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    const platform::win32::UniqueKernelHandle process(info.hProcess);
    const platform::win32::UniqueKernelHandle thread(info.hThread);
    // The new process lists its modules once it has loaded them.
    bool seen = false;
    for (int i = 0; i < 100 && !(seen = list[1].IsIDERunning()); ++i) Sleep(50);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(list[0].IsIDERunning());
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
    EXPECT_FALSE(list[1].IsIDERunning());
}

TEST_F(IdeDiscoveryTest, SavedListsLeaveForeignValuesAlone) {
    auto d7 = TypicalIde("Delphi", "7.0", Root + "\\D7");
    d7.knownPackages.push_back({"C:\\Other\\vendor.bpl", "Another vendor's package"});
    std::string longList;
    for (int i = 0; i < 120; ++i) longList += (i ? ";" : "") + std::string("$(UNSET") + std::to_string(i) + ")\\\"x y\"";
    d7.searchPath = longList;
    Seed(d7);
    auto list = List();
    auto& target = list[0];
    target.ReloadLists();
    EXPECT_EQ(target.SearchPaths.size(), 120u);
    target.KnownPackages.AddPackage(Root + "\\Bpl\\QuorvexD7.bpl", "Quorvex Components");
    target.SearchPaths.push_back("$(DELPHI)\\Quorvex");
    target.SavePackageLists();
    target.SavePaths();

    const auto again = List();
    again[0].ReloadLists();
    EXPECT_EQ(again[0].KnownPackages.Count(), 4);
    EXPECT_EQ(again[0].KnownPackages[again[0].KnownPackages.IndexOfName("vendor.bpl")].Description,
              "Another vendor's package");
    EXPECT_EQ(again[0].SearchPaths.size(), 121u);
    EXPECT_EQ(again[0].SearchPaths.front(), "$(UNSET0)\\\"x y\"");
}

}  // namespace
