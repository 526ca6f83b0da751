// Where the Windows backend takes system libraries and the system's own Program Files from.

#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_system_info.h"

namespace {

std::string Upper(std::string text) {
    for (auto& c : text) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    return std::string(path, ::GetModuleFileNameA(module, path, MAX_PATH));
}

std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    return std::string(folder, ::GetSystemDirectoryA(folder, MAX_PATH));
}

TEST(SystemLibrary, ComesFromTheSystemFolderOnly) {
    const HMODULE dialogs = platform::win32::SystemLibrary("comdlg32.dll");
    ASSERT_NE(dialogs, nullptr);
    EXPECT_EQ(Upper(ModulePath(dialogs)), Upper(SystemFolder() + "\\comdlg32.dll"));
    EXPECT_EQ(platform::win32::SystemLibrary("comdlg32.dll"), dialogs);
    // The resource module sits beside this program, where a plain search would find it.
    EXPECT_EQ(platform::win32::SystemLibrary("test_strings.deu"), nullptr);
}

std::string FailureOf(const char* library, const char* name) {
    try {
        platform::win32::RequiredSystemProc(library, name);
    } catch (const platform::win32::SystemLibraryError& error) {
        return error.what();
    }
    return "<no error>";
}

std::string Message(DWORD code) {
    char text[512] = {};
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                    sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ')) --length;
    return std::string(text, length);
}

// The shell and the object model are loaded on first use: a function comes from the library in
// the system folder, and one that cannot be had names itself, the library's path and the reason.
TEST(SystemLibrary, RequiredFunctionsComeFromTheSystemFolderOrNameWhyNot) {
    void* const browse = platform::win32::RequiredSystemProc("shell32.dll", "SHBrowseForFolderA");
    const HMODULE shell = platform::win32::SystemLibrary("shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(Upper(ModulePath(shell)), Upper(SystemFolder() + "\\shell32.dll"));
    EXPECT_EQ(browse, reinterpret_cast<void*>(::GetProcAddress(shell, "SHBrowseForFolderA")));

    EXPECT_EQ(FailureOf("shell32.dll", "NoSuchShellFunction"),
              "Cannot load NoSuchShellFunction from " + SystemFolder() + "\\shell32.dll: " + Message(ERROR_PROC_NOT_FOUND));
    // Beside this program, not in the system folder: never loaded, and every later use says so.
    const std::string missing =
        "Cannot load GetString from " + SystemFolder() + "\\test_strings.deu: " + Message(ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(FailureOf("test_strings.deu", "GetString"), missing);
    EXPECT_EQ(FailureOf("test_strings.deu", "GetString"), missing);
}

TEST(SystemInfoFolders, TheSystemsOwnProgramFilesFollowsProgramW6432) {
    platform::win32::Win32SystemInfo info;
    const auto programFiles = info.GetSpecialFolder(platform::SpecialFolder::ProgramFiles);
    ASSERT_TRUE(programFiles.has_value());
    const auto saved = info.GetEnv("ProgramW6432");
    info.SetEnv("ProgramW6432", "D:\\Native Programs");
    EXPECT_EQ(info.GetSpecialFolder(platform::SpecialFolder::ProgramFilesNative).value_or("<none>"),
              "D:\\Native Programs");
    EXPECT_EQ(info.GetSpecialFolder(platform::SpecialFolder::ProgramFiles), programFiles);
    // A 32-bit system has no such variable: both are the one Program Files.
    ::SetEnvironmentVariableA("ProgramW6432", nullptr);
    EXPECT_EQ(info.GetSpecialFolder(platform::SpecialFolder::ProgramFilesNative), programFiles);
    if (saved) info.SetEnv("ProgramW6432", *saved);
}

}  // namespace
