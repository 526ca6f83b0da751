/* A DLL under the name of a system library, for the test that setup.exe loads no library from its
   own folder: when loaded, it appends a line "PROGRAM|DLL" (both full paths) to the file that
   QV_CANARY_TRACE names. It exports nothing, so a program that really needs the library fails loudly. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char trace[MAX_PATH];
    char program[MAX_PATH];
    char self[MAX_PATH];
    const DWORD traceLength = GetEnvironmentVariableA("QV_CANARY_TRACE", trace, sizeof trace);
    const DWORD programLength = GetModuleFileNameA(NULL, program, sizeof program);
    const DWORD selfLength = GetModuleFileNameA(instance, self, sizeof self);
    if (traceLength == 0 || traceLength >= sizeof trace || programLength == 0 || programLength >= sizeof program ||
        selfLength == 0 || selfLength >= sizeof self)
        return TRUE;
    HANDLE file = CreateFileA(trace, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, program, programLength, &written, NULL);
    WriteFile(file, "|", 1, &written, NULL);
    WriteFile(file, self, selfLength, &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
    return TRUE;
}
