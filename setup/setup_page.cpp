#include "setup/setup_page.h"

namespace setup {

SetupPage::SetupPage(SetupWindow& window, TSetupPage id, wizard::TWizardCustomPage& page,
                     wizard::win32::PageWindow& pageWindow, const char* title, const char* subtitle)
    : window_(window), id_(id), page_(page), pageWindow_(pageWindow) {
    page_.Title().SetText(title);
    page_.Subtitle().SetText(subtitle);
    page_.OnEnterPage = [this](wizard::TWizardCustomPage&, wizard::TWizardCustomPage*) {
        if (!built_) {
            built_ = true;
            // Controls go below the header's texts, however many lines they take in this font.
            pageWindow_.FitHeader();
            Build();
        }
        Entered();
    };
    pageWindow_.OnCommand = [this](int control, int code, HWND) { Command(control, code); };
    NamePage();
}

// Taking the wizard down moves it on from page to page; no page entry or command may reach this
// page's controls, which go with it.
SetupPage::~SetupPage() {
    page_.OnEnterPage = nullptr;
    page_.OnPage = nullptr;
    page_.OnNextButtonClick = nullptr;
    page_.OnFinishButtonClick = nullptr;
    pageWindow_.OnCommand = nullptr;
}

void SetupPage::NamePage() {
    pageWindow_.SetName(page_.Title().Text() + "\r\n" + page_.Subtitle().Text());
}

void SetupPage::RefuseRunningIDEs(const std::vector<std::string>& messages, bool& stop) {
    for (const auto& message : messages) {
        window_.ShowMessage(message, MB_ICONWARNING);
        stop = true;
    }
}

HWND SetupPage::Control(const char* className, const char* text, DWORD style, const wizard::Rect& r, int id,
                        DWORD exStyle) {
    HWND control = ::CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                     r.Width(), r.Height(), pageWindow_.Hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(window_.Wizard().PageFont()), FALSE);
    controls_.emplace_back(control);
    return control;
}

void SetupPage::On(int id, int code, std::function<void()> handler) { handlers_[{id, code}] = std::move(handler); }

void SetupPage::Command(int id, int code) {
    // The run uses the data and the pages: nothing on them changes until it has ended.
    if (window_.EngineRunning()) return;
    if (const auto handler = handlers_.find({id, code}); handler != handlers_.end()) handler->second();
}

bool Checked(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace setup
