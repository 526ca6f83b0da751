#include "engine/compiler.h"

#include "engine/folder_safety.h"
#include "engine/journal.h"
#include "engine/journaled_platform.h"
#include "engine/uninstall_entry.h"
#include "ide/package_list.h"
#include "system/file_utils.h"

namespace engine {

namespace {

const char* const DoneMessage = "All operations done. Press Finish to exit installation.";
const char* const UninstallDoneMessage = "Uninstall completed. Press Finish to exit installation.";

const char* SystemName(const platform::OsVersion& os) {
    using Family = platform::OsVersion::Family;
    if (os.family == Family::Windows9x) {
        if (os.minor < 10) return "Windows 95";
        if (os.minor < 90) return "Windows 98";
        if (os.minor == 90) return "Windows ME";
        return nullptr;
    }
    if (os.family == Family::NT) {
        if (os.major == 4) return "Windows NT4";
        if (os.major == 5 && os.minor == 0) return "Windows 2000";
        if (os.major == 5 && os.minor == 1) return "Windows XP";
    }
    return nullptr;
}

// The engine's files and registry point to an IDE's journal while its work runs.
class JournalRedirect {
public:
    JournalRedirect(platform::FileSystem*& files, platform::Registry*& registry, journal::IdeJournal*& ide,
                    platform::FileSystem& journaledFiles, platform::Registry& journaledRegistry,
                    journal::IdeJournal& journal)
        : files_(files), registry_(registry), ide_(ide), oldFiles_(files), oldRegistry_(registry) {
        files_ = &journaledFiles;
        registry_ = &journaledRegistry;
        ide_ = &journal;
    }
    ~JournalRedirect() {
        files_ = oldFiles_;
        registry_ = oldRegistry_;
        ide_ = nullptr;
    }
    JournalRedirect(const JournalRedirect&) = delete;
    JournalRedirect& operator=(const JournalRedirect&) = delete;

private:
    platform::FileSystem*& files_;
    platform::Registry*& registry_;
    journal::IdeJournal*& ide_;
    platform::FileSystem* oldFiles_;
    platform::Registry* oldRegistry_;
};

// "A; B; C": the IDEs a line names.
std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) list += (i ? "; " : "") + names[i];
    return list;
}

}  // namespace

TCompiler::TCompiler(TInstallData& data)
    : Data(data), Machine(data.Machine), files_(&data.Machine.files), registry_(&data.Machine.registry) {}

TCompiler::~TCompiler() {
    if (savedLines_ == Log.size()) return;
    try {
        SaveLog();
    } catch (const std::exception&) {
        // Nobody is left to tell; callers that can report it call SaveLog themselves.
    }
}

void TCompiler::DoOutput(const std::string& line, bool& abort) {
    Log.push_back(line);
    if (OnOutput) OnOutput(line, Abort);
    abort = Abort;
}

void TCompiler::AddMessage(const std::string& text) {
    DoOutput(text, Abort);
    if (OnMessage) OnMessage(text, Abort);
}

void TCompiler::DoTargetStart(TTargetOptions& target, int index, int count) {
    if (OnTarget) OnTarget(*this, target, index, count);
    DoProgress(target.Target.DisplayName(), index, count, false);
}

void TCompiler::DoProgress(const std::string& caption, int index, int count, bool flag) {
    if (OnProgress) OnProgress(*this, caption, index, count, flag);
}

void SaveInstallLog(platform::Platform& machine, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    machine.files.WriteFile(sys::AddPathDelimiter(machine.system.CurrentDirectory()) + "install.log", text);
}

void TCompiler::SaveLog() {
    SaveInstallLog(Machine, Log);
    savedLines_ = Log.size();
}

std::string TCompiler::SystemLine() const {
    const auto os = Machine.system.GetOsVersion();
    const char* name = SystemName(os);
    if (!name) return {};
    // The 95 family repeats its version in the high word of the build number.
    const std::uint32_t build =
        os.family == platform::OsVersion::Family::Windows9x ? os.build & 0xFFFF : os.build;
    return std::string(name) + " " + os.servicePack + " (" + std::to_string(os.major) + "." +
           std::to_string(os.minor) + "." + std::to_string(build) + ")";
}

bool TCompiler::MayRemove(const std::string& folder) {
    const auto refusal = RemovalRefusal(folder, ProtectedFolders(Machine.system), Machine.files);
    if (!refusal) return true;
    AddMessage("The folder " + folder + " is left as it is: " + RefusalReason(*refusal) + ".");
    return false;
}

void TCompiler::ReportUserHive() {
    if (Data.UserHiveLine.empty()) return;
    AddMessage(Data.UserHiveLine);
    AddMessage("");
}

bool TCompiler::Install() {
    Abort = false;
    ReportUserHive();
    if (const std::string line = SystemLine(); !line.empty()) {
        AddMessage(line);
        AddMessage("");
    }
    if (!InstallDirUsable()) return false;
    driving_ = true;
    if (Data.State < isMaintenance) {
        AddMessage("Delete old files...");
        PutOldFilesAside();
        AddMessage("Extracting component files...");
        if (!Extract()) {
            AddMessage("Error extracting component files from archive.");
            AddMessage("Archive damaged.");
            // The old installation comes back from where it was moved aside.
            if (runJournal_)
                for (const auto& problem : runJournal_->BringBack()) AddMessage(problem);
            // The compile page recorded the new version before the run: nothing was updated.
            Data.RestoreRecord();
            FinishJournal();
            return false;
        }
        if (runJournal_ && runJournal_->HasAside()) runJournal_->Extracted();
        AddMessage("Completed");
        AddMessage("");
    }
    std::vector<std::string> failed;
    auto& targets = *Data.TargetOptions;
    const int count = targets.Count();
    const auto drift = DriftOfReinstalledIDEs();
    for (int i = 0; i < count; ++i) {
        DoTargetStart(targets[i], i, count);
        bool ok = true;
        if (const auto found = drift.find(i); found != drift.end())
            ok = ReinstallTarget(targets[i], found->second);
        else if (targets[i].Action == taInstall)
            ok = InstallTarget(targets[i]);
        else if (targets[i].Action == taUninstall)
            ok = UninstallTarget(targets[i]);
        if (!ok) failed.push_back(targets[i].Target.DisplayName());
    }
    RecordMaintenance();
    FinishJournal();
    Data.Installed = true;
    Data.SaveToRegistry();
    ReportFailed("Installation failed for: ", failed);
    AddMessage(DoneMessage);
    return failed.empty();
}

std::map<int, std::vector<TDriftFinding>> TCompiler::DriftOfReinstalledIDEs() {
    std::map<int, std::vector<TDriftFinding>> drift;
    if (Data.State != isMaintenance) return drift;
    auto& targets = *Data.TargetOptions;
    for (int i = 0; i < targets.Count(); ++i) {
        TTargetOptions& target = targets[i];
        if (target.Action != taInstall || !target.Installed) continue;
        auto& findings = drift[i] = CheckInstalledIDE(Data, target);
        if (findings.empty()) continue;
        DoOutput(target.Target.DisplayName() + " needs repair:", Abort);
        for (const auto& finding : findings) DoOutput("  " + finding.Text, Abort);
        DoOutput("", Abort);
    }
    return drift;
}

bool TCompiler::Uninstall() {
    Abort = false;
    ReportUserHive();
    if (const std::string line = SystemLine(); !line.empty()) {
        DoOutput("\x01" + line, Abort);
        DoOutput("", Abort);
    }
    if (!InstallDirUsable()) return false;
    driving_ = true;
    std::vector<std::string> failed;
    auto& targets = *Data.TargetOptions;
    const int count = targets.Count();
    for (int i = 0; i < count; ++i) {
        if (!targets[i].Installed) continue;
        DoTargetStart(targets[i], i, count);
        if (!UninstallTarget(targets[i])) failed.push_back(targets[i].Target.DisplayName());
    }
    FinishJournal();
    if (failed.empty()) {
        AddMessage("Delete component files...");
        const std::string& folder = Data.InstallDir();
        auto& files = Machine.files;
        // A link stays as DeleteTree leaves it; a real folder still there kept something back.
        if (MayRemove(folder) && !sys::DeleteTree(files, folder) && sys::DirExists(files, folder) &&
            !sys::IsLink(files, folder))
            AddMessage("The folder " + folder + " could not be deleted completely: a file in it is in use or "
                       "cannot be deleted; what is left may be deleted by hand.");
        else
            AddMessage("Completed");
        Data.Installed = false;
    } else {
        // The IDEs that could not be changed still use the units and the record: both stay, so
        // that a later uninstall can finish the work.
        AddMessage("The component files stay in " + Data.InstallDir() + ": " + NameList(failed) +
                   (failed.size() == 1 ? " still uses them." : " still use them."));
    }
    AddMessage("");
    Data.SaveToRegistry();
    ReportFailed("Uninstall failed for: ", failed);
    SaveLog();
    AddMessage(UninstallDoneMessage);
    return failed.empty();
}

bool TCompiler::InstallDirUsable() {
    const auto fault = FolderValueFault(Data.InstallDir());
    if (!fault) return true;
    AddMessage("The installation folder \"" + Data.InstallDir() + "\" cannot be used: " + *fault +
               ". Nothing was changed.");
    Data.RestoreRecord();
    return false;
}

bool TCompiler::FoldersUsable(const TTargetOptions& target) {
    const auto unusable = target.UnusableFolders();
    for (const auto& line : unusable) AddMessage(line);
    return unusable.empty();
}

bool TCompiler::TargetFailed(const std::string& work, const TTargetOptions& target) {
    AddMessage(work + target.Target.DisplayName() + " failed.");
    AddMessage("");
    return false;
}

void TCompiler::ReportFailed(const std::string& run, const std::vector<std::string>& names) {
    if (names.empty()) return;
    AddMessage(run + NameList(names) + ". The build log holds the details.");
}

journal::RunJournal& TCompiler::RunJournal() {
    if (!runJournal_) {
        std::optional<journal::ProductRecord> record;
        if (const auto& start = Data.StartRecord()) record = journal::ProductRecord{start->InstallDir, start->InstalledVersion};
        runJournal_ = std::make_unique<journal::RunJournal>(Machine, Data.InstallDir(), record);
    }
    return *runJournal_;
}

void TCompiler::FinishJournal() {
    driving_ = false;
    if (!runJournal_) return;
    runJournal_->Finish();
    runJournal_.reset();
}

std::vector<std::string> TCompiler::PlannedTargetFolders() const {
    std::vector<std::string> folders;
    auto& targets = *Data.TargetOptions;
    for (int i = 0; i < targets.Count(); ++i)
        if (targets[i].Action != taNone) folders.push_back(ide::ExtractFileName(targets[i].TargetDir()));
    // The old maintenance copy comes back when the new one is not written.
    folders.push_back(MaintenanceFolderName);
    return folders;
}

void TCompiler::PutOldFilesAside() {
    if (!MayRemove(Data.InstallDir())) return;
    auto& files = Machine.files;
    if (sys::DirExists(files, Data.InstallDir()) && !sys::IsLink(files, Data.InstallDir())) {
        try {
            if (RunJournal().MoveAside(PlannedTargetFolders())) return;
        } catch (const std::exception&) {
            // Without a journal the old files go to the recycle bin at once, as they always did.
        }
    }
    sys::RecycleDirectory(files, Data.InstallDir());
}

TCompiler::JournaledResult TCompiler::RunJournaled(const std::string& name, journal::Work work,
                                                  const std::string& folder, const std::function<bool()>& body) {
    JournaledResult result;
    std::unique_ptr<journal::IdeJournal> ide;
    try {
        ide = RunJournal().BeginIde(name, work, folder);
        journal::JournaledFiles files(Machine.files, *ide);
        journal::JournaledRegistry registry(Machine.registry, *ide);
        const JournalRedirect redirect(files_, registry_, ideJournal_, files, registry, *ide);
        result.ok = body();
        if (result.ok) RunJournal().Committed(folder, *ide);
    } catch (const std::exception& failure) {
        result.ok = false;
        result.error = failure.what();
    }
    std::optional<journal::UndoResult> undone;
    if (!result.ok && ide) {
        undone = journal::UndoIdeJournal(Machine, ide->Folder());
        // Its journal said it had succeeded before the error came: it stays done.
        result.ok = undone->committed;
    }
    if (runJournal_) result.journalFolder = runJournal_->Folder();
    if (!result.ok) {
        if (undone) result.problems = undone->problems;
        // In an update the folder it had comes back from the old installation moved aside.
        if ((!undone || undone->Complete()) && runJournal_) result.problems = runJournal_->GiveBack(folder);
    }
    if (!driving_) FinishJournal();
    return result;
}

bool TCompiler::Journaled(TTargetOptions& target, journal::Work work, const std::function<bool()>& body) {
    const std::string name = target.Target.DisplayName();
    const bool installation = work == journal::Work::Installation;
    const auto result = RunJournaled(name, work, ide::ExtractFileName(target.TargetDir()), body);
    if (result.ok) {
        AddMessage("Completed");
        AddMessage("");
        return true;
    }
    if (!result.error.empty()) AddMessage(result.error);  // a TargetStopped has been reported
    AddMessage((installation ? "Installation into " : "Uninstall from ") + name + " failed.");
    if (result.problems.empty()) {
        AddMessage(name + " is as it was before the " + (installation ? "installation." : "uninstall."));
    } else {
        std::string line = name + " could not be put back completely:";
        for (const auto& problem : result.problems) line += " " + problem;
        AddMessage(line + " The journal in " + result.journalFolder +
                   " keeps what is left to undo; setup tries again when it starts next.");
    }
    AddMessage("");
    return false;
}

bool TCompiler::Extract() {
    const std::string destination = sys::AddPathDelimiter(Data.InstallDir());
    const std::string parameters =
        std::string("x -c- -cfg- -dh -idp -o+ -r -y ") + " data.arc *.*" + " \"" + destination + "\"";
    DoOutput("unrar.exe " + parameters, Abort);
    return Capture("unrar.exe", parameters, Machine.system.ProgramFolder(), nullptr) == 0;
}

int TCompiler::Capture(const std::string& command, const std::string& parameters, const std::string& directory,
                       const platform::IdleCallback& idle) {
    const int exitCode = Machine.processes.CaptureExecute(
        command, parameters, directory, [this](const std::string& line, bool& abort) { DoOutput(line, abort); },
        idle, false);
    if (exitCode == platform::capture_result::NotStarted || exitCode == platform::capture_result::NotRun)
        DoOutput("Cannot start " + command + " in " + directory + ": " + Machine.processes.StartFailure(), Abort);
    return exitCode;
}

}  // namespace engine
