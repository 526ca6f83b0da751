#pragma once
// CaptureExecute on Windows: the program runs hidden with both output streams on one pipe.

#include <string>

#include "platform/processes.h"

namespace platform::win32 {

// The output pipe holds this much, so that a chatty program never waits on a full pipe between
// two polls of the capture loop; the system's default holds a few kilobytes.
inline constexpr unsigned long OutputPipeBytes = 1024 * 1024;

class Win32ProcessRunner : public ProcessRunner {
public:
    int CaptureExecute(const std::string& command, const std::string& parameters,
                       const std::string& directory, const LineCallback& onLine,
                       const IdleCallback& onIdle, bool useInputPipe) override;
    std::string StartFailure() const override { return startFailure_; }

private:
    std::string startFailure_;
};

}  // namespace platform::win32
