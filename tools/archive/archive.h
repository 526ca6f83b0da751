#pragma once
// The distribution's archive format, read by unrar.exe and written by mkarc:
//
//   magic      8 bytes  "QVARC\r\n\x1a"
//   count      u32      number of entries
//   index size u32      bytes of the index that follows
//   index crc  u32      CRC-32 over count, index size and the index bytes
//   index      count times: path length u16, path bytes, data size u64, data crc u32
//   data       the entries' bytes, in index order, nothing after them
//
// Integers are little-endian. Paths are relative, with backslashes. Only files are stored;
// their folders are made on extraction.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace archive {

struct Entry {
    std::string path;
    std::string data;

    friend bool operator==(const Entry&, const Entry&) = default;
};

// A damaged, truncated or unsafe archive, or an entry that cannot be stored.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The CRC-32 of zlib and PNG (reflected 0xEDB88320), continuing from `crc`.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// Whether the path names a place below the destination folder on Windows: relative, no drive
// or stream colon, no "." or ".." or empty part, no characters or device names Windows refuses,
// no part ending in a dot or blank (Windows would drop them). Both slashes separate parts.
bool IsSafeEntryPath(std::string_view path);

// The archive bytes of the entries; slashes in paths become backslashes. Throws for an unsafe
// path.
std::string Pack(const std::vector<Entry>& entries);

// The entries of an archive, each checked against its CRC, the index against its own.
// Throws ArchiveError naming what is wrong.
std::vector<Entry> Unpack(std::string_view bytes);

}  // namespace archive
