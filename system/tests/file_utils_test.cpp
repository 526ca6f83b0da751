// What the memory file system can stage and Wine cannot: drive roots to refuse and links to
// leave alone.

#include "system/file_utils.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.h"

namespace {

TEST(PathDelimiters, OneDelimiterIsAddedOrRemoved) {
    EXPECT_EQ(sys::AddPathDelimiter("C:\\Program Files"), "C:\\Program Files\\");
    EXPECT_EQ(sys::AddPathDelimiter("C:\\"), "C:\\");
    EXPECT_EQ(sys::AddPathDelimiter(""), "\\");
    EXPECT_EQ(sys::RemovePathDelimiter("C:\\a\\\\"), "C:\\a\\");
    EXPECT_EQ(sys::RemovePathDelimiter("C:\\a"), "C:\\a");
    EXPECT_EQ(sys::RemovePathDelimiter(""), "");
}

class RemovalGuards : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"C:\\Install", "C:\\Install\\Sub", "C:\\Documents"})
            ASSERT_TRUE(files.CreateDirectory(folder));
        files.WriteFile("C:\\Documents\\letter.txt", "mine");
        files.WriteFile("C:\\Install\\Sub\\unit.dcu", "x");
        files.SetCurrentFolder("C:\\Install");
    }
    platform::memory::MemoryFileSystem files;
};

TEST_F(RemovalGuards, RootsOfDrivesAndSharesAreNeverRemovedWhole) {
    for (const char* root : {"C:\\", "C:", "c:\\\\", "\\", "\\\\server\\share\\", "\\\\server"}) {
        EXPECT_FALSE(sys::DeleteTree(files, root)) << root;
        EXPECT_FALSE(sys::RecycleDirectory(files, root)) << root;
    }
    EXPECT_TRUE(files.ReadFile("C:\\Documents\\letter.txt"));
    EXPECT_TRUE(files.RecycleBin().empty());
}

TEST_F(RemovalGuards, DeleteTreeRemovesALinkButNotWhatItLeadsTo) {
    files.CreateDirectoryLink("C:\\Install\\Docs", "C:\\Documents");
    ASSERT_EQ(files.ReadFile("C:\\Install\\Docs\\letter.txt"), "mine");
    EXPECT_FALSE(sys::DeleteTree(files, "C:\\Install\\Docs"));
    EXPECT_TRUE(sys::DeleteTree(files, "C:\\Install"));
    EXPECT_FALSE(files.GetAttributes("C:\\Install"));
    EXPECT_EQ(files.ReadFile("C:\\Documents\\letter.txt"), "mine");
}

TEST_F(RemovalGuards, RecycleDirectoryRefusesALinkAndRecordsWhatItTakes) {
    files.CreateDirectoryLink("C:\\Docs", "C:\\Documents");
    EXPECT_FALSE(sys::RecycleDirectory(files, "C:\\Docs"));
    EXPECT_TRUE(sys::RecycleDirectory(files, "Sub"));
    EXPECT_EQ(files.RecycleBin(), (std::vector<std::string>{"C:\\Install\\Sub\\unit.dcu",
                                                           "C:\\Install\\Sub"}));
}

TEST_F(RemovalGuards, FindFilesListsALinkedFolderOnlyWhenAskedForItself) {
    files.WriteFile("C:\\Documents\\notes.dcu", "mine");
    files.CreateDirectoryLink("C:\\Install\\Docs", "C:\\Documents");
    std::vector<sys::FoundFile> found;
    sys::FindFiles(files, "C:\\Install", "*.*", true, found, {".dcu"});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].path, "C:\\Install\\Sub\\unit.dcu");
    EXPECT_TRUE(sys::IsLink(files, "C:\\Install\\Docs\\"));
    EXPECT_FALSE(sys::IsLink(files, "C:\\Install\\Sub"));
    EXPECT_FALSE(sys::IsLink(files, "C:\\Missing"));
}

}  // namespace

TEST(ChangeFileExtTest, ReplacesOnlyTheFileNamesExtension) {
    EXPECT_EQ(sys::ChangeFileExt("tkQuorvexD7.dpk", ".bpl"), "tkQuorvexD7.bpl");
    EXPECT_EQ(sys::ChangeFileExt("C:\\Out.Dir\\tkQuorvexC6.bpk", ".mak"), "C:\\Out.Dir\\tkQuorvexC6.mak");
    EXPECT_EQ(sys::ChangeFileExt("C:\\Out.Dir\\README", ".txt"), "C:\\Out.Dir\\README.txt");
    EXPECT_EQ(sys::ChangeFileExt("a.b.c", ""), "a.b");
}
