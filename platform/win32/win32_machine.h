#pragma once
// This Windows machine: the four services of the platform seam, for the programs' start-up.

#include "platform/platform.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process_runner.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"

namespace platform::win32 {

struct Win32Machine {
    Win32Registry registry;
    Win32FileSystem files;
    Win32ProcessRunner processes;
    Win32SystemInfo system;
    Platform platform{registry, files, processes, system};
};

}  // namespace platform::win32
