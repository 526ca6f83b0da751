#pragma once
// This Windows machine: the four services of the platform seam, for the programs' start-up.

#include <string>

#include "platform/platform.h"
#include "platform/signed_in_user.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_process_runner.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"

namespace platform::win32 {

struct Win32Machine {
    // With a SID, the user's hive, PATH and Personal folder are those of that signed-in user; a
    // hive that cannot be opened raises RegistryError.
    explicit Win32Machine(const std::string& userSid = {}) : otherUser(!userSid.empty()), registry(userSid) {}

    const bool otherUser;
    Win32Registry registry;
    Win32FileSystem files;
    Win32ProcessRunner processes;
    Win32SystemInfo system;
    SignedInUserSystem signedInUserSystem{system, registry};
    Platform platform{registry, files, processes,
                      otherUser ? static_cast<SystemInfo&>(signedInUserSystem) : system};
};

}  // namespace platform::win32
