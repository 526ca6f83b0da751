// The button bar: the glyph proxy, hiding, the exact geometry and the Enter button.

#include <gtest/gtest.h>

#include "wizard/tests/testing/fake_views.h"
#include "wizard/tests/testing/raster_canvas.h"
#include "wizard/wizard.h"

namespace wizard {
namespace {

using testing::FakePageView;
using testing::FakeWizardView;

class ButtonBar : public ::testing::Test {
protected:
    FakeWizardView host;
    TWizard wizard{host};
    FakePageView view{host, "page"};
    TWizardInteriorPage page{view};

    void SetUp() override {
        page.SetOwnerWizard(&wizard);
        wizard.Loaded();
    }
    const Rect& At(TWizardButtonKind kind) { return host.Fake(kind).bounds; }
};

TEST_F(ButtonBar, TheProxyForwardsTheGlyphItsImageCountAndLayout) {
    TWizardNavigateButton& next = wizard.ButtonNext();
    EXPECT_EQ(next.Glyph(), nullptr);
    EXPECT_EQ(next.NumGlyphs(), 1);
    EXPECT_EQ(next.Layout(), blGlyphLeft);

    const auto arrow = std::make_shared<testing::BlockGraphic>(Size{32, 16}, Color::Rgb(0, 0, 255));
    next.SetGlyph(arrow);
    next.SetNumGlyphs(2);
    next.SetLayout(blGlyphRight);
    EXPECT_EQ(next.Glyph(), arrow);
    EXPECT_EQ(host.Fake(bkNext).glyph, arrow.get());
    EXPECT_EQ(host.Fake(bkNext).numGlyphs, 2);
    EXPECT_EQ(host.Fake(bkNext).layout, blGlyphRight);
    EXPECT_EQ(host.Fake(bkBack).glyph, nullptr) << "only the Next button";

    next.SetNumGlyphs(0);
    EXPECT_EQ(next.NumGlyphs(), 2) << "a bitmap holds at least one image";
    next.SetGlyph(nullptr);
    EXPECT_EQ(host.Fake(bkNext).glyph, nullptr);

    TWizardNavigateButton detached;
    detached.SetGlyph(arrow);
    detached.SetNumGlyphs(3);
    detached.SetLayout(blGlyphTop);
    EXPECT_EQ(detached.Glyph(), nullptr);
    EXPECT_EQ(detached.NumGlyphs(), 0);
    EXPECT_EQ(detached.Layout(), blGlyphLeft);
}

TEST_F(ButtonBar, TheWorkedExampleComesOutToThePixel) {
    EXPECT_EQ(At(bkCancel), (Rect{457, 400, 532, 425}));
    EXPECT_EQ(At(bkNext), (Rect{372, 400, 447, 425}));
    EXPECT_EQ(At(bkBack), (Rect{295, 400, 370, 425}));
    EXPECT_EQ(wizard.PageArea(), (Rect{0, 0, 540, 390}));

    page.SetVisibleButtons({bkFinish, bkCancel});
    EXPECT_EQ(At(bkFinish), (Rect{372, 400, 447, 425}));
    EXPECT_EQ(At(bkCancel), (Rect{457, 400, 532, 425}));
}

TEST_F(ButtonBar, AWiderNextButtonPushesBackLeftAndLeavesCancel) {
    wizard.ButtonNext().SetWidth(100);
    EXPECT_EQ(At(bkNext), (Rect{347, 400, 447, 425}));
    EXPECT_EQ(At(bkBack), (Rect{270, 400, 345, 425}));
    EXPECT_EQ(At(bkCancel), (Rect{457, 400, 532, 425}));
}

TEST_F(ButtonBar, NextAndFinishTogetherMoveTheWideGap) {
    page.SetVisibleButtons({bkBack, bkNext, bkFinish, bkCancel});
    EXPECT_EQ(At(bkCancel), (Rect{457, 400, 532, 425}));
    EXPECT_EQ(At(bkFinish), (Rect{381, 400, 456, 425}));
    EXPECT_EQ(At(bkNext), (Rect{296, 400, 371, 425}));
    EXPECT_EQ(At(bkBack), (Rect{219, 400, 294, 425}));
}

TEST_F(ButtonBar, TheLeftGroupStartsWithHelp) {
    page.SetVisibleButtons({bkHelp, bkStart, bkLast, bkCancel});
    EXPECT_EQ(At(bkHelp), (Rect{8, 400, 83, 425}));
    EXPECT_EQ(At(bkStart), (Rect{93, 400, 178, 425}));
    EXPECT_EQ(At(bkLast), (Rect{179, 400, 264, 425}));
    page.SetVisibleButtons({bkLast, bkCancel});
    EXPECT_EQ(At(bkLast), (Rect{8, 400, 93, 425}));
}

TEST_F(ButtonBar, ALowBarCollapsesEveryButtonAndGivesThePagesTheWholeWizard) {
    wizard.SetButtonBarHeight(20);
    for (int i = 0; i < kButtonKindCount; ++i) {
        const auto kind = static_cast<TWizardButtonKind>(i);
        EXPECT_EQ(At(kind), (Rect{0, 0, wizard.Button(kind).Width(), 0}));
    }
    EXPECT_EQ(wizard.PageArea(), host.client);
}

TEST_F(ButtonBar, ResizingTheWizardKeepsTheBarAtTheBottomRight) {
    host.client = {0, 0, 640, 480};
    wizard.ArrangeButtons();
    EXPECT_EQ(At(bkCancel), (Rect{557, 448, 632, 473}));
}

TEST_F(ButtonBar, AutoHideOnlyActsAtTheNextSwitch) {
    wizard.SetAutoHideButtonBar(false);
    page.SetVisibleButtons({});
    EXPECT_EQ(wizard.ButtonBarHeight(), 42);
    wizard.SetAutoHideButtonBar(true);
    EXPECT_EQ(wizard.ButtonBarHeight(), 42);
    page.SetVisibleButtons({bkCancel});
    page.SetVisibleButtons({});
    EXPECT_EQ(wizard.ButtonBarHeight(), 0);
}

TEST_F(ButtonBar, NothingIsArrangedOrRefreshedWithoutAParent) {
    FakeWizardView orphanHost;
    orphanHost.hasParent = false;
    TWizard orphan{orphanHost};
    orphan.ArrangeButtons();
    orphan.RefreshButtonStates();
    EXPECT_EQ(orphanHost.Fake(bkCancel).bounds, (Rect{0, 0, 75, 25})) << "left as created";
    EXPECT_FALSE(orphanHost.Fake(bkFinish).visible);
}

}  // namespace
}  // namespace wizard
