#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cmdline/cmd_options.h"
#include "platform/win32/win32_file_system.h"
#include "setup/help_console.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a library: never from the program's folder or the current one.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    platform::win32::Win32FileSystem files;
    cmdline::TCmdOptions options(files);
    options.Parse(std::vector<std::string>(__argv + 1, __argv + __argc));
    if (options.ShowHelp) {
        setup::ShowOnConsoleAndWaitForEnter(options.HelpScreen());
        return 1;
    }
    MessageBoxA(nullptr, "The setup window is not part of this build yet.", "Quorvex Setup",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
