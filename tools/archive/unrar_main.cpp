// unrar.exe: the distribution's extractor. Accepts only the installer's command line (see
// extract_command.h), checks the whole of data.arc in the working directory before it writes
// anything, then extracts every file below the destination, overwriting, one line per file.
// Exit code 0 only when every file was written.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "tools/archive/archive.h"
#include "tools/archive/extract_command.h"

namespace {

enum ExitCode { kOk = 0, kBadCommandLine = 1, kBadArchive = 2, kWriteFailed = 3 };

// Creates every missing folder on the way to the file, the destination's own included: a first
// installation extracts into a folder whose parents may not exist yet. Drive and share parts
// just fail to be created.
void MakeFoldersAbove(const std::string& path) {
    for (std::size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        ::CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // -o+ overwrites read-only files too
    platform::win32::UniqueFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::size_t done = 0;
    while (done < data.size()) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        if (!::WriteFile(file.get(), data.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace

int main() {
    const auto destination = archive::ExtractDestination(::GetCommandLineA());
    if (!destination) {
        std::fprintf(stderr, "unrar: unsupported command line: %s\n"
                             "usage: unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"<folder>\\\"\n",
                     ::GetCommandLineA());
        return kBadCommandLine;
    }

    std::ifstream in(std::string(archive::kArchiveName), std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "unrar: cannot open %s\n", archive::kArchiveName.data());
        return kBadArchive;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<archive::Entry> entries;
    try {
        entries = archive::Unpack(bytes);
    } catch (const archive::ArchiveError& error) {
        std::fprintf(stderr, "unrar: %s: %s\n", archive::kArchiveName.data(), error.what());
        return kBadArchive;
    }

    std::printf("Extracting from %s into %s\n", archive::kArchiveName.data(), destination->c_str());
    for (const archive::Entry& entry : entries) {
        const std::string path = *destination + entry.path;
        MakeFoldersAbove(path);
        if (!WriteWholeFile(path, entry.data)) {
            std::fprintf(stderr, "unrar: cannot write %s%s (error %lu)\n", destination->c_str(),
                         entry.path.c_str(), ::GetLastError());
            return kWriteFailed;
        }
        std::printf("  %-60s %10zu  OK\n", entry.path.c_str(), entry.data.size());
    }
    std::printf("%zu files extracted\n", entries.size());
    return kOk;
}
