// HKEY_LOCAL_MACHINE as a 32-bit IDE sees it: the backend reads and writes only the 32-bit view.

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "platform/tests/testing/scratch.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_registry.h"

namespace {

using platform::Hive;
using platform::win32::UniqueRegKey;

void CreateInView(const std::string& path, REGSAM view) {
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | view, nullptr, key.put(), nullptr),
              ERROR_SUCCESS)
        << path;
}

bool ExistsInView(const std::string& path, REGSAM view) {
    UniqueRegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, key.put()) ==
           ERROR_SUCCESS;
}

class RegistryView : public ::testing::Test {
protected:
    void TearDown() override {
        for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
            UniqueRegKey parent;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParent, 0, KEY_ALL_ACCESS | view, parent.put()) ==
                ERROR_SUCCESS)
                SHDeleteKeyA(parent.get(), leaf_.c_str());
        }
    }

    static constexpr const char* kParent = "Software\\QuorvexTests";
    platform::win32::Win32Registry registry_;
    const std::string leaf_ = testing_support::UniqueName("view");
    const std::string root_ = std::string(kParent) + "\\" + leaf_;
};

TEST_F(RegistryView, ReadsOnlyTheThirtyTwoBitView) {
    CreateInView(root_ + "\\Seen", KEY_WOW64_32KEY);
    CreateInView(root_ + "\\Hidden", KEY_WOW64_64KEY);
    EXPECT_TRUE(registry_.KeyExists(Hive::LocalMachine, root_ + "\\Seen"));
    EXPECT_FALSE(registry_.KeyExists(Hive::LocalMachine, root_ + "\\Hidden"));
    EXPECT_EQ(registry_.OpenKey(Hive::LocalMachine, root_ + "\\Hidden", platform::KeyAccess::Read),
              nullptr);
}

TEST_F(RegistryView, WritesAndDeletesInTheThirtyTwoBitView) {
    ASSERT_TRUE(registry_.OpenKey(Hive::LocalMachine, root_ + "\\Written",
                                  platform::KeyAccess::CreateWrite));
    EXPECT_TRUE(ExistsInView(root_ + "\\Written", KEY_WOW64_32KEY));
    EXPECT_FALSE(ExistsInView(root_ + "\\Written", KEY_WOW64_64KEY));

    CreateInView(root_ + "\\Other", KEY_WOW64_64KEY);
    EXPECT_TRUE(registry_.DeleteKey(Hive::LocalMachine, root_));
    EXPECT_FALSE(ExistsInView(root_, KEY_WOW64_32KEY));
    EXPECT_TRUE(ExistsInView(root_ + "\\Other", KEY_WOW64_64KEY));
}

}  // namespace
