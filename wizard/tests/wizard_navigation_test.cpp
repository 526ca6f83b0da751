// Page list, navigation, the guarded page switch and its events, button states and clicks.

#include <gtest/gtest.h>

#include <memory>

#include "wizard/tests/testing/fake_views.h"
#include "wizard/wizard.h"

namespace wizard {
namespace {

using testing::EventLog;
using testing::FakePageView;
using testing::FakeWizardView;

class WizardNavigation : public ::testing::Test {
protected:
    EventLog log;
    FakeWizardView host{&log};
    TWizard wizard{host};
    std::vector<std::unique_ptr<FakePageView>> views;
    std::vector<std::unique_ptr<TWizardCustomPage>> pages;

    // Handlers refer to pages of the test; the pages go before the wizard does.
    void TearDown() override {
        wizard.OnActivePageChanging = nullptr;
        wizard.OnActivePageChanged = nullptr;
        wizard.SetObserver(nullptr);
        pages.clear();
    }

    TWizardCustomPage& AddPage(const std::string& name, TWizard* owner = nullptr) {
        views.push_back(std::make_unique<FakePageView>(host, name));
        pages.push_back(std::make_unique<TWizardInteriorPage>(*views.back()));
        TWizardCustomPage& page = *pages.back();
        page.SetCaption(name);
        page.SetOwnerWizard(owner ? owner : &wizard);
        return page;
    }

    // Pages that write their events into the log.
    TWizardCustomPage& AddLoggedPage(const std::string& name) {
        TWizardCustomPage& page = AddPage(name);
        page.OnEnterPage = [this, name](TWizardCustomPage&, TWizardCustomPage*) { log.push_back(name + " enter"); };
        page.OnPage = [this, name](TWizardCustomPage&) { log.push_back(name + " page"); };
        page.OnExitPage = [this, name](TWizardCustomPage&, TWizardCustomPage*) { log.push_back(name + " exit"); };
        page.OnNextButtonClick = [this, name](TWizardCustomPage&, bool&) { log.push_back(name + " next click"); };
        return page;
    }

    std::string Active() const { return wizard.ActivePage() ? wizard.ActivePage()->Caption() : "none"; }
    void Press(TWizardButtonKind kind) { wizard.ButtonControl(kind).Click(); }
};

TEST_F(WizardNavigation, NextAndBackSkipDisabledPagesAndStopAtTheEnds) {
    AddPage("A");
    AddPage("B").SetEnabled(false);
    AddPage("C");
    int selections = 0;
    wizard.OnSelectNextPage = [&](TWizard&, TWizardCustomPage*, TWizardCustomPage*&) { ++selections; };
    wizard.Loaded();
    EXPECT_EQ(Active(), "A");

    Press(bkNext);
    EXPECT_EQ(Active(), "C");
    EXPECT_EQ(selections, 1);
    Press(bkBack);
    EXPECT_EQ(Active(), "A");

    wizard.GoLastPage();
    EXPECT_EQ(Active(), "C");
    Press(bkNext);
    EXPECT_EQ(Active(), "C");
    EXPECT_EQ(selections, 1) << "no selection event past the last page";
}

TEST_F(WizardNavigation, AJumpPassesOverOnePageThatRefusesJumpsButNotTwo) {
    AddPage("A");
    AddPage("B").SetEnableJumpToPage(false);
    AddPage("C").SetEnableJumpToPage(false);
    AddPage("D");
    wizard.Loaded();
    wizard.GoNextPage();
    EXPECT_EQ(Active(), "C");
    // A plain neighbour search ignores the flag.
    EXPECT_EQ(wizard.FindNeighbourPage(0, 1, true), pages[1].get());
}

TEST_F(WizardNavigation, SelectionHandlerMayRedirectOrCancelTheMove) {
    AddLoggedPage("A");
    AddLoggedPage("B");
    TWizardCustomPage& c = AddLoggedPage("C");
    TWizardCustomPage& off = AddLoggedPage("Off");
    off.SetEnabled(false);
    wizard.Loaded();

    TWizardCustomPage* replacement = nullptr;
    wizard.OnSelectNextPage = [&](TWizard&, TWizardCustomPage* from, TWizardCustomPage*& to) {
        EXPECT_EQ(from, pages[0].get());
        EXPECT_EQ(to, pages[1].get());
        to = replacement;
    };
    log.clear();
    wizard.GoNextPage();
    EXPECT_EQ(Active(), "A");
    EXPECT_TRUE(log.empty()) << "no page event when the handler clears the target";

    replacement = &off;
    wizard.GoNextPage();
    EXPECT_EQ(Active(), "A");
    EXPECT_TRUE(log.empty()) << "a disabled replacement is ignored";

    replacement = &c;
    wizard.GoNextPage();
    EXPECT_EQ(Active(), "C");
}

TEST_F(WizardNavigation, NextRedirectedToAnEarlierPageGoesBackThere) {
    AddLoggedPage("A");
    TWizardCustomPage& b = AddLoggedPage("B");
    AddLoggedPage("C");
    AddLoggedPage("D");
    wizard.Loaded();
    wizard.GoNextPage();
    wizard.GoNextPage();
    ASSERT_EQ(Active(), "C");

    TWizardCustomPage* target = nullptr;
    wizard.OnSelectNextPage = [&](TWizard&, TWizardCustomPage*, TWizardCustomPage*& to) {
        target = to;
        to = pages[0].get();
    };
    log.clear();
    Press(bkNext);
    EXPECT_EQ(target, pages[3].get()) << "the handler was offered D";
    EXPECT_EQ(Active(), "A");
    EXPECT_EQ(log, (EventLog{"C next click", "modal result 0", "C exit", "A enter", "A page"}));
    EXPECT_TRUE(views[0]->shown);
    EXPECT_FALSE(views[2]->shown);
    EXPECT_FALSE(wizard.ButtonControl(bkBack).Enabled()) << "A is the first page again";

    // Back at C, a redirect to a disabled earlier page is ignored: the wizard stays.
    wizard.OnSelectNextPage = nullptr;
    wizard.GoNextPage();
    wizard.GoNextPage();
    ASSERT_EQ(Active(), "C");
    b.SetEnabled(false);
    wizard.OnSelectNextPage = [&](TWizard&, TWizardCustomPage*, TWizardCustomPage*& to) { to = &b; };
    log.clear();
    Press(bkNext);
    EXPECT_EQ(Active(), "C");
    EXPECT_EQ(log, (EventLog{"C next click", "modal result 0"}));
}

TEST_F(WizardNavigation, NextFromAToBRaisesEveryEventInOrder) {
    AddLoggedPage("A");
    AddLoggedPage("B");
    wizard.Loaded();
    wizard.SetButtonClick(bkNext, [this](TWizardButtonControl&) { log.push_back("wizard next click"); });
    wizard.OnSelectNextPage = [this](TWizard&, TWizardCustomPage*, TWizardCustomPage*&) { log.push_back("select next"); };
    wizard.OnActivePageChanging = [this](TWizard&, TWizardCustomPage*&) { log.push_back("changing"); };
    wizard.OnActivePageChanged = [this](TWizard&) { log.push_back("changed"); };
    log.clear();

    Press(bkNext);
    EXPECT_EQ(log, (EventLog{"A next click", "modal result 0", "wizard next click", "select next", "changing",
                             "A exit", "B enter", "B page", "changed"}));
    EXPECT_TRUE(views[1]->shown);
    EXPECT_FALSE(views[0]->shown);
    EXPECT_EQ(host.focusedChildOf, views[1].get()) << "focus goes into the new page";
}

TEST_F(WizardNavigation, APageClickHandlerVetoesWithStop) {
    TWizardCustomPage& a = AddPage("A");
    AddPage("B");
    wizard.Loaded();
    bool wizardLevel = false;
    wizard.SetButtonClick(bkNext, [&](TWizardButtonControl&) { wizardLevel = true; });
    a.OnNextButtonClick = [](TWizardCustomPage&, bool& stop) { stop = true; };
    Press(bkNext);
    EXPECT_EQ(Active(), "A");
    EXPECT_FALSE(wizardLevel);
    EXPECT_EQ(host.modalResult, -1) << "the button's own click did not run";
}

TEST_F(WizardNavigation, CancelSetsTheModalResultBeforeTheWizardEventAndFinishDoesNotNavigate) {
    AddPage("A");
    AddPage("B");
    wizard.Loaded();
    int resultSeen = -1;
    wizard.SetButtonClick(bkCancel, [&](TWizardButtonControl& sender) {
        resultSeen = host.modalResult;
        EXPECT_EQ(sender.Kind(), bkCancel);
    });
    Press(bkCancel);
    EXPECT_EQ(resultSeen, 2);
    Press(bkFinish);
    EXPECT_EQ(Active(), "A");
    EXPECT_EQ(host.modalResult, 0);
}

TEST_F(WizardNavigation, HelpRunsThePageHandlerOrAsksForTheHelpContext) {
    TWizardCustomPage& a = AddPage("A");
    AddPage("B");
    wizard.Loaded();
    a.SetHelpContext(17);
    Press(bkHelp);
    EXPECT_EQ(host.helpShown, (std::vector<int>{17}));

    bool pageHandler = false;
    a.OnHelpButtonClick = [&](TWizardCustomPage&, bool&) { pageHandler = true; };
    Press(bkHelp);
    EXPECT_TRUE(pageHandler);
    EXPECT_EQ(host.helpShown.size(), 1u) << "the page handler replaces the help system";
    EXPECT_EQ(Active(), "A") << "help never navigates";

    TWizard empty{host};
    host.formHelpContext = 5;
    empty.ButtonControl(bkHelp).Click();
    EXPECT_EQ(host.helpShown.back(), 5);
}

TEST_F(WizardNavigation, DisablingTheActivePageMovesToAnEnabledNeighbour) {
    AddPage("A");
    AddPage("B");
    TWizardCustomPage& c = AddLoggedPage("C");
    wizard.Loaded();
    wizard.GoLastPage();
    log.clear();

    c.SetEnabled(false);
    EXPECT_EQ(Active(), "B");
    EXPECT_TRUE(log.empty()) << "the disabled page's exit event does not fire";

    pages[0]->SetEnabled(false);
    pages[1]->SetEnabled(false);
    EXPECT_EQ(Active(), "none");
    EXPECT_FALSE(host.Fake(bkNext).enabled);
    EXPECT_FALSE(host.Fake(bkBack).enabled);
    EXPECT_TRUE(host.Fake(bkCancel).enabled);
    EXPECT_TRUE(host.Fake(bkNext).visible);
}

TEST_F(WizardNavigation, SwitchesToForeignOrDisabledPagesAreIgnored) {
    FakeWizardView otherHost;
    TWizard other{otherHost};
    AddPage("A");
    TWizardCustomPage& b = AddPage("B");
    TWizardCustomPage& foreign = AddPage("Foreign", &other);
    wizard.Loaded();

    wizard.SetActivePage(&foreign);
    EXPECT_EQ(Active(), "A");
    b.SetEnabled(false);
    wizard.SetActivePage(&b);
    EXPECT_EQ(Active(), "A");

    // A changing handler that redirects to another wizard's page would leave the wizard holding a
    // page it does not own; the switch ends instead.
    b.SetEnabled(true);
    wizard.OnActivePageChanging = [&](TWizard&, TWizardCustomPage*& to) { to = &foreign; };
    wizard.SetActivePage(&b);
    EXPECT_EQ(Active(), "A");
    EXPECT_THROW(wizard.IsForwardMove(pages[0].get(), &foreign), EWizardError);
    EXPECT_TRUE(wizard.IsForwardMove(nullptr, &b));
    EXPECT_FALSE(wizard.IsForwardMove(&b, pages[0].get()));
}

TEST_F(WizardNavigation, AShowRequestSwitchesToAPageOfThisWizardOnly) {
    FakeWizardView otherHost;
    TWizard other{otherHost};
    AddLoggedPage("A");
    TWizardCustomPage& b = AddLoggedPage("B");
    TWizardCustomPage& c = AddPage("C");
    TWizardCustomPage& foreign = AddPage("Foreign", &other);
    wizard.Loaded();
    log.clear();

    wizard.ShowControl(b);
    EXPECT_EQ(Active(), "B");
    EXPECT_EQ(log, (EventLog{"A exit", "B enter", "B page"})) << "the guarded switch with its events";
    c.SetEnabled(false);
    wizard.ShowControl(c);
    wizard.ShowControl(foreign);
    EXPECT_EQ(Active(), "B");
    EXPECT_EQ(other.ActivePage(), nullptr);
}

TEST_F(WizardNavigation, AChangingHandlerRedirectingToADisabledPageSearchesFromTheCurrentPage) {
    AddPage("A");
    TWizardCustomPage& b = AddPage("B");
    AddPage("C");
    TWizardCustomPage& d = AddPage("D");
    wizard.Loaded();
    b.SetEnabled(false);
    wizard.OnActivePageChanging = [&](TWizard&, TWizardCustomPage*& to) {
        if (to == &d) to = &b;
    };
    wizard.SetActivePage(&d);
    EXPECT_EQ(Active(), "C") << "forward from A's position, past the disabled B";
}

TEST_F(WizardNavigation, TheFirstPageLosesItsBackButtonForGood) {
    TWizardCustomPage& a = AddPage("A");
    AddPage("B");
    ASSERT_TRUE(a.EnabledButtons().Contains(bkBack));
    wizard.Loaded();
    EXPECT_FALSE(host.Fake(bkBack).enabled);
    EXPECT_FALSE(a.EnabledButtons().Contains(bkBack));
    wizard.GoNextPage();
    EXPECT_TRUE(host.Fake(bkBack).enabled);
}

TEST_F(WizardNavigation, ButtonSetsFollowTheActivePage) {
    AddPage("A");
    TWizardCustomPage& b = AddPage("B");
    TWizardCustomPage& c = AddPage("C");
    wizard.Loaded();

    b.SetButtonEnabled(bkNext, false);
    EXPECT_TRUE(host.Fake(bkNext).enabled) << "an inactive page only stores its set";
    EXPECT_FALSE(b.EnabledButtons().Contains(bkNext));
    wizard.GoNextPage();
    EXPECT_FALSE(host.Fake(bkNext).enabled);
    b.SetButtonEnabled(bkNext, true);
    EXPECT_TRUE(host.Fake(bkNext).enabled);

    c.SetVisibleButtons({});
    wizard.GoNextPage();
    EXPECT_EQ(wizard.ButtonBarHeight(), 0);
    EXPECT_EQ(wizard.PageArea(), host.client);
    wizard.GoPriorPage();
    EXPECT_EQ(wizard.ButtonBarHeight(), 42);

    b.SetVisibleButtons({bkFinish, bkCancel});
    EXPECT_TRUE(host.Fake(bkFinish).visible);
    EXPECT_FALSE(host.Fake(bkNext).visible);
    EXPECT_TRUE(host.Fake(bkFinish).isDefault) << "Finish takes Enter when Next is not shown";
    EXPECT_EQ(wizard.EnterButton(), bkFinish);
}

TEST_F(WizardNavigation, DefaultButtonsOffLeavesEnterWithoutAButton) {
    AddPage("A");
    AddPage("B");
    wizard.Loaded();
    wizard.GoNextPage();
    EXPECT_EQ(wizard.EnterButton(), bkNext);
    wizard.SetDefaultButtons(false);
    EXPECT_FALSE(host.Fake(bkNext).isDefault);
    EXPECT_EQ(wizard.EnterButton(), std::nullopt);
}

TEST_F(WizardNavigation, OnPageFiresOnlyWhenThePageTookTheFocus) {
    AddLoggedPage("A");
    host.hasForm = false;
    wizard.Loaded();
    EXPECT_EQ(log, (EventLog{"A enter"}));
}

TEST_F(WizardNavigation, DestroyingOrMovingPagesKeepsTheListAndActivePageRight) {
    AddPage("A");
    AddPage("B");
    AddPage("C");
    wizard.Loaded();
    wizard.GoNextPage();

    pages[1].reset();  // the active page goes: the next page takes over
    EXPECT_EQ(Active(), "C");
    EXPECT_EQ(wizard.Pages().Count(), 2);

    FakeWizardView otherHost;
    TWizard other{otherHost};
    pages[2]->SetOwnerWizard(&other);  // the active last page leaves: no page follows it forward
    EXPECT_EQ(Active(), "none");
    EXPECT_EQ(views[2]->parent, &other);
    EXPECT_EQ(other.Pages().Count(), 1);
    EXPECT_EQ(pages[2]->IndexInWizard(), 0);
}

TEST_F(WizardNavigation, ADetachedActivePageIsLetGoEvenWhenAHandlerRefusesTheSwitch) {
    AddPage("A");
    AddPage("B");
    wizard.Loaded();
    wizard.OnActivePageChanging = [](TWizard& sender, TWizardCustomPage*& to) { to = sender.ActivePage(); };
    pages[0].reset();
    EXPECT_EQ(Active(), "none");
    pages[1].reset();  // would reach the freed page if the wizard still held it
    EXPECT_EQ(wizard.Pages().Count(), 0);
}

TEST_F(WizardNavigation, PagesMoveOnlyToIndexesInsideTheList) {
    AddPage("A");
    AddPage("B");
    TWizardCustomPage& c = AddPage("C");
    c.SetIndexInWizard(0);
    EXPECT_EQ(wizard.Pages()[0].Caption(), "C");
    EXPECT_EQ(wizard.Pages()[1].Caption(), "A");
    c.SetIndexInWizard(3);
    c.SetIndexInWizard(-1);
    EXPECT_EQ(c.IndexInWizard(), 0);
}

TEST_F(WizardNavigation, AZeroStepIsRefusedInsteadOfSearchingForever) {
    AddPage("A").SetEnabled(false);
    EXPECT_THROW(wizard.FindNeighbourPage(-1, 0, true), std::invalid_argument);
    EXPECT_EQ(wizard.FindNeighbourPage(-1, 1, false), pages[0].get());
    EXPECT_EQ(wizard.FindNeighbourPage(-1, 1, true), nullptr);
}

TEST_F(WizardNavigation, ObserverHearsOfPageListChanges) {
    struct Recorder : TWizardObserver {
        EventLog events;
        bool visible = false;
        void PageAppended(TWizardCustomPage& p) override { events.push_back("appended " + p.Caption()); }
        void PageRemoving(TWizardCustomPage& p) override { events.push_back("removing " + p.Caption()); }
        void ActivePageChanged(TWizardCustomPage* p) override {
            events.push_back("active " + (p ? p->Caption() : std::string("none")));
        }
        void PageChanged(TWizardCustomPage& p) override { events.push_back("changed " + p.Caption()); }
        void PageMoved(TWizardCustomPage& p, int from, int to) override {
            events.push_back("moved " + p.Caption() + " " + std::to_string(from) + ">" + std::to_string(to));
        }
        bool Visible() const override { return visible; }
        void SetVisible(bool v) override { visible = v; }
    } observer;
    EXPECT_FALSE(wizard.ShowRouteMap());
    wizard.SetShowRouteMap(true);  // ignored without an observer
    wizard.SetObserver(&observer);
    AddPage("A");
    TWizardCustomPage& b = AddPage("B");
    wizard.Loaded();
    b.Title().SetText("Second");
    b.SetIndexInWizard(0);
    wizard.SetShowRouteMap(true);
    EXPECT_TRUE(wizard.ShowRouteMap());
    EXPECT_EQ(observer.events, (EventLog{"appended A", "appended B", "active A", "changed B", "moved B 1>0"}));
}

}  // namespace
}  // namespace wizard
