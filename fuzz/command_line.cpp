// The installer's command line: arguments separated by NUL bytes, as argv cannot hold one. The
// parser never fails; the help decision is the last "--help", "/?" or "-h" (any case) unless a
// later one ends in "-"; a string option keeps the value of its last argument; the JCL path is
// an existing folder or empty.

#include <optional>

#include "cmdline/cmd_options.h"
#include "fuzz/support/fuzz_support.h"
#include "platform/memory/memory_file_system.h"
#include "system/file_utils.h"
#include "system/text.h"

namespace {

// A JCL folder with a file in it. One for every input: making folders per run would cost more
// than the parse.
struct JclDisk {
    JclDisk() {
        files.CreateDirectory("C:\\Jcl");
        files.CreateDirectory("C:\\Jcl\\Source");
        files.WriteFile("C:\\Jcl\\readme.txt", "");
    }
    platform::memory::MemoryFileSystem files;
};

platform::memory::MemoryFileSystem& Files() {
    static JclDisk disk;
    return disk.files;
}

// The value the last argument starting with the option's name gives, if any did.
std::optional<std::string> LastValue(const std::vector<std::string>& arguments, std::string_view name) {
    std::optional<std::string> value;
    for (const auto& argument : arguments)
        if (sys::StartsWithText(argument, name, true)) value = argument.substr(name.size());
    return value;
}

bool HelpWanted(const std::vector<std::string>& arguments) {
    bool wanted = false;
    for (const auto& argument : arguments)
        for (std::string_view spelling : {"--help", "/?", "-h"}) {
            if (sys::SameText(argument, spelling)) wanted = true;
            if (sys::SameText(argument, std::string(spelling) + "-")) wanted = false;
        }
    return wanted;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> arguments = fuzz::Fields(fuzz::Bytes(data, size), '\0');
    cmdline::TCmdOptions options(Files());
    options.Parse(arguments);

    FUZZ_CHECK(options.ShowHelp == HelpWanted(arguments));
    FUZZ_CHECK(options.Lang == LastValue(arguments, "--lang=").value_or(""));
    FUZZ_CHECK(options.RegistryDelphi == LastValue(arguments, "-rDelphi=").value_or(""));
    FUZZ_CHECK(options.RegistryBCB == LastValue(arguments, "-rBCB=").value_or(""));
    FUZZ_CHECK(options.RegistryBDS == LastValue(arguments, "-rBDS=").value_or(""));
    FUZZ_CHECK(options.JclPath.empty() || sys::DirExists(Files(), options.JclPath));
    if (options.ShowHelp) FUZZ_CHECK(options.HelpScreen().find("--help ") != std::string::npos);
    return 0;
}
