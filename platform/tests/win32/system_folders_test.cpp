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
