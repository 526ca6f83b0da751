#pragma once
// The stubs' host on Windows: the process's working directory, environment, files and console.

#include "tools/stub_tools/host.h"

namespace stubs {

class Win32Host : public Host {
public:
    std::string CurrentDirectory() const override;
    std::optional<std::string> Environment(const std::string& name) const override;
    std::optional<std::string> ReadFile(const std::string& path) const override;
    bool WriteFile(const std::string& path, std::string_view data) override;
    void Print(std::string_view bytes) override;
    void Sleep(unsigned seconds) override;
};

}  // namespace stubs
