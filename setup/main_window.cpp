#include "setup/main_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <exception>
#include <string>

#include "platform/win32/system_library.h"
#include "setup/texts.h"
#include "wizard/win32/gdi_canvas.h"

namespace setup {

using wizard::Rect;
using wizard::TWizardCustomPage;
using namespace wizard;

namespace {

constexpr char kFrameClass[] = "QvSetupMain";
constexpr UINT kRunCompile = WM_APP + 1;
constexpr int kWindowWidth = 548, kWindowHeight = 466;
constexpr int kButtonBarHeight = 42;
constexpr int kBoxHeight = 17;

// The picture at the left of the welcome pages: the program's own bitmap resource.
std::shared_ptr<win32::GdiGraphic> WelcomePicture(HINSTANCE instance) {
    auto bitmap = static_cast<HBITMAP>(::LoadImageA(instance, "WELCOME", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return nullptr;
    return std::make_shared<win32::GdiGraphic>(win32::UniqueBitmap(bitmap));
}

WPARAM CheckFor(TCheckState state) {
    return state == csChecked ? BST_CHECKED : state == csGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}

bool Checked(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

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
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2;
    frame_.reset(::CreateWindowExA(WS_EX_CONTROLPARENT, kFrameClass, texts::WindowCaption,
                                   WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, left, top, kWindowWidth,
                                   kWindowHeight, nullptr, nullptr, instance, nullptr));
    ::SetWindowLongPtrA(frame_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    wizard_ = std::make_unique<win32::WizardWindow>(frame_.get(), idWizard);
    RECT client{};
    ::GetClientRect(frame_.get(), &client);
    ::MoveWindow(wizard_->Hwnd(), 0, 0, client.right, client.bottom, FALSE);

    TWizard& wizard = wizard_->Wizard();
    wizard.SetButtonBarHeight(kButtonBarHeight);
    wizard.SetButtonClick(bkCancel, [this](TWizardButtonControl&) { WizardCancelButtonClick(); });
    AddPages();
    for (int i = 0; i < kSetupPageCount; ++i)
        pageWindows_[i]->OnCommand = [this](int id, int code, HWND) {
            // The run uses the data and the pages: nothing on them changes until it has ended.
            if (compile_.Running()) return;
            if (id >= idIDEBox && id < idIDEBox + static_cast<int>(ideBoxes_.size()) && code == BN_CLICKED)
                IDECheckBoxClick(id - idIDEBox);
            else if (id == idAgree && code == BN_CLICKED)
                cbAgreeClick();
            else if ((id == idMainternance || id == idUninstall) && code == BN_CLICKED)
                rbMainternanceClick();
            else if (id == idMainternanceLabel && code == STN_CLICKED)
                lMainternanceLabelClick(rbMainternance_);
            else if (id == idUninstallLabel && code == STN_CLICKED)
                lMainternanceLabelClick(rbUninstall_);
            else if (id == idSaveBuildLog && code == BN_CLICKED)
                bSaveBuildLogClick();
            else if (id == idTarget && code == CBN_SELCHANGE)
                cTargetChange();
            else if (id >= idCompileFromSource && id <= idAddSource && code == BN_CLICKED && SelectedTarget())
                StoreOption(*SelectedTarget(), static_cast<TConfigOption>(id - idCompileFromSource),
                            Checked(optionBoxes_[id - idCompileFromSource]));
        };
    SetupPages();
    wizard.Loaded();
}

TfMain::~TfMain() {
    // Taking the pages down moves the wizard on from page to page; no page entry may build or
    // reach controls, which are gone by then.
    for (auto* page : pages_) page->OnEnterPage = nullptr;
    pages_[wCompile]->OnPage = nullptr;
    ::RemoveWindowSubclass(pageWindows_[wConfigPage]->Hwnd(), ConfigPageProc, 1);
}

template <typename PageT>
PageT& TfMain::AddPage(TSetupPage id, const char* title, const char* subtitle) {
    auto added = wizard_->AddPage<PageT>();
    added.page.Title().SetText(title);
    added.page.Subtitle().SetText(subtitle);
    added.page.OnEnterPage = [this, id](TWizardCustomPage&, TWizardCustomPage*) { EnterPage(id); };
    pages_[id] = &added.page;
    pageWindows_[id] = &added.window;
    NamePage(id);
    return added.page;
}

void TfMain::AddPages() {
    const auto picture = WelcomePicture(::GetModuleHandleA(nullptr));
    for (const auto& [id, subtitle] :
         {std::pair{wInstallPage, texts::InstallSubtitle}, {wUpdatePage, texts::UpdateSubtitle}}) {
        auto& page = AddPage<TWizardWelcomePage>(id, texts::WelcomeTitle, subtitle);
        page.SetVisibleButtons({bkNext, bkCancel});
        if (picture) page.WaterMark().Image().SetPicture(picture);
    }
    pages_[wUpdatePage]->OnNextButtonClick = [](TWizardCustomPage&, bool&) {};  // wUpdatePageNextButtonClick
    AddPage<TWizardInteriorPage>(wMainternance, texts::MaintenanceTitle, texts::MaintenanceSubtitle)
        .SetVisibleButtons({bkNext, bkCancel});
    pages_[wMainternance]->OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) {
        wMainternanceNextButtonClick(stop);
    };
    AddPage<TWizardInteriorPage>(wLicensePage, texts::LicenseTitle, texts::LicenseSubtitle)
        .SetButtonEnabled(bkNext, false);
    AddPage<TWizardInteriorPage>(wDestinationPage, texts::DestinationTitle, texts::DestinationSubtitle)
        .OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wDestinationPageNextButtonClick(stop); };
    AddPage<TWizardInteriorPage>(wIDEPage, texts::IDETitle, texts::IDESubtitle)
        .OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wIDEPageNextButtonClick(stop); };
    AddPage<TWizardInteriorPage>(wConfigPage, texts::ConfigTitle, texts::ConfigSubtitle)
        .OnNextButtonClick = [this](TWizardCustomPage&, bool& stop) { wConfigPageNextButtonClick(stop); };
    auto& compile = AddPage<TWizardInteriorPage>(wCompile, texts::CompileTitle, texts::CompileSubtitle);
    compile.SetVisibleButtons({bkFinish, bkCancel});
    compile.SetEnabledButtons({bkStart, bkLast, bkCancel, bkHelp});
    compile.OnPage = [this](TWizardCustomPage&) { ::PostMessageA(frame_.get(), kRunCompile, 0, 0); };
    compile.OnFinishButtonClick = [this](TWizardCustomPage&, bool&) { Close(); };  // wCompileFinishButtonClick
}

// A page's controls are made when the page is first entered: most runs see few of the pages, and
// every control made costs the start time and memory.
void TfMain::EnterPage(TSetupPage id) {
    if (!built_[id]) {
        built_[id] = true;
        switch (id) {
        case wInstallPage:
        case wUpdatePage: BuildWelcomePage(id); break;
        case wMainternance: BuildMaintenancePage(); break;
        case wLicensePage: BuildLicensePage(); break;
        case wDestinationPage: BuildDestinationPage(); break;
        case wIDEPage: BuildIDEPage(); break;
        case wConfigPage: BuildConfigPage(); break;
        case wCompile: BuildCompilePage(); break;
        }
    }
    if (id == wConfigPage) wConfigPageEnterPage();
}

// The header is painted; as the page window's text it reaches screen readers and the GUI tests.
void TfMain::NamePage(TSetupPage id) {
    const std::string name = pages_[id]->Title().Text() + "\r\n" + pages_[id]->Subtitle().Text();
    ::SetWindowTextA(pageWindows_[id]->Hwnd(), name.c_str());
}

Rect TfMain::Area(TSetupPage page) const { return pages_[page]->ChildArea(); }

HWND TfMain::Control(TSetupPage page, const char* className, const char* text, DWORD style, const Rect& r, int id,
                     DWORD exStyle) {
    HWND control = ::CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                     r.Width(), r.Height(), pageWindows_[page]->Hwnd(),
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(wizard_->PageFont()), FALSE);
    controls_.emplace_back(control);
    return control;
}

void TfMain::BuildWelcomePage(TSetupPage id) {
    const bool install = id == wInstallPage;
    const Rect a = Area(id);
    // lInstall shows the distribution's version where its text asks for it; the update page's
    // text stays as written.
    const std::string welcome = install ? flow_.InstallText(texts::Welcome) : texts::Welcome;
    Control(id, "STATIC", welcome.c_str(), 0, {a.left + 8, a.top + 16, a.right - 16, a.top + 150},
            install ? idInstallText : idUpdateText);
    Control(id, "STATIC", texts::Description, 0, {a.left + 8, a.top + 166, a.right - 16, a.top + 196},
            install ? idDescription : idUpdateDescription);
}

void TfMain::BuildMaintenancePage() {
    const Rect a = Area(wMainternance);
    rbMainternance_ = Control(wMainternance, "BUTTON", texts::MaintainChoice, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP,
                              {a.left + 24, a.top + 24, a.left + 324, a.top + 24 + kBoxHeight}, idMainternance);
    Control(wMainternance, "STATIC", texts::MaintainExplained, SS_NOTIFY,
            {a.left + 42, a.top + 46, a.right - 24, a.top + 76}, idMainternanceLabel);
    rbUninstall_ = Control(wMainternance, "BUTTON", texts::UninstallChoice, BS_AUTORADIOBUTTON,
                           {a.left + 24, a.top + 96, a.left + 324, a.top + 96 + kBoxHeight}, idUninstall);
    Control(wMainternance, "STATIC", texts::UninstallExplained, SS_NOTIFY,
            {a.left + 42, a.top + 118, a.right - 24, a.top + 148}, idUninstallLabel);
}

void TfMain::BuildLicensePage() {
    const Rect a = Area(wLicensePage);
    Control(wLicensePage, "STATIC", texts::LicenseHint, 0, {a.left + 16, a.top + 12, a.right - 16, a.top + 28},
            idLicenseHint);
    Control(wLicensePage, "EDIT", texts::License, ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
            {a.left + 16, a.top + 32, a.right - 16, a.bottom - 40}, idLicense, WS_EX_CLIENTEDGE);
    cbAgree_ = Control(wLicensePage, "BUTTON", texts::Agree, BS_AUTOCHECKBOX | WS_TABSTOP,
                       {a.left + 16, a.bottom - 30, a.left + 316, a.bottom - 30 + kBoxHeight}, idAgree);
}

void TfMain::BuildDestinationPage() {
    const Rect a = Area(wDestinationPage);
    Control(wDestinationPage, "STATIC", texts::DestinationIntro, 0,
            {a.left + 16, a.top + 16, a.right - 16, a.top + 32}, idDestinationIntro);
    Control(wDestinationPage, "STATIC", texts::DestinationHowTo, 0,
            {a.left + 16, a.top + 40, a.right - 16, a.top + 70}, idDestinationHowTo);
    deDestination_ = std::make_unique<controls::win32::DirEditFrame>(
        pageWindows_[wDestinationPage]->Hwnd(), idDestination,
        Rect{a.left + 16, a.top + 84, a.left + 340, a.top + 130}, wizard_->PageFont());
    deDestination_->SetCaption(texts::DestinationCaption);
    deDestination_->SetText(data_.InstallDir);
    // The page's folder dialog; the frame's own browse button opens its own dialog, not this one.
    BrowseForFolderDialog = std::make_unique<controls::win32::TBrowseForFolderDialog>(frame_.get());
    BrowseForFolderDialog->Title = texts::DestinationBrowseTitle;
    BrowseForFolderDialog->SetOptions(
        {controls::odOnlyDirectory, controls::odFileSystemDirectoryOnly, controls::odStatusAvailable,
         controls::odEditBox, controls::odNewDialogStyle});
}

void TfMain::BuildIDEPage() {
    for (std::size_t i = 0; i < flow_.Boxes().size(); ++i) {
        const TIDECheckBox& box = flow_.Boxes()[i];
        const int index = static_cast<int>(i);
        HWND check = Control(wIDEPage, "BUTTON", box.Target->Target.DisplayName().c_str(),
                             (box.ThreeState ? BS_3STATE : BS_CHECKBOX) | WS_TABSTOP,
                             {kIDEBoxLeft, box.Top, kIDEBoxLeft + kIDEBoxWidth, box.Top + kBoxHeight}, idIDEBox + index);
        ::SendMessageA(check, BM_SETCHECK, CheckFor(box.State), 0);
        const int labelTop = box.Top + kBoxHeight + kActionLabelGap;
        HWND label = Control(wIDEPage, "STATIC", "", 0,
                             {kIDEBoxLeft + kActionLabelIndent, labelTop, kIDEBoxLeft + 300, labelTop + 14},
                             idIDELabel + index);
        ideBoxes_.push_back(check);
        ideLabels_.push_back(label);
    }
    UpdateActionLabels();
}

void TfMain::BuildConfigPage() {
    HWND pageWindow = pageWindows_[wConfigPage]->Hwnd();
    // The page window belongs to the wizard; the list's drawing comes to it.
    ::SetWindowSubclass(pageWindow, ConfigPageProc, 1, reinterpret_cast<DWORD_PTR>(this));
    const Rect a = Area(wConfigPage);
    constexpr int kTargetTop = 76, kTargetLeft = 84, kTargetWidth = 209;
    Control(wConfigPage, "STATIC", texts::OptionsFor, 0, {a.left + 16, kTargetTop + 3, kTargetLeft - 4, kTargetTop + 19},
            idTargetLabel);
    cTarget_ = Control(wConfigPage, "COMBOBOX", "", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_TABSTOP |
                                                       WS_VSCROLL,
                       {kTargetLeft, kTargetTop, kTargetLeft + kTargetWidth, kTargetTop + 160}, idTarget);
    ::SendMessageA(cTarget_, CB_SETITEMHEIGHT, 0, 16);
    ::SendMessageA(cTarget_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), 18);
    const int groupTop = kTargetTop + 28;
    // Transparent: the page paints the group's inside, which a group box leaves alone.
    gbOptions_ = Control(wConfigPage, "BUTTON", texts::InstallationOptions, BS_GROUPBOX,
                         {a.left + 8, groupTop, a.right - 8, a.bottom - 4}, idOptions, WS_EX_TRANSPARENT);
    for (int i = 0; i < 6; ++i) {
        const int top = groupTop + 16 + i * 18;
        optionBoxes_[i] = Control(wConfigPage, "BUTTON", texts::ConfigOptions[i], BS_AUTOCHECKBOX | WS_TABSTOP,
                                  {a.left + 20, top, a.right - 20, top + kBoxHeight}, idCompileFromSource + i);
    }
    for (int i = 0; i < 3; ++i) {
        const int top = groupTop + 124 + i * 46;
        auto& frame = folderFrames_[i];
        frame = std::make_unique<controls::win32::DirEditFrame>(
            pageWindow, idBPL + i, Rect{a.left + 16, top, a.left + 340, top + 46}, wizard_->PageFont());
        frame->SetCaption(texts::ConfigFolders[i]);
        frame->Frame().AllowEmpty = true;
        frame->OnEditChange = [this, i] {
            if (auto* target = SelectedTarget())
                StoreFolder(*target, static_cast<TConfigFolder>(i), folderFrames_[i]->Text());
        };
    }
}

void TfMain::wConfigPageEnterPage() {
    ::SendMessageA(cTarget_, CB_RESETCONTENT, 0, 0);
    ImageListTargets.reset(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4));
    configTargets_ = ConfigTargets(data_);
    targetIcons_.clear();
    for (auto* target : configTargets_) {
        ::SendMessageA(cTarget_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(target->Target.DisplayName().c_str()));
        // A program without an icon leaves its item's slot empty; the later items keep their own.
        const auto icon = data_.Machine.system.FileSmallIcon(target->Target.IDEExecutable);
        targetIcons_.push_back(
            icon ? ::ImageList_AddIcon(ImageListTargets.get(), static_cast<HICON>(icon->NativeHandle())) : -1);
    }
    ::SendMessageA(cTarget_, CB_SETCURSEL, 0, 0);
    cTargetChange();
}

// The wizard stays, showing the IDE whose folder is refused.
void TfMain::wConfigPageNextButtonClick(bool& stop) {
    const auto refusal = LeaveConfigPage(configTargets_);
    if (!refusal) return;
    ::SendMessageA(cTarget_, CB_SETCURSEL, refusal->Index, 0);
    cTargetChange();
    ShowMessage(refusal->Message, MB_ICONWARNING);
    stop = true;
}

engine::TTargetOptions* TfMain::SelectedTarget() const {
    const auto index = ::SendMessageA(cTarget_, CB_GETCURSEL, 0, 0);
    return index >= 0 && index < static_cast<LRESULT>(configTargets_.size()) ? configTargets_[index] : nullptr;
}

void TfMain::cTargetChange() {
    engine::TTargetOptions* target = SelectedTarget();
    ::EnableWindow(gbOptions_, target != nullptr);
    if (!target) {
        for (HWND box : optionBoxes_) ::EnableWindow(box, FALSE);
        for (auto& frame : folderFrames_) ::EnableWindow(frame->Hwnd(), FALSE);
        return;
    }
    const TConfigShown shown = setup::cTargetChange(data_, *target);
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

void TfMain::cTargetDrawItem(const DRAWITEMSTRUCT& item) {
    // The name comes from the item's target, not back from the list: an edition read from the
    // registry can be of any length, and under Wine a long item read back through the ANSI list
    // messages draws no text.
    if (item.itemID >= configTargets_.size()) return;  // also no item (-1)
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (const int image = targetIcons_[item.itemID]; image >= 0)
        ::ImageList_Draw(ImageListTargets.get(), image, item.hDC, item.rcItem.left + 1, item.rcItem.top,
                         ILD_TRANSPARENT);
    RECT text = item.rcItem;
    int width = 16, height = 16;
    ::ImageList_GetIconSize(ImageListTargets.get(), &width, &height);
    text.left += width + 3;
    const std::string caption = configTargets_[item.itemID]->Target.DisplayName();
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ::ExtTextOutA(item.hDC, text.left, text.top + 1, ETO_CLIPPED, &text, caption.data(),
                  static_cast<UINT>(caption.size()), nullptr);
}

LRESULT CALLBACK TfMain::ConfigPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
    if (message == WM_DRAWITEM && wParam == idTarget) {
        reinterpret_cast<TfMain*>(self)->cTargetDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void TfMain::BuildCompilePage() {
    const Rect a = Area(wCompile);
    Control(wCompile, "STATIC", texts::Progress, 0, {a.left + 8, a.top + 8, a.right - 8, a.top + 24}, idProgressLabel);
    mOutput_ = Control(wCompile, "EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                       {a.left + 8, a.top + 26, a.right - 8, a.bottom - 38}, idOutput, WS_EX_CLIENTEDGE);
    ::SendMessageA(mOutput_, EM_SETLIMITTEXT, 0, 0);
    progressBar_ = Control(wCompile, PROGRESS_CLASSA, "", 0, {a.left + 8, a.bottom - 29, a.right - 151, a.bottom - 13},
                           idProgressBar);
    bSaveBuildLog_ = Control(wCompile, "BUTTON", texts::SaveBuildLog, BS_PUSHBUTTON | WS_TABSTOP,
                             {a.right - 143, a.bottom - 33, a.right - 8, a.bottom - 8}, idSaveBuildLog);
}

// The IDE page's boxes and the destination follow the flow when their pages are first entered.
void TfMain::SetupPages() {
    flow_.SetupPages();
    if (data_.State == engine::isUpdate) {
        pages_[wUpdatePage]->Subtitle().SetText(flow_.UpdateSubtitle(texts::UpdateSubtitle));
        NamePage(wUpdatePage);
    }
    ApplyPageFlow();
}

void TfMain::ApplyPageFlow() {
    for (int i = 0; i < kSetupPageCount; ++i) {
        const bool enabled = flow_.PageEnabled(static_cast<TSetupPage>(i));
        if (pages_[i]->Enabled() != enabled) pages_[i]->SetEnabled(enabled);
    }
    pages_[wIDEPage]->SetButtonEnabled(bkNext, flow_.IDENextEnabled());
}

void TfMain::UpdateActionLabels() {
    for (std::size_t i = 0; i < ideLabels_.size(); ++i)
        ::SetWindowTextA(ideLabels_[i], flow_.ActionLabel(static_cast<int>(i)).c_str());
}

void TfMain::IDECheckBoxClick(int box) {
    flow_.IDECheckBoxClick(box);
    ::SendMessageA(ideBoxes_[box], BM_SETCHECK, CheckFor(flow_.Boxes()[box].State), 0);
    UpdateActionLabels();
    ApplyPageFlow();
}

void TfMain::cbAgreeClick() {
    flow_.cbAgreeClick(Checked(cbAgree_));
    pages_[wLicensePage]->SetButtonEnabled(bkNext, flow_.LicenseNextEnabled());
}

void TfMain::lMainternanceLabelClick(HWND radio) {
    ::SetFocus(radio);
    ::SendMessageA(radio, BM_CLICK, 0, 0);
}

void TfMain::rbMainternanceClick() {
    flow_.rbMainternanceClick(Checked(rbMainternance_), Checked(rbUninstall_));
    UpdateActionLabels();
    ApplyPageFlow();
}

void TfMain::wMainternanceNextButtonClick(bool& stop) { RefuseRunningIDEs(flow_.LeaveMaintenance(), stop); }

void TfMain::wIDEPageNextButtonClick(bool& stop) { RefuseRunningIDEs(flow_.RunningIDEMessages(), stop); }

void TfMain::RefuseRunningIDEs(const std::vector<std::string>& messages, bool& stop) {
    for (const auto& message : messages) {
        ShowMessage(message, MB_ICONWARNING);
        stop = true;
    }
}

void TfMain::wDestinationPageNextButtonClick(bool& stop) {
    if (const auto refusal = flow_.LeaveDestination(deDestination_->Text())) {
        ShowMessage(*refusal, MB_ICONWARNING);
        stop = true;
    }
}

void TfMain::WizardCancelButtonClick() {
    // The run still uses the window and the data: end once it has returned. The greyed button
    // shows that the Cancel was taken.
    if (compile_.Running()) {
        closeAfterRun_ = true;
        pages_[wCompile]->SetButtonEnabled(bkCancel, false);
    } else
        Close();
}

void TfMain::Close() {
    ::ShowWindow(frame_.get(), SW_HIDE);
    ::PostQuitMessage(0);
}

void TfMain::wCompilePage() {
    compile_.wCompilePage(data_, *this);
    if (closeAfterRun_) Close();
}

void TfMain::bSaveBuildLogClick() {
    char file[MAX_PATH] = {};
    lstrcpynA(file, TCompilePage::SaveDialogFileName, sizeof file);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = frame_.get();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = compile_.SaveDialogInitialDir.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    // The common dialogs are a large library that most runs never need: loaded when asked for.
    const auto getSaveFileName =
        platform::win32::SystemFunction<decltype(::GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA");
    if (!getSaveFileName || !getSaveFileName(&dialog)) return;
    try {
        data_.Machine.files.WriteFile(file, compile_.BuildLogText());
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TfMain::SetSaveBuildLogEnabled(bool enabled) { ::EnableWindow(bSaveBuildLog_, enabled); }

void TfMain::AppendOutput(const std::string& text) {
    const int length = ::GetWindowTextLengthA(mOutput_);
    ::SendMessageA(mOutput_, EM_SETSEL, length, length);
    ::SendMessageA(mOutput_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(mOutput_, EM_SCROLLCARET, 0, 0);
    ProcessMessages();
}

void TfMain::ProcessMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            closeAfterRun_ = true;
            continue;
        }
        if (PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

void TfMain::ShowProgress(int index, int count) {
    ::SendMessageA(progressBar_, PBM_SETRANGE32, 0, count);
    ::SendMessageA(progressBar_, PBM_SETPOS, index, 0);
}

void TfMain::ShowError(const std::string& message) { ShowMessage(message, MB_ICONERROR); }

void TfMain::ShowMessage(const std::string& text, UINT icon) {
    ::MessageBoxA(frame_.get(), text.c_str(), texts::WindowCaption, MB_OK | icon);
}

void TfMain::RunFinished() {
    pages_[wCompile]->SetButtonEnabled(bkCancel, false);
    pages_[wCompile]->SetButtonEnabled(bkFinish, true);
}

LRESULT CALLBACK TfMain::FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TfMain*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self) {
        switch (message) {
        case WM_CLOSE:
            // While the engine runs, only Cancel acts; the close box does not.
            if (!self->compile_.Running()) self->WizardCancelButtonClick();
            return 0;
        case kRunCompile: self->wCompilePage(); return 0;
        default: break;
        }
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace setup
