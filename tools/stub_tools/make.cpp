#include <string>
#include <vector>

#include "tools/stub_tools/package_project.h"
#include "tools/stub_tools/paths.h"
#include "tools/stub_tools/tool_run.h"
#include "tools/stub_tools/tools.h"

namespace stubs {
namespace {

struct MakeVariable {
    const char* name;
    bool quoted;
};
constexpr MakeVariable kMakeVariables[] = {{"MYUNITOUTDIR", true}, {"MYBPLDIR", true}, {"MYDCPDIR", true},
                                           {"LIBDIR", false},      {"HPPDIR", false},  {"BPILIBDIR", false}};

// The folder a variable names, once its form is checked: in quotes or without, never empty.
std::string FolderVariable(const Host& host, const MakeVariable& variable) {
    const auto value = host.Environment(variable.name);
    if (!value) throw ToolError(std::string("environment variable ") + variable.name + " is not set");
    const std::string form = variable.quoted ? "a folder in double quotes" : "a folder without quotes";
    const auto wrong = [&] {
        return ToolError(std::string("environment variable ") + variable.name + " must be " + form + ", not '" +
                         *value + "'");
    };
    std::string folder = *value;
    if (variable.quoted) {
        if (folder.size() < 2 || folder.front() != '"' || folder.back() != '"') throw wrong();
        folder = folder.substr(1, folder.size() - 2);
    }
    if (folder.empty() || folder.find('"') != std::string::npos) throw wrong();
    return folder;
}

// The variables must be there in their forms, and the three symbol folders must agree.
void CheckMakeVariables(ToolRun& run) {
    std::vector<std::string> folders;
    for (const MakeVariable& variable : kMakeVariables) {
        folders.push_back(FolderVariable(run.host(), variable));
        run.Line(std::string(variable.name) + " = " + *run.host().Environment(variable.name));
    }
    const std::string& dcpDir = folders[2];
    if (!EqualsIgnoreCase(dcpDir, folders[3]) || !EqualsIgnoreCase(dcpDir, folders[5]))
        throw ToolError("MYDCPDIR, LIBDIR and BPILIBDIR name different folders");
}

int Make(ToolRun& run, const Arguments& arguments) {
    if (arguments.size() != 1 || !StartsWithIgnoreCase(arguments[0], "-f") || !HasExtension(arguments[0], ".mak"))
        throw ToolError("usage: make -f<project>.mak");
    Host& host = run.host();
    const std::string makePath = JoinPath(host.CurrentDirectory(), arguments[0].substr(2));
    const std::string packageDir = FolderOf(makePath);
    const std::string stem = StemOf(makePath);

    run.MisbehaveOnRequest(FileNameOf(makePath));
    const auto makefile = host.ReadFile(makePath);
    if (!makefile) throw ToolError("Unable to open makefile '" + makePath + "'");
    CheckMakeVariables(run);

    const Macros macros = MakeMacros(*makefile);
    const auto environment = [&host](const std::string& name) { return host.Environment(name); };
    const std::string hppDir = ExpandMacros("$(HPPOUTDIR)", macros, environment);
    if (hppDir.empty()) throw ToolError("HPPOUTDIR names no folder: is the make template missing?");

    unsigned lines = CountLines(*makefile);
    std::string hintFile = FileNameOf(makePath);
    for (const std::string& unitFile : SplitWords(ExpandMacros("$(PASFILES)", macros, environment))) {
        const std::string sourcePath = JoinPath(packageDir, unitFile);
        const auto source = host.ReadFile(sourcePath);
        if (!source) throw ToolError("File not found: '" + unitFile + "'");
        const std::string unit = StemOf(sourcePath);
        const std::string made = " of unit " + unit + " from " + sourcePath + "\r\n";
        lines += CountLines(*source);
        run.Line(sourcePath + ":");
        run.Write(ChangeExtension(sourcePath, ".obj"), "object file" + made);
        run.Write(ChangeExtension(sourcePath, ".dcu"), "compiled unit" + made);
        run.Write(JoinPath(hppDir, unit + ".hpp"), "C++ header" + made);
        hintFile = sourcePath;
    }
    run.OemHint(hintFile);

    run.Line("Linking " + stem + ".bpl");
    const std::string made = " of package " + stem + " from " + makePath + "\r\n";
    std::vector<std::string> imports;
    for (const std::string& library : SplitWords(ExpandMacros("$(PACKAGES)", macros, environment)))
        imports.push_back(RequiredPackageFile(StemOf(library), makePath));
    for (const char* extension : {".obj", ".tds", ".bpl", ".bpi", ".lib"}) {
        const std::string path = JoinPath(packageDir, stem + extension);
        const std::string data = std::string("made file ") + stem + extension + made;
        if (std::string_view(extension) == ".bpl")
            run.WritePackage(path, FileNameOf(makePath), imports, data);
        else
            run.Write(path, data);
    }
    return run.Succeed(lines);
}

}  // namespace

int RunMake(const Arguments& arguments, Host& host) {
    return RunTool(host, "make", [&](ToolRun& run) { return Make(run, arguments); });
}

}  // namespace stubs
