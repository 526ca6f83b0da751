// unrar.exe started as the installer starts it: the program found beside the archive, the
// command line exactly the installer's, the destination a folder with blanks that does not
// exist yet.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/archive/archive.h"
#include "tools/stub_tools/testing/fixture_process.h"

namespace {

using ::testing::HasSubstr;

std::string EngineLine(const std::string& destination) {
    return "unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"" + destination + "\"";
}

class UnrarTest : public ::testing::Test {
protected:
    UnrarTest() { fixtures::CopyProgram("unrar.exe", dist); }

    void WriteArchive(const std::string& bytes) { fixtures::WriteFile(dist + "\\data.arc", bytes); }

    fixtures::RunResult Extract(const std::string& commandLine) {
        return fixtures::RunExact(commandLine, dist, dist + "\\unrar.exe");
    }

    std::vector<archive::Entry> Tree() {
        std::string binary;
        for (int round = 0; round < 3; ++round)
            for (int c = 0; c < 256; ++c) binary.push_back(static_cast<char>(c));
        return {{"Packages\\tkQuorvexD7.dpk", "package tkQuorvexD7;\r\n"},
                {"Sources\\Empty.pas", ""},
                {"Delphi 7\\Deep\\Er\\tkQuorvexD7.bpl", binary}};
    }

    fixtures::ScratchFolder scratch{"qv unrar"};
    const std::string dist = scratch.path() + "\\dist folder";
    const std::string destination = scratch.path() + "\\Program Files\\Quorvex Dest\\";
};

TEST_F(UnrarTest, ExtractsEveryFileWithItsFoldersAndOneLinePerFile) {
    WriteArchive(archive::Pack(Tree()));
    const auto run = Extract(EngineLine(destination));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    for (const archive::Entry& entry : Tree()) {
        EXPECT_EQ(fixtures::ReadFile(destination + entry.path), entry.data) << entry.path;
        EXPECT_THAT(run.output, HasSubstr(entry.path)) << entry.path;
    }
    EXPECT_THAT(run.output, HasSubstr("\r\n3 files extracted\r\n"));
}

TEST_F(UnrarTest, OverwritesExistingFilesReadOnlyOnesToo) {
    WriteArchive(archive::Pack(Tree()));
    const std::string old = destination + "Packages\\tkQuorvexD7.dpk";
    fixtures::WriteFile(old, "an older and longer version of the project");
    ::SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY);
    const auto run = Extract(EngineLine(destination));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(fixtures::ReadFile(old), "package tkQuorvexD7;\r\n");
}

TEST_F(UnrarTest, ADamagedArchiveFailsBeforeWritingAnything) {
    std::string bytes = archive::Pack(Tree());
    bytes[bytes.size() - 100] ^= 0x20;
    WriteArchive(bytes);
    const auto run = Extract(EngineLine(destination));
    EXPECT_NE(run.exitCode, 0);
    EXPECT_THAT(run.output, HasSubstr("is damaged"));
    EXPECT_FALSE(fixtures::ReadFile(destination + "Packages\\tkQuorvexD7.dpk"));

    WriteArchive(bytes.substr(0, bytes.size() / 2));
    EXPECT_NE(Extract(EngineLine(destination)).exitCode, 0);
}

TEST_F(UnrarTest, AMissingArchiveOrAnyOtherCommandLineFails) {
    const auto missing = Extract(EngineLine(destination));
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_THAT(missing.output, HasSubstr("cannot open data.arc"));

    WriteArchive(archive::Pack(Tree()));
    const std::string trimmed = destination.substr(0, destination.size() - 1);
    for (const std::string& line :
         {"unrar.exe x -c- -cfg- -dh -idp -o+ -r -y data.arc *.* \"" + destination + "\"",
          "unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"" + trimmed + "\"",
          "unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* " + destination, std::string("unrar.exe")}) {
        const auto run = Extract(line);
        EXPECT_NE(run.exitCode, 0) << line;
        EXPECT_THAT(run.output, HasSubstr("unsupported command line")) << line;
    }
    EXPECT_FALSE(fixtures::ReadFile(destination + "Packages\\tkQuorvexD7.dpk"));
}

}  // namespace
