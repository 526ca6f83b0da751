#pragma once
// One setup at a time on the machine. A second copy started while the first works would take the
// first one's open journal for a run that was cut short and undo it under its feet, and would
// change the same IDEs beside it.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/unique_handle.h"

namespace platform::win32 {

class InstanceLock {
public:
    // The lock `name` (a mutex in the Global\ namespace: another user's session counts too), or
    // nullopt while another process holds it. One whose holder ended without letting go is taken
    // over. Throws std::runtime_error naming the lock and the system's reason when it cannot be made.
    static std::optional<InstanceLock> Acquire(const std::string& name);

    InstanceLock(InstanceLock&&) noexcept = default;
    InstanceLock& operator=(InstanceLock&& other) noexcept;
    ~InstanceLock() { Release(); }

private:
    explicit InstanceLock(UniqueKernelHandle mutex) : mutex_(std::move(mutex)) {}
    void Release();
    UniqueKernelHandle mutex_;
};

}  // namespace platform::win32
