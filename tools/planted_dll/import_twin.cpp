// A program that imports exactly the system libraries setup.exe imports and does nothing: what a
// planted library does to it, Wine's own system libraries do, not setup.exe's import table.
#include <windows.h>
#include <commctrl.h>

int main(int argc, char**) {
    if (argc < 0) {  // never: only the imports matter
        ::MessageBeep(0);
        ::GetStockObject(0);
        ::RegCloseKey(nullptr);
        ::InitCommonControls();
    }
    return 0;
}
