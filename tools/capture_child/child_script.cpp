#include "tools/capture_child/child_script.h"

#include <charconv>
#include <stdexcept>

namespace capture_child {
namespace {

[[noreturn]] void Fail(std::string_view token, const char* why) {
    throw std::invalid_argument("capture_child: step '" + std::string(token) + "': " + why);
}

int ParseNumber(std::string_view text, std::string_view token) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        Fail(token, "not a number");
    return value;
}

int ParseCount(std::string_view text, std::string_view token) {
    const int value = ParseNumber(text, token);
    if (value < 0) Fail(token, "a count cannot be negative");
    return value;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string Unescape(std::string_view text, std::string_view token) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) Fail(token, "escape at the end");
        switch (text[i]) {
            case 'r': bytes += '\r'; break;
            case 'n': bytes += '\n'; break;
            case '\\': bytes += '\\'; break;
            case 'x': {
                const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
                if (high < 0 || low < 0) Fail(token, "\\x needs two hex digits");
                bytes += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default: Fail(token, "unknown escape");
        }
    }
    return bytes;
}

Step ParseStep(std::string_view token) {
    const std::size_t colon = token.find(':');
    const std::string_view name = token.substr(0, colon);
    const std::string_view argument =
        colon == std::string_view::npos ? std::string_view() : token.substr(colon + 1);
    const bool hasArgument = colon != std::string_view::npos;

    if (name == "cwd" && !hasArgument) return {Step::Kind::WriteDirectory, {}};
    if (!hasArgument) Fail(token, "unknown step");
    if (name == "out") return {Step::Kind::WriteOut, Unescape(argument, token)};
    if (name == "err") return {Step::Kind::WriteErr, Unescape(argument, token)};
    if (name == "fill")
        return {Step::Kind::WriteOut, std::string(ParseCount(argument, token), 'x')};
    if (name == "sleep") return {Step::Kind::Sleep, {}, 1, ParseCount(argument, token)};
    if (name == "ctrlc") return {Step::Kind::ExitOnCtrlC, {}, 1, ParseNumber(argument, token)};
    if (name == "exit") return {Step::Kind::Exit, {}, 1, ParseNumber(argument, token)};
    if (name == "repeat") {
        const std::size_t second = argument.find(':');
        if (second == std::string_view::npos) Fail(token, "repeat needs N:TEXT");
        return {Step::Kind::WriteOut, Unescape(argument.substr(second + 1), token),
                ParseCount(argument.substr(0, second), token)};
    }
    Fail(token, "unknown step");
}

}  // namespace

std::vector<Step> ParseScript(std::string_view script) {
    std::vector<Step> steps;
    std::size_t at = 0;
    while (at < script.size()) {
        if (script[at] == ' ' || script[at] == '\t') {
            ++at;
            continue;
        }
        const std::size_t end = script.find_first_of(" \t", at);
        const std::size_t length = (end == std::string_view::npos ? script.size() : end) - at;
        steps.push_back(ParseStep(script.substr(at, length)));
        at += length;
    }
    return steps;
}

}  // namespace capture_child
