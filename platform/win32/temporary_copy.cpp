#include "platform/win32/temporary_copy.h"

#include <windows.h>

#include "platform/win32/system_error.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

std::string OwnPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

std::string Failure(const std::string& operation, const std::string& path) {
    return "Cannot " + operation + " " + path + ": " + SystemMessage(::GetLastError());
}

// The arguments of this process's command line as it was given: everything after the program.
std::string Arguments() {
    const char* line = ::GetCommandLineA();
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    return line;
}

}  // namespace

std::string TemporaryFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    std::string folder(buffer, length > 0 && length < sizeof buffer ? length : 0);
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::string StartTemporaryCopy(const std::string& prefix, const std::vector<std::string>& besideFiles) {
    const std::string temporary = TemporaryFolder();
    if (temporary.empty()) return "Cannot find the temporary folder: " + SystemMessage(::GetLastError());
    std::string folder;
    for (unsigned n = 1;; ++n) {
        folder = temporary + prefix + std::to_string(n);
        if (::CreateDirectoryA(folder.c_str(), nullptr)) break;
        if (::GetLastError() != ERROR_ALREADY_EXISTS || n == 9999) return Failure("create the folder", folder);
    }
    const std::string program = OwnPath();
    const std::string from = program.substr(0, program.find_last_of('\\') + 1);
    const std::string copy = folder + "\\" + program.substr(from.size());
    if (!::CopyFileA(program.c_str(), copy.c_str(), TRUE)) return Failure("copy " + program + " to", copy);
    for (const auto& name : besideFiles) {
        const std::string source = from + name;
        if (::GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        const std::string target = folder + "\\" + name;
        if (!::CopyFileA(source.c_str(), target.c_str(), TRUE)) return Failure("copy " + source + " to", target);
    }
    std::string commandLine = "\"" + copy + "\"" + Arguments();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &started))
        return Failure("start", copy);
    const UniqueKernelHandle process(started.hProcess);
    const UniqueKernelHandle thread(started.hThread);
    return {};
}

void RemoveAtRestart(const std::string& folder) {
    // Nothing is left to tell of a failure: the window is gone. What stays is in the temporary
    // folder, which the system's clean-up empties.
    WIN32_FIND_DATAA found{};
    {
        const UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &found));
        if (search) {
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                ::MoveFileExA((folder + "\\" + found.cFileName).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            } while (::FindNextFileA(search.get(), &found));
        }
    }
    ::MoveFileExA(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace platform::win32
