#include "tools/stub_tools/tool_run.h"

#include <cctype>
#include <charconv>
#include <string>

#include "tools/pe_package/pe_package.h"
#include "tools/stub_tools/paths.h"

namespace stubs {
namespace {

// "Größe" and "Prüfe" in the OEM code page: ö 0x94, ß 0xE1, ü 0x81.
constexpr std::string_view kOemHint =
    "(12): Variable 'Gr\x94\xE1" "e' wurde deklariert, aber in 'Pr\x81" "fe' nie verwendet";

unsigned HangSeconds(const Host& host) {
    const auto text = host.Environment("QV_STUB_HANG_SECONDS");
    unsigned seconds = kDefaultHangSeconds;
    if (text) std::from_chars(text->data(), text->data() + text->size(), seconds);
    return seconds;
}

bool Enabled(const Host& host, const std::string& name) {
    const auto value = host.Environment(name);
    return value && !value->empty() && *value != "0";
}

}  // namespace

std::string PackageBaseName(std::string_view fileName) {
    std::string stem = StemOf(fileName);
    std::size_t end = stem.size();
    while (end > 0 && std::isdigit(static_cast<unsigned char>(stem[end - 1]))) --end;
    if (end == stem.size() || end < 2) return stem;
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(stem[end - 1])));
    return kind == 'D' || kind == 'C' ? stem.substr(0, end - 1) : stem;
}

bool SelectorMatches(std::string_view list, std::string_view tool, std::string_view projectFile) {
    const std::string stem = StemOf(projectFile);
    const std::string base = PackageBaseName(projectFile);
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find_first_of(";,", start), list.size());
        std::string_view entry = list.substr(start, end - start);
        start = end + 1;
        const std::size_t colon = entry.find(':');
        if (colon != std::string_view::npos) {
            if (!EqualsIgnoreCase(entry.substr(0, colon), tool)) continue;
            entry.remove_prefix(colon + 1);
        }
        if (entry == "*" || EqualsIgnoreCase(entry, stem) || EqualsIgnoreCase(entry, base)) return true;
    }
    return false;
}

ToolRun::ToolRun(Host& host, std::string_view tool) : host_(host), tool_(tool) {
    Line(tool_ + " stand-in for the Quorvex installer tests, version 1.0");
}

void ToolRun::Line(std::string_view text) {
    host_.Print(std::string(text) + "\r\n");
}

bool ToolRun::Requested(const char* variable, std::string_view projectFile) const {
    const auto list = host_.Environment(variable);
    return list && SelectorMatches(*list, tool_, projectFile);
}

void ToolRun::MisbehaveOnRequest(std::string_view projectFile) {
    if (Requested("QV_STUB_HANG", projectFile)) host_.Sleep(HangSeconds(host_));
    if (Requested("QV_STUB_FAIL", projectFile)) {
        Line(std::string(projectFile) + "(1) Error: the build of this package was made to fail (QV_STUB_FAIL)");
        throw ToolError("could not build '" + std::string(projectFile) + "'");
    }
}

void ToolRun::OemHint(std::string_view file) {
    Line("[Hinweis] " + std::string(file) + std::string(kOemHint));
}

void ToolRun::Write(const std::string& path, std::string_view data) {
    if (!host_.WriteFile(path, data)) throw ToolError("could not create output file '" + path + "'");
}

void ToolRun::WritePackage(const std::string& path, std::string_view projectFile,
                           const std::vector<std::string>& imports, std::string_view data) {
    if (Requested("QV_STUB_NO_PACKAGE", projectFile)) return;
    Write(path, fixtures::PackageImage(imports) + std::string(data));
}

int ToolRun::Succeed(unsigned lines) {
    Line(std::to_string(lines) + " lines, 0.12 seconds, " + std::to_string(lines * 16) + " bytes code, " +
         std::to_string(lines * 2) + " bytes data.");
    return End(0);
}

int ToolRun::Fail(std::string_view message) {
    Line("Fatal: " + std::string(message));
    return End(1);
}

int ToolRun::End(int exitCode) {
    if (Enabled(host_, "QV_STUB_LONG_LINE")) host_.Print(std::string(kLongLineBytes, 'x'));
    return exitCode;
}

int RunTool(Host& host, std::string_view tool, const std::function<int(ToolRun&)>& work) {
    ToolRun run(host, tool);
    try {
        return work(run);
    } catch (const ToolError& error) {
        return run.Fail(error.what());
    }
}

}  // namespace stubs
