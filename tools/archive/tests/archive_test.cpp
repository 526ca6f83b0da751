#include "tools/archive/archive.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/archive/extract_command.h"

namespace {

using archive::ArchiveError;
using archive::Entry;

std::vector<Entry> SampleEntries() {
    std::string allBytes;
    for (int c = 0; c < 256; ++c) allBytes.push_back(static_cast<char>(c));
    return {{"Packages\\tkQuorvexD7.dpk", "package tkQuorvexD7;\r\n"},
            {"Sources\\Empty.pas", ""},
            {"Delphi7\\tkQuorvexD7.bpl", allBytes + allBytes}};
}

TEST(Crc32, MatchesTheStandardCheckValueAndContinues) {
    EXPECT_EQ(archive::Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(archive::Crc32("6789", archive::Crc32("12345")), 0xCBF43926u);
    EXPECT_EQ(archive::Crc32(""), 0u);
}

TEST(Archive, RoundTripKeepsPathsBytesAndOrder) {
    const auto entries = SampleEntries();
    EXPECT_EQ(archive::Unpack(archive::Pack(entries)), entries);
    EXPECT_TRUE(archive::Unpack(archive::Pack({})).empty());
}

TEST(Archive, ForwardSlashesAreStoredAsBackslashes) {
    const auto unpacked = archive::Unpack(archive::Pack({{"CBuilder6/Sub/a.lib", "x"}}));
    ASSERT_EQ(unpacked.size(), 1u);
    EXPECT_EQ(unpacked[0].path, "CBuilder6\\Sub\\a.lib");
}

TEST(Archive, EveryDamagedByteIsDetected) {
    const std::string packed = archive::Pack(SampleEntries());
    for (std::size_t at = 0; at < packed.size(); ++at) {
        std::string damaged = packed;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x55);
        EXPECT_THROW(archive::Unpack(damaged), ArchiveError) << "byte " << at;
    }
}

TEST(Archive, TruncatedOrExtendedArchivesAreRefused) {
    const std::string packed = archive::Pack(SampleEntries());
    for (std::size_t size = 0; size < packed.size(); ++size)
        EXPECT_THROW(archive::Unpack(packed.substr(0, size)), ArchiveError) << "size " << size;
    EXPECT_THROW(archive::Unpack(packed + '\0'), ArchiveError);
}

TEST(Archive, ErrorsSayWhatIsWrong) {
    const std::string packed = archive::Pack(SampleEntries());
    auto messageOf = [](const std::string& bytes) {
        try {
            archive::Unpack(bytes);
        } catch (const ArchiveError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(messageOf("PK\3\4 something else entirely"), "not an archive of this kind");
    EXPECT_EQ(messageOf(packed.substr(0, packed.size() - 1)), "archive is truncated");
    std::string lastByteDamaged = packed;
    lastByteDamaged.back() ^= 1;
    EXPECT_EQ(messageOf(lastByteDamaged), "entry 'Delphi7\\tkQuorvexD7.bpl' is damaged");
}

TEST(EntryPath, RelativePathsBelowTheDestinationAreSafe) {
    for (const char* path : {"Packages\\bcb.bmk", "a/b/c.txt", "...x", "x..y", "com10.txt",
                             "CONSOLE.pas", "Name With Blanks\\f"})
        EXPECT_TRUE(archive::IsSafeEntryPath(path)) << path;
}

TEST(EntryPath, PathsLeavingTheDestinationOrUnusableOnWindowsAreRefused) {
    for (const char* path :
         {"", "..\\evil.exe", "a\\..\\..\\evil.exe", "../evil", "\\Windows\\evil.exe", "/etc/passwd",
          "C:\\evil.exe", "C:evil.exe", "\\\\server\\share\\f", "a\\b:stream", ".\\a", "a\\\\b", "a\\",
          "a\\.. \\b", "dir.\\f", "NUL", "con.txt", "a\\LPT1", "a?b", "a\"b", "a|b", "tab\there"})
        EXPECT_FALSE(archive::IsSafeEntryPath(path)) << path;
}

TEST(EntryPath, DeviceNamesAreRefusedInEverySpelling) {
    // Fuzzing found CONOUT$ accepted (fuzz/corpus/archive_index/found_conout.arc); Windows also
    // drops the blanks before an extension and knows port 0 and the superscript digits.
    for (const char* path : {"CONOUT$", "a\\conin$.txt", "CON .txt", "Aux  .pas.bak", "prn", "nul.tar.gz",
                             "com0", "LPT0.log", "COM\xB9", "a/lpt\xB2.txt", "Com\xB3 .x", "lpt9"})
        EXPECT_FALSE(archive::IsSafeEntryPath(path)) << path;
    for (const char* path : {"CONOUT", "CONIN$x", "COM", "LPTX.txt", "COM\xB4", "a CON.txt", "NUL_", "LPT10"})
        EXPECT_TRUE(archive::IsSafeEntryPath(path)) << path;
}

TEST(EntryPath, PackRefusesUnsafePaths) {
    EXPECT_THROW(archive::Pack({{"..\\evil.exe", "x"}}), ArchiveError);
}

TEST(EntryPath, UnpackRefusesAnArchiveWithAnUnsafePathEvenWhenItsCrcsAreRight) {
    // Pack a harmless name of the same length, then spell the escape into it and reseal the index.
    std::string bytes = archive::Pack({{"xx\\evil.exe", "MZ"}});
    const std::size_t pathAt = bytes.find("xx\\evil.exe");
    bytes.replace(pathAt, 2, "..");
    const std::size_t indexAt = 8 + 12;
    const std::size_t indexSize = 2 + 11 + 8 + 4;
    const std::uint32_t crc = archive::Crc32(bytes.substr(indexAt, indexSize), archive::Crc32(bytes.substr(8, 8)));
    for (int i = 0; i < 4; ++i) bytes[16 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    try {
        archive::Unpack(bytes);
        FAIL() << "unsafe archive accepted";
    } catch (const ArchiveError& error) {
        EXPECT_STREQ(error.what(), "unsafe entry path '..\\evil.exe'");
    }
}

constexpr const char* kEngineLine = "unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"C:\\Program Files\\Quorvex\\\"";

TEST(ExtractCommand, TheInstallersLineGivesItsDestination) {
    EXPECT_EQ(archive::ExtractDestination(kEngineLine), "C:\\Program Files\\Quorvex\\");
    EXPECT_EQ(archive::ExtractDestination(
                  "\"C:\\dist dir\\unrar.exe\" x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"\\\\srv\\share\\Q\\\""),
              "\\\\srv\\share\\Q\\");
}

TEST(ExtractCommand, AnyOtherLineIsRefused) {
    const std::string prefix = "unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* ";
    for (const std::string& line : {
             std::string("unrar.exe x -c- -cfg- -dh -idp -o+ -r -y data.arc *.* \"C:\\Q\\\""),  // one blank
             std::string("unrar.exe e -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"C:\\Q\\\""),
             std::string("unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  other.arc *.* \"C:\\Q\\\""),
             prefix + "\"C:\\Q\"",          // no trailing backslash
             prefix + "C:\\Q\\",            // not quoted
             prefix + "\"Q\\\"",            // relative
             prefix + "\"\"",               // empty
             prefix + "\"",                 // lone quote
             prefix + "\"C:\\Q\\\" extra\"",
             prefix + "\"C:\\Q\\\" ",
             std::string("unrar.exe"),
             std::string("")})
        EXPECT_FALSE(archive::ExtractDestination(line).has_value()) << line;
}

}  // namespace
