#include "tools/stub_tools/paths.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace stubs {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

}  // namespace

bool IsAbsolutePath(std::string_view path) {
    return (HasDrive(path) && path.size() >= 3 && IsSeparator(path[2])) ||
           (!path.empty() && IsSeparator(path[0]));
}

std::string NormalizePath(std::string_view path) {
    std::string prefix;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        prefix = "\\\\";
        path.remove_prefix(2);
    } else if (HasDrive(path)) {
        prefix = std::string(path.substr(0, 2));
        path.remove_prefix(2);
        if (!path.empty() && IsSeparator(path[0])) prefix += '\\';
    } else if (!path.empty() && IsSeparator(path[0])) {
        prefix = "\\";
    }

    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") parts.pop_back();
            else if (prefix.empty()) parts.push_back(part);  // a relative path may climb
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }

    std::string result = prefix;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += '\\';
        result += parts[i];
    }
    return result;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    if (IsAbsolutePath(name) || folder.empty()) return NormalizePath(name);
    return NormalizePath(std::string(folder) + "\\" + std::string(name));
}

std::string FolderOf(std::string_view path) {
    const std::size_t at = path.find_last_of("\\/");
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at));
}

std::string FileNameOf(std::string_view path) {
    const std::size_t at = path.find_last_of("\\/");
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string StemOf(std::string_view path) {
    const std::string name = FileNameOf(path);
    return name.substr(0, name.rfind('.'));
}

bool HasExtension(std::string_view path, std::string_view extension) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && EqualsIgnoreCase(std::string_view(name).substr(dot), extension);
}

std::string ChangeExtension(std::string_view path, std::string_view extension) {
    const std::size_t dot = path.rfind('.');
    const std::size_t separator = path.find_last_of("\\/");
    const bool hasDot = dot != std::string_view::npos && (separator == std::string_view::npos || dot > separator);
    return std::string(hasDot ? path.substr(0, dot) : path) + std::string(extension);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace stubs
