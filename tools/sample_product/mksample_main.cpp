// mksample FOLDER [--with-sources]: writes the sample product's tree into FOLDER (see
// sample_product.h), the sources only on request.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/sample_product/sample_product.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const bool withSources = argc == 3 && std::strcmp(argv[2], "--with-sources") == 0;
    if (argc != 2 && !withSources) {
        std::fprintf(stderr, "usage: mksample FOLDER [--with-sources]\n");
        return 1;
    }
    const fs::path root = argv[1];
    const auto tree = sample::SampleProduct(withSources);
    for (const archive::Entry& entry : tree) {
        std::string relative = entry.path;
        for (char& c : relative)
            if (c == '\\') c = '/';
        const fs::path path = root / relative;
        std::error_code error;
        fs::create_directories(path.parent_path(), error);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out.write(entry.data.data(), static_cast<std::streamsize>(entry.data.size())) || !out.flush()) {
            std::fprintf(stderr, "mksample: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("%s: %zu files of the sample product\n", argv[1], tree.size());
    return 0;
}
