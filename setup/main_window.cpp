#include "setup/main_window.h"

#include <algorithm>

#include "setup/compile_page_window.h"
#include "setup/config_page_window.h"
#include "setup/destination_page_window.h"
#include "setup/ide_page_window.h"
#include "setup/license_page_window.h"
#include "setup/maintenance_page_window.h"
#include "setup/texts.h"
#include "setup/welcome_page_window.h"

namespace setup {

using namespace wizard;

namespace {

constexpr char kFrameClass[] = "QvSetupMain";
constexpr int kClientWidth = 540, kClientHeight = 432;  // the wizard fills it
constexpr int kButtonBarHeight = 42;
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFrameExStyle = WS_EX_CONTROLPARENT;

// The frame around the wizard's client area at the display's DPI.
Size FrameSize() {
    const Size client = Scaled(Size{kClientWidth, kClientHeight});
    RECT frame{0, 0, client.cx, client.cy};
    ::AdjustWindowRectEx(&frame, kFrameStyle, FALSE, kFrameExStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT FramePlace() {
    const Size size = FrameSize();
    RECT work{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const Point at = PlaceOnScreen(size, {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                                   {work.left, work.top, work.right, work.bottom});
    return {at.x, at.y, at.x + size.cx, at.y + size.cy};
}

}  // namespace

TfMain::TfMain(HINSTANCE instance, engine::TInstallData& data) : data_(data), flow_(data) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hIcon = ::LoadIconA(instance, "MAINICON");
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFrameClass;
    ::RegisterClassA(&wc);
    const RECT place = FramePlace();
    frame_.reset(::CreateWindowExA(kFrameExStyle, kFrameClass, texts::WindowCaption, kFrameStyle, place.left, place.top,
                                   place.right - place.left, place.bottom - place.top, nullptr, nullptr, instance,
                                   nullptr));
    ::SetWindowLongPtrA(frame_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    wizard_ = std::make_unique<win32::WizardWindow>(frame_.get(), idWizard);
    RECT client{};
    ::GetClientRect(frame_.get(), &client);
    ::MoveWindow(wizard_->Hwnd(), 0, 0, client.right, client.bottom, FALSE);

    TWizard& wizard = wizard_->Wizard();
    wizard.SetButtonBarHeight(kButtonBarHeight);
    wizard.SetButtonClick(bkCancel, [this](TWizardButtonControl&) { WizardCancelButtonClick(); });
    AddPages();
    SetupPages();
    wizard.Loaded();
}

TfMain::~TfMain() = default;

void TfMain::AddPages() {
    const auto picture = WelcomePicture(::GetModuleHandleA(nullptr));
    SetupWindow& self = *this;
    pages_[wInstallPage] = std::make_unique<WelcomePage>(self, wInstallPage, picture);
    pages_[wUpdatePage] = std::make_unique<WelcomePage>(self, wUpdatePage, picture);
    pages_[wMainternance] = std::make_unique<MaintenancePage>(self);
    pages_[wLicensePage] = std::make_unique<LicensePage>(self);
    pages_[wDestinationPage] = std::make_unique<DestinationPage>(self);
    auto ide = std::make_unique<IDEPage>(self);
    idePage_ = ide.get();
    pages_[wIDEPage] = std::move(ide);
    pages_[wConfigPage] = std::make_unique<ConfigPage>(self);
    auto compile = std::make_unique<CompilePage>(self);
    compilePage_ = compile.get();
    pages_[wCompile] = std::move(compile);
}

// The IDE page's boxes and the destination follow the flow when their pages are first entered.
void TfMain::SetupPages() {
    flow_.SetupPages();
    ApplyPageFlow();
}

void TfMain::ApplyPageFlow() {
    for (const auto& page : pages_) {
        const bool enabled = flow_.PageEnabled(page->Id());
        if (page->Page().Enabled() != enabled) page->Page().SetEnabled(enabled);
    }
    pages_[wIDEPage]->Page().SetButtonEnabled(bkNext, flow_.IDENextEnabled());
}

void TfMain::FlowChanged() {
    idePage_->UpdateActionLabels();
    ApplyPageFlow();
}

void TfMain::WizardCancelButtonClick() {
    if (!compilePage_->CloseAfterRun()) Close();
}

bool TfMain::EngineRunning() const { return compilePage_->Running(); }

void TfMain::Close() {
    ::ShowWindow(frame_.get(), SW_HIDE);
    ::PostQuitMessage(0);
}

bool TfMain::ProcessMessages() {
    bool quit = false;
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        if (PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return !quit;
}

void TfMain::ShowMessage(const std::string& text, UINT icon) {
    ::MessageBoxA(frame_.get(), text.c_str(), texts::WindowCaption, MB_OK | icon);
}

LRESULT CALLBACK TfMain::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // At a large DPI on a small screen the frame is larger than the screen; the system would cut it
    // to the screen's size, and the wizard's pages with it.
    if (message == WM_GETMINMAXINFO) {
        auto& limits = *reinterpret_cast<MINMAXINFO*>(lParam);
        const Size size = FrameSize();
        limits.ptMaxTrackSize.x = std::max<LONG>(limits.ptMaxTrackSize.x, size.cx);
        limits.ptMaxTrackSize.y = std::max<LONG>(limits.ptMaxTrackSize.y, size.cy);
        return 0;
    }
    auto* self = reinterpret_cast<TfMain*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        switch (message) {
        case WM_CLOSE:
            // While the engine runs, only Cancel acts; the close box does not.
            if (!self->EngineRunning()) self->WizardCancelButtonClick();
            return 0;
        case CompilePage::kRunMessage: self->compilePage_->wCompilePage(); return 0;
        // An end of the session now would leave an IDE half changed until setup starts again:
        // Windows is asked to wait, and shows the user who holds it up.
        case WM_QUERYENDSESSION:
            if (self->EngineRunning()) return FALSE;
            break;
        // As a dialog: the focus is kept while another window is active, and the window that
        // gets it back hands it on to a control.
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) self->wizard_->SaveFocus();
            break;
        case WM_SETFOCUS: self->wizard_->RestoreFocus(); return 0;
        default: break;
        }
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace setup
