// engine_bench, run in a distribution folder beside data.arc and unrar.exe: installs into every
// IDE found, building every package from source, and records each tool run. Then it starts the
// same runs back to back, with the same environment, waiting for each, and prints both times.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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
        return inner_.CaptureExecute(command, parameters, directory, onLine, onIdle, useInputPipe);
    }

    std::vector<ToolRun> runs;

private:
    platform::ProcessRunner& inner_;
    platform::SystemInfo& system_;
};

// Starts each run and waits for it, output to NUL: what the tools cost without the engine.
double ReplayBackToBack(const std::vector<ToolRun>& runs) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const platform::win32::UniqueFileHandle nul(
        CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr));
    const auto start = Clock::now();
    for (const auto& run : runs) {
        for (const auto& [name, value] : run.environment) SetEnvironmentVariableA(name.c_str(), value.c_str());
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = nul.get();
        PROCESS_INFORMATION info{};
        std::string commandLine = run.commandLine;
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                            run.directory.c_str(), &startup, &info)) {
            std::printf("cannot start: %s\n", run.commandLine.c_str());
            continue;
        }
        const platform::win32::UniqueKernelHandle process(info.hProcess);
        const platform::win32::UniqueKernelHandle thread(info.hThread);
        WaitForSingleObject(process.get(), INFINITE);
    }
    return Milliseconds(Clock::now() - start);
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
        cmdline::TCmdOptions options(files);
        engine::TInstallData data(machine, options);
        for (int i = 0; i < data.TargetOptions->Count(); ++i) {
            (*data.TargetOptions)[i].Action = engine::taInstall;
            (*data.TargetOptions)[i].CompilePackages = true;
        }
        engine::TCompiler compiler(data);
        const auto start = Clock::now();
        const bool ok = compiler.Install();
        const double engineMs = Milliseconds(Clock::now() - start);
        compiler.SaveLog();
        // The replay extracts into an empty folder too, as the run did after recycling.
        sys::DeleteTree(files, data.InstallDir);
        const double toolsMs = ReplayBackToBack(recorder.runs);
        std::printf("%d IDEs, %zu tool runs, install %s\n", data.TargetOptions->Count(), recorder.runs.size(),
                    ok ? "succeeded" : "FAILED");
        std::printf("engine run:            %8.0f ms\n", engineMs);
        std::printf("tools back to back:    %8.0f ms\n", toolsMs);
        std::printf("engine's own share:    %8.1f %%\n", 100.0 * (engineMs - toolsMs) / engineMs);
        return ok ? 0 : 1;
    } catch (const std::exception& error) {
        std::printf("error: %s\n", error.what());
        return 2;
    }
}
