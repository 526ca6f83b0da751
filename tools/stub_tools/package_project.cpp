#include "tools/stub_tools/package_project.h"

#include <algorithm>
#include <cctype>
#include <regex>

#include "tools/stub_tools/paths.h"
#include "tools/stub_tools/tool_run.h"

namespace stubs {
namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.'; }

// Pascal tokens: words, 'strings' (quotes doubled inside) and single punctuation characters;
// comments in braces, (* *) and // are dropped.
std::vector<std::string> PascalTokens(std::string_view text) {
    std::vector<std::string> tokens;
    std::size_t at = 0;
    auto skipPast = [&](std::string_view closing) {
        const std::size_t end = text.find(closing, at);
        at = end == std::string_view::npos ? text.size() : end + closing.size();
    };
    while (at < text.size()) {
        const char c = text[at];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else if (c == '{') {
            skipPast("}");
        } else if (text.substr(at, 2) == "(*") {
            skipPast("*)");
        } else if (text.substr(at, 2) == "//") {
            skipPast("\n");
        } else if (c == '\'') {
            std::string value = "'";
            for (++at; at < text.size(); ++at) {
                if (text[at] != '\'') {
                    value += text[at];
                } else if (at + 1 < text.size() && text[at + 1] == '\'') {
                    value += '\'';
                    ++at;
                } else {
                    ++at;
                    break;
                }
            }
            tokens.push_back(value);
        } else if (IsWordChar(c)) {
            const std::size_t start = at;
            while (at < text.size() && IsWordChar(text[at])) ++at;
            tokens.emplace_back(text.substr(start, at - start));
        } else {
            tokens.emplace_back(1, c);
            ++at;
        }
    }
    return tokens;
}

}  // namespace

std::vector<ContainedUnit> ContainedUnits(std::string_view dpk) {
    const auto tokens = PascalTokens(dpk);
    std::size_t at = 0;
    while (at < tokens.size() && !EqualsIgnoreCase(tokens[at], "contains")) ++at;
    if (at == tokens.size()) throw ToolError("the package project has no 'contains' clause");

    std::vector<ContainedUnit> units;
    auto malformed = [] { return ToolError("the 'contains' clause of the package project is malformed"); };
    for (++at;; ++at) {
        if (at >= tokens.size() || !IsWordChar(tokens[at][0])) throw malformed();
        ContainedUnit unit{tokens[at], tokens[at] + ".pas"};
        if (at + 2 < tokens.size() && EqualsIgnoreCase(tokens[at + 1], "in") && tokens[at + 2][0] == '\'') {
            unit.path = tokens[at + 2].substr(1);
            at += 2;
        }
        units.push_back(std::move(unit));
        if (++at >= tokens.size()) throw malformed();
        if (tokens[at] == ";") return units;
        if (tokens[at] != ",") throw malformed();
    }
}

std::vector<std::string> RequiredPackages(std::string_view dpk) {
    const auto tokens = PascalTokens(dpk);
    std::size_t at = 0;
    while (at < tokens.size() && !EqualsIgnoreCase(tokens[at], "requires")) ++at;
    std::vector<std::string> names;
    for (++at; at < tokens.size() && tokens[at] != ";"; ++at)
        if (tokens[at] != ",") names.push_back(tokens[at]);
    return names;
}

std::string RequiredPackageFile(const std::string& name, std::string_view projectFile) {
    static constexpr std::string_view IdePackages[] = {"rtl", "vcl", "vclx", "designide", "dbrtl", "vcldb"};
    const bool ides = std::any_of(std::begin(IdePackages), std::end(IdePackages),
                                  [&](std::string_view own) { return EqualsIgnoreCase(name, own); });
    if (!ides) return name + ".bpl";
    const std::string stem = StemOf(projectFile);
    const std::size_t digits = stem.find_last_not_of("0123456789") + 1;
    return name + stem.substr(digits) + "0.bpl";
}

bool IgnoreCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
}

Macros ProjectMacros(std::string_view bpk) {
    static const std::regex element(R"re(<([A-Za-z_][A-Za-z0-9_]*)\s+value="([^"]*)"\s*/>)re");
    Macros macros;
    const std::string text(bpk);
    for (std::sregex_iterator it(text.begin(), text.end(), element), end; it != end; ++it)
        macros[(*it)[1]] = (*it)[2];
    return macros;
}

Macros MakeMacros(std::string_view makefile) {
    static const std::regex definition(R"re(^([A-Za-z_][A-Za-z0-9_]*)[ \t]*=[ \t]*(.*?)[ \t\r]*$)re");
    Macros macros;
    std::size_t start = 0;
    while (start < makefile.size()) {
        const std::size_t end = std::min(makefile.find('\n', start), makefile.size());
        const std::string line(makefile.substr(start, end - start));
        std::smatch match;
        if (std::regex_match(line, match, definition)) macros[match[1]] = match[2];
        start = end + 1;
    }
    return macros;
}

std::string ExpandMacros(std::string_view text, const Macros& macros, const EnvironmentLookup& environment) {
    constexpr int kMaxDepth = 16;  // a macro that names itself ends here instead of looping
    auto expand = [&](auto& self, std::string_view part, int depth) -> std::string {
        std::string result;
        std::size_t at = 0;
        while (at < part.size()) {
            const std::size_t open = part.find("$(", at);
            const std::size_t close = open == std::string_view::npos ? open : part.find(')', open);
            if (close == std::string_view::npos) {
                result += part.substr(at);
                break;
            }
            result += part.substr(at, open - at);
            const std::string name(part.substr(open + 2, close - open - 2));
            if (const auto macro = macros.find(name); macro != macros.end()) {
                if (depth < kMaxDepth) result += self(self, macro->second, depth + 1);
            } else if (const auto variable = environment(name)) {
                result += *variable;
            }
            at = close + 1;
        }
        return result;
    };
    return expand(expand, text, 0);
}

std::vector<std::string> SplitWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (true) {
        at = text.find_first_not_of(" \t\r\n", at);
        if (at == std::string_view::npos) return words;
        const std::size_t end = std::min(text.find_first_of(" \t\r\n", at), text.size());
        words.emplace_back(text.substr(at, end - at));
        at = end;
    }
}

unsigned CountLines(std::string_view text) {
    unsigned lines = 0;
    for (char c : text) lines += c == '\n';
    return lines + (!text.empty() && text.back() != '\n');
}

}  // namespace stubs
