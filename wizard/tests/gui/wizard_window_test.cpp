// The wizard's real windows under the window system: buttons as child push buttons with their
// identifiers, keyboard roles, and the pixels the decoration paints.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "wizard/win32/gdi_canvas.h"
#include "wizard/win32/wizard_window.h"

namespace wizard::win32 {
namespace {

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND CreateFrame() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "QvTestFrame";
    ::RegisterClassA(&wc);
    RECT r{0, 0, 540, 432};
    ::AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return ::CreateWindowExA(0, "QvTestFrame", "Wizard test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                             r.right - r.left, r.bottom - r.top, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                             nullptr);
}

class WizardWindowTest : public ::testing::Test {
protected:
    UniqueWindow frame{CreateFrame()};
    WizardWindow window{frame.get(), 100};
    TWizard& wizard = window.Wizard();
    WizardWindow::AddedPage<TWizardWelcomePage> welcome = window.AddPage<TWizardWelcomePage>();
    WizardWindow::AddedPage<TWizardInteriorPage> second = window.AddPage<TWizardInteriorPage>();
    UniqueWindow edit;

    void SetUp() override {
        welcome.page.SetCaption("welcome");
        second.page.SetCaption("second");
        edit.reset(::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 200, 100,
                                     200, 21, welcome.window.Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr));
        wizard.Loaded();
        Pump();
    }

    // Runs the message loop as a program would, the wizard's keyboard handling included.
    void Pump() {
        MSG msg;
        for (int round = 0; round < 5; ++round) {
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (window.PreTranslate(msg)) continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            ::Sleep(20);
        }
    }

    void PressKey(HWND target, WPARAM key) {
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        Pump();
    }

    std::string Active() const { return wizard.ActivePage() ? wizard.ActivePage()->Caption() : "none"; }

    HWND ButtonHandle(TWizardButtonKind kind) const { return ::GetDlgItem(window.Hwnd(), ButtonControlId(kind)); }
};

TEST_F(WizardWindowTest, ButtonsAreStandardPushButtonsWithIdentifiersCaptionsAndBarGeometry) {
    const HWND next = ::FindWindowExA(window.Hwnd(), nullptr, "Button", "&Next >");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(next), ButtonControlId(bkNext));
    EXPECT_EQ(::GetDlgCtrlID(::FindWindowExA(window.Hwnd(), nullptr, "Button", "Cancel")), IDCANCEL);

    RECT r{};
    ::GetWindowRect(ButtonHandle(bkCancel), &r);
    ::MapWindowPoints(nullptr, window.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 457);
    EXPECT_EQ(r.top, 400);
    EXPECT_EQ(r.right, 532);
    EXPECT_EQ(r.bottom, 425);
    EXPECT_FALSE(::IsWindowEnabled(ButtonHandle(bkBack))) << "first page";
    EXPECT_FALSE(::IsWindowVisible(ButtonHandle(bkFinish)));
    EXPECT_TRUE(::IsWindowVisible(welcome.window.Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(second.window.Hwnd()));
    EXPECT_EQ(::GetFocus(), edit.get()) << "the first control of the page has the focus";
}

TEST_F(WizardWindowTest, ClickingTheNextButtonNavigates) {
    ::SendMessageA(ButtonHandle(bkNext), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Active(), "second");
    EXPECT_TRUE(::IsWindowVisible(second.window.Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(welcome.window.Hwnd()));
    EXPECT_TRUE(::IsWindowEnabled(ButtonHandle(bkBack)));
}

TEST_F(WizardWindowTest, AButtonFirstShownLaterTakesItsPlaceInTheTabOrder) {
    EXPECT_EQ(ButtonHandle(bkFinish), nullptr) << "never shown, never made";
    second.page.SetVisibleButtons({bkBack, bkFinish, bkCancel});
    second.page.SetEnabledButtons({bkBack, bkFinish, bkCancel});
    ::SendMessageA(ButtonHandle(bkNext), BM_CLICK, 0, 0);
    Pump();
    const HWND finish = ButtonHandle(bkFinish);
    ASSERT_NE(finish, nullptr);
    EXPECT_TRUE(::IsWindowVisible(finish));
    EXPECT_TRUE(::IsWindowEnabled(finish));
    EXPECT_EQ(::GetWindow(ButtonHandle(bkNext), GW_HWNDNEXT), finish);
    EXPECT_EQ(::GetWindow(finish, GW_HWNDNEXT), ButtonHandle(bkCancel));
    char caption[32] = {};
    ::GetWindowTextA(finish, caption, sizeof caption);
    EXPECT_STREQ(caption, "&Finish");
}

TEST_F(WizardWindowTest, APageGetsItsWindowWhenFirstShownWithWhatWasSetBefore) {
    WizardWindow::AddedPage<TWizardInteriorPage> third = window.AddPage<TWizardInteriorPage>();
    third.page.SetCaption("third");
    third.window.SetName("Third\r\nthe last page");
    EXPECT_EQ(third.window.Made(), nullptr) << "never shown, never made";
    ::SendMessageA(ButtonHandle(bkNext), BM_CLICK, 0, 0);
    Pump();
    ::SendMessageA(ButtonHandle(bkNext), BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(Active(), "third");
    const HWND page = third.window.Made();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(::IsWindowVisible(page));
    EXPECT_FALSE(::IsWindowVisible(second.window.Hwnd()));
    char name[64] = {};
    ::GetWindowTextA(page, name, sizeof name);
    EXPECT_STREQ(name, "Third\r\nthe last page");
    RECT shown{}, before{};
    ::GetWindowRect(page, &shown);
    ::GetWindowRect(second.window.Hwnd(), &before);
    EXPECT_TRUE(::EqualRect(&shown, &before)) << "the page area, as the pages made at once";
    EXPECT_EQ(::GetWindow(window.Hwnd(), GW_CHILD), page) << "on top of its siblings";
}

TEST_F(WizardWindowTest, ShowingAPageWindowMakesItTheActivePage) {
    int entered = 0;
    second.page.OnEnterPage = [&](TWizardCustomPage&, TWizardCustomPage*) { ++entered; };
    ::ShowWindow(second.window.Hwnd(), SW_SHOW);
    Pump();
    EXPECT_EQ(Active(), "second");
    EXPECT_EQ(entered, 1);
    EXPECT_FALSE(::IsWindowVisible(welcome.window.Hwnd()));

    // A disabled page stays hidden behind the active one.
    welcome.page.SetEnabled(false);
    ::ShowWindow(welcome.window.Hwnd(), SW_SHOW);
    Pump();
    EXPECT_EQ(Active(), "second");
    EXPECT_FALSE(::IsWindowVisible(welcome.window.Hwnd()));
    EXPECT_TRUE(::IsWindowVisible(second.window.Hwnd()));
}

// Renders into a memory bitmap and reads pixels back.
class Rendered {
public:
    Rendered(Size size, const std::function<void(HDC)>& render)
        : screen_(nullptr), canvas_(screen_.get(), size) {
        render(canvas_.Dc());
    }
    COLORREF At(int x, int y) const { return ::GetPixel(canvas_.Dc(), x, y); }

private:
    WindowDc screen_;
    BitmapCanvas canvas_;
};

TEST_F(WizardWindowTest, AGlyphShowsItsFirstImageBesideTheCaption) {
    // Two 16 x 16 images side by side: a green one first, then a red one.
    WindowDc screen(nullptr);
    BitmapCanvas strip(screen.get(), {32, 16});
    strip.FillRect({0, 0, 16, 16}, Color::Rgb(0, 160, 0));
    strip.FillRect({16, 0, 32, 16}, Color::Rgb(255, 0, 0));
    strip.FillRect({0, 15, 1, 16}, Color::Rgb(255, 0, 255));  // the transparent colour
    auto glyph = std::make_shared<GdiGraphic>(
        UniqueBitmap(static_cast<HBITMAP>(::CopyImage(strip.Bitmap(), IMAGE_BITMAP, 0, 0, 0))));
    wizard.ButtonNext().SetNumGlyphs(2);
    wizard.ButtonNext().SetLayout(blGlyphRight);
    wizard.ButtonNext().SetGlyph(glyph);

    BUTTON_IMAGELIST shown{};
    ASSERT_TRUE(::SendMessageA(ButtonHandle(bkNext), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&shown)));
    ASSERT_NE(shown.himl, nullptr);
    EXPECT_EQ(shown.uAlign, UINT{BUTTON_IMAGELIST_ALIGN_RIGHT});
    int cx = 0;
    int cy = 0;
    ::ImageList_GetIconSize(shown.himl, &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_EQ(::ImageList_GetImageCount(shown.himl), 1);

    // Drawn, the button shows green pixels and no red ones.
    Rendered button({75, 25}, [&](HDC dc) {
        ::SendMessageA(ButtonHandle(bkNext), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    });
    int green = 0;
    int red = 0;
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 75; ++x) {
            green += button.At(x, y) == RGB(0, 160, 0);
            red += button.At(x, y) == RGB(255, 0, 0);
        }
    }
    EXPECT_GT(green, 100);
    EXPECT_EQ(red, 0);

    wizard.ButtonNext().SetGlyph(nullptr);
    ::SendMessageA(ButtonHandle(bkNext), BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown.himl, nullptr);
}

TEST_F(WizardWindowTest, EnterPressesNextAndEscapePressesCancel) {
    int cancels = 0;
    wizard.SetButtonClick(bkCancel, [&](TWizardButtonControl&) { ++cancels; });
    PressKey(edit.get(), VK_RETURN);
    EXPECT_EQ(Active(), "second");

    PressKey(::GetFocus() ? ::GetFocus() : second.window.Hwnd(), VK_ESCAPE);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(window.ModalResult(), 2);
}

TEST_F(WizardWindowTest, WithoutDefaultButtonsEnterStaysOnThePage) {
    wizard.SetDefaultButtons(false);
    PressKey(edit.get(), VK_RETURN);
    EXPECT_EQ(Active(), "welcome");
}

TEST_F(WizardWindowTest, EscapeDoesNothingWhileCancelIsDisabled) {
    int cancels = 0;
    wizard.SetButtonClick(bkCancel, [&](TWizardButtonControl&) { ++cancels; });
    welcome.page.SetButtonEnabled(bkCancel, false);
    PressKey(edit.get(), VK_ESCAPE);
    EXPECT_EQ(cancels, 0);
}

TEST_F(WizardWindowTest, PagesPaintTheirEdgesImagesAndWatermark) {
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);

    // A 32-pixel red header image.
    UniqueImageList list(::ImageList_Create(32, 32, ILC_COLOR24, 1, 1));
    {
        WindowDc screen(nullptr);
        BitmapCanvas image(screen.get(), {32, 32});
        image.FillRect({0, 0, 32, 32}, Color::Rgb(255, 0, 0));
        UniqueBitmap bitmap(static_cast<HBITMAP>(::CopyImage(image.Bitmap(), IMAGE_BITMAP, 0, 0, 0)));
        ASSERT_EQ(::ImageList_Add(list.get(), bitmap.get(), nullptr), 0);
    }
    wizard.SetHeaderImages(std::make_shared<GdiImageList>(std::move(list)));
    second.page.Header().SetImageIndex(0);
    second.page.Panel().SetVisible(true);

    const Size page{540, 390};
    Rendered interior(page, [&](HDC dc) { second.window.RenderTo(dc); });
    EXPECT_EQ(interior.At(100, 68), shadow) << "header divider, dark row";
    EXPECT_EQ(interior.At(100, 69), highlight) << "header divider, light row";
    EXPECT_EQ(interior.At(504, 19), RGB(255, 0, 0)) << "header image at its place";
    EXPECT_EQ(interior.At(535, 50), RGB(255, 0, 0));
    EXPECT_NE(interior.At(503, 19), RGB(255, 0, 0));
    EXPECT_NE(interior.At(536, 50), RGB(255, 0, 0));
    EXPECT_EQ(interior.At(7, 200), shadow) << "panel frame, left column";
    EXPECT_EQ(interior.At(8, 200), highlight);
    EXPECT_EQ(interior.At(531, 200), shadow) << "panel frame, right column";
    EXPECT_EQ(interior.At(532, 200), highlight);
    EXPECT_EQ(interior.At(200, 381), shadow) << "panel frame, bottom row";
    EXPECT_EQ(interior.At(200, 382), highlight);

    Rendered welcomePage(page, [&](HDC dc) { welcome.window.RenderTo(dc); });
    EXPECT_EQ(welcomePage.At(1, 200), ::GetSysColor(COLOR_ACTIVECAPTION)) << "watermark band";
    EXPECT_EQ(welcomePage.At(162, 200), ::GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(welcomePage.At(0, 200), ::GetSysColor(COLOR_WINDOW)) << "watermark border";
    EXPECT_EQ(welcomePage.At(163, 200), ::GetSysColor(COLOR_WINDOW));

    Rendered whole({540, 432}, [&](HDC dc) { window.RenderTo(dc); });
    EXPECT_EQ(whole.At(100, 390), shadow) << "divider above the button bar";
    EXPECT_EQ(whole.At(100, 391), highlight);
}

TEST_F(WizardWindowTest, AnEmptyTileAbandonsThePaintWithoutCrashing) {
    UniqueBitmap none(::CreateBitmap(0, 0, 1, 1, nullptr));
    second.page.Image().SetPicture(std::make_shared<GdiGraphic>(std::move(none)));
    second.page.Image().SetLayout(ilTile);
    Rendered page({540, 390}, [&](HDC dc) { second.window.RenderTo(dc); });
    EXPECT_EQ(page.At(100, 68), ::GetSysColor(COLOR_BTNSHADOW)) << "painted up to the picture";
}

TEST_F(WizardWindowTest, AHandlerThatFailsIsShownAndTheWizardStays) {
    welcome.page.OnNextButtonClick = [](TWizardCustomPage&, bool&) {
        throw std::runtime_error("Cannot load SHGetFolderPathA from C:\\x\\shell32.dll: not there");
    };
    // The message box is modal: another thread reads its text and closes it, waiting 10 s at most.
    std::string shown;
    std::thread closer([&shown] {
        for (int attempt = 0; attempt < 500 && shown.empty(); ++attempt) {
            if (const HWND box = ::FindWindowA("#32770", "Wizard test")) {
                char text[256] = {};
                ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                shown = text;
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            } else {
                ::Sleep(20);
            }
        }
    });
    ::SendMessageA(ButtonHandle(bkNext), BM_CLICK, 0, 0);
    closer.join();
    Pump();
    EXPECT_EQ(shown, "Cannot load SHGetFolderPathA from C:\\x\\shell32.dll: not there");
    EXPECT_EQ(Active(), "welcome");
    EXPECT_TRUE(::IsWindow(window.Hwnd()));
}

}  // namespace
}  // namespace wizard::win32
