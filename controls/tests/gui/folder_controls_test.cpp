// The directory edit frame with the real shell folder browser: opening on the edit's folder,
// writing the choice back, drive roots, "No directory", and folder texts that name nothing.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "controls/tests/gui/dialog_driver.h"
#include "controls/win32/dir_edit_frame.h"

namespace controls::win32 {
namespace {

using namespace testing;

class FolderControls : public ::testing::Test {
protected:
    wizard::win32::UniqueWindow top{::CreateWindowExA(0, "STATIC", "Folder test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                      10, 10, 400, 200, nullptr, nullptr, nullptr, nullptr)};
    DirEditFrame frame{top.get(), 200, {10, 10, 329, 56}, static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))};
    std::string windows = WindowsFolder();
    std::vector<std::string> changes;

    void SetUp() override {
        frame.Frame().OnChange = [this](TFrameDirEditBrowse&, void*, std::string& dir) { changes.push_back(dir); };
        frame.SetText(windows);
    }
    void TearDown() override { PendingUser() = nullptr; }

    static std::string WindowsFolder() {
        char path[MAX_PATH] = {};
        ::GetWindowsDirectoryA(path, MAX_PATH);
        return path;
    }
    // Presses the browse button; the user acts once the dialog shows.
    void Browse(std::function<void(HWND)> user, HWND source = nullptr) {
        WhenDialogShows(std::move(user));
        if (source)
            ::SendMessageA(source, WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
        else
            ::SendMessageA(frame.BrowseButton(), BM_CLICK, 0, 0);
    }
};

TEST_F(FolderControls, TheFrameIsMadeOfStandardControls) {
    EXPECT_NE(::FindWindowExA(frame.Hwnd(), nullptr, "Button", "..."), nullptr);
    EXPECT_EQ(::GetDlgItem(frame.Hwnd(), kEditId), frame.EditHandle());
    char cls[16] = {};
    ::GetClassNameA(frame.EditHandle(), cls, sizeof cls);
    EXPECT_STRCASEEQ(cls, "Edit");

    // The bevel is the frame's top line; the caption sits below it and hides none of it.
    RECT bevel{};
    RECT caption{};
    RECT self{};
    ::GetWindowRect(::GetDlgItem(frame.Hwnd(), kBevelId), &bevel);
    ::GetWindowRect(::GetDlgItem(frame.Hwnd(), kCaptionId), &caption);
    ::GetWindowRect(frame.Hwnd(), &self);
    EXPECT_EQ(bevel.top, self.top);
    EXPECT_EQ(bevel.right - bevel.left, self.right - self.left);
    EXPECT_LE(bevel.bottom, caption.top);
    EXPECT_EQ(caption.top - self.top, 4);
}

TEST_F(FolderControls, OpensOnTheEditsFolderAndWritesBackTheChosenOne) {
    std::string preselected;
    bool noDirectoryButton = true;
    const std::string system = windows + "\\system32";
    Browse([&](HWND dialog) {
        preselected = SelectedTreeItem(dialog);
        noDirectoryButton = ::FindWindowExA(dialog, nullptr, "Button", "No directory") != nullptr;
        Select(dialog, system);
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STRCASEEQ(preselected.c_str(), "windows");
    EXPECT_FALSE(noDirectoryButton) << "only with AllowEmpty";
    EXPECT_STRCASEEQ(frame.Text().c_str(), system.c_str());
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(FolderControls, ADriveRootComesBackWithoutItsBackslash) {
    Browse([&](HWND dialog) {
        Select(dialog, "C:\\");
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STRCASEEQ(frame.Text().c_str(), "C:");
}

TEST_F(FolderControls, NoDirectoryEmptiesTheEdit) {
    frame.Frame().AllowEmpty = true;
    HWND button = nullptr;
    Browse([&](HWND dialog) {
        button = ::FindWindowExA(dialog, nullptr, "Button", "No directory");
        if (button) ::SendMessageA(button, BM_CLICK, 0, 0);
        else ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(frame.Text(), "");
    EXPECT_EQ(changes, (std::vector<std::string>{""}));
}

TEST_F(FolderControls, AFolderThatNamesNothingOpensWithoutPreselectionAndCancelKeepsTheText) {
    const std::string missing = "C:\\no such folder\\anywhere";
    frame.SetText(missing);
    bool opened = false;
    Browse(
        [&](HWND dialog) {
            opened = true;
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        },
        frame.EditHandle());  // by double-click on the edit
    EXPECT_TRUE(opened);
    EXPECT_EQ(frame.Text(), missing);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(frame.Frame().BrowseTag(), 0);
}

// The text of the message box the test window shows next, which is then closed; read from a timer
// that runs inside the box's modal loop.
std::string& MessageText() {
    static std::string text;
    return text;
}

void CALLBACK ReadMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND box = ::FindWindowA("#32770", "Folder test");
    if (!box || !::IsWindowVisible(box)) return;
    ::KillTimer(nullptr, timer);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (const std::string text = WindowText(child); text.find("failed") != std::string::npos) MessageText() = text;
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(FolderControls, AFailureOfTheBrowseIsShownAndTheFrameBrowsesAgain) {
    frame.Frame().OnChange = [](TFrameDirEditBrowse&, void*, std::string&) {
        throw std::runtime_error("the handler failed");
    };
    MessageText().clear();
    Browse([&](HWND dialog) {
        // The box comes once the dialog has closed and the handler has failed.
        ::SetTimer(nullptr, 0, 200, &ReadMessageBox);
        Select(dialog, windows + "\\system32");
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(MessageText(), "Browsing for a folder from \"" + windows + "\" failed: the handler failed");
    EXPECT_EQ(frame.Text(), windows) << "the failed change wrote nothing";
    EXPECT_EQ(frame.Frame().BrowseTag(), 0);

    frame.Frame().OnChange = nullptr;
    Browse([&](HWND dialog) {
        Select(dialog, "C:\\");
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_STRCASEEQ(frame.Text().c_str(), "C:");
}

}  // namespace
}  // namespace controls::win32
