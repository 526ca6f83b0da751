#include "platform/line_cutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::OutputLineCutter;
using Lines = std::vector<std::string>;

std::string Identity(std::string text) { return text; }

// Feeds `reads` one at a time and cuts after each, as the capture loop does.
Lines CutReads(const std::vector<std::string>& reads, std::string* remainder = nullptr) {
    OutputLineCutter cutter(Identity);
    Lines lines;
    bool abort = false;
    for (const std::string& read : reads) {
        cutter.Append(read.data(), read.size());
        cutter.CutLines([&](const std::string& line, bool&) { lines.push_back(line); }, abort);
    }
    if (remainder) *remainder = cutter.TakeRemainder();
    return lines;
}

TEST(LineCutter, TerminatorsWithinOneRead) {
    const struct {
        std::string text;
        Lines lines;
        std::string remainder;
    } cases[] = {
        {"a\nb", {"a"}, "b"},
        {"a\rb", {"a"}, "b"},
        {"a\r\nb", {"a"}, "b"},
        {"a\r\n\rb", {"a"}, "b"},
        {"a\r\rb", {"a", ""}, "b"},
        {"a\n\rb", {"a", ""}, "b"},
        {"a\n\nb", {"a", ""}, "b"},
        {"a\r\n\r\nb", {"a", ""}, "b"},  // CR LF CR, then a lone LF
        {"a\r\n\r\r\nb", {"a", ""}, "b"},
        {"\n", {""}, ""},
        {"no break", {}, "no break"},
        {"", {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        std::string remainder;
        EXPECT_EQ(CutReads({c.text}, &remainder), c.lines);
        EXPECT_EQ(remainder, c.remainder);
    }
}

TEST(LineCutter, TerminatorsAreJudgedOnTheTextReadSoFar) {
    // A CR that ends a read stands alone; the LF of the next read ends an empty line.
    EXPECT_EQ(CutReads({"a\r", "\nb\n"}), (Lines{"a", "", "b"}));
    // CR LF that ends a read is complete; the CR of the next read ends an empty line.
    EXPECT_EQ(CutReads({"a\r\n", "\rb\n"}), (Lines{"a", "", "b"}));
    // A line may come in many pieces.
    EXPECT_EQ(CutReads({"ab", "c", "d\r\ne", "f\n"}), (Lines{"abcd", "ef"}));
}

TEST(LineCutter, ConvertsLinesButNotTheRemainder) {
    OutputLineCutter cutter([](std::string text) {
        for (char& c : text) c = static_cast<char>(c + 1);
        return text;
    });
    const std::string read = "abc\r\nabc";
    cutter.Append(read.data(), read.size());
    Lines lines;
    bool abort = false;
    cutter.CutLines([&](const std::string& line, bool&) { lines.push_back(line); }, abort);
    EXPECT_EQ(lines, Lines{"bcd"});
    EXPECT_EQ(cutter.TakeRemainder(), "abc");
    EXPECT_TRUE(cutter.Empty());
}

TEST(LineCutter, AbortIsTestedOnlyAfterALineWasDelivered) {
    OutputLineCutter cutter(Identity);
    const std::string read = "one\ntwo\nthree\nfour";
    cutter.Append(read.data(), read.size());
    Lines lines;
    const auto stop = [&](const std::string& line, bool& abort) {
        lines.push_back(line);
        abort = true;
    };
    bool abort = false;
    cutter.CutLines(stop, abort);
    EXPECT_EQ(lines, Lines{"one"});
    EXPECT_FALSE(cutter.Empty());

    // Already set on entry: one more line still goes out, then the rest waits.
    cutter.CutLines([&](const std::string& line, bool&) { lines.push_back(line); }, abort);
    EXPECT_EQ(lines, (Lines{"one", "two"}));
    EXPECT_EQ(cutter.TakeRemainder(), "three\nfour");
}

TEST(LineCutter, RemainderIsTheUndeliveredTextExactlyAsRead) {
    OutputLineCutter cutter(Identity);
    bool abort = false;
    const std::string first = "done\r\nrest\r\n";
    cutter.Append(first.data(), first.size());
    cutter.CutLines([&](const std::string&, bool& flag) { flag = true; }, abort);
    const std::string second = "more\r";
    cutter.Append(second.data(), second.size());
    EXPECT_EQ(cutter.TakeRemainder(), "rest\r\nmore\r");
    EXPECT_TRUE(cutter.Empty());
    EXPECT_EQ(cutter.TakeRemainder(), "");
}

TEST(LineCutter, ALongLineInManyReadsIsHeldWhole) {
    // 2,560 reads of 4 KB into one 10 MB line: rescanning the pending text on every read
    // would make this quadratic.
    const std::string piece(4096, 'x');
    constexpr int Reads = 2560;
    OutputLineCutter cutter(Identity);
    bool abort = false;
    int lines = 0;
    for (int i = 0; i < Reads; ++i) {
        cutter.Append(piece.data(), piece.size());
        cutter.CutLines([&](const std::string&, bool&) { ++lines; }, abort);
    }
    EXPECT_EQ(lines, 0);
    const std::string remainder = cutter.TakeRemainder();
    EXPECT_EQ(remainder.size(), piece.size() * Reads);
    EXPECT_EQ(remainder.find_first_not_of('x'), std::string::npos);

    // The same run ended by a break is one line.
    for (int i = 0; i < Reads; ++i) cutter.Append(piece.data(), piece.size());
    cutter.Append("\n", 1);
    std::size_t delivered = 0;
    cutter.CutLines([&](const std::string& line, bool&) { delivered = line.size(); }, abort);
    EXPECT_EQ(delivered, piece.size() * Reads);
    EXPECT_TRUE(cutter.Empty());
}

}  // namespace
