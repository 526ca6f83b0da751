#pragma once
// File-system primitives with Windows semantics: backslash paths, names compared without regard
// to case, attributes, and directory searches with Windows wildcard patterns.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

namespace attr {
constexpr std::uint32_t ReadOnly = 0x01;
constexpr std::uint32_t Hidden = 0x02;
constexpr std::uint32_t System = 0x04;
constexpr std::uint32_t Directory = 0x10;
constexpr std::uint32_t Archive = 0x20;
constexpr std::uint32_t Normal = 0x80;
// A link (junction or symbolic link): a folder entry that leads elsewhere.
constexpr std::uint32_t ReparsePoint = 0x400;
// Attribute mask of a search that returns every kind of entry.
constexpr std::uint32_t AnyFile = ReadOnly | Hidden | System | Directory | Archive;
}  // namespace attr

// A failure that ends an operation, with the operation, the path and the system's message.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whether a search with the mask keeps an entry: hidden, system and directory entries only when
// the mask holds those attributes.
bool MatchesAttributeMask(std::uint32_t attributes, std::uint32_t attributeMask);

struct FindEntry {
    std::string name;  // name part only
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

struct FindResult {
    std::vector<FindEntry> entries;  // in the order of the search, "." and ".." included
    // The search ran to its normal end (including "nothing matched"); false when it stopped on
    // another error, such as a folder that cannot be read.
    bool completed = false;
};

// What a folder is, whatever name reaches it: the serial number of its volume and its index
// there. Two paths with the same identity are one folder.
struct FolderIdentity {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

// A file's path and where it goes (a move or a copy).
struct FilePair {
    std::string from;
    std::string to;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Directory search for a path whose last part may hold the wildcards * and ?. Entries whose
    // hidden, system or directory attributes are not in the mask are left out, as the Windows
    // search of the runtime library does.
    virtual FindResult Find(const std::string& pattern, std::uint32_t attributeMask) = 0;

    // Nothing when the path cannot be reached.
    virtual std::optional<std::uint32_t> GetAttributes(const std::string& path) = 0;
    // What the folder (or file) at the path is, as the system resolves the path through mapped
    // drives, shares and links. Nothing when it cannot be opened, or when its file system gives no
    // file index (as some network file systems do).
    virtual std::optional<FolderIdentity> IdentityOf(const std::string& path) = 0;
    virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;

    virtual bool CopyFile(const std::string& from, const std::string& to, bool overwrite) = 0;
    // Never overwrites: false when the destination exists.
    virtual bool MoveFile(const std::string& from, const std::string& to) = 0;
    virtual bool DeleteFile(const std::string& path) = 0;
    // Creates one folder; its parent must exist.
    virtual bool CreateDirectory(const std::string& path) = 0;
    // Removes an empty folder.
    virtual bool RemoveDirectory(const std::string& path) = 0;

    // The file's bytes; a file that cannot be read raises FileError with the path and the
    // system's reason.
    virtual std::string ReadWholeFile(const std::string& path) = 0;
    // Nothing when the file cannot be read.
    std::optional<std::string> ReadFile(const std::string& path);
    // Creates or empties the file and writes the bytes; a failure raises FileError.
    virtual void WriteFile(const std::string& path, const std::string& data) = 0;

    // Moves what the pattern names to the recycle bin, silently: no progress, no questions, no
    // error dialogs. The pattern is a folder or a folder followed by "\*.*".
    virtual bool Recycle(const std::string& pattern) = 0;

    // Several files at once, each as the single call would do it; how many succeeded. A layer
    // that keeps a record of its changes can record the whole set in one step.
    virtual std::size_t DeleteFiles(const std::vector<std::string>& paths);
    virtual std::size_t MoveFiles(const std::vector<FilePair>& moves);
    virtual std::size_t CopyFiles(const std::vector<FilePair>& copies, bool overwrite);
};

}  // namespace platform
