#include "tools/archive/extract_command.h"

#include <cctype>

namespace archive {
namespace {

constexpr std::string_view kSwitches = "x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"";

// The command line after the program's name and the blanks that follow it.
std::string_view ArgumentsOf(std::string_view commandLine) {
    std::size_t at = 0;
    if (commandLine.starts_with('"')) {
        at = commandLine.find('"', 1);
        at = at == std::string_view::npos ? commandLine.size() : at + 1;
    } else {
        at = commandLine.find_first_of(" \t");
        if (at == std::string_view::npos) at = commandLine.size();
    }
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t')) ++at;
    return commandLine.substr(at);
}

bool IsAbsoluteFolder(std::string_view path) {
    const bool driveRoot = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                           path[1] == ':' && path[2] == '\\';
    return (driveRoot || path.starts_with("\\\\")) && path.ends_with('\\');
}

}  // namespace

std::optional<std::string> ExtractDestination(std::string_view commandLine) {
    std::string_view rest = ArgumentsOf(commandLine);
    if (!rest.starts_with(kSwitches)) return std::nullopt;
    rest.remove_prefix(kSwitches.size());
    if (!rest.ends_with('"')) return std::nullopt;
    rest.remove_suffix(1);
    if (rest.find('"') != std::string_view::npos || !IsAbsoluteFolder(rest)) return std::nullopt;
    return std::string(rest);
}

}  // namespace archive
