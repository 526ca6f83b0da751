#include "engine/journal_entry.h"

#include <cstdio>

namespace engine::journal {

namespace {

const char* const Magic = "Quorvex setup journal 1";
const char* const CheckField = "check ";
const char* const HexDigits = "0123456789ABCDEF";

bool MustEscape(unsigned char c) { return c <= ' ' || c == '%' || c == 0x7F; }

std::string Escape(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (MustEscape(byte)) {
            out += '%';
            out += HexDigits[byte >> 4];
            out += HexDigits[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            if (MustEscape(static_cast<unsigned char>(text[i]))) return std::nullopt;
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::string CheckLine(std::uint32_t crc) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(crc));
    return std::string(CheckField) + digits + "\r\n";
}

}  // namespace

Entry& Entry::Add(std::string name, std::vector<std::string> values) {
    fields.push_back({std::move(name), std::move(values)});
    return *this;
}

const Field* Entry::Find(const std::string& name) const {
    for (const auto& field : fields)
        if (field.name == name) return &field;
    return nullptr;
}

std::string Entry::Text(const std::string& name) const {
    const Field* field = Find(name);
    return field && !field->values.empty() ? field->values.front() : std::string();
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string FormatEntry(const Entry& entry) {
    std::string text = std::string(Magic) + "\r\n" + "kind " + Escape(entry.kind) + "\r\n";
    for (const auto& field : entry.fields) {
        text += Escape(field.name);
        for (const auto& value : field.values) text += " " + Escape(value);
        text += "\r\n";
    }
    return text + CheckLine(Crc32(text));
}

std::optional<Entry> ParseEntry(const std::string& text) {
    // The check line closes the entry: the CRC covers every byte before it.
    const std::size_t check = text.rfind(CheckField);
    if (check == std::string::npos || (check > 0 && text[check - 1] != '\n')) return std::nullopt;
    const std::string body = text.substr(0, check);
    if (text.substr(check) != CheckLine(Crc32(body))) return std::nullopt;

    std::vector<std::string> lines = SplitAt(body, '\n');
    if (lines.empty() || !lines.back().empty()) return std::nullopt;
    lines.pop_back();
    for (auto& line : lines) {
        if (line.empty() || line.back() != '\r') return std::nullopt;
        line.pop_back();
    }
    if (lines.size() < 2 || lines[0] != Magic) return std::nullopt;
    Entry entry;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        Field field;
        bool first = true;
        for (const auto& part : SplitAt(lines[i], ' ')) {
            const auto value = Unescape(part);
            if (!value) return std::nullopt;
            if (first)
                field.name = *value;
            else
                field.values.push_back(*value);
            first = false;
        }
        if (i == 1) {
            if (field.name != "kind" || field.values.size() != 1) return std::nullopt;
            entry.kind = field.values.front();
        } else {
            entry.fields.push_back(std::move(field));
        }
    }
    return entry;
}

std::string ToHex(const std::string& bytes) {
    std::string digits;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        digits += HexDigits[byte >> 4];
        digits += HexDigits[byte & 0x0F];
    }
    return digits;
}

std::optional<std::string> FromHex(const std::string& digits) {
    if (digits.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexValue(digits[i]);
        const int low = HexValue(digits[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

}  // namespace engine::journal
