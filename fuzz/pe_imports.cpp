// A package file as the load check reads it: whatever the bytes, the reader ends, and what it
// gives is a list of plain module names, each once, that can never name a path.

#include "fuzz/support/fuzz_support.h"
#include "system/pe_image.h"
#include "system/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = sys::ReadPe32Imports(fuzz::Bytes(data, size));
    if (!image) return 0;
    const auto& imports = image->imports;
    for (std::size_t i = 0; i < imports.size(); ++i) {
        const std::string& name = imports[i];
        FUZZ_CHECK(!name.empty() && name.size() <= 255);
        FUZZ_CHECK(name.find_first_of("\\/:\"<>|?*") == std::string::npos);
        for (const char c : name) FUZZ_CHECK(c >= 0x20 && c <= 0x7E);
        for (std::size_t j = 0; j < i; ++j) FUZZ_CHECK(!sys::SameText(name, imports[j]));
    }
    return 0;
}
