// The memory backend plays the child's script on its virtual clock: each write is due when the
// script's sleeps before it have passed. A ctrlc step holds from the start of the run, wherever
// it stands; the tests give it first.

#include <chrono>
#include <map>

#include "platform/memory/memory_process_runner.h"
#include "platform/tests/testing/process_runner_backend.h"
#include "tools/capture_child/child_script.h"

namespace testing_support {
namespace {

using platform::memory::ProgramInvocation;
using platform::memory::ProgramScript;

// The few letters the tests use, as code page 437 maps them into 1252.
std::string OemToAnsi(std::string text) {
    static const std::map<char, char> letters = {
        {'\x81', '\xFC'}, {'\x82', '\xE9'}, {'\x84', '\xE4'}, {'\x94', '\xF6'}, {'\xE1', '\xDF'}};
    for (char& c : text) {
        const auto letter = letters.find(c);
        if (letter != letters.end()) c = letter->second;
    }
    return text;
}

ProgramScript PlayScript(const ProgramInvocation& invocation) {
    using capture_child::Step;
    ProgramScript script;
    std::chrono::milliseconds now{0};
    for (const Step& step : capture_child::ParseScript(invocation.parameters)) {
        switch (step.kind) {
            case Step::Kind::WriteOut:
            case Step::Kind::WriteErr: {
                std::string bytes;
                for (int i = 0; i < step.count; ++i) bytes += step.bytes;
                script.output.push_back({now, std::move(bytes)});
                break;
            }
            case Step::Kind::WriteDirectory:
                script.output.push_back({now, invocation.directory + "\r\n"});
                break;
            case Step::Kind::Sleep: now += std::chrono::milliseconds(step.value); break;
            case Step::Kind::ExitOnCtrlC:
                script.onCtrlC = ProgramScript::CtrlCReaction{{}, step.value};
                break;
            case Step::Kind::Exit:
                script.endsAt = now;
                script.exitCode = step.value;
                return script;
        }
    }
    script.endsAt = now;
    return script;
}

class MemoryProcessRunnerBackend : public ProcessRunnerBackend {
public:
    MemoryProcessRunnerBackend() : runner_(OemToAnsi) {
        runner_.Register("capture_child.exe", PlayScript);
    }

    platform::ProcessRunner& Runner() override { return runner_; }
    std::string ChildCommand() const override { return "\"C:\\Test Tools\\Capture_Child.exe\""; }
    std::string ExistingDirectory() const override { return "C:\\Work"; }
    std::size_t ChildrenLeftRunning() override { return runner_.ChildrenLeftRunning(); }

private:
    platform::memory::MemoryProcessRunner runner_;
};

}  // namespace

std::unique_ptr<ProcessRunnerBackend> MakeProcessRunnerBackend() {
    return std::make_unique<MemoryProcessRunnerBackend>();
}

}  // namespace testing_support
