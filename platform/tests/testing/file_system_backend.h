#pragma once
// What the file-system contract tests run against: the memory file system natively, the
// machine's file system under Wine. Each backend gives a fresh scratch folder that goes away
// with it, and can hold a file open the way another program does.

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace testing_support {

// While it lives, another process holds the file open and shares nothing.
class HeldFile {
public:
    virtual ~HeldFile() = default;
};

class FileSystemBackend {
public:
    virtual ~FileSystemBackend() = default;
    virtual platform::FileSystem& Files() = 0;
    // Absolute, with backslashes, without a trailing one; empty at first.
    virtual const std::string& ScratchFolder() const = 0;
    // Raises std::runtime_error when the file cannot be held.
    virtual std::unique_ptr<HeldFile> HoldOpen(const std::string& path) = 0;
};

std::unique_ptr<FileSystemBackend> MakeFileSystemBackend();

}  // namespace testing_support
