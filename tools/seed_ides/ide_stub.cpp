// Stands in for an IDE's program, so that the installer can see the IDE running.
#include <windows.h>

#include <cstdlib>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const long seconds = std::strtol(commandLine, nullptr, 10);
    Sleep(seconds > 0 ? static_cast<DWORD>(seconds) * 1000 : INFINITE);
    return 0;
}
