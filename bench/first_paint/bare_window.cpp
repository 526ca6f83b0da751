// bare_window: the least a Win32 program does to show a painted window; the yardstick for the
// installer's start-up. Ends when its window is closed.
#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace {

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(hwnd, &paint);
        ::TextOutA(dc, 10, 10, "bare", 4);
        ::EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_CLOSE: ::PostQuitMessage(0); return 0;
    default: return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QvBareWindow";
    ::RegisterClassA(&wc);
    platform::win32::UniqueHandle<WindowTraits> window(
        ::CreateWindowExA(0, wc.lpszClassName, "Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 548,
                          466, nullptr, nullptr, instance, nullptr));
    ::ShowWindow(window.get(), show);
    ::UpdateWindow(window.get());
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
