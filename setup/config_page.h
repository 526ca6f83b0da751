#pragma once
// The target configuration page without windows: which targets it lists, what its controls show
// for one target, and what each control stores back.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/install_data.h"

namespace setup {

// The targets the run will install into, in the options' order.
std::vector<engine::TTargetOptions*> ConfigTargets(const engine::TInstallData& data);

struct TOptionBox {
    bool Enabled = true;
    bool Checked = false;
};

// What the page's controls show for one target.
struct TConfigShown {
    TOptionBox CompileFromSource, IDERegistration, ZEOS, MyDAC, ODAC, AddSource;
    std::string BPLDir, DCPDir, HPPDir;
    bool HPPVisible = false;
};

TConfigShown cTargetChange(const engine::TInstallData& data, const engine::TTargetOptions& target);

enum TConfigOption { coCompileFromSource, coIDERegistration, coZEOS, coMyDAC, coODAC, coAddSource };
enum TConfigFolder { cfBPL, cfDCP, cfHPP };

// Every box stores into its option, the three connectivity and the sources box included.
void StoreOption(engine::TTargetOptions& target, TConfigOption option, bool checked);
// Stored as typed: no trimming, no existence check.
void StoreFolder(engine::TTargetOptions& target, TConfigFolder folder, const std::string& text);

// Next on the page: the first listed target with a folder that cannot be used, to be selected,
// and the message that says why; nothing when the wizard may go on.
struct TConfigRefusal {
    std::size_t Index;
    std::string Message;
};
std::optional<TConfigRefusal> LeaveConfigPage(const std::vector<engine::TTargetOptions*>& targets);

}  // namespace setup
