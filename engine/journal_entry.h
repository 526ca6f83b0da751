#pragma once
// One entry of a journal, as it lies on disk: a kind and named fields, each with its values.
//
//     Quorvex setup journal 1
//     kind value
//     root HKEY_CURRENT_USER
//     key SOFTWARE\Borland\Delphi\7.0\Known%20Packages
//     name C:\D7\Projects\Bpl\tkQuorvexDsgnD7.bpl
//     old 1 51756F727665782...00
//     check 5D1E0C2A
//
// One field a line: its name, then its values, separated by single blanks. A value keeps every
// byte but the blank, the percent sign and the control characters, which are written as %XX.
// The last line holds the CRC-32 of everything before it: an entry that was cut short or damaged
// does not read as one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace engine::journal {

struct Field {
    std::string name;
    std::vector<std::string> values;
};

struct Entry {
    std::string kind;
    std::vector<Field> fields;

    Entry& Add(std::string name, std::vector<std::string> values);
    // The first field of that name; nothing when there is none.
    const Field* Find(const std::string& name) const;
    // Its first value; empty when the field or the value is missing.
    std::string Text(const std::string& name) const;
};

std::string FormatEntry(const Entry& entry);
// Nothing when the text is no whole, undamaged entry.
std::optional<Entry> ParseEntry(const std::string& text);

// Bytes as upper-case hexadecimal digits and back; nothing for a text that is not such digits.
std::string ToHex(const std::string& bytes);
std::optional<std::string> FromHex(const std::string& digits);

std::uint32_t Crc32(const std::string& bytes);

}  // namespace engine::journal
