#include "platform/win32/win32_system_info.h"

#include <cstdio>

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

// A drive root keeps its backslash: "D:" alone names the drive's current folder.
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('\\');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash == 2 && path[1] == ':' ? slash + 1 : slash);
}

class Win32SmallIcon : public SmallIcon {
public:
    explicit Win32SmallIcon(HICON icon) : icon_(icon) {}
    void* NativeHandle() const override { return icon_.get(); }

private:
    UniqueIcon icon_;
};

}  // namespace

OsVersion Win32SystemInfo::GetOsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    OsVersion result;
    if (!GetVersionExA(&info)) return result;
    result.family = info.dwPlatformId == VER_PLATFORM_WIN32_NT        ? OsVersion::Family::NT
                    : info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? OsVersion::Family::Windows9x
                                                                      : OsVersion::Family::Other;
    result.major = info.dwMajorVersion;
    result.minor = info.dwMinorVersion;
    result.build = info.dwBuildNumber;
    result.servicePack = info.szCSDVersion;
    return result;
}

std::optional<std::string> Win32SystemInfo::GetSpecialFolder(SpecialFolder folder) {
    // A 32-bit program asking for Program Files gets the x86 folder on a 64-bit system; the
    // system's own folder is then named only by the environment.
    if (folder == SpecialFolder::ProgramFilesNative)
        if (auto native = GetEnv("ProgramW6432"); native && !native->empty()) return native;
    if (folder == SpecialFolder::CommonFilesNative)
        if (auto native = GetEnv("CommonProgramW6432"); native && !native->empty()) return native;
    int csidl = CSIDL_PROGRAM_FILES;
    switch (folder) {
        case SpecialFolder::ProgramFiles:
        case SpecialFolder::ProgramFilesNative: csidl = CSIDL_PROGRAM_FILES; break;
        case SpecialFolder::Personal:
        case SpecialFolder::OwnPersonal: csidl = CSIDL_PERSONAL; break;
        case SpecialFolder::Windows: csidl = CSIDL_WINDOWS; break;
        case SpecialFolder::System: csidl = CSIDL_SYSTEM; break;
        case SpecialFolder::SystemX86: csidl = CSIDL_SYSTEMX86; break;
        case SpecialFolder::UserProfile: csidl = CSIDL_PROFILE; break;
        case SpecialFolder::Desktop: csidl = CSIDL_DESKTOPDIRECTORY; break;
        case SpecialFolder::CommonFiles:
        case SpecialFolder::CommonFilesNative: csidl = CSIDL_PROGRAM_FILES_COMMON; break;
        case SpecialFolder::AppData: csidl = CSIDL_APPDATA; break;
        case SpecialFolder::LocalAppData: csidl = CSIDL_LOCAL_APPDATA; break;
    }
    // The shell is loaded when a folder is first asked for: the first page needs none.
    static auto& getFolderPath =
        RequiredSystemFunction<decltype(::SHGetFolderPathA)>("shell32.dll", "SHGetFolderPathA");
    char buffer[MAX_PATH] = {};
    if (FAILED(getFolderPath(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)) || !*buffer)
        return std::nullopt;
    return std::string(buffer);
}

std::optional<std::string> Win32SystemInfo::GetEnv(const std::string& name) {
    SetLastError(ERROR_SUCCESS);
    DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::string value(size, '\0');
    size = GetEnvironmentVariableA(name.c_str(), value.data(), size);
    value.resize(size);
    return value;
}

void Win32SystemInfo::SetEnv(const std::string& name, const std::string& value) {
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

std::string Win32SystemInfo::ProgramFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return FolderOf(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string Win32SystemInfo::CurrentDirectory() {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    std::string path(size, '\0');
    path.resize(GetCurrentDirectoryA(size, path.data()));
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

std::string Win32SystemInfo::LocalDate() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[9] = {};
    std::snprintf(text, sizeof text, "%04u%02u%02u", now.wYear % 10000u, now.wMonth % 100u, now.wDay % 100u);
    return text;
}

std::optional<std::string> Win32SystemInfo::LocaleAbbreviation() {
    char buffer[5] = {};
    if (GetLocaleInfoA(GetThreadLocale(), LOCALE_SABBREVLANGNAME, buffer, sizeof buffer) == 0)
        return std::nullopt;
    return std::string(buffer);
}

std::optional<std::string> Win32SystemInfo::LoadResourceString(const std::string& modulePath,
                                                               std::uint32_t id) {
    const UniqueModule module(LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return std::nullopt;
    char buffer[1024] = {};
    const int length = LoadStringA(module.get(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::optional<std::vector<ProcessEntry>> Win32SystemInfo::RunningProcesses() {
    const UniqueSnapshot snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    std::vector<ProcessEntry> processes;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry)) {
        const std::string exe = entry.szExeFile;
        const auto slash = exe.find_last_of('\\');
        processes.push_back({entry.th32ProcessID,
                             slash == std::string::npos ? exe : exe.substr(slash + 1)});
    }
    return processes;
}

std::vector<std::string> Win32SystemInfo::ProcessModules(std::uint32_t processId) {
    std::vector<std::string> modules;
#ifdef _WIN64
    // The IDEs are 32-bit processes: ask for their 32-bit modules too.
    constexpr DWORD kModules = TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32;
#else
    // A 32-bit process lists 32-bit modules anyway, and older systems refuse the flag.
    constexpr DWORD kModules = TH32CS_SNAPMODULE;
#endif
    const UniqueSnapshot snapshot(CreateToolhelp32Snapshot(kModules, processId));
    if (!snapshot) return modules;
    MODULEENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot.get(), &entry); more;
         more = Module32Next(snapshot.get(), &entry))
        modules.emplace_back(entry.szExePath);
    return modules;
}

std::unique_ptr<SmallIcon> Win32SystemInfo::FileSmallIcon(const std::string& path) {
    static auto& getFileInfo = RequiredSystemFunction<decltype(::SHGetFileInfoA)>("shell32.dll", "SHGetFileInfoA");
    SHFILEINFOA info{};
    if (!getFileInfo(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) ||
        !info.hIcon)
        return nullptr;
    return std::make_unique<Win32SmallIcon>(info.hIcon);
}

}  // namespace platform::win32
