#include "tools/seed_ides/ide_description.h"

#include <gtest/gtest.h>

namespace {

using seeding::ParseDescription;

TEST(IdeDescriptionTest, SectionsStartFromATypicalInstallation) {
    const auto ides = ParseDescription(
        "# two IDEs\r\n"
        "[Delphi 7.0]\r\n"
        "root = C:\\Borland\\Delphi7\r\n"
        "zeos = yes\r\n"
        "\r\n"
        "[BDS 3.0]\n"
        "root = C:\\BDS\n"
        "edition = (none)\n"
        "registry-name = Win32Only\n"
        "search-path = (none)\n"
        "known-package = $(BDS)\\Bin\\a.bpl | First package\n"
        "known-package = C:\\b.bpl\n"
        "user-key = no\n"
        "running = yes\n"
        "stub-tools = yes\n"
        "projects-module = deu\n"
        "file = Bin\\extra.dll\n");
    ASSERT_EQ(ides.size(), 2u);
    const auto& d7 = ides[0];
    EXPECT_EQ(d7.ide.productKey, "Delphi");
    EXPECT_EQ(d7.ide.keyName, "7.0");
    EXPECT_EQ(d7.ide.rootDir, "C:\\Borland\\Delphi7");
    EXPECT_EQ(d7.ide.edition.value_or(""), "Enterprise");
    EXPECT_TRUE(d7.ide.zeos);
    EXPECT_FALSE(d7.running || d7.stubTools);
    EXPECT_EQ(d7.ide.knownPackages.size(), 2u);  // the typical ones

    const auto& bds = ides[1];
    EXPECT_EQ(bds.ide.productKey, "BDS");
    EXPECT_FALSE(bds.ide.edition.has_value());
    EXPECT_FALSE(bds.ide.searchPath.has_value());
    EXPECT_TRUE(bds.ide.browsingPath.has_value());
    EXPECT_EQ(bds.ide.registryName, "Win32Only");
    ASSERT_EQ(bds.ide.knownPackages.size(), 2u);  // the first one replaced the typical list
    EXPECT_EQ(bds.ide.knownPackages[0].file, "$(BDS)\\Bin\\a.bpl");
    EXPECT_EQ(bds.ide.knownPackages[0].description, "First package");
    EXPECT_EQ(bds.ide.knownPackages[1].description, "");
    EXPECT_FALSE(bds.ide.userKey);
    EXPECT_TRUE(bds.running && bds.stubTools);
    EXPECT_EQ(bds.projectsModule, "deu");
    EXPECT_EQ(bds.ide.files, std::vector<std::string>{"Bin\\extra.dll"});
}

TEST(IdeDescriptionTest, MistakesNameTheirLine) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"root = C:\\x\n", "line 1: expected name = value"},
        {"[Delphi 7.0]\nedition = Pro\n", "line 2: \"root\" must come first in a section"},
        {"[Delphi 7.0]\nroot = C:\\x\nzeos = maybe\n", "line 3: expected yes or no, not \"maybe\""},
        {"[Delphi 7.0]\nroot = C:\\x\ncolour = red\n", "line 3: unknown setting \"colour\""},
        {"[Delphi7.0]\n", "line 1: expected [Product VersionKey]"},
        {"[Delphi 7.0\n", "line 1: section header without \"]\""},
        {"[Delphi 7.0]\n[Delphi 6.0]\nroot = C:\\x\n", "line 2: section without \"root\""},
    };
    for (const auto& c : cases) {
        try {
            ParseDescription(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const seeding::DescriptionError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_TRUE(ParseDescription("; nothing but a comment\n\n").empty());
}

}  // namespace
