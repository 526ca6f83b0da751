#pragma once
// Cuts a console program's captured output into lines as it arrives.

#include <cstddef>
#include <functional>
#include <string>

#include "platform/processes.h"

namespace platform {

class OutputLineCutter {
public:
    // Converts one line from the console's code page to the window system's, same length.
    using Converter = std::function<std::string(std::string)>;

    explicit OutputLineCutter(Converter oemToAnsi);

    void Append(const char* data, std::size_t size);

    // Delivers complete lines until no line break is left or `abort` is set; the flag is tested
    // only after a line has been delivered. A line ends at the first CR or LF; the terminator
    // removed is CR LF CR, else CR LF, else the single character.
    void CutLines(const LineCallback& onLine, bool& abort);

    // The text that has not yet been delivered, exactly as read; the cutter is empty afterwards.
    std::string TakeRemainder();

    bool Empty() const { return pending_.size() == start_; }

private:
    Converter oemToAnsi_;
    std::string pending_;
    std::size_t start_ = 0;    // first byte not yet delivered
    std::size_t scanned_ = 0;  // bytes before this hold no line break
};

}  // namespace platform
