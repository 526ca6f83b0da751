#include <string>
#include <vector>

#include "tools/stub_tools/package_project.h"
#include "tools/stub_tools/paths.h"
#include "tools/stub_tools/tool_run.h"
#include "tools/stub_tools/tools.h"

namespace stubs {
namespace {

struct DccOptions {
    std::vector<std::string> unitDirs;
    std::string unitOutDir;
    std::string bplDir;
    std::string dcpDir;
    std::vector<std::string> defines;
    std::string project;
};

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        if (end > start) items.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

DccOptions ParseArguments(const Arguments& arguments) {
    DccOptions options;
    auto valueOf = [](const std::string& argument, std::size_t switchLength) {
        if (argument.size() == switchLength) throw ToolError("switch " + argument + " needs a value");
        return argument.substr(switchLength);
    };
    for (const std::string& argument : arguments) {
        if (!argument.starts_with('-')) {
            if (!options.project.empty()) throw ToolError("more than one project: '" + argument + "'");
            options.project = argument;
        } else if (EqualsIgnoreCase(argument, "-B") || EqualsIgnoreCase(argument, "-H+") ||
                   EqualsIgnoreCase(argument, "-H-") || EqualsIgnoreCase(argument, "-W+") ||
                   EqualsIgnoreCase(argument, "-W-")) {
            // Build all, hints and warnings: this compiler always does the same.
        } else if (StartsWithIgnoreCase(argument, "-LE")) {
            options.bplDir = valueOf(argument, 3);
        } else if (StartsWithIgnoreCase(argument, "-LN")) {
            options.dcpDir = valueOf(argument, 3);
        } else if (StartsWithIgnoreCase(argument, "-U")) {
            for (auto& dir : SplitList(valueOf(argument, 2))) options.unitDirs.push_back(std::move(dir));
        } else if (StartsWithIgnoreCase(argument, "-N")) {
            options.unitOutDir = valueOf(argument, 2);
        } else if (StartsWithIgnoreCase(argument, "-D")) {
            for (auto& define : SplitList(valueOf(argument, 2))) options.defines.push_back(std::move(define));
        } else {
            throw ToolError("unknown switch " + argument);
        }
    }
    if (options.project.empty()) throw ToolError("no package project given");
    if (!HasExtension(options.project, ".dpk")) throw ToolError("not a package project: '" + options.project + "'");
    if (options.unitOutDir.empty()) throw ToolError("no unit output folder (-N) given");
    if (options.bplDir.empty()) throw ToolError("no package output folder (-LE) given");
    if (options.dcpDir.empty()) throw ToolError("no package symbol output folder (-LN) given");
    return options;
}

bool HasCompiledUnit(const Host& host, const DccOptions& options, const std::string& unit) {
    for (const std::string& dir : options.unitDirs)
        if (host.ReadFile(JoinPath(dir, unit + ".dcu"))) return true;
    return false;
}

std::string DefinesText(const DccOptions& options) {
    std::string text;
    for (const std::string& define : options.defines) text += (text.empty() ? "" : ";") + define;
    return text.empty() ? "(none)" : text;
}

int Compile(ToolRun& run, const DccOptions& options) {
    Host& host = run.host();
    const std::string projectPath = JoinPath(host.CurrentDirectory(), options.project);
    const std::string stem = StemOf(projectPath);
    run.Line("Compiling " + FileNameOf(projectPath));
    run.MisbehaveOnRequest(FileNameOf(projectPath));

    const auto project = host.ReadFile(projectPath);
    if (!project) throw ToolError("File not found: '" + options.project + "'");
    unsigned lines = CountLines(*project);
    std::string hintFile = options.project;
    for (const ContainedUnit& unit : ContainedUnits(*project)) {
        const std::string sourcePath = JoinPath(FolderOf(projectPath), unit.path);
        const auto source = host.ReadFile(sourcePath);
        if (!source) {
            if (HasCompiledUnit(host, options, unit.name)) continue;
            throw ToolError("File not found: '" + unit.name + ".pas'");
        }
        const unsigned unitLines = CountLines(*source);
        lines += unitLines;
        run.Line(sourcePath + "(" + std::to_string(unitLines) + ")");
        run.Write(JoinPath(options.unitOutDir, unit.name + ".dcu"), "compiled unit " + unit.name + " from " + sourcePath + "\r\n");
        hintFile = sourcePath;
    }
    run.OemHint(hintFile);

    const std::string made = " from " + projectPath + ", defines: " + DefinesText(options) + "\r\n";
    std::vector<std::string> imports;
    for (const std::string& name : RequiredPackages(*project)) imports.push_back(RequiredPackageFile(name, projectPath));
    run.WritePackage(JoinPath(options.bplDir, stem + ".bpl"), FileNameOf(projectPath), imports,
                     "compiled package " + stem + ".bpl" + made);
    run.Write(JoinPath(options.dcpDir, stem + ".dcp"), "compiled package symbols " + stem + ".dcp" + made);
    return run.Succeed(lines);
}

}  // namespace

int RunDcc32(const Arguments& arguments, Host& host) {
    return RunTool(host, "dcc32", [&](ToolRun& run) { return Compile(run, ParseArguments(arguments)); });
}

}  // namespace stubs
