// An administrator runs setup for a developer who is signed in: only the developer's IDE settings
// change, and every run says so in its first line.

#include "engine/folder_safety.h"
#include "engine/tests/testing/engine_machine.h"
#include "engine/user_hive.h"
#include "platform/signed_in_user.h"

namespace enginetest {
namespace {

using platform::Account;
using platform::SessionUsers;

const Account Developer{"S-1-5-21-1004336348-1177238915-682003330-1003", "OFFICE\\dev"};
const Account Admin{"S-1-5-21-1004336348-1177238915-682003330-500", "OFFICE\\Administrator"};
const std::string UsersLine =
    "IDE settings are changed for OFFICE\\dev, who is signed in, not for OFFICE\\Administrator, who runs this "
    "installer.";
const std::string DevProfile = "C:\\Documents and Settings\\dev";

TEST(ChooseUserHive, TheDesktopsUserWinsAndEveryDoubtIsSaid) {
    EXPECT_EQ(engine::ChooseUserHive({Developer, Admin, ""}).sid, Developer.sid);
    EXPECT_EQ(engine::ChooseUserHive({Developer, Admin, ""}).line, UsersLine);
    for (const SessionUsers& quiet : {SessionUsers{Admin, Admin, ""}, SessionUsers{std::nullopt, Admin, ""}}) {
        EXPECT_EQ(engine::ChooseUserHive(quiet).sid, "");
        EXPECT_EQ(engine::ChooseUserHive(quiet).line, "");
    }
    // A shell whose user cannot be found: the installer's own hive, and the line says why.
    const auto unknown =
        engine::ChooseUserHive({std::nullopt, Admin, "Cannot open the token of explorer.exe: Access is denied."});
    EXPECT_EQ(unknown.sid, "");
    EXPECT_EQ(unknown.line, "IDE settings are changed for OFFICE\\Administrator. Whether another user is signed in "
                            "could not be found out: Cannot open the token of explorer.exe: Access is denied.");
    EXPECT_EQ(engine::ChooseUserHive({Developer, std::nullopt, "no token"}).sid, "");
}

class TwoUsersTest : public CompilerTest {
protected:
    TwoUsersTest() {
        // The administrator once set up a Delphi 7 of their own; setup's PATH is theirs.
        Seed(seeding::TypicalIde("Delphi", "7.0", "C:\\D7"));
        machine.system.SetEnv("PATH", "C:\\WINDOWS\\system32;C:\\AdminTools");
        machine.system.SetEnv("SystemRoot", "C:\\WINDOWS");
        machine.system.SetEnv("USERPROFILE", "C:\\Documents and Settings\\Administrator");
        adminHive = machine.registry.ExportUserHive("");

        machine.registry.UseUserHive(Developer.sid);
        SeedTypical();
        const auto text = [](const std::string& value) {
            return platform::RegistryValue{platform::RegistryValueKind::ExpandString, value + '\0'};
        };
        auto& registry = machine.registry;
        registry.SetRawValue(Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                             "Path", text("%SystemRoot%\\system32;%SystemRoot%"));
        registry.SetRawValue(Hive::User, "Volatile Environment", "USERPROFILE", platform::StringValue(DevProfile));
        registry.SetRawValue(Hive::User, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                             "Personal", text("%USERPROFILE%\\My Documents"));
        const auto environment = machine.registry.OpenKey(Hive::User, "Environment", KeyAccess::Write);
        environment->WriteString("PATH", environment->ReadString("PATH") + ";%USERPROFILE%\\Tools");
        platformInUse = &developerPlatform;
    }
    // The engine writes its log on going, through the developer's platform: it goes first.
    ~TwoUsersTest() override {
        compiler.reset();
        data.reset();
    }

    TInstallData& StartAsAdmin() {
        Start().UserHiveLine = engine::ChooseUserHive({Developer, Admin, ""}).line;
        return *data;
    }

    void ExpectAdminUntouched() { EXPECT_EQ(machine.registry.ExportUserHive(""), adminHive); }

    platform::SignedInUserSystem developerSystem{machine.system, machine.registry};
    platform::Platform developerPlatform{machine.registry, machine.files, machine.processes, developerSystem};
    std::string adminHive;
};

TEST_F(TwoUsersTest, EveryRunChangesOnlyTheSignedInUsersSettings) {
    const std::string known7 = User7 + "\\Known Packages";
    StartAsAdmin();
    for (int i = 0; i < data->TargetOptions->Count(); ++i) Target(i).Action = engine::taInstall;
    ASSERT_TRUE(Engine().Install());
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[0], UsersLine);
    EXPECT_EQ(messages[2], "Windows XP Service Pack 2 (5.1.2600)");
    EXPECT_EQ(Value(Hive::User, known7, Bpl7 + "\\tkQuorvexDsgnD7.bpl"), "Quorvex Component");
    EXPECT_EQ(Value(Hive::LocalMachine, Product, "InstalledVersion"), "2.4.1.17 Standard Edition");
    ExpectAdminUntouched();

    machine.files.WriteFile("C:\\Dist\\version", "2.4.1.18");
    ASSERT_EQ(StartAsAdmin().State, engine::isUpdate);
    for (int i = 0; i < data->TargetOptions->Count(); ++i) Target(i).Action = engine::taInstall;
    ASSERT_TRUE(Engine().Install());
    EXPECT_EQ(messages.front(), UsersLine);
    EXPECT_EQ(Values(Hive::User, known7).size(), IdePackages7.size() + 1);
    ExpectAdminUntouched();

    ASSERT_EQ(StartAsAdmin().State, engine::isMaintenance);
    Target(0).Action = engine::taUninstall;
    ASSERT_TRUE(Engine().Install());
    EXPECT_EQ(messages.front(), UsersLine);
    EXPECT_EQ(Values(Hive::User, known7), IdePackages7);
    ExpectAdminUntouched();

    StartAsAdmin().State = engine::isUninstall;
    ASSERT_TRUE(Engine().Uninstall());
    EXPECT_EQ(messages.front(), UsersLine);
    EXPECT_EQ(compiler->Log.front(), UsersLine);
    EXPECT_EQ(Values(Hive::User, "SOFTWARE\\Borland\\C++Builder\\6.0\\Known Packages").size(), 2u);
    EXPECT_FALSE(machine.registry.KeyExists(Hive::LocalMachine, Product));
    ExpectAdminUntouched();
}

TEST_F(TwoUsersTest, TheSignedInUsersPathAndDocumentsAreUsed) {
    for (const char* folder : {"C:\\WINDOWS", "C:\\AdminTools", DevProfile.c_str()})
        WriteFile(std::string(folder) + (folder == DevProfile.c_str() ? "\\Tools" : "") + "\\tkQuorvexD7.bpl");
    StartAsAdmin();
    EXPECT_EQ(Target(2).Target.ProjectsDir, DevProfile + "\\My Documents\\Borland Studio Projects");
    // Neither user's documents may become an installation folder that an uninstall deletes.
    const auto guarded = engine::ProtectedFolders(developerSystem);
    const auto own = machine.system.GetSpecialFolder(platform::SpecialFolder::OwnPersonal).value_or("<none>");
    for (const auto& documents : {DevProfile + "\\My Documents", own})
        EXPECT_TRUE(engine::RemovalRefusal(documents, guarded, machine.files)) << documents;
    for (int i = 0; i < data->TargetOptions->Count(); ++i) Target(i).Action = engine::taInstall;
    ASSERT_TRUE(Engine().Install());
    // Stale copies go from the developer's PATH (the machine's part and their own), not from the
    // administrator's, which the developer's IDE never searches.
    EXPECT_FALSE(Exists("C:\\WINDOWS\\tkQuorvexD7.bpl"));
    EXPECT_FALSE(Exists(DevProfile + "\\Tools\\tkQuorvexD7.bpl"));
    EXPECT_TRUE(Exists("C:\\AdminTools\\tkQuorvexD7.bpl"));
    // Every BPL folder is on the developer's PATH: the load check finds each package's imports.
    for (const auto& line : messages) EXPECT_EQ(line.find("Warning"), std::string::npos) << line;
}

}  // namespace
}  // namespace enginetest
