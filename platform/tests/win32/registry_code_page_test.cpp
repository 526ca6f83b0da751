// The registry read through the ANSI functions when the ANSI code page is UTF-8: a text then takes
// more bytes than the registry stores for it (three for a character stored in two), so sizes that
// the key reports fall short. ctest runs this program in a Unicode-only locale for that.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/tests/testing/scratch.h"
#include "platform/win32/win32_registry.h"

namespace {

using platform::Hive;
using platform::KeyAccess;
using Pairs = std::vector<std::pair<std::string, std::string>>;

// U+65E5: two bytes as stored, three in UTF-8.
std::string Wide(std::size_t characters) {
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) text += "\xE6\x97\xA5";
    return text;
}

class RegistryInUtf8CodePage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "run with LC_ALL=hi_IN.UTF-8"; }
    void TearDown() override { registry_.DeleteKey(Hive::User, root_); }

    std::unique_ptr<platform::RegistryKey> Create(const std::string& subkey) {
        return registry_.OpenKey(Hive::User, root_ + "\\" + subkey, KeyAccess::CreateWrite);
    }

    platform::win32::Win32Registry registry_;
    const std::string root_ = "Software\\QuorvexTests\\" + testing_support::UniqueName("codepage");
};

TEST_F(RegistryInUtf8CodePage, StringValuesLongerAsAnsiThanTheKeysLongestData) {
    auto key = Create("Packages");
    key->WriteString("C:\\a.bpl", "ascii");
    key->WriteString("C:\\b.bpl", Wide(40));  // the key's longest data, and longer still as ANSI
    key->WriteString("C:\\c.bpl", "after");
    EXPECT_EQ(key->StringValues(), (Pairs{{"C:\\a.bpl", "ascii"}, {"C:\\b.bpl", Wide(40)}, {"C:\\c.bpl", "after"}}));
}

TEST_F(RegistryInUtf8CodePage, LongNamesAreListed) {
    const std::string keyName = Wide(200);  // the whole path stays within the system's 260
    const std::string valueName = Wide(16383);
    auto key = Create("Names");
    ASSERT_TRUE(Create("Names\\" + keyName));
    key->WriteString(valueName, "x");
    EXPECT_EQ(key->SubkeyNames(), std::vector<std::string>{keyName});
    EXPECT_EQ(key->ValueNames(), std::vector<std::string>{valueName});
    EXPECT_EQ(key->StringValues(), (Pairs{{valueName, "x"}}));
}

}  // namespace
