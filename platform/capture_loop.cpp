#include "platform/capture_loop.h"

#include <utility>

#include "platform/line_cutter.h"

namespace platform {
namespace {

constexpr char CtrlC = '\x03';
constexpr std::size_t CtrlCRepeat = 8;

// Peeks first and reads only what is waiting, so a read never blocks.
void ReadOutput(StartedChild& child, OutputLineCutter& cutter, std::string& buffer,
                const LineCallback& onLine, bool& abort) {
    const std::size_t available = child.BytesAvailable();
    if (available == 0) return;
    buffer.resize(available);
    const std::size_t got = child.Read(buffer.data(), available);
    cutter.Append(buffer.data(), got);
    cutter.CutLines(onLine, abort);
}

void Stop(StartedChild& child) {
    if (child.HasInputPipe()) {
        child.WriteInput(std::string(CtrlCRepeat, CtrlC));
        if (child.WaitForExit(capture_timing::CtrlCGraceMilliseconds)) return;
    }
    child.Terminate(capture_result::Terminated);
}

}  // namespace

int RunCaptureLoop(StartedChild& child, const LineCallback& onLine, const IdleCallback& onIdle) {
    OutputLineCutter cutter([&child](std::string line) { return child.OemToAnsi(std::move(line)); });
    std::string buffer;
    bool abort = false;
    try {
        while (!child.WaitForExit(capture_timing::PollMilliseconds) && !abort) {
            ReadOutput(child, cutter, buffer, onLine, abort);
            if (onIdle) onIdle();
        }
        // What the program wrote just before it ended, or since the abort was asked for.
        ReadOutput(child, cutter, buffer, onLine, abort);
        if (!cutter.Empty()) {
            // The remainder goes out exactly as read: unconverted, line breaks and all.
            const std::string remainder = cutter.TakeRemainder();
            onLine(remainder, abort);
        }
    } catch (...) {
        if (!child.WaitForExit(0)) child.Terminate(capture_result::Terminated);
        throw;
    }
    if (abort) Stop(child);
    return child.ExitCode();
}

}  // namespace platform
