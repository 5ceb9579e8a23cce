// The platform's native controls and the in-memory stand-ins the other tests run on must answer the
// same calls the same way, or those tests pass while the real program differs. Each case here runs
// against both: the tab row and the list box.
#include "FakePlatform.h"

#include "platform/qt/QtPlatform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTabBar>
#include <QTest>

namespace {

struct NoFormEvents : IFormWindowEvents {
    void WindowCloseRequested() override {}
    void WindowMoved(const TRect&) override {}
};

struct NoWindowEvents : IWindowEvents {
    void WindowPaint(ICanvas&, const TRect&) override {}
    bool WindowKeyDown(int, TShiftState) override { return false; }
};

// The user's side of a tab row: each question and report counted, each change allowed or refused.
struct TabUser : ITabControlEvents {
    bool TabChanging() override {
        ++Asked;
        return Allow;
    }
    void TabChanged() override { ++Told; }
    bool Allow = true;
    int Asked = 0, Told = 0;
};

// A shown top-level window of the Qt platform to hold a peer.
struct QtHost {
    NoFormEvents FormEvents;
    NoWindowEvents ClientEvents;
    std::unique_ptr<IFormWindow> Window;
    QtHost() {
        Window = TPlatform::Current()->CreateFormWindow(FormEvents, ClientEvents);
        Window->SetOuterBounds({0, 0, 916, 539});
        Window->Show(SW_SHOWNORMAL);
    }
};

struct FakeTabs {
    TabUser User;
    FakeTabControl Tabs{User};
    ITabControlPeer& Peer() { return Tabs; }
    void Click(int index) { Tabs.Click(index); }
};

struct QtTabs {
    QtHost Host;
    NoWindowEvents Window;
    TabUser User;
    std::unique_ptr<ITabControlPeer> Tabs;
    QtTabs() : Tabs(TPlatform::Current()->CreateTabControl(*Host.Window->Client(), Window, User)) {
        Tabs->SetBounds({0, 0, 880, 300});
        Tabs->SetVisible(true);
    }
    ITabControlPeer& Peer() { return *Tabs; }
    void Click(int index) {
        auto* row = dynamic_cast<QWidget*>(Tabs.get())->findChild<QTabBar*>();
        QTest::mouseClick(row, Qt::LeftButton, {}, row->tabRect(index).center());
    }
};

template <class T> class TabRowContract : public ::testing::Test {
protected:
    T Tabs;
    ITabControlPeer& Peer() { return Tabs.Peer(); }
    void Fill(std::initializer_list<const char*> captions) {
        for (const char* c : captions)
            Peer().InsertTab(Peer().TabCount(), c);
    }
};

using TabRows = ::testing::Types<FakeTabs, QtTabs>;
TYPED_TEST_SUITE(TabRowContract, TabRows);

} // namespace

TYPED_TEST(TabRowContract, TheFirstTabIsSelectedAndTheSelectionStaysWithItsTab) {
    EXPECT_EQ(this->Peer().SelectedTab(), -1);
    this->Fill({"A"});
    EXPECT_EQ(this->Peer().SelectedTab(), 0);
    this->Peer().InsertTab(0, "B");
    EXPECT_EQ(this->Peer().SelectedTab(), 1);
    this->Fill({"C"});
    EXPECT_EQ(this->Peer().SelectedTab(), 1);
    this->Peer().SetTabText(1, "A2");
    EXPECT_EQ(this->Peer().SelectedTab(), 1);
    EXPECT_EQ(this->Peer().TabCount(), 3);
    EXPECT_EQ(this->Tabs.User.Asked + this->Tabs.User.Told, 0);
}

TYPED_TEST(TabRowContract, DeletingTheSelectedTabLeavesNoneSelected) {
    this->Fill({"A", "B", "C", "D"});
    this->Peer().SelectTab(2);
    this->Peer().DeleteTab(0);
    EXPECT_EQ(this->Peer().SelectedTab(), 1);
    this->Peer().DeleteTab(1);
    EXPECT_EQ(this->Peer().SelectedTab(), -1);
    EXPECT_EQ(this->Peer().TabCount(), 2);
    // With none selected, a new tab does not select itself.
    this->Fill({"E"});
    EXPECT_EQ(this->Peer().SelectedTab(), -1);
}

TYPED_TEST(TabRowContract, NoSelectionFromCodeThenAnyClickSelects) {
    this->Fill({"A", "B", "C"});
    this->Peer().SelectTab(1);
    this->Peer().SelectTab(-1);
    EXPECT_EQ(this->Peer().SelectedTab(), -1);
    this->Peer().SelectTab(1);
    this->Peer().SelectTab(3); // out of range: none
    EXPECT_EQ(this->Peer().SelectedTab(), -1);
    EXPECT_EQ(this->Tabs.User.Asked + this->Tabs.User.Told, 0);
    // The tab that was selected last is as clickable as any other.
    this->Tabs.Click(1);
    EXPECT_EQ(this->Peer().SelectedTab(), 1);
    EXPECT_EQ(this->Tabs.User.Asked, 1);
    EXPECT_EQ(this->Tabs.User.Told, 1);
}

TYPED_TEST(TabRowContract, AClickIsAskedAboutAndTheSelectedTabIgnoresIt) {
    this->Fill({"A", "B", "C"});
    this->Tabs.Click(0);
    EXPECT_EQ(this->Tabs.User.Asked, 0);
    this->Tabs.User.Allow = false;
    this->Tabs.Click(2);
    EXPECT_EQ(this->Peer().SelectedTab(), 0);
    EXPECT_EQ(this->Tabs.User.Asked, 1);
    EXPECT_EQ(this->Tabs.User.Told, 0);
    this->Tabs.User.Allow = true;
    this->Tabs.Click(2);
    EXPECT_EQ(this->Peer().SelectedTab(), 2);
    EXPECT_EQ(this->Tabs.User.Told, 1);
}

TYPED_TEST(TabRowContract, HighlightsStayWithTheirTabs) {
    this->Fill({"A", "B", "C"});
    this->Peer().HighlightTab(1, true);
    this->Peer().HighlightTab(2, true);
    this->Peer().HighlightTab(2, false);
    this->Peer().InsertTab(0, "Z");
    EXPECT_FALSE(this->Peer().TabHighlighted(1));
    EXPECT_TRUE(this->Peer().TabHighlighted(2));
    this->Peer().DeleteTab(2);
    EXPECT_FALSE(this->Peer().TabHighlighted(2));
    this->Peer().HighlightTab(0, true);
    this->Peer().DeleteTab(1);
    EXPECT_TRUE(this->Peer().TabHighlighted(0));
    EXPECT_FALSE(this->Peer().TabHighlighted(1));
}

// ---- List box ----

namespace {

struct NoListEvents : IListBoxEvents {
    bool ListBoxChar(char32_t) override { return false; }
};

struct FakeList {
    TInMemoryListBoxPeer Box;
    IListBoxPeer& Peer() { return Box; }
};

struct QtList {
    QtHost Host;
    NoWindowEvents Events;
    NoListEvents ListEvents;
    std::unique_ptr<IListBoxPeer> Box;
    QtList()
        : Box(TPlatform::Current()->CreateListBox(*Host.Window->Client(), Events, ListEvents,
                                                  TListBoxParams{})) {
        Box->SetBounds({10, 10, 210, 310});
        Box->SetVisible(true);
    }
    IListBoxPeer& Peer() { return *Box; }
};

template <class T> class ListBoxContract : public ::testing::Test {
protected:
    T List;
    IListBoxPeer& Peer() { return List.Peer(); }
    void Fill(std::initializer_list<const char*> items) {
        for (const char* i : items)
            Peer().AddString(i);
    }
};

using ListBoxes = ::testing::Types<FakeList, QtList>;
TYPED_TEST_SUITE(ListBoxContract, ListBoxes);

} // namespace

TYPED_TEST(ListBoxContract, ItemsGoWhereTheyAreSentOrAreRefused) {
    EXPECT_EQ(this->Peer().AddString("b"), 0);
    EXPECT_EQ(this->Peer().InsertString(0, "a"), 0);
    EXPECT_EQ(this->Peer().InsertString(-1, "d"), 2);
    EXPECT_EQ(this->Peer().InsertString(2, "c"), 2);
    EXPECT_EQ(this->Peer().InsertString(5, "x"), -1);
    EXPECT_EQ(this->Peer().InsertString(-2, "x"), -1);
    ASSERT_EQ(this->Peer().Count(), 4);
    EXPECT_EQ(this->Peer().GetString(3), "d");
    EXPECT_EQ(this->Peer().GetString(4), "");
    EXPECT_EQ(this->Peer().GetString(-1), "");
    this->Peer().DeleteString(7);
    EXPECT_EQ(this->Peer().Count(), 4);
}

TYPED_TEST(ListBoxContract, TheSelectionStaysWithItsItem) {
    this->Fill({"a", "b", "c", "d"});
    EXPECT_EQ(this->Peer().ItemIndex(), -1);
    this->Peer().SetItemIndex(2);
    this->Peer().InsertString(0, "z");
    EXPECT_EQ(this->Peer().ItemIndex(), 3);
    this->Peer().DeleteString(1);
    EXPECT_EQ(this->Peer().ItemIndex(), 2);
    this->Peer().DeleteString(2);
    EXPECT_EQ(this->Peer().ItemIndex(), -1);
    this->Peer().SetItemIndex(1);
    this->Peer().SetItemIndex(9);
    EXPECT_EQ(this->Peer().ItemIndex(), -1);
    this->Peer().SetItemIndex(0);
    this->Peer().ResetContent();
    EXPECT_EQ(this->Peer().ItemIndex(), -1);
    EXPECT_EQ(this->Peer().Count(), 0);
}

TYPED_TEST(ListBoxContract, FindStringMatchesThePrefixWithoutRegardToCase) {
    this->Fill({"Río Paraná", "río negro", "Árbol", "ÁRBOLES", "Lago"});
    EXPECT_EQ(this->Peer().FindString("RÍO"), 0);
    EXPECT_EQ(this->Peer().FindString("río n"), 1);
    EXPECT_EQ(this->Peer().FindString("árboles"), 3);
    EXPECT_EQ(this->Peer().FindString("lag"), 4);
    EXPECT_EQ(this->Peer().FindString(""), 0);
    EXPECT_EQ(this->Peer().FindString("Lagos"), -1);
}

// ---- Edit and rich edit ----

namespace {

// Lines short enough never to wrap in a control this wide, so that screen lines are the text's lines.
TEditParams WideEdit() {
    TEditParams p;
    p.WordWrap = false;
    return p;
}

template <bool Rich> struct FakeEdit {
    TInMemoryEditPeer Box{Rich, WideEdit()};
    static constexpr bool IsRich = Rich;
    IEditPeer& Peer() { return Box; }
};

template <bool Rich> struct QtEditHost {
    QtHost Host;
    NoWindowEvents Events;
    std::unique_ptr<IEditPeer> Box;
    static constexpr bool IsRich = Rich;
    QtEditHost() {
        TPlatform* p = TPlatform::Current();
        if constexpr (Rich)
            Box = p->CreateRichEdit(*Host.Window->Client(), Events, WideEdit());
        else
            Box = p->CreateEdit(*Host.Window->Client(), Events, WideEdit());
        Box->SetBounds({10, 10, 810, 310});
        Box->SetVisible(true);
    }
    IEditPeer& Peer() { return *Box; }
};

template <class T> class EditContract : public ::testing::Test {
protected:
    T Edit;
    IEditPeer& Peer() { return Edit.Peer(); }
    // A line break counts as CR LF in the edit and as one character in the rich edit.
    static constexpr int Break = T::IsRich ? 1 : 2;
};

using Edits = ::testing::Types<FakeEdit<false>, FakeEdit<true>, QtEditHost<false>, QtEditHost<true>>;
TYPED_TEST_SUITE(EditContract, Edits);

} // namespace

TYPED_TEST(EditContract, LinesAndPositions) {
    EXPECT_EQ(this->Peer().LineCount(), 1);
    EXPECT_EQ(this->Peer().Text(), "");
    this->Peer().SetText("ab\r\ncde\nf\rgh");
    EXPECT_EQ(this->Peer().Text(), "ab\r\ncde\r\nf\r\ngh");
    EXPECT_EQ(this->Peer().LineCount(), 4);
    const int b = this->Break;
    EXPECT_EQ(this->Peer().LineIndex(1), 2 + b);
    EXPECT_EQ(this->Peer().LineIndex(3), 6 + 3 * b);
    EXPECT_EQ(this->Peer().LineIndex(4), -1);
    EXPECT_EQ(this->Peer().LineLength(2 + b), 3);
    EXPECT_EQ(this->Peer().Line(1), "cde");
    EXPECT_FALSE(this->Peer().Modified());
}

TYPED_TEST(EditContract, SelectionAndReplacement) {
    this->Peer().SetText("uno\ndos");
    const int b = this->Break;
    this->Peer().SetSelection(1, -1);
    int start = -1, end = -1;
    this->Peer().GetSelection(start, end);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 6 + b);
    EXPECT_EQ(this->Peer().SelectedText(), "no\r\ndos");
    this->Peer().SetSelection(2, 3 + b + 1);
    this->Peer().ReplaceSelection("X\nY");
    EXPECT_EQ(this->Peer().Text(), "unX\r\nYos");
    this->Peer().GetSelection(start, end);
    EXPECT_EQ(start, 4 + b);
    EXPECT_EQ(end, 4 + b);
    EXPECT_TRUE(this->Peer().Modified());
    // Past the end counts as the end.
    this->Peer().SetSelection(50, 60);
    this->Peer().GetSelection(start, end);
    EXPECT_EQ(start, 6 + b);
    EXPECT_EQ(end, 6 + b);
}

namespace {

// The text's lines as the edit shows them (breaks as CR LF), each with its length in UTF-16 units.
std::vector<int> LineLengths(const std::string& text) {
    std::vector<int> lengths{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            lengths.push_back(0);
            ++i;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++lengths.back();
        }
    }
    return lengths;
}

} // namespace

// Lines are found again after every change, wherever it falls: paragraphs added at the end one at a
// time (as a rich edit's lines are loaded), inserted at a line's start, and replacements that join or
// split lines.
TYPED_TEST(EditContract, LinesFollowEveryChange) {
    IEditPeer& edit = this->Peer();
    const int b = this->Break;
    unsigned seed = 7;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
    };
    for (int step = 0; step < 40; ++step) {
        std::vector<int> lengths = LineLengths(edit.Text());
        int total = 0;
        for (int length : lengths)
            total += length + b;
        total -= b;
        int line = next(static_cast<int>(lengths.size()));
        int start = edit.LineIndex(line);
        switch (step % 4) {
        case 0: // a paragraph at the end
            edit.SetSelection(total, total);
            edit.ReplaceSelection(step == 0 ? "año" : "\nrenglón " + std::to_string(step));
            break;
        case 1: // a line before another
            edit.SetSelection(start, start);
            edit.ReplaceSelection("antes\n");
            break;
        case 2: // from inside one line to inside a later one, by new text holding a break
            edit.SetSelection(start + lengths[static_cast<size_t>(line)] / 2,
                              line + 1 < static_cast<int>(lengths.size()) ? edit.LineIndex(line + 1) + 1
                                                                          : total);
            edit.ReplaceSelection("x\ny");
            break;
        case 3: // a line's end joined to the next
            if (line + 1 < static_cast<int>(lengths.size())) {
                int end = start + lengths[static_cast<size_t>(line)];
                edit.SetSelection(end, end + b);
                edit.ReplaceSelection("");
            }
            break;
        }
        lengths = LineLengths(edit.Text());
        ASSERT_EQ(edit.LineCount(), static_cast<int>(lengths.size())) << "step " << step;
        int at = 0;
        for (size_t k = 0; k < lengths.size(); ++k) {
            ASSERT_EQ(edit.LineIndex(static_cast<int>(k)), at) << "step " << step << " line " << k;
            EXPECT_EQ(edit.LineLength(at), lengths[k]) << "step " << step << " line " << k;
            EXPECT_EQ(edit.LineLength(at + lengths[k]), lengths[k]) << "step " << step << " line " << k;
            at += lengths[k] + b;
        }
        EXPECT_EQ(edit.LineIndex(static_cast<int>(lengths.size())), -1);
    }
}

// The stand-in's own edit can part a CR LF pair by a change between its two characters: neither half
// alone is a break, and putting them together again is one.
TEST(InMemoryEdit, AChangeBetweenTheHalvesOfABreak) {
    TInMemoryEditPeer edit(false, WideEdit());
    edit.SetText("ab\ncd");
    edit.SetSelection(3, 3);
    edit.ReplaceSelection("x");
    EXPECT_EQ(edit.LineCount(), 1);
    EXPECT_EQ(edit.LineLength(6), 7);
    edit.SetSelection(3, 4);
    edit.ReplaceSelection("");
    EXPECT_EQ(edit.LineCount(), 2);
    EXPECT_EQ(edit.LineIndex(1), 4);
    EXPECT_EQ(edit.LineLength(3), 2);
    EXPECT_EQ(edit.LineLength(4), 2);
}
