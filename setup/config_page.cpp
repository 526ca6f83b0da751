#include "setup/config_page.h"

namespace setup {

std::vector<engine::TTargetOptions*> ConfigTargets(const engine::TInstallData& data) {
    std::vector<engine::TTargetOptions*> targets;
    for (int i = 0; i < data.TargetOptions->Count(); ++i)
        if ((*data.TargetOptions)[i].Action == engine::taInstall) targets.push_back(&(*data.TargetOptions)[i]);
    return targets;
}

TConfigShown cTargetChange(const engine::TInstallData& data, const engine::TTargetOptions& t) {
    const bool paid = !data.FreeVersion;
    TConfigShown shown;
    shown.CompileFromSource = {data.WithSources, t.CompilePackages && data.WithSources};
    shown.IDERegistration = {true, t.IDERegistration};
    shown.ZEOS = {t.ZEOSAvailable() && paid, t.ZEOS};
    shown.MyDAC = {t.MyDACAvailable() && paid, t.MyDAC};
    shown.ODAC = {t.ODACAvailable() && paid, t.ODAC};
    shown.AddSource = {data.WithSources, t.AddSource && data.WithSources};
    shown.BPLDir = t.BPLDir;
    shown.DCPDir = t.DCPDir;
    shown.HPPDir = t.HPPDir;
    shown.HPPVisible = t.Target.IsBCB();
    return shown;
}

void StoreOption(engine::TTargetOptions& target, TConfigOption option, bool checked) {
    switch (option) {
    case coCompileFromSource: target.CompilePackages = checked; break;
    case coIDERegistration: target.IDERegistration = checked; break;
    case coZEOS: target.ZEOS = checked; break;
    case coMyDAC: target.MyDAC = checked; break;
    case coODAC: target.ODAC = checked; break;
    case coAddSource: target.AddSource = checked; break;
    }
}

void StoreFolder(engine::TTargetOptions& target, TConfigFolder folder, const std::string& text) {
    (folder == cfBPL ? target.BPLDir : folder == cfDCP ? target.DCPDir : target.HPPDir) = text;
}

std::optional<TConfigRefusal> LeaveConfigPage(const std::vector<engine::TTargetOptions*>& targets) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto lines = targets[i]->UnusableFolders();
        if (lines.empty()) continue;
        std::string message;
        for (const auto& line : lines) message += line + "\n";
        return TConfigRefusal{i, message + "\nPlease choose another folder."};
    }
    return std::nullopt;
}

}  // namespace setup
