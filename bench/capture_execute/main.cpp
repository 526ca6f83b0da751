// How long CaptureExecute takes to deliver a program's output line by line, against the same
// program writing into a pipe of the same size that a reader blocked in ReadFile drains (the
// floor: under Wine every pipe write is a server round trip, so NUL is no yardstick) and writing
// to NUL. Run under Wine by run.sh beside this file.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_process_runner.h"

namespace {

using platform::win32::UniqueFileHandle;
using platform::win32::UniqueKernelHandle;
using Clock = std::chrono::steady_clock;

struct Scenario {
    const char* name;
    int lines;
    int runs;
};

// 78 visible bytes and CR LF: the 80-byte line of a chatty compiler.
std::string Script(int lines) {
    std::string text;
    while (text.size() < 78) text += "Compiling-unit-";
    text.resize(78);
    return "repeat:" + std::to_string(lines) + ":" + text + "\\r\\n";
}

std::string ChildCommand() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length == sizeof path) throw std::runtime_error("own path unknown");
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\'));
    return "\"" + folder + "\\capture_child.exe\"";
}

double Milliseconds(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

double TimeCaptured(const std::string& command, const std::string& script, int expectedLines) {
    platform::win32::Win32ProcessRunner runner;
    int lines = 0;
    const auto start = Clock::now();
    const int result = runner.CaptureExecute(
        command, script, ".", [&](const std::string&, bool&) { ++lines; }, nullptr, false);
    const double elapsed = Milliseconds(Clock::now() - start);
    if (result != 0 || lines != expectedLines)
        throw std::runtime_error("captured run gave " + std::to_string(lines) + " lines, exit " +
                                 std::to_string(result));
    return elapsed;
}

// Starts the child with both output streams on `output` and returns its process.
UniqueKernelHandle StartChild(const std::string& command, const std::string& script, HANDLE output) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::string commandLine = command + " " + script;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &started))
        throw std::runtime_error("cannot start the child (error " + std::to_string(::GetLastError()) + ")");
    UniqueKernelHandle(started.hThread).reset();
    return UniqueKernelHandle(started.hProcess);
}

double TimeToNul(const std::string& command, const std::string& script) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueFileHandle nul(::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inheritable,
                                             OPEN_EXISTING, 0, nullptr));
    if (!nul) throw std::runtime_error("cannot open NUL");
    const auto start = Clock::now();
    const UniqueKernelHandle process = StartChild(command, script, nul.get());
    ::WaitForSingleObject(process.get(), INFINITE);
    return Milliseconds(Clock::now() - start);
}

double TimeToBlockingReader(const std::string& command, const std::string& script, std::size_t expectedBytes) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle readEnd;
    UniqueKernelHandle writeEnd;
    if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, platform::win32::OutputPipeBytes))
        throw std::runtime_error("cannot create a pipe");
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
    const auto start = Clock::now();
    const UniqueKernelHandle process = StartChild(command, script, writeEnd.get());
    writeEnd.reset();  // the child holds the only write end: the pipe ends when it does
    std::vector<char> buffer(65536);
    std::size_t total = 0;
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
        total += got;
    ::WaitForSingleObject(process.get(), INFINITE);
    const double elapsed = Milliseconds(Clock::now() - start);
    if (total != expectedBytes)
        throw std::runtime_error("the blocking reader got " + std::to_string(total) + " bytes");
    return elapsed;
}

struct Figures {
    double best;
    double median;
};

Figures Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

}  // namespace

int main() {
    try {
        const std::string command = ChildCommand();
        const Scenario scenarios[] = {
            {"1 MB in 80-byte lines", 13107, 9},
            {"20 lines, then exit", 20, 15},
        };
        std::printf("%-24s %5s %7s | %21s | %21s | %21s\n", "", "", "", "captured, ms",
                    "blocking reader, ms", "output to NUL, ms");
        std::printf("%-24s %5s %7s | %10s %10s | %10s %10s | %10s %10s\n", "child", "runs", "lines", "best",
                    "median", "best", "median", "best", "median");
        double megabyteRatio = 0;
        for (const Scenario& scenario : scenarios) {
            const std::string script = Script(scenario.lines);
            const std::size_t bytes = static_cast<std::size_t>(scenario.lines) * 80;
            // The three take turns, so that a burst of load on the machine falls on each alike.
            std::vector<double> capturedTimes;
            std::vector<double> floorTimes;
            std::vector<double> nulTimes;
            for (int round = 0; round < scenario.runs; ++round) {
                capturedTimes.push_back(TimeCaptured(command, script, scenario.lines));
                floorTimes.push_back(TimeToBlockingReader(command, script, bytes));
                nulTimes.push_back(TimeToNul(command, script));
            }
            const Figures captured = Summarise(capturedTimes);
            const Figures floor = Summarise(floorTimes);
            const Figures toNul = Summarise(nulTimes);
            std::printf("%-24s %5d %7d | %10.1f %10.1f | %10.1f %10.1f | %10.1f %10.1f\n", scenario.name,
                        scenario.runs, scenario.lines, captured.best, captured.median, floor.best, floor.median,
                        toNul.best, toNul.median);
            if (megabyteRatio == 0) megabyteRatio = captured.median / floor.median;
        }
        std::printf("ratio captured/pipe floor for 1 MB: %.2f\n", megabyteRatio);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_capture_execute: %s\n", error.what());
        return 1;
    }
}
