#include "controls/win32/dir_edit_frame.h"

#include <commctrl.h>

#include <exception>
#include <string>

#include "controls/win32/browse_folder_dialog.h"
#include "wizard/display_scale.h"
#include "wizard/win32/gdi_canvas.h"

namespace controls::win32 {

namespace {

constexpr char kFrameClass[] = "QvDirEditBrowse";

HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent, int id,
           DWORD exStyle = 0) {
    return ::CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                             nullptr);
}

}  // namespace

DirEditFrame::DirEditFrame(HWND parent, int controlId, const wizard::Rect& bounds, HFONT font)
    : frame_(*this, [this] { return std::make_unique<TBrowseFolderDialog>(::GetAncestor(hwnd_.get(), GA_ROOT)); }) {
    WNDCLASSEXA wc{};
    if (!::GetClassInfoExA(::GetModuleHandleA(nullptr), kFrameClass, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &DirEditFrame::WindowProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;  // painted in the page's colour, see WM_ERASEBKGND
        wc.lpszClassName = kFrameClass;
        ::RegisterClassExA(&wc);
    }
    // Not WS_EX_TRANSPARENT: a transparent child is left out of its parent's clipping, so the
    // page's buffered painting would cover the edges of the edit and the bevel after they were drawn.
    hwnd_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClass, "",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left, bounds.top, bounds.Width(),
                                  bounds.Height(), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                  ::GetModuleHandleA(nullptr), this));
    const HWND self = hwnd_.get();
    // Sizes at 96 DPI, scaled to the display's; Layout places the bevel, the edit and the button.
    using wizard::Scaled;
    bevel_.reset(Child("STATIC", "", SS_ETCHEDHORZ, 0, 0, bounds.Width(), 2, self, kBevelId));
    // The label comes right before the edit, so its access key reaches the edit.
    caption_.reset(Child("STATIC", "LblCaption", 0, Scaled(8), Scaled(4), bounds.Width() - Scaled(16), Scaled(14),
                         self, kCaptionId));
    edit_.reset(Child("EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, self, kEditId, WS_EX_CLIENTEDGE));
    button_.reset(Child("BUTTON", "...", WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, self, kBrowseButtonId));
    wizard::Font editFont;
    editFont.name = "MS Sans Serif";
    editFont.points = 8;
    editFont_ = wizard::win32::CreateFontFor(wizard::win32::WindowDc(nullptr).get(), editFont);
    for (HWND child : {caption_.get(), button_.get()})
        ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageA(edit_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(editFont_.get()), FALSE);
    ::SetWindowSubclass(edit_.get(), &DirEditFrame::EditProc, 1, reinterpret_cast<DWORD_PTR>(this));

    tooltip_.reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, self,
                                     nullptr, ::GetModuleHandleA(nullptr), nullptr));
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = self;
    tool.uId = reinterpret_cast<UINT_PTR>(button_.get());
    tool.lpszText = const_cast<char*>("Browse...");
    ::SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    Layout();
}

DirEditFrame::~DirEditFrame() {
    ::RemoveWindowSubclass(edit_.get(), &DirEditFrame::EditProc, 1);
    ::SetWindowLongPtrA(hwnd_.get(), GWLP_USERDATA, 0);
}

void DirEditFrame::SetCaption(const std::string& caption) { ::SetWindowTextA(caption_.get(), caption.c_str()); }
void DirEditFrame::SetBrowseButton(const std::string& caption, int width, int height) {
    ::SetWindowTextA(button_.get(), caption.c_str());
    buttonSize_ = {width, height};
    Layout();
}

void DirEditFrame::SetBevelVisible(bool visible) { ::ShowWindow(bevel_.get(), visible ? SW_SHOW : SW_HIDE); }

std::string DirEditFrame::Text() const {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(edit_.get())) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(edit_.get(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void DirEditFrame::SetText(const std::string& text) { ::SetWindowTextA(edit_.get(), text.c_str()); }

void DirEditFrame::Layout() {
    RECT r{};
    ::GetClientRect(hwnd_.get(), &r);
    // The bevel is the frame's top line, above the caption; the edit stretches with the frame and
    // the button keeps to the right edge.
    using wizard::Scaled;
    ::MoveWindow(bevel_.get(), 0, 0, r.right, 2, TRUE);
    const wizard::Size button = Scaled(buttonSize_);
    const int buttonLeft = r.right - Scaled(3) - button.cx;
    const int top = Scaled(20);
    ::MoveWindow(edit_.get(), Scaled(4), top, buttonLeft - Scaled(3) - Scaled(4), Scaled(21), TRUE);
    ::MoveWindow(button_.get(), buttonLeft, top, button.cx, button.cy, TRUE);
}

LRESULT CALLBACK DirEditFrame::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<DirEditFrame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<DirEditFrame*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->button_) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT DirEditFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE: Layout(); return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kBrowseButtonId && HIWORD(wParam) == BN_CLICKED) Browse();
        if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE && OnEditChange) OnEditChange();
        return 0;
    case WM_CTLCOLORSTATIC:
        // Labels take the colour of the page the frame sits on.
        return ::SendMessageA(::GetParent(hwnd_.get()), message, wParam, lParam);
    case WM_ERASEBKGND: {
        // So does the frame itself, between its controls.
        const HWND self = hwnd_.get();
        auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessageA(::GetParent(self), WM_CTLCOLORSTATIC, wParam, reinterpret_cast<LPARAM>(self)));
        if (!brush) brush = ::GetSysColorBrush(COLOR_BTNFACE);
        RECT r{};
        ::GetClientRect(self, &r);
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, brush);
        return 1;
    }
    default: return ::DefWindowProcA(hwnd_.get(), message, wParam, lParam);
    }
}

void DirEditFrame::Browse() {
    const std::string folder = Text();
    try {
        frame_.BtnDirBrowseClick();
    } catch (const std::exception& error) {
        const std::string message = "Browsing for a folder from \"" + folder + "\" failed: " + error.what();
        const HWND root = ::GetAncestor(hwnd_.get(), GA_ROOT);
        char title[256] = {};
        ::GetWindowTextA(root, title, sizeof title);
        ::MessageBoxA(root, message.c_str(), title, MB_OK | MB_ICONERROR);
    }
}

LRESULT CALLBACK DirEditFrame::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data) {
    if (message == WM_LBUTTONDBLCLK) {
        // A double-click is a click of the browse button, busy marker included.
        ::SendMessageA(reinterpret_cast<DirEditFrame*>(data)->button_.get(), BM_CLICK, 0, 0);
        return 0;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace controls::win32
