// Geometry at other display scales: the scaling itself, where the window goes on a small screen,
// and the bar, header, watermark and pictures laid out at 120, 144 and 192 DPI.

#include <gtest/gtest.h>

#include "wizard/display_scale.h"
#include "wizard/tests/testing/fake_views.h"
#include "wizard/tests/testing/raster_canvas.h"
#include "wizard/wizard.h"

namespace wizard {
namespace {

using testing::BlockGraphic;
using testing::BlockImageList;
using testing::FakePageView;
using testing::FakeWizardView;
using testing::RasterCanvas;

const Color kPicture = Color::Rgb(200, 0, 0);
const Color kWindow = Color::System(SystemColor::Window);

TEST(ScaleLength, RoundsAsMulDivDoesAndLeaves96DpiAlone) {
    for (int length : {-466, -11, -1, 0, 1, 7, 42, 75, 548})
        EXPECT_EQ(ScaleLength(length, 96), length);
    EXPECT_EQ(ScaleLength(75, 120), 94);   // 93.75
    EXPECT_EQ(ScaleLength(25, 120), 31);   // 31.25
    EXPECT_EQ(ScaleLength(42, 120), 53);   // 52.5: halves away from zero
    EXPECT_EQ(ScaleLength(75, 144), 113);  // 112.5
    EXPECT_EQ(ScaleLength(1, 144), 2);     // 1.5
    EXPECT_EQ(ScaleLength(-1, 144), -2);
    EXPECT_EQ(ScaleLength(-11, 120), -14);  // -13.75
    EXPECT_EQ(ScaleLength(540, 192), 1080);
    EXPECT_EQ(ScaleLength(1 << 24, 192), 1 << 25) << "no overflow on the way";
}

TEST(ScaleRect, ScalesEachEdgeSoThatNeighboursStillTouch) {
    EXPECT_EQ(ScaleRect({8, 400, 83, 425}, 96), (Rect{8, 400, 83, 425}));
    // Two controls side by side at 96 DPI share the edge 83 at every scale.
    for (int dpi : {120, 144, 192}) {
        const Rect left = ScaleRect({8, 0, 83, 25}, dpi), right = ScaleRect({83, 0, 158, 25}, dpi);
        EXPECT_EQ(left.right, right.left) << dpi;
    }
    // An odd size: 17 pixels at 120 DPI are 21.25, and the edges decide it.
    EXPECT_EQ(ScaleRect({0, 84, 160, 101}, 120), (Rect{0, 105, 200, 126}));
    EXPECT_EQ(ScaleSize({16, 16}, 144), (Size{24, 24}));
}

TEST(DesignLengthFor, GivesTheSmallestLengthWhoseScaleHoldsThePixels) {
    for (int dpi : {96, 120, 144, 192})
        for (int pixels = 1; pixels < 400; ++pixels) {
            const int length = DesignLengthFor(pixels, dpi);
            ASSERT_GE(ScaleLength(length, dpi), pixels) << dpi << " " << pixels;
            ASSERT_LT(ScaleLength(length - 1, dpi), pixels) << dpi << " " << pixels;
        }
    EXPECT_EQ(DesignLengthFor(0, 144), 0);
}

TEST(PlaceOnScreen, CentresAWindowThatFitsAndKeepsTheCaptionOfOneThatDoesNot) {
    const Rect screen{0, 0, 1024, 768};
    EXPECT_EQ(PlaceOnScreen({548, 466}, screen, {0, 0, 1024, 738}), (Point{238, 151}));
    // 192 DPI on the same screen: larger than the work area, so its top left corner stays in it.
    EXPECT_EQ(PlaceOnScreen({1096, 932}, screen, {0, 0, 1024, 738}), (Point{0, 0}));
    EXPECT_EQ(PlaceOnScreen({1096, 932}, screen, {60, 30, 1024, 768}), (Point{60, 30}))
        << "a task bar at the top or the left";
    // Taller only: centred across, moved up to the work area's top.
    EXPECT_EQ(PlaceOnScreen({822, 700}, screen, {0, 0, 1024, 738}), (Point{101, 34}));
    EXPECT_EQ(PlaceOnScreen({822, 760}, screen, {0, 0, 1024, 738}), (Point{101, 0}));
}

TEST(DisplayDpiOverride, GivesTheOldDpiBackAndTakesNoneBelowOne) {
    ASSERT_EQ(DisplayDpi(), 96);
    {
        DisplayDpiOverride large(144);
        EXPECT_EQ(Scaled(10), 15);
        EXPECT_EQ(Scaled(Rect{0, 0, 2, 2}), (Rect{0, 0, 3, 3}));
        SetDisplayDpi(0);
        EXPECT_EQ(DisplayDpi(), 96);
    }
    EXPECT_EQ(DisplayDpi(), 96);
}

// The bar at 144 DPI, in a wizard of 810 × 648 pixels (540 × 432 scaled).
TEST(ScaledButtonBar, ButtonsGapsAndBarGrowByTheScaleAndKeepTheirWidths) {
    DisplayDpiOverride dpi(144);
    FakeWizardView host;
    host.client = {0, 0, 810, 648};
    TWizard wizard{host};
    FakePageView view{host, "page"};
    TWizardInteriorPage page{view};
    page.SetOwnerWizard(&wizard);
    wizard.Loaded();

    // The bar is 63 pixels (42); buttons start 15 (10) below its top and are 38 (25) high.
    EXPECT_EQ(host.Fake(bkCancel).bounds, (Rect{685, 600, 798, 638}));
    EXPECT_EQ(host.Fake(bkNext).bounds, (Rect{557, 600, 670, 638})) << "15 (10) pixels before Cancel";
    EXPECT_EQ(host.Fake(bkBack).bounds, (Rect{441, 600, 554, 638})) << "3 (2) before Next";
    EXPECT_EQ(wizard.PageArea(), (Rect{0, 0, 810, 585}));
    EXPECT_EQ(wizard.ButtonNext().Width(), 75) << "the width stays at 96 DPI";

    // Arranged again, nothing grows: the bounds do not feed back into the widths.
    wizard.ArrangeButtons();
    wizard.ArrangeButtons();
    EXPECT_EQ(host.Fake(bkCancel).bounds, (Rect{685, 600, 798, 638}));
    wizard.ButtonNext().SetWidth(100);
    EXPECT_EQ(host.Fake(bkNext).bounds, (Rect{520, 600, 670, 638}));
}

class ScaledPage : public ::testing::TestWithParam<int> {
protected:
    DisplayDpiOverride dpi{GetParam()};
    FakeWizardView host;
    TWizard wizard{host};
    FakePageView welcomeView{host, "welcome"};
    FakePageView interiorView{host, "interior"};
    TWizardWelcomePage welcome{welcomeView};
    TWizardInteriorPage interior{interiorView};

    void SetUp() override {
        const Rect client = Scaled(Rect{0, 0, 540, 390});
        welcomeView.client = interiorView.client = client;
        welcome.SetOwnerWizard(&wizard);
        interior.SetOwnerWizard(&wizard);
    }
    int S(int length) const { return ScaleLength(length, GetParam()); }
};

TEST_P(ScaledPage, TheHeaderBandTitlesAndImageTakeTheirScaledPlaces) {
    RasterCanvas canvas{S(540), S(390)};
    wizard.SetHeaderImages(std::make_shared<BlockImageList>(1, Size{32, 32}));
    interior.Header().SetImageIndex(0);
    interior.Title().SetText("Destination");
    interior.Subtitle().SetText("Where should the files go?");
    interior.Paint(canvas);

    EXPECT_EQ(interior.ChildArea().top, S(70));
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].rect.TopLeft(), (Point{S(4), S(4)}));
    // The image: 32 pixels scaled, S(4) from the right edge, centred in the band, and drawn whole.
    const int image = S(32), imageLeft = S(540) - S(4) - image, imageTop = (S(70) - image) / 2;
    EXPECT_EQ(canvas.texts[0].rect.right, imageLeft - S(4)) << "the title ends before the image";
    EXPECT_EQ(canvas.At(imageLeft, imageTop), testing::kImageListColor);
    EXPECT_EQ(canvas.At(imageLeft + image - 1, imageTop + image - 1), testing::kImageListColor);
    EXPECT_EQ(canvas.At(imageLeft + image, imageTop + image - 1), kWindow);
}

TEST_P(ScaledPage, AHeaderFittedToItsTextsPlacesTheControlsBelowThem) {
    RasterCanvas canvas{S(540), S(390)};
    std::string words;
    for (int i = 0; i < 300; ++i) words += "word ";  // more lines than the band holds at any scale
    interior.Subtitle().SetText(words);
    // What the texts need, in pixels, before the band is fitted to it.
    const int needed = interior.Header().NeededHeight(canvas, {0, 0, S(540), 0});
    EXPECT_GT(needed, S(70));
    interior.Header().FitTexts(canvas);
    EXPECT_GE(interior.ChildArea().top, needed) << "no control over the subtitle";
    EXPECT_LE(interior.ChildArea().top, needed + 1) << "and no more room than rounding takes";
    EXPECT_EQ(interior.Header().Height(), DesignLengthFor(interior.ChildArea().top, GetParam()))
        << "the height is kept at 96 DPI";
}

TEST_P(ScaledPage, TheWatermarkBandAndItsPictureFillTheirScaledPlace) {
    RasterCanvas canvas{S(540), S(390)};
    welcome.WaterMark().Image().SetPicture(std::make_shared<BlockGraphic>(Size{164, 314}, kPicture));
    welcome.Paint(canvas);
    const int band = S(164), border = S(1);
    EXPECT_EQ(welcome.ChildArea(), (Rect{band, S(70), S(540), S(390)}));
    ASSERT_EQ(canvas.stretched.size(), 1u);
    EXPECT_EQ(canvas.stretched[0], (Rect{border, border, band - border, S(390) - border}));
    EXPECT_EQ(canvas.texts.at(0).rect.left, band + S(4));
}

TEST_P(ScaledPage, APictureLeftAtItsSizeIsDrawnAtItsScaledSize) {
    RasterCanvas canvas{S(540), S(390)};
    welcome.WaterMark().SetVisible(false);
    welcome.Image().SetPicture(std::make_shared<BlockGraphic>(Size{50, 40}, kPicture));
    welcome.Image().SetAlignment(iaLeft);
    welcome.Image().SetLayout(ilTop);
    welcome.Paint(canvas);
    const Rect expected{0, S(70), S(50), S(70) + S(40)};
    if (GetParam() == 96) {
        EXPECT_TRUE(canvas.stretched.empty()) << "drawn as it is";
    } else {
        ASSERT_EQ(canvas.stretched.size(), 1u);
        EXPECT_EQ(canvas.stretched[0], expected);
    }
    EXPECT_EQ(canvas.At(expected.right - 1, expected.bottom - 1), kPicture);
    EXPECT_EQ(canvas.At(expected.right, expected.top), kWindow);
}

INSTANTIATE_TEST_SUITE_P(AtEachScale, ScaledPage, ::testing::Values(96, 120, 144, 192));

}  // namespace
}  // namespace wizard
