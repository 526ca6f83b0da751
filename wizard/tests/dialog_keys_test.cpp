// The dialog keys: what Tab, Enter, Escape and the arrows do from each kind of focused control,
// and which captions mark an access key.

#include "wizard/dialog_keys.h"

#include <gtest/gtest.h>

namespace wizard {
namespace {

TEST(DialogKeys, EnterPressesTheFocusedPushButtonOrElseTheDefaultOne) {
    EXPECT_EQ(DialogKeyAction(TDialogKey::Enter, false, {.pushButton = true}), TKeyAction::ClickFocused);
    EXPECT_EQ(DialogKeyAction(TDialogKey::Enter, false, {}), TKeyAction::ClickDefault) << "a check box or an edit";
    EXPECT_EQ(DialogKeyAction(TDialogKey::Enter, true, {}), TKeyAction::ClickDefault);
    EXPECT_EQ(DialogKeyAction(TDialogKey::Enter, false, {.takesEnter = true}), TKeyAction::PassOn)
        << "an edit that inserts line breaks keeps Enter";
    EXPECT_EQ(DialogKeyAction(TDialogKey::Enter, false, {.listDropped = true}), TKeyAction::PassOn)
        << "Enter closes an open list";
}

TEST(DialogKeys, EscapePressesCancelUnlessAListIsOpen) {
    EXPECT_EQ(DialogKeyAction(TDialogKey::Escape, false, {}), TKeyAction::ClickCancel);
    EXPECT_EQ(DialogKeyAction(TDialogKey::Escape, false, {.pushButton = true}), TKeyAction::ClickCancel);
    EXPECT_EQ(DialogKeyAction(TDialogKey::Escape, false, {.takesEnter = true}), TKeyAction::ClickCancel);
    EXPECT_EQ(DialogKeyAction(TDialogKey::Escape, false, {.listDropped = true}), TKeyAction::PassOn);
}

TEST(DialogKeys, TabMovesFromEveryControlAndOtherKeysStayWithIt) {
    for (const TFocusedControl focused : {TFocusedControl{}, TFocusedControl{.takesEnter = true},
                                          TFocusedControl{.listDropped = true}}) {
        EXPECT_EQ(DialogKeyAction(TDialogKey::Tab, false, focused), TKeyAction::NextControl);
        EXPECT_EQ(DialogKeyAction(TDialogKey::Tab, true, focused), TKeyAction::PriorControl);
        EXPECT_EQ(DialogKeyAction(TDialogKey::Other, false, focused), TKeyAction::PassOn);
    }
}

TEST(DialogKeys, ArrowsMoveAmongCheckBoxesAndStayWithOtherControls) {
    for (const bool shift : {false, true}) {
        EXPECT_EQ(DialogKeyAction(TDialogKey::ArrowOn, shift, {.checkBox = true}), TKeyAction::NextCheckBox);
        EXPECT_EQ(DialogKeyAction(TDialogKey::ArrowBack, shift, {.checkBox = true}), TKeyAction::PriorCheckBox);
    }
    // A radio button chooses with them, an edit moves its caret, a list its selection.
    for (const TFocusedControl focused : {TFocusedControl{}, TFocusedControl{.pushButton = true},
                                          TFocusedControl{.takesEnter = true}, TFocusedControl{.listDropped = true}}) {
        EXPECT_EQ(DialogKeyAction(TDialogKey::ArrowOn, false, focused), TKeyAction::PassOn);
        EXPECT_EQ(DialogKeyAction(TDialogKey::ArrowBack, false, focused), TKeyAction::PassOn);
    }
}

TEST(DialogKeys, ACaptionMarksItsFirstSingleAmpersandsLetter) {
    EXPECT_TRUE(HasAccessKey("&Next >", 'n'));
    EXPECT_TRUE(HasAccessKey("&Next >", 'N'));
    EXPECT_TRUE(HasAccessKey("< &Back", 'b'));
    EXPECT_FALSE(HasAccessKey("< &Back", 'n'));
    EXPECT_FALSE(HasAccessKey("Cancel", 'c'));
    EXPECT_FALSE(HasAccessKey("R&&D", 'd')) << "a plain ampersand";
    EXPECT_TRUE(HasAccessKey("R&&D &Folder", 'f'));
    EXPECT_FALSE(HasAccessKey("&Open &Folder", 'f')) << "only the first mark counts";
    EXPECT_FALSE(HasAccessKey("Trailing&", '&'));
}

}  // namespace
}  // namespace wizard
