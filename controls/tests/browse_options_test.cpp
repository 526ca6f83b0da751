// Option dependencies, old-shell limits, title, returned folder text and positions.

#include <gtest/gtest.h>

#include "controls/browse_options.h"

namespace controls {
namespace {

TEST(BrowseOptions, ValidateOverTheDefaultsBringsTheEditBox) {
    EXPECT_EQ(ApplyOptionDependencies(kDefaultBrowseOptions, {odValidate}), (TBrowseOptions{odEditBox, odValidate}));
}

TEST(BrowseOptions, DependentOptionsFollowWhatWasAddedOrRemoved) {
    EXPECT_EQ(ApplyOptionDependencies({}, {odIncludeUrls}),
              (TBrowseOptions{odIncludeUrls, odIncludeFiles, odEditBox, odNewDialogStyle}));
    EXPECT_EQ(ApplyOptionDependencies({odEditBox}, {odEditBox, odUsageHint}),
              (TBrowseOptions{odUsageHint, odNewDialogStyle}))
        << "the usage hint replaces the edit box";
    EXPECT_EQ(ApplyOptionDependencies({odUsageHint, odNewDialogStyle}, {odUsageHint, odNewDialogStyle, odEditBox}),
              (TBrowseOptions{odEditBox, odNewDialogStyle}))
        << "and the edit box replaces the usage hint";
    const TBrowseOptions urls{odIncludeUrls, odIncludeFiles, odEditBox, odNewDialogStyle, odValidate};
    EXPECT_EQ(ApplyOptionDependencies(urls, urls.Without(odEditBox)), (TBrowseOptions{odIncludeFiles, odNewDialogStyle}));
    EXPECT_EQ(ApplyOptionDependencies(urls, urls.Without(odIncludeFiles)),
              (TBrowseOptions{odEditBox, odNewDialogStyle, odValidate}));
    EXPECT_EQ(ApplyOptionDependencies({odShareable, odNewDialogStyle}, {odShareable}), TBrowseOptions{});
    EXPECT_EQ(ApplyOptionDependencies({}, {odShareable}), (TBrowseOptions{odShareable, odNewDialogStyle}));
}

TEST(BrowseOptions, OldShellsLoseWhatTheyCannotDo) {
    const TBrowseOptions all{odUsageHint, odNoNewButtonFolder, odIncludeUrls, odNewDialogStyle, odShareable,
                             odIncludeFiles, odEditBox, odValidate, odStatusAvailable};
    EXPECT_EQ(EffectiveOptions(all, 0x60000), all);
    EXPECT_EQ(EffectiveOptions(all, 0x50000),
              (TBrowseOptions{odIncludeUrls, odNewDialogStyle, odShareable, odIncludeFiles, odEditBox, odValidate,
                              odStatusAvailable}));
    EXPECT_EQ(EffectiveOptions(all, 0x40071), (TBrowseOptions{odIncludeFiles, odEditBox, odValidate, odStatusAvailable}));
    EXPECT_EQ(EffectiveOptions(all, 0x40070), TBrowseOptions{odStatusAvailable});
}

TEST(BrowseOptions, TheStatusGoesIntoTheTitleOnlyInTheNewStyle) {
    EXPECT_EQ(BrowseTitle("Choose", "Status", true), "Status\rChoose");
    EXPECT_EQ(BrowseTitle("", "Status", true), "Status");
    EXPECT_EQ(BrowseTitle("Choose", "Status", false), "Choose");
    EXPECT_EQ(BrowseTitle("Choose", "", true), "Choose");
}

TEST(FolderBrowse, ChosenPathsLoseOneTrailingBackslash) {
    EXPECT_EQ(FolderNameFromPath("C:\\"), "C:");
    EXPECT_EQ(FolderNameFromPath("C:\\Program Files\\Quorvex"), "C:\\Program Files\\Quorvex");
    EXPECT_EQ(FolderNameFromPath("\\\\server\\share\\\\"), "\\\\server\\share\\");
    EXPECT_EQ(FolderNameFromPath(""), "");
    EXPECT_EQ(CenterOnScreen({1024, 768}, {301, 400}), (Point{361, 184}));
}

TEST(FolderBrowse, PositionsFollowTheWorkAreaAndTheFrame) {
    const Rect work{0, 0, 1024, 740};
    const Size dialog{300, 400};
    const Rect owner{100, 100, 640, 532};
    const FrameMetrics m{3, 3, 19};
    EXPECT_EQ(FolderDialogPosition(fpDefault, work, dialog, owner, m), std::nullopt);
    EXPECT_EQ(FolderDialogPosition(fpScreenCenter, work, dialog, owner, m), (Point{362, 170}));
    EXPECT_EQ(FolderDialogPosition(fpFormCenter, work, dialog, owner, m), (Point{220, 116}));
    EXPECT_EQ(FolderDialogPosition(fpTopLeft, work, dialog, owner, m), (Point{0, 0}));
    EXPECT_EQ(FolderDialogPosition(fpTopRight, work, dialog, owner, m), (Point{721, 0}));
    EXPECT_EQ(FolderDialogPosition(fpBottomLeft, work, dialog, owner, m), (Point{0, 324}));
    EXPECT_EQ(FolderDialogPosition(fpBottomRight, work, dialog, owner, m), (Point{721, 318}));
}

}  // namespace
}  // namespace controls
