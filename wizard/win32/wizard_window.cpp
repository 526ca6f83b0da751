#include "wizard/win32/wizard_window.h"

#include <exception>
#include <utility>

#include "wizard/win32/dialog_keys.h"
#include "wizard/win32/gdi_canvas.h"

namespace wizard::win32 {

namespace {

constexpr char kWizardClass[] = "QvWizard";
constexpr char kPageClass[] = "QvWizardPage";
constexpr UINT kShownFromOutside = WM_APP + 1;

void RegisterClassOnce(const char* name, WNDPROC proc) {
    WNDCLASSEXA wc{};
    if (::GetClassInfoExA(::GetModuleHandleA(nullptr), name, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;  // no redraw on resize: painting is double-buffered and exact
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    ::RegisterClassExA(&wc);
}

// The object behind a window of our classes, stored when the window is created.
template <typename T>
T* Owner(HWND hwnd, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
        return nullptr;
    }
    return reinterpret_cast<T*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

// Under some window systems every change is a round trip to a server, and the wizard sets each
// button's and page's state many times while it arranges itself: a change to what already holds
// is not made again.
Rect PlaceInParent(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return ToRect(r);
}

void MoveTo(HWND hwnd, const Rect& r) {
    if (PlaceInParent(hwnd) == r) return;
    ::MoveWindow(hwnd, r.left, r.top, r.Width(), r.Height(), TRUE);
}

bool HasVisibleStyle(HWND hwnd) { return (::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// A window that is not on screen is painted whole when it is shown.
void InvalidateIfShown(HWND hwnd) {
    if (::IsWindowVisible(hwnd)) ::InvalidateRect(hwnd, nullptr, FALSE);
}

// Paints through an off-screen bitmap, so the window never shows a half-painted state.
template <typename Render>
void PaintBuffered(HWND hwnd, Render render) {
    PaintSession paint(hwnd);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    BitmapCanvas buffer(paint.dc(), {client.right, client.bottom});
    render(buffer.Dc());
    buffer.Present(paint.dc());
}

}  // namespace

// A handler that fails (a system library that cannot be loaded, a registry that refuses) shows why,
// and the wizard stays: a failure that left the window procedure would end the program.
template <typename Action>
void ShowingFailure(HWND window, Action action) {
    try {
        action();
    } catch (const std::exception& error) {
        const HWND root = ::GetAncestor(window, GA_ROOT);
        char title[256] = {};
        ::GetWindowTextA(root, title, sizeof title);
        ::MessageBoxA(root, error.what(), title, MB_OK | MB_ICONERROR);
    }
}

int ButtonControlId(TWizardButtonKind kind) { return kind == bkCancel ? IDCANCEL : 1001 + kind; }

// ---- buttons

ButtonWindow::ButtonWindow(HWND parent, TWizardButtonKind kind, HFONT font, std::function<HWND()> placeAfter)
    : parent_(parent), kind_(kind), font_(font), placeAfter_(std::move(placeAfter)) {}

void ButtonWindow::Create() {
    const DWORD style = WS_CHILD | WS_TABSTOP | (default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                        (enabled_ ? 0 : WS_DISABLED);
    hwnd_.reset(::CreateWindowExA(0, "BUTTON", caption_.c_str(), style, bounds_.left, bounds_.top,
                                  bounds_.Width(), bounds_.Height(), parent_,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(ButtonControlId(kind_))),
                                  ::GetModuleHandleA(nullptr), nullptr));
    ::SendMessageA(hwnd_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (glyph_) ShowGlyph();
    // The tab order is the buttons' own order, whenever each is made.
    if (const HWND after = placeAfter_())
        ::SetWindowPos(hwnd_.get(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ButtonWindow::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (hwnd_) ::SetWindowTextA(hwnd_.get(), caption.c_str());
}

void ButtonWindow::SetGlyph(const Graphic* glyph, int numGlyphs, TButtonLayout layout) {
    UniqueImageList list;
    const auto* bitmap = dynamic_cast<const GdiGraphic*>(glyph);
    const Size size = bitmap ? bitmap->Dimensions() : Size{};
    const Size image{size.cx / numGlyphs, size.cy};
    if (image.cx > 0 && image.cy > 0) {
        // The first image of the strip; its bottom-left pixel's colour is transparent.
        WindowDc screen(nullptr);
        BitmapSurface first(screen.get(), image);
        UniqueMemoryDc source(::CreateCompatibleDC(screen.get()));
        {
            SelectGuard selected(source.get(), bitmap->Bitmap());
            ::BitBlt(first.Dc(), 0, 0, image.cx, image.cy, source.get(), 0, 0, SRCCOPY);
        }
        const COLORREF transparent = ::GetPixel(first.Dc(), 0, image.cy - 1);
        UniqueBitmap copy(static_cast<HBITMAP>(::CopyImage(first.Bitmap(), IMAGE_BITMAP, 0, 0, 0)));
        list.reset(::ImageList_Create(image.cx, image.cy, ILC_COLOR24 | ILC_MASK, 1, 0));
        ::ImageList_AddMasked(list.get(), copy.get(), transparent);
    }
    glyph_ = std::move(list);
    glyphLayout_ = layout;
    if (hwnd_) ShowGlyph();
}

void ButtonWindow::ShowGlyph() {
    static constexpr UINT kAlign[] = {BUTTON_IMAGELIST_ALIGN_LEFT, BUTTON_IMAGELIST_ALIGN_RIGHT,
                                      BUTTON_IMAGELIST_ALIGN_TOP, BUTTON_IMAGELIST_ALIGN_BOTTOM};
    BUTTON_IMAGELIST images{glyph_.get(), {2, 2, 2, 2}, kAlign[glyphLayout_]};
    // Without a glyph the list is null, which takes the image off the button.
    ::SendMessageA(hwnd_.get(), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
    ::InvalidateRect(hwnd_.get(), nullptr, TRUE);
}

void ButtonWindow::SetVisible(bool visible) {
    if (!hwnd_) {
        if (!visible) return;
        Create();
    }
    if (HasVisibleStyle(hwnd_.get()) != visible) ::ShowWindow(hwnd_.get(), visible ? SW_SHOWNA : SW_HIDE);
}
void ButtonWindow::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (hwnd_ && (::IsWindowEnabled(hwnd_.get()) != FALSE) != enabled) ::EnableWindow(hwnd_.get(), enabled);
}
void ButtonWindow::SetDefault(bool isDefault) {
    default_ = isDefault;
    const LONG_PTR style = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (hwnd_ && (::GetWindowLongPtrA(hwnd_.get(), GWL_STYLE) & BS_TYPEMASK) != style)
        ::SendMessageA(hwnd_.get(), BM_SETSTYLE, static_cast<WPARAM>(style), TRUE);
}
void ButtonWindow::SetBounds(const Rect& bounds) {
    bounds_ = bounds;
    if (hwnd_) MoveTo(hwnd_.get(), bounds);
}

// ---- pages

PageWindow::PageWindow(WizardWindow& owner, const PageFactory& factory) : parent_(owner.Hwnd()) {
    page_ = factory(*this);
    page_->SetOwnerWizard(&owner.Wizard());
}

PageWindow::~PageWindow() {
    page_.reset();  // leaves its wizard while the window still exists
    if (hwnd_) ::SetWindowLongPtrA(hwnd_.get(), GWLP_USERDATA, 0);
}

HWND PageWindow::Hwnd() {
    if (!hwnd_) {
        RegisterClassOnce(kPageClass, &PageWindow::WindowProc);
        const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (enabled_ ? 0 : WS_DISABLED);
        hwnd_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kPageClass, name_.c_str(), style, bounds_.left,
                                      bounds_.top, bounds_.Width(), bounds_.Height(), parent_, nullptr,
                                      ::GetModuleHandleA(nullptr), this));
    }
    return hwnd_.get();
}

void PageWindow::SetName(const std::string& name) {
    name_ = name;
    if (hwnd_) ::SetWindowTextA(hwnd_.get(), name.c_str());
}

void PageWindow::SetBounds(const Rect& bounds) {
    bounds_ = bounds;
    if (hwnd_) MoveTo(hwnd_.get(), bounds);
}

void PageWindow::RenderTo(HDC dc) {
    GdiCanvas canvas(dc);
    try {
        page_->Paint(canvas);
    } catch (const EWizardError&) {
        // A picture that cannot be drawn (an empty tile) abandons this paint, not the program.
    }
}

void PageWindow::FitHeader() {
    WindowDc dc(Hwnd());
    GdiCanvas canvas(dc.get());
    page_->Header().FitTexts(canvas);
}

LRESULT CALLBACK PageWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    PageWindow* self = Owner<PageWindow>(hwnd, message, lParam);
    if (!self || !self->page_) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

HBRUSH PageWindow::BackgroundBrush() {
    const COLORREF color = ResolveColor(page_->GetColor());
    if (color != backgroundColor_) {
        background_.reset(::CreateSolidBrush(color));
        backgroundColor_ = color;
    }
    return background_.get();
}

LRESULT PageWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
        PaintBuffered(hwnd_.get(), [this](HDC dc) { RenderTo(dc); });
        return 0;
    case WM_PRINTCLIENT: RenderTo(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_SIZE: ::InvalidateRect(hwnd_.get(), nullptr, FALSE); return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Labels and check boxes sit on the page's own colour.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, ResolveColor(page_->GetColor()));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(BackgroundBrush());
    }
    case WM_COMMAND:
        if (OnCommand)
            ShowingFailure(hwnd_.get(), [&] { OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)); });
        return 0;
    case WM_SHOWWINDOW:
        // lParam 0: a ShowWindow call on the page itself, not its parent showing.
        if (wParam && lParam == 0 && !showingForWizard_) ::PostMessageA(hwnd_.get(), kShownFromOutside, 0, 0);
        return ::DefWindowProcA(hwnd_.get(), message, wParam, lParam);
    case kShownFromOutside: ShownFromOutside(); return 0;
    default: return ::DefWindowProcA(hwnd_.get(), message, wParam, lParam);
    }
}

void PageWindow::ShownFromOutside() {
    TWizard* wizard = page_->OwnerWizard();
    if (!wizard || !::IsWindowVisible(hwnd_.get())) return;
    wizard->ShowControl(*page_);
    // A disabled page, or a switch a handler refused, must not show over the active page.
    if (wizard->ActivePage() != page_.get()) SetShown(false);
}

Rect PageWindow::ClientRect() const {
    if (!hwnd_) return {0, 0, bounds_.Width(), bounds_.Height()};
    RECT r{};
    ::GetClientRect(hwnd_.get(), &r);
    return ToRect(r);
}

void PageWindow::SetShown(bool shown) {
    if (!hwnd_ && !shown) return;
    showingForWizard_ = true;
    ::ShowWindow(Hwnd(), shown ? SW_SHOW : SW_HIDE);
    showingForWizard_ = false;
}
void PageWindow::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (hwnd_) ::EnableWindow(hwnd_.get(), enabled);
}
void PageWindow::BringToFront() {
    ::SetWindowPos(Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
bool PageWindow::CanFocus() const { return ::IsWindowVisible(hwnd_.get()) && ::IsWindowEnabled(hwnd_.get()); }
void PageWindow::Focus() {
    if (hwnd_) ::SetFocus(hwnd_.get());
}
void PageWindow::FocusFirstChild() {
    if (!hwnd_) return;
    const HWND first = ::GetNextDlgTabItem(hwnd_.get(), nullptr, FALSE);
    if (first && ::IsChild(hwnd_.get(), first)) FocusControl(first);
}
void PageWindow::RepaintNow() {
    if (hwnd_) ::RedrawWindow(hwnd_.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}
void PageWindow::RepaintLater() {
    if (hwnd_) InvalidateIfShown(hwnd_.get());
}
void PageWindow::RealignChildren() { RepaintLater(); }

void PageWindow::Reparent(TWizard* wizard) {
    auto* window = wizard ? dynamic_cast<WizardWindow*>(&wizard->View()) : nullptr;
    if (window) {
        parent_ = window->Hwnd();
        if (hwnd_ && ::GetParent(hwnd_.get()) != parent_) ::SetParent(hwnd_.get(), parent_);
    } else if (hwnd_) {
        ::ShowWindow(hwnd_.get(), SW_HIDE);
    }
}

// ---- the wizard

WizardWindow::WizardWindow(HWND parent, int controlId) {
    RegisterClassOnce(kWizardClass, &WizardWindow::WindowProc);
    RECT client{};
    ::GetClientRect(parent, &client);
    hwnd_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kWizardClass, "",
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, 0, 0, client.right,
                                  client.bottom, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                  ::GetModuleHandleA(nullptr), this));
    font_ = CreateFontFor(WindowDc(nullptr).get(), Font{});
    for (int i = 0; i < kButtonKindCount; ++i) {
        const auto kind = static_cast<TWizardButtonKind>(i);
        buttons_[i] =
            std::make_unique<ButtonWindow>(hwnd_.get(), kind, font_.get(), [this, kind] { return ButtonPlace(kind); });
    }
    wizard_ = std::make_unique<TWizard>(*this);
}

WizardWindow::~WizardWindow() {
    pages_.clear();
    wizard_.reset();
    ::SetWindowLongPtrA(hwnd_.get(), GWLP_USERDATA, 0);
}

PageWindow& WizardWindow::CreatePage(const PageWindow::PageFactory& factory) {
    pages_.push_back(std::make_unique<PageWindow>(*this, factory));
    // The pages before it are in place: each move is a round trip to the window system.
    PageWindow& page = *pages_.back();
    if (wizard_ && page.Page().OwnerWizard() == wizard_.get()) page.SetBounds(wizard_->PageArea());
    return page;
}

// Right before the next button that has a window, or else right after the one before it.
HWND WizardWindow::ButtonPlace(TWizardButtonKind kind) const {
    for (int i = kind + 1; i < kButtonKindCount; ++i)
        if (const HWND following = buttons_[i]->Hwnd()) {
            const HWND before = ::GetWindow(following, GW_HWNDPREV);
            return before ? before : HWND_TOP;
        }
    for (int i = kind - 1; i >= 0; --i)
        if (const HWND preceding = buttons_[i]->Hwnd()) return preceding;
    return nullptr;
}

bool WizardWindow::PreTranslate(MSG& message) {
    const HWND root = ::GetAncestor(hwnd_.get(), GA_ROOT);
    // Through the button's command, which acts only while the button is shown and enabled.
    const auto press = [this](std::optional<TWizardButtonKind> kind) {
        if (kind)
            ::SendMessageA(hwnd_.get(), WM_COMMAND, MAKEWPARAM(ButtonControlId(*kind), BN_CLICKED),
                           reinterpret_cast<LPARAM>(buttons_[*kind]->Hwnd()));
    };
    const DialogButtons buttons{[this, press] { press(wizard_->EnterButton()); }, [press] { press(bkCancel); }};
    return HandleDialogKey(root, message, buttons) || ::IsDialogMessageA(root, &message);
}

void WizardWindow::SaveFocus() {
    const HWND focus = ::GetFocus();
    savedFocus_ = ::IsChild(hwnd_.get(), focus) ? focus : nullptr;
}

void WizardWindow::RestoreFocus() {
    const HWND saved = std::exchange(savedFocus_, nullptr);
    if (saved && ::IsChild(hwnd_.get(), saved) && ::IsWindowVisible(saved) && ::IsWindowEnabled(saved)) {
        ::SetFocus(saved);
        return;
    }
    if (TWizardCustomPage* page = wizard_->ActivePage()) static_cast<PageWindow&>(page->View()).FocusFirstChild();
    if (::IsChild(hwnd_.get(), ::GetFocus())) return;
    if (const auto kind = wizard_->EnterButton())
        if (const HWND button = buttons_[*kind]->Hwnd()) ::SetFocus(button);
}

void WizardWindow::RenderTo(HDC dc) {
    GdiCanvas canvas(dc);
    wizard_->Paint(canvas);
}

LRESULT CALLBACK WizardWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WizardWindow* self = Owner<WizardWindow>(hwnd, message, lParam);
    if (!self || !self->wizard_) return ::DefWindowProcA(hwnd, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT WizardWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
        PaintBuffered(hwnd_.get(), [this](HDC dc) { RenderTo(dc); });
        return 0;
    case WM_PRINTCLIENT: RenderTo(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_SIZE:
        wizard_->ArrangeButtons();
        RealignPages();
        ::InvalidateRect(hwnd_.get(), nullptr, FALSE);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case DM_GETDEFID:
        if (const auto kind = wizard_->EnterButton()) return MAKELRESULT(ButtonControlId(*kind), DC_HASDEFID);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            for (int i = 0; i < kButtonKindCount; ++i) {
                TWizardButtonControl& button = wizard_->ButtonControl(static_cast<TWizardButtonKind>(i));
                // Escape arrives as a cancel command even when Cancel cannot be pressed.
                if (ButtonControlId(button.Kind()) == LOWORD(wParam) && button.Visible() && button.Enabled()) {
                    ShowingFailure(hwnd_.get(), [&] { button.Click(); });
                    break;
                }
            }
        }
        return 0;
    default: return ::DefWindowProcA(hwnd_.get(), message, wParam, lParam);
    }
}

bool WizardWindow::HasParent() const { return ::GetParent(hwnd_.get()) != nullptr; }
bool WizardWindow::HasParentForm() const { return ::GetAncestor(hwnd_.get(), GA_ROOT) != hwnd_.get(); }

Rect WizardWindow::ClientRect() const {
    RECT r{};
    ::GetClientRect(hwnd_.get(), &r);
    return ToRect(r);
}

bool WizardWindow::FocusIs(const PageView& page) const {
    const HWND made = static_cast<const PageWindow&>(page).Made();
    return made && ::GetFocus() == made;
}

bool WizardWindow::FocusInside(const PageView& page) const {
    const HWND made = static_cast<const PageWindow&>(page).Made();
    const HWND focus = ::GetFocus();
    return made && (focus == made || ::IsChild(made, focus));
}

bool WizardWindow::CanFocus() const { return ::IsWindowVisible(hwnd_.get()) && ::IsWindowEnabled(hwnd_.get()); }
void WizardWindow::Focus() { ::SetFocus(hwnd_.get()); }

void WizardWindow::RealignPages() {
    if (!wizard_) return;
    const Rect area = wizard_->PageArea();
    for (const auto& page : pages_)
        if (page->Page().OwnerWizard() == wizard_.get()) page->SetBounds(area);
}

void WizardWindow::RepaintLater() { InvalidateIfShown(hwnd_.get()); }

void WizardWindow::ShowHelp(int context) {
    if (OnHelp) OnHelp(context);
}

}  // namespace wizard::win32
