#pragma once
// Running a console program hidden, with its standard output and standard error captured and
// delivered line by line while it runs.

#include <functional>
#include <string>

namespace platform {

// One line of output; setting `abort` asks the program to stop.
using LineCallback = std::function<void(const std::string& line, bool& abort)>;
// Called about every 30 ms while the program runs.
using IdleCallback = std::function<void()>;

namespace capture_result {
constexpr int NotRun = -2;      // no line callback, or a pipe could not be created
constexpr int NotStarted = -1;  // the program could not be started
constexpr int Terminated = -3;  // exit code of a program that had to be stopped
}  // namespace capture_result

// The start failure of a run without a line callback.
inline constexpr const char* NoLineCallback = "no line callback was given";

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;

    // Runs `command` + " " + `parameters` in `directory` and returns its exit code, or one of
    // the results above. Errors thrown by the callbacks reach the caller after every handle
    // of the run is closed.
    virtual int CaptureExecute(const std::string& command, const std::string& parameters,
                               const std::string& directory, const LineCallback& onLine,
                               const IdleCallback& onIdle, bool useInputPipe) = 0;
    // Why the last run ran nothing or could not start its program (NotRun, NotStarted), in the
    // system's words; empty after a run whose program started.
    virtual std::string StartFailure() const = 0;
};

}  // namespace platform
