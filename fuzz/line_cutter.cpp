// A tool's captured output, cut into lines while it arrives in reads of fuzzed sizes. The lines,
// each followed by the terminator it had in the text read so far, and then the remainder give
// back the output byte for byte; without an abort no line break is left in the remainder.
//
// Input: one byte N, then N bytes of read sizes, then the output. Bit 7 of N asks to abort after
// the first line.

#include <algorithm>

#include "fuzz/support/fuzz_support.h"
#include "platform/line_cutter.h"

namespace {

struct Delivered {
    std::string line;
    std::size_t readSoFar;  // bytes appended when the line went out
};

// The terminator the cutter removes after a line: CR LF CR, else CR LF, else one CR or LF,
// judged on the bytes that had been read.
std::size_t TerminatorLength(std::string_view readSoFar) {
    for (std::string_view terminator : {"\r\n\r", "\r\n", "\r", "\n"})
        if (readSoFar.starts_with(terminator)) return terminator.size();
    return 0;
}

// The read sizes in turn; no plan is one read of everything. A 0 is an empty read on the first
// pass through the plan and one byte afterwards, so every plan comes to an end.
std::size_t ReadSize(std::string_view plan, std::size_t read, std::size_t left) {
    if (plan.empty()) return left;
    const std::size_t planned = static_cast<unsigned char>(plan[read % plan.size()]);
    return std::min(planned == 0 && read >= plan.size() ? 1 : planned, left);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool abortAfterFirstLine = (data[0] & 0x80) != 0;
    const std::size_t planSize = std::min<std::size_t>(data[0] & 0x7F, size - 1);
    const std::string_view plan = fuzz::Bytes(data + 1, planSize);
    const std::string_view output = fuzz::Bytes(data + 1 + planSize, size - 1 - planSize);

    platform::OutputLineCutter cutter([](std::string line) { return line; });
    std::vector<Delivered> delivered;
    std::size_t appended = 0;
    bool abort = false;
    const auto onLine = [&](const std::string& line, bool& abortFlag) {
        delivered.push_back({line, appended});
        if (abortAfterFirstLine) abortFlag = true;
    };
    for (std::size_t read = 0; appended < output.size() && !abort; ++read) {
        const std::size_t chunk = ReadSize(plan, read, output.size() - appended);
        cutter.Append(output.data() + appended, chunk);
        appended += chunk;
        cutter.CutLines(onLine, abort);
    }
    const std::string remainder = cutter.TakeRemainder();
    FUZZ_CHECK(cutter.Empty());

    std::size_t at = 0;
    for (const Delivered& item : delivered) {
        FUZZ_CHECK(output.substr(at).starts_with(item.line));
        FUZZ_CHECK(item.line.find_first_of("\r\n") == std::string::npos);
        at += item.line.size();
        FUZZ_CHECK(at < item.readSoFar);
        const std::size_t terminator = TerminatorLength(output.substr(at, item.readSoFar - at));
        FUZZ_CHECK(terminator > 0);
        at += terminator;
    }
    FUZZ_CHECK(output.substr(at, appended - at) == remainder);
    if (abort) FUZZ_CHECK(delivered.size() == 1);
    else FUZZ_CHECK(appended == output.size() && remainder.find_first_of("\r\n") == std::string::npos);
    return 0;
}
