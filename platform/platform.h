#pragma once
// The seam between the portable installer and the machine. Everything above it receives these
// four services explicitly.

#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace platform {

struct Platform {
    Registry& registry;
    FileSystem& files;
    ProcessRunner& processes;
    SystemInfo& system;
};

}  // namespace platform
