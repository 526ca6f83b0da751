#pragma once

#include <windows.h>

#include <string>

namespace platform::win32 {

// The system's message for an error code, without the trailing line break.
std::string SystemMessage(DWORD code);

}  // namespace platform::win32
