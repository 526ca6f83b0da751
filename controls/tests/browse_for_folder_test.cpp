// TBrowseForFolderDialog's portable side: special folders and their fallbacks, the root folder
// properties, the events' defaults and the status line.

#include <gtest/gtest.h>

#include <map>

#include "controls/browse_for_folder.h"

namespace controls {
namespace {

using Source = RootFolderSource;

TEST(SpecialFolders, ServedRowsUseTheShellFolderOfTheSameName) {
    EXPECT_EQ(ResolveSpecialFolder(fdRecycleBin, 0x40000, false), (Source{Source::ShellFolder, 0x0A}));
    EXPECT_EQ(ResolveSpecialFolder(fdControlPanel, 0x40000, false), (Source{Source::ShellFolder, 0x03}));
    EXPECT_EQ(ResolveSpecialFolder(fdMyComputer, 0x40000, false), (Source{Source::ShellFolder, 0x11}));
    EXPECT_EQ(ResolveSpecialFolder(fdNetwork, 0x40000, false), (Source{Source::ShellFolder, 0x12}));
    EXPECT_EQ(ResolveSpecialFolder(fdDesktop, 0x40000, false), (Source{Source::ShellFolder, 0}));
    EXPECT_EQ(ResolveSpecialFolder(fdRootFolder, 0x40000, false), (Source{Source::ShellFolder, 0}));
    EXPECT_EQ(ResolveSpecialFolder(fdCDBurnArea, 0x60000, true), (Source{Source::ShellFolder, 0x3B}));
    EXPECT_EQ(ResolveSpecialFolder(fdNoSpecialFolder, 0x60000, true).kind, Source::Desktop);
}

TEST(SpecialFolders, UnservedRowsFallBackOrAskForTheirPath) {
    // Below version 6 the personal media folders give way to the personal folder.
    EXPECT_EQ(ResolveSpecialFolder(fdMyVideo, 0x50000, true), (Source{Source::ShellFolder, 0x05}));
    EXPECT_EQ(ResolveSpecialFolder(fdMyDocuments, 0x50000, true), (Source{Source::ShellFolder, 0x05}));
    EXPECT_EQ(ResolveSpecialFolder(fdMyPictures, 0x40071, true), (Source{Source::ShellFolder, 0x05}));
    EXPECT_EQ(ResolveSpecialFolder(fdMyPictures, 0x50000, true), (Source{Source::ShellFolder, 0x27}));
    // The common media folders give way to the common documents, which only the path service names
    // on a version 4 shell.
    EXPECT_EQ(ResolveSpecialFolder(fdCommonMusic, 0x50000, true), (Source{Source::ShellFolder, 0x2E}));
    EXPECT_EQ(ResolveSpecialFolder(fdCommonPictures, 0x40072, true), (Source{Source::FolderPath, 0x2E}));
    // A row the path service can name keeps its own number rather than falling back.
    EXPECT_EQ(ResolveSpecialFolder(fdAppData, 0x40000, false), (Source{Source::FolderPath, 0x1A}));
    EXPECT_EQ(ResolveSpecialFolder(fdAppData, 0x40071, false), (Source{Source::ShellFolder, 0x1A}));
    // Folders of the NT family only are unserved elsewhere, whatever the version.
    EXPECT_EQ(ResolveSpecialFolder(fdCommonPrograms, 0x60000, false), (Source{Source::FolderPath, 0x17}));
    EXPECT_EQ(ResolveSpecialFolder(fdCommonPrograms, 0x40000, true), (Source{Source::ShellFolder, 0x17}));
}

TEST(SpecialFolders, EveryRowIsDistinctAndFallsBackToAServedRow) {
    std::map<int, int> seen;
    for (int i = fdDesktop + 1; i < kFromDirectoryCount; ++i) {
        const SpecialFolderRow& row = SpecialFolder(static_cast<TFromDirectory>(i));
        EXPECT_EQ(seen[row.csidl]++, 0) << "row " << i << " repeats folder number " << row.csidl;
        if (row.fallback != fdNoSpecialFolder) {
            EXPECT_LT(SpecialFolder(row.fallback).minShell, row.minShell) << "row " << i;
        }
    }
}

class RootDirectory : public ::testing::Test {
protected:
    std::map<TFromDirectory, std::string> paths{{fdWindows, "C:\\Windows"}, {fdProgramFiles, "C:\\Program Files"}};
    TBrowseForFolder dialog{[this](TFromDirectory folder) { return paths[folder]; }};
};

TEST_F(RootDirectory, ASpecialFolderReadsAsItsPathAndLeavingItKeepsThePath) {
    EXPECT_EQ(dialog.RootDirectory(), fdNoSpecialFolder);
    EXPECT_FALSE(dialog.RootDirectoryPathStored()) << "an empty path is not kept";
    dialog.SetRootDirectory(fdWindows);
    EXPECT_EQ(dialog.RootDirectoryPath(), "C:\\Windows");
    EXPECT_FALSE(dialog.RootDirectoryPathStored());
    dialog.SetRootDirectory(fdProgramFiles);
    dialog.SetRootDirectory(fdNoSpecialFolder);
    EXPECT_EQ(dialog.RootDirectoryPath(), "C:\\Program Files");
    EXPECT_TRUE(dialog.RootDirectoryPathStored());
}

TEST_F(RootDirectory, WritingAPathLeavesTheSpecialFolder) {
    dialog.SetRootDirectory(fdWindows);
    dialog.SetRootDirectoryPath("D:\\Work");
    EXPECT_EQ(dialog.RootDirectory(), fdNoSpecialFolder);
    EXPECT_EQ(dialog.RootDirectoryPath(), "D:\\Work");
    dialog.SetRootDirectory(fdNoSpecialFolder);
    EXPECT_EQ(dialog.RootDirectoryPath(), "D:\\Work") << "no change, nothing replaced";
}

TEST(BrowseForFolderEvents, EachQuestionDefaultsToYesAndTheEventsMayRefuse) {
    TBrowseForFolder dialog{[](TFromDirectory) { return std::string(); }};
    EXPECT_TRUE(dialog.AcceptsFolder("C:\\"));
    EXPECT_TRUE(dialog.ShowsItem("C:\\a"));
    EXPECT_TRUE(dialog.MayCloseAfterFailedValidation("bad"));
    EXPECT_EQ(dialog.EnumFlagsFor("C:\\", {ocFolders}), TObjectClasses{ocFolders});
    EXPECT_FALSE(dialog.FiltersItems());

    std::string accepted, shown, typed, listed;
    dialog.OnAcceptChange = [&](TBrowseForFolder&, const std::string& f, bool& accept) { accepted = f, accept = false; };
    dialog.OnShouldShow = [&](TBrowseForFolder&, const std::string& item, bool& show) { shown = item, show = false; };
    dialog.OnValidateFailed = [&](TBrowseForFolder&, const std::string& text, bool& close) { typed = text, close = false; };
    dialog.OnGetEnumFlags = [&](TBrowseForFolder&, const std::string& folder, TObjectClasses& classes) {
        listed = folder;
        classes = classes.With(ocNonFolders);
    };
    EXPECT_FALSE(dialog.AcceptsFolder("C:\\x"));
    EXPECT_FALSE(dialog.ShowsItem("C:\\y"));
    EXPECT_FALSE(dialog.MayCloseAfterFailedValidation("z?"));
    EXPECT_EQ(dialog.EnumFlagsFor("C:\\w", {ocFolders}), (TObjectClasses{ocFolders, ocNonFolders}));
    EXPECT_EQ(accepted + shown + typed + listed, "C:\\xC:\\yz?C:\\w");
    EXPECT_TRUE(dialog.FiltersItems());
}

TEST(BrowseForFolderStatus, OnlyTheOldStyleHasAStatusLineWithTheFixedTextOrTheShortenedPath) {
    TBrowseForFolder dialog{[](TFromDirectory) { return std::string(); }};
    EXPECT_EQ(dialog.StatusLineFor({odStatusAvailable, odNewDialogStyle}, "C:\\x", 300, 10), std::nullopt);
    EXPECT_EQ(dialog.StatusLineFor({odEditBox}, "C:\\x", 300, 10), std::nullopt);
    const auto path = dialog.StatusLineFor({odStatusAvailable}, "C:\\x", 300, 10);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->text, "C:\\x");
    EXPECT_EQ(path->shortenToWidth, 300 - 20 - 8);
    dialog.StatusText = "Fixed";
    const auto fixed = dialog.StatusLineFor({odStatusAvailable}, "C:\\x", 300, 10);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->text, "Fixed");
    EXPECT_EQ(fixed->shortenToWidth, 0);
}

TEST(BrowseForFolderOptions, WritingOptionsAppliesTheirDependencies) {
    TBrowseForFolder dialog{[](TFromDirectory) { return std::string(); }};
    EXPECT_EQ(dialog.Options(), kDefaultBrowseOptions);
    dialog.SetOptions({odValidate});
    EXPECT_EQ(dialog.Options(), (TBrowseOptions{odEditBox, odValidate}));
}

}  // namespace
}  // namespace controls
