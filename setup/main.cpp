#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "cmdline/cmd_options.h"
#include "engine/install_data.h"
#include "platform/win32/win32_machine.h"
#include "setup/help_console.h"

namespace {

constexpr const char* Title = "Quorvex Setup";

// What start-up found, until the wizard window shows it.
std::string Summary(const engine::TInstallData& data) {
    static const char* const states[] = {"first installation", "update", "maintenance"};
    std::string text = "Quorvex " + data.SetupVersion.FullText() + "\n" +
                       "State: " + states[data.State] + "\n" +
                       "Installation folder: " + data.InstallDir + "\n\nIDEs found:";
    for (int i = 0; i < data.Targets->Count(); ++i) text += "\n  " + (*data.Targets)[i].DisplayName();
    if (data.Targets->Count() == 0) text += " none";
    return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: never from the program's folder or the current one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    platform::win32::Win32Machine machine;
    cmdline::TCmdOptions options(machine.files);
    options.Parse(std::vector<std::string>(__argv + 1, __argv + __argc));
    if (options.ShowHelp) {
        setup::ShowOnConsoleAndWaitForEnter(options.HelpScreen());
        return 1;
    }

    std::unique_ptr<engine::TInstallData> installData;
    try {
        installData = std::make_unique<engine::TInstallData>(machine.platform, options);
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), Title, MB_OK | MB_ICONERROR);
        return 2;
    }
    MessageBoxA(nullptr, Summary(*installData).c_str(), Title, MB_OK | MB_ICONINFORMATION);
    return 0;
}
