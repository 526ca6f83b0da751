#include "platform/file_system.h"

namespace platform {

bool MatchesAttributeMask(std::uint32_t attributes, std::uint32_t attributeMask) {
    constexpr std::uint32_t selective = attr::Hidden | attr::System | attr::Directory;
    return (attributes & selective & ~attributeMask) == 0;
}

std::optional<std::string> FileSystem::ReadFile(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

std::size_t FileSystem::DeleteFiles(const std::vector<std::string>& paths) {
    std::size_t done = 0;
    for (const auto& path : paths) done += DeleteFile(path) ? 1 : 0;
    return done;
}

std::size_t FileSystem::MoveFiles(const std::vector<FilePair>& moves) {
    std::size_t done = 0;
    for (const auto& move : moves) done += MoveFile(move.from, move.to) ? 1 : 0;
    return done;
}

std::size_t FileSystem::CopyFiles(const std::vector<FilePair>& copies, bool overwrite) {
    std::size_t done = 0;
    for (const auto& copy : copies) done += CopyFile(copy.from, copy.to, overwrite) ? 1 : 0;
    return done;
}

}  // namespace platform
