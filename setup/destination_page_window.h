#pragma once
// The destination page: the installation folder in a directory edit frame.

#include <memory>

#include "controls/win32/browse_for_folder_dialog.h"
#include "controls/win32/dir_edit_frame.h"
#include "setup/setup_page.h"

namespace setup {

class DestinationPage : public SetupPage {
public:
    explicit DestinationPage(SetupWindow& window);

private:
    void Build() override;
    void wDestinationPageNextButtonClick(bool& stop);

    std::unique_ptr<controls::win32::DirEditFrame> deDestination_;
    std::unique_ptr<controls::win32::TBrowseForFolderDialog> BrowseForFolderDialog;
};

}  // namespace setup
