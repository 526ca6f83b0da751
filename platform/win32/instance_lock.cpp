#include "platform/win32/instance_lock.h"

#include <stdexcept>

#include "platform/win32/system_error.h"

namespace platform::win32 {

std::optional<InstanceLock> InstanceLock::Acquire(const std::string& name) {
    UniqueKernelHandle mutex(::CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!mutex) throw std::runtime_error("Cannot create the lock " + name + ": " + SystemMessage(::GetLastError()));
    switch (::WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: return InstanceLock(std::move(mutex));
    case WAIT_TIMEOUT: return std::nullopt;
    default: throw std::runtime_error("Cannot take the lock " + name + ": " + SystemMessage(::GetLastError()));
    }
}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
    if (this != &other) {
        Release();
        mutex_ = std::move(other.mutex_);
    }
    return *this;
}

void InstanceLock::Release() {
    if (mutex_) ::ReleaseMutex(mutex_.get());
    mutex_.reset();
}

}  // namespace platform::win32
