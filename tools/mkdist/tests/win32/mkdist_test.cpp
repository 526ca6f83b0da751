// The distributions that mkdist made (see CMakeLists.txt), extracted by their own unrar.exe with
// the installer's command line into a folder with blanks: they give the sample product.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "tools/sample_product/sample_product.h"
#include "tools/stub_tools/testing/fixture_process.h"

namespace {

using ::testing::HasSubstr;

std::string DistRoot() {
    const char* root = std::getenv("QV_DIST_ROOT");
    return root ? root : "(QV_DIST_ROOT is not set)";
}

fixtures::RunResult ExtractAsTheInstaller(const std::string& dist, const std::string& destination) {
    return fixtures::RunExact("unrar.exe x -c- -cfg- -dh -idp -o+ -r -y  data.arc *.* \"" + destination + "\"", dist,
                              dist + "\\unrar.exe");
}

// Every file below the folder, by its relative path with backslashes.
std::map<std::string, std::string> FilesBelow(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (!item.is_regular_file()) continue;
        std::string relative = std::filesystem::relative(item.path(), folder).string();
        for (char& c : relative)
            if (c == '/') c = '\\';
        files[relative] = *fixtures::ReadFile(item.path().string());
    }
    return files;
}

std::map<std::string, std::string> Expected(bool withSources) {
    std::map<std::string, std::string> files;
    for (const auto& entry : sample::SampleProduct(withSources)) files[entry.path] = entry.data;
    return files;
}

class MkdistTest : public ::testing::Test {
protected:
    fixtures::ScratchFolder scratch{"qv mkdist"};
    const std::string destination = scratch.path() + "\\Program Files\\Quorvex Test\\";
};

TEST_F(MkdistTest, ADistributionWithSourcesExtractsToTheWholeSampleProduct) {
    const std::string dist = DistRoot() + "\\with sources";
    EXPECT_EQ(fixtures::ReadFile(dist + "\\version"), "3.0.0.1 Test Edition\r\n");
    EXPECT_TRUE(fixtures::ReadFile(dist + "\\withsrcs"));
    EXPECT_TRUE(fixtures::ReadFile(dist + "\\freevers"));
    EXPECT_TRUE(fixtures::ReadFile(dist + "\\setup.exe"));

    const auto run = ExtractAsTheInstaller(dist, destination);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("Sources\\QvReg.pas"));
    EXPECT_EQ(FilesBelow(destination), Expected(true));
}

TEST_F(MkdistTest, APlainDistributionHasNoSourcesAndNoMarkers) {
    const std::string dist = DistRoot() + "\\plain";
    EXPECT_EQ(fixtures::ReadFile(dist + "\\version"), "2.4.1.17 Standard Edition\r\n");
    EXPECT_FALSE(fixtures::ReadFile(dist + "\\withsrcs"));
    EXPECT_FALSE(fixtures::ReadFile(dist + "\\freevers"));

    const auto run = ExtractAsTheInstaller(dist, destination);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(FilesBelow(destination), Expected(false));
    EXPECT_FALSE(std::filesystem::exists(destination + "Sources"));
}

TEST_F(MkdistTest, ItsArchiveDamagedFailsAndExtractsNothing) {
    const std::string dist = scratch.path() + "\\damaged dist";
    fixtures::CopyProgram("unrar.exe", dist);
    std::string archive = *fixtures::ReadFile(DistRoot() + "\\plain\\data.arc");
    archive[archive.size() / 2] ^= 0x01;
    fixtures::WriteFile(dist + "\\data.arc", archive);

    const auto run = ExtractAsTheInstaller(dist, destination);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_THAT(run.output, HasSubstr("data.arc: "));
    EXPECT_FALSE(std::filesystem::exists(destination));
}

}  // namespace
