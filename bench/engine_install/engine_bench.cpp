// engine_bench, run in a distribution folder beside data.arc and unrar.exe: installs into every
// IDE found, building every package from source, and records each tool run; then starts the same
// runs back to back, with the same environment and output pipe, waiting for each. Both sides start
// from the same state (no product record, no installation folder) and take turns, seven times
// each, so that caches and the machine's moods fall on both alike. Prints medians and spreads.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/engine_install/profiling_platform.h"
#include "engine/compiler.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process_runner.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "system/file_utils.h"

namespace {

using Clock = std::chrono::steady_clock;
double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

const char* const MakeVariables[] = {"MYUNITOUTDIR", "MYBPLDIR", "MYDCPDIR", "LIBDIR", "HPPDIR", "BPILIBDIR"};

struct ToolRun {
    std::string commandLine;
    std::string directory;
    std::vector<std::pair<std::string, std::string>> environment;
};

// Passes every run on and remembers it with the make variables in force.
class RecordingRunner : public platform::ProcessRunner {
public:
    RecordingRunner(platform::ProcessRunner& inner, platform::SystemInfo& system) : inner_(inner), system_(system) {}

    int CaptureExecute(const std::string& command, const std::string& parameters, const std::string& directory,
                       const platform::LineCallback& onLine, const platform::IdleCallback& onIdle,
                       bool useInputPipe) override {
        ToolRun run{command + " " + parameters, directory, {}};
        for (const char* name : MakeVariables) run.environment.emplace_back(name, system_.GetEnv(name).value_or(""));
        runs.push_back(run);
        if (!profile) return inner_.CaptureExecute(command, parameters, directory, onLine, onIdle, useInputPipe);
        return profile->Time(bench::CallProfile::ToolRuns,
                             [&] { return inner_.CaptureExecute(command, parameters, directory, onLine, onIdle, useInputPipe); });
    }
    std::string StartFailure() const override { return inner_.StartFailure(); }

    std::vector<ToolRun> runs;
    bench::CallProfile* profile = nullptr;

private:
    platform::ProcessRunner& inner_;
    platform::SystemInfo& system_;
};

// Starts each run and waits for it, its output drained from a pipe as the capture does: what the
// tools cost without the engine.
double ReplayBackToBack(const std::vector<ToolRun>& runs) {
    const auto start = Clock::now();
    for (const auto& run : runs) {
        for (const auto& [name, value] : run.environment)
            SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        platform::win32::UniqueKernelHandle readEnd;
        platform::win32::UniqueKernelHandle writeEnd;
        if (!CreatePipe(readEnd.put(), writeEnd.put(), &inherit, platform::win32::OutputPipeBytes))
            throw std::runtime_error("cannot create a pipe");
        SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = startup.hStdError = writeEnd.get();
        PROCESS_INFORMATION info{};
        std::string commandLine = run.commandLine;
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            run.directory.c_str(), &startup, &info))
            throw std::runtime_error("cannot start: " + run.commandLine + " (error " + std::to_string(GetLastError()) + ")");
        const platform::win32::UniqueKernelHandle process(info.hProcess);
        const platform::win32::UniqueKernelHandle thread(info.hThread);
        writeEnd.reset();
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) {
        }
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        // A tool that fails here did less work than in the installation: the sides would differ.
        if (code != 0) throw std::runtime_error("exit code " + std::to_string(code) + " from: " + run.commandLine);
    }
    return Milliseconds(Clock::now() - start);
}

struct Spread {
    double median;
    double low;
    double high;
};

Spread Summarise(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

// Every run of both sides starts from here: no product record and no installation folder.
void ResetProduct(platform::Registry& registry, platform::FileSystem& files, const std::string& installDir) {
    registry.DeleteKey(platform::Hive::LocalMachine, engine::ProductRegistryKey);
    if (!installDir.empty()) sys::DeleteTree(files, installDir);
}

constexpr int Rounds = 7;

struct Installed {
    double milliseconds;
    std::string installDir;
    int ideCount;
};

// One installation into every IDE found, building every package.
Installed InstallEverything(platform::Platform& machine, platform::FileSystem& files) {
    cmdline::TCmdOptions options(files);
    engine::TInstallData data(machine, options);
    for (int i = 0; i < data.TargetOptions->Count(); ++i) {
        (*data.TargetOptions)[i].Action = engine::taInstall;
        (*data.TargetOptions)[i].CompilePackages = true;
    }
    engine::TCompiler compiler(data);
    const auto start = Clock::now();
    const bool ok = compiler.Install();
    const double milliseconds = Milliseconds(Clock::now() - start);
    compiler.SaveLog();
    if (!ok) throw std::runtime_error("the installation failed; see install.log");
    return {milliseconds, data.InstallDir(), data.TargetOptions->Count()};
}

}  // namespace

int main() {
    platform::win32::Win32Registry registry;
    platform::win32::Win32FileSystem files;
    platform::win32::Win32ProcessRunner processes;
    platform::win32::Win32SystemInfo system;
    RecordingRunner recorder(processes, system);
    platform::Platform machine{registry, files, recorder, system};
    try {
        std::vector<double> installs;
        std::vector<double> replays;
        std::string installDir;
        int ideCount = 0;
        std::size_t toolRuns = 0;
        for (int round = 0; round < Rounds; ++round) {
            ResetProduct(registry, files, installDir);
            recorder.runs.clear();
            const Installed installed = InstallEverything(machine, files);
            installs.push_back(installed.milliseconds);
            installDir = installed.installDir;
            ideCount = installed.ideCount;
            toolRuns = recorder.runs.size();

            ResetProduct(registry, files, installDir);
            replays.push_back(ReplayBackToBack(recorder.runs));
        }
        const Spread install = Summarise(installs);
        const Spread tools = Summarise(replays);
        const double share = 100.0 * (install.median - tools.median) / install.median;
        std::printf("%d IDEs, %zu tool runs, %d rounds of each side, taking turns\n", ideCount, toolRuns, Rounds);
        std::printf("installation:          median %8.0f ms (%.0f to %.0f)\n", install.median, install.low, install.high);
        std::printf("tools back to back:    median %8.0f ms (%.0f to %.0f)\n", tools.median, tools.low, tools.high);
        std::printf("engine's own share:    %8.1f %% (installation - tools) / installation, of the medians\n", share);

        // One more installation, every call timed, to show where the engine's time goes.
        ResetProduct(registry, files, installDir);
        bench::CallProfile profile;
        bench::ProfilingRegistry profiledRegistry(registry, profile);
        bench::ProfilingFiles profiledFiles(files, profile);
        recorder.profile = &profile;
        platform::Platform profiled{profiledRegistry, profiledFiles, recorder, system};
        const Installed timed = InstallEverything(profiled, profiledFiles);
        std::printf("one more installation, every call timed: %.0f ms\n", timed.milliseconds);
        profile.Print();
        return 0;
    } catch (const std::exception& error) {
        std::printf("error: %s\n", error.what());
        return 2;
    }
}
