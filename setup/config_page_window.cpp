#include "setup/config_page_window.h"

#include <commctrl.h>

#include "setup/texts.h"

namespace setup {

using namespace wizard;

ConfigPage::ConfigPage(SetupWindow& window)
    : SetupPage(window, wConfigPage, window.Wizard().AddPage<TWizardInteriorPage>(), texts::ConfigTitle,
                texts::ConfigSubtitle) {
    Page().OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wConfigPageNextButtonClick(stop); };
}

ConfigPage::~ConfigPage() {
    if (Built()) ::RemoveWindowSubclass(Hwnd(), ConfigPageProc, 1);
}

void ConfigPage::Build() {
    // The page window belongs to the wizard; the list's drawing comes to it.
    ::SetWindowSubclass(Hwnd(), ConfigPageProc, 1, reinterpret_cast<DWORD_PTR>(this));
    const Rect a = Area();
    constexpr int kTargetTop = 76, kTargetLeft = 84, kTargetWidth = 209;
    Control("STATIC", texts::OptionsFor, 0,
            {a.left + Scaled(16), Scaled(kTargetTop + 3), Scaled(kTargetLeft - 4), Scaled(kTargetTop + 19)},
            idTargetLabel);
    cTarget_ = Control("COMBOBOX", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_TABSTOP | WS_VSCROLL,
                       Scaled(Rect{kTargetLeft, kTargetTop, kTargetLeft + kTargetWidth, kTargetTop + 160}), idTarget);
    ::SendMessageA(cTarget_, CB_SETITEMHEIGHT, 0, Scaled(16));
    ::SendMessageA(cTarget_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Scaled(18));
    On(idTarget, CBN_SELCHANGE, [this] { cTargetChange(); });
    const int groupTop = Scaled(kTargetTop + 28);
    // Transparent: the page paints the group's inside, which a group box leaves alone.
    gbOptions_ = Control("BUTTON", texts::InstallationOptions, BS_GROUPBOX,
                         {a.left + Scaled(8), groupTop, a.right - Scaled(8), a.bottom - Scaled(4)}, idOptions,
                         WS_EX_TRANSPARENT);
    for (int i = 0; i < 6; ++i) {
        const int top = groupTop + Scaled(16 + i * 18);
        optionBoxes_[i] = Control("BUTTON", texts::ConfigOptions[i], BS_AUTOCHECKBOX | WS_TABSTOP,
                                  {a.left + Scaled(20), top, a.right - Scaled(20), top + Scaled(kBoxHeight)},
                                  idCompileFromSource + i);
        On(idCompileFromSource + i, BN_CLICKED, [this, i] {
            if (auto* target = SelectedTarget())
                StoreOption(*target, static_cast<TConfigOption>(i), Checked(optionBoxes_[i]));
        });
    }
    for (int i = 0; i < 3; ++i) {
        const int top = groupTop + Scaled(124 + i * 46);
        auto& frame = folderFrames_[i];
        frame = std::make_unique<controls::win32::DirEditFrame>(
            Hwnd(), idBPL + i, Rect{a.left + Scaled(16), top, a.left + Scaled(340), top + Scaled(46)},
            window_.Wizard().PageFont());
        frame->SetCaption(texts::ConfigFolders[i]);
        frame->Frame().AllowEmpty = true;
        frame->OnEditChange = [this, i] {
            if (auto* target = SelectedTarget())
                StoreFolder(*target, static_cast<TConfigFolder>(i), folderFrames_[i]->Text());
        };
    }
}

void ConfigPage::wConfigPageEnterPage() {
    engine::TInstallData& data = window_.Data();
    ::SendMessageA(cTarget_, CB_RESETCONTENT, 0, 0);
    const Size iconSize = Scaled(Size{16, 16});
    ImageListTargets.reset(::ImageList_Create(iconSize.cx, iconSize.cy, ILC_COLOR32 | ILC_MASK, 4, 4));
    configTargets_ = ConfigTargets(data);
    targetIcons_.clear();
    std::string iconFailure;
    for (auto* target : configTargets_) {
        ::SendMessageA(cTarget_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(target->Target.DisplayName().c_str()));
        // A program without an icon leaves its item's slot empty; the later items keep their own.
        std::unique_ptr<platform::SmallIcon> icon;
        try {
            if (iconFailure.empty()) icon = data.Machine.system.FileSmallIcon(target->Target.IDEExecutable);
        } catch (const std::exception& error) {
            iconFailure = "The IDEs' icons cannot be shown: " + std::string(error.what());
        }
        targetIcons_.push_back(
            icon ? ::ImageList_AddIcon(ImageListTargets.get(), static_cast<HICON>(icon->NativeHandle())) : -1);
    }
    // The page works without them: said once, after the list is complete.
    if (!iconFailure.empty()) window_.ShowMessage(iconFailure, MB_ICONWARNING);
    ::SendMessageA(cTarget_, CB_SETCURSEL, 0, 0);
    cTargetChange();
}

// The wizard stays, showing the IDE whose folder is refused.
void ConfigPage::wConfigPageNextButtonClick(bool& stop) {
    const auto refusal = LeaveConfigPage(configTargets_);
    if (!refusal) return;
    ::SendMessageA(cTarget_, CB_SETCURSEL, refusal->Index, 0);
    cTargetChange();
    window_.ShowMessage(refusal->Message, MB_ICONWARNING);
    stop = true;
}

engine::TTargetOptions* ConfigPage::SelectedTarget() const {
    const auto index = ::SendMessageA(cTarget_, CB_GETCURSEL, 0, 0);
    return index >= 0 && index < static_cast<LRESULT>(configTargets_.size()) ? configTargets_[index] : nullptr;
}

void ConfigPage::cTargetChange() {
    engine::TTargetOptions* target = SelectedTarget();
    ::EnableWindow(gbOptions_, target != nullptr);
    if (!target) {
        for (HWND box : optionBoxes_) ::EnableWindow(box, FALSE);
        for (auto& frame : folderFrames_) ::EnableWindow(frame->Hwnd(), FALSE);
        return;
    }
    const TConfigShown shown = setup::cTargetChange(window_.Data(), *target);
    const TOptionBox* boxes[] = {&shown.CompileFromSource, &shown.IDERegistration, &shown.ZEOS,
                                 &shown.MyDAC,             &shown.ODAC,            &shown.AddSource};
    for (int i = 0; i < 6; ++i) {
        ::EnableWindow(optionBoxes_[i], boxes[i]->Enabled);
        ::SendMessageA(optionBoxes_[i], BM_SETCHECK, boxes[i]->Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    const std::string* folders[] = {&shown.BPLDir, &shown.DCPDir, &shown.HPPDir};
    for (int i = 0; i < 3; ++i) {
        ::EnableWindow(folderFrames_[i]->Hwnd(), TRUE);
        folderFrames_[i]->SetText(*folders[i]);
    }
    ::ShowWindow(folderFrames_[cfHPP]->Hwnd(), shown.HPPVisible ? SW_SHOW : SW_HIDE);
}

void ConfigPage::cTargetDrawItem(const DRAWITEMSTRUCT& item) {
    // The name comes from the item's target, not back from the list: an edition read from the
    // registry can be of any length, and under Wine a long item read back through the ANSI list
    // messages draws no text.
    if (item.itemID >= configTargets_.size()) return;  // also no item (-1)
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (const int image = targetIcons_[item.itemID]; image >= 0)
        ::ImageList_Draw(ImageListTargets.get(), image, item.hDC, item.rcItem.left + Scaled(1), item.rcItem.top,
                         ILD_TRANSPARENT);
    RECT text = item.rcItem;
    int width = 16, height = 16;
    ::ImageList_GetIconSize(ImageListTargets.get(), &width, &height);
    text.left += width + Scaled(3);
    const std::string caption = configTargets_[item.itemID]->Target.DisplayName();
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::ExtTextOutA(item.hDC, text.left, text.top + Scaled(1), ETO_CLIPPED, &text, caption.data(),
                  static_cast<UINT>(caption.size()), nullptr);
}

LRESULT CALLBACK ConfigPage::ConfigPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
    if (message == WM_DRAWITEM && wParam == idTarget) {
        reinterpret_cast<ConfigPage*>(self)->cTargetDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace setup
