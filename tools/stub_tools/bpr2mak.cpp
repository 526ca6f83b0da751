#include <string>

#include "tools/stub_tools/package_project.h"
#include "tools/stub_tools/paths.h"
#include "tools/stub_tools/tool_run.h"
#include "tools/stub_tools/tools.h"

namespace stubs {
namespace {

int Convert(ToolRun& run, const Arguments& arguments) {
    if (arguments.size() != 2 || !StartsWithIgnoreCase(arguments[0], "-t") || arguments[0].size() == 2 ||
        !HasExtension(arguments[1], ".bpk"))
        throw ToolError("usage: bpr2mak -t<template> <project>.bpk");
    Host& host = run.host();
    const std::string templatePath = JoinPath(host.CurrentDirectory(), arguments[0].substr(2));
    const std::string projectPath = JoinPath(host.CurrentDirectory(), arguments[1]);

    run.Line("Loading project " + projectPath);
    run.MisbehaveOnRequest(FileNameOf(projectPath));
    const auto project = host.ReadFile(projectPath);
    if (!project) throw ToolError("File not found: '" + projectPath + "'");
    const auto makeTemplate = host.ReadFile(templatePath);
    if (!makeTemplate) throw ToolError("Template not found: '" + templatePath + "'");

    const std::string makePath = ChangeExtension(projectPath, ".mak");
    std::string makefile = "# " + FileNameOf(makePath) + ": made by bpr2mak from " + FileNameOf(projectPath) +
                           " and " + FileNameOf(templatePath) + "\r\n";
    for (const auto& [name, value] : ProjectMacros(*project)) makefile += name + " = " + value + "\r\n";
    makefile += "\r\n" + *makeTemplate;
    run.Line("Writing " + makePath);
    run.Write(makePath, makefile);
    return run.Succeed(CountLines(makefile));
}

}  // namespace

int RunBpr2Mak(const Arguments& arguments, Host& host) {
    return RunTool(host, "bpr2mak", [&](ToolRun& run) { return Convert(run, arguments); });
}

}  // namespace stubs
