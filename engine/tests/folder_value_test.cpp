#include <gtest/gtest.h>

#include "engine/folder_safety.h"

namespace {

using engine::FolderValueFault;

const std::string BadCharacter =
    "it holds a character that a folder name cannot hold (\" < > | ? * : or a control character)";

TEST(FolderValueTest, FullPathsOfAnyKindPass) {
    for (const char* folder : {"C:\\D7\\Projects\\Bpl", "d:\\", "C:/Out/Bpl", "\\\\server\\share\\Bpl",
                               "C:\\Program Files\\Quorvex~2 Setup", "C:\\PROGRA~1\\Bpl", "C:\\a\\.\\b",
                               "C:\\x\\..y\\z", "C:\\Bpl "})
        EXPECT_EQ(FolderValueFault(folder), std::nullopt) << folder;
}

TEST(FolderValueTest, EachRefusalNamesItsReason) {
    EXPECT_EQ(FolderValueFault(""), "no folder is given");
    for (const char* folder : {"Bpl", "\\Bpl", "C:Bpl", "C:", " \\\\server\\share", "\\\\server", "\\\\server\\",
                               "\\\\\\share", "\\\\.\\PhysicalDrive0"})
        EXPECT_EQ(FolderValueFault(folder), "it is not a full path") << folder;
    for (const char* folder : {"C:\\Q\" -y", "C:\\Q<", "C:\\Q>", "C:\\Q|x", "C:\\Q?", "C:\\Q*", "C:\\Q\tx",
                               "C:\\Q\nx", "C:\\Q:x", "::\\Q"})
        EXPECT_EQ(FolderValueFault(folder), BadCharacter) << folder;
    for (const char* folder : {"C:\\x\\..", "C:\\..\\Windows", "C:/x/../y", "C:\\x\\...", "C:\\x\\.. \\y",
                               "\\\\server\\share\\..\\other"})
        EXPECT_EQ(FolderValueFault(folder), "it holds a \"..\" name") << folder;
}

}  // namespace
