// engine_run install|uninstall|restore [--compile] [--no-register] [--bpl=DIR] [NAME=ACTION ...]
//
// Undoes first what the journal of a run cut short holds, printing the message setup.exe would
// show ("restore" does only that).
// Starts the installer's data from the current folder (a distribution folder) and runs the
// engine as the compile page would. NAME is an IDE's display name, ACTION one of install, none,
// uninstall; IDEs not named are left alone. The engine's messages go to standard output.
// Exit code: 0 when the run succeeded, 1 when it reported failure, 2 on an error.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "engine/compiler.h"
#include "engine/journal.h"
#include "platform/win32/win32_machine.h"
#include "system/text.h"

namespace {

engine::TTargetAction ParseAction(const std::string& text) {
    if (text == "install") return engine::taInstall;
    if (text == "uninstall") return engine::taUninstall;
    if (text == "none") return engine::taNone;
    throw std::runtime_error("unknown action \"" + text + "\"");
}

engine::TTargetOptions& FindTarget(engine::TInstallData& data, const std::string& name) {
    for (int i = 0; i < data.TargetOptions->Count(); ++i)
        if (sys::SameText((*data.TargetOptions)[i].Target.DisplayName(), name)) return (*data.TargetOptions)[i];
    throw std::runtime_error("no IDE \"" + name + "\"");
}

}  // namespace

int main(int argc, char** argv) {
    platform::win32::Win32Machine machine;
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.empty() || (args[0] != "install" && args[0] != "uninstall" && args[0] != "restore"))
            throw std::runtime_error("usage: engine_run install|uninstall|restore [options] [NAME=ACTION ...]");
        // As setup.exe starts: a run cut short is undone first; its message comes first.
        const std::string restored =
            engine::journal::RestoreMessage(engine::journal::RestoreInterruptedRuns(machine.platform));
        if (!restored.empty()) std::printf("%s\n", restored.c_str());
        if (args[0] == "restore") return 0;
        cmdline::TCmdOptions options(machine.files);
        engine::TInstallData data(machine.platform, options);
        bool compile = false, doRegister = true;
        std::string bplDir;
        for (std::size_t i = 1; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (arg == "--compile") {
                compile = true;
            } else if (arg == "--no-register") {
                doRegister = false;
            } else if (arg.rfind("--bpl=", 0) == 0) {
                bplDir = arg.substr(6);
            } else {
                const auto equals = arg.find_last_of('=');
                if (equals == std::string::npos) throw std::runtime_error("expected NAME=ACTION: " + arg);
                auto& target = FindTarget(data, arg.substr(0, equals));
                target.Action = ParseAction(arg.substr(equals + 1));
                target.CompilePackages = compile;
                target.IDERegistration = doRegister;
                if (!bplDir.empty()) target.BPLDir = bplDir;
            }
        }
        if (args[0] == "uninstall") data.State = engine::isUninstall;
        data.SaveToRegistry();
        engine::TCompiler compiler(data);
        compiler.OnMessage = [](const std::string& line, bool&) {
            std::printf("%s\n", line.c_str());
            std::fflush(stdout);
        };
        const bool ok = args[0] == "uninstall" ? compiler.Uninstall() : compiler.Install();
        compiler.SaveLog();
        return ok ? 0 : 1;
    } catch (const std::exception& error) {
        std::printf("error: %s\n", error.what());
        return 2;
    }
}
