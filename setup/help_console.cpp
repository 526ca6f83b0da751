#include "setup/help_console.h"

#include <windows.h>

namespace setup {

namespace {

bool IsRedirected(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    const DWORD type = GetFileType(handle);
    return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

void WriteAll(HANDLE handle, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(text.size() - done);
        if (!WriteFile(handle, text.data() + done, chunk, &written, nullptr) || written == 0) return;
        done += written;
    }
}

void ReadOneLine(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    char c = 0;
    DWORD read = 0;
    while (ReadFile(handle, &c, 1, &read, nullptr) && read == 1 && c != '\n') {
    }
}

}  // namespace

void ShowOnConsoleAndWaitForEnter(const std::string& text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!IsRedirected(output) && AllocConsole()) {
        // The console's own handles are owned by the console and released with it.
        output = GetStdHandle(STD_OUTPUT_HANDLE);
        input = GetStdHandle(STD_INPUT_HANDLE);
    }
    WriteAll(output, text);
    ReadOneLine(input);
}

}  // namespace setup
