#include "engine/version.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using engine::TVersion;

TEST(VersionTest, NumberGroupsAndSeparators) {
    EXPECT_EQ(TVersion("2.4.1").NumberText(), "2.4.1");
    EXPECT_EQ(TVersion("2.4.1").FullText(), "2.4.1 Standard Edition");
    EXPECT_EQ(TVersion("..2.4.1.17").NumberText(), "2.4.1.17");
    EXPECT_EQ(TVersion("2..4...1").NumberText(), "2.4.1");
    EXPECT_EQ(TVersion("2.4.1").Build, "");
    const TVersion fourGroups("2.4.1.17");
    EXPECT_EQ(fourGroups.Major + "|" + fourGroups.Minor + "|" + fourGroups.Release + "|" +
                  fourGroups.Build,
              "2|4|1|17");
}

TEST(VersionTest, LeadingZerosAreKeptAndMakeADifferentVersion) {
    const TVersion padded("2.04.1");
    EXPECT_EQ(padded.NumberText(), "2.04.1");
    EXPECT_FALSE(padded == TVersion("2.4.1"));
    EXPECT_TRUE(TVersion("2.4.1") == TVersion("2.4.1 Standard Edition"));
}

TEST(VersionTest, EditionWordsSetTheFlags) {
    const TVersion both("2.4.1.17 free edition with sources");
    EXPECT_TRUE(both.IsFree);
    EXPECT_TRUE(both.WithSources);
    EXPECT_EQ(both.FullText(), "2.4.1.17 Free Edition With Sources");

    EXPECT_EQ(TVersion("2.4.1.17 With Sources").FullText(),
              "2.4.1.17 Standard Edition With Sources");
    const TVersion freeOnly("2.4.1 Free");
    EXPECT_TRUE(freeOnly.IsFree);
    EXPECT_FALSE(freeOnly.WithSources);
    EXPECT_EQ(freeOnly.Build, "");
    EXPECT_EQ(freeOnly.EditionText, "Free");
    // Words shorter than the flag words, or in the wrong place, set nothing.
    const TVersion partial("2.4.1 Fre Sources");
    EXPECT_FALSE(partial.IsFree || partial.WithSources);
    EXPECT_EQ(TVersion("2.4.1 Standard Free").FullText(), "2.4.1 Standard Edition");
}

TEST(VersionTest, AFifthGroupStaysInTheEditionText) {
    const TVersion v("2.4.1.17.5");
    EXPECT_EQ(v.NumberText(), "2.4.1.17");
    EXPECT_EQ(v.EditionText, ".5");
    EXPECT_FALSE(v.IsFree || v.WithSources);
}

TEST(VersionTest, TextsThatAreNoVersionAreRefused) {
    for (const char* text : {"", "   ", "\r\n\t", "abc", "2.4", "2.4 Free", "v2.4.1", " 2.4.1"}) {
        try {
            TVersion version(text);
            ADD_FAILURE() << "accepted '" << text << "' as " << version.FullText();
        } catch (const engine::BadVersionError& e) {
            EXPECT_STREQ(e.what(), "Bad version string");
        }
    }
}

TEST(VersionTest, ParseTextLeavesTheValueAloneWhenItFails) {
    TVersion v("1.2.3.4 Free");
    EXPECT_FALSE(v.ParseText("1.2"));
    EXPECT_EQ(v.FullText(), "1.2.3.4 Free Edition");
    EXPECT_TRUE(v.ParseText("5.6.7"));
    EXPECT_EQ(v.FullText(), "5.6.7 Standard Edition");
}

TEST(VersionTest, FullTextParsesBackToItself) {
    for (const char* text : {"2.4.1", "0.0.0.0", "2.04.001.17 Free", "9.9.9 With Sources",
                             "1.2.3.4 free edition WITH SOURCES", "1.2.3.4.5.6 x"}) {
        const TVersion v(text);
        EXPECT_EQ(TVersion(v.FullText()).FullText(), v.FullText()) << text;
    }
}

TEST(VersionTest, ArbitraryBytesGiveAVersionOrTheError) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string text = round % 2 ? "1.2.3" : "";
        const int length = round == 0 ? 4 << 20 : round % 64;
        for (int i = 0; i < length; ++i) text += static_cast<char>(byte(random));
        try {
            const TVersion v(text);
            EXPECT_FALSE(v.Release.empty());
        } catch (const engine::BadVersionError&) {
        }
    }
}

}  // namespace
