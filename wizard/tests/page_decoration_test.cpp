// Page and wizard painting: etched edges, header layout, watermark, pictures, panel, tiling.

#include <gtest/gtest.h>

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

const Color kShadow = Color::System(SystemColor::ButtonShadow);
const Color kHighlight = Color::System(SystemColor::ButtonHighlight);
const Color kFace = Color::System(SystemColor::ButtonFace);
const Color kWindow = Color::System(SystemColor::Window);
const Color kCaption = Color::System(SystemColor::ActiveCaption);
const Color kPicture = Color::Rgb(200, 0, 0);

TEST(BorderEdges, EtchedEdgesLieOnTheirRowsAndColumns) {
    RasterCanvas canvas(40, 30);
    const Rect r{10, 5, 30, 25};
    EXPECT_EQ(DrawBorderEdges(canvas, r, kEdgeEtched, sdAll), (Rect{12, 7, 28, 23}));
    EXPECT_EQ(canvas.At(15, 5), kShadow);      // top: dark on row T
    EXPECT_EQ(canvas.At(15, 6), kHighlight);   //      light on row T+1
    EXPECT_EQ(canvas.At(10, 15), kShadow);     // left: dark on column L
    EXPECT_EQ(canvas.At(11, 15), kHighlight);  //       light on column L+1
    EXPECT_EQ(canvas.At(28, 15), kShadow);     // right: dark on column Rt-2
    EXPECT_EQ(canvas.At(29, 15), kHighlight);  //        light on column Rt-1
    EXPECT_EQ(canvas.At(15, 23), kShadow);     // bottom: dark on row B-2
    EXPECT_EQ(canvas.At(15, 24), kHighlight);  //         light on row B-1
    EXPECT_EQ(canvas.At(15, 25), Color::None());
    EXPECT_EQ(canvas.At(30, 15), Color::None());
    EXPECT_EQ(canvas.At(15, 15), Color::None()) << "the inside is left alone";
}

TEST(BorderEdges, OtherStylesDrawSingleLinesOrNothing) {
    RasterCanvas canvas(20, 20);
    EXPECT_EQ(DrawBorderEdges(canvas, {2, 2, 12, 12}, kEdgeSingle, sdTop | sdLeft), (Rect{3, 3, 12, 12}));
    EXPECT_EQ(canvas.At(5, 2), Color::System(SystemColor::WindowFrame));
    RasterCanvas untouched(20, 20);
    EXPECT_EQ(DrawBorderEdges(untouched, {2, 2, 12, 12}, 1, sdAll), (Rect{2, 2, 12, 12}));
    EXPECT_EQ(untouched.At(2, 2), Color::None());
}

TEST(ImagePlacement, LayoutAndAlignmentPlaceOrStretchThePicture) {
    const Rect area{0, 0, 100, 60};
    EXPECT_EQ(PlaceImageAligned({20, 10}, area, ilCenter, iaCenter).rect.TopLeft(), (Point{40, 25}));
    EXPECT_EQ(PlaceImageAligned({20, 10}, area, ilBottom, iaRight).rect.TopLeft(), (Point{80, 50}));
    const ImagePlacement topLeft = PlaceImageAligned({20, 10}, area, ilTop, iaLeft);
    EXPECT_EQ(topLeft.rect, (Rect{0, 0, 20, 10}));
    EXPECT_FALSE(topLeft.stretched);
    // A narrow picture stretched to the full height keeps its own width.
    const ImagePlacement narrow = PlaceImageAligned({20, 10}, area, ilStretch, iaLeft);
    EXPECT_EQ(narrow.rect, (Rect{0, 0, 20, 60}));
    EXPECT_TRUE(narrow.stretched);
    // A picture larger than the area is not moved.
    EXPECT_EQ(PlaceImageAligned({200, 100}, area, ilCenter, iaCenter).rect.TopLeft(), (Point{0, 0}));
}

TEST(ImageTiling, TilesCoverTheAreaAndEmptyImagesAreRefused) {
    RasterCanvas canvas(40, 40);
    canvas.FillRect({0, 0, 40, 40}, kFace);
    BlockGraphic tile({10, 10}, kPicture);
    DrawImageTiled(canvas, tile, {5, 5, 30, 20});
    EXPECT_EQ(canvas.At(5, 5), kPicture);
    EXPECT_EQ(canvas.At(29, 19), kPicture);
    EXPECT_EQ(canvas.At(30, 19), kFace);
    EXPECT_EQ(canvas.At(4, 5), kFace);

    BlockGraphic empty({0, 10}, kPicture);
    try {
        DrawImageTiled(canvas, empty, {0, 0, 10, 10});
        FAIL() << "an empty tile was accepted";
    } catch (const EWizardError& e) {
        EXPECT_STREQ(e.what(), "Tiling only works on images with dimensions > 0");
    }
}

class PagePainting : public ::testing::Test {
protected:
    FakeWizardView host;
    TWizard wizard{host};
    FakePageView welcomeView{host, "welcome"};
    FakePageView interiorView{host, "interior"};
    TWizardWelcomePage welcome{welcomeView};
    TWizardInteriorPage interior{interiorView};
    RasterCanvas canvas{540, 390};

    void SetUp() override {
        welcome.SetOwnerWizard(&wizard);
        interior.SetOwnerWizard(&wizard);
    }
};

TEST_F(PagePainting, HeaderPlacesImageTitleAndSubtitle) {
    wizard.SetHeaderImages(std::make_shared<BlockImageList>(2, Size{32, 32}));
    interior.Header().SetImageIndex(1);
    interior.Title().SetText("Destination");
    interior.Subtitle().SetText("Where should the files go?");
    interior.Paint(canvas);

    EXPECT_EQ(canvas.At(504, 19), testing::kImageListColor);
    EXPECT_EQ(canvas.At(503, 19), kWindow);
    EXPECT_EQ(canvas.At(504, 18), kWindow);
    EXPECT_EQ(canvas.At(535, 50), testing::kImageListColor);
    EXPECT_EQ(canvas.At(536, 50), kWindow) << "4 pixels kept from the right edge";
    EXPECT_EQ(canvas.At(100, 68), kShadow) << "divider";
    EXPECT_EQ(canvas.At(100, 69), kHighlight);
    EXPECT_EQ(canvas.At(100, 70), kFace) << "page colour below the header";

    ASSERT_EQ(canvas.texts.size(), 2u);
    const Rect title = canvas.texts[0].rect;
    EXPECT_EQ(title.TopLeft(), (Point{4, 4}));
    EXPECT_EQ(title.right, 500) << "ends 4 pixels before the image";
    EXPECT_TRUE(canvas.texts[0].font.bold);
    EXPECT_EQ(canvas.texts[0].font.points, 12);
    const Rect subtitle = canvas.texts[1].rect;
    EXPECT_EQ(subtitle, (Rect{4, title.bottom + 4, 500, 66}));
}

TEST_F(PagePainting, ATitleThatDoesNotFitWrapsInFullAndPushesTheSubtitleDown) {
    // 8 pixels a bold character: the 66 characters need 528 pixels; the title has 532 of the
    // 540-pixel header, and 496 once the header image takes its place at the right.
    const std::string title(30, 'w'), rest(35, 'x');
    interior.Title().SetText(title + " " + rest);
    interior.Subtitle().SetText("Subtitle");
    interior.Paint(canvas);
    ASSERT_EQ(canvas.texts.size(), 2u);
    const int line = canvas.texts[0].font.points + 5;
    EXPECT_EQ(canvas.texts[0].rect, (Rect{4, 4, 536, 4 + line})) << "fits on one line";

    wizard.SetHeaderImages(std::make_shared<BlockImageList>(1, Size{32, 32}));
    interior.Header().SetImageIndex(0);
    canvas.texts.clear();
    interior.Paint(canvas);
    ASSERT_EQ(canvas.texts.size(), 2u);
    EXPECT_EQ(canvas.texts[0].rect, (Rect{4, 4, 500, 4 + 2 * line})) << "both lines, the last word whole";
    EXPECT_EQ(canvas.texts[1].rect.top, 4 + 2 * line + 4) << "the subtitle below the second line";
    EXPECT_EQ(canvas.At(100, 68), kShadow) << "the two lines fit in the band";

    // A subtitle of two lines (6 pixels a character, 82 to a line) then needs more than the band's
    // 70 pixels: the band grows to hold it, divider and all, and the page starts below it.
    std::string words;
    for (int i = 0; i < 30; ++i) words += "word ";
    interior.Subtitle().SetText(words);
    canvas.texts.clear();
    interior.Paint(canvas);
    ASSERT_EQ(canvas.texts.size(), 2u);
    const int subtitleTop = 4 + 2 * line + 4, subtitleLine = canvas.texts[1].font.points + 5;
    EXPECT_EQ(canvas.texts[1].rect, (Rect{4, subtitleTop, 500, subtitleTop + 2 * subtitleLine}));
    const int bandBottom = subtitleTop + 2 * subtitleLine + 4;
    EXPECT_GT(bandBottom, 70);
    EXPECT_EQ(canvas.At(100, 68), kWindow);
    EXPECT_EQ(canvas.At(100, bandBottom - 2), kShadow) << "divider";
    EXPECT_EQ(canvas.At(100, bandBottom - 1), kHighlight);
    EXPECT_EQ(canvas.At(100, bandBottom), kFace);

    // Fitted before the page's controls are placed, the band's height moves them below it.
    EXPECT_EQ(interior.ChildArea().top, 70);
    interior.Header().FitTexts(canvas);
    EXPECT_EQ(interior.Header().Height(), bandBottom);
    EXPECT_EQ(interior.ChildArea().top, bandBottom);
    interior.Subtitle().SetText("Short");
    interior.Header().FitTexts(canvas);
    EXPECT_EQ(interior.Header().Height(), bandBottom) << "never shrinks";
}

TEST_F(PagePainting, AHeaderImageOutsideTheListNarrowsNothing) {
    wizard.SetHeaderImages(std::make_shared<BlockImageList>(1, Size{32, 32}));
    interior.Header().SetImageIndex(1);
    interior.Paint(canvas);
    EXPECT_EQ(canvas.At(510, 30), kWindow);
    EXPECT_EQ(canvas.texts.at(0).rect.right, 536);
}

TEST_F(PagePainting, AHiddenHeaderLeavesThePageToItsControls) {
    interior.Header().SetVisible(false);
    interior.Paint(canvas);
    EXPECT_TRUE(canvas.texts.empty());
    EXPECT_EQ(canvas.At(10, 10), kFace);
    EXPECT_EQ(interior.ChildArea().top, 0);
}

TEST_F(PagePainting, WelcomePageHasAWatermarkBandBesideTheHeader) {
    welcome.WaterMark().Image().SetPicture(std::make_shared<BlockGraphic>(Size{100, 100}, kPicture));
    welcome.Paint(canvas);
    EXPECT_EQ(canvas.At(0, 200), kWindow) << "border of one pixel in the page colour";
    EXPECT_EQ(canvas.At(1, 1), kPicture) << "the picture is stretched over the band";
    EXPECT_EQ(canvas.At(162, 388), kPicture);
    EXPECT_EQ(canvas.At(163, 200), kWindow);
    EXPECT_EQ(canvas.texts.at(0).text, "Welcome");
    EXPECT_EQ(canvas.texts.at(0).rect.left, 164 + 4);
    EXPECT_EQ(welcome.ChildArea(), (Rect{164, 70, 540, 390}));

    welcome.WaterMark().Image().SetPicture(nullptr);
    RasterCanvas plain{540, 390};
    welcome.Paint(plain);
    EXPECT_EQ(plain.At(80, 200), kCaption);
}

TEST_F(PagePainting, WithoutWatermarkThePictureSitsUnscaledBelowTheHeader) {
    welcome.WaterMark().SetVisible(false);
    welcome.Image().SetPicture(std::make_shared<BlockGraphic>(Size{50, 40}, kPicture));
    welcome.Image().SetAlignment(iaLeft);
    welcome.Image().SetLayout(ilTop);
    welcome.Paint(canvas);
    EXPECT_EQ(canvas.At(0, 70), kPicture);
    EXPECT_EQ(canvas.At(49, 109), kPicture);
    EXPECT_EQ(canvas.At(50, 70), kWindow);
    EXPECT_EQ(canvas.At(0, 110), kWindow);
    EXPECT_TRUE(canvas.stretched.empty());
}

TEST_F(PagePainting, APanelWithoutColourIsOnlyAnEtchedFrame) {
    interior.Panel().SetVisible(true);
    interior.Panel().SetColor(Color::None());
    interior.Paint(canvas);
    EXPECT_EQ(canvas.At(200, 77), kShadow) << "7 pixels inside the area below the header";
    EXPECT_EQ(canvas.At(200, 78), kHighlight);
    EXPECT_EQ(canvas.At(7, 200), kShadow);
    EXPECT_EQ(canvas.At(531, 200), kShadow);
    EXPECT_EQ(canvas.At(200, 381), kShadow);
    EXPECT_EQ(canvas.At(200, 200), kFace);

    interior.Panel().SetColor(kPicture);
    RasterCanvas filled{540, 390};
    interior.Paint(filled);
    EXPECT_EQ(filled.At(200, 200), kPicture);
    EXPECT_EQ(filled.At(9, 200), kPicture);
    EXPECT_EQ(filled.At(8, 200), kHighlight);
}

TEST_F(PagePainting, AFailedTileAbandonsThePaintButNotThePage) {
    interior.Image().SetPicture(std::make_shared<BlockGraphic>(Size{0, 0}, kPicture));
    interior.Image().SetLayout(ilTile);
    EXPECT_THROW(interior.Paint(canvas), EWizardError);
    EXPECT_THROW(interior.Paint(canvas), EWizardError) << "the re-entrancy flag was cleared";
}

TEST_F(PagePainting, APaintHandlerReplacesPictureAndPanelAndCannotReenter) {
    interior.Panel().SetVisible(true);
    Rect handed;
    int calls = 0;
    interior.OnPaintPage = [&](TWizardCustomPage& sender, Canvas& c, const Rect& r) {
        ++calls;
        handed = r;
        sender.Paint(c);  // a nested paint returns at once
    };
    interior.Paint(canvas);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(handed, (Rect{0, 70, 540, 390}));
    EXPECT_EQ(canvas.At(7, 200), kFace) << "no panel frame";
}

TEST_F(PagePainting, TitlesFollowThePageFontNameButKeepTheirSize) {
    Font pageFont;
    pageFont.name = "Tahoma";
    pageFont.charset = 238;
    pageFont.points = 9;
    interior.SetFont(pageFont);
    EXPECT_EQ(interior.Title().GetFont().name, "Tahoma");
    EXPECT_EQ(interior.Title().GetFont().charset, 238);
    EXPECT_EQ(interior.Title().GetFont().points, 12);

    Font other;
    other.name = "Courier";
    interior.Title().SetFont(other);
    EXPECT_EQ(interior.Title().GetFont().name, "Tahoma") << "ignored while the header follows the page";
    interior.Header().SetParentFont(false);
    interior.Title().SetFont(other);
    EXPECT_EQ(interior.Title().GetFont().name, "Courier");
}

TEST(WizardPainting, TheDividerSitsOnTopOfTheButtonBar) {
    FakeWizardView host;
    TWizard wizard{host};
    RasterCanvas canvas{540, 432};
    wizard.Paint(canvas);
    EXPECT_EQ(canvas.At(100, 390), kShadow);
    EXPECT_EQ(canvas.At(100, 391), kHighlight);
    EXPECT_EQ(canvas.At(100, 389), kFace);

    wizard.SetButtonBarHeight(20);
    RasterCanvas low{540, 432};
    wizard.Paint(low);
    EXPECT_EQ(low.At(100, 412), kFace) << "no divider over a collapsed bar";
}

}  // namespace
}  // namespace wizard
