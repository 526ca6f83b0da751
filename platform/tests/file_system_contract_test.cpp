#include <gtest/gtest.h>

#include "platform/file_system.h"
#include "platform/tests/testing/file_system_backend.h"

namespace {

using platform::FileError;
namespace attr = platform::attr;
using Names = std::vector<std::string>;

class FileSystemContract : public ::testing::Test {
protected:
    std::string Path(const std::string& relative) const {
        return backend->ScratchFolder() + '\\' + relative;
    }
    void Write(const std::string& relative, const std::string& data = "x") {
        files.WriteFile(Path(relative), data);
    }
    std::string Read(const std::string& relative) {
        return files.ReadFile(Path(relative)).value_or("<unreadable>");
    }
    bool Exists(const std::string& relative) {
        return files.GetAttributes(Path(relative)).has_value();
    }
    Names Found(const std::string& pattern, std::uint32_t mask = attr::AnyFile) {
        Names names;
        for (const auto& entry : files.Find(Path(pattern), mask).entries)
            names.push_back(entry.name);
        return names;
    }

    std::unique_ptr<testing_support::FileSystemBackend> backend =
        testing_support::MakeFileSystemBackend();
    platform::FileSystem& files = backend->Files();
};

TEST_F(FileSystemContract, SearchListsDotsFirstThenNamesInCaseInsensitiveOrder) {
    for (const char* name : {"b.txt", "A.TXT", "_under", "noext"}) Write(name);
    ASSERT_TRUE(files.CreateDirectory(Path("Sub")));
    const Names all{".", "..", "A.TXT", "b.txt", "noext", "Sub", "_under"};
    EXPECT_EQ(Found("*"), all);
    EXPECT_EQ(Found("*.*"), all);
    EXPECT_EQ(Found("*.txt"), (Names{"A.TXT", "b.txt"}));
    EXPECT_EQ(Found("?"), Names{"."});
    EXPECT_EQ(Found("??"), Names{".."});
    EXPECT_EQ(Found("s*b"), Names{"Sub"});
    EXPECT_EQ(Found("NOEXT"), Names{"noext"});
    EXPECT_EQ(Found("noext.*"), Names{"noext"});
    EXPECT_EQ(Found("a?.txt"), Names{});
}

TEST_F(FileSystemContract, SearchEndsNormallyOnlyWhereItsFolderExists) {
    Write("file.bin", "12345");
    const auto one = files.Find(Path("file.bin"), attr::AnyFile);
    ASSERT_EQ(one.entries.size(), 1u);
    EXPECT_TRUE(one.completed);
    EXPECT_EQ(one.entries[0].size, 5u);
    EXPECT_EQ(one.entries[0].attributes & attr::Directory, 0u);

    const auto folder = files.Find(backend->ScratchFolder(), attr::AnyFile);
    ASSERT_EQ(folder.entries.size(), 1u);
    EXPECT_NE(folder.entries[0].attributes & attr::Directory, 0u);

    const auto nothing = files.Find(Path("none*"), attr::AnyFile);
    EXPECT_TRUE(nothing.completed && nothing.entries.empty());
    const auto delimited = files.Find(backend->ScratchFolder() + "\\", attr::AnyFile);
    EXPECT_TRUE(delimited.completed && delimited.entries.empty());
    EXPECT_FALSE(files.Find(Path("missing\\*"), attr::AnyFile).completed);
    EXPECT_FALSE(files.Find("", attr::AnyFile).completed);
}

TEST_F(FileSystemContract, AttributeMaskLeavesOutHiddenSystemAndFolderEntries) {
    for (const char* name : {"hidden", "plain", "readonly", "system"}) Write(name);
    ASSERT_TRUE(files.CreateDirectory(Path("dir")));
    ASSERT_TRUE(files.SetAttributes(Path("hidden"), attr::Hidden));
    ASSERT_TRUE(files.SetAttributes(Path("readonly"), attr::ReadOnly));
    ASSERT_TRUE(files.SetAttributes(Path("system"), attr::System));
    EXPECT_EQ(Found("*", 0), (Names{"plain", "readonly"}));
    EXPECT_EQ(Found("*", attr::Hidden), (Names{"hidden", "plain", "readonly"}));
    EXPECT_EQ(Found("*", attr::Directory), (Names{".", "..", "dir", "plain", "readonly"}));
    EXPECT_EQ(Found("*").size(), 7u);
}

TEST_F(FileSystemContract, AttributesAreKeptAndNamesIgnoreCase) {
    Write("file");
    ASSERT_TRUE(files.CreateDirectory(Path("Sub")));
    ASSERT_TRUE(files.SetAttributes(Path("FILE"), attr::Hidden | attr::ReadOnly));
    const auto hidden = files.GetAttributes(Path("file"));
    ASSERT_TRUE(hidden);
    EXPECT_EQ(*hidden & (attr::Hidden | attr::ReadOnly | attr::Directory),
              attr::Hidden | attr::ReadOnly);
    ASSERT_TRUE(files.SetAttributes(Path("file"), attr::Normal));
    EXPECT_EQ(*files.GetAttributes(Path("Sub\\..\\file")) & (attr::Hidden | attr::ReadOnly), 0u);

    EXPECT_NE(*files.GetAttributes(Path("sub\\")) & attr::Directory, 0u);
    EXPECT_FALSE(files.GetAttributes(Path("file\\")));
    EXPECT_FALSE(files.GetAttributes(Path("missing")));
    EXPECT_FALSE(files.GetAttributes(Path("missing\\file")));
    EXPECT_FALSE(files.SetAttributes(Path("missing"), attr::Hidden));
}

TEST_F(FileSystemContract, AFolderHasOneIdentityUnderEverySpellingAndKeepsItWhenRenamed) {
    ASSERT_TRUE(files.CreateDirectory(Path("dir")));
    ASSERT_TRUE(files.CreateDirectory(Path("other")));
    Write("dir\\file");
    const auto dir = files.IdentityOf(Path("dir"));
    ASSERT_TRUE(dir);
    EXPECT_EQ(files.IdentityOf(Path("DIR\\")), dir);
    EXPECT_EQ(files.IdentityOf(Path("other\\..\\dir")), dir);
    for (const std::string& different : {Path("other"), Path("dir\\file"), backend->ScratchFolder()})
        EXPECT_NE(files.IdentityOf(different), dir) << different;
    {
        // A file in use still tells what it is.
        const auto held = backend->HoldOpen(Path("dir\\file"));
        EXPECT_TRUE(files.IdentityOf(Path("dir\\file")));
    }
    ASSERT_TRUE(files.MoveFile(Path("dir"), Path("moved")));
    EXPECT_EQ(files.IdentityOf(Path("moved")), dir);
    EXPECT_FALSE(files.IdentityOf(Path("dir")));
    EXPECT_FALSE(files.IdentityOf(Path("missing\\dir")));
    EXPECT_FALSE(files.IdentityOf(""));
}

TEST_F(FileSystemContract, CopyOverwritesOnlyWhenAskedAndKeepsReadOnly) {
    Write("source", "new");
    Write("target", "old");
    ASSERT_TRUE(files.CreateDirectory(Path("dir")));
    EXPECT_FALSE(files.CopyFile(Path("source"), Path("target"), false));
    EXPECT_EQ(Read("target"), "old");
    EXPECT_TRUE(files.CopyFile(Path("source"), Path("target"), true));
    EXPECT_EQ(Read("target"), "new");
    EXPECT_EQ(Read("source"), "new");

    ASSERT_TRUE(files.SetAttributes(Path("source"), attr::ReadOnly));
    ASSERT_TRUE(files.CopyFile(Path("source"), Path("dir\\copy"), false));
    EXPECT_NE(*files.GetAttributes(Path("dir\\copy")) & attr::ReadOnly, 0u);

    EXPECT_FALSE(files.CopyFile(Path("missing"), Path("x"), true));
    EXPECT_FALSE(files.CopyFile(Path("dir"), Path("x"), true));
    EXPECT_FALSE(files.CopyFile(Path("source"), Path("missing\\x"), true));
    EXPECT_FALSE(files.CopyFile(Path("source"), Path("dir"), true));
    EXPECT_FALSE(files.CopyFile(Path("target"), Path("target"), true));
    EXPECT_EQ(Read("target"), "new");
}

TEST_F(FileSystemContract, MoveNeverOverwritesAndTakesFoldersWithTheirContents) {
    Write("a", "A");
    Write("b", "B");
    ASSERT_TRUE(files.CreateDirectory(Path("dir")));
    Write("dir\\inner", "I");
    EXPECT_FALSE(files.MoveFile(Path("a"), Path("b")));
    EXPECT_EQ(Read("a") + Read("b"), "AB");
    EXPECT_FALSE(files.MoveFile(Path("a"), Path("missing\\a")));
    EXPECT_FALSE(files.MoveFile(Path("missing"), Path("c")));
    EXPECT_FALSE(files.MoveFile(Path("dir"), Path("dir\\self")));

    ASSERT_TRUE(files.SetAttributes(Path("a"), attr::ReadOnly));
    EXPECT_TRUE(files.MoveFile(Path("a"), Path("dir\\a")));
    EXPECT_TRUE(files.MoveFile(Path("dir"), Path("moved")));
    EXPECT_FALSE(Exists("a") || Exists("dir"));
    EXPECT_EQ(Read("moved\\a") + Read("moved\\inner"), "AI");
}

TEST_F(FileSystemContract, DeleteRemovesPlainFilesOnly) {
    Write("plain");
    Write("readonly");
    ASSERT_TRUE(files.SetAttributes(Path("readonly"), attr::ReadOnly));
    ASSERT_TRUE(files.CreateDirectory(Path("dir")));
    EXPECT_TRUE(files.DeleteFile(Path("plain")));
    EXPECT_FALSE(Exists("plain"));
    EXPECT_FALSE(files.DeleteFile(Path("plain")));
    EXPECT_FALSE(files.DeleteFile(Path("readonly")));
    EXPECT_FALSE(files.DeleteFile(Path("dir")));
    EXPECT_TRUE(Exists("readonly") && Exists("dir"));
}

TEST_F(FileSystemContract, FoldersAreCreatedBelowExistingOnesAndRemovedWhenEmpty) {
    Write("file");
    EXPECT_TRUE(files.CreateDirectory(Path("dir\\")));
    EXPECT_FALSE(files.CreateDirectory(Path("dir")));
    EXPECT_FALSE(files.CreateDirectory(Path("file")));
    EXPECT_FALSE(files.CreateDirectory(Path("missing\\dir")));
    EXPECT_FALSE(files.CreateDirectory(Path("file\\dir")));
    EXPECT_FALSE(files.CreateDirectory(Path("bad|name")));

    Write("dir\\inner");
    EXPECT_FALSE(files.RemoveDirectory(Path("dir")));
    EXPECT_FALSE(files.RemoveDirectory(Path("file")));
    EXPECT_FALSE(files.RemoveDirectory(Path("missing")));
    ASSERT_TRUE(files.DeleteFile(Path("dir\\inner")));
    EXPECT_TRUE(files.RemoveDirectory(Path("dir")));
    EXPECT_FALSE(Exists("dir"));
}

TEST_F(FileSystemContract, WholeFilesRoundTripAndFailedWritesRaise) {
    std::string bytes("zero\0cr\r\nhigh\xE4\xFF", 15);
    bytes += std::string(70000, 'q');
    Write("data", bytes);
    EXPECT_EQ(Read("data"), bytes);
    Write("data", "short");
    EXPECT_EQ(Read("data"), "short");
    Write("empty", "");
    EXPECT_EQ(Read("empty"), "");

    Write("hidden", "one");
    ASSERT_TRUE(files.SetAttributes(Path("hidden"), attr::Hidden));
    Write("hidden", "two");
    EXPECT_EQ(Read("hidden"), "two");
    EXPECT_NE(*files.GetAttributes(Path("hidden")) & attr::Hidden, 0u);

    ASSERT_TRUE(files.CreateDirectory(Path("dir")));
    EXPECT_FALSE(files.ReadFile(Path("missing")));
    EXPECT_FALSE(files.ReadFile(Path("dir")));
    for (const char* unreadable : {"missing", "dir", "missing\\file"}) {
        try {
            files.ReadWholeFile(Path(unreadable));
            ADD_FAILURE() << "read " << unreadable;
        } catch (const FileError& error) {
            const std::string text = error.what();
            EXPECT_NE(text.find("Cannot open file " + Path(unreadable) + ": "), std::string::npos) << text;
            EXPECT_GT(text.size(), ("Cannot open file " + Path(unreadable) + ": ").size() + 10) << text;
        }
    }
    EXPECT_THROW(Write("dir"), FileError);
    try {
        Write("missing\\file");
        ADD_FAILURE() << "a write into a missing folder succeeded";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("write"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(Path("missing\\file")), std::string::npos);
    }
}

TEST_F(FileSystemContract, FileHeldByAnotherProgramCannotBeTouched) {
    Write("held", "kept");
    Write("other", "other");
    {
        const auto held = backend->HoldOpen(Path("held"));
        EXPECT_FALSE(files.DeleteFile(Path("held")));
        EXPECT_FALSE(files.MoveFile(Path("held"), Path("moved")));
        EXPECT_FALSE(files.CopyFile(Path("held"), Path("copy"), false));
        EXPECT_FALSE(files.CopyFile(Path("other"), Path("held"), true));
        EXPECT_FALSE(files.ReadFile(Path("held")));
        EXPECT_THROW(Write("held", "lost"), FileError);
        EXPECT_TRUE(files.SetAttributes(Path("held"), attr::Hidden));
        EXPECT_EQ(Found("h*"), Names{"held"});
    }
    EXPECT_EQ(Read("held"), "kept");
    EXPECT_TRUE(files.DeleteFile(Path("held")));
}

TEST_F(FileSystemContract, RecycleTakesAFolderOrItsContents) {
    for (const char* folder : {"full", "full\\sub", "whole", "whole\\sub"})
        ASSERT_TRUE(files.CreateDirectory(Path(folder)));
    for (const char* file : {"full\\a", "full\\sub\\b", "whole\\c", "whole\\sub\\d"}) Write(file);
    ASSERT_TRUE(files.SetAttributes(Path("full\\a"), attr::Hidden | attr::ReadOnly));

    EXPECT_TRUE(files.Recycle(Path("full\\*.*")));
    EXPECT_EQ(Found("full\\*"), (Names{".", ".."}));
    EXPECT_TRUE(files.Recycle(Path("whole")));
    EXPECT_FALSE(Exists("whole"));
    EXPECT_FALSE(files.Recycle(Path("whole")));

    Write("full\\held");
    const auto held = backend->HoldOpen(Path("full\\held"));
    EXPECT_FALSE(files.Recycle(Path("full\\*.*")));
    EXPECT_TRUE(Exists("full\\held"));
}

}  // namespace
