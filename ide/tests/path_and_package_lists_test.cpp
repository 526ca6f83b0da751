#include <gtest/gtest.h>

#include "ide/package_list.h"
#include "ide/path_list.h"

namespace {

using Entries = std::vector<std::string>;

TEST(PathListTest, SplitDropsLeadingBlanksAndOneTrailingDelimiter) {
    EXPECT_EQ(ide::SplitPathList(" a\\;;b"), (Entries{"a", "", "b"}));
    EXPECT_EQ(ide::SplitPathList("C:\\x\\\\;  y ;"), (Entries{"C:\\x\\", "y "}));
    EXPECT_EQ(ide::SplitPathList(""), Entries{});
    EXPECT_EQ(ide::SplitPathList("   "), Entries{});
    EXPECT_EQ(ide::SplitPathList(";"), (Entries{""}));
    EXPECT_EQ(ide::SplitPathList("\"C:\\A B\";$(NOSUCH)\\x;a;a"),
              (Entries{"\"C:\\A B\"", "$(NOSUCH)\\x", "a", "a"}));
}

// Without its delimiter a root is a drive's current folder ("D:") or the current folder (""):
// a user's root entry is read and written back as a root.
TEST(PathListTest, ARootKeepsTheDelimiterThatMakesItOne) {
    EXPECT_EQ(ide::SplitPathList("D:\\;\\;D:\\\\;D:;C:\\Lib\\"), (Entries{"D:\\", "\\", "D:\\", "D:", "C:\\Lib"}));
    EXPECT_EQ(ide::JoinPathList(ide::SplitPathList("$(DELPHI)\\Lib;D:\\;\\")), "$(DELPHI)\\Lib;D:\\;\\");
    const Entries roots = {"D:\\", "\\", "D:\\\\", "\\\\"};
    EXPECT_EQ(ide::SplitPathList(ide::JoinPathList(roots)), roots);
}

TEST(PathListTest, JoinAndSplitRoundTripHundredsOfEntries) {
    Entries entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back(i % 7 == 3 ? std::string() : "$(DELPHI)\\Lib\\Folder " + std::to_string(i));
    const std::string joined = ide::JoinPathList(entries);
    EXPECT_EQ(ide::SplitPathList(joined), entries);
    EXPECT_EQ(ide::JoinPathList({}), "");
    EXPECT_EQ(ide::JoinPathList({"a", "", "b"}), "a;;b");
}

TEST(PathListTest, JoinWritesWhatSplitReadsBackAsTheSameList) {
    // Found by fuzzing: a doubled trailing delimiter came back as none, a last empty entry not
    // at all (fuzz/corpus/path_list/found_*).
    for (const char* text : {"C:\\Jcl\\source\\\\", "D:\\\\;a", "$(DELPHI)\\Lib;;\\", ";", "a; ;", "\\\\"}) {
        const Entries entries = ide::SplitPathList(text);
        EXPECT_EQ(ide::SplitPathList(ide::JoinPathList(entries)), entries) << text;
    }
    EXPECT_EQ(ide::JoinPathList({"C:\\x\\", "y"}), "C:\\x\\\\;y");
    EXPECT_EQ(ide::JoinPathList({"a", ""}), "a;;");
    EXPECT_EQ(ide::JoinPathList({""}), ";");
}

TEST(PackageListTest, EmptyDescriptionBecomesTheBareName) {
    ide::TDelphiPackageList list;
    list.AddPackage("$(DELPHI)\\Bin\\dclQuorvexD7.bpl", "");
    list.AddPackage("C:\\Pkg\\other.package.bpl", "");
    list.AddPackage("C:noext", "");
    list.AddPackage("C:\\Pkg\\x.bpl", "Described");
    EXPECT_EQ(list[0].Description, "dclQuorvexD7");
    EXPECT_EQ(list[1].Description, "other.package");
    EXPECT_EQ(list[2].Description, "noext");
    EXPECT_EQ(list[3].Description, "Described");
}

TEST(PackageListTest, LookupByFileNameOrByNamePart) {
    ide::TDelphiPackageList list;
    list.AddPackage("$(DELPHI)\\Projects\\Bpl\\QuorvexD7.bpl", "old");
    list.AddPackage("C:\\Bpl\\quorvexd7.BPL", "new");
    EXPECT_EQ(list.IndexOfName("QUORVEXD7.bpl"), 0);
    EXPECT_EQ(list.IndexOfFileName("QuorvexD7.bpl"), -1);
    EXPECT_EQ(list.IndexOfFileName("c:\\bpl\\QUORVEXD7.bpl"), 1);
    EXPECT_EQ(list.IndexOfName("Bpl\\QuorvexD7.bpl"), -1);
    list.Delete(0);
    EXPECT_EQ(list.IndexOfName("QuorvexD7.bpl"), 0);
    list.Delete(5);  // out of range: ignored
    EXPECT_EQ(list.Count(), 1);
}

}  // namespace
