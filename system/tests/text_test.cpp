#include "system/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, PrefixAndSuffixTestsFollowTheCaseFlag) {
    EXPECT_TRUE(sys::StartsWithText("--Lang=de", "--lang=", true));
    EXPECT_FALSE(sys::StartsWithText("--Lang=de", "--lang=", false));
    EXPECT_TRUE(sys::StartsWithText("--Lang=de", "--Lang=", false));
    EXPECT_FALSE(sys::StartsWithText("--la", "--lang=", true));
    EXPECT_TRUE(sys::StartsWithText("", "", false));

    EXPECT_TRUE(sys::EndsWithText("Professional With Sources", "with sources", true));
    EXPECT_FALSE(sys::EndsWithText("Professional With Sources", "with sources", false));
    EXPECT_FALSE(sys::EndsWithText("Sources", "With Sources", true));
    EXPECT_TRUE(sys::EndsWithText("abc", "", false));
}

TEST(Text, OnlyLettersAToZIgnoreCase) {
    EXPECT_TRUE(sys::SameText("Delphi 7", "DELPHI 7"));
    EXPECT_FALSE(sys::SameText("\xE4", "\xC4"));  // a and A with diaeresis stay different
    EXPECT_FALSE(sys::SameText("[", "{"));          // 'Z'+1 and 'z'+1 are no letters
    EXPECT_FALSE(sys::SameText("abc", "abcd"));
    EXPECT_EQ(sys::UpperAscii("mixed\xE4_z"), "MIXED\xE4_Z");
}

TEST(Text, IndexOfTextFindsTheFirstEqualElement) {
    const std::vector<std::string> extensions{".dcu", ".BPL", ".bpl"};
    EXPECT_EQ(sys::IndexOfText(".bpl", extensions), 1);
    EXPECT_EQ(sys::IndexOfText(".DCU", extensions), 0);
    EXPECT_EQ(sys::IndexOfText(".dcp", extensions), -1);
    EXPECT_EQ(sys::IndexOfText("", {}), -1);
}

TEST(Text, TrimDropsControlCharactersAndBlanksAtBothEnds) {
    EXPECT_EQ(sys::Trim(" \t1.2.3 beta\r\n"), "1.2.3 beta");
    EXPECT_EQ(sys::Trim("\x01\x02"), "");
    EXPECT_EQ(sys::Trim("\xA0x\xA0"), "\xA0x\xA0");  // above 127 is text
}

}  // namespace
