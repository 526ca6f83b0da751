// The destination page's refusals name their real reason.

#include <gtest/gtest.h>

#include "platform/memory/memory_machine.h"
#include "setup/page_flow.h"

namespace {

TEST(Destination, EachRefusalSaysWhyAndALongNameWithATildeIsTaken) {
    platform::memory::MemoryMachine machine;
    machine.files.CreateDirectory("C:\\Setup");
    machine.files.WriteFile("C:\\Setup\\version", "2.4.1.17");
    cmdline::TCmdOptions options(machine.files);
    engine::TInstallData data(machine.platform, options);
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"Quorvex", "not a full folder path"},
        {"C:\\Q\\..\\Quorvex", "\"..\""},
        {"C:\\PROGRA~1\\Quorvex", "short 8.3 name"},
        {"C:\\Q|x", "cannot hold"},
        {"D:\\", "whole drive"},
        {"C:\\WINDOWS\\system32\\drivers", "system or of the user"},
        {"C:\\Documents and Settings\\User\\Application Data", "system or of the user"},
        {"C:\\Setup", "setup runs from it"},
        {"C:\\Tools;Libs\\Quorvex", "separates the folders of the IDEs' library paths"},
    };
    for (const auto& [folder, reason] : cases) {
        const auto refusal = setup::DestinationRefusal(data, folder);
        ASSERT_TRUE(refusal.has_value()) << folder;
        EXPECT_NE(refusal->find(std::string("\"") + folder + "\" cannot be used: "), std::string::npos) << *refusal;
        EXPECT_NE(refusal->find(reason), std::string::npos) << *refusal;
    }
    EXPECT_EQ(setup::DestinationRefusal(data, "C:\\Quorvex~2 Setup"), std::nullopt);
}

TEST(Destination, AFolderIsCheckedForWhatItIsAsTheRunWillCheckIt) {
    platform::memory::MemoryMachine machine;
    machine.files.CreateDirectory("C:\\Setup");
    machine.files.WriteFile("C:\\Setup\\version", "2.4.1.17");
    machine.files.CreateDirectory("C:\\WINDOWS");
    machine.files.CreateDirectory("C:\\Quorvex Suite");
    machine.files.SetShortName("C:\\Quorvex Suite", "QUORVE~1");
    machine.files.MapDrive('Q', "C:\\");
    machine.files.MapDrive('W', "C:\\WINDOWS");
    cmdline::TCmdOptions options(machine.files);
    engine::TInstallData data(machine.platform, options);
    for (const auto& [folder, reason] : std::vector<std::pair<const char*, const char*>>{
             {"Q:\\Setup", "setup runs from it"}, {"W:\\Quorvex", "system or of the user"}}) {
        const auto refusal = setup::DestinationRefusal(data, folder);
        ASSERT_TRUE(refusal.has_value()) << folder;
        EXPECT_NE(refusal->find(reason), std::string::npos) << *refusal;
    }
    EXPECT_EQ(setup::DestinationRefusal(data, "C:\\QUORVE~1"), std::nullopt);
    EXPECT_EQ(setup::DestinationRefusal(data, "Q:\\Quorvex Suite"), std::nullopt);
}

}  // namespace
