#pragma once
// For the Wine tests of the fixture programs: starting a program with an exact command line,
// scratch folders with blanks in their names, files and environment variables.

#include <optional>
#include <string>
#include <string_view>

namespace fixtures {

struct RunResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error, as the program wrote them
    bool timedOut = false;
};

// Starts `application` (searched as Windows does when empty) with the command line exactly as
// given, in `directory`, and waits up to the timeout; a program still running then is ended.
RunResult RunExact(const std::string& commandLine, const std::string& directory,
                   const std::string& application = "", unsigned timeoutMs = 60000);

// The folder of the running test program, where the fixture programs are built.
std::string ProgramFolder();

// A new empty folder below the temporary folder, "<label> <number>"; deleted with everything
// in it when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(std::string_view label);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Creates the folders above the file as needed.
void WriteFile(const std::string& path, std::string_view data);
std::optional<std::string> ReadFile(const std::string& path);
void CopyProgram(const std::string& name, const std::string& toFolder);

// Sets an environment variable of this process, which the programs it starts inherit, for the
// object's lifetime; the old value comes back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace fixtures
