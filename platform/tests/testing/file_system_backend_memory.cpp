#include "platform/memory/memory_file_system.h"
#include "platform/tests/testing/file_system_backend.h"
#include "platform/tests/testing/scratch.h"

namespace testing_support {

namespace {

class MemoryHeldFile : public HeldFile {
public:
    explicit MemoryHeldFile(platform::memory::MemoryFileSystem::OpenFile file)
        : file_(std::move(file)) {}

private:
    platform::memory::MemoryFileSystem::OpenFile file_;
};

class MemoryFileSystemBackend : public FileSystemBackend {
public:
    MemoryFileSystemBackend() : scratch_("C:\\" + UniqueName("qv-fs")) {
        files_.CreateDirectory(scratch_);
    }
    platform::FileSystem& Files() override { return files_; }
    const std::string& ScratchFolder() const override { return scratch_; }
    std::unique_ptr<HeldFile> HoldOpen(const std::string& path) override {
        return std::make_unique<MemoryHeldFile>(files_.OpenWithoutSharing(path));
    }

private:
    platform::memory::MemoryFileSystem files_;
    std::string scratch_;
};

}  // namespace

std::unique_ptr<FileSystemBackend> MakeFileSystemBackend() {
    return std::make_unique<MemoryFileSystemBackend>();
}

}  // namespace testing_support
