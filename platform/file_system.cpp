#include "platform/file_system.h"

namespace platform {

bool MatchesAttributeMask(std::uint32_t attributes, std::uint32_t attributeMask) {
    constexpr std::uint32_t selective = attr::Hidden | attr::System | attr::Directory;
    return (attributes & selective & ~attributeMask) == 0;
}

}  // namespace platform
