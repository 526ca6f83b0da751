// What only the scripted runner can show exactly: its program table, and the capture loop's
// timing on a virtual clock.

#include "platform/memory/memory_process_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::capture_result::NotRun;
using platform::capture_result::NotStarted;
using platform::capture_result::Terminated;
using platform::memory::MemoryProcessRunner;
using platform::memory::ProgramInvocation;
using platform::memory::ProgramScript;
using std::chrono::milliseconds;
using Lines = std::vector<std::string>;

ProgramScript Script(std::vector<ProgramScript::Output> output, int endsAt, int exitCode = 0) {
    ProgramScript script;
    script.output = std::move(output);
    script.endsAt = milliseconds(endsAt);
    script.exitCode = exitCode;
    return script;
}

struct Capture {
    int result = 0;
    Lines lines;
    int idleCalls = 0;
};

Capture RunTool(MemoryProcessRunner& runner, const std::string& command,
            const std::string& abortOn = {}, bool useInputPipe = false) {
    Capture capture;
    capture.result = runner.CaptureExecute(
        command, "", "C:\\Work",
        [&](const std::string& line, bool& abort) {
            capture.lines.push_back(line);
            if (line == abortOn) abort = true;
        },
        [&] { ++capture.idleCalls; }, useInputPipe);
    return capture;
}

TEST(MemoryProcessRunner, FindsProgramsByFileNameIgnoringCaseAndQuotes) {
    MemoryProcessRunner runner;
    std::vector<ProgramInvocation> seen;
    runner.Register("dcc32.exe", [&](const ProgramInvocation& invocation) {
        seen.push_back(invocation);  // a handler may do anything a tool would
        return Script({{milliseconds(0), "compiled\r\n"}}, 0, 4);
    });

    const std::string command = "\"C:\\Program Files\\Borland\\Delphi7\\Bin\\DCC32.EXE\"";
    const int result = runner.CaptureExecute(
        command, " -B pkg.dpk", "C:\\Pkg", [](const std::string&, bool&) {}, nullptr, true);
    EXPECT_EQ(result, 4);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].command, command);
    EXPECT_EQ(seen[0].parameters, " -B pkg.dpk");
    EXPECT_EQ(seen[0].directory, "C:\\Pkg");
    EXPECT_TRUE(seen[0].useInputPipe);

    EXPECT_EQ(RunTool(runner, "C:\\Bin\\make.exe").result, NotStarted);
    EXPECT_EQ(RunTool(runner, "dcc32").result, NotStarted);  // the file name, not a prefix of it
    ASSERT_EQ(runner.Invocations().size(), 3u);
    EXPECT_EQ(runner.Invocations()[1].command, "C:\\Bin\\make.exe");
}

TEST(MemoryProcessRunner, WithoutLineCallbackNothingIsStartedOrRecorded) {
    MemoryProcessRunner runner;
    bool started = false;
    runner.Register("tool.exe", [&](const ProgramInvocation&) {
        started = true;
        return ProgramScript{};
    });
    EXPECT_EQ(runner.CaptureExecute("tool.exe", "", "", nullptr, nullptr, false), NotRun);
    EXPECT_FALSE(started);
    EXPECT_TRUE(runner.Invocations().empty());
}

TEST(MemoryProcessRunner, PollsEveryThirtyVirtualMilliseconds) {
    MemoryProcessRunner runner;
    runner.Register("tool.exe", [](const ProgramInvocation&) { return Script({}, 300); });
    // Polls at 30, 60, ... 270 find it running; the wait that ends at 300 sees it end.
    EXPECT_EQ(RunTool(runner, "tool.exe").idleCalls, 9);
}

TEST(MemoryProcessRunner, AbortDeliversOneMoreLineIfOutputArrivedBeforeTheNextPoll) {
    MemoryProcessRunner runner;
    runner.Register("tool.exe", [](const ProgramInvocation&) {
        return Script({{milliseconds(0), "first\r\n"},
                       {milliseconds(40), "second\r\nthird\r\n"},
                       {milliseconds(70), "never\r\n"}},
                      10000);
    });
    // The poll at 30 delivers "first" and sets the flag; the loop leaves at 60, when the
    // output of 40 is waiting: it gives one line, and what is left goes out unconverted.
    const Capture capture = RunTool(runner, "tool.exe", "first");
    EXPECT_EQ(capture.result, Terminated);
    EXPECT_EQ(capture.lines, (Lines{"first", "second", "third\r\n"}));
    EXPECT_EQ(runner.ChildrenLeftRunning(), 0u);
}

TEST(MemoryProcessRunner, CtrlCGraceIsFiveHundredMilliseconds) {
    const auto reactingAfter = [](int delay) {
        return [delay](const ProgramInvocation&) {
            ProgramScript script = Script({{milliseconds(0), "go\r\n"}}, 60000);
            script.onCtrlC = ProgramScript::CtrlCReaction{milliseconds(delay), 9};
            return script;
        };
    };
    MemoryProcessRunner runner;
    runner.Register("quick.exe", reactingAfter(400));
    runner.Register("slow.exe", reactingAfter(600));
    EXPECT_EQ(RunTool(runner, "quick.exe", "go", true).result, 9);
    EXPECT_EQ(RunTool(runner, "slow.exe", "go", true).result, Terminated);
    // Without an input pipe no Ctrl+C is sent: terminated at once.
    EXPECT_EQ(RunTool(runner, "quick.exe", "go", false).result, Terminated);
}

TEST(MemoryProcessRunner, OutputDueAfterTheEndNeverComes) {
    MemoryProcessRunner runner;
    runner.Register("tool.exe", [](const ProgramInvocation&) {
        return Script({{milliseconds(10), "a\n"}, {milliseconds(100), "late\n"}}, 50, 2);
    });
    const Capture capture = RunTool(runner, "tool.exe");
    EXPECT_EQ(capture.result, 2);
    EXPECT_EQ(capture.lines, Lines{"a"});
}

}  // namespace
