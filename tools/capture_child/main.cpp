// A console program that carries out the script on its command line (see child_script.h), so
// that tests can prove how captured output, exit codes and Ctrl+C on standard input behave.

#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/capture_child/child_script.h"

namespace {

// The command line without the program's own name.
std::string_view ScriptOf(std::string_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const std::size_t close = commandLine.find('"', 1);
        at = close == std::string_view::npos ? commandLine.size() : close + 1;
    } else {
        at = std::min(commandLine.find_first_of(" \t"), commandLine.size());
    }
    return commandLine.substr(at);
}

void WriteAll(DWORD stream, const std::string& bytes) {
    const HANDLE handle = ::GetStdHandle(stream);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!::WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                         &written, nullptr))
            return;
        done += written;
    }
}

std::string WorkingDirectory() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    return std::string(buffer, length <= MAX_PATH ? length : 0);
}

// Reads standard input in the background and ends the process on the first Ctrl+C byte.
void ExitOnCtrlC(int exitCode) {
    std::thread([exitCode] {
        const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
        char buffer[64];
        DWORD got = 0;
        while (::ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            if (std::string_view(buffer, got).find('\x03') != std::string_view::npos)
                ::ExitProcess(static_cast<UINT>(exitCode));
        }
    }).detach();
}

}  // namespace

int main() {
    using capture_child::Step;
    std::vector<Step> steps;
    try {
        steps = capture_child::ParseScript(ScriptOf(::GetCommandLineA()));
    } catch (const std::exception& error) {
        WriteAll(STD_ERROR_HANDLE, std::string(error.what()) + "\r\n");
        return 2;
    }
    for (const Step& step : steps) {
        switch (step.kind) {
            case Step::Kind::WriteOut:
            case Step::Kind::WriteErr:
                for (int i = 0; i < step.count; ++i)
                    WriteAll(step.kind == Step::Kind::WriteOut ? STD_OUTPUT_HANDLE
                                                               : STD_ERROR_HANDLE,
                             step.bytes);
                break;
            case Step::Kind::Sleep: ::Sleep(static_cast<DWORD>(step.value)); break;
            case Step::Kind::ExitOnCtrlC: ExitOnCtrlC(step.value); break;
            case Step::Kind::Exit: return step.value;
            case Step::Kind::WriteDirectory:
                WriteAll(STD_OUTPUT_HANDLE, WorkingDirectory() + "\r\n");
                break;
        }
    }
    return 0;
}
