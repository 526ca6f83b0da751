#include "tools/archive/archive.h"

#include <array>
#include <cctype>
#include <limits>

namespace archive {
namespace {

constexpr std::string_view kMagic{"QVARC\r\n\x1a", 8};
constexpr std::size_t kHeaderSize = kMagic.size() + 3 * 4;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr auto kCrcTable = MakeCrcTable();

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Reads little-endian integers from a byte range; running past its end is a truncation.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    std::uint64_t Number(int size) {
        const std::string_view raw = Bytes(static_cast<std::size_t>(size));
        std::uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(raw[static_cast<std::size_t>(i)]);
        return value;
    }

    std::string_view Bytes(std::uint64_t size) {
        if (size > bytes_.size() - at_) throw ArchiveError("archive is truncated");
        const std::string_view raw = bytes_.substr(at_, static_cast<std::size_t>(size));
        at_ += static_cast<std::size_t>(size);
        return raw;
    }

    std::size_t Remaining() const { return bytes_.size() - at_; }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

// Windows opens a device, not a file, for these names in any folder, whatever follows the first
// dot and however many blanks come before it. The port digits include 0 and the superscripts 1
// to 3 of the ANSI code page.
bool IsReservedDeviceName(std::string_view part) {
    std::string_view stem = part.substr(0, part.find('.'));
    while (stem.ends_with(' ')) stem.remove_suffix(1);
    std::string upper;
    for (char c : stem) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" || upper == "CONIN$" ||
        upper == "CONOUT$")
        return true;
    if (upper.size() != 4 || !(upper.starts_with("COM") || upper.starts_with("LPT"))) return false;
    const char digit = upper[3];
    return (digit >= '0' && digit <= '9') || digit == '\xB9' || digit == '\xB2' || digit == '\xB3';
}

bool IsSafePart(std::string_view part) {
    if (part.empty() || part.back() == '.' || part.back() == ' ') return false;
    for (char c : part) {
        if (static_cast<unsigned char>(c) < 32) return false;
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return false;
    }
    return !IsReservedDeviceName(part);
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
    crc = ~crc;
    for (char c : bytes) crc = kCrcTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool IsSafeEntryPath(std::string_view path) {
    if (path.empty()) return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find_first_of("\\/", start);
        if (!IsSafePart(path.substr(start, end - start))) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

std::string Pack(const std::vector<Entry>& entries) {
    std::string index;
    for (const Entry& entry : entries) {
        if (!IsSafeEntryPath(entry.path)) throw ArchiveError("unsafe entry path '" + entry.path + "'");
        if (entry.path.size() > std::numeric_limits<std::uint16_t>::max())
            throw ArchiveError("entry path too long: '" + entry.path + "'");
        std::string path = entry.path;
        for (char& c : path)
            if (c == '/') c = '\\';
        PutLittleEndian(index, path.size(), 2);
        index += path;
        PutLittleEndian(index, entry.data.size(), 8);
        PutLittleEndian(index, Crc32(entry.data), 4);
    }
    if (entries.size() > std::numeric_limits<std::uint32_t>::max() ||
        index.size() > std::numeric_limits<std::uint32_t>::max())
        throw ArchiveError("too many entries");

    std::string counts;
    PutLittleEndian(counts, entries.size(), 4);
    PutLittleEndian(counts, index.size(), 4);

    std::string out(kMagic);
    out += counts;
    PutLittleEndian(out, Crc32(index, Crc32(counts)), 4);
    out += index;
    for (const Entry& entry : entries) out += entry.data;
    return out;
}

std::vector<Entry> Unpack(std::string_view bytes) {
    if (bytes.size() < kHeaderSize) {
        if (kMagic.starts_with(bytes.substr(0, kMagic.size()))) throw ArchiveError("archive is truncated");
        throw ArchiveError("not an archive of this kind");
    }
    if (!bytes.starts_with(kMagic)) throw ArchiveError("not an archive of this kind");

    Cursor header(bytes.substr(kMagic.size()));
    const std::string_view counts = bytes.substr(kMagic.size(), 8);
    const auto count = header.Number(4);
    const auto indexSize = header.Number(4);
    const auto indexCrc = static_cast<std::uint32_t>(header.Number(4));

    Cursor body(bytes.substr(kHeaderSize));
    const std::string_view indexBytes = body.Bytes(indexSize);
    if (Crc32(indexBytes, Crc32(counts)) != indexCrc) throw ArchiveError("archive index is damaged");

    struct Listed {
        std::string path;
        std::uint64_t size;
        std::uint32_t crc;
    };
    std::vector<Listed> listed;
    Cursor index(indexBytes);
    for (std::uint64_t i = 0; i < count; ++i) {
        Listed item;
        item.path = std::string(index.Bytes(index.Number(2)));
        item.size = index.Number(8);
        item.crc = static_cast<std::uint32_t>(index.Number(4));
        if (!IsSafeEntryPath(item.path)) throw ArchiveError("unsafe entry path '" + item.path + "'");
        listed.push_back(std::move(item));
    }
    if (index.Remaining() != 0) throw ArchiveError("archive index is damaged");

    std::vector<Entry> entries;
    entries.reserve(listed.size());
    for (const Listed& item : listed) {
        Entry entry{item.path, std::string(body.Bytes(item.size))};
        if (Crc32(entry.data) != item.crc) throw ArchiveError("entry '" + item.path + "' is damaged");
        entries.push_back(std::move(entry));
    }
    if (body.Remaining() != 0) throw ArchiveError("archive has unexpected bytes after its last entry");
    return entries;
}

}  // namespace archive
