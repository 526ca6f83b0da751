#include "platform/memory/memory_process_runner.h"

#include <algorithm>
#include <utility>

#include "platform/capture_loop.h"
#include "platform/memory/memory_path.h"

namespace platform::memory {
namespace {

using std::chrono::milliseconds;

std::string ProgramFileName(const std::string& command) {
    std::string path;
    std::copy_if(command.begin(), command.end(), std::back_inserter(path),
                 [](char c) { return c != '"'; });
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A started program on a virtual clock: waiting advances the clock, and output becomes
// readable once the clock has reached the time it was written.
class ScriptedChild : public StartedChild {
public:
    ScriptedChild(ProgramScript script, bool hasInputPipe,
                  const OutputLineCutter::Converter& oemToAnsi, std::size_t& childrenLeftRunning)
        : script_(std::move(script)),
          hasInputPipe_(hasInputPipe),
          oemToAnsi_(oemToAnsi),
          childrenLeftRunning_(childrenLeftRunning),
          end_(script_.endsAt),
          exitCode_(script_.exitCode) {}

    ~ScriptedChild() override {
        if (!Ended()) ++childrenLeftRunning_;
    }

    ScriptedChild(const ScriptedChild&) = delete;
    ScriptedChild& operator=(const ScriptedChild&) = delete;

    bool WaitForExit(int timeout) override {
        const milliseconds deadline = now_ + milliseconds(timeout);
        if (end_ <= deadline) {
            now_ = std::max(now_, end_);
            return true;
        }
        now_ = deadline;
        return false;
    }

    std::size_t BytesAvailable() override {
        std::size_t available = 0;
        for (std::size_t i = nextOutput_; i < script_.output.size() && Written(i); ++i)
            available += script_.output[i].bytes.size();
        return available - offset_;
    }

    std::size_t Read(char* buffer, std::size_t size) override {
        std::size_t got = 0;
        while (got < size && nextOutput_ < script_.output.size() && Written(nextOutput_)) {
            const std::string& bytes = script_.output[nextOutput_].bytes;
            const std::size_t take = std::min(size - got, bytes.size() - offset_);
            std::copy_n(bytes.data() + offset_, take, buffer + got);
            got += take;
            offset_ += take;
            if (offset_ == bytes.size()) {
                ++nextOutput_;
                offset_ = 0;
            }
        }
        return got;
    }

    bool HasInputPipe() const override { return hasInputPipe_; }

    void WriteInput(const std::string& bytes) override {
        if (!script_.onCtrlC || Ended() || bytes.find('\x03') == std::string::npos) return;
        const milliseconds reactionEnd = now_ + script_.onCtrlC->after;
        if (reactionEnd < end_) {
            end_ = reactionEnd;
            exitCode_ = script_.onCtrlC->exitCode;
        }
    }

    void Terminate(int exitCode) override {
        if (Ended()) return;
        end_ = now_;
        exitCode_ = exitCode;
    }

    int ExitCode() override { return exitCode_; }

    std::string OemToAnsi(std::string text) override {
        return oemToAnsi_ ? oemToAnsi_(std::move(text)) : text;
    }

private:
    bool Ended() const { return end_ <= now_; }
    bool Written(std::size_t output) const {
        const milliseconds at = script_.output[output].at;
        return at <= now_ && at <= end_;
    }

    ProgramScript script_;
    bool hasInputPipe_;
    const OutputLineCutter::Converter& oemToAnsi_;
    std::size_t& childrenLeftRunning_;
    milliseconds now_{0};
    milliseconds end_;
    int exitCode_;
    std::size_t nextOutput_ = 0;  // first output not read completely
    std::size_t offset_ = 0;      // bytes of it already read
};

}  // namespace

MemoryProcessRunner::MemoryProcessRunner(OutputLineCutter::Converter oemToAnsi)
    : oemToAnsi_(std::move(oemToAnsi)) {}

void MemoryProcessRunner::Register(std::string fileName, ProgramHandler handler) {
    for (Program& program : programs_) {
        if (FoldCase(program.fileName) == FoldCase(fileName)) {
            program.handler = std::move(handler);
            return;
        }
    }
    programs_.push_back({std::move(fileName), std::move(handler)});
}

void MemoryProcessRunner::Unregister(const std::string& fileName) {
    std::erase_if(programs_, [&](const Program& program) { return FoldCase(program.fileName) == FoldCase(fileName); });
}

const MemoryProcessRunner::Program* MemoryProcessRunner::Find(const std::string& command) const {
    const std::string fileName = ProgramFileName(command);
    for (const Program& program : programs_)
        if (FoldCase(program.fileName) == FoldCase(fileName)) return &program;
    return nullptr;
}

int MemoryProcessRunner::CaptureExecute(const std::string& command, const std::string& parameters,
                                        const std::string& directory, const LineCallback& onLine,
                                        const IdleCallback& onIdle, bool useInputPipe) {
    if (!onLine) {
        startFailure_ = NoLineCallback;
        return capture_result::NotRun;
    }
    const ProgramInvocation invocation{command, parameters, directory, useInputPipe};
    invocations_.push_back(invocation);
    const Program* program = Find(command);
    if (program == nullptr) {
        startFailure_ = "The system cannot find the file specified.";
        return capture_result::NotStarted;
    }
    startFailure_.clear();

    const ProgramHandler handler = program->handler;  // it may register programs itself
    ScriptedChild child(handler(invocation), useInputPipe, oemToAnsi_, childrenLeftRunning_);
    return RunCaptureLoop(child, onLine, onIdle);
}

}  // namespace platform::memory
