#include "setup/page_flow.h"

#include "engine/folder_safety.h"
#include "system/file_utils.h"

namespace setup {

using engine::TInstallData;
using engine::TTargetOptions;

std::string FormatText(const std::string& text, const std::vector<std::string>& args) {
    std::string result;
    std::size_t next = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
            if (next < args.size()) result += args[next++];
            ++i;
        } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            result += '%';
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

TSetupFlow::TSetupFlow(TInstallData& data) : Data(data) { enabled_.fill(true); }

void TSetupFlow::SetupPages() {
    switch (Data.State) {
    case engine::isInstall:
        enabled_[wUpdatePage] = enabled_[wMainternance] = false;
        break;
    case engine::isUpdate:
        enabled_[wInstallPage] = enabled_[wMainternance] = enabled_[wLicensePage] = enabled_[wDestinationPage] = false;
        break;
    default:
        enabled_[wInstallPage] = enabled_[wUpdatePage] = enabled_[wLicensePage] = enabled_[wDestinationPage] = false;
        break;
    }
    int top = kIDEBoxFirstTop;
    auto& options = *Data.TargetOptions;
    for (int i = 0; i < options.Count(); ++i) {
        TTargetOptions& target = options[i];
        if (target.Target.Version < 6) {
            target.Action = engine::taNone;
            continue;
        }
        TIDECheckBox box{&target, false, csUnchecked, top, {}};
        if (Data.State == engine::isInstall) {
            box.State = csChecked;
            target.Action = engine::taInstall;
        } else if (Data.State == engine::isUpdate) {
            box.State = target.Installed ? csChecked : csUnchecked;
            target.Action = target.Installed ? engine::taInstall : engine::taNone;
        } else {
            box.ThreeState = target.Installed;
            box.State = target.Installed ? csGrayed : csUnchecked;
        }
        boxes_.push_back(box);
        top += kIDEBoxStep;
    }
    RecomputeIDEPage();
}

void TSetupFlow::RecomputeIDEPage() {
    ideNextEnabled_ = Data.TargetOptions->AnyAction() || Data.State == engine::isInstall;
    enabled_[wConfigPage] = Data.TargetOptions->InstallCount() > 0;
}

std::string TSetupFlow::InstallText(const std::string& caption) const {
    return FormatText(caption, {Data.SetupVersion.FullText()});
}

std::string TSetupFlow::UpdateSubtitle(const std::string& subtitle) const {
    const std::string installed = Data.InstalledVersion ? Data.InstalledVersion->FullText() : "";
    return FormatText(subtitle, {installed, Data.SetupVersion.FullText()});
}

namespace {

const char* ActionWord(engine::TInstallState state, const TIDECheckBox& box) {
    const bool checked = box.State == csChecked;
    switch (state) {
    case engine::isInstall: return checked ? "Install" : "Don't install";
    case engine::isUpdate:
        if (box.Target->Installed) return checked ? "Update" : "Uninstall";
        return checked ? "Install" : "Do nothing";
    case engine::isMaintenance:
        if (box.State == csGrayed) return "Do nothing";
        if (box.ThreeState) return checked ? "Reinstall" : "Uninstall";
        return checked ? "Install" : "Do nothing";
    default: return "";
    }
}

}  // namespace

std::string TSetupFlow::ActionLabel(int box) const {
    return std::string("Action: ") + ActionWord(Data.State, boxes_.at(static_cast<std::size_t>(box)));
}

void TSetupFlow::CheckInstalledIDEs() {
    if (idesChecked_ || Data.State != engine::isMaintenance) return;
    idesChecked_ = true;
    int shift = 0;
    for (auto& box : boxes_) {
        box.Top += shift;
        if (!box.Target->Installed) continue;
        box.Findings = CheckIDE(Data, *box.Target);
        if (box.Findings.empty()) continue;
        box.State = csChecked;
        box.Target->Action = engine::taInstall;
        shift += kRepairLineHeight;
    }
    RecomputeIDEPage();
}

std::string TSetupFlow::RepairLine(int box) const {
    return engine::RepairLine(boxes_.at(static_cast<std::size_t>(box)).Findings);
}

void TSetupFlow::IDECheckBoxClick(int index) {
    TIDECheckBox& box = boxes_.at(static_cast<std::size_t>(index));
    if (box.ThreeState)
        box.State = box.State == csGrayed ? csChecked : box.State == csChecked ? csUnchecked : csGrayed;
    else
        box.State = box.State == csChecked ? csUnchecked : csChecked;
    TTargetOptions& target = *box.Target;
    switch (box.State) {
    case csChecked: target.Action = engine::taInstall; break;
    case csGrayed: target.Action = engine::taNone; break;
    case csUnchecked: target.Action = target.Installed ? engine::taUninstall : engine::taNone; break;
    }
    RecomputeIDEPage();
}

void TSetupFlow::rbMainternanceClick(bool maintenanceChecked, bool uninstallChecked) {
    if (!maintenanceChecked && !uninstallChecked) return;
    Data.State = maintenanceChecked ? engine::isMaintenance : engine::isUninstall;
    enabled_[wIDEPage] = maintenanceChecked;
    // The IDE page's actions still stand: the configuration page only for the IDEs installed.
    enabled_[wConfigPage] = maintenanceChecked && Data.TargetOptions->InstallCount() > 0;
}

std::vector<std::string> TSetupFlow::RunningIDEMessages() const {
    std::vector<std::string> messages;
    auto& options = *Data.TargetOptions;
    for (int i = 0; i < options.Count(); ++i) {
        const bool changed =
            Data.State == engine::isUninstall ? options[i].Installed : options[i].Action != engine::taNone;
        if (changed && options[i].Target.IsIDERunning())
            messages.push_back(options[i].Target.DisplayName() + " IDE is running. Please close it before continue.");
    }
    return messages;
}

std::vector<std::string> TSetupFlow::LeaveMaintenance() const {
    return Data.State == engine::isUninstall ? RunningIDEMessages() : std::vector<std::string>{};
}

std::optional<std::string> TSetupFlow::LeaveDestination(const std::string& folder) {
    if (auto refusal = DestinationRefusal(Data, folder)) return refusal;
    // Stored without a delimiter at its end: the product's folders are joined to it with one.
    Data.SetInstallDir(sys::WithoutTrailingDelimiters(folder));
    return std::nullopt;
}

namespace {

// What the archive leaves in an installation folder.
bool HoldsInstallation(platform::FileSystem& files, const std::string& folder) {
    return sys::FileOrDirExists(files, sys::AddPathDelimiter(folder) + "Packages\\bcb.bmk");
}

bool HoldsAnything(platform::FileSystem& files, const std::string& folder) {
    std::vector<std::string> names;
    sys::ListDirectoryEntries(files, sys::AddPathDelimiter(folder) + "*", platform::attr::AnyFile, names);
    return !names.empty();
}

}  // namespace

std::optional<std::string> DestinationRefusal(TInstallData& data, const std::string& folder) {
    const auto refused = [&folder](const std::string& reason) {
        return "The folder \"" + folder + "\" cannot be used: " + reason +
               ". Please choose a folder of its own for Quorvex, for example C:\\Program Files\\Quorvex.";
    };
    // Setup replaces the destination on an update and deletes it on an uninstall: only a folder
    // that may be removed is taken.
    if (const auto refusal = engine::RemovalRefusal(folder, engine::ProtectedFolders(data.Machine.system),
                                                      data.Machine.files))
        return refused(engine::RefusalReason(*refusal));
    // The removal check looks past blanks around the folder, and knows nothing of the IDEs'
    // paths: the run's own check of the folder as typed.
    if (const auto fault = engine::InstallFolderFault(folder)) return refused(*fault);
    auto& files = data.Machine.files;
    if (data.State == engine::isInstall && sys::DirExists(files, folder) && HoldsAnything(files, folder) &&
        !HoldsInstallation(files, folder))
        return "The folder \"" + folder + "\" already holds other files. Setup replaces the whole folder, "
               "so please choose an empty or a new folder.";
    return std::nullopt;
}

}  // namespace setup
