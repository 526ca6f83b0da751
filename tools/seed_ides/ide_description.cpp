#include "tools/seed_ides/ide_description.h"

#include <sstream>

#include "system/text.h"

namespace seeding {

namespace {

struct Section {
    DescribedIde described;
    bool hasRoot = false;
    bool knownReplaced = false, disabledReplaced = false, ideReplaced = false;
};

[[noreturn]] void Fail(int line, const std::string& what) {
    throw DescriptionError("line " + std::to_string(line) + ": " + what);
}

bool ParseFlag(const std::string& value, int line) {
    if (sys::SameText(value, "yes")) return true;
    if (sys::SameText(value, "no")) return false;
    Fail(line, "expected yes or no, not \"" + value + "\"");
}

std::optional<std::string> Optional(const std::string& value) {
    if (value == "(none)") return std::nullopt;
    return value;
}

void AddPackage(std::vector<PackageValue>& list, bool& replaced, const std::string& value) {
    if (!replaced) list.clear();
    replaced = true;
    const auto bar = value.find('|');
    if (bar == std::string::npos)
        list.push_back({value, ""});
    else
        list.push_back({sys::Trim(value.substr(0, bar)), sys::Trim(value.substr(bar + 1))});
}

void Apply(Section& section, const std::string& name, const std::string& value, int line) {
    SeededIde& ide = section.described.ide;
    if (name == "root") {
        const SeededIde typical = TypicalIde(ide.productKey, ide.keyName, value);
        ide = typical;
        section.hasRoot = true;
    } else if (!section.hasRoot) {
        Fail(line, "\"root\" must come first in a section");
    } else if (name == "edition") {
        ide.edition = Optional(value);
    } else if (name == "version-value") {
        ide.versionValue = Optional(value);
    } else if (name == "registry-name") {
        ide.registryName = value;
    } else if (name == "app") {
        ide.app = value;
    } else if (name == "search-path") {
        ide.searchPath = Optional(value);
    } else if (name == "browsing-path") {
        ide.browsingPath = Optional(value);
    } else if (name == "package-search-path") {
        ide.packageSearchPath = Optional(value);
    } else if (name == "debug-dcus-path") {
        ide.debugDcusPath = Optional(value);
    } else if (name == "bpl-output") {
        ide.bplOutput = Optional(value);
    } else if (name == "dcp-output") {
        ide.dcpOutput = Optional(value);
    } else if (name == "known-package") {
        AddPackage(ide.knownPackages, section.knownReplaced, value);
    } else if (name == "disabled-package") {
        AddPackage(ide.disabledPackages, section.disabledReplaced, value);
    } else if (name == "known-ide-package") {
        AddPackage(ide.knownIdePackages, section.ideReplaced, value);
    } else if (name == "machine-key") {
        ide.machineKey = ParseFlag(value, line);
    } else if (name == "user-key") {
        ide.userKey = ParseFlag(value, line);
    } else if (name == "library-key") {
        ide.libraryKey = ParseFlag(value, line);
    } else if (name == "debugging-key") {
        ide.debuggingKey = ParseFlag(value, line);
    } else if (name == "package-keys") {
        ide.packageKeys = ParseFlag(value, line);
    } else if (name == "zeos") {
        ide.zeos = ParseFlag(value, line);
    } else if (name == "mydac") {
        ide.mydac = ParseFlag(value, line);
    } else if (name == "odac") {
        ide.odac = ParseFlag(value, line);
    } else if (name == "bpl-on-path") {
        ide.bplOnPath = ParseFlag(value, line);
    } else if (name == "file") {
        ide.files.push_back(value);
    } else if (name == "running") {
        section.described.running = ParseFlag(value, line);
    } else if (name == "stub-tools") {
        section.described.stubTools = ParseFlag(value, line);
    } else if (name == "projects-module") {
        section.described.projectsModule = value;
    } else {
        Fail(line, "unknown setting \"" + name + "\"");
    }
}

}  // namespace

std::vector<DescribedIde> ParseDescription(const std::string& text) {
    std::vector<DescribedIde> result;
    std::optional<Section> section;
    auto finish = [&](int line) {
        if (!section) return;
        if (!section->hasRoot) Fail(line, "section without \"root\"");
        result.push_back(section->described);
    };
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        const std::string line = sys::Trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        if (line.front() == '[') {
            if (line.back() != ']') Fail(number, "section header without \"]\"");
            finish(number);
            const std::string header = sys::Trim(line.substr(1, line.size() - 2));
            const auto blank = header.find_last_of(' ');
            if (blank == std::string::npos) Fail(number, "expected [Product VersionKey]");
            section.emplace();
            section->described.ide.productKey = sys::Trim(header.substr(0, blank));
            section->described.ide.keyName = header.substr(blank + 1);
            continue;
        }
        const auto equals = line.find('=');
        if (!section || equals == std::string::npos) Fail(number, "expected name = value");
        Apply(*section, sys::Trim(line.substr(0, equals)), sys::Trim(line.substr(equals + 1)),
              number);
    }
    finish(number);
    return result;
}

}  // namespace seeding
