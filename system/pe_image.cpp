#include "system/pe_image.h"

#include <algorithm>
#include <cstdint>

#include "system/text.h"

namespace sys {

namespace {

constexpr std::uint16_t MachineI386 = 0x014C;
constexpr std::uint16_t MagicPe32 = 0x010B;
constexpr std::uint64_t MaxSections = 96;       // the Windows loader's own limit
constexpr std::uint64_t MaxDescriptors = 4096;  // far beyond any real module; ends looping tables
constexpr std::size_t MaxNameLength = 255;
constexpr std::uint32_t ImportDirectory = 1;
constexpr std::uint32_t DelayImportDirectory = 13;
constexpr std::size_t ImportDescriptorSize = 20;
constexpr std::size_t DelayDescriptorSize = 32;

struct Section {
    std::uint64_t address, virtualSize, rawOffset, rawSize;
};

// Little-endian reads that fail instead of running past the end.
class Bytes {
public:
    explicit Bytes(std::string_view bytes) : bytes_(bytes) {}

    bool Has(std::uint64_t offset, std::uint64_t size) const {
        return offset <= bytes_.size() && size <= bytes_.size() - offset;
    }
    std::optional<std::uint32_t> Read(std::uint64_t offset, std::size_t size) const {
        if (!Has(offset, size)) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = size; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes_[offset + i]);
        return value;
    }
    std::string_view View(std::uint64_t offset, std::uint64_t size) const { return bytes_.substr(offset, size); }

private:
    std::string_view bytes_;
};

class ImageReader {
public:
    explicit ImageReader(std::string_view bytes) : bytes_(bytes) {}

    std::optional<Pe32Image> Read() {
        if (!ReadHeaders()) return std::nullopt;
        Pe32Image image;
        if (!ReadImports(image.imports) || !ReadDelayImports(image.imports)) return std::nullopt;
        return image;
    }

private:
    bool ReadHeaders() {
        if (bytes_.View(0, 2) != "MZ") return false;
        const auto peOffset = bytes_.Read(0x3C, 4);
        if (!peOffset || !bytes_.Has(*peOffset, 24) || bytes_.View(*peOffset, 4) != std::string_view("PE\0\0", 4))
            return false;
        const std::uint64_t coff = *peOffset + 4;
        const auto sections = bytes_.Read(coff + 2, 2);
        const auto optionalSize = bytes_.Read(coff + 16, 2);
        if (bytes_.Read(coff, 2) != MachineI386 || *sections > MaxSections) return false;
        optional_ = coff + 20;
        optionalSize_ = *optionalSize;
        // Magic, image base, header size and the directory count must all lie in the header.
        if (optionalSize_ < 96 || !bytes_.Has(optional_, optionalSize_) || bytes_.Read(optional_, 2) != MagicPe32)
            return false;
        imageBase_ = *bytes_.Read(optional_ + 28, 4);
        headerSize_ = *bytes_.Read(optional_ + 60, 4);
        directories_ = std::min<std::uint64_t>(*bytes_.Read(optional_ + 92, 4), (optionalSize_ - 96) / 8);
        const std::uint64_t table = optional_ + optionalSize_;
        if (!bytes_.Has(table, *sections * 40)) return false;
        for (std::uint64_t i = 0; i < *sections; ++i) {
            const std::uint64_t at = table + i * 40;
            sections_.push_back({*bytes_.Read(at + 12, 4), *bytes_.Read(at + 8, 4), *bytes_.Read(at + 20, 4),
                                 *bytes_.Read(at + 16, 4)});
        }
        return true;
    }

    // The directory's address; 0 when the image has none.
    std::uint32_t Directory(std::uint32_t index) const {
        if (index >= directories_) return 0;
        return *bytes_.Read(optional_ + 96 + index * 8, 4);
    }

    // The file offset of SIZE bytes at an address, when the file holds all of them.
    std::optional<std::uint64_t> Locate(std::uint64_t address, std::uint64_t size) const {
        if (address + size <= headerSize_ && bytes_.Has(address, size)) return address;
        for (const Section& section : sections_) {
            if (address < section.address) continue;
            const std::uint64_t into = address - section.address;
            if (into + size <= section.rawSize && bytes_.Has(section.rawOffset + into, size))
                return section.rawOffset + into;
        }
        return std::nullopt;
    }

    // A module name: plain characters only, so that it can never name a path.
    std::optional<std::string> Name(std::uint64_t address) const {
        std::string name;
        for (std::uint64_t i = 0; i <= MaxNameLength; ++i) {
            const auto at = Locate(address + i, 1);
            if (!at) return std::nullopt;
            const char c = bytes_.View(*at, 1)[0];
            if (c == '\0') {
                if (name.empty()) return std::nullopt;
                return name;
            }
            if (c < 0x20 || c > 0x7E || std::string_view("\\/:\"<>|?*").find(c) != std::string_view::npos)
                return std::nullopt;
            name += c;
        }
        return std::nullopt;
    }

    static void AddOnce(std::vector<std::string>& imports, const std::string& name) {
        if (std::none_of(imports.begin(), imports.end(), [&](const std::string& known) { return SameText(known, name); }))
            imports.push_back(name);
    }

    // Walks a descriptor table to the entry whose name field is 0. NAME_OF gives the entry's name
    // address from its offset, nothing for a damaged entry.
    template <typename NameOf>
    bool ReadTable(std::uint32_t directory, std::size_t entrySize, std::vector<std::string>& imports,
                   NameOf nameOf) const {
        const std::uint32_t table = Directory(directory);
        if (table == 0) return true;
        for (std::uint64_t i = 0; i < MaxDescriptors; ++i) {
            const auto entry = Locate(table + i * entrySize, entrySize);
            if (!entry) return false;
            const auto nameAddress = nameOf(*entry);
            if (!nameAddress) return false;
            if (*nameAddress == 0) return true;
            const auto name = Name(*nameAddress);
            if (!name) return false;
            AddOnce(imports, *name);
        }
        return false;
    }

    bool ReadImports(std::vector<std::string>& imports) const {
        return ReadTable(ImportDirectory, ImportDescriptorSize, imports,
                         [this](std::uint64_t entry) -> std::optional<std::uint64_t> {
                             // The loader ends the table at an entry without a name or thunks.
                             const std::uint32_t thunks = *bytes_.Read(entry + 16, 4);
                             return thunks == 0 ? 0 : *bytes_.Read(entry + 12, 4);
                         });
    }

    bool ReadDelayImports(std::vector<std::string>& imports) const {
        return ReadTable(DelayImportDirectory, DelayDescriptorSize, imports,
                         [this](std::uint64_t entry) -> std::optional<std::uint64_t> {
                             const std::uint32_t attributes = *bytes_.Read(entry, 4);
                             const std::uint32_t name = *bytes_.Read(entry + 4, 4);
                             // Old linkers wrote addresses, not offsets from the image base.
                             if (name == 0 || (attributes & 1) != 0) return name;
                             if (name < imageBase_) return std::nullopt;
                             return name - imageBase_;
                         });
    }

    Bytes bytes_;
    std::uint64_t optional_ = 0, optionalSize_ = 0, imageBase_ = 0, headerSize_ = 0, directories_ = 0;
    std::vector<Section> sections_;
};

}  // namespace

std::optional<Pe32Image> ReadPe32Imports(std::string_view bytes) { return ImageReader(bytes).Read(); }

std::optional<Pe32Image> ReadPe32Imports(platform::FileSystem& files, const std::string& path) {
    const auto bytes = files.ReadFile(path);
    if (!bytes) return std::nullopt;
    return ReadPe32Imports(*bytes);
}

}  // namespace sys
