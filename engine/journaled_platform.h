#pragma once
// The registry and the file system as the engine sees them while it changes one IDE: every call
// that changes something first writes its journal entry, then passes on. A file that would be
// deleted or overwritten is moved into the journal instead. Reads pass on unchanged.
//
// A change that fails raises an error (JournalError, RegistryError), so that the IDE's work
// stops and is undone: the IDE is either changed completely or not at all. What the plain call
// would refuse before changing anything (a copy onto an existing file without overwrite, a copy
// or move of a missing file, a delete of a read-only file, a folder in a missing folder) is
// refused the same way, with false.

#include <memory>
#include <string>

#include "engine/journal.h"

namespace engine::journal {

class JournaledRegistry : public platform::Registry {
public:
    JournaledRegistry(platform::Registry& inner, IdeJournal& journal) : inner_(inner), journal_(journal) {}

    // A key opened for writing writes down each value's old state before it changes it; one
    // created writes down the first missing key of its path.
    std::unique_ptr<platform::RegistryKey> OpenKey(platform::Hive root, const std::string& path,
                                                   platform::KeyAccess access) override;
    bool KeyExists(platform::Hive root, const std::string& path) override;
    // Writes down everything in the key first.
    bool DeleteKey(platform::Hive root, const std::string& path) override;
    std::string RootName(platform::Hive root) const override { return inner_.RootName(root); }

private:
    platform::Registry& inner_;
    IdeJournal& journal_;
};

class JournaledFiles : public platform::FileSystem {
public:
    JournaledFiles(platform::FileSystem& inner, IdeJournal& journal) : inner_(inner), journal_(journal) {}

    platform::FindResult Find(const std::string& pattern, std::uint32_t attributeMask) override;
    std::optional<std::uint32_t> GetAttributes(const std::string& path) override;
    std::optional<platform::FolderIdentity> IdentityOf(const std::string& path) override { return inner_.IdentityOf(path); }
    bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
    // An existing destination that the copy may replace is moved into the journal first.
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override;
    bool MoveFile(const std::string& from, const std::string& to) override;
    // Moves the file into the journal; one that this work made is deleted, as undoing takes it
    // away anyway. False, with nothing changed, where DeleteFile would fail at once: no such
    // file, a folder, a read-only file. A file that cannot be moved or deleted (held open by
    // another program) raises JournalError: the IDE cannot be left as the work needs it.
    bool DeleteFile(const std::string& path) override;
    bool CreateDirectory(const std::string& path) override;
    bool RemoveDirectory(const std::string& path) override;
    std::string ReadWholeFile(const std::string& path) override;
    // An existing file is moved into the journal first.
    void WriteFile(const std::string& path, const std::string& data) override;
    // Not for an IDE's work: raises JournalError.
    bool Recycle(const std::string& pattern) override;
    // As the single calls, with one journal entry for the whole set.
    std::size_t DeleteFiles(const std::vector<std::string>& paths) override;
    std::size_t MoveFiles(const std::vector<platform::FilePair>& moves) override;
    std::size_t CopyFiles(const std::vector<platform::FilePair>& copies, bool overwrite) override;

private:
    // Moves a file to where the journal said; raises JournalError when it cannot be moved.
    void MoveInto(const std::string& path, const std::string& saved);
    // True; a change that did not succeed raises JournalError.
    static bool Done(bool succeeded, const std::string& action, const std::string& path);

    platform::FileSystem& inner_;
    IdeJournal& journal_;
};

}  // namespace engine::journal
