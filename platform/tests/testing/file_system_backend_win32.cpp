#include <windows.h>
#include <shellapi.h>

#include <stdexcept>

#include "platform/tests/testing/file_system_backend.h"
#include "platform/tests/testing/scratch.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_file_system.h"

namespace testing_support {

namespace {

using platform::win32::UniqueKernelHandle;

// hold_file.exe is built beside the test programs.
std::string HoldFileProgram() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1) + "hold_file.exe";
}

// A pipe whose one end a child inherits and whose other end stays with us.
struct Pipe {
    UniqueKernelHandle read;
    UniqueKernelHandle write;
};

Pipe InheritablePipe(bool childReads) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    Pipe pipe;
    if (!::CreatePipe(pipe.read.put(), pipe.write.put(), &security, 0))
        throw std::runtime_error("cannot create a pipe for hold_file");
    const HANDLE ours = childReads ? pipe.write.get() : pipe.read.get();
    ::SetHandleInformation(ours, HANDLE_FLAG_INHERIT, 0);
    return pipe;
}

std::string ReadLine(HANDLE input) {
    std::string line;
    char c = 0;
    DWORD read = 0;
    while (::ReadFile(input, &c, 1, &read, nullptr) && read == 1 && c != '\n')
        if (c != '\r') line += c;
    return line;
}

// hold_file.exe keeps the file open until its standard input closes.
class ProcessHeldFile : public HeldFile {
public:
    explicit ProcessHeldFile(const std::string& path) {
        Pipe input = InheritablePipe(true);
        Pipe output = InheritablePipe(false);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.read.get();
        startup.hStdOutput = output.write.get();
        startup.hStdError = output.write.get();
        const std::string program = HoldFileProgram();
        std::string commandLine = "\"" + program + "\" \"" + path + "\"";
        PROCESS_INFORMATION started{};
        if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                              CREATE_NO_WINDOW, nullptr, nullptr, &startup, &started))
            throw std::runtime_error("cannot start " + program);
        process_.reset(started.hProcess);
        UniqueKernelHandle thread(started.hThread);
        stdin_ = std::move(input.write);
        // Only the child may hold its ends, or the reads below would never see the end.
        input.read.reset();
        output.write.reset();
        const std::string reply = ReadLine(output.read.get());
        if (reply != "ready") {
            Release();
            throw std::runtime_error("hold_file could not open " + path + ": " + reply);
        }
    }
    ~ProcessHeldFile() override { Release(); }

private:
    void Release() {
        stdin_.reset();
        ::WaitForSingleObject(process_.get(), 10000);
    }

    UniqueKernelHandle process_;
    UniqueKernelHandle stdin_;
};

class Win32FileSystemBackend : public FileSystemBackend {
public:
    Win32FileSystemBackend() {
        char temp[MAX_PATH + 1] = {};
        const DWORD length = ::GetTempPathA(MAX_PATH, temp);
        scratch_ = std::string(temp, length) + UniqueName("qv-fs");
        if (!::CreateDirectoryA(scratch_.c_str(), nullptr))
            throw std::runtime_error("cannot create " + scratch_);
    }
    ~Win32FileSystemBackend() override {
        // The shell's permanent delete takes read-only and hidden entries too.
        const std::string names = scratch_ + std::string(2, '\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = names.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        ::SHFileOperationA(&operation);
    }
    platform::FileSystem& Files() override { return files_; }
    const std::string& ScratchFolder() const override { return scratch_; }
    std::unique_ptr<HeldFile> HoldOpen(const std::string& path) override {
        return std::make_unique<ProcessHeldFile>(path);
    }

private:
    platform::win32::Win32FileSystem files_;
    std::string scratch_;
};

}  // namespace

std::unique_ptr<FileSystemBackend> MakeFileSystemBackend() {
    return std::make_unique<Win32FileSystemBackend>();
}

}  // namespace testing_support
