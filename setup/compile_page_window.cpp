#include "setup/compile_page_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <exception>

#include "platform/win32/system_library.h"
#include "setup/texts.h"

namespace setup {

using namespace wizard;

CompilePage::CompilePage(SetupWindow& window)
    : SetupPage(window, wCompile, window.Wizard().AddPage<TWizardInteriorPage>(), texts::CompileTitle,
                texts::CompileSubtitle) {
    TWizardCustomPage& page = Page();
    page.SetVisibleButtons({bkFinish, bkCancel});
    page.SetEnabledButtons({bkStart, bkLast, bkCancel, bkHelp});
    page.OnPage = [this](TWizardCustomPage&) { ::PostMessageA(window_.Frame(), kRunMessage, 0, 0); };
    page.OnFinishButtonClick = [this](TWizardCustomPage&, bool&) { window_.Close(); };  // wCompileFinishButtonClick
}

void CompilePage::Build() {
    const Rect a = Area();
    const int left = a.left + Scaled(8), right = a.right - Scaled(8);
    Control("STATIC", texts::Progress, 0, {left, a.top + Scaled(8), right, a.top + Scaled(24)}, idProgressLabel);
    mOutput_ = Control("EDIT", "", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                       {left, a.top + Scaled(26), right, a.bottom - Scaled(38)}, idOutput, WS_EX_CLIENTEDGE);
    ::SendMessageA(mOutput_, EM_SETLIMITTEXT, 0, 0);
    progressBar_ = Control(PROGRESS_CLASSA, "", 0,
                           {left, a.bottom - Scaled(29), a.right - Scaled(151), a.bottom - Scaled(13)}, idProgressBar);
    bSaveBuildLog_ = Control("BUTTON", texts::SaveBuildLog, BS_PUSHBUTTON | WS_TABSTOP,
                             {a.right - Scaled(143), a.bottom - Scaled(33), right, a.bottom - Scaled(8)},
                             idSaveBuildLog);
    On(idSaveBuildLog, BN_CLICKED, [this] { bSaveBuildLogClick(); });
}

void CompilePage::wCompilePage() {
    compile_.wCompilePage(window_.Data(), *this);
    if (closeAfterRun_) window_.Close();
}

bool CompilePage::CloseAfterRun() {
    if (!compile_.Running()) return false;
    // The run still uses the window and the data: end once it has returned. The greyed button
    // shows that the Cancel was taken.
    closeAfterRun_ = true;
    Page().SetButtonEnabled(bkCancel, false);
    return true;
}

void CompilePage::bSaveBuildLogClick() {
    char file[MAX_PATH] = {};
    lstrcpynA(file, TCompilePage::SaveDialogFileName, sizeof file);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_.Frame();
    dialog.lpstrFile = file;
    dialog.nMaxFile = sizeof file;
    dialog.lpstrInitialDir = compile_.SaveDialogInitialDir.c_str();
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    // The common dialogs are a large library that most runs never need: loaded when asked for.
    const auto getSaveFileName =
        platform::win32::SystemFunction<decltype(::GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA");
    if (!getSaveFileName || !getSaveFileName(&dialog)) return;
    try {
        window_.Data().Machine.files.WriteFile(file, compile_.BuildLogText());
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void CompilePage::SetSaveBuildLogEnabled(bool enabled) { ::EnableWindow(bSaveBuildLog_, enabled); }

void CompilePage::AppendOutput(const std::string& text) {
    const int length = ::GetWindowTextLengthA(mOutput_);
    ::SendMessageA(mOutput_, EM_SETSEL, length, length);
    ::SendMessageA(mOutput_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageA(mOutput_, EM_SCROLLCARET, 0, 0);
    ProcessMessages();
}

void CompilePage::ProcessMessages() {
    if (!window_.ProcessMessages()) closeAfterRun_ = true;
}

void CompilePage::ShowProgress(int index, int count) {
    ::SendMessageA(progressBar_, PBM_SETRANGE32, 0, count);
    ::SendMessageA(progressBar_, PBM_SETPOS, index, 0);
}

void CompilePage::ShowError(const std::string& message) { window_.ShowMessage(message, MB_ICONERROR); }

void CompilePage::RunFinished() {
    Page().SetButtonEnabled(bkCancel, false);
    Page().SetButtonEnabled(bkFinish, true);
}

}  // namespace setup
