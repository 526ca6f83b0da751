#include "cmdline/cmd_options.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_file_system.h"

namespace {

class CmdOptionsTest : public ::testing::Test {
protected:
    const cmdline::TCmdOptions& Parse(const std::vector<std::string>& args) {
        parsed = std::make_unique<cmdline::TCmdOptions>(files);
        parsed->Parse(args);
        return *parsed;
    }
    platform::memory::MemoryFileSystem files;
    std::unique_ptr<cmdline::TCmdOptions> parsed;
};

TEST_F(CmdOptionsTest, DefaultsWhenNoArguments) {
    const auto& o = Parse({});
    EXPECT_FALSE(o.IgnoreIDE || o.KeepFiles || o.IgnoreBCB || o.IgnoreDelphi || o.ShowHelp ||
                 o.AutoUpdate);
    EXPECT_EQ(o.JclPath + o.Lang + o.RegistryDelphi + o.RegistryBCB + o.RegistryBDS, "");
}

TEST_F(CmdOptionsTest, BooleanNamesIgnoreCaseAndTrailingMinusSwitchesOff) {
    EXPECT_TRUE(Parse({"--IGNORE-BCB"}).IgnoreBCB);
    EXPECT_FALSE(Parse({"--IGNORE-BCB", "--ignore-bcb-"}).IgnoreBCB);
    EXPECT_TRUE(Parse({"--ignore-bcb-", "--ignore-bcb"}).IgnoreBCB);
    EXPECT_FALSE(Parse({"--help-"}).ShowHelp);
    // A boolean name must match whole: no prefix or suffix beyond the minus sign.
    EXPECT_FALSE(Parse({"--ignore-bcbx"}).IgnoreBCB);
    EXPECT_FALSE(Parse({"--ignore-bc"}).IgnoreBCB);
}

TEST_F(CmdOptionsTest, HelpHasThreeSpellings) {
    EXPECT_TRUE(Parse({"--help"}).ShowHelp);
    EXPECT_TRUE(Parse({"/?"}).ShowHelp);
    EXPECT_TRUE(Parse({"-H"}).ShowHelp);
}

TEST_F(CmdOptionsTest, StringValuesKeepTheirCaseAndMayBeEmpty) {
    EXPECT_EQ(Parse({"-rbds=Win32Only"}).RegistryBDS, "Win32Only");
    const auto& o = Parse({"-rDelphi=Custom", "-rDelphi="});
    EXPECT_EQ(o.RegistryDelphi, "");
    EXPECT_EQ(Parse({"--LANG=de"}).Lang, "de");
    EXPECT_EQ(Parse({"-rBCB=a=b c"}).RegistryBCB, "a=b c");
}

TEST_F(CmdOptionsTest, UnknownArgumentsAreIgnored) {
    const auto& o = Parse({"--unknown", "", "-r", "ignore-ide", "--ignore-ide"});
    EXPECT_TRUE(o.IgnoreIDE);
    EXPECT_FALSE(o.ShowHelp);
}

TEST_F(CmdOptionsTest, JclPathKeepsOnlyExistingFolders) {
    ASSERT_TRUE(files.CreateDirectory("C:\\Jcl"));
    ASSERT_TRUE(files.CreateDirectory("C:\\Jcl\\Source"));
    files.WriteFile("C:\\Jcl\\file.txt", "x");
    EXPECT_EQ(Parse({"--jcl-path=C:\\NoSuch"}).JclPath, "");
    EXPECT_EQ(Parse({"--jcl-path=c:\\jcl"}).JclPath, "c:\\jcl");
    EXPECT_EQ(Parse({"--jcl-path=C:\\Jcl\\Source", "--jcl-path=C:\\NoSuch"}).JclPath,
              "C:\\Jcl\\Source");
    EXPECT_EQ(Parse({"--jcl-path=C:\\Jcl", "--jcl-path=C:\\Jcl\\file.txt"}).JclPath, "C:\\Jcl");
}

TEST_F(CmdOptionsTest, HelpScreenIsExact) {
    const std::string expected =
        "\r\n"
        "--ignore-ide          Start installer even if Delphi/BCB is running.\r\n"
        "--ignore-bcb          Do not display and compile BCB versions.\r\n"
        "--ignore-delphi       Do not display and compile Delphi versions.\r\n"
        "\r\n"
        "--jcl-path=X          Set the JCL root directory to X.\r\n"
        "--keep-files          Do not call \"clean\".\r\n"
        "--autoupdate          Updates all IDEs where ZIRE 3 is installed.\r\n"
        "\r\n"
        "-rDelphi=X            Sets the Registry path for the Delphi IDEs.\r\n"
        "-rBCB=X               Sets the Registry path for the BCB IDEs.\r\n"
        "-rBDS=X               Sets the Registry path for the BDS IDEs. (-rBDS=Win32Only)\r\n"
        "--lang=X              Sets the Installer's language to X.\r\n"
        "--help                Show this screen.\r\n"
        "\r\n";
    cmdline::TCmdOptions options(files);
    EXPECT_EQ(options.HelpScreen(), expected);
}

// A derived option set extends the table; long names are not cut.
class ExtendedOptions : public cmdline::TCmdOptions {
public:
    using TCmdOptions::TCmdOptions;
    std::string Profile;

protected:
    void BuildOptionTable() override {
        TCmdOptions::BuildOptionTable();
        AddSeparator();
        AddStringOption("--installation-profile=", "Use profile X.", Profile);
    }
};

TEST_F(CmdOptionsTest, DerivedTableParsesAndListsItsOwnItems) {
    ExtendedOptions options(files);
    options.Parse({"--installation-profile=Full", "--ignore-ide"});
    EXPECT_EQ(options.Profile, "Full");
    EXPECT_TRUE(options.IgnoreIDE);
    const std::string screen = options.HelpScreen();
    EXPECT_NE(screen.find("\r\n\r\n--installation-profile=X  Use profile X.\r\n"),
              std::string::npos);
}

}  // namespace
