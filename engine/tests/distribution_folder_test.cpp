// The distribution's files are found in setup's own folder or in the current directory, each
// where it belongs; the two differ when setup is started from elsewhere.

#include <gtest/gtest.h>

#include "engine/tests/testing/engine_machine.h"

namespace {

using namespace enginetest;

TEST_F(CompilerTest, TheExtractorRunsInTheProgramFolderAndTheLogGoesToTheCurrentOne) {
    machine.files.CreateDirectory("C:\\Work");
    machine.files.WriteFile("C:\\Work\\version", "2.4.1.17");
    machine.system.currentDirectory = "C:\\Work";
    ASSERT_TRUE(InstallAll());
    ASSERT_FALSE(machine.processes.Invocations().empty());
    EXPECT_EQ(machine.processes.Invocations()[0].command, "unrar.exe");
    EXPECT_EQ(machine.processes.Invocations()[0].directory, "C:\\Dist");
    compiler.reset();
    EXPECT_TRUE(Exists("C:\\Work\\install.log"));
    EXPECT_FALSE(Exists("C:\\Dist\\install.log"));
}

}  // namespace
