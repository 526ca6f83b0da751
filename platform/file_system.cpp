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

}  // namespace platform
