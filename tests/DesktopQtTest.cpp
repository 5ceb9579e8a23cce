// The program's window on the real platform (Qt's offscreen screen), as a student meets it with the
// mouse: what a click focuses, the status bar's size grip, and a tab row with no page selected.
#include "app/TApplication.h"
#include "app/TCustomForm.h"
#include "app/TStatusBar.h"
#include "controls/TLabel.h"
#include "controls/TListBox.h"
#include "controls/TPageControl.h"
#include "controls/TStaticText.h"
#include "tests/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QTest>

namespace {

QWidget* WidgetOf(const TWinControl& c) {
    return dynamic_cast<QWidget*>(c.ClientPeer());
}

// A form of its own for each test, shown and active once the test has given it its size.
class Desktop : public ::testing::Test {
protected:
    void SetUp() override { Application = &App; }
    void TearDown() override {
        delete Form;
        Application = nullptr;
    }

    void Show(int width = 816, int height = 639) {
        Form->SetBounds(0, 0, width, height);
        Form->SetVisible(true);
        QApplication::setActiveWindow(dynamic_cast<QWidget*>(Form->Window()));
    }
    template <class T> T* Add(TWinControl* parent, int left, int top, int width, int height) {
        auto* c = new T(Form);
        c->SetBounds(left, top, width, height);
        c->SetParent(parent);
        return c;
    }
    // A page control on the form with the given number of sheets, captioned "P0", "P1", ...
    TPageControl* Book(int sheets) {
        auto* book = Add<TPageControl>(Form, 8, 0, 780, 400);
        for (int i = 0; i < sheets; ++i) {
            auto* sheet = new TTabSheet(Form);
            // Appended rather than concatenated: GCC 12 at -O3 takes "P" + string for an overlapping copy.
            std::string caption = "P";
            caption += std::to_string(i);
            sheet->SetCaption(caption);
            sheet->SetPageControl(book);
        }
        return book;
    }
    // A status bar along the form's bottom edge.
    TStatusBar* StatusBar() {
        auto* bar = Add<TStatusBar>(Form, 0, 0, 100, 18);
        bar->SetAlign(TAlign::alBottom);
        return bar;
    }
    // The left button pressed at from on widget, moved by by and released there; the platform reports
    // the new size of a top-level window afterwards.
    static void Drag(QWidget* widget, QPoint from, QPoint by) {
        QPoint global = widget->mapToGlobal(from);
        QCursor::setPos(global);
        QTest::mousePress(widget, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + by), QPointF(global + by), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
        QCoreApplication::processEvents();
    }

    TApplication App{"orvanta"};
    TForm* Form = new TForm(nullptr);
};

using ClickFocus = Desktop;
using SizeGrip = Desktop;
using NoActivePage = Desktop;

void ClickTab(TPageControl& book, int index) {
    auto* row = WidgetOf(book)->findChild<QTabBar*>();
    QRect r = row->tabRect(index);
    QTest::mouseClick(row, Qt::LeftButton, {}, r.center());
}

// A lower-case letter typed where the keyboard focus is.
void TypeLetter(char letter) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, letter);
}

int Changes = 0;
void CountChange(TObject*, TObject*) {
    ++Changes;
}

} // namespace

const auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));

// Labels and pictures have no window, and a sheet or a static text does not take the focus on a
// click: the list box keeps it, and with it the typing that moves its selection.
TEST_F(ClickFocus, ClicksOnWhatCannotTakeTheFocusLeaveItWhereItWas) {
    Show();
    TPageControl* book = Book(2);
    TTabSheet* sheet = book->Pages(0);
    auto* list = Add<TListBox>(sheet, 10, 30, 200, 200);
    for (const char* item : {"Alfa", "Beta", "Pera", "Uva"})
        list->Items()->Add(item);
    auto* label = new TLabel(Form);
    label->SetBounds(300, 10, 120, 20);
    label->SetCaption("TITULO");
    label->SetParent(sheet);
    auto* text = Add<TStaticText>(sheet, 300, 60, 120, 20);
    text->SetCaption("nota");

    QTest::mouseClick(WidgetOf(*list)->findChild<QWidget*>("qt_scrollarea_viewport"), Qt::LeftButton, {},
                      QPoint(20, 5));
    ASSERT_EQ(Form->ActiveControl(), list);
    ASSERT_EQ(list->ItemIndex(), 0);

    QTest::mouseClick(WidgetOf(*sheet), Qt::LeftButton, {}, QPoint(350, 20)); // on the label
    EXPECT_EQ(Form->ActiveControl(), list);
    QTest::mouseClick(WidgetOf(*sheet), Qt::LeftButton, {}, QPoint(600, 300)); // the empty page
    EXPECT_EQ(Form->ActiveControl(), list);
    QTest::mouseClick(WidgetOf(*text), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Form->ActiveControl(), list);
    EXPECT_TRUE(WidgetOf(*list)->hasFocus());

    TypeLetter('p');
    EXPECT_EQ(list->ItemIndex(), 2);

    // The tab row does take the focus, for its arrow keys.
    ClickTab(*book, 0);
    EXPECT_EQ(Form->ActiveControl(), book);
}

// The grip at the status bar's right end drags the window's bottom-right corner; the window stops at
// its smallest size. Without a window manager (the offscreen screen has none) the window follows the
// mouse itself.
TEST_F(SizeGrip, DraggingItResizesTheWindowWithinItsLimits) {
    Show(1355, 836);
    Form->Constraints()->SetMinWidth(720);
    Form->Constraints()->SetMinHeight(540);
    TStatusBar* bar = StatusBar();
    ASSERT_EQ(bar->BoundsRect(), (TRect{0, 779, 1339, 797}));
    QWidget* widget = WidgetOf(*bar);

    Drag(widget, QPoint(1334, 13), QPoint(-200, -150));
    EXPECT_EQ(Form->Window()->ClientSize(), (TSize{1139, 647}));
    EXPECT_EQ(Form->Width(), 1155);
    EXPECT_EQ(Form->Height(), 686);
    // The bar follows the bottom edge, its grip with it.
    EXPECT_EQ(bar->BoundsRect(), (TRect{0, 629, 1139, 647}));

    Drag(widget, QPoint(1134, 13), QPoint(-900, -700));
    EXPECT_EQ(Form->Width(), 720);
    EXPECT_EQ(Form->Height(), 540);

    // Elsewhere on the bar a press is only a press.
    Drag(widget, QPoint(300, 9), QPoint(100, 100));
    EXPECT_EQ(Form->Width(), 720);
}

TEST_F(SizeGrip, AFormOfFixedSizeHasNone) {
    Show();
    Form->SetBorderStyle(TFormBorderStyle::bsSingle);
    TStatusBar* bar = StatusBar();
    EXPECT_TRUE(bar->SizeGripRect().IsEmpty());
    const QPoint grip(bar->Width() - 4, 13);
    Drag(WidgetOf(*bar), grip, QPoint(500, 500) - grip);
    EXPECT_EQ(Form->Width(), 816);
}

// With no active page no tab is drawn selected and TabIndex is -1, whichever tab the platform row
// last had; a click on any tab, that one included, then selects it and raises OnChange.
TEST_F(NoActivePage, AnyTabClickedThenSelectsItsPage) {
    Show();
    TPageControl* book = Book(3);
    book->SetOnChange({&CountChange, nullptr});
    Changes = 0;
    ASSERT_EQ(book->ActivePage(), book->Pages(0));

    book->SetActivePage(nullptr);
    EXPECT_EQ(book->TabIndex(), -1);
    EXPECT_EQ(book->ActivePage(), nullptr);
    ClickTab(*book, 0);
    EXPECT_EQ(book->ActivePage(), book->Pages(0));
    EXPECT_EQ(book->TabIndex(), 0);
    EXPECT_EQ(Changes, 1);

    book->SetActivePageIndex(7);
    EXPECT_EQ(book->TabIndex(), -1);
    ClickTab(*book, 2);
    EXPECT_EQ(book->ActivePage(), book->Pages(2));
    EXPECT_EQ(book->TabIndex(), 2);
    EXPECT_EQ(Changes, 2);
}
