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

// A mapped drive, a share, a link and an 8.3 alias each reach the folder itself: what is done
// through them is done to it, and it has one identity under every name.
TEST(MemoryFileSystem, EveryNameOfAFolderReachesItAndHasItsIdentity) {
    MemoryFileSystem files;
    ASSERT_TRUE(files.CreateDirectory("C:\\Qv Dist"));
    files.WriteFile("C:\\Qv Dist\\setup.exe", "x");
    files.WriteFile("C:\\Qv Dist\\data.arc", "y");
    files.MapDrive('q', "C:\\");
    files.AddShare("\\\\localhost\\C$", "C:\\");
    files.AddShare("\\\\Server\\Dist", "C:\\Qv Dist");
    files.CreateDirectoryLink("C:\\Alias", "C:\\Qv Dist");
    files.SetShortName("C:\\Qv Dist", "QVDIST~1");
    const auto dist = files.IdentityOf("C:\\Qv Dist");
    ASSERT_TRUE(dist);
    for (const char* name : {"Q:\\Qv Dist", "\\\\LOCALHOST\\c$\\qv dist\\", "\\\\server\\dist", "C:\\Alias",
                             "C:\\QVDIST~1", "Q:\\Alias", "\\\\server\\dist\\..\\..\\"})
        EXPECT_EQ(files.IdentityOf(name), dist) << name;
    EXPECT_EQ(files.IdentityOf("Q:\\"), files.IdentityOf("C:\\"));
    EXPECT_NE(files.IdentityOf("C:\\Qv Dist\\setup.exe"), dist);
    EXPECT_NE(files.IdentityOf("C:\\"), dist);

    EXPECT_EQ(files.ReadFile("\\\\localhost\\C$\\QVDIST~1\\setup.exe"), "x");
    EXPECT_EQ(files.Find("\\\\server\\dist\\*.arc", attr::AnyFile).entries.size(), 1u);
    EXPECT_TRUE(files.DeleteFile("Q:\\QVDIST~1\\setup.exe"));
    EXPECT_FALSE(files.GetAttributes("C:\\Qv Dist\\setup.exe"));
    ASSERT_TRUE(files.Recycle("\\\\server\\dist\\data.arc"));
    EXPECT_EQ(files.RecycleBin(), std::vector<std::string>{"\\\\server\\dist\\data.arc"});
    // A mapped drive's root is its folder, not a link, and goes with no removal.
    EXPECT_EQ(files.GetAttributes("Q:\\"), attr::Directory);
    EXPECT_FALSE(files.RemoveDirectory("Q:\\"));
    EXPECT_TRUE(files.MoveFile("C:\\QVDIST~1", "C:\\Moved"));
    EXPECT_EQ(files.IdentityOf("C:\\Moved"), dist);
    EXPECT_FALSE(files.IdentityOf("\\\\server\\dist"));  // the share's folder is gone

    EXPECT_THROW(files.MapDrive('C', "C:\\Moved"), std::invalid_argument);
    EXPECT_THROW(files.MapDrive('R', "C:\\Missing"), std::invalid_argument);
    EXPECT_THROW(files.AddShare("\\\\server", "C:\\Moved"), std::invalid_argument);
    EXPECT_THROW(files.AddShare("\\\\server\\share\\sub", "C:\\Moved"), std::invalid_argument);
    files.WriteFile("C:\\Moved\\other", "z");
    EXPECT_THROW(files.SetShortName("C:\\Moved\\data", "OTHER"), std::invalid_argument);
    EXPECT_THROW(files.SetShortName("C:\\Moved\\missing", "MISSIN~1"), std::invalid_argument);
}

TEST(MemoryFileSystem, IdentitiesAreKnownOnlyWhereTheFileSystemGivesIndexes) {
    MemoryFileSystem files;
    files.AddDrive('N', MemoryFileSystem::FileIndexes::None);
    ASSERT_TRUE(files.CreateDirectory("N:\\Tools"));
    files.CreateDirectoryLink("C:\\Network", "N:\\Tools");
    ASSERT_TRUE(files.CreateDirectory("C:\\Local"));
    files.CreateDirectoryLink("C:\\Dangling", "C:\\Local");
    ASSERT_TRUE(files.RemoveDirectory("C:\\Local"));
    for (const char* unknown : {"N:\\", "N:\\Tools", "C:\\Network", "C:\\Dangling", "C:\\Missing", "D:\\"})
        EXPECT_FALSE(files.IdentityOf(unknown)) << unknown;

    // A copy of the machine is the same machine: the same folders under the same names.
    files.WriteFile("C:\\kept", "x");
    files.MapDrive('Q', "C:\\");
    MemoryFileSystem copy;
    copy.CopyFrom(files);
    EXPECT_EQ(copy.IdentityOf("Q:\\kept"), files.IdentityOf("C:\\kept"));
    EXPECT_FALSE(copy.IdentityOf("N:\\Tools"));
    EXPECT_TRUE(copy.CreateDirectory("C:\\New"));
    EXPECT_NE(copy.IdentityOf("C:\\New"), copy.IdentityOf("C:\\kept"));
}

}  // namespace
