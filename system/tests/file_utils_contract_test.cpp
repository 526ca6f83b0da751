#include "system/file_utils.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/tests/testing/file_system_backend.h"

namespace {

namespace attr = platform::attr;
using Names = std::vector<std::string>;

class FileUtilsContract : public ::testing::Test {
protected:
    std::string Path(const std::string& relative) const {
        return backend->ScratchFolder() + '\\' + relative;
    }
    void Folders(std::initializer_list<const char*> relatives) {
        for (const char* relative : relatives) ASSERT_TRUE(files.CreateDirectory(Path(relative)));
    }
    void Files(std::initializer_list<const char*> relatives) {
        for (const char* relative : relatives) files.WriteFile(Path(relative), relative);
    }
    bool Exists(const std::string& relative) {
        return files.GetAttributes(Path(relative)).has_value();
    }
    Names FoundPaths(const std::string& mask, bool recursive, const Names& extensions = {}) {
        std::vector<sys::FoundFile> found;
        sys::FindFiles(files, backend->ScratchFolder(), mask, recursive, found, extensions);
        Names paths;
        for (const auto& file : found) paths.push_back(file.path.substr(Path("").size()));
        return paths;
    }

    std::unique_ptr<testing_support::FileSystemBackend> backend =
        testing_support::MakeFileSystemBackend();
    platform::FileSystem& files = backend->Files();
};

TEST_F(FileUtilsContract, ExistenceTests) {
    Folders({"dir"});
    Files({"file.txt"});
    EXPECT_TRUE(sys::DirExists(files, Path("dir")));
    EXPECT_TRUE(sys::DirExists(files, Path("dir\\")));
    EXPECT_FALSE(sys::DirExists(files, Path("file.txt")));
    EXPECT_FALSE(sys::DirExists(files, Path("missing")));
    EXPECT_FALSE(sys::DirExists(files, ""));

    EXPECT_TRUE(sys::FileOrDirExists(files, Path("dir")));
    EXPECT_TRUE(sys::FileOrDirExists(files, Path("FILE.TXT")));
    EXPECT_TRUE(sys::FileOrDirExists(files, Path("*.txt")));
    EXPECT_FALSE(sys::FileOrDirExists(files, Path("*.bpl")));
    EXPECT_FALSE(sys::FileOrDirExists(files, Path("missing\\*")));
    EXPECT_FALSE(sys::FileOrDirExists(files, ""));
}

TEST_F(FileUtilsContract, ListDirectoryEntriesAppendsNamesWithoutDots) {
    Folders({"dir", "empty"});
    Files({"dir\\a", "dir\\b"});
    Names names{"kept"};
    EXPECT_TRUE(sys::ListDirectoryEntries(files, Path("dir\\*.*"), attr::AnyFile, names));
    EXPECT_EQ(names, (Names{"kept", "a", "b"}));
    Names none;
    EXPECT_TRUE(sys::ListDirectoryEntries(files, Path("empty\\*.*"), attr::AnyFile, none));
    EXPECT_FALSE(sys::ListDirectoryEntries(files, Path("dir\\x*"), attr::AnyFile, none));
    EXPECT_FALSE(sys::ListDirectoryEntries(files, Path("missing\\*.*"), attr::AnyFile, none));
    EXPECT_TRUE(none.empty());
}

TEST_F(FileUtilsContract, FindFilesFiltersByExtensionIgnoringCase) {
    Files({"A.DCU", "b.bpl", "c.dcp", "noext"});
    files.WriteFile(Path("hidden.dcu"), "12345");
    ASSERT_TRUE(files.SetAttributes(Path("hidden.dcu"), attr::Hidden | attr::System));
    EXPECT_EQ(FoundPaths("*.*", false, {".dcu", ".bpl"}), (Names{"A.DCU", "b.bpl", "hidden.dcu"}));
    EXPECT_EQ(FoundPaths("*.*", false), (Names{"A.DCU", "b.bpl", "c.dcp", "hidden.dcu", "noext"}));

    std::vector<sys::FoundFile> found{{"earlier", 7}};
    sys::FindFiles(files, backend->ScratchFolder(), "h*", false, found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].path, Path("hidden.dcu"));
    EXPECT_EQ(found[1].size, 5u);
    sys::FindFiles(files, Path("missing"), "*.*", true, found);
    EXPECT_EQ(found.size(), 2u);
}

TEST_F(FileUtilsContract, FindFilesEntersMatchingFoldersDepthFirst) {
    Folders({"one", "one\\deep", "two", "x.dcu"});
    Files({"top.dcu", "one\\a.dcu", "one\\deep\\b.dcu", "one\\z.dcu", "two\\c.dcu",
           "x.dcu\\d.dcu"});
    EXPECT_EQ(FoundPaths("*.*", false), Names{"top.dcu"});
    EXPECT_EQ(FoundPaths("*.dcu", true), (Names{"top.dcu", "x.dcu\\d.dcu"}));

    // Whatever order the folder gives, each subtree's files come together.
    const Names all = FoundPaths("*.*", true);
    ASSERT_EQ(all.size(), 6u);
    auto isBelow = [](const std::string& folder) {
        return [folder](const std::string& path) { return path.rfind(folder, 0) == 0; };
    };
    for (const char* folder : {"one\\", "one\\deep\\", "two\\", "x.dcu\\"}) {
        const auto first = std::find_if(all.begin(), all.end(), isBelow(folder));
        const auto end = std::find_if_not(first, all.end(), isBelow(folder));
        EXPECT_EQ(std::count_if(end, all.end(), isBelow(folder)), 0) << folder;
    }
}

TEST_F(FileUtilsContract, DeleteTreeTakesProtectedEntries) {
    Folders({"tree", "tree\\sub", "tree\\sub\\deeper"});
    Files({"tree\\readonly", "tree\\sub\\hidden", "tree\\sub\\deeper\\system", "keep"});
    ASSERT_TRUE(files.SetAttributes(Path("tree\\readonly"), attr::ReadOnly));
    ASSERT_TRUE(files.SetAttributes(Path("tree\\sub\\hidden"), attr::Hidden));
    ASSERT_TRUE(
        files.SetAttributes(Path("tree\\sub\\deeper\\system"), attr::System | attr::ReadOnly));
    ASSERT_TRUE(files.SetAttributes(Path("tree\\sub"), attr::Hidden));
    EXPECT_TRUE(sys::DeleteTree(files, Path("tree\\")));
    EXPECT_FALSE(Exists("tree"));
    EXPECT_TRUE(Exists("keep"));

    EXPECT_FALSE(sys::DeleteTree(files, Path("tree")));
    EXPECT_FALSE(sys::DeleteTree(files, ""));
    ASSERT_TRUE(files.SetAttributes(Path("keep"), attr::ReadOnly));
    EXPECT_FALSE(sys::DeleteTree(files, Path("keep")));
    EXPECT_NE(*files.GetAttributes(Path("keep")) & attr::ReadOnly, 0u);
}

TEST_F(FileUtilsContract, DeleteTreeKeepsAHeldFileWithTheFoldersAboveIt) {
    Folders({"tree", "tree\\a", "tree\\a\\b", "tree\\other", "tree\\a\\side"});
    Files({"tree\\top", "tree\\a\\one", "tree\\a\\b\\held", "tree\\a\\b\\gone", "tree\\other\\x",
           "tree\\a\\side\\y"});
    {
        const auto held = backend->HoldOpen(Path("tree\\a\\b\\held"));
        EXPECT_FALSE(sys::DeleteTree(files, Path("tree")));
    }
    for (const char* kept : {"tree", "tree\\a", "tree\\a\\b", "tree\\a\\b\\held"})
        EXPECT_TRUE(Exists(kept)) << kept;
    for (const char* gone : {"tree\\top", "tree\\a\\one", "tree\\a\\b\\gone", "tree\\other",
                             "tree\\a\\side"})
        EXPECT_FALSE(Exists(gone)) << gone;
}

TEST_F(FileUtilsContract, RecycleDirectoryTakesAnExistingFolderOnly) {
    Folders({"tree", "tree\\sub", "busy"});
    Files({"tree\\a", "tree\\sub\\b", "busy\\held", "busy\\free"});
    ASSERT_TRUE(files.SetAttributes(Path("tree\\a"), attr::ReadOnly | attr::Hidden));
    EXPECT_TRUE(sys::RecycleDirectory(files, Path("tree\\")));
    EXPECT_FALSE(Exists("tree"));

    const auto before = files.Find(Path("*"), attr::AnyFile).entries.size();
    EXPECT_FALSE(sys::RecycleDirectory(files, Path("tree")));
    EXPECT_FALSE(sys::RecycleDirectory(files, Path("busy\\free")));
    EXPECT_EQ(files.Find(Path("*"), attr::AnyFile).entries.size(), before);

    const auto held = backend->HoldOpen(Path("busy\\held"));
    EXPECT_FALSE(sys::RecycleDirectory(files, Path("busy")));
    EXPECT_TRUE(Exists("busy\\held"));
}

TEST_F(FileUtilsContract, ForceDirectoriesCreatesMissingParents) {
    Files({"file"});
    EXPECT_TRUE(sys::ForceDirectories(files, Path("a\\b\\c\\")));
    EXPECT_TRUE(sys::DirExists(files, Path("a\\b\\c")));
    EXPECT_TRUE(sys::ForceDirectories(files, Path("a\\b")));
    EXPECT_FALSE(sys::ForceDirectories(files, Path("file\\sub")));
    EXPECT_FALSE(sys::ForceDirectories(files, ""));
}

}  // namespace
