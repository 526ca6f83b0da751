// What every registry backend must do, run against the memory registry natively and against the
// machine's registry under Wine, in both hives.

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "platform/registry.h"
#include "platform/registry_data.h"
#include "platform/tests/testing/registry_backend.h"
#include "platform/tests/testing/scratch.h"

namespace {

using platform::Hive;
using platform::KeyAccess;
using platform::RegistryError;
using platform::RegistryKey;
using platform::RegistryValue;
using platform::RegistryValueKind;
using Names = std::vector<std::string>;

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RegistryError& error) {
        return error.what();
    }
    return "(no RegistryError)";
}

// A root the installer reaches: HKEY_LOCAL_MACHINE, or the user's hive as HKEY_CURRENT_USER or
// as a signed-in user's HKEY_USERS\<SID>.
struct Root {
    Hive hive;
    bool otherUser;
};

class RegistryContract : public ::testing::TestWithParam<Root> {
protected:
    void TearDown() override {
        for (const Hive h : {Hive::LocalMachine, Hive::User}) registry().DeleteKey(h, root_);
    }

    Hive hive() const { return GetParam().hive; }
    platform::Registry& registry() { return backend_->Registry(); }
    std::string Path(const std::string& subkey) const { return root_ + "\\" + subkey; }
    std::string Display(const std::string& subkey) const {
        return platform::HiveName(hive(), userSid_) + "\\" + Path(subkey);
    }

    std::unique_ptr<RegistryKey> Open(const std::string& subkey, KeyAccess access) {
        return registry().OpenKey(hive(), Path(subkey), access);
    }
    std::unique_ptr<RegistryKey> Create(const std::string& subkey) {
        return Open(subkey, KeyAccess::CreateWrite);
    }
    void Plant(const std::string& subkey, const std::string& name, RegistryValueKind kind,
               const std::string& bytes) {
        backend_->SetRawValue(hive(), Path(subkey), name, RegistryValue{kind, bytes});
    }

    const std::string userSid_ = GetParam().otherUser ? testing_support::LoadedUserSid() : std::string();
    std::unique_ptr<testing_support::RegistryBackend> backend_ = testing_support::MakeRegistryBackend(userSid_);
    const std::string root_ = "Software\\QuorvexTests\\" + testing_support::UniqueName("registry");
};

TEST_P(RegistryContract, StringsRoundTripWhateverTheirLengthAndCharacters) {
    const Names texts = {"",
                         "say \"hi\"",
                         "C:\\A;C:\\B;$(DELPHI)\\Lib;",
                         "C:\\Programme\\M\xFC" "ller \xE9t\xE9",
                         std::string(300, 'p'),
                         std::string(5000, 'q') + "end"};
    auto writer = Create("Strings");
    for (std::size_t i = 0; i < texts.size(); ++i)
        writer->WriteString(std::to_string(i), texts[i]);

    const auto reader = Open("Strings", KeyAccess::Read);
    ASSERT_TRUE(reader);
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(reader->ReadString(std::to_string(i)), texts[i]) << "value " << i;
    EXPECT_TRUE(reader->ValueExists("0"));  // an empty string is still a value
}

TEST_P(RegistryContract, IntegersRoundTripTheFullRange) {
    auto key = Create("Integers");
    for (const std::int32_t n : {0, 1, -1, INT32_MIN, INT32_MAX}) {
        key->WriteInteger("n", n);
        EXPECT_EQ(Open("Integers", KeyAccess::Read)->ReadInteger("n"), n);
    }
}

TEST_P(RegistryContract, WritesStoreTheRegistrysStringAndIntegerKinds) {
    auto key = Create("Kinds");
    key->WriteString("s", "ab");
    key->WriteInteger("i", -2);
    const auto s = backend_->GetRawValue(hive(), Path("Kinds"), "s");
    const auto i = backend_->GetRawValue(hive(), Path("Kinds"), "i");
    ASSERT_TRUE(s && i);
    EXPECT_EQ(s->kind, RegistryValueKind::String);
    EXPECT_EQ(s->bytes, std::string("ab\0", 3));
    EXPECT_EQ(i->kind, RegistryValueKind::Integer);
    EXPECT_EQ(i->bytes, "\xFE\xFF\xFF\xFF");
}

TEST_P(RegistryContract, MissingValuesAndKeysAreNotErrors) {
    auto key = Create("Empty");
    EXPECT_EQ(key->ReadString("none"), "");
    EXPECT_EQ(key->ReadInteger("none"), std::nullopt);
    EXPECT_FALSE(key->ValueExists("none"));
    EXPECT_FALSE(key->DeleteValue("none"));
    EXPECT_TRUE(key->ValueNames().empty());
    EXPECT_TRUE(key->SubkeyNames().empty());

    EXPECT_EQ(Open("Missing", KeyAccess::Read), nullptr);
    EXPECT_EQ(Open("Missing", KeyAccess::Write), nullptr);
    EXPECT_FALSE(registry().KeyExists(hive(), Path("Missing")));  // Write does not create
    EXPECT_FALSE(registry().DeleteKey(hive(), Path("Missing")));
    EXPECT_EQ(backend_->GetRawValue(hive(), Path("Missing"), "none"), std::nullopt);
}

TEST_P(RegistryContract, ValueOfAnotherKindRaisesAnErrorNamingValueAndKey) {
    auto key = Create("Library");
    key->WriteString("Search Path", "C:\\Lib");
    key->WriteInteger("Installed", 1);
    EXPECT_EQ(ErrorOf([&] { key->ReadInteger("Search Path"); }),
              "Invalid data type for value \"Search Path\" of key " + Display("Library"));
    EXPECT_EQ(ErrorOf([&] { key->ReadString("Installed"); }),
              "Invalid data type for value \"Installed\" of key " + Display("Library"));

    Plant("Library", "binary", RegistryValueKind::Binary, "\x01\x02");
    Plant("Library", "list", RegistryValueKind::MultiString, std::string("a\0b\0\0", 5));
    Plant("Library", "short", RegistryValueKind::Integer, "\x01\x02");
    EXPECT_THROW(key->ReadString("binary"), RegistryError);
    EXPECT_THROW(key->ReadInteger("binary"), RegistryError);
    EXPECT_THROW(key->ReadString("list"), RegistryError);
    EXPECT_THROW(key->ReadInteger("short"), RegistryError);
    EXPECT_TRUE(key->ValueExists("binary"));
}

// A value of any kind comes back with its kind and every byte, so that it can be put back as it
// was: strings with several zeros, lists, binary data, odd integer sizes, kinds the registry does
// not name. (A string kind without its closing zero gets one from the system's ANSI functions.)
TEST_P(RegistryContract, ValuesOfAnyKindAreReadAndWrittenWithKindAndBytes) {
    const std::vector<RegistryValue> values = {
        {RegistryValueKind::String, std::string("abc\0\0junk\0", 10)},
        {RegistryValueKind::String, std::string("closed\0", 7)},
        {RegistryValueKind::String, ""},
        {RegistryValueKind::ExpandString, std::string("%ROOT%\\Bin\0", 11)},
        {RegistryValueKind::MultiString, std::string("a\0b\0\0", 5)},
        {RegistryValueKind::Binary, std::string("\x00\xFF\x01", 3)},
        {RegistryValueKind::Binary, ""},
        {RegistryValueKind::Integer, "\x01\x02"},
        {static_cast<RegistryValueKind>(11), std::string(8, '\x7F')},
    };
    auto key = Create("AnyKind");
    for (std::size_t i = 0; i < values.size(); ++i) key->WriteValue(std::to_string(i), values[i]);
    const auto reader = Open("AnyKind", KeyAccess::Read);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto raw = backend_->GetRawValue(hive(), Path("AnyKind"), std::to_string(i));
        const auto read = reader->ReadValue(std::to_string(i));
        ASSERT_TRUE(raw && read) << i;
        EXPECT_EQ(raw->kind, values[i].kind) << i;
        EXPECT_EQ(raw->bytes, values[i].bytes) << i;
        EXPECT_EQ(read->kind, values[i].kind) << i;
        EXPECT_EQ(read->bytes, values[i].bytes) << i;
    }
    EXPECT_EQ(reader->ReadValue("none"), std::nullopt);
    key->WriteString("s", "text");
    EXPECT_EQ(reader->ReadValue("s")->bytes, std::string("text\0", 5));
    EXPECT_THROW(reader->WriteValue("s", values[0]), RegistryError);
}

TEST_P(RegistryContract, StringKindsReadUpToTheirFirstZero) {
    Plant("Raw", "expand", RegistryValueKind::ExpandString, std::string("%ROOT%\\Bin\0", 11));
    Plant("Raw", "unterminated", RegistryValueKind::String, "abc");
    Plant("Raw", "padded", RegistryValueKind::String, std::string("abc\0\0junk", 9));
    const auto key = Open("Raw", KeyAccess::Read);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ReadString("expand"), "%ROOT%\\Bin");  // not expanded
    EXPECT_EQ(key->ReadString("unterminated"), "abc");
    EXPECT_EQ(key->ReadString("padded"), "abc");
}

TEST_P(RegistryContract, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    Create("Library")->WriteString("Search Path", "one");
    auto upper = Open("LIBRARY", KeyAccess::Write);
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->ReadString("SEARCH PATH"), "one");
    upper->WriteString("search path", "two");
    EXPECT_EQ(upper->ReadString("Search Path"), "two");
    EXPECT_EQ(upper->ValueNames(), Names{"Search Path"});

    Create("library");
    EXPECT_EQ(registry().OpenKey(hive(), root_, KeyAccess::Read)->SubkeyNames(), Names{"Library"});
    // Stray backslashes address the same key.
    EXPECT_TRUE(registry().KeyExists(hive(), "\\" + root_ + "\\\\library\\"));
}

TEST_P(RegistryContract, SubkeysAndValuesAreListedInNameOrder) {
    const Names created = {"b", "A", "_x", "a1", "Zeta", "~t", "1"};
    auto key = Create("Order");
    for (const auto& name : created) {
        Create("Order\\" + name);
        key->WriteString(name, name);
    }
    const Names sorted = {"1", "_x", "A", "a1", "b", "Zeta", "~t"};
    EXPECT_EQ(key->SubkeyNames(), sorted);
    EXPECT_EQ(key->ValueNames(), sorted);

    ASSERT_TRUE(key->DeleteValue("a"));
    key->WriteString("new", "");
    EXPECT_EQ(key->ValueNames(), (Names{"1", "_x", "a1", "b", "new", "Zeta", "~t"}));
}

TEST_P(RegistryContract, StringValuesComeWithTheirTextsInNameOrder) {
    auto key = Create("Packages");
    EXPECT_TRUE(key->StringValues().empty());
    const std::string longText(3000, 'd');
    key->WriteString("$(DELPHI)\\Bin\\b.bpl", "Second");
    key->WriteString("C:\\A.bpl", longText);
    key->WriteString("empty", "");
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(key->StringValues(), (Pairs{{"$(DELPHI)\\Bin\\b.bpl", "Second"}, {"C:\\A.bpl", longText}, {"empty", ""}}));

    key->WriteInteger("count", 3);
    try {
        key->StringValues();
        ADD_FAILURE() << "an integer value was read as text";
    } catch (const RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("\"count\""), std::string::npos) << error.what();
    }
}

TEST_P(RegistryContract, CreateWriteMakesMissingParents) {
    Create("a\\b\\c")->WriteInteger("depth", 3);
    EXPECT_TRUE(registry().KeyExists(hive(), Path("a")));
    EXPECT_EQ(Open("a", KeyAccess::Read)->SubkeyNames(), Names{"b"});
    EXPECT_EQ(Open("a\\b\\c", KeyAccess::Read)->ReadInteger("depth"), 3);
}

TEST_P(RegistryContract, DeleteKeyTakesTheWholeTreeAndNothingElse) {
    Create("Tree\\x\\y")->WriteString("deep", "1");
    Create("Tree")->WriteString("top", "1");
    Create("Sibling")->WriteString("kept", "yes");

    EXPECT_TRUE(registry().DeleteKey(hive(), Path("TREE")));
    EXPECT_FALSE(registry().KeyExists(hive(), Path("Tree")));
    EXPECT_FALSE(registry().KeyExists(hive(), Path("Tree\\x\\y")));
    EXPECT_EQ(Open("Sibling", KeyAccess::Read)->ReadString("kept"), "yes");
    EXPECT_FALSE(registry().DeleteKey(hive(), Path("Tree")));

    // A path that names no key below the hive never deletes the hive's contents.
    EXPECT_FALSE(registry().DeleteKey(hive(), ""));
    EXPECT_FALSE(registry().DeleteKey(hive(), "\\\\"));
    EXPECT_TRUE(registry().KeyExists(hive(), Path("Sibling")));
}

TEST_P(RegistryContract, KeyObjectOutlivingItsKeyFailsWithoutReviving) {
    auto key = Create("Gone\\Child");
    key->WriteString("v", "1");
    ASSERT_TRUE(registry().DeleteKey(hive(), Path("Gone")));

    EXPECT_THROW(key->ReadString("v"), RegistryError);
    EXPECT_THROW(key->WriteString("v", "2"), RegistryError);
    EXPECT_THROW(key->ValueNames(), RegistryError);
    EXPECT_FALSE(key->DeleteValue("v"));
    EXPECT_FALSE(registry().KeyExists(hive(), Path("Gone")));
}

TEST_P(RegistryContract, ReadAccessRefusesWrites) {
    Create("Locked")->WriteString("v", "before");
    auto key = Open("Locked", KeyAccess::Read);
    ASSERT_TRUE(key);
    const std::string error = ErrorOf([&] { key->WriteString("v", "after"); });
    EXPECT_EQ(error.rfind("Cannot write value \"v\" of key " + Display("Locked") + ": ", 0), 0u)
        << error;
    EXPECT_THROW(key->WriteInteger("n", 1), RegistryError);
    EXPECT_FALSE(key->DeleteValue("v"));
    EXPECT_EQ(key->ReadString("v"), "before");
    EXPECT_FALSE(key->ValueExists("n"));
}

TEST_P(RegistryContract, HivesAreSeparate) {
    const Hive other = hive() == Hive::LocalMachine ? Hive::User : Hive::LocalMachine;
    Create("Here")->WriteString("v", "1");
    EXPECT_FALSE(registry().KeyExists(other, Path("Here")));
    EXPECT_FALSE(registry().DeleteKey(other, Path("Here")));
    EXPECT_TRUE(registry().KeyExists(hive(), Path("Here")));
}

INSTANTIATE_TEST_SUITE_P(Hives, RegistryContract,
                         ::testing::Values(Root{Hive::LocalMachine, false}, Root{Hive::User, false},
                                           Root{Hive::User, true}),
                         [](const ::testing::TestParamInfo<Root>& tested) {
                             return tested.param.hive == Hive::LocalMachine ? "LocalMachine"
                                    : tested.param.otherUser                ? "SignedInUser"
                                                                            : "CurrentUser";
                         });

}  // namespace
