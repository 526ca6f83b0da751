// Stands in for an IDE's program, so that the installer can see the IDE running.
// ide_stub.exe [SECONDS [READY-FILE]]: runs SECONDS (0 or none: until it is ended); with a
// READY-FILE, creates it once running, so that a test knows the process is there.
#include <windows.h>

#include <cstdlib>

#include "platform/win32/unique_handle.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char* rest = nullptr;
    const long seconds = std::strtol(commandLine, &rest, 10);
    while (*rest == ' ') ++rest;
    if (*rest) {
        const platform::win32::UniqueFileHandle ready(
            CreateFileA(rest, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!ready) return 1;
    }
    Sleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : INFINITE);
    return 0;
}
