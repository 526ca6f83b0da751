#pragma once
// What a stub tool needs from the machine. The programs run on the Win32 host; the tests run the
// same tools on a host in memory.

#include <optional>
#include <string>
#include <string_view>

namespace stubs {

class Host {
public:
    virtual ~Host() = default;

    virtual std::string CurrentDirectory() const = 0;
    // Nothing when the variable is not set; an empty text when it is set to nothing.
    virtual std::optional<std::string> Environment(const std::string& name) const = 0;
    // Nothing when the file cannot be read.
    virtual std::optional<std::string> ReadFile(const std::string& path) const = 0;
    // Creates or replaces the file; false when it cannot (no such folder, read-only...).
    virtual bool WriteFile(const std::string& path, std::string_view data) = 0;
    // Bytes to standard output, as they are: the tools write their own line breaks.
    virtual void Print(std::string_view bytes) = 0;
    virtual void Sleep(unsigned seconds) = 0;
};

}  // namespace stubs
