#include "platform/line_cutter.h"

#include <utility>

namespace platform {

OutputLineCutter::OutputLineCutter(Converter oemToAnsi) : oemToAnsi_(std::move(oemToAnsi)) {}

void OutputLineCutter::Append(const char* data, std::size_t size) {
    // Drop what was delivered before growing, so a long run of short lines stays small.
    if (start_ > 0) {
        pending_.erase(0, start_);
        scanned_ -= start_;
        start_ = 0;
    }
    pending_.append(data, size);
}

void OutputLineCutter::CutLines(const LineCallback& onLine, bool& abort) {
    for (;;) {
        const std::size_t breakAt = pending_.find_first_of("\r\n", scanned_);
        if (breakAt == std::string::npos) {
            scanned_ = pending_.size();
            return;
        }
        std::string line = oemToAnsi_(pending_.substr(start_, breakAt - start_));
        std::size_t next = breakAt + 1;
        if (pending_[breakAt] == '\r' && next < pending_.size() && pending_[next] == '\n') {
            ++next;
            if (next < pending_.size() && pending_[next] == '\r') ++next;
        }
        start_ = next;
        scanned_ = next;
        onLine(line, abort);
        if (abort) return;
    }
}

std::string OutputLineCutter::TakeRemainder() {
    std::string rest = pending_.substr(start_);
    pending_.clear();
    start_ = 0;
    scanned_ = 0;
    return rest;
}

}  // namespace platform
