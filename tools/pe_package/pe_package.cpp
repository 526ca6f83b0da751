#include "tools/pe_package/pe_package.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern const unsigned char kPackage32Template[];
extern const std::size_t kPackage32TemplateSize;
extern const unsigned char kPackage64Template[];
extern const std::size_t kPackage64TemplateSize;

namespace fixtures {

namespace {

constexpr std::size_t PlaceholderCount = 8;
constexpr std::size_t PlaceholderLength = 47;  // "QVPLACEHOLDERn___...___.BPL" without its end
constexpr std::size_t DescriptorSize = 20;

std::uint32_t Read32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// The template is ours and sound: its headers are followed without the reader's guards, but
// every access is checked.
class Template {
public:
    Template() : bytes_(reinterpret_cast<const char*>(kPackage32Template), kPackage32TemplateSize) {
        const std::size_t coff = Read32(bytes_, 0x3C) + 4;
        const std::size_t optional = coff + 20;
        sectionTable_ = optional + (Read32(bytes_, coff + 16) & 0xFFFF);
        sections_ = Read32(bytes_, coff + 2) & 0xFFFF;
        importTable_ = Offset(Read32(bytes_, optional + 96 + 8));
    }

    std::string Renamed(const std::vector<std::string>& imports) const {
        if (imports.size() > PlaceholderCount) throw std::invalid_argument("a package template has eight imports");
        std::string image = bytes_;
        for (std::size_t i = 0; i < imports.size(); ++i) {
            if (imports[i].empty() || imports[i].size() > PlaceholderLength)
                throw std::invalid_argument("import name too long for the package template: " + imports[i]);
            const std::size_t name = Offset(Read32(image, importTable_ + i * DescriptorSize + 12));
            image.replace(name, PlaceholderLength + 1, imports[i] + std::string(PlaceholderLength + 1 - imports[i].size(), '\0'));
        }
        // An empty entry ends the table.
        if (imports.size() < PlaceholderCount)
            image.replace(importTable_ + imports.size() * DescriptorSize, DescriptorSize, DescriptorSize, '\0');
        return image;
    }

private:
    std::size_t Offset(std::uint32_t address) const {
        for (std::size_t i = 0; i < sections_; ++i) {
            const std::size_t header = sectionTable_ + i * 40;
            const std::uint32_t start = Read32(bytes_, header + 12);
            if (address >= start && address - start < Read32(bytes_, header + 16))
                return Read32(bytes_, header + 20) + (address - start);
        }
        throw std::logic_error("the package template has no data at this address");
    }

    std::string bytes_;
    std::size_t sectionTable_ = 0, sections_ = 0, importTable_ = 0;
};

}  // namespace

std::string PackageImage(const std::vector<std::string>& imports) {
    static const Template packageTemplate;
    return packageTemplate.Renamed(imports);
}

std::string Package64Image() {
    return std::string(reinterpret_cast<const char*>(kPackage64Template), kPackage64TemplateSize);
}

}  // namespace fixtures
