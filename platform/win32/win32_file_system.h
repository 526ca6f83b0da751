#pragma once
// The machine's file system through the ANSI Win32 functions.

#include "platform/file_system.h"

namespace platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    // Switches the system's critical-error dialogs off while it runs, so that probing an empty
    // removable drive fails quietly instead of asking the user.
    FindResult Find(const std::string& pattern, std::uint32_t attributeMask) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    // The folder opened for its attributes only, sharing everything, so that a folder in use or
    // one whose contents we may not read still tells what it is.
    std::optional<FolderIdentity> IdentityOf(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override;
    bool MoveFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    // Keeps the attributes of a file it replaces, so that a hidden file can be rewritten too.
    void WriteFile(const std::string& path, const std::string& data) override;
    // The shell's delete with undo: the recycle bin, without progress, questions or error
    // dialogs, and without an owner window.
    bool Recycle(const std::string& pattern) override;
};

}  // namespace platform::win32
