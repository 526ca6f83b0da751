#pragma once
// The installation engine: one run from the old folder to the registered packages, reported line
// by line.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ide_check.h"
#include "engine/install_data.h"

namespace engine {

namespace journal {
class IdeJournal;
class RunJournal;
enum class Work;
}  // namespace journal

class TCompiler;

// Ends an IDE's work after its reason has been reported: the work is undone.
class TargetStopped : public std::runtime_error {
public:
    TargetStopped() : std::runtime_error("") {}
};

// The package files an IDE's build writes to its BPL and DCP folders: of one package, or of all.
std::vector<std::string> BuiltPackageFiles(const TTargetOptions& target, const std::string& baseName);
std::vector<std::string> BuiltPackageFiles(const TTargetOptions& target);

// Writes the lines to install.log in the distribution folder; raises the file layer's error.
void SaveInstallLog(platform::Platform& machine, const std::vector<std::string>& lines);

using OutputEvent = std::function<void(const std::string& line, bool& abort)>;
using TargetEvent = std::function<void(TCompiler& sender, TTargetOptions& target, int index, int count)>;
using ProgressEvent = std::function<void(TCompiler& sender, const std::string& caption, int index,
                                         int count, bool flag)>;
using IdleEvent = std::function<void(TCompiler& sender)>;

class TCompiler {
public:
    explicit TCompiler(TInstallData& data);
    // Writes install.log unless SaveLog has already written the final log. A failure here cannot
    // be reported: callers that want to report it call SaveLog first.
    virtual ~TCompiler();
    TCompiler(const TCompiler&) = delete;
    TCompiler& operator=(const TCompiler&) = delete;

    bool Abort = false;
    std::vector<std::string> Log;
    OutputEvent OnOutput;
    OutputEvent OnMessage;
    TargetEvent OnTarget;
    ProgressEvent OnProgress;
    IdleEvent OnIdle;

    // First installation, update or maintenance: extraction when the state asks for it, then
    // every IDE by its action, then the product's record.
    bool Install();
    // Removes the product from every IDE that has it, then the installation folder and record.
    bool Uninstall();

    // Every line of the run passes here; it is the line callback of every tool run.
    virtual void DoOutput(const std::string& line, bool& abort);
    // An engine message: into the log and to the window.
    void AddMessage(const std::string& text);
    virtual void DoTargetStart(TTargetOptions& target, int index, int count);
    virtual void DoProgress(const std::string& caption, int index, int count, bool flag);
    // Writes the log to install.log in the distribution folder; raises the file layer's error.
    void SaveLog();

    // "Windows XP Service Pack 2 (5.1.2600)"; empty for a system the table does not name.
    std::string SystemLine() const;

    // Installing into one IDE.
    bool InstallTarget(TTargetOptions& target);
    bool BuildPackage(TTargetOptions& target, const std::string& baseName, bool optional);
    bool InstallPackage(TTargetOptions& target, const std::string& baseName, bool doRegister,
                        const std::string& description, bool optional);
    void CleanForms(TTargetOptions& target);
    // What the installation leaves for the IDE, kept in its record for a later check.
    void RecordProductFiles(TTargetOptions& target);
    // Warns of every package that the IDE will not be able to load: missing, not 32-bit, or
    // importing a module the system loader will not find.
    void CheckPackageLoads(TTargetOptions& target, const std::vector<std::string>& baseNames);
    // False when a form could not be copied.
    bool CopyForms(TTargetOptions& target);

    // Reinstalling an IDE the product is installed in: what went wrong there since goes to the
    // build log, and when all of it is in the IDE's settings only those are written again.
    bool ReinstallTarget(TTargetOptions& target, const std::vector<TDriftFinding>& findings);
    // The IDE's package lists and library paths as an installation writes them; no tool runs.
    bool RepairTarget(TTargetOptions& target);

    // Registration in an IDE and removal from it.
    // The package's first entry of its name out of the disabled and the known packages.
    void UnregisterPackage(TTargetOptions& target, const std::string& baseName);
    // The design package in the BPL folder at the end of the known packages.
    void RegisterPackage(TTargetOptions& target, const std::string& baseName, const std::string& description);
    void RemovePackage(TTargetOptions& target, const std::string& baseName);
    void DeleteHeaders(TTargetOptions& target);
    void AddSourcePath(TTargetOptions& target);
    void RemoveSourcePath(TTargetOptions& target);
    void AddUnitPath(TTargetOptions& target);
    void RemoveUnitPath(TTargetOptions& target);
    // The units folder on the search path, the sources on the browsing path as AddSource says.
    void SetLibraryPaths(TTargetOptions& target);
    // The IDE's paths and package lists written, and the product recorded as installed there.
    void SaveSettings(TTargetOptions& target);
    bool UninstallTarget(TTargetOptions& target);

private:
    // Whose IDE settings the run changes, when start-up had something to say about it.
    void ReportUserHive();
    // The file system and the registry as the work on one IDE changes them: through its journal
    // while it runs, the machine's own otherwise.
    platform::FileSystem& Files() { return *files_; }
    platform::Registry& Registry() { return *registry_; }
    // Runs one IDE's work with every change journaled. Success: the journal goes, "Completed".
    // Failure (a false result or an error): the journal is undone and the IDE is as it was.
    bool Journaled(TTargetOptions& target, journal::Work work, const std::function<bool()>& body);
    struct JournaledResult {
        bool ok = false;
        std::string error;  // the error that ended the work; empty for a false result
        std::vector<std::string> problems;  // what could not be put back
        std::string journalFolder;
    };
    // Runs a piece of work whose changes all go through a journal of its own, named NAME. A
    // failure is undone, and in an update the folder FOLDER comes back from the old installation.
    JournaledResult RunJournaled(const std::string& name, journal::Work work, const std::string& folder,
                                 const std::function<bool()>& body);
    // The maintenance copy of setup and the product's entry in Apps & Features, both or neither:
    // one that cannot be written leaves the old ones, and the run says so in one line.
    void RecordMaintenance();
    void WriteMaintenanceCopy(const std::string& folder);
    // The installation folder and the package files of every IDE that has the product.
    std::uint64_t InstalledBytes();
    bool InstallInto(TTargetOptions& target);
    // What went wrong in each IDE that a maintenance run reinstalls, by its index; written to the
    // build log as the run starts.
    std::map<int, std::vector<TDriftFinding>> DriftOfReinstalledIDEs();
    void RemoveFrom(TTargetOptions& target);
    // The run's journal, begun when first needed.
    journal::RunJournal& RunJournal();
    // The end of the run's journal: the old installation recycled, the journal deleted.
    void FinishJournal();
    // The installation folder moved aside until the run has succeeded; recycled when it cannot be.
    void PutOldFilesAside();
    // The target folders of the IDEs that the run changes: "Delphi7", "CBuilder6".
    std::vector<std::string> PlannedTargetFolders() const;
    // False, with a message and the product's record as it was, when the installation folder is
    // no folder that a tool or a file operation may get.
    bool InstallDirUsable();
    // Names each output folder of the IDE that cannot be used; false when there is one.
    bool FoldersUsable(const TTargetOptions& target);
    // Ends one IDE's work as failed: WORK, the IDE's name and " failed.", then an empty line.
    bool TargetFailed(const std::string& work, const TTargetOptions& target);
    // The line before the closing one that names every IDE that failed; none when none did.
    void ReportFailed(const std::string& run, const std::vector<std::string>& names);
    bool Extract();
    // Runs a program with the engine's line callback; one that cannot be started leaves the
    // system's reason in the log.
    int Capture(const std::string& command, const std::string& parameters, const std::string& directory,
                const platform::IdleCallback& idle);
    // Runs a tool below the packages folder with the engine's line and idle callbacks. During an
    // IDE's work the journal first notes which of the package's output files exist, and what a
    // failed tool left behind is taken away again: all of it for an optional package, whose
    // failure is undone alone.
    int RunTool(const std::string& command, const std::string& parameters, TTargetOptions& target,
                const std::string& packageFile, bool optional);
    bool BuildPrecompiled(TTargetOptions& target, const std::string& packageFile);
    bool BuildWithMake(TTargetOptions& target, const std::string& packageFile, bool optional);
    bool BuildWithDcc(TTargetOptions& target, const std::string& packageFile, bool optional);
    // Deletes the files with one of the extensions in the folder (and below it when recursive),
    // unless the folder may not be removed or is reached through a link.
    void DeleteFiles(const std::string& folder, bool recursive, const std::vector<std::string>& extensions);
    // Whether the folder may be recycled, deleted or cleaned; says why not when it may not.
    bool MayRemove(const std::string& folder);

    TInstallData& Data;
    platform::Platform& Machine;
    std::optional<std::size_t> savedLines_;  // lines of the log that install.log holds
    std::unique_ptr<journal::RunJournal> runJournal_;
    journal::IdeJournal* ideJournal_ = nullptr;  // the journal of the IDE being changed
    platform::FileSystem* files_;
    platform::Registry* registry_;
    bool driving_ = false;  // inside Install or Uninstall, which finish the journal themselves
};

}  // namespace engine
