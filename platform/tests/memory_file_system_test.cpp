// The memory file system's own set-up hooks, and Windows rules that the contract run under Wine
// cannot show (Wine run as root lets a read-only file be overwritten, and lets a folder with an
// open file in it be moved).

#include "platform/memory/memory_file_system.h"

#include <gtest/gtest.h>

namespace {

namespace attr = platform::attr;
using platform::memory::MemoryFileSystem;

TEST(MemoryFileSystem, DrivesOtherThanCExistOnceAdded) {
    MemoryFileSystem files;
    EXPECT_TRUE(files.CreateDirectory("c:\\Jcl"));
    EXPECT_FALSE(files.GetAttributes("D:\\"));
    EXPECT_FALSE(files.Find("D:\\*", attr::AnyFile).completed);
    EXPECT_FALSE(files.CreateDirectory("D:\\Data"));
    files.AddDrive('d');
    EXPECT_TRUE(files.CreateDirectory("D:\\Data"));
    EXPECT_EQ(files.Find("D:\\*", attr::AnyFile).entries.size(), 1u);  // a root has no dots
    EXPECT_THROW(files.AddDrive('1'), std::invalid_argument);
}

TEST(MemoryFileSystem, RelativePathsStartFromTheCurrentFolder) {
    MemoryFileSystem files;
    ASSERT_TRUE(files.CreateDirectory("C:\\Dist"));
    files.SetCurrentFolder("c:\\dist\\");
    files.WriteFile("version", "1");
    files.WriteFile("C:setup.log", "2");
    files.WriteFile("\\root.txt", "3");
    files.WriteFile("..\\up.txt", "4");
    EXPECT_EQ(files.ReadFile("C:\\Dist\\version"), "1");
    EXPECT_EQ(files.ReadFile("C:/Dist/setup.log"), "2");
    EXPECT_EQ(*files.ReadFile("C:\\root.txt") + *files.ReadFile("C:\\up.txt"), "34");
    EXPECT_FALSE(files.GetAttributes("\\\\server\\share"));
    EXPECT_THROW(files.SetCurrentFolder("C:\\Dist\\version"), std::invalid_argument);
}

TEST(MemoryFileSystem, ReadOnlyFilesAndFoldersResistChange) {
    MemoryFileSystem files;
    files.WriteFile("C:\\locked", "old");
    files.WriteFile("C:\\other", "new");
    ASSERT_TRUE(files.SetAttributes("C:\\locked", attr::ReadOnly));
    EXPECT_THROW(files.WriteFile("C:\\locked", "lost"), platform::FileError);
    EXPECT_FALSE(files.CopyFile("C:\\other", "C:\\locked", true));
    EXPECT_EQ(files.ReadFile("C:\\locked"), "old");

    ASSERT_TRUE(files.CreateDirectory("C:\\Folder"));
    ASSERT_TRUE(files.SetAttributes("C:\\Folder", attr::ReadOnly));
    EXPECT_FALSE(files.RemoveDirectory("C:\\Folder"));
}

TEST(MemoryFileSystem, MoveRespellsANameButNotAFolderWithAnOpenFile) {
    MemoryFileSystem files;
    ASSERT_TRUE(files.CreateDirectory("C:\\Busy"));
    files.WriteFile("C:\\Busy\\open.txt", "x");
    EXPECT_TRUE(files.MoveFile("C:\\Busy\\open.txt", "C:\\busy\\OPEN.TXT"));
    EXPECT_EQ(files.Find("C:\\Busy\\*.txt", attr::AnyFile).entries.at(0).name, "OPEN.TXT");
    {
        const auto open = files.OpenWithoutSharing("C:\\Busy\\open.txt");
        EXPECT_FALSE(files.MoveFile("C:\\Busy", "C:\\Moved"));
    }
    EXPECT_TRUE(files.MoveFile("C:\\Busy", "C:\\Moved"));
    EXPECT_THROW(files.OpenWithoutSharing("C:\\Moved"), platform::FileError);
}

TEST(MemoryFileSystem, LinksLeadToTheirTargetAndGoAlone) {
    MemoryFileSystem files;
    ASSERT_TRUE(files.CreateDirectory("C:\\Target"));
    files.WriteFile("C:\\Target\\file", "x");
    files.CreateDirectoryLink("C:\\Link", "C:\\Target");
    EXPECT_EQ(files.GetAttributes("C:\\Link"), attr::Directory | attr::ReparsePoint);
    EXPECT_EQ(files.ReadFile("C:\\Link\\file"), "x");
    EXPECT_EQ(files.Find("C:\\Link\\*", attr::AnyFile).entries.size(), 3u);

    files.CreateDirectoryLink("C:\\Target\\Loop", "C:\\Link");
    EXPECT_EQ(files.ReadFile("C:\\Link\\Loop\\Loop\\file"), "x");
    EXPECT_TRUE(files.RemoveDirectory("C:\\Link"));
    EXPECT_FALSE(files.GetAttributes("C:\\Target\\Loop\\file"));  // its target is gone
    EXPECT_EQ(files.ReadFile("C:\\Target\\file"), "x");
    EXPECT_THROW(files.CreateDirectoryLink("C:\\Other", "C:\\Target\\file"), std::invalid_argument);
}

}  // namespace
