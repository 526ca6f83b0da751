// The archive reader of unrar.exe on any bytes: it refuses them, or every entry it gives names a
// place below the destination folder, judged here the way Windows would resolve the name. The
// input is read as it is and, when its index checksum is wrong, once more with the checksum
// made right, so that mutations reach the index behind it.

#include <algorithm>
#include <optional>

#include "fuzz/support/fuzz_support.h"
#include "tools/archive/archive.h"

namespace {

constexpr std::size_t kCountsAt = 8;   // after the magic: count, index size, index CRC
constexpr std::size_t kIndexAt = 20;

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Windows opens a device for these names in any folder, whatever follows the first dot and
// however many blanks precede it. The digits include the superscripts 1 to 3 of the ANSI page.
bool IsDeviceName(std::string_view part) {
    std::string_view stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const std::string name = Upper(stem);
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" ||
        name == "CONOUT$")
        return true;
    if (name.size() != 4 || !(name.starts_with("COM") || name.starts_with("LPT"))) return false;
    const char digit = name[3];
    return (digit >= '0' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

// Windows drops trailing dots and blanks of a name: ".. " and "..." lead where ".." and "" do.
bool IsUpOrHere(std::string_view part) {
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.remove_suffix(1);
    return part.empty();
}

bool StaysBelowDestination(std::string_view path) {
    if (path.empty() || path.front() == '\\' || path.front() == '/') return false;  // rooted or UNC
    if (path.find(':') != std::string_view::npos) return false;                     // drive or stream
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find_first_of("\\/", start);
        const std::string_view part = path.substr(start, end - start);
        if (IsUpOrHere(part) || IsDeviceName(part)) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

void CheckArchive(std::string_view bytes) {
    std::vector<archive::Entry> entries;
    try {
        entries = archive::Unpack(bytes);
    } catch (const archive::ArchiveError&) {
        return;
    }
    for (const archive::Entry& entry : entries) FUZZ_CHECK(StaysBelowDestination(entry.path));

    // What was read packs again and reads back the same, with slashes stored as backslashes.
    std::vector<archive::Entry> stored = entries;
    for (archive::Entry& entry : stored) std::replace(entry.path.begin(), entry.path.end(), '/', '\\');
    FUZZ_CHECK(archive::Unpack(archive::Pack(entries)) == stored);
}

// The bytes with the index checksum the header's counts and the index call for; nothing when
// the header is incomplete or the checksum is already right.
std::optional<std::string> Resealed(std::string_view bytes) {
    if (bytes.size() < kIndexAt) return std::nullopt;
    std::string sealed(bytes);
    std::uint32_t indexSize = 0;
    for (int i = 3; i >= 0; --i) indexSize = (indexSize << 8) | static_cast<unsigned char>(sealed[kCountsAt + 4 + i]);
    const std::string_view index = std::string_view(sealed).substr(kIndexAt, indexSize);
    const std::uint32_t crc = archive::Crc32(index, archive::Crc32(std::string_view(sealed).substr(kCountsAt, 8)));
    for (int i = 0; i < 4; ++i) sealed[kCountsAt + 8 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    if (sealed == bytes) return std::nullopt;
    return sealed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    CheckArchive(bytes);
    if (const auto sealed = Resealed(bytes)) CheckArchive(*sealed);
    return 0;
}
