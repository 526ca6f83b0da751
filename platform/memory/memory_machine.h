#pragma once
// A whole machine in memory: the four services of the platform seam, for tests that drive the
// installer's logic end to end without Windows.

#include "platform/memory/memory_file_system.h"
#include "platform/memory/memory_process_runner.h"
#include "platform/memory/memory_registry.h"
#include "platform/memory/memory_system_info.h"
#include "platform/platform.h"

namespace platform::memory {

struct MemoryMachine {
    MemoryRegistry registry;
    MemoryFileSystem files;
    MemoryProcessRunner processes;
    MemorySystemInfo system;
    Platform platform{registry, files, processes, system};
};

}  // namespace platform::memory
