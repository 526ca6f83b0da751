// Macro expansion of an IDE's paths, with the root folder, the path and the environment fuzzed.
// Input lines: the root folder, the path, then NAME=value for each environment variable.
//
// Properties: each "$(" of the path gives at most one value, so the output is bounded by the
// input and the longest value; inserted values are never scanned for macros again (the output
// stays the same, position by position, when every "$" inside the values is replaced); a path
// below the root that gets the root macro expands as it did before.

#include <algorithm>

#include "fuzz/support/fuzz_support.h"
#include "ide/compile_target.h"
#include "platform/memory/memory_machine.h"
#include "system/text.h"

namespace {

using Environment = std::map<std::string, std::string, platform::memory::LessText>;

constexpr char kMark = '\x01';  // stands for "$" inside values in the second expansion

// A BDS installation with nothing in the registry; its folders are the test's. One for every
// input: building it costs more than the expansion.
struct BdsMachine {
    BdsMachine() { target.ProjectsDir = "C:\\Users\\Anna\\Documents\\Borland Studio Projects"; }
    platform::memory::MemoryMachine machine;
    ide::TCompileTarget target{machine.platform, "BDS", "BDS", "3.0"};
};

// Lends an input's root folder and environment to the machine and takes them back when the run
// ends, so that each run frees what it allocated (else libFuzzer looks for a leak every time).
class Lent {
public:
    Lent(BdsMachine& bds, std::string& root, Environment& environment)
        : bds_(bds), root_(root), environment_(environment) {
        Swap();
    }
    ~Lent() { Swap(); }
    Lent(const Lent&) = delete;
    Lent& operator=(const Lent&) = delete;

private:
    void Swap() {
        std::swap(bds_.target.RootDir, root_);
        std::swap(bds_.machine.system.environment, environment_);
    }
    BdsMachine& bds_;
    std::string& root_;
    Environment& environment_;
};

std::string Masked(std::string text) {
    std::replace(text.begin(), text.end(), '$', kMark);
    return text;
}

bool SameExceptMarks(const std::string& plain, const std::string& masked) {
    if (plain.size() != masked.size()) return false;
    for (std::size_t i = 0; i < plain.size(); ++i)
        if (plain[i] != masked[i] && !(plain[i] == '$' && masked[i] == kMark)) return false;
    return true;
}

std::size_t CountMacroStarts(const std::string& path) {
    std::size_t count = 0;
    for (std::size_t at = path.find("$("); at != std::string::npos; at = path.find("$(", at + 2)) ++count;
    return count;
}

// A variable whose value is its own name (as written in a path) is left in place unexpanded;
// masking its "$" would change that decision, not the scanning.
bool NamesItself(const Environment& environment) {
    return std::any_of(environment.begin(), environment.end(), [](const auto& variable) {
        return variable.second.find('$') != std::string::npos && sys::SameText(variable.first, variable.second);
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static BdsMachine bds;
    const std::vector<std::string> lines = fuzz::Fields(fuzz::Bytes(data, size), '\n');
    if (lines.size() < 2) return 0;
    const std::string& path = lines[1];
    std::string root = lines[0];
    Environment environment;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        const std::size_t equals = lines[i].find('=');
        environment.insert_or_assign(lines[i].substr(0, equals),
                                     equals == std::string::npos ? "" : lines[i].substr(equals + 1));
    }
    const bool namesItself = NamesItself(environment);
    std::size_t longestValue = std::max(root.size(), bds.target.ProjectsDir.size());
    for (const auto& variable : environment) longestValue = std::max(longestValue, variable.second.size());
    const bool rootHasMacro = root.find("$(") != std::string::npos;

    const Lent lent(bds, root, environment);
    ide::TCompileTarget& target = bds.target;
    const std::string expanded = target.ExpandPathMacros(path);
    FUZZ_CHECK(expanded.size() <= path.size() + CountMacroStarts(path) * longestValue);

    const std::string withMacro = target.InsertRootMacro(path);
    if (withMacro != path) {
        FUZZ_CHECK(withMacro.starts_with("$(BDS)\\"));
        if (!rootHasMacro) FUZZ_CHECK(sys::SameText(target.ExpandPathMacros(withMacro), expanded));
    }

    if (!namesItself) {
        target.RootDir = Masked(target.RootDir);
        for (auto& variable : bds.machine.system.environment) variable.second = Masked(variable.second);
        FUZZ_CHECK(SameExceptMarks(expanded, target.ExpandPathMacros(path)));
    }
    return 0;
}
