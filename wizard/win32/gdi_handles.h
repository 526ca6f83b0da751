#pragma once
// RAII owners for the window and drawing handles of the window layer, on the project's handle
// template: windows destroyed, GDI objects deleted, memory DCs deleted, window DCs released, and a
// guard that puts back the object a selection replaced.

#include <windows.h>
#include <commctrl.h>

#include "platform/win32/unique_handle.h"

namespace wizard::win32 {

struct WindowTraits {
    using Handle = HWND;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DestroyWindow(h); }
};

template <typename T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteObject(h); }
};

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::ImageList_Destroy(h); }
};

using UniqueWindow = platform::win32::UniqueHandle<WindowTraits>;
using UniqueBitmap = platform::win32::UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = platform::win32::UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = platform::win32::UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniquePen = platform::win32::UniqueHandle<GdiObjectTraits<HPEN>>;
using UniqueMemoryDc = platform::win32::UniqueHandle<MemoryDcTraits>;
using UniqueImageList = platform::win32::UniqueHandle<ImageListTraits>;

// A DC borrowed from a window with GetDC, given back with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint around one WM_PAINT.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window) { ::BeginPaint(window_, &ps_); }
    ~PaintSession() { ::EndPaint(window_, &ps_); }
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    HDC dc() const { return ps_.hdc; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
};

// Selects an object into a DC and selects the previous one back when it goes.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (previous_) ::SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace wizard::win32
