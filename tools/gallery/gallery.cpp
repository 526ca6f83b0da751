// The gallery: a wizard with a welcome page, interior pages with headers, pictures and a panel,
// and a directory edit frame. "--page N" opens page N; "--quit-after MS" closes it by itself.

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/win32/dir_edit_frame.h"
#include "wizard/win32/gdi_canvas.h"
#include "wizard/win32/wizard_window.h"

using namespace wizard;
using namespace wizard::win32;

namespace {

constexpr char kFrameClass[] = "QvGalleryFrame";
constexpr UINT_PTR kQuitTimer = 1;

// A picture drawn by code, as an owned bitmap.
std::shared_ptr<GdiGraphic> MakePicture(Size size, const std::function<void(Canvas&)>& draw) {
    WindowDc screen(nullptr);
    BitmapCanvas canvas(screen.get(), size);
    draw(canvas);
    return std::make_shared<GdiGraphic>(
        UniqueBitmap(static_cast<HBITMAP>(::CopyImage(canvas.Bitmap(), IMAGE_BITMAP, 0, 0, 0))));
}

std::shared_ptr<GdiGraphic> WatermarkPicture() {
    return MakePicture({162, 388}, [](Canvas& c) {
        for (int y = 0; y < 388; y += 4) {
            const auto shade = static_cast<std::uint8_t>(40 + y * 150 / 388);
            c.FillRect({0, y, 162, y + 4}, Color::Rgb(0, shade / 2, shade));
        }
        c.FillRect({56, 150, 106, 200}, Color::Rgb(255, 200, 0));
    });
}

std::shared_ptr<GdiImageList> HeaderImages() {
    UniqueImageList list(::ImageList_Create(32, 32, ILC_COLOR24, 1, 1));
    const auto picture = MakePicture({32, 32}, [](Canvas& c) {
        c.FillRect({0, 0, 32, 32}, Color::Rgb(0, 90, 160));
        c.FillRect({8, 8, 24, 24}, Color::Rgb(255, 200, 0));
    });
    ::ImageList_Add(list.get(), picture->Bitmap(), nullptr);
    return std::make_shared<GdiImageList>(std::move(list));
}

class Gallery {
public:
    explicit Gallery(HWND frame) : frame_(frame), window_(frame, 100) {
        TWizard& wizard = window_.Wizard();
        wizard.SetHeaderImages(HeaderImages());
        wizard.SetButtonClick(bkCancel, [this](TWizardButtonControl&) { Close(); });
        wizard.SetButtonClick(bkFinish, [this](TWizardButtonControl&) { Close(); });
        // A glyph strip of two images (normal, disabled) on Next, after its caption.
        wizard.ButtonNext().SetGlyph(MakePicture({20, 10}, [](Canvas& c) {
            c.FillRect({0, 0, 20, 10}, Color::Rgb(255, 0, 255));
            for (int i = 0; i < 5; ++i) c.FillRect({2 + i, 1 + i, 3 + i, 9 - i}, Color::Rgb(0, 120, 0));
            for (int i = 0; i < 5; ++i) c.FillRect({12 + i, 1 + i, 13 + i, 9 - i}, Color::Rgb(128, 128, 128));
        }));
        wizard.ButtonNext().SetNumGlyphs(2);
        wizard.ButtonNext().SetLayout(blGlyphRight);

        auto welcome = window_.AddPage<TWizardWelcomePage>();
        welcome.page.Title().SetText("Welcome to the Quorvex Installation Wizard");
        welcome.page.Subtitle().SetText("This wizard installs the Quorvex components into your IDEs.");
        welcome.page.WaterMark().Image().SetPicture(WatermarkPicture());
        Label(welcome, "Press Next to continue, or Cancel to leave the installation.", 0);

        auto folder = window_.AddPage<TWizardInteriorPage>();
        folder.page.Title().SetText("Destination Folder");
        folder.page.Subtitle().SetText("Choose the folder that receives the component files.");
        folder.page.Header().SetImageIndex(0);
        Label(folder, "Setup installs the files into the folder below.", 0);
        const Rect area = folder.page.ChildArea();
        folderEdit_ = std::make_unique<controls::win32::DirEditFrame>(
            folder.window.Hwnd(), 300, Rect{area.left + 16, area.top + 60, area.right - 16, area.top + 106},
            window_.PageFont());
        folderEdit_->SetCaption("Destination Folder");
        folderEdit_->SetText("C:\\Program Files\\Quorvex");
        folderEdit_->Frame().AllowEmpty = true;

        auto panel = window_.AddPage<TWizardInteriorPage>();
        panel.page.Title().SetText("Options");
        panel.page.Subtitle().SetText("A page with a framed panel and its picture on the left.");
        panel.page.Header().SetImageIndex(0);
        panel.page.Header().SetImageAlignment(iaLeft);
        panel.page.Header().SetImageOffset(8);
        panel.page.Panel().SetVisible(true);
        Label(panel, "The panel frames the page's controls.", 16);

        auto done = window_.AddPage<TWizardInteriorPage>();
        done.page.Title().SetText("Installation Complete");
        done.page.Subtitle().SetText("Press Finish to close the wizard.");
        done.page.SetVisibleButtons({bkBack, bkFinish, bkCancel});
        done.page.Image().SetPicture(MakePicture({64, 64}, [](Canvas& c) {
            c.FillRect({0, 0, 64, 64}, Color::Rgb(0, 140, 60));
            c.FillRect({16, 16, 48, 48}, Color::Rgb(255, 255, 255));
        }));
        done.page.Image().SetAlignment(iaCenter);
        done.page.Image().SetLayout(ilCenter);

        wizard.Loaded();
    }

    WizardWindow& Window() { return window_; }
    void Fit() {
        RECT r{};
        ::GetClientRect(frame_, &r);
        ::MoveWindow(window_.Hwnd(), 0, 0, r.right, r.bottom, TRUE);
    }
    void ShowPage(int index) {
        for (int i = 0; i < index; ++i) window_.Wizard().GoNextPage();
    }

private:
    template <typename PageT>
    void Label(const WizardWindow::AddedPage<PageT>& added, const char* text, int inset) {
        const Rect area = added.page.ChildArea();
        HWND label = ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE, area.left + 16 + inset,
                                       area.top + 16 + inset, area.Width() - 32 - 2 * inset, 40,
                                       added.window.Hwnd(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(window_.PageFont()), FALSE);
        controls_.emplace_back(label);
    }
    void Close() { ::PostMessageA(frame_, WM_CLOSE, 0, 0); }

    HWND frame_;
    WizardWindow window_;
    std::vector<UniqueWindow> controls_;  // destroyed before the pages that hold them
    std::unique_ptr<controls::win32::DirEditFrame> folderEdit_;
};

Gallery* g_gallery = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (g_gallery) g_gallery->Fit();
        return 0;
    case WM_TIMER:
    case WM_CLOSE:
        // The window goes with its owner object once the loop has ended.
        ::PostQuitMessage(0);
        return 0;
    default: return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

int OptionValue(const char* name, int fallback) {
    for (int i = 1; i + 1 < __argc; ++i)
        if (std::strcmp(__argv[i], name) == 0) return std::atoi(__argv[i + 1]);
    return fallback;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kFrameClass;
    ::RegisterClassA(&wc);
    RECT r{0, 0, 540, 432};
    ::AdjustWindowRect(&r, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
    UniqueWindow frame(::CreateWindowExA(0, kFrameClass, "Quorvex Setup Gallery",
                                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 40, 40, r.right - r.left,
                                         r.bottom - r.top, nullptr, nullptr, instance, nullptr));
    Gallery gallery(frame.get());
    g_gallery = &gallery;
    gallery.Fit();
    ::ShowWindow(frame.get(), SW_SHOW);
    gallery.ShowPage(OptionValue("--page", 0));
    if (const int quitAfter = OptionValue("--quit-after", 0)) ::SetTimer(frame.get(), kQuitTimer, quitAfter, nullptr);

    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (gallery.Window().PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    g_gallery = nullptr;
    return 0;
}
