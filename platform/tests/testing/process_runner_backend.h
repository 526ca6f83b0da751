#pragma once
// The process runner of the backend under test, and how to start the scripted test child
// (tools/capture_child) on it.

#include <cstddef>
#include <memory>
#include <string>

#include "platform/processes.h"

namespace testing_support {

class ProcessRunnerBackend {
public:
    virtual ~ProcessRunnerBackend() = default;

    virtual platform::ProcessRunner& Runner() = 0;
    // The command that starts the scripted child; the parameters are its script.
    virtual std::string ChildCommand() const = 0;
    // A folder that exists, to run the child in.
    virtual std::string ExistingDirectory() const = 0;
    // Scripted children that a run gave up on while they still ran.
    virtual std::size_t ChildrenLeftRunning() = 0;
};

std::unique_ptr<ProcessRunnerBackend> MakeProcessRunnerBackend();

}  // namespace testing_support
