// first_paint PROGRAM [ARGS]: starts the program, waits for its first painted window, prints
// "<milliseconds> <peak working set in KB> <window title>" and closes the window.
// Painted: the process has a visible top-level window with no update region left and its thread
// waits for input (WaitForInputIdle), so the first WM_PAINT has run.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "platform/win32/unique_handle.h"

namespace {

using platform::win32::UniqueKernelHandle;

struct Shown {
    DWORD process;
    HWND window = nullptr;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
    auto& shown = *reinterpret_cast<Shown*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != shown.process || !::IsWindowVisible(window)) return TRUE;
    shown.window = window;
    return FALSE;
}

HWND PaintedWindow(DWORD processId, HANDLE process) {
    Shown shown{processId};
    ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&shown));
    if (!shown.window || ::GetUpdateRect(shown.window, nullptr, FALSE)) return nullptr;
    return ::WaitForInputIdle(process, 0) == 0 ? shown.window : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first_paint PROGRAM [ARGS]\n");
        return 2;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += std::string(i > 1 ? " " : "") + "\"" + argv[i] + "\"";
    LARGE_INTEGER frequency, start, painted;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], ::GetLastError());
        return 1;
    }
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    HWND window = nullptr;
    while (!(window = PaintedWindow(info.dwProcessId, process.get()))) {
        if (::WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s ended before it painted a window\n", argv[1]);
            return 1;
        }
    }
    ::QueryPerformanceCounter(&painted);
    // A named request that a trace of the Wine server shows: where requests.sh stops counting.
    UniqueKernelHandle(::OpenEventA(SYNCHRONIZE, FALSE, "first-paint-seen")).reset();
    char title[256] = {};
    ::GetWindowTextA(window, title, sizeof title);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(process.get(), &memory, sizeof memory);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 1);
    const double ms = static_cast<double>(painted.QuadPart - start.QuadPart) * 1000.0 /
                      static_cast<double>(frequency.QuadPart);
    std::printf("%.1f %zu %s\n", ms, memory.PeakWorkingSetSize / 1024, title);
    return 0;
}
