// bare_page: the windows of setup's first page and nothing else, made the plainest way: the
// frame, the wizard's panel with its side band and header, Back (hidden), Next and Cancel, the
// page and its two labels, with the same size, font and version 6 common controls. No registry,
// no journal, no engine: what the platform charges for showing that page. Ends when its window
// is closed.
#include <windows.h>

#include "wizard/win32/gdi_handles.h"

namespace {

using wizard::win32::UniqueFont;
using wizard::win32::UniqueWindow;

constexpr int kWidth = 548, kHeight = 466, kBarHeight = 42, kBandWidth = 164, kHeaderHeight = 74;

HFONT font = nullptr;

// The side band and the header, as the wizard paints them around its pages.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    const wizard::win32::PaintSession paint(hwnd);
    const HDC dc = paint.dc();
    RECT client;
    ::GetClientRect(hwnd, &client);
    RECT band{0, 0, kBandWidth, client.bottom - kBarHeight};
    ::FillRect(dc, &band, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    RECT header{kBandWidth, 0, client.right, kHeaderHeight};
    ::FillRect(dc, &header, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SelectObject(dc, font);
    ::DrawTextA(dc, "Welcome to the Quorvex Installation Wizard", -1, &header, DT_WORDBREAK);
    return 0;
}

// The labels on the page's own white, as the pages show them.
LRESULT CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CTLCOLORSTATIC) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

ATOM Register(HINSTANCE instance, const char* name, WNDPROC proc, int colour) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1));
    wc.lpszClassName = name;
    return ::RegisterClassA(&wc);
}

HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent) {
    HWND hwnd = ::CreateWindowExA(0, cls, text, WS_CHILD | style, x, y, w, h, parent, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    Register(instance, "QvBarePage", FrameProc, COLOR_BTNFACE);
    Register(instance, "QvBarePanel", PanelProc, COLOR_BTNFACE);
    Register(instance, "QvBarePageArea", PageProc, COLOR_WINDOW);
    // Made before the frame, so that it goes after the windows that use it.
    const int pixelsPerInch = ::GetDeviceCaps(wizard::win32::WindowDc(nullptr).get(), LOGPIXELSY);
    const UniqueFont pageFont(::CreateFontA(-::MulDiv(8, pixelsPerInch, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                            DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                            DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif"));
    font = pageFont.get();
    const UniqueWindow frame(::CreateWindowExA(WS_EX_CONTROLPARENT, "QvBarePage", "Bare page",
                                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                         (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
                                         (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight, nullptr,
                                         nullptr, instance, nullptr));
    RECT client;
    ::GetClientRect(frame.get(), &client);
    HWND panel = Child("QvBarePanel", "", WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right, client.bottom,
                       frame.get());
    const int bar = client.bottom - kBarHeight + 10;
    Child("BUTTON", "< &Back", 0, client.right - 240, bar, 75, 23, panel);
    Child("BUTTON", "&Next >", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, client.right - 165, bar, 75, 23, panel);
    Child("BUTTON", "Cancel", WS_VISIBLE | WS_TABSTOP, client.right - 85, bar, 75, 23, panel);
    HWND page = Child("QvBarePageArea", "Welcome", WS_VISIBLE, kBandWidth, kHeaderHeight, client.right - kBandWidth,
                      client.bottom - kBarHeight - kHeaderHeight, panel);
    Child("STATIC", "It is strongly recommended that you exit all Delphi IDE before running this setup program.",
          WS_VISIBLE, 8, 16, client.right - kBandWidth - 16, 134, page);
    Child("STATIC", "Quorvex is a suite of visual components for building database applications.", WS_VISIBLE, 8,
          166, client.right - kBandWidth - 16, 30, page);
    ::ShowWindow(frame.get(), show);
    ::UpdateWindow(frame.get());
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageA(frame.get(), &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
