#pragma once
// The part of CaptureExecute that is the same on every backend: polling the started program,
// cutting its output into lines, and stopping it when a callback asks.

#include <cstddef>
#include <string>

#include "platform/processes.h"

namespace platform {

// A program that a backend has started with its output (and perhaps its input) on pipes.
class StartedChild {
public:
    virtual ~StartedChild() = default;

    // Waits at most `milliseconds`; true when the program has ended (or the wait failed).
    virtual bool WaitForExit(int milliseconds) = 0;
    // Bytes waiting in the output pipe, without removing them; 0 when that cannot be told.
    virtual std::size_t BytesAvailable() = 0;
    // Reads at most `size` bytes; returns how many were read, possibly none.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;

    virtual bool HasInputPipe() const = 0;
    virtual void WriteInput(const std::string& bytes) = 0;

    // Ends the program with `exitCode`; no effect on one that has ended already.
    virtual void Terminate(int exitCode) = 0;
    virtual int ExitCode() = 0;

    // From the console's code page to the window system's, same length.
    virtual std::string OemToAnsi(std::string text) = 0;
};

namespace capture_timing {
constexpr int PollMilliseconds = 30;
constexpr int CtrlCGraceMilliseconds = 500;
}  // namespace capture_timing

// Delivers the child's output to `onLine` until it ends, or stops it once `onLine` sets the
// abort flag, and returns its exit code. When a callback throws, a child that still runs is
// terminated before the exception goes on: nobody is left to read its output.
int RunCaptureLoop(StartedChild& child, const LineCallback& onLine, const IdleCallback& onIdle);

}  // namespace platform
