#pragma once
// A file system held in memory that keeps the Windows rules the installer meets: drive letters
// (C: exists, others are added), backslash paths, names that ignore the case of A to Z and keep
// the case they were created with, attributes (a read-only file cannot be deleted or
// overwritten), searches with Windows wildcards in name order, and a recycle bin.
//
// For tests it can also hold a file open the way another program does, without sharing, and
// place a directory link.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/memory/memory_path.h"

namespace platform::memory {

class MemoryFileSystem : public FileSystem {
    struct Node;

public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;
    MemoryFileSystem(const MemoryFileSystem&) = delete;
    MemoryFileSystem& operator=(const MemoryFileSystem&) = delete;

    FindResult Find(const std::string& pattern, std::uint32_t attributeMask) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override;
    bool MoveFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    void WriteFile(const std::string& path, const std::string& data) override;
    bool Recycle(const std::string& pattern) override;

    // An empty drive; nothing happens when it exists. Raises std::invalid_argument for a
    // character that is not a letter.
    void AddDrive(char letter);

    // The folder that relative paths start from (C:\ at first). Raises std::invalid_argument
    // when it is not an existing folder.
    void SetCurrentFolder(const std::string& path);

    // A link at `link` that leads to the existing folder `target`, as a junction does. Raises
    // std::invalid_argument when either end is unsuitable.
    void CreateDirectoryLink(const std::string& link, const std::string& target);

    // A file held open by another program that shares nothing: it cannot be read, written,
    // copied, moved, deleted or recycled until this is destroyed. Must not outlive its file
    // system.
    class OpenFile {
    public:
        OpenFile(OpenFile&& other) noexcept;
        OpenFile& operator=(OpenFile&&) = delete;
        ~OpenFile();

    private:
        friend class MemoryFileSystem;
        explicit OpenFile(Node& file);
        Node* file_;
    };
    // Raises FileError when there is no such file.
    [[nodiscard]] OpenFile OpenWithoutSharing(const std::string& path);

    // The full paths of what was recycled, in the order it was recycled.
    std::vector<std::string> RecycleBin() const;

    // Makes this file system a copy of the other: its drives with every folder and file, its
    // current folder and its recycle bin. Files held open are not held open in the copy.
    void CopyFrom(const MemoryFileSystem& other);

private:
    struct Place;
    Place Locate(const std::string& path);
    Node* Root(char drive) const;
    Node* Descend(char drive, const std::vector<std::string>& names, std::size_t count,
                  int& linkHops) const;
    Node* FollowLinks(Node* node, int& linkHops) const;

    std::map<char, std::unique_ptr<Node>> drives_;
    PathParts currentFolder_;
    struct RecycledEntry;
    std::vector<RecycledEntry> recycleBin_;
};

}  // namespace platform::memory
