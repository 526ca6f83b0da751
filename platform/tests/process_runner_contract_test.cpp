// CaptureExecute as the engine relies on it, proven with the scripted child on both backends.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/processes.h"
#include "platform/tests/testing/process_runner_backend.h"

namespace {

using platform::capture_result::NotRun;
using platform::capture_result::NotStarted;
using platform::capture_result::Terminated;
using Lines = std::vector<std::string>;

constexpr const char* IdleEvent = "<idle>";

struct Capture {
    int result = 0;
    Lines lines;
    Lines events;  // lines and idle calls, in the order they came
};

struct Options {
    bool useInputPipe = false;
    std::string abortOn;  // the line on which the callback sets the abort flag
};

class ProcessRunnerContract : public ::testing::Test {
protected:
    Capture Run(const std::string& script, const Options& options = {}) {
        Capture capture;
        const auto onLine = [&](const std::string& line, bool& abort) {
            capture.lines.push_back(line);
            capture.events.push_back(line);
            if (!options.abortOn.empty() && line == options.abortOn) abort = true;
        };
        const auto onIdle = [&] { capture.events.push_back(IdleEvent); };
        capture.result = backend->Runner().CaptureExecute(backend->ChildCommand(), script,
                                                          backend->ExistingDirectory(), onLine,
                                                          onIdle, options.useInputPipe);
        return capture;
    }

    std::unique_ptr<testing_support::ProcessRunnerBackend> backend =
        testing_support::MakeProcessRunnerBackend();
};

TEST_F(ProcessRunnerContract, EachLineBreakRuleCutsLinesAsWritten) {
    const struct {
        const char* script;
        Lines lines;
    } cases[] = {
        {"out:a\\nb\\n", {"a", "b"}},
        {"out:a\\rb\\r", {"a", "b"}},
        {"out:a\\r\\nb", {"a", "b"}},
        {"out:a\\r\\n\\rb", {"a", "b"}},   // CR LF CR is one terminator
        {"out:a\\r\\rb", {"a", "", "b"}},  // CR CR is two
        {"out:a\\n\\rb", {"a", "", "b"}},  // LF CR is two
        {"out:\\r\\n\\r\\n", {"", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const Capture capture = Run(c.script);
        EXPECT_EQ(capture.result, 0);
        EXPECT_EQ(capture.lines, c.lines);
    }
}

TEST_F(ProcessRunnerContract, CrLfSplitAcrossReadsGivesAnExtraEmptyLine) {
    const Capture capture = Run("out:a\\r sleep:300 out:\\nb");
    EXPECT_EQ(capture.lines, (Lines{"a", "", "b"}));
}

TEST_F(ProcessRunnerContract, LinesArriveInTheAnsiCodePageButTheRemainderAsRead) {
    // u-umlaut, a-umlaut, o-umlaut, sharp s, e-acute: the same letters in OEM 437 and 850.
    const Capture capture = Run("out:\\x81\\x84\\x94\\xE1\\x82\\r\\n\\x81\\x84");
    EXPECT_EQ(capture.lines, (Lines{"\xFC\xE4\xF6\xDF\xE9", "\x81\x84"}));
}

TEST_F(ProcessRunnerContract, StandardErrorIsMixedInInWriteOrder) {
    const Capture capture = Run("out:1\\n err:2\\n out:3 err:+3\\n err:4\\n");
    EXPECT_EQ(capture.lines, (Lines{"1", "2", "3+3", "4"}));
}

TEST_F(ProcessRunnerContract, SilentProgramGivesNoLineButIdles) {
    const Capture capture = Run("sleep:200");
    EXPECT_EQ(capture.result, 0);
    EXPECT_TRUE(capture.lines.empty());
    EXPECT_FALSE(capture.events.empty());
}

TEST_F(ProcessRunnerContract, ReturnsTheProgramsExitCode) {
    EXPECT_EQ(Run("exit:7").result, 7);
    EXPECT_EQ(Run("out:x\\n exit:255").result, 255);
    EXPECT_EQ(Run("exit:-5").result, -5);
}

TEST_F(ProcessRunnerContract, ProgramThatCannotBeFoundGivesMinusOneAndNoLineButItsReason) {
    bool called = false;
    const int result = backend->Runner().CaptureExecute(
        "qv_no_such_program.exe", "", backend->ExistingDirectory(),
        [&](const std::string&, bool&) { called = true; }, [&] { called = true; }, false);
    EXPECT_EQ(result, NotStarted);
    EXPECT_FALSE(called);
    EXPECT_FALSE(backend->Runner().StartFailure().empty());
    // A run that starts its program has nothing to say about the start.
    EXPECT_EQ(Run("exit:0").result, 0);
    EXPECT_EQ(backend->Runner().StartFailure(), "");
}

TEST_F(ProcessRunnerContract, WithoutLineCallbackNothingRuns) {
    bool idled = false;
    const int result = backend->Runner().CaptureExecute(backend->ChildCommand(), "exit:7",
                                                        backend->ExistingDirectory(), nullptr,
                                                        [&] { idled = true; }, false);
    EXPECT_EQ(result, NotRun);
    EXPECT_FALSE(idled);
}

TEST_F(ProcessRunnerContract, RunsInTheGivenDirectory) {
    EXPECT_EQ(Run("cwd").lines, Lines{backend->ExistingDirectory()});
}

TEST_F(ProcessRunnerContract, OutputLargerThanThePipeIsAllDelivered) {
    const Capture many = Run("repeat:3000:line\\x20of\\x20output\\r\\n");
    ASSERT_EQ(many.lines.size(), 3000u);
    EXPECT_EQ(many.lines.front(), "line of output");
    EXPECT_EQ(many.lines.back(), "line of output");

    const Capture longLine = Run("fill:200000 out:\\r\\nend");
    EXPECT_EQ(longLine.lines, (Lines{std::string(200000, 'x'), "end"}));
}

TEST_F(ProcessRunnerContract, IdleIsCalledBetweenTheLinesOfARunningProgram) {
    const Capture capture = Run("out:a\\n sleep:300 out:b\\n sleep:300");
    ASSERT_EQ(capture.lines, (Lines{"a", "b"}));
    const auto a = std::find(capture.events.begin(), capture.events.end(), "a");
    const auto b = std::find(capture.events.begin(), capture.events.end(), "b");
    EXPECT_NE(std::find(a, b, IdleEvent), b);
    EXPECT_NE(std::find(b, capture.events.end(), IdleEvent), capture.events.end());
}

TEST_F(ProcessRunnerContract, AbortTerminatesTheProgramAndPassesTheRestAsOneRemainder) {
    const Capture capture =
        Run("out:first\\r\\nsecond\\r\\nthird\\r\\n sleep:20000", {.abortOn = "first"});
    EXPECT_EQ(capture.result, Terminated);
    EXPECT_EQ(capture.lines, (Lines{"first", "second\r\nthird\r\n"}));
    EXPECT_EQ(backend->ChildrenLeftRunning(), 0u);
}

TEST_F(ProcessRunnerContract, AbortWithInputPipeSendsCtrlCAndWaitsBeforeTerminating) {
    const Options abortWithPipe{.useInputPipe = true, .abortOn = "first"};
    EXPECT_EQ(Run("ctrlc:9 out:first\\r\\n sleep:20000", abortWithPipe).result, 9);
    EXPECT_EQ(Run("out:first\\r\\n sleep:20000", abortWithPipe).result, Terminated);
    EXPECT_EQ(backend->ChildrenLeftRunning(), 0u);
}

TEST_F(ProcessRunnerContract, CallbackErrorsReachTheCallerAndStopTheProgram) {
    const auto throwing = [](const std::string&, bool&) { throw std::runtime_error("line"); };
    EXPECT_THROW(backend->Runner().CaptureExecute(backend->ChildCommand(),
                                                  "out:x\\r\\n sleep:20000",
                                                  backend->ExistingDirectory(), throwing, nullptr,
                                                  false),
                 std::runtime_error);
    EXPECT_EQ(backend->ChildrenLeftRunning(), 0u);

    const auto ignore = [](const std::string&, bool&) {};
    const auto throwingIdle = [] { throw std::logic_error("idle"); };
    EXPECT_THROW(backend->Runner().CaptureExecute(backend->ChildCommand(), "sleep:20000",
                                                  backend->ExistingDirectory(), ignore,
                                                  throwingIdle, true),
                 std::logic_error);
    EXPECT_EQ(backend->ChildrenLeftRunning(), 0u);
}

}  // namespace
