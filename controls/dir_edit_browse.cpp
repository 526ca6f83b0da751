#include "controls/dir_edit_browse.h"

namespace controls {

void TFrameDirEditBrowse::BtnDirBrowseClick() {
    if (browseTag_ != 0) return;
    browseTag_ = 1;
    struct Idle {
        int& tag;
        ~Idle() { tag = 0; }
    } idle{browseTag_};
    std::string dir = edit_.Text();
    if (!Browse(dir)) return;
    if (OnChange) OnChange(*this, UserData, dir);
    if (!dir.empty() || AllowEmpty) edit_.SetText(dir);
}

bool TFrameDirEditBrowse::Browse(std::string& dir) {
    emptyChosen_ = false;
    std::unique_ptr<FolderDialog> dialog = createDialog_();
    dialog->DialogText = "Please select the directory below:";
    dialog->FolderName = dir;
    dialog->OnCustomize = [this](FolderDialog& sender) {
        if (AllowEmpty) sender.AddTextButton("No directory", kAddedButtonId);
    };
    dialog->OnCommand = [this](FolderDialog& sender, int id, int code, bool& handled) {
        if (id != kAddedButtonId || code != 0 || !AllowEmpty) return;
        edit_.SetText("");
        emptyChosen_ = true;
        handled = true;
        sender.Close();
    };
    const bool confirmed = dialog->Execute();
    if (confirmed) dir = dialog->FolderName;
    if (emptyChosen_ && AllowEmpty) {
        dir.clear();
        return true;
    }
    return confirmed;
}

}  // namespace controls
