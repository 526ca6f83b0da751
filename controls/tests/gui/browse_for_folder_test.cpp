// TBrowseForFolderDialog with the real shell folder browser: old shells refused, the chosen
// item's names, OK decided by the accept event, the status line, positions, the help button, root
// folders and filtering.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "controls/tests/gui/dialog_driver.h"
#include "controls/win32/browse_for_folder_dialog.h"
#include "controls/win32/folder_filter.h"
#include "wizard/display_scale.h"

namespace controls::win32 {
namespace {

using namespace testing;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string WindowsFolder() {
    char path[MAX_PATH] = {};
    ::GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

RECT ClientRectIn(HWND window, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class BrowseForFolder : public ::testing::Test {
protected:
    std::string windows = WindowsFolder();
    std::string system = windows + "\\system32";
    TBrowseForFolderDialog dialog;

    void TearDown() override { PendingUser() = nullptr; }
};

TEST_F(BrowseForFolder, AShellOlderThanVersionFourIsRefused) {
    EXPECT_GE(TBrowseForFolderDialog::InstalledShellVersion(), 0x40000u);
    TBrowseForFolderDialog old(nullptr, 0x30000);
    try {
        old.Execute();
        ADD_FAILURE() << "an old shell must be refused";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Shell not compatible with BrowseForFolder");
    }
}

TEST_F(BrowseForFolder, OpensOnTheDirectoryAndReturnsTheChosenItemsNames) {
    dialog.Directory = windows;
    dialog.Title = "Choose Destination Location";
    std::string preselected;
    bool titleShown = false;
    std::vector<std::string> changes;
    int initialized = 0;
    dialog.OnInitialized = [&](TBrowseForFolder&) { ++initialized; };
    dialog.OnChange = [&](TBrowseForFolder&, const std::string& directory) { changes.push_back(Lower(directory)); };
    WhenDialogShows([&](HWND window) {
        preselected = SelectedTreeItem(window);
        titleShown = ::FindWindowExA(window, nullptr, "Static", "Choose Destination Location") != nullptr;
        Select(window, system);
        ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(initialized, 1);
    EXPECT_STRCASEEQ(preselected.c_str(), "windows");
    EXPECT_TRUE(titleShown);
    EXPECT_STRCASEEQ(dialog.Directory.c_str(), system.c_str()) << "the parsing name of a folder is its path";
    EXPECT_EQ(Lower(dialog.DisplayName).substr(dialog.DisplayName.size() - 8), "system32");
    EXPECT_NE(std::find(changes.begin(), changes.end(), Lower(system)), changes.end());
}

TEST_F(BrowseForFolder, CancelLeavesTheDirectoryAndANameOfNothingOpensWithoutPreselection) {
    dialog.Directory = "C:\\no such folder\\anywhere";
    bool opened = false;
    WhenDialogShows([&](HWND window) {
        opened = true;
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(opened);
    EXPECT_EQ(dialog.Directory, "C:\\no such folder\\anywhere");
}

TEST_F(BrowseForFolder, TheAcceptEventDecidesWhetherOkIsEnabled) {
    dialog.OnAcceptChange = [](TBrowseForFolder&, const std::string& folder, bool& accept) {
        accept = Lower(folder).find("system32") == std::string::npos;
    };
    bool okOnSystem = true;
    bool okOnWindows = false;
    // Reads OK once the dialog has handled what the selection queued.
    auto okAfterSelecting = [](HWND window, const std::string& path) {
        SelectAndSettle(window, path);
        return ::IsWindowEnabled(::GetDlgItem(window, IDOK)) != FALSE;
    };
    WhenDialogShows([&](HWND window) {
        okOnSystem = okAfterSelecting(window, system);
        okOnWindows = okAfterSelecting(window, windows);
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    EXPECT_FALSE(okOnSystem);
    EXPECT_TRUE(okOnWindows);
}

TEST_F(BrowseForFolder, TheOldStyleStatusLineShowsTheShortenedPathOrTheFixedText) {
    namespace fs = std::filesystem;
    const fs::path deep = fs::temp_directory_path() / "a folder with a rather long name for the status line" /
                          "and another folder below it with a long name" / "Leaf";
    fs::create_directories(deep);
    dialog.SetOptions({odStatusAvailable});
    std::string shortened;
    std::string fixed;
    int statusWidth = 0;
    std::string selected;
    WhenDialogShows([&](HWND window) {
        // The old style may still be filling its tree when it first shows: select until it takes.
        for (int attempt = 0; attempt < 20 && selected != "Leaf"; ++attempt) {
            SelectAndSettle(window, deep.string());
            selected = SelectedTreeItem(window);
        }
        shortened = WindowText(::GetDlgItem(window, 0x3743));
        ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    ASSERT_EQ(selected, "Leaf");
    EXPECT_NE(shortened.find("..."), std::string::npos) << shortened;
    EXPECT_EQ(shortened.substr(shortened.size() - 5), "\\Leaf") << shortened;
    EXPECT_LT(shortened.size(), deep.string().size());

    dialog.StatusText = "Pick the folder for the components";
    WhenDialogShows([&](HWND window) {
        SelectAndSettle(window, deep.string());
        const HWND status = ::GetDlgItem(window, 0x3743);
        fixed = WindowText(status);
        statusWidth = ClientRectIn(window, status).right;
        ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    EXPECT_EQ(fixed, "Pick the folder for the components");
    EXPECT_GT(statusWidth, 0);
    fs::remove_all(fs::temp_directory_path() / "a folder with a rather long name for the status line");
}

TEST_F(BrowseForFolder, PositionsApplyToTheRealDialogInBothStyles) {
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const FrameMetrics metrics{::GetSystemMetrics(SM_CXDLGFRAME), ::GetSystemMetrics(SM_CYDLGFRAME),
                               ::GetSystemMetrics(SM_CYCAPTION)};
    for (const TBrowseOptions options : {kDefaultBrowseOptions, TBrowseOptions{odStatusAvailable}}) {
        for (const TFolderPos position : {fpTopLeft, fpBottomRight, fpScreenCenter}) {
            SCOPED_TRACE(std::to_string(position) + (options == kDefaultBrowseOptions ? " new style" : " old style"));
            dialog.SetOptions(options);
            dialog.Position = position;
            RECT placed{};
            RECT client{};
            WhenDialogShows([&](HWND window) {
                ::GetWindowRect(window, &placed);
                ::GetClientRect(window, &client);
                ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            });
            dialog.Execute();
            const auto expected = FolderDialogPosition(position, {work.left, work.top, work.right, work.bottom},
                                                       {client.right, client.bottom}, {}, metrics);
            ASSERT_TRUE(expected.has_value());
            EXPECT_EQ(placed.left, expected->x);
            EXPECT_EQ(placed.top, expected->y);
        }
    }
}

// Whether another shown button of the dialog covers part of this one.
bool OverlapsAnotherButton(HWND dialog, HWND button) {
    const RECT mine = ClientRectIn(dialog, button);
    for (HWND other = ::FindWindowExA(dialog, nullptr, "Button", nullptr); other;
         other = ::FindWindowExA(dialog, other, "Button", nullptr)) {
        RECT overlap{};
        const RECT theirs = ClientRectIn(dialog, other);
        if (other != button && ::IsWindowVisible(other) && ::IntersectRect(&overlap, &mine, &theirs)) return true;
    }
    return false;
}

TEST_F(BrowseForFolder, TheHelpButtonSitsLeftBesideTheOthersKeepsToTheBottomAndAsksForHelp) {
    dialog.HelpContext = 42;
    std::vector<int> helpAsked;
    dialog.OnHelp = [&](int context) { helpAsked.push_back(context); };
    for (const TBrowseOptions options : {TBrowseOptions{odStatusAvailable}, kDefaultBrowseOptions}) {
        const bool newStyle = options.Contains(odNewDialogStyle);
        SCOPED_TRACE(newStyle ? "new style" : "old style");
        dialog.SetOptions(options);
        RECT before{};
        RECT after{};
        int gapBefore = 0;
        int gapAfter = 0;
        bool found = false;
        bool overlaps = true;
        WhenDialogShows([&](HWND window) {
            const HWND help = ::FindWindowExA(window, nullptr, "Button", "&Help");
            found = help != nullptr;
            if (found) {
                overlaps = OverlapsAnotherButton(window, help);
                RECT client{};
                ::GetClientRect(window, &client);
                before = ClientRectIn(window, help);
                gapBefore = client.bottom - before.top;
                RECT frame{};
                ::GetWindowRect(window, &frame);
                ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + 60, frame.bottom - frame.top + 80,
                               SWP_NOMOVE | SWP_NOZORDER);
                ::GetClientRect(window, &client);
                after = ClientRectIn(window, help);
                gapAfter = client.bottom - after.top;
                ::SendMessageA(help, BM_CLICK, 0, 0);
            }
            ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        });
        dialog.Execute();
        ASSERT_TRUE(found);
        EXPECT_FALSE(overlaps);
        if (!newStyle) {
            EXPECT_EQ(before.left, 12);
        }
        EXPECT_EQ(after.left, before.left);
        if (newStyle) {
            // Only the new style can be resized; the button moves with the bottom edge.
            EXPECT_GT(after.top, before.top);
            EXPECT_EQ(gapAfter, gapBefore);
        }
    }
    EXPECT_EQ(helpAsked, (std::vector<int>{42, 42}));
}

// At another display scale the added button keeps to the dialog's own measure: the dialog's
// font, its buttons' size, and its margin scaled.
TEST_F(BrowseForFolder, AtAnotherScaleTheHelpButtonTakesTheDialogsFontAndSize) {
    wizard::DisplayDpiOverride scale(144);
    dialog.HelpContext = 42;
    dialog.SetOptions({odStatusAvailable});
    RECT help{}, ok{};
    HFONT helpFont = nullptr, dialogFont = nullptr;
    WhenDialogShows([&](HWND window) {
        const HWND button = ::FindWindowExA(window, nullptr, "Button", "&Help");
        if (button) {
            help = ClientRectIn(window, button);
            ok = ClientRectIn(window, ::GetDlgItem(window, IDOK));
            helpFont = reinterpret_cast<HFONT>(::SendMessageA(button, WM_GETFONT, 0, 0));
            dialogFont = reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0));
        }
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    EXPECT_EQ(help.left, 18) << "12 pixels at 96 DPI";
    EXPECT_EQ(help.right - help.left, ok.right - ok.left);
    EXPECT_EQ(help.bottom - help.top, ok.bottom - ok.top);
    EXPECT_EQ(help.top, ok.top);
    EXPECT_NE(helpFont, nullptr);
    EXPECT_EQ(helpFont, dialogFont);
}

TEST_F(BrowseForFolder, SpecialRootFoldersResolveToTheirPathsAndLimitTheTree) {
    dialog.SetRootDirectory(fdWindows);
    EXPECT_STRCASEEQ(dialog.RootDirectoryPath().c_str(), windows.c_str());
    EXPECT_FALSE(dialog.RootDirectoryPathStored());
    dialog.SetRootDirectory(fdNoSpecialFolder);
    EXPECT_STRCASEEQ(dialog.RootDirectoryPath().c_str(), windows.c_str()) << "the special folder's path is kept";
    EXPECT_TRUE(dialog.RootDirectoryPathStored());

    std::string rootItem;
    WhenDialogShows([&](HWND window) {
        const HWND tree = ::FindWindowExA(window, nullptr, WC_TREEVIEWA, nullptr);
        const auto root = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        char text[MAX_PATH] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = root;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        rootItem = text;
        ::PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.Execute();
    EXPECT_STRCASEEQ(rootItem.c_str(), "windows");
}

// The filter the dialog installs at the shell's filter site, asked as the shell asks it.
TEST_F(BrowseForFolder, TheFilterDecidesItemsByParsingNameAndSetsObjectClassesPerFolder) {
    std::vector<std::string> asked;
    dialog.OnShouldShow = [&](TBrowseForFolder&, const std::string& item, bool& doShow) {
        asked.push_back(Lower(item));
        doShow = Lower(item).find("system32") == std::string::npos;
    };
    std::string enumFolder;
    dialog.OnGetEnumFlags = [&](TBrowseForFolder&, const std::string& folder, TObjectClasses& flags) {
        enumFolder = Lower(folder);
        flags = flags.With(ocIncludeHidden);
    };
    auto* filter = new FolderFilter(dialog);
    UniqueCom<IShellFolder> desktop;
    ASSERT_TRUE(SUCCEEDED(::SHGetDesktopFolder(desktop.put())));
    UniqueCom<IShellFolder> windowsFolder;
    const UniquePidl windowsItem = ItemFromParsingName(windows);
    ASSERT_TRUE(windowsItem);
    ASSERT_TRUE(SUCCEEDED(desktop.get()->BindToObject(windowsItem.get(), nullptr, IID_IShellFolder,
                                                      reinterpret_cast<void**>(windowsFolder.put()))));
    auto child = [&](const char* name) {
        const UniquePidl full = ItemFromParsingName(windows + "\\" + name);
        return UniquePidl(::ILClone(::ILFindLastID(full.get())));
    };
    EXPECT_EQ(filter->ShouldShow(windowsFolder.get(), windowsItem.get(), child("system32").get()), S_FALSE);
    EXPECT_EQ(filter->ShouldShow(windowsFolder.get(), windowsItem.get(), child("fonts").get()), S_OK);
    EXPECT_EQ(asked, (std::vector<std::string>{Lower(system), Lower(windows + "\\fonts")}));

    DWORD flags = SHCONTF_FOLDERS | 0x2000;  // a bit beyond the object classes stays
    EXPECT_EQ(filter->GetEnumFlags(windowsFolder.get(), windowsItem.get(), nullptr, &flags), S_OK);
    EXPECT_EQ(flags, DWORD{SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN | 0x2000});
    EXPECT_EQ(enumFolder, Lower(windows));

    filter->Detach();  // after the run the filter no longer reaches the dialog
    EXPECT_EQ(filter->ShouldShow(windowsFolder.get(), windowsItem.get(), child("system32").get()), S_OK);
    filter->Release();
}

}  // namespace
}  // namespace controls::win32
