#include "tools/stub_tools/testing/fixture_process.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/win32/unique_handle.h"

namespace fixtures {
namespace {

using platform::win32::UniqueFileHandle;
using platform::win32::UniqueKernelHandle;

std::optional<std::string> GetVariable(const std::string& name) {
    const DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::string value(size, '\0');
    value.resize(::GetEnvironmentVariableA(name.c_str(), value.data(), size));
    return value;
}

}  // namespace

RunResult RunExact(const std::string& commandLine, const std::string& directory, const std::string& application,
                   unsigned timeoutMs) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueKernelHandle readEnd;
    UniqueKernelHandle writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    UniqueFileHandle nul(::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                       OPEN_EXISTING, 0, nullptr));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nul.get();
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION info{};
    std::string mutableLine = commandLine;
    if (!::CreateProcessA(application.empty() ? nullptr : application.c_str(), mutableLine.data(), nullptr, nullptr,
                          TRUE, CREATE_NO_WINDOW, nullptr, directory.c_str(), &startup, &info))
        throw std::runtime_error("cannot start: " + commandLine + " (error " + std::to_string(::GetLastError()) +
                                 ")");
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    writeEnd.reset();  // the child holds the only write end now: the pipe ends when it does

    RunResult result;
    std::thread reader([&] {
        char buffer[65536];
        DWORD got = 0;
        while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
            result.output.append(buffer, got);
    });
    if (::WaitForSingleObject(process.get(), timeoutMs) == WAIT_TIMEOUT) {
        result.timedOut = true;
        ::TerminateProcess(process.get(), 99);
        ::WaitForSingleObject(process.get(), INFINITE);
    }
    reader.join();
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    result.exitCode = static_cast<int>(exitCode);
    return result;
}

std::string ProgramFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    const std::string path(buffer, length);
    return path.substr(0, path.find_last_of('\\'));
}

ScratchFolder::ScratchFolder(std::string_view label) {
    static std::atomic<int> counter{0};
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + std::string(label) + " " + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, std::string_view data) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(data.data(), static_cast<std::streamsize>(data.size())))
        throw std::runtime_error("cannot write " + path);
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void CopyProgram(const std::string& name, const std::string& toFolder) {
    std::filesystem::create_directories(toFolder);
    if (!::CopyFileA((ProgramFolder() + "\\" + name).c_str(), (toFolder + "\\" + name).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + name + " to " + toFolder);
}

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : name_(std::move(name)), old_(GetVariable(name_)) {
    ::SetEnvironmentVariableA(name_.c_str(), value.c_str());
}

ScopedEnvironment::~ScopedEnvironment() {
    ::SetEnvironmentVariableA(name_.c_str(), old_ ? old_->c_str() : nullptr);
}

}  // namespace fixtures
