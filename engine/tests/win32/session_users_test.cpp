// The lookups that decide whose IDEs setup changes, on a real Windows API. Under Wine the shell
// (when one runs) and setup run as the same user, so the decision changes nothing; the signed-in
// user's hive is still opened under HKEY_USERS through the same code, and what the test seeded
// through HKEY_CURRENT_USER is read back there.
#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>

#include "engine/user_hive.h"
#include "ide/compile_target.h"
#include "platform/win32/session_users.h"
#include "platform/win32/win32_machine.h"
#include "system/file_utils.h"
#include "system/text.h"
#include "tools/seed_ides/ide_seed.h"

namespace {

using platform::Hive;

const std::string Root = "C:\\QuorvexSessionTest";

TEST(SessionUsers, TheSameUserChangesNothing) {
    const auto users = platform::win32::FindSessionUsers();
    EXPECT_EQ(users.failure, "");
    ASSERT_TRUE(users.process);
    EXPECT_EQ(users.process->sid.rfind("S-1-5-", 0), 0u) << users.process->sid;
    EXPECT_FALSE(users.process->name.empty());
    if (users.desktop) {
        EXPECT_EQ(users.desktop->sid, users.process->sid);
    }
    std::cout << "setup runs as " << users.process->name << " (" << users.process->sid << "); "
              << (users.desktop ? "the shell as " + users.desktop->name : std::string("no shell runs")) << "\n";
    const auto choice = engine::ChooseUserHive(users);
    EXPECT_EQ(choice.sid, "");
    EXPECT_EQ(choice.line, "");
}

class SignedInUserHive : public ::testing::Test {
protected:
    void SetUp() override { CleanUp(); }
    void TearDown() override { CleanUp(); }
    void CleanUp() {
        own.registry.DeleteKey(Hive::LocalMachine, "SOFTWARE\\Borland\\Delphi");
        own.registry.DeleteKey(Hive::User, "SOFTWARE\\Borland\\Delphi");
        sys::DeleteTree(own.files, Root);
    }

    platform::win32::Win32Machine own;
};

TEST_F(SignedInUserHive, ReadsWhatWasSeededThroughHkeyUsers) {
    auto d7 = seeding::TypicalIde("Delphi", "7.0", Root + "\\D7");
    seeding::Seed(own.registry, own.files, d7);
    const auto users = platform::win32::FindSessionUsers();
    ASSERT_TRUE(users.process);

    platform::win32::Win32Machine signedIn(users.process->sid);
    cmdline::TCmdOptions options(signedIn.files);
    ide::TCompileTargetList targets(signedIn.platform, options);
    ASSERT_EQ(targets.Count(), 1);
    auto& target = targets[0];
    EXPECT_EQ(target.DisplayName(), "Delphi 7.0 (Enterprise)");
    target.ReloadLists();
    EXPECT_EQ(target.SearchPaths.size(), 4u);

    // A change through HKEY_USERS\<SID> is a change of this user's HKEY_CURRENT_USER.
    target.SearchPaths.push_back(Root + "\\Added");
    target.SavePaths();
    const auto library = own.registry.OpenKey(Hive::User, target.UserKey + "\\Library", platform::KeyAccess::Read);
    ASSERT_TRUE(library);
    EXPECT_NE(library->ReadString("Search Path").find(";" + Root + "\\Added"), std::string::npos);

    // The PATH as this user logs on: the machine's part with its variables expanded, then the
    // user's own, which holds the BPL folder the seeding put there.
    const std::string path = signedIn.platform.system.GetEnv("PATH").value_or("");
    EXPECT_EQ(path.find('%'), std::string::npos) << path;
    EXPECT_NE(sys::UpperAscii(path).find("\\SYSTEM32"), std::string::npos) << path;
    EXPECT_NE(path.find(seeding::ExpandedBplOutput(d7)), std::string::npos) << path;
    EXPECT_TRUE(signedIn.platform.system.GetSpecialFolder(platform::SpecialFolder::Personal).has_value());
}

TEST(SignedInUserHiveMissing, AHiveThatIsNotLoadedStopsStartUp) {
    const std::string sid = "S-1-5-21-1-2-3-4242";
    try {
        platform::win32::Win32Machine machine(sid);
        ADD_FAILURE() << "no RegistryError";
    } catch (const platform::RegistryError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot open key HKEY_USERS\\" + sid + ": ", 0), 0u) << error.what();
    }
}

}  // namespace
