#include "controls/win32/browse_for_folder_dialog.h"

#include <shlobj.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "controls/win32/folder_filter.h"
#include "wizard/display_scale.h"
#include "platform/win32/system_library.h"
#include "wizard/win32/gdi_handles.h"

namespace controls::win32 {

namespace {

constexpr char kDialogObject[] = "QvBrowseForFolderDialog";
constexpr std::uint32_t kOldestShell = 0x40000;
constexpr int kStatusControlId = 0x3743;  // the status line of the shell's dialog template

wizard::Rect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

RECT RectInDialog(HWND dialog, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool IsNtPlatform() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// The folder-path service of SHFolder.dll, loaded from the system folder on first use.
std::string FolderPathFromService(int csidl) {
    using GetFolderPath = HRESULT WINAPI(HWND, int, HANDLE, DWORD, LPSTR);
    const auto get = platform::win32::SystemFunction<GetFolderPath>("shfolder.dll", "SHGetFolderPathA");
    char path[MAX_PATH] = {};
    if (!get || FAILED(get(nullptr, csidl, nullptr, 0, path))) return "";
    return path;
}

// The root of the tree for a special folder; empty for the desktop or a folder the shell cannot give.
UniquePidl SpecialFolderRoot(TFromDirectory folder, std::uint32_t shellVersion) {
    const RootFolderSource source = ResolveSpecialFolder(folder, shellVersion, IsNtPlatform());
    switch (source.kind) {
    case RootFolderSource::Desktop: return {};
    case RootFolderSource::ShellFolder: return SpecialFolderItem(source.csidl);
    case RootFolderSource::FolderPath: return ItemFromParsingName(FolderPathFromService(source.csidl));
    }
    return {};
}

std::string ShortenPath(HWND control, const std::string& path, int width) {
    wizard::win32::WindowDc dc(nullptr);
    wizard::win32::SelectGuard font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    std::vector<char> buffer(path.begin(), path.end());
    buffer.resize(path.size() + 5, '\0');  // room for the ellipsis the shortening writes
    RECT r{0, 0, width, 0};
    ::DrawTextA(dc.get(), buffer.data(), -1, &r,
                DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return buffer.data();
}

std::string WideToAnsi(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return "";
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, result.data(), size, nullptr, nullptr);
    result.resize(static_cast<size_t>(size - 1));
    return result;
}

}  // namespace

std::uint32_t TBrowseForFolderDialog::InstalledShellVersion() {
    static const std::uint32_t version = [] {
        char path[MAX_PATH] = {};
        ::GetSystemDirectoryA(path, MAX_PATH);
        const std::string file = std::string(path) + "\\shell32.dll";
        using platform::win32::SystemFunction;
        auto* const infoSize = SystemFunction<decltype(::GetFileVersionInfoSizeA)>("version.dll", "GetFileVersionInfoSizeA");
        auto* const getInfo = SystemFunction<decltype(::GetFileVersionInfoA)>("version.dll", "GetFileVersionInfoA");
        auto* const queryValue = SystemFunction<decltype(::VerQueryValueA)>("version.dll", "VerQueryValueA");
        if (!infoSize || !getInfo || !queryValue) return std::uint32_t{0};
        DWORD ignored = 0;
        std::vector<char> data(infoSize(file.c_str(), &ignored));
        VS_FIXEDFILEINFO* info = nullptr;
        UINT size = 0;
        if (data.empty() || !getInfo(file.c_str(), 0, static_cast<DWORD>(data.size()), data.data()) ||
            !queryValue(data.data(), "\\", reinterpret_cast<void**>(&info), &size) || !info)
            return std::uint32_t{0};
        return static_cast<std::uint32_t>(HIWORD(info->dwFileVersionMS) * 65536u + LOWORD(info->dwFileVersionMS));
    }();
    return version;
}

TBrowseForFolderDialog::TBrowseForFolderDialog(HWND owner, std::uint32_t shellVersion)
    : TBrowseForFolder([shellVersion](TFromDirectory folder) {
          return ParsingName(SpecialFolderRoot(folder, shellVersion).get());
      }),
      owner_(owner),
      shellVersion_(shellVersion) {}

HWND TBrowseForFolderDialog::OwnerWindow() const {
    if (owner_) return ::GetAncestor(owner_, GA_ROOT);
    if (const HWND active = ::GetActiveWindow()) return active;
    return ::GetForegroundWindow();
}

bool TBrowseForFolderDialog::Execute() {
    if (shellVersion_ < kOldestShell) throw std::runtime_error("Shell not compatible with BrowseForFolder");
    effective_ = EffectiveOptions(Options(), shellVersion_);
    const bool newStyle = effective_.Contains(odNewDialogStyle);
    std::optional<ComScope> com;
    if (newStyle) com.emplace();

    const UniquePidl root = RootDirectory() == fdNoSpecialFolder ? ItemFromParsingName(RootDirectoryPath())
                                                                 : SpecialFolderRoot(RootDirectory(), shellVersion_);
    const std::string title = BrowseTitle(Title, StatusText, newStyle);
    std::string displayName(MAX_PATH, '\0');
    ownerWindow_ = OwnerWindow();

    BROWSEINFOA info{};
    info.hwndOwner = ownerWindow_;
    info.pidlRoot = root.get();
    info.pszDisplayName = displayName.data();
    info.lpszTitle = title.empty() ? nullptr : title.c_str();
    info.ulFlags = BrowseFlags(effective_);
    info.lpfn = &TBrowseForFolderDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    chosen_.reset();
    {
        ModalScope modal;
        chosen_ = BrowseForFolder(info);
    }
    Closed();
    if (!chosen_) return false;
    DisplayName = displayName.c_str();
    Directory = ParsingName(chosen_.get());
    return true;
}

void TBrowseForFolderDialog::Closed() {
    if (filter_) {
        filter_->Detach();
        filter_->Release();
        filter_ = nullptr;
    }
    handle_ = nullptr;
    previousProc_ = nullptr;
    helpButton_ = nullptr;
    placed_ = false;
}

int CALLBACK TBrowseForFolderDialog::BrowseCallback(HWND dialog, UINT message, LPARAM lParam, LPARAM data) {
    try {
        return reinterpret_cast<TBrowseForFolderDialog*>(data)->Callback(dialog, message, lParam);
    } catch (...) {
        return 0;  // a failing handler must not unwind through the shell
    }
}

int TBrowseForFolderDialog::Callback(HWND dialog, UINT message, LPARAM lParam) {
    switch (message) {
    case BFFM_INITIALIZED: Initialized(dialog); break;
    case BFFM_SELCHANGED: SelectionChanged(reinterpret_cast<LPCITEMIDLIST>(lParam)); break;
    // Zero closes the dialog, anything else keeps it open.
    case BFFM_VALIDATEFAILEDA: return MayCloseAfterFailedValidation(reinterpret_cast<const char*>(lParam)) ? 0 : 1;
    case BFFM_VALIDATEFAILEDW:
        return MayCloseAfterFailedValidation(WideToAnsi(reinterpret_cast<const wchar_t*>(lParam))) ? 0 : 1;
    case BFFM_IUNKNOWN: InstallFilter(reinterpret_cast<IUnknown*>(lParam)); break;
    default: break;
    }
    return 0;
}

void TBrowseForFolderDialog::Initialized(HWND dialog) {
    handle_ = dialog;
    ::SetPropA(dialog, kDialogObject, this);
    previousProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TBrowseForFolderDialog::DialogProc)));
    // The new style still lays itself out; it is placed when it first shows.
    if (!effective_.Contains(odNewDialogStyle)) PlaceDialog();
    if (HelpContext != 0) AddHelpButton();
    // A name that stands for nothing leaves the shell's own selection.
    if (const UniquePidl item = ItemFromParsingName(Directory))
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(item.get()));
    ShowStatus(Directory);
    if (OnInitialized) OnInitialized(*this);
}

void TBrowseForFolderDialog::SelectionChanged(LPCITEMIDLIST item) {
    const std::string path = ParsingName(item);
    EnableOk(handle_, AcceptsFolder(path));
    ShowStatus(path);
    if (OnChange) OnChange(*this, path);
}

void TBrowseForFolderDialog::InstallFilter(IUnknown* site) {
    if (!site || filter_ || !FiltersItems()) return;
    UniqueCom<IFolderFilterSite> filterSite;
    if (FAILED(site->QueryInterface(IID_IFolderFilterSite, reinterpret_cast<void**>(filterSite.put())))) return;
    filter_ = new FolderFilter(*this);
    filterSite.get()->SetFilter(filter_);
}

void TBrowseForFolderDialog::ShowStatus(const std::string& path) {
    RECT client{};
    ::GetClientRect(handle_, &client);
    const HWND status = ::GetDlgItem(handle_, kStatusControlId);
    const RECT statusRect = status ? RectInDialog(handle_, status) : RECT{};
    const auto line = StatusLineFor(effective_, path, client.right, statusRect.left);
    if (!line) return;
    const std::string text = line->shortenToWidth > 0 ? ShortenPath(status, line->text, line->shortenToWidth)
                                                      : line->text;
    ::SendMessageA(handle_, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TBrowseForFolderDialog::PlaceDialog() {
    placed_ = true;
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT client{};
    ::GetClientRect(handle_, &client);
    // Without an owner window "centred on the form" means centred on the work area.
    RECT owner = work;
    if (ownerWindow_) ::GetWindowRect(ownerWindow_, &owner);
    const FrameMetrics metrics{::GetSystemMetrics(SM_CXDLGFRAME), ::GetSystemMetrics(SM_CYDLGFRAME),
                               ::GetSystemMetrics(SM_CYCAPTION)};
    if (const auto at = FolderDialogPosition(Position, ToRect(work), {client.right, client.bottom}, ToRect(owner),
                                             metrics))
        ::SetWindowPos(handle_, nullptr, at->x, at->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TBrowseForFolderDialog::AddHelpButton() {
    helpButton_ = AddDialogButton(handle_, "&Help", kAddedButtonId, false);
    if (!helpButton_) return;
    const RECT button = RectInDialog(handle_, helpButton_);
    RECT client{};
    ::GetClientRect(handle_, &client);
    helpButtonLeft_ = button.left;
    helpButtonGap_ = client.bottom - button.top;
    // The new style keeps its "Make New Folder" button at the left: the dialog widens by one button
    // and Help goes beside it, not over it.
    for (HWND other = ::FindWindowExA(handle_, nullptr, "BUTTON", nullptr); other;
         other = ::FindWindowExA(handle_, other, "BUTTON", nullptr)) {
        RECT overlap{};
        const RECT occupied = RectInDialog(handle_, other);
        // The dialog itself is not shown yet: the button's own style tells whether it will be.
        const bool shown = (::GetWindowLongA(other, GWL_STYLE) & WS_VISIBLE) != 0;
        if (other == helpButton_ || !shown || !::IntersectRect(&overlap, &button, &occupied)) continue;
        const int gap = wizard::Scaled(6);
        helpButtonLeft_ = occupied.right + gap;
        RECT frame{};
        ::GetWindowRect(handle_, &frame);
        ::SetWindowPos(handle_, nullptr, 0, 0, frame.right - frame.left + button.right - button.left + gap,
                       frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        KeepHelpButtonAtBottom();
        break;
    }
}

void TBrowseForFolderDialog::KeepHelpButtonAtBottom() {
    RECT client{};
    ::GetClientRect(handle_, &client);
    ::SetWindowPos(helpButton_, nullptr, helpButtonLeft_, client.bottom - helpButtonGap_, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK TBrowseForFolderDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TBrowseForFolderDialog*>(::GetPropA(dialog, kDialogObject));
    return self->Route(message, wParam, lParam);
}

LRESULT TBrowseForFolderDialog::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND dialog = handle_;
    const WNDPROC previous = previousProc_;
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam && !placed_) PlaceDialog();
        break;
    case WM_SIZE:
        if (helpButton_) KeepHelpButtonAtBottom();
        break;
    case kEnableOkAgain: return ::CallWindowProcA(previous, dialog, BFFM_ENABLEOK, 0, static_cast<LPARAM>(wParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == kAddedButtonId && HIWORD(wParam) == BN_CLICKED && helpButton_) {
            try {
                if (OnHelp) OnHelp(HelpContext);
            } catch (...) {
                // failures during the run are swallowed
            }
            return 0;
        }
        break;
    case WM_DESTROY:
        ::RemovePropA(dialog, kDialogObject);
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        handle_ = nullptr;
        break;
    default: break;
    }
    return ::CallWindowProcA(previous, dialog, message, wParam, lParam);
}

}  // namespace controls::win32
