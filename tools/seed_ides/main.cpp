// seed_ides DESCRIPTION-FILE: writes simulated IDE installations into the registry and the file
// system of the machine (under Wine: of the current prefix).
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_registry.h"
#include "system/text.h"
#include "tools/seed_ides/ide_description.h"

namespace {

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string ResourceSuffix(const seeding::SeededIde& ide) {
    return (!ide.keyName.empty() && ide.keyName[0] == '3') ? "90" : "71";
}

void CopyOrFail(const std::string& from, const std::string& to) {
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

// Starts the stub IDE program from the App path, detached: it outlives this tool.
void StartIde(const std::string& app) {
    CopyOrFail(OwnFolder() + "\\ide_stub.exe", app);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + app + "\" 3600";
    if (!CreateProcessA(app.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS, nullptr, nullptr, &startup, &info))
        throw std::runtime_error("cannot start " + app);
    const platform::win32::UniqueKernelHandle process(info.hProcess);
    const platform::win32::UniqueKernelHandle thread(info.hThread);
    std::printf("started %s as process %lu\n", app.c_str(), info.dwProcessId);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: seed_ides DESCRIPTION-FILE\n");
        return 2;
    }
    try {
        platform::win32::Win32FileSystem files;
        platform::win32::Win32Registry registry;
        const auto text = files.ReadFile(argv[1]);
        if (!text) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        for (const auto& described : seeding::ParseDescription(*text)) {
            const auto& ide = described.ide;
            seeding::Seed(registry, files, ide);
            if (!described.projectsModule.empty())
                CopyOrFail(OwnFolder() + "\\projects_deu.dll",
                           ide.rootDir + "\\Bin\\coreide" + ResourceSuffix(ide) + "." +
                               described.projectsModule);
            if (described.stubTools)
                for (const char* tool : {"dcc32.exe", "bpr2mak.exe", "make.exe"})
                    CopyOrFail(OwnFolder() + "\\" + tool, ide.rootDir + "\\Bin\\" + tool);
            if (described.running) StartIde(seeding::DefaultApp(ide));
            std::printf("seeded %s %s in %s\n", ide.productKey.c_str(), ide.keyName.c_str(),
                        ide.rootDir.c_str());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "seed_ides: %s\n", e.what());
        return 1;
    }
    return 0;
}
