#pragma once
// A scripted stand-in for CaptureExecute: tests register programs by file name, and a started
// program plays a script of timed output on a virtual clock (nothing really sleeps) through
// the same capture loop as the Windows backend.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/line_cutter.h"
#include "platform/processes.h"

namespace platform::memory {

struct ProgramInvocation {
    std::string command;
    std::string parameters;
    std::string directory;
    bool useInputPipe = false;
};

// What a program does, timed from its start.
struct ProgramScript {
    struct Output {
        std::chrono::milliseconds at{0};
        std::string bytes;  // as the pipe delivers them: standard output and error merged
    };
    struct CtrlCReaction {
        std::chrono::milliseconds after{0};
        int exitCode = 0;
    };

    std::vector<Output> output;  // in the order of `at`; what is due after the end never comes
    std::chrono::milliseconds endsAt{0};
    int exitCode = 0;
    // Ctrl+C on the input pipe ends the program this long after it arrives; none: ignored.
    std::optional<CtrlCReaction> onCtrlC;
};

// Runs when the program starts; may have side effects (files a tool would create, ...).
using ProgramHandler = std::function<ProgramScript(const ProgramInvocation&)>;

class MemoryProcessRunner : public ProcessRunner {
public:
    // `oemToAnsi` stands for the code page conversion; none means the identity.
    explicit MemoryProcessRunner(OutputLineCutter::Converter oemToAnsi = {});

    // `fileName` is matched without regard to case against the file name of the command,
    // quotes removed; an unregistered program cannot be started.
    void Register(std::string fileName, ProgramHandler handler);
    // The program is no longer there to be started.
    void Unregister(const std::string& fileName);

    // Every run that tried to start a program, found or not.
    const std::vector<ProgramInvocation>& Invocations() const { return invocations_; }
    // Programs that a run gave up on while they still ran.
    std::size_t ChildrenLeftRunning() const { return childrenLeftRunning_; }

    int CaptureExecute(const std::string& command, const std::string& parameters,
                       const std::string& directory, const LineCallback& onLine,
                       const IdleCallback& onIdle, bool useInputPipe) override;
    std::string StartFailure() const override { return startFailure_; }

private:
    struct Program {
        std::string fileName;
        ProgramHandler handler;
    };

    const Program* Find(const std::string& command) const;

    OutputLineCutter::Converter oemToAnsi_;
    std::vector<Program> programs_;
    std::vector<ProgramInvocation> invocations_;
    std::size_t childrenLeftRunning_ = 0;
    std::string startFailure_;
};

}  // namespace platform::memory
