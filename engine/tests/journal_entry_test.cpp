// A journal entry reads back as it was written, whatever bytes its values hold, and an entry that
// was cut short or damaged anywhere does not read at all.
#include <gtest/gtest.h>

#include "engine/journal_entry.h"

namespace {

using engine::journal::Entry;
using engine::journal::FormatEntry;
using engine::journal::FromHex;
using engine::journal::ParseEntry;
using engine::journal::ToHex;

std::string AllBytes() {
    std::string bytes;
    for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
    return bytes;
}

Entry Sample() {
    Entry entry{"value", {}};
    entry.Add("root", {"HKEY_CURRENT_USER"})
        .Add("key", {"SOFTWARE\\Borland\\Delphi\\7.0\\Known Packages"})
        .Add("name", {"C:\\Program Files\\D7\\Projects\\Bpl\\tkQuorvexDsgnD7.bpl"})
        .Add("old", {"1", ToHex(std::string("Quorvex Component\0", 18))});
    return entry;
}

bool SameEntry(const Entry& a, const Entry& b) {
    if (a.kind != b.kind || a.fields.size() != b.fields.size()) return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].name != b.fields[i].name || a.fields[i].values != b.fields[i].values) return false;
    return true;
}

TEST(JournalEntry, EveryByteOfEveryValueComesBack) {
    Entry entry{"odd kind %", {}};
    entry.Add("all", {AllBytes(), "", " ", "%", "\r\n", "a b"})
        .Add("none", {})
        .Add("empty", {""})
        .Add("name with blanks", {"x"});
    const auto read = ParseEntry(FormatEntry(entry));
    ASSERT_TRUE(read);
    EXPECT_TRUE(SameEntry(*read, entry));
    EXPECT_EQ(read->Find("none")->values.size(), 0u);
    EXPECT_EQ(read->Find("empty")->values, std::vector<std::string>{""});
    EXPECT_EQ(read->Text("all"), AllBytes());
    EXPECT_EQ(read->Text("missing"), "");
    EXPECT_EQ(read->Find("missing"), nullptr);
}

TEST(JournalEntry, TheTextIsReadableLinesClosedByTheirChecksum) {
    const std::string text = FormatEntry(Sample());
    EXPECT_EQ(text.substr(0, text.find("name ")),
              "Quorvex setup journal 1\r\nkind value\r\nroot HKEY_CURRENT_USER\r\n"
              "key SOFTWARE\\Borland\\Delphi\\7.0\\Known%20Packages\r\n");
    EXPECT_EQ(text.substr(text.rfind("check ")).size(), std::string("check 12345678\r\n").size());
}

TEST(JournalEntry, AnEntryCutShortAnywhereDoesNotRead) {
    const std::string text = FormatEntry(Sample());
    for (std::size_t length = 0; length < text.size(); ++length)
        EXPECT_FALSE(ParseEntry(text.substr(0, length))) << length;
    EXPECT_FALSE(ParseEntry(text + "x"));
    EXPECT_FALSE(ParseEntry(text + text));
    EXPECT_FALSE(ParseEntry(std::string(text.size(), '\0')));  // a file whose data never arrived
}

TEST(JournalEntry, AnyChangedByteIsFound) {
    const std::string text = FormatEntry(Sample());
    for (std::size_t at = 0; at < text.size(); ++at) {
        for (const unsigned char flip : {0x01, 0x20, 0x80}) {
            std::string damaged = text;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            EXPECT_FALSE(ParseEntry(damaged)) << at << " " << int(flip);
        }
    }
}

TEST(JournalEntry, AnotherFormatOrBadEscapesDoNotRead) {
    auto sealed = [](const std::string& body) {
        char check[32];
        std::snprintf(check, sizeof check, "check %08X\r\n", static_cast<unsigned>(engine::journal::Crc32(body)));
        return body + check;
    };
    EXPECT_TRUE(ParseEntry(sealed("Quorvex setup journal 1\r\nkind run\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 2\r\nkind run\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 1\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 1\r\nname x\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 1\r\nkind run\r\npath a%2\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 1\r\nkind run\r\npath a%G0\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 1\r\nkind run\r\npath a\tb\r\n")));
    EXPECT_FALSE(ParseEntry(sealed("Quorvex setup journal 1\nkind run\n")));
}

TEST(JournalEntry, HexRoundTripsAndRefusesWhatIsNotHex) {
    EXPECT_EQ(ToHex(std::string("\x00\x7F\xFF", 3)), "007FFF");
    EXPECT_EQ(FromHex(ToHex(AllBytes())), AllBytes());
    EXPECT_EQ(FromHex(""), std::string());
    EXPECT_FALSE(FromHex("0"));
    EXPECT_FALSE(FromHex("0g"));
    EXPECT_FALSE(FromHex("ab"));  // lower case is not what the journal writes
}

}  // namespace
