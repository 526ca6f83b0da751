#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cmdline/cmd_options.h"
#include "engine/install_data.h"
#include "engine/journal.h"
#include "engine/uninstall_entry.h"
#include "engine/user_hive.h"
#include "platform/win32/instance_lock.h"
#include "platform/win32/session_users.h"
#include "platform/win32/system_library.h"
#include "platform/win32/temporary_copy.h"
#include "platform/win32/win32_machine.h"
#include "setup/help_console.h"
#include "setup/main_window.h"
#include "wizard/win32/gdi_canvas.h"

namespace {

constexpr const char* Title = "Quorvex Setup";
constexpr const char* InstanceLockName = "Global\\QuorvexSetupRunning";
constexpr const char* AlreadyRunning =
    "Quorvex Setup is already running. Finish or close it, then start setup again.";

// A temporary copy of setup goes, with its folder, at the next restart, however the run ends.
class RemovedAtRestart {
public:
    explicit RemovedAtRestart(std::string folder) : folder_(std::move(folder)) {}
    ~RemovedAtRestart() {
        if (!folder_.empty()) platform::win32::RemoveAtRestart(folder_);
    }
    RemovedAtRestart(const RemovedAtRestart&) = delete;
    RemovedAtRestart& operator=(const RemovedAtRestart&) = delete;

private:
    std::string folder_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    platform::win32::KeepCurrentFolderOutOfDllSearch();

    // Whose IDEs are changed is decided before anything is read: the desktop's user.
    const auto users = platform::win32::FindSessionUsers();
    const auto userHive = engine::ChooseUserHive(users);
    std::unique_ptr<platform::win32::Win32Machine> machinePtr;
    try {
        machinePtr = std::make_unique<platform::win32::Win32Machine>(userHive.sid);
    } catch (const platform::RegistryError& error) {
        MessageBoxA(nullptr, engine::UnreachableHiveMessage(*users.desktop, error.what()).c_str(), Title,
                    MB_OK | MB_ICONERROR);
        return 2;
    }
    auto& machine = *machinePtr;
    cmdline::TCmdOptions options(machine.files);
    options.Parse(std::vector<std::string>(__argv + 1, __argv + __argc));
    if (options.ShowHelp) {
        setup::ShowOnConsoleAndWaitForEnter(options.HelpScreen());
        return 1;
    }

    // The maintenance copy in the installation folder hands over to a copy of itself that an
    // uninstall does not need to keep, before it takes the lock the copy is to take.
    const std::string programFolder = machine.system.ProgramFolder();
    if (engine::RunsFromInstallation(programFolder, engine::RecordedInstallDir(machine.registry),
                                     [&] { return engine::ProtectedFolders(machine.system); }, machine.files)) {
        std::vector<std::string> beside{"version"};
        beside.insert(beside.end(), std::begin(engine::EditionMarkers), std::end(engine::EditionMarkers));
        const std::string failure = platform::win32::StartTemporaryCopy(engine::TemporaryCopyPrefix, beside);
        if (failure.empty()) return 0;
        MessageBoxA(nullptr, failure.c_str(), Title, MB_OK | MB_ICONERROR);
        return 2;
    }
    const RemovedAtRestart removal(
        engine::IsTemporaryCopy(programFolder, platform::win32::TemporaryFolder()) ? programFolder : std::string());

    std::optional<platform::win32::InstanceLock> runningAlone;
    std::unique_ptr<engine::TInstallData> installData;
    try {
        runningAlone = platform::win32::InstanceLock::Acquire(InstanceLockName);
        if (!runningAlone) {
            MessageBoxA(nullptr, AlreadyRunning, Title, MB_OK | MB_ICONINFORMATION);
            return 2;
        }
        // A run that was cut short is undone before anything reads what it left.
        const std::string restored =
            engine::journal::RestoreMessage(engine::journal::RestoreInterruptedRuns(machine.platform));
        if (!restored.empty()) MessageBoxA(nullptr, restored.c_str(), Title, MB_OK | MB_ICONINFORMATION);
        installData = std::make_unique<engine::TInstallData>(machine.platform, options);
        installData->UserHiveLine = userHive.line;
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), Title, MB_OK | MB_ICONERROR);
        return 2;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    wizard::win32::DecideDisplayDpi();
    setup::TfMain window(instance, *installData);
    ::ShowWindow(window.Hwnd(), SW_SHOW);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
