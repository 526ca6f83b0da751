#pragma once
// The directory edit frame's behaviour: browse on the edit's text, write the chosen folder back,
// optionally offer "No directory", and ignore a second browse while one runs.

#include <functional>
#include <memory>
#include <string>

#include "controls/browse_options.h"

namespace controls {

// What the frame needs of a folder dialog while it is open.
class FolderDialog {
public:
    virtual ~FolderDialog() = default;
    std::string DialogText;
    std::string FolderName;  // initial folder in, chosen folder out
    std::function<void(FolderDialog& sender)> OnCustomize;
    std::function<void(FolderDialog& sender, int id, int code, bool& handled)> OnCommand;

    virtual bool Execute() = 0;
    // A push button left of the dialog's first button, as wide as its text; false when the
    // dialog has no button to line it up with.
    virtual bool AddTextButton(const std::string& text, int id) = 0;
    // Asks the open dialog to close without OK.
    virtual void Close() = 0;
};

class DirEditView {
public:
    virtual ~DirEditView() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

class TFrameDirEditBrowse;
using TDirEditChangeEvent = std::function<void(TFrameDirEditBrowse& sender, void* userData, std::string& dir)>;

class TFrameDirEditBrowse {
public:
    using DialogFactory = std::function<std::unique_ptr<FolderDialog>()>;
    TFrameDirEditBrowse(DirEditView& edit, DialogFactory createDialog)
        : edit_(edit), createDialog_(std::move(createDialog)) {}

    TDirEditChangeEvent OnChange;
    void* UserData = nullptr;
    bool AllowEmpty = false;

    void BtnDirBrowseClick();
    // Behaves exactly like a click of the browse button.
    void EditDirectoryDblClick() { BtnDirBrowseClick(); }
    // The browse button's tag: 1 while a browse runs.
    int BrowseTag() const { return browseTag_; }

private:
    bool Browse(std::string& dir);

    DirEditView& edit_;
    DialogFactory createDialog_;
    int browseTag_ = 0;
    bool emptyChosen_ = false;
};

}  // namespace controls
