// The directory edit frame against a scripted folder dialog.

#include <gtest/gtest.h>

#include <functional>

#include "controls/dir_edit_browse.h"

namespace controls {
namespace {

struct FakeEdit : DirEditView {
    std::string text;
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override { text = t; }
};

// A dialog whose user does what the test says while it is open.
struct ScriptedDialog : FolderDialog {
    std::function<bool(ScriptedDialog&)> user;
    std::vector<std::string> addedButtons;
    std::string openedOn;
    std::string text;
    bool* closed = nullptr;  // outlives the dialog, which goes when the browse ends

    bool Execute() override {
        openedOn = FolderName;
        text = DialogText;
        if (OnCustomize) OnCustomize(*this);
        return user(*this);
    }
    bool AddTextButton(const std::string& caption, int id) override {
        EXPECT_EQ(id, kAddedButtonId);
        addedButtons.push_back(caption);
        return true;
    }
    void Close() override { *closed = true; }
    // The user clicks the added button; false when nobody handled it.
    bool ClickAdded() {
        bool handled = false;
        if (OnCommand) OnCommand(*this, kAddedButtonId, 0, handled);
        return handled;
    }
};

class DirEditFrame : public ::testing::Test {
protected:
    FakeEdit edit;
    bool closed = false;
    std::function<bool(ScriptedDialog&)> user;
    TFrameDirEditBrowse frame{edit, [this] {
                                  auto dialog = std::make_unique<ScriptedDialog>();
                                  dialog->user = user;
                                  dialog->closed = &closed;
                                  return dialog;
                              }};
    std::vector<std::string> changes;

    void SetUp() override {
        edit.text = "C:\\Program Files\\Quorvex";
        frame.OnChange = [this](TFrameDirEditBrowse&, void*, std::string& dir) { changes.push_back(dir); };
    }
    static std::function<bool(ScriptedDialog&)> Choose(const std::string& folder) {
        return [folder](ScriptedDialog& d) {
            d.FolderName = folder;
            return true;
        };
    }
};

TEST_F(DirEditFrame, OpensOnTheEditsFolderAndWritesTheChoiceBack) {
    std::string openedOn;
    user = [&](ScriptedDialog& d) {
        openedOn = d.FolderName;
        EXPECT_EQ(d.text, "Please select the directory below:");
        EXPECT_TRUE(d.addedButtons.empty()) << "no \"No directory\" without AllowEmpty";
        d.FolderName = "D:\\Components";
        return true;
    };
    frame.BtnDirBrowseClick();
    EXPECT_EQ(openedOn, "C:\\Program Files\\Quorvex");
    EXPECT_EQ(edit.text, "D:\\Components");
    EXPECT_EQ(changes, (std::vector<std::string>{"D:\\Components"}));
}

TEST_F(DirEditFrame, CancelChangesNothing) {
    user = [](ScriptedDialog& d) {
        d.FolderName = "D:\\Elsewhere";
        return false;
    };
    frame.EditDirectoryDblClick();
    EXPECT_EQ(edit.text, "C:\\Program Files\\Quorvex");
    EXPECT_TRUE(changes.empty());
}

TEST_F(DirEditFrame, TheChangeHandlerMayRewriteTheFolder) {
    frame.OnChange = [](TFrameDirEditBrowse&, void*, std::string& dir) { dir += "\\Quorvex"; };
    user = Choose("D:\\Tools");
    frame.BtnDirBrowseClick();
    EXPECT_EQ(edit.text, "D:\\Tools\\Quorvex");
}

TEST_F(DirEditFrame, AnEmptyChoiceReachesTheEditOnlyWithAllowEmpty) {
    user = Choose("");
    frame.BtnDirBrowseClick();
    EXPECT_EQ(changes, (std::vector<std::string>{""}));
    EXPECT_EQ(edit.text, "C:\\Program Files\\Quorvex");
    frame.AllowEmpty = true;
    frame.BtnDirBrowseClick();
    EXPECT_EQ(edit.text, "");
}

TEST_F(DirEditFrame, NoDirectoryEmptiesTheEditAndClosesTheDialog) {
    frame.AllowEmpty = true;
    user = [&](ScriptedDialog& d) {
        EXPECT_EQ(d.addedButtons, (std::vector<std::string>{"No directory"}));
        EXPECT_TRUE(d.ClickAdded());
        EXPECT_EQ(edit.text, "") << "emptied at once";
        return false;  // the dialog closed without OK
    };
    frame.BtnDirBrowseClick();
    EXPECT_TRUE(closed);
    EXPECT_EQ(edit.text, "");
    EXPECT_EQ(changes, (std::vector<std::string>{""}));
}

TEST_F(DirEditFrame, TheAddedButtonIsNotHandledWithoutAllowEmpty) {
    user = [](ScriptedDialog& d) {
        EXPECT_FALSE(d.ClickAdded());
        return false;
    };
    frame.BtnDirBrowseClick();
    EXPECT_FALSE(closed);
    EXPECT_EQ(edit.text, "C:\\Program Files\\Quorvex");
}

TEST_F(DirEditFrame, ASecondBrowseWhileOneRunsIsIgnored) {
    int opened = 0;
    user = [&](ScriptedDialog& d) {
        ++opened;
        EXPECT_EQ(frame.BrowseTag(), 1);
        frame.EditDirectoryDblClick();  // a double-click reaching the edit while the dialog is up
        d.FolderName = "E:\\";
        return true;
    };
    frame.BtnDirBrowseClick();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(frame.BrowseTag(), 0);
}

TEST_F(DirEditFrame, TheBusyMarkerIsClearedWhenTheBrowseFails) {
    user = [](ScriptedDialog&) -> bool { throw std::runtime_error("shell failure"); };
    EXPECT_THROW(frame.BtnDirBrowseClick(), std::runtime_error);
    EXPECT_EQ(frame.BrowseTag(), 0);
    user = Choose("F:\\Next");
    frame.BtnDirBrowseClick();
    EXPECT_EQ(edit.text, "F:\\Next");
}

}  // namespace
}  // namespace controls
