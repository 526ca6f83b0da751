// The main of dcc32.exe, bpr2mak.exe and make.exe: QV_STUB_TOOL names the tool at build time.

#include <string>

#include "tools/stub_tools/tools.h"
#include "tools/stub_tools/win32_host.h"

// Arguments as written: the C runtime must not expand "*", "?" or "[" in them to file names.
int _CRT_glob = 0;

int main(int argc, char** argv) {
    const stubs::Arguments arguments(argv + 1, argv + argc);
    stubs::Win32Host host;
    return QV_STUB_TOOL(arguments, host);
}
