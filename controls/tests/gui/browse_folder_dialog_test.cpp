// TBrowseFolderDialog with the real shell folder browser: who decides OK, and the help button's
// place and routing.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "controls/tests/gui/dialog_driver.h"
#include "controls/win32/browse_folder_dialog.h"

namespace controls::win32 {
namespace {

using namespace testing;

// Whether OK is enabled once the dialog has handled the selection of the folder.
bool OkAfterSelecting(HWND dialog, const std::string& path) {
    SelectAndSettle(dialog, path);
    return ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE;
}

class BrowseFolderDialog : public ::testing::Test {
protected:
    TBrowseFolderDialog dialog{nullptr};
    std::string windows = [] {
        char path[MAX_PATH] = {};
        ::GetWindowsDirectoryA(path, MAX_PATH);
        return std::string(path);
    }();

    void TearDown() override { PendingUser() = nullptr; }
};

TEST_F(BrowseFolderDialog, OkFollowsTheSelectionUnlessTheEventKeepsItDisabled) {
    bool okOnFolder = false;
    WhenDialogShows([&](HWND window) {
        okOnFolder = OkAfterSelecting(window, windows);
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    EXPECT_TRUE(okOnFolder);

    int asked = 0;
    dialog.OnEnableOKBtn = [&](TBrowseFolderDialog&, bool& enable) {
        ++asked;
        enable = false;
    };
    bool okOnWindows = true;
    bool okOnSystem = true;
    WhenDialogShows([&](HWND window) {
        okOnWindows = OkAfterSelecting(window, windows);
        okOnSystem = OkAfterSelecting(window, windows + "\\system32");
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_GE(asked, 2);
    EXPECT_FALSE(okOnWindows);
    EXPECT_FALSE(okOnSystem);
}

TEST_F(BrowseFolderDialog, TheHelpButtonSitsLeftAsLargeAsTheFirstButtonAndOpensHelpNotOnCommand) {
    dialog.HelpContext = 17;
    std::vector<int> helpShown;
    int commands = 0;
    dialog.OnHelp = [&](int context) { helpShown.push_back(context); };
    dialog.OnCommand = [&](FolderDialog&, int id, int, bool&) { commands += id == kAddedButtonId; };
    RECT help{};
    RECT first{};
    bool found = false;
    WhenDialogShows([&](HWND window) {
        const HWND button = ::FindWindowExA(window, nullptr, "Button", "&Help");
        found = button != nullptr;
        if (found) {
            ::GetWindowRect(button, &help);
            ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&help), 2);
            ::GetWindowRect(::FindWindowExA(window, nullptr, "Button", nullptr), &first);
            ::SendMessageA(button, BM_CLICK, 0, 0);
        }
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    ASSERT_TRUE(found);
    EXPECT_EQ(help.left, 12);
    EXPECT_EQ(help.right - help.left, first.right - first.left);
    EXPECT_EQ(help.bottom - help.top, first.bottom - first.top);
    EXPECT_EQ(helpShown, std::vector<int>{17});
    EXPECT_EQ(commands, 0);
}

TEST_F(BrowseFolderDialog, AHandlerThatFailsInsideTheDialogClosesItAndTheCallerGetsTheFailure) {
    // Either would unwind through the shell's dialog procedure or its callback.
    dialog.OnCustomize = [](FolderDialog&) { throw std::runtime_error("customize failed"); };
    WhenDialogShows([](HWND window) { ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_THROW(
        {
            try {
                dialog.Execute();
            } catch (const std::runtime_error& error) {
                EXPECT_STREQ(error.what(), "customize failed");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(FindBrowseDialog(), nullptr);

    dialog.OnCustomize = nullptr;
    dialog.OnCommand = [](FolderDialog&, int id, int, bool&) {
        if (id == kAddedButtonId) throw std::runtime_error("command failed");
    };
    WhenDialogShows([](HWND window) { ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(kAddedButtonId, 0), 0); });
    EXPECT_THROW(dialog.Execute(), std::runtime_error);
    EXPECT_EQ(FindBrowseDialog(), nullptr);
    EXPECT_EQ(dialog.Handle(), nullptr);

    // The failure is not kept for the next run.
    dialog.OnCommand = nullptr;
    WhenDialogShows([](HWND window) { ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(dialog.Execute());
}

}  // namespace
}  // namespace controls::win32
