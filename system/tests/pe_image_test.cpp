#include "system/pe_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/memory/memory_file_system.h"

namespace {

using ::testing::ElementsAre;
using ::testing::Optional;

constexpr std::uint32_t SectionAddress = 0x1000;
constexpr std::uint32_t SectionOffset = 0x200;
constexpr std::uint32_t ImageBase = 0x400000;

void Put(std::string& bytes, std::size_t at, std::uint32_t value, std::size_t size) {
    if (bytes.size() < at + size) bytes.resize(at + size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A small image the way a linker lays one out: headers, then one section with the tables.
struct ImageBuilder {
    std::uint16_t machine = 0x014C, magic = 0x010B, sectionCount = 1;
    std::string section;
    std::uint32_t imports = 0, delayImports = 0;

    std::uint32_t Add(const std::string& data) {
        const auto address = SectionAddress + static_cast<std::uint32_t>(section.size());
        section += data;
        return address;
    }
    std::uint32_t AddName(const std::string& name) { return Add(name + std::string(1, '\0')); }
    // A load-time import table, ended by an empty entry.
    void Imports(const std::vector<std::string>& names) {
        std::vector<std::uint32_t> addresses;
        for (const auto& name : names) addresses.push_back(AddName(name));
        std::string table;
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            Put(table, i * 20 + 12, addresses[i], 4);
            Put(table, i * 20 + 16, 0x1F00, 4);  // the thunks: never read
        }
        Put(table, addresses.size() * 20 + 19, 0, 1);
        imports = Add(table);
    }
    // A delay-load table; OLD_FORM entries hold addresses instead of offsets.
    void DelayImports(const std::vector<std::pair<std::string, bool>>& names) {
        std::string table;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::uint32_t address = AddName(names[i].first);
            const bool oldForm = names[i].second;
            Put(table, i * 32, oldForm ? 0 : 1, 4);
            Put(table, i * 32 + 4, oldForm ? address + ImageBase : address, 4);
        }
        Put(table, names.size() * 32 + 31, 0, 1);
        delayImports = Add(table);
    }

    std::string Build() const {
        std::string bytes = "MZ";
        Put(bytes, 0x3C, 0x40, 4);
        bytes.resize(0x40);
        bytes += std::string("PE\0\0", 4);
        Put(bytes, 0x44, machine, 2);
        Put(bytes, 0x46, sectionCount, 2);
        Put(bytes, 0x54, 224, 2);
        const std::size_t optional = 0x58;
        Put(bytes, optional, magic, 2);
        Put(bytes, optional + 28, ImageBase, 4);
        Put(bytes, optional + 60, SectionOffset, 4);
        Put(bytes, optional + 92, 16, 4);
        Put(bytes, optional + 96 + 8, imports, 4);
        Put(bytes, optional + 96 + 13 * 8, delayImports, 4);
        const std::size_t header = optional + 224;
        Put(bytes, header + 8, static_cast<std::uint32_t>(section.size()), 4);
        Put(bytes, header + 12, SectionAddress, 4);
        Put(bytes, header + 16, static_cast<std::uint32_t>(section.size()), 4);
        Put(bytes, header + 20, SectionOffset, 4);
        bytes.resize(SectionOffset, '\0');
        return bytes + section;
    }
};

ImageBuilder TypicalPackage() {
    ImageBuilder image;
    image.Imports({"rtl70.bpl", "vcl70.bpl", "RTL70.BPL"});
    image.DelayImports({{"designide70.bpl", false}, {"ZCore.bpl", true}});
    return image;
}

TEST(Pe32Imports, LoadTimeThenDelayLoadedEachOnce) {
    const auto image = sys::ReadPe32Imports(TypicalPackage().Build());
    ASSERT_TRUE(image);
    EXPECT_THAT(image->imports, ElementsAre("rtl70.bpl", "vcl70.bpl", "designide70.bpl", "ZCore.bpl"));

    ImageBuilder none;
    EXPECT_THAT(sys::ReadPe32Imports(none.Build()), Optional(::testing::Field(&sys::Pe32Image::imports, ElementsAre())));
}

TEST(Pe32Imports, OtherKindsOfFileAreNotImages) {
    ImageBuilder x64 = TypicalPackage();
    x64.machine = 0x8664;
    x64.magic = 0x020B;
    EXPECT_FALSE(sys::ReadPe32Imports(x64.Build()));
    ImageBuilder wrongMagic = TypicalPackage();
    wrongMagic.magic = 0x020B;
    EXPECT_FALSE(sys::ReadPe32Imports(wrongMagic.Build()));
    std::string noSignature = TypicalPackage().Build();
    noSignature[0x41] = 'X';
    EXPECT_FALSE(sys::ReadPe32Imports(noSignature));
    EXPECT_FALSE(sys::ReadPe32Imports("compiled package tkQuorvexD7.bpl\r\n"));
    EXPECT_FALSE(sys::ReadPe32Imports(""));
    // The header said to start past the end of the file.
    std::string farHeader = TypicalPackage().Build();
    Put(farHeader, 0x3C, 0xFFFFFFF0, 4);
    EXPECT_FALSE(sys::ReadPe32Imports(farHeader));
}

TEST(Pe32Imports, EveryTruncationReadsAsNothingOrAsTheWhole) {
    const std::string whole = TypicalPackage().Build();
    const auto full = sys::ReadPe32Imports(whole);
    ASSERT_TRUE(full);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const auto part = sys::ReadPe32Imports(std::string_view(whole).substr(0, size));
        if (part) {
            EXPECT_EQ(part->imports, full->imports) << size;
        }
    }
    // The delay-load table at the end loses its last byte: nothing.
    EXPECT_FALSE(sys::ReadPe32Imports(std::string_view(whole).substr(0, whole.size() - 1)));
}

TEST(Pe32Imports, DamagedTablesAreRefused) {
    ImageBuilder pathName;
    pathName.Imports({"..\\..\\evil.dll"});
    EXPECT_FALSE(sys::ReadPe32Imports(pathName.Build()));

    ImageBuilder longName;
    longName.Imports({std::string(256, 'a')});
    EXPECT_FALSE(sys::ReadPe32Imports(longName.Build()));

    ImageBuilder outside = TypicalPackage();
    outside.imports = 0x90000;
    EXPECT_FALSE(sys::ReadPe32Imports(outside.Build()));

    ImageBuilder tooManySections = TypicalPackage();
    tooManySections.sectionCount = 97;
    EXPECT_FALSE(sys::ReadPe32Imports(tooManySections.Build()));

    // A table that never ends: every entry names the same module.
    ImageBuilder endless;
    const std::uint32_t name = endless.AddName("rtl70.bpl");
    std::string entry;
    Put(entry, 12, name, 4);
    Put(entry, 16, 0x1F00, 4);
    std::string table;
    for (int i = 0; i < 5000; ++i) table += entry;
    endless.imports = endless.Add(table);
    EXPECT_FALSE(sys::ReadPe32Imports(endless.Build()));

    // An old-form delay entry whose address lies below the image base.
    ImageBuilder belowBase;
    belowBase.DelayImports({{"ZCore.bpl", false}});
    std::string bytes = belowBase.Build();
    Put(bytes, SectionOffset + belowBase.delayImports - SectionAddress, 0, 4);
    EXPECT_FALSE(sys::ReadPe32Imports(bytes));
}

TEST(Pe32Imports, ReadThroughTheFileSystem) {
    platform::memory::MemoryFileSystem files;
    files.CreateDirectory("C:\\Bpl");
    files.WriteFile("C:\\Bpl\\tkQuorvexD7.bpl", TypicalPackage().Build());
    const auto image = sys::ReadPe32Imports(files, "C:\\Bpl\\tkQuorvexD7.bpl");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->imports.size(), 4u);
    EXPECT_FALSE(sys::ReadPe32Imports(files, "C:\\Bpl\\missing.bpl"));
}

}  // namespace
