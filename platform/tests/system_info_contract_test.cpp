#include <gtest/gtest.h>

#include <algorithm>

#include "platform/tests/testing/scratch.h"
#include "platform/tests/testing/system_info_backend.h"

namespace {

using platform::SpecialFolder;

bool IsAbsoluteFolder(const std::string& path) {
    return path.size() >= 3 && path[1] == ':' && path[2] == '\\' && path.back() != '\\';
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; });
    return text;
}

class SystemInfoContract : public ::testing::Test {
protected:
    std::unique_ptr<testing_support::SystemInfoBackend> backend =
        testing_support::MakeSystemInfoBackend();
    platform::SystemInfo& info = backend->Info();
};

TEST_F(SystemInfoContract, EnvironmentVariablesRoundTripAndIgnoreCase) {
    const std::string name = testing_support::UniqueName("QV_TEST_VAR");
    EXPECT_FALSE(info.GetEnv(name).has_value());
    info.SetEnv(name, "C:\\A B;\"C\"");
    EXPECT_EQ(info.GetEnv(name).value_or("<unset>"), "C:\\A B;\"C\"");
    EXPECT_EQ(info.GetEnv(Upper(name) == name ? name : Upper(name)).value_or("<unset>"),
              "C:\\A B;\"C\"");
    const std::string longValue(5000, 'v');
    info.SetEnv(name, longValue);
    EXPECT_EQ(info.GetEnv(name).value_or(""), longValue);
    info.SetEnv(name, "");
    EXPECT_EQ(info.GetEnv(name).value_or("<unset>"), "");
}

TEST_F(SystemInfoContract, FoldersAreAbsoluteWithoutTrailingDelimiter) {
    EXPECT_TRUE(IsAbsoluteFolder(info.ProgramFolder())) << info.ProgramFolder();
    EXPECT_TRUE(IsAbsoluteFolder(info.CurrentDirectory())) << info.CurrentDirectory();
    for (const auto folder :
         {SpecialFolder::ProgramFiles, SpecialFolder::ProgramFilesNative, SpecialFolder::Personal,
          SpecialFolder::OwnPersonal, SpecialFolder::Windows, SpecialFolder::System, SpecialFolder::UserProfile,
          SpecialFolder::Desktop, SpecialFolder::CommonFiles, SpecialFolder::CommonFilesNative,
          SpecialFolder::AppData, SpecialFolder::LocalAppData}) {
        const auto path = info.GetSpecialFolder(folder);
        ASSERT_TRUE(path.has_value());
        EXPECT_TRUE(IsAbsoluteFolder(*path)) << *path;
    }
    const std::string own = backend->OwnProgramPath();
    EXPECT_EQ(Upper(info.ProgramFolder()), Upper(own.substr(0, own.find_last_of('\\'))));
}

TEST_F(SystemInfoContract, LocaleAbbreviationHasThreeLetters) {
    const auto abbreviation = info.LocaleAbbreviation();
    ASSERT_TRUE(abbreviation.has_value());
    EXPECT_EQ(abbreviation->size(), 3u);
}

TEST_F(SystemInfoContract, OsVersionIsReported) {
    const auto version = info.GetOsVersion();
    EXPECT_NE(version.family, platform::OsVersion::Family::Other);
    EXPECT_GE(version.major, 4u);
}

TEST_F(SystemInfoContract, ResourceStringsOfADataOnlyModule) {
    const std::string module = backend->ResourceModulePath();
    EXPECT_EQ(info.LoadResourceString(module, 64431).value_or("<none>"), "Eigene Projekte");
    EXPECT_EQ(info.LoadResourceString(module, 100).value_or("<none>"), std::string(1023, 'x'));
    EXPECT_EQ(info.LoadResourceString(module, 4242).value_or("<none>"), "");
    EXPECT_FALSE(info.LoadResourceString(module + ".missing", 64431).has_value());
}

TEST_F(SystemInfoContract, TheRunningProgramIsListedWithItsModules) {
    const auto processes = info.RunningProcesses();
    ASSERT_TRUE(processes.has_value());
    const std::string own = backend->OwnProgramPath();
    const std::string ownName = own.substr(own.find_last_of('\\') + 1);
    const auto self = std::find_if(processes->begin(), processes->end(), [&](const auto& p) {
        return p.id == backend->OwnProcessId();
    });
    ASSERT_NE(self, processes->end());
    EXPECT_EQ(Upper(self->exeName), Upper(ownName));

    const auto modules = info.ProcessModules(self->id);
    EXPECT_TRUE(std::any_of(modules.begin(), modules.end(),
                            [&](const std::string& m) { return Upper(m) == Upper(own); }));
    EXPECT_GT(modules.size(), 1u);
}

}  // namespace
