// mkarc OUTPUT FOLDER: packs every file below FOLDER into the archive OUTPUT (see archive.h),
// in the order of their relative paths, so that the same tree always gives the same bytes.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "tools/archive/archive.h"

namespace fs = std::filesystem;

namespace {

std::string ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw archive::ArchiveError("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<archive::Entry> CollectFiles(const fs::path& root) {
    std::vector<archive::Entry> entries;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_regular_file()) continue;
        std::string relative = fs::relative(item.path(), root).generic_string();
        std::replace(relative.begin(), relative.end(), '/', '\\');
        entries.push_back({relative, ReadWholeFile(item.path())});
    }
    std::sort(entries.begin(), entries.end(),
              [](const archive::Entry& a, const archive::Entry& b) { return a.path < b.path; });
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkarc OUTPUT FOLDER\n");
        return 1;
    }
    try {
        if (!fs::is_directory(argv[2])) throw archive::ArchiveError(std::string("no folder ") + argv[2]);
        const auto entries = CollectFiles(argv[2]);
        const std::string bytes = archive::Pack(entries);
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush())
            throw archive::ArchiveError(std::string("cannot write ") + argv[1]);
        std::printf("%s: %zu files, %zu bytes\n", argv[1], entries.size(), bytes.size());
        return 0;
    } catch (const std::exception& error) {  // ArchiveError, and filesystem_error from the walk
        std::fprintf(stderr, "mkarc: %s\n", error.what());
        return 1;
    }
}
