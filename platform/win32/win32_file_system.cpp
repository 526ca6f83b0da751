#include <windows.h>
#include <shellapi.h>

#include "platform/win32/win32_file_system.h"

#include <algorithm>

#include "platform/win32/system_error.h"
#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"

namespace platform::win32 {

namespace {

// Turns the critical-error dialogs off and gives the previous mode back at the end. XP has no
// GetErrorMode: the previous mode is what SetErrorMode gives back.
class CriticalErrorDialogsOff {
public:
    CriticalErrorDialogsOff() : previous_(::SetErrorMode(SEM_FAILCRITICALERRORS)) {
        ::SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
    }
    ~CriticalErrorDialogsOff() { ::SetErrorMode(previous_); }
    CriticalErrorDialogsOff(const CriticalErrorDialogsOff&) = delete;
    CriticalErrorDialogsOff& operator=(const CriticalErrorDialogsOff&) = delete;

private:
    UINT previous_;
};

FindEntry ToEntry(const WIN32_FIND_DATAA& data) {
    const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    return {data.cFileName, data.dwFileAttributes, size};
}

[[noreturn]] void FailWrite(const std::string& path, DWORD error) {
    throw FileError("Cannot write file " + path + ": " + SystemMessage(error));
}

[[noreturn]] void FailRead(const std::string& path, DWORD error) {
    throw FileError("Cannot read file " + path + ": " + SystemMessage(error));
}

// ReadFile and WriteFile move at most a DWORD's worth of bytes per call.
DWORD ChunkSize(std::size_t remaining) {
    return static_cast<DWORD>(std::min<std::size_t>(remaining, 1u << 30));
}

}  // namespace

FindResult Win32FileSystem::Find(const std::string& pattern, std::uint32_t attributeMask) {
    const CriticalErrorDialogsOff quiet;
    FindResult result;
    WIN32_FIND_DATAA data;
    const UniqueFindHandle search(::FindFirstFileA(pattern.c_str(), &data));
    if (!search) {
        result.completed = ::GetLastError() == ERROR_FILE_NOT_FOUND;
        return result;
    }
    do {
        if (MatchesAttributeMask(data.dwFileAttributes, attributeMask))
            result.entries.push_back(ToEntry(data));
    } while (::FindNextFileA(search.get(), &data));
    result.completed = ::GetLastError() == ERROR_NO_MORE_FILES;
    return result;
}

std::optional<std::uint32_t> Win32FileSystem::GetAttributes(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::optional<FolderIdentity> Win32FileSystem::IdentityOf(const std::string& path) {
    const CriticalErrorDialogsOff quiet;
    // A folder opens only with backup semantics; without FILE_FLAG_OPEN_REPARSE_POINT a link is
    // followed to what it leads to.
    const UniqueFileHandle opened(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!opened) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(opened.get(), &information)) return std::nullopt;
    const std::uint64_t index = (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow;
    // A file system without file indexes reports 0 for every file.
    if (index == 0) return std::nullopt;
    return FolderIdentity{information.dwVolumeSerialNumber, index};
}

bool Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
    return ::SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool Win32FileSystem::CopyFile(const std::string& from, const std::string& to, bool overwrite) {
    return ::CopyFileA(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE) != 0;
}

bool Win32FileSystem::MoveFile(const std::string& from, const std::string& to) {
    return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool Win32FileSystem::DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

bool Win32FileSystem::CreateDirectory(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32FileSystem::RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str()) != 0;
}

std::string Win32FileSystem::ReadWholeFile(const std::string& path) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw FileError("Cannot open file " + path + ": " + SystemMessage(::GetLastError()));
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) FailRead(path, ::GetLastError());
    std::string data(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), data.data() + done, ChunkSize(data.size() - done), &read,
                        nullptr))
            FailRead(path, ::GetLastError());
        if (read == 0) break;  // the file became shorter while we read it
        done += read;
    }
    data.resize(done);
    return data;
}

void Win32FileSystem::WriteFile(const std::string& path, const std::string& data) {
    const UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) FailWrite(path, ::GetLastError());
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        if (!::WriteFile(file.get(), data.data() + done, ChunkSize(data.size() - done), &written,
                         nullptr))
            FailWrite(path, ::GetLastError());
        if (written == 0) FailWrite(path, ERROR_WRITE_FAULT);
        done += written;
    }
    if (!::SetEndOfFile(file.get())) FailWrite(path, ::GetLastError());
}

bool Win32FileSystem::Recycle(const std::string& pattern) {
    // The shell takes a list of names, each closed by a zero, the list by one more.
    const std::string names = pattern + std::string(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = names.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR |
                       FOF_ALLOWUNDO;
    static auto& fileOperation =
        RequiredSystemFunction<decltype(::SHFileOperationA)>("shell32.dll", "SHFileOperationA");
    return fileOperation(&operation) == 0 && !operation.fAnyOperationsAborted;
}

}  // namespace platform::win32
