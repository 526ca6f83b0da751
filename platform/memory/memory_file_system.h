#pragma once
// A file system held in memory that keeps the Windows rules the installer meets: drive letters
// (C: exists, others are added), backslash paths, names that ignore the case of A to Z and keep
// the case they were created with, attributes (a read-only file cannot be deleted or
// overwritten), searches with Windows wildcards in name order, and a recycle bin.
//
// Every entry has an identity of its own (its drive's serial number and an index that no other
// entry has), which every name that reaches it shares: its short 8.3 alias, a link, a drive
// mapped onto a folder, a share.
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
    std::optional<FolderIdentity> IdentityOf(const std::string& path) override;
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override;
    bool MoveFile(const std::string& from, const std::string& to) override;
    bool DeleteFile(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    void WriteFile(const std::string& path, const std::string& data) override;
    bool Recycle(const std::string& pattern) override;

    // Whether a drive's file system gives each file an index, as local ones do; some network
    // file systems give none, and nothing on them has a known identity.
    enum class FileIndexes { Given, None };

    // An empty drive; nothing happens when it exists. Raises std::invalid_argument for a
    // character that is not a letter.
    void AddDrive(char letter, FileIndexes indexes = FileIndexes::Given);

    // A drive letter that leads to an existing folder, as "subst Q: C:\Dist" makes one. Raises
    // std::invalid_argument when the letter is taken or the target is not a folder.
    void MapDrive(char letter, const std::string& target);

    // A share "\\SERVER\NAME" that leads to an existing folder, as this machine's administrative
    // share \\localhost\C$ leads to C:\. Raises std::invalid_argument when the share is not a
    // share's name or the target is not a folder.
    void AddShare(const std::string& share, const std::string& target);

    // The 8.3 alias of an existing entry, which reaches it as its long name does (the system
    // makes one for each long name). Raises std::invalid_argument when there is no such entry or
    // another entry of its folder has that name.
    void SetShortName(const std::string& path, const std::string& shortName);

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
    Node* Root(const PathParts& parts) const;
    Node* Descend(const PathParts& parts, std::size_t count, int& linkHops) const;
    Node* FollowLinks(Node* node, int& linkHops) const;
    // A new entry of the folder, with an identity of its own on the folder's drive.
    Node& AddEntry(Node& folder, const std::string& name, std::uint32_t attributes);
    // A root that leads to the existing folder `target`.
    std::unique_ptr<Node> AliasOf(const std::string& name, const std::string& target);

    std::map<char, std::unique_ptr<Node>> drives_;
    std::map<std::string, std::unique_ptr<Node>> shares_;  // by FoldCase(share)
    std::vector<std::uint32_t> volumesWithoutIndexes_;
    std::uint64_t lastIndex_ = 0;
    PathParts currentFolder_;
    struct RecycledEntry;
    std::vector<RecycledEntry> recycleBin_;
};

}  // namespace platform::memory
