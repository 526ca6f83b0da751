#pragma once
// What the fuzz targets share: a property check that counts as a crash, and the cutting of an
// input into the text fields a target reads.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// A broken property stops the run like a crash, so libFuzzer saves the input that broke it.
#define FUZZ_CHECK(condition) ::fuzz::Check((condition), #condition, __FILE__, __LINE__)

namespace fuzz {

inline void Check(bool holds, const char* condition, const char* file, int line) {
    if (holds) return;
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, condition);
    std::abort();
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every separator: n separators give n + 1 fields.
inline std::vector<std::string> Fields(std::string_view input, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = input.find(separator, start);
        fields.emplace_back(input.substr(start, end - start));
        if (end == std::string_view::npos) return fields;
        start = end + 1;
    }
}

}  // namespace fuzz
