#include "controls/browse_for_folder.h"

namespace controls {

void TBrowseForFolder::SetRootDirectory(TFromDirectory folder) {
    if (folder == rootDirectory_) return;
    if (folder == fdNoSpecialFolder) rootPath_ = specialFolderPath_(rootDirectory_);
    rootDirectory_ = folder;
}

std::string TBrowseForFolder::RootDirectoryPath() const {
    return rootDirectory_ == fdNoSpecialFolder ? rootPath_ : specialFolderPath_(rootDirectory_);
}

void TBrowseForFolder::SetRootDirectoryPath(const std::string& path) {
    rootDirectory_ = fdNoSpecialFolder;
    rootPath_ = path;
}

bool TBrowseForFolder::AcceptsFolder(const std::string& folder) {
    bool accept = true;
    if (OnAcceptChange) OnAcceptChange(*this, folder, accept);
    return accept;
}

bool TBrowseForFolder::MayCloseAfterFailedValidation(const std::string& editText) {
    bool canClose = true;
    if (OnValidateFailed) OnValidateFailed(*this, editText, canClose);
    return canClose;
}

bool TBrowseForFolder::ShowsItem(const std::string& item) {
    bool doShow = true;
    if (OnShouldShow) OnShouldShow(*this, item, doShow);
    return doShow;
}

TObjectClasses TBrowseForFolder::EnumFlagsFor(const std::string& folder, TObjectClasses classes) {
    if (OnGetEnumFlags) OnGetEnumFlags(*this, folder, classes);
    return classes;
}

std::optional<TBrowseForFolder::StatusLine> TBrowseForFolder::StatusLineFor(TBrowseOptions effective,
                                                                            const std::string& path,
                                                                            int dialogWidth, int statusLeft) const {
    // The new style has no status line; its status went into the title.
    if (!effective.Contains(odStatusAvailable) || effective.Contains(odNewDialogStyle)) return std::nullopt;
    if (!StatusText.empty()) return StatusLine{StatusText, 0};
    return StatusLine{path, dialogWidth - 2 * statusLeft - 8};
}

}  // namespace controls
