// The tabbed book on the course: the page on view, every way the user changes it, OnChange exactly
// once per change and never for code, the status line, and where the focus goes.
#include "CourseFixture.h"
#include "FakePlatform.h"

#include "app/TApplication.h"
#include "app/TForm1.h"
#include "stream/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// The course shown on the fake platform, with OnChange counted on its way to the form's handler.
struct Book {
    FakePlatform Platform;
    TCourseDefinition Definition;
    TApplication App{"orvanta"};
    TForm1* Form = nullptr;
    static inline int Changes = 0;
    static inline TForm1* Current = nullptr;

    Book() {
        Application = &App;
        App.CreateForm(Form);
        Current = Form;
        Changes = 0;
        Form->PageControl1->SetOnChange({[](TObject*, TObject* sender) {
                                             ++Changes;
                                             Current->PageControl1Change(sender);
                                         },
                                         Form});
    }
    ~Book() { Application = nullptr; }
    FakeTabControl& Tabs() { return *Platform.TabControls.at(0); }
    std::string Status() const { return Form->StatusBar1->SimpleText(); }
    int Page() const { return Form->PageControl1->ActivePageIndex(); }
    bool Key(int key, TShiftState shift) { return Form->DialogKey(key, shift); }
};

} // namespace

TEST(TabbedBook, StartsOnPageZeroWithoutAnyChange) {
    Book b;
    EXPECT_EQ(b.Page(), 0);
    EXPECT_EQ(b.Form->PageControl1->ActivePage(), b.Form->TabSheet1);
    EXPECT_EQ(b.Tabs().TabCount(), 48);
    EXPECT_EQ(b.Tabs().SelectedTab(), 0);
    EXPECT_EQ(b.Tabs().Tabs[31], "Imag31a");
    EXPECT_EQ(b.Tabs().Tabs[47], "Imag43");
    // Only the last sheet's tab is highlighted.
    EXPECT_EQ(b.Tabs().Highlighted, (std::set<int>{47}));
    EXPECT_EQ(b.Status(), "Page index: 0");
    EXPECT_EQ(b.Book::Changes, 0);
    int visible = 0;
    for (int i = 0; i < b.Form->PageControl1->PageCount(); ++i)
        visible += b.Form->PageControl1->Pages(i)->Visible();
    EXPECT_EQ(visible, 1);
}

TEST(TabbedBook, ClickingATabChangesThePageOnce) {
    Book b;
    b.Tabs().Click(9); // "Imag10"
    EXPECT_EQ(b.Page(), 9);
    EXPECT_EQ(b.Status(), "Page index: 9");
    EXPECT_EQ(Book::Changes, 1);
    // The selected tab again: nothing.
    b.Tabs().Click(9);
    EXPECT_EQ(Book::Changes, 1);
    b.Tabs().Click(31); // "Imag31a"
    EXPECT_EQ(b.Status(), "Page index: 31");
    b.Tabs().Click(47); // "Imag43", still highlighted
    EXPECT_EQ(b.Status(), "Page index: 47");
    EXPECT_EQ(b.Tabs().Highlighted, (std::set<int>{47}));
    EXPECT_EQ(Book::Changes, 3);
    // The scroll arrows move the row, not the page.
    b.Tabs().ScrollTabs(3);
    EXPECT_EQ(b.Page(), 47);
    EXPECT_EQ(Book::Changes, 3);
}

TEST(TabbedBook, CtrlTabWrapsBothWaysOnceAPress) {
    Book b;
    EXPECT_TRUE(b.Key(VK_TAB, ssCtrl | ssShift));
    EXPECT_EQ(b.Page(), 47);
    EXPECT_EQ(b.Status(), "Page index: 47");
    EXPECT_EQ(Book::Changes, 1);
    EXPECT_TRUE(b.Key(VK_TAB, ssCtrl));
    EXPECT_EQ(b.Page(), 0);
    EXPECT_EQ(b.Status(), "Page index: 0");
    EXPECT_EQ(Book::Changes, 2);
    EXPECT_EQ(b.Tabs().SelectedTab(), 0);
}

TEST(TabbedBook, ArrowKeysOnTheTabRow) {
    Book b;
    ASSERT_EQ(b.Form->ActiveControl(), b.Form->PageControl1);
    EXPECT_TRUE(b.Form->PageControl1->WantsKey(VK_RIGHT, 0));
    EXPECT_TRUE(b.Form->PageControl1->KeyDown(VK_RIGHT, 0));
    EXPECT_EQ(b.Page(), 1);
    EXPECT_EQ(b.Status(), "Page index: 1");
    EXPECT_TRUE(b.Form->PageControl1->KeyDown(VK_LEFT, 0));
    EXPECT_TRUE(b.Form->PageControl1->KeyDown(VK_LEFT, 0)); // no page before the first
    EXPECT_EQ(b.Page(), 0);
    EXPECT_EQ(Book::Changes, 2);
    // The focus stays on the page control while the user works the tab row.
    EXPECT_EQ(b.Form->ActiveControl(), b.Form->PageControl1);
}

TEST(TabbedBook, CodeChangesThePageWithoutOnChange) {
    Book b;
    b.Form->PageControl1->SetActivePageIndex(5);
    EXPECT_EQ(b.Page(), 5);
    EXPECT_EQ(b.Tabs().SelectedTab(), 5);
    b.Form->PageControl1->SetTabIndex(7);
    EXPECT_EQ(b.Page(), 7);
    b.Form->PageControl1->SetActivePageIndex(99);
    EXPECT_EQ(b.Form->PageControl1->ActivePage(), nullptr);
    EXPECT_EQ(b.Tabs().SelectedTab(), -1);
    EXPECT_EQ(Book::Changes, 0);
    EXPECT_EQ(b.Status(), "Page index: 0");
}

TEST(TabbedBook, FocusInsideAPageFollowsCtrlTab) {
    Book b;
    b.Form->FocusControl(b.Form->ListBox11);
    ASSERT_EQ(b.Form->ActiveControl(), b.Form->ListBox11);
    // Page 0's list box has the focus; Ctrl+Tab goes to page 1, which has nothing to focus but itself.
    EXPECT_TRUE(b.Key(VK_TAB, ssCtrl));
    EXPECT_EQ(b.Page(), 1);
    EXPECT_EQ(b.Form->ActiveControl(), b.Form->TabSheet2);
    // From there to page 2, whose list box takes the focus.
    EXPECT_TRUE(b.Key(VK_TAB, ssCtrl));
    EXPECT_EQ(b.Page(), 2);
    EXPECT_EQ(b.Form->ActiveControl(), b.Form->ListBox12);
    EXPECT_FALSE(b.Form->TabSheet1->Visible());
}

TEST(TabbedBook, FailuresHaveTheirMessages) {
    Book b;
    try {
        b.Form->TabSheet3->SetPageIndex(48);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "48 is an invalid PageIndex value.  PageIndex must be between 0 and 47");
    }
    TTabSheet loose(nullptr);
    try {
        loose.SetHighlighted(true);
        FAIL();
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "PageControl must first be assigned");
    }
    EXPECT_FALSE(loose.Highlighted());
    // Moving a page moves its tab with it.
    b.Form->TabSheet3->SetPageIndex(0);
    EXPECT_EQ(b.Tabs().Tabs[0], "Imag3");
    EXPECT_EQ(b.Form->TabSheet3->PageIndex(), 0);
}

TEST(StatusLine, TextIsWrittenOnlyWhenItChangesAndLongPositionsFit) {
    Book b;
    b.Form->StatusBar1->SetSimpleText("Page index: 0");
    EXPECT_EQ(b.Status(), "Page index: 0");
    // A book far longer than the course's still names its position in full.
    for (int i = 0; i < 150; ++i) {
        auto* sheet = new TTabSheet(b.Form);
        sheet->SetPageControl(b.Form->PageControl1);
    }
    b.Tabs().Click(197);
    EXPECT_EQ(b.Status(), "Page index: 197");
    // The status bar stays where the layout pass puts it: the bottom of the client area.
    EXPECT_EQ(b.Form->StatusBar1->BoundsRect(), (TRect{0, 779, 1339, 797}));
    EXPECT_TRUE(b.Form->StatusBar1->SizeGripValid());
}
