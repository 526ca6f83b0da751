#pragma once
// What every stub does around its work, and the switches that make it misbehave. The stubs
// obey these environment variables:
//
//   QV_STUB_FAIL=LIST          fail: error lines and exit code 1, no output files
//   QV_STUB_HANG=LIST          sleep QV_STUB_HANG_SECONDS (default 600) before the work
//   QV_STUB_LONG_LINE=1        end the output with 10 MB of text and no line break
//   QV_STUB_NO_PACKAGE=LIST    succeed without writing the package file (.bpl)
//
// LIST holds entries separated by ";" or ",": a package ("tkQuorvexDsgn" matches that package
// for every IDE, "tkQuorvexDsgnD7" only for Delphi 7, "*" every package), each optionally
// limited to one tool by a prefix: "make:tkQuorvex", "bpr2mak:*", "dcc32:tkQuorvexZeos".
//
// Every run writes one hint in the OEM code page (437/850 bytes), which reads in ANSI as
//   [Hinweis] <file>(12): Variable 'Größe' wurde deklariert, aber in 'Prüfe' nie verwendet

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/stub_tools/host.h"

namespace stubs {

inline constexpr std::size_t kLongLineBytes = 10u * 1024u * 1024u;
inline constexpr unsigned kDefaultHangSeconds = 600;

// A command line or an input file the tool cannot work with: reported as a fatal error.
class ToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The package base name of a project or output file: "tkQuorvexDsgn" of "tkQuorvexDsgnC6.bpk".
std::string PackageBaseName(std::string_view fileName);

// Whether a LIST (see above) names the tool's run for the project file.
bool SelectorMatches(std::string_view list, std::string_view tool, std::string_view projectFile);

class ToolRun {
public:
    // Prints the tool's banner.
    ToolRun(Host& host, std::string_view tool);

    Host& host() { return host_; }

    void Line(std::string_view text);

    // Hangs and then fails (throws ToolError) when the environment asks it for this project.
    void MisbehaveOnRequest(std::string_view projectFile);

    // The hint with OEM characters, about the given source file.
    void OemHint(std::string_view file);

    // Writes a file of the build; a file that cannot be written is fatal, as for a compiler.
    void Write(const std::string& path, std::string_view data);
    // Writes the package file: a 32-bit DLL that imports the required packages' files, followed by
    // the text DATA. Left out when QV_STUB_NO_PACKAGE names the project.
    void WritePackage(const std::string& path, std::string_view projectFile,
                      const std::vector<std::string>& imports, std::string_view data);

    // The closing summary; then End(0).
    int Succeed(unsigned lines);
    // "Fatal: " and the message; then End(1).
    int Fail(std::string_view message);

private:
    // Whether the switch's LIST names this tool's run for the project.
    bool Requested(const char* variable, std::string_view projectFile) const;
    // The long line on request; returns the exit code.
    int End(int exitCode);

    Host& host_;
    std::string tool_;
};

// Prints the banner and does the tool's work; a ToolError ends it as a fatal error.
int RunTool(Host& host, std::string_view tool, const std::function<int(ToolRun&)>& work);

}  // namespace stubs
