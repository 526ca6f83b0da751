#pragma once
// The configuration page's window: the list of targets with their icons, the option boxes and
// the three folder frames of the selected target. What they show and store is config_page's.

#include <array>
#include <memory>
#include <vector>

#include "controls/win32/dir_edit_frame.h"
#include "setup/config_page.h"
#include "setup/setup_page.h"

namespace setup {

class ConfigPage : public SetupPage {
public:
    explicit ConfigPage(SetupWindow& window);
    ~ConfigPage() override;

private:
    static LRESULT CALLBACK ConfigPageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self);
    void Build() override;
    void Entered() override { wConfigPageEnterPage(); }
    void wConfigPageEnterPage();
    void wConfigPageNextButtonClick(bool& stop);
    void cTargetDrawItem(const DRAWITEMSTRUCT& item);
    void cTargetChange();
    engine::TTargetOptions* SelectedTarget() const;

    HWND cTarget_ = nullptr, gbOptions_ = nullptr;
    std::array<HWND, 6> optionBoxes_{};  // in the order of TConfigOption
    std::array<std::unique_ptr<controls::win32::DirEditFrame>, 3> folderFrames_;  // BPL, DCP, HPP
    wizard::win32::UniqueImageList ImageListTargets;
    std::vector<engine::TTargetOptions*> configTargets_;
    std::vector<int> targetIcons_;  // per item: its image in ImageListTargets, -1 for none
};

}  // namespace setup
