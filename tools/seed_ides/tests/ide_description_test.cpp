#include "tools/seed_ides/ide_description.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_registry.h"
#include "system/pe_image.h"
#include "tools/seed_ides/ide_seed.h"

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

TEST(IdeSeedTest, TheBplFolderGoesOnTheUserPathOnceAndTheIdePackagesAreRealImages) {
    platform::memory::MemoryRegistry registry;
    platform::memory::MemoryFileSystem files;
    auto d7 = seeding::TypicalIde("Delphi", "7.0", "C:\\D7");
    d7.zeos = true;
    seeding::Seed(registry, files, d7);
    seeding::Seed(registry, files, d7);
    const auto environment = [&] {
        const auto key = registry.OpenKey(platform::Hive::User, "Environment", platform::KeyAccess::Read);
        return key ? key->ReadString("PATH") : std::string("<no key>");
    };
    EXPECT_EQ(environment(), "C:\\D7\\Projects\\Bpl");
    const auto vcl = sys::ReadPe32Imports(files, "C:\\D7\\Bin\\vcl70.bpl");
    ASSERT_TRUE(vcl);
    EXPECT_EQ(vcl->imports, std::vector<std::string>{"rtl70.bpl"});
    EXPECT_TRUE(sys::ReadPe32Imports(files, "C:\\D7\\Projects\\Bpl\\ZCore.bpl"));

    auto cb6 = seeding::TypicalIde("C++Builder", "6.0", "C:\\CB6");
    cb6.bplOnPath = false;
    seeding::Seed(registry, files, cb6);
    EXPECT_EQ(environment(), "C:\\D7\\Projects\\Bpl");
    seeding::Seed(registry, files, seeding::TypicalIde("BDS", "3.0", "C:\\BDS3"));
    EXPECT_EQ(environment(), "C:\\D7\\Projects\\Bpl;C:\\BDS3\\Projects\\Bpl");
    EXPECT_FALSE(ParseDescription("[Delphi 7.0]\nroot = C:\\x\nbpl-on-path = no\n")[0].ide.bplOnPath);
}

}  // namespace
