// The control model on the real platform (Qt's offscreen screen): what disabling a control and moving
// it to another parent do to its window, hints, the status bar's panels and font, the tab row's and
// the list box's stored styles, and the first focus of an activated form.
#include "app/TApplication.h"
#include "app/TCustomForm.h"
#include "app/TStatusBar.h"
#include "controls/ColorToRGB.h"
#include "controls/TLabel.h"
#include "controls/TListBox.h"
#include "controls/TMemo.h"
#include "controls/TPageControl.h"
#include "controls/TStaticText.h"
#include "platform/qt/QtListBox.h"
#include "tests/QtTestEnvironment.h"
#include "tests/QtTestForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolTip>

namespace {

const auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));

using Screen = TQtTestForm;

QWidget* WidgetOf(const TWinControl* c) {
    return dynamic_cast<QWidget*>(c->ClientPeer());
}

// Pixels of a colour (0x00BBGGRR) inside a rectangle of the form's client area.
int Count(const QImage& image, const TRect& r, uint32_t colorRef) {
    QRgb colour = qRgb(colorRef & 0xFF, colorRef >> 8 & 0xFF, colorRef >> 16 & 0xFF) & 0xFFFFFF;
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == colour) ++n;
    return n;
}

void Click(QWidget* w, QPoint p) {
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void ClickItem(QListWidget* list, int row) {
    Click(list->viewport(), list->visualItemRect(list->item(row)).center());
}

} // namespace

TEST(QtEnabled, ADisabledControlTakesNoClicksNorFocusAndNeitherDoesWhatLiesInADisabledParent) {
    Screen s;
    auto* list = s.Add<TListBox>(s.Form, 10, 10, 150, 100, [](TListBox& l) { l.SetEnabled(false); });
    for (const char* item : {"Rojo", "Verde", "Azul"})
        list->Items()->Add(item);
    auto* widget = dynamic_cast<QListWidget*>(WidgetOf(list));
    ASSERT_NE(widget, nullptr);
    QApplication::processEvents();

    EXPECT_FALSE(widget->isEnabled());
    ClickItem(widget, 1);
    EXPECT_EQ(list->ItemIndex(), -1);

    list->SetEnabled(true);
    ClickItem(widget, 1);
    EXPECT_EQ(list->ItemIndex(), 1);

    // Disabling the focused control takes the focus away from it.
    list->SetFocus();
    ASSERT_EQ(s.Form->ActiveControl(), list);
    list->SetEnabled(false);
    EXPECT_EQ(s.Form->ActiveControl(), nullptr);
    EXPECT_FALSE(widget->hasFocus());

    // A control inside a disabled parent takes no input either, though its own Enabled stays True.
    auto* panel = s.Add<TWinControl>(s.Form, 200, 10, 200, 200);
    auto* inner = s.Add<TListBox>(panel, 10, 10, 150, 100);
    inner->Items()->Add("Uno");
    inner->Items()->Add("Dos");
    panel->SetEnabled(false);
    auto* innerWidget = dynamic_cast<QListWidget*>(WidgetOf(inner));
    EXPECT_TRUE(inner->Enabled());
    EXPECT_FALSE(innerWidget->isEnabled());
    ClickItem(innerWidget, 1);
    EXPECT_EQ(inner->ItemIndex(), -1);
}

TEST(QtParent, AWindowMovesWithItsControlAndLeavesNothingDrawnBehind) {
    Screen s;
    auto* left = s.Add<TWinControl>(s.Form, 0, 0, 250, 250);
    auto* right = s.Add<TWinControl>(s.Form, 300, 0, 250, 250);
    left->SetColor(clBtnFace);
    right->SetColor(clBtnFace);
    auto* list = s.Add<TListBox>(left, 20, 20, 150, 100);
    list->Items()->Add("Banda 4");
    QWidget* widget = WidgetOf(list);
    QApplication::processEvents();
    ASSERT_EQ(widget->parentWidget(), WidgetOf(left));
    const uint32_t white = ColorToRGB(clWindow);
    EXPECT_GT(Count(s.Grab(), {20, 20, 170, 120}, white), 100);

    list->SetParent(right);
    QApplication::processEvents();
    EXPECT_EQ(widget, WidgetOf(list)); // the same window, text and all
    EXPECT_EQ(widget->parentWidget(), WidgetOf(right));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(list->Items()->Count(), 1);
    QImage image = s.Grab();
    EXPECT_EQ(Count(image, {20, 20, 170, 120}, white), 0);
    EXPECT_GT(Count(image, {320, 20, 470, 120}, white), 100);

    // Taken out of every parent, the window is hidden; the old parent can go without taking it along.
    list->SetParent(nullptr);
    EXPECT_FALSE(widget->isVisible());
    EXPECT_EQ(Count(s.Grab(), {320, 20, 470, 120}, white), 0);
    delete right;
    list->SetParent(left);
    QApplication::processEvents();
    EXPECT_EQ(widget->parentWidget(), WidgetOf(left));
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(list->Items()->Get(0), "Banda 4");
}

// A window made after a later sibling's goes behind it, whatever kind of window it is.
template <class T> void ExpectMadeLateBehindLaterSibling() {
    Screen s;
    auto* early = s.Add<T>(20, 20, 200, 150, [](T& c) { c.SetVisible(false); });
    auto* late = s.Add<TWinControl>(100, 60, 200, 150);
    ASSERT_FALSE(early->HandleAllocated());
    early->SetVisible(true);
    const QObjectList& stack = WidgetOf(s.Form)->children(); // bottom to top
    EXPECT_LT(stack.indexOf(WidgetOf(early)), stack.indexOf(WidgetOf(late))) << T::ClassInfo.ClassName;
}

TEST(QtStacking, AWindowMadeLateGoesBehindTheLaterSiblingsWindow) {
    ExpectMadeLateBehindLaterSibling<TWinControl>();
    ExpectMadeLateBehindLaterSibling<TListBox>();
    ExpectMadeLateBehindLaterSibling<TMemo>();
    ExpectMadeLateBehindLaterSibling<TPageControl>();
}

TEST(QtParent, ASheetMovedToAnotherPageControlTakesItsWindowAlong) {
    Screen s;
    auto* first = s.Add<TPageControl>(s.Form, 0, 0, 280, 300);
    auto* second = s.Add<TPageControl>(s.Form, 300, 0, 280, 300);
    auto* sheet = new TTabSheet(s.Form);
    sheet->SetCaption("Imag1");
    sheet->SetPageControl(first);
    auto* text = s.Add<TStaticText>(sheet, 10, 10, 100, 20);
    text->SetCaption("NIR");
    QApplication::processEvents();
    QWidget* sheetWidget = WidgetOf(sheet);
    ASSERT_NE(sheetWidget, nullptr);
    ASSERT_EQ(sheetWidget->parentWidget(), WidgetOf(first));

    sheet->SetPageControl(second);
    QApplication::processEvents();
    EXPECT_EQ(sheetWidget->parentWidget(), WidgetOf(second));
    EXPECT_EQ(second->ActivePage(), sheet);
    EXPECT_TRUE(sheetWidget->isVisible());
    EXPECT_EQ(WidgetOf(text)->parentWidget(), sheetWidget);
}

namespace {
// Pixels darker than mid-grey: text and shadows.
int Dark(const QImage& image, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (qGray(image.pixel(x, y)) < 96) ++n;
    return n;
}
} // namespace

TEST(QtStatusBar, PanelsArePaintedSideBySideWithTheirBevelsAndTexts) {
    Screen s;
    auto* bar = s.Add<TStatusBar>(s.Form, 0, 0, 0, 22);
    auto* first = static_cast<TStatusPanel*>(bar->Panels()->Add());
    first->SetWidth(150);
    first->SetText("Banda 4");
    auto* second = static_cast<TStatusPanel*>(bar->Panels()->Add());
    second->SetText("Página 12");
    second->SetAlignment(TAlignment::taRightJustify);
    QApplication::processEvents();
    ASSERT_EQ(bar->BoundsRect(), (TRect{0, 378, 600, 400}));
    QImage image = s.Grab();
    const uint32_t shadow = ColorToRGB(clBtnShadow);
    // Text inside each panel; the second one's at its right end, far from the first.
    EXPECT_GT(Dark(image, {3, 381, 100, 399}), 15);
    EXPECT_EQ(Dark(image, {153, 381, 400, 399}), 0);
    EXPECT_GT(Dark(image, {450, 381, 585, 399}), 15);
    // Lowered bevels: the shadow along each panel's top edge, a gap between the two.
    EXPECT_GT(Count(image, {0, 380, 150, 381}, shadow), 140);
    EXPECT_GT(Count(image, {152, 380, 580, 381}, shadow), 400);
    EXPECT_EQ(Count(image, {150, 382, 152, 398}, shadow), 0);

    // A changed panel text shows at the next paint; simple mode shows one text instead of panels.
    bar->SetSimpleText("Page index: 3");
    bar->SetSimplePanel(true);
    QApplication::processEvents();
    image = s.Grab();
    EXPECT_EQ(Count(image, {0, 380, 150, 381}, shadow), 0);
    EXPECT_GT(Dark(image, {3, 381, 100, 399}), 15);
}

TEST(QtStatusBar, TheFontIsThePlatformsStatusFontAndFollowsItsChanges) {
    Screen s;
    auto* bar = s.Add<TStatusBar>(s.Form, 0, 0, 0, 22);
    QFont platformFont = QApplication::font("QStatusBar");
    EXPECT_EQ(bar->Font()->Name(), platformFont.family().toStdString());
    EXPECT_EQ(bar->Font()->Color(), clBtnText);

    QFont saved = QApplication::font();
    QFont changed("Liberation Serif");
    changed.setPointSize(12);
    QApplication::setFont(changed);
    EXPECT_EQ(bar->Font()->Name(), "Liberation Serif");
    EXPECT_EQ(bar->Font()->Height(), -16);
    // A bar that does not use the system font keeps its own.
    bar->SetUseSystemFont(false);
    bar->Font()->SetName("Arial");
    QApplication::setFont(saved);
    EXPECT_EQ(bar->Font()->Name(), "Arial");
}

TEST(QtFocus, AnActivatedFormWithoutAFocusedControlGivesTheFocusToItsFirst) {
    Screen s;
    auto* first = s.Add<TListBox>(s.Form, 10, 10, 150, 100);
    auto* second = s.Add<TListBox>(s.Form, 200, 10, 150, 100);
    dynamic_cast<QWidget*>(s.Form->Window())->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(s.Form->ActiveControl(), first);

    // Another window takes the activation; meanwhile the focused control goes away.
    QWidget other;
    other.setGeometry(700, 0, 100, 100);
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    first->SetVisible(false);
    EXPECT_EQ(s.Form->ActiveControl(), nullptr);
    dynamic_cast<QWidget*>(s.Form->Window())->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(s.Form->ActiveControl(), second);
    EXPECT_TRUE(WidgetOf(second)->hasFocus());
}

namespace {
// The mouse rests at p in w: the platform's tool-tip request.
void Rest(QWidget* w, QPoint p) {
    QHelpEvent help(QEvent::ToolTip, p, w->mapToGlobal(p));
    QApplication::sendEvent(w, &help);
}
} // namespace

TEST(QtHints, TheHintRuleShowsThePlatformsToolTip) {
    Screen s;
    auto* panel = s.Add<TWinControl>(s.Form, 0, 0, 300, 300);
    panel->SetHint("Panel");
    panel->SetShowHint(true);
    auto* label = s.Add<TLabel>(panel, 10, 10, 100, 20, [](TLabel& l) { l.SetAutoSize(false); });
    label->SetCaption("Banda 4");
    label->SetHint("Infrarrojo cercano");
    auto* list = s.Add<TListBox>(panel, 10, 100, 150, 100);
    list->Items()->Add("Uno");
    QApplication::processEvents();
    QWidget* panelWidget = WidgetOf(panel);

    // Over the label: its own hint, shown since the panel's ShowHint reaches it.
    Rest(panelWidget, {20, 15});
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), "Infrarrojo cercano");
    // Over a windowed child without a hint of its own: the nearest parent's.
    auto* listWidget = dynamic_cast<QListWidget*>(WidgetOf(list));
    Rest(listWidget->viewport(), {20, 10});
    EXPECT_EQ(QToolTip::text(), "Panel");
    // No control with ShowHint: no hint window.
    panel->SetShowHint(false);
    Rest(panelWidget, {20, 15});
    QElapsedTimer waited;
    waited.start();
    while (QToolTip::isVisible() && waited.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST(QtListBoxStyles, SortedMultiSelectColumnsTabStopsAndOwnerDrawnHeight) {
    Screen s;
    auto* sorted = s.Add<TListBox>(s.Form, 10, 10, 150, 100, [](TListBox& l) { l.SetSorted(true); });
    for (const char* item : {"verde", "Azul", "rojo", "amarillo"})
        sorted->Items()->Add(item);
    auto* widget = dynamic_cast<QListWidget*>(WidgetOf(sorted));
    ASSERT_NE(widget, nullptr);
    std::vector<std::string> order;
    for (int i = 0; i < sorted->Items()->Count(); ++i)
        order.push_back(sorted->Items()->Get(i));
    EXPECT_EQ(order, (std::vector<std::string>{"amarillo", "Azul", "rojo", "verde"}));
    // Turning sorting off keeps the items in their present order; new ones go to the end.
    sorted->SetSorted(false);
    sorted->Items()->Add("blanco");
    EXPECT_EQ(sorted->Items()->Get(4), "blanco");

    auto* multi = s.Add<TListBox>(s.Form, 200, 10, 150, 100, [](TListBox& l) {
        l.SetMultiSelect(true);
        l.SetExtendedSelect(false);
    });
    for (const char* item : {"Uno", "Dos", "Tres"})
        multi->Items()->Add(item);
    auto* multiWidget = dynamic_cast<QListWidget*>(WidgetOf(multi));
    QApplication::processEvents();
    ClickItem(multiWidget, 0);
    ClickItem(multiWidget, 2);
    EXPECT_EQ(multiWidget->selectedItems().size(), 2);
    EXPECT_EQ(multi->ItemIndex(), 2);

    auto* columns = s.Add<TListBox>(s.Form, 10, 150, 200, 60, [](TListBox& l) { l.SetColumns(2); });
    for (int i = 0; i < 12; ++i)
        columns->Items()->Add("Línea " + std::to_string(i));
    auto* columnsWidget = dynamic_cast<QListWidget*>(WidgetOf(columns));
    QApplication::processEvents();
    QRect firstItem = columnsWidget->visualItemRect(columnsWidget->item(0));
    QRect lastItem = columnsWidget->visualItemRect(columnsWidget->item(11));
    EXPECT_EQ(firstItem.width(), 100);
    EXPECT_GE(lastItem.left(), 100); // filled top to bottom, then the next column

    auto* owner = s.Add<TListBox>(s.Form, 250, 150, 150, 100, [](TListBox& l) {
        l.SetStyle(TListBoxStyle::lbOwnerDrawFixed);
        l.SetItemHeight(30);
    });
    owner->Items()->Add("Alto");
    auto* ownerWidget = dynamic_cast<QListWidget*>(WidgetOf(owner));
    QApplication::processEvents();
    EXPECT_EQ(ownerWidget->visualItemRect(ownerWidget->item(0)).height(), 30);
    EXPECT_EQ(owner->ItemHeight(), 30);

    // Tab stops: the text after a tab starts at the stop, with no tab stops it follows the first word.
    auto* tabs = s.Add<TListBox>(s.Form, 420, 10, 170, 100, [](TListBox& l) { l.SetTabWidth(40); });
    auto* plain = s.Add<TListBox>(s.Form, 420, 150, 170, 100);
    tabs->Items()->Add("a\tWWW");
    plain->Items()->Add("a\tWWW");
    QApplication::processEvents();
    QImage image = s.Grab();
    auto firstDarkColumnAfter = [&](const TListBox* list, int from) {
        QWidget* viewport = dynamic_cast<QListWidget*>(WidgetOf(list))->viewport();
        QPoint origin = viewport->mapTo(viewport->window(), QPoint(0, 0));
        for (int x = from; x < viewport->width(); ++x)
            for (int y = 0; y < 14; ++y)
                if (qGray(image.pixel(origin.x() + x, origin.y() + y)) < 96) return x;
        return -1;
    };
    int stop = dynamic_cast<QtListBox*>(WidgetOf(tabs))->TabStopWidth();
    ASSERT_GT(stop, 20);
    EXPECT_GE(firstDarkColumnAfter(tabs, 20), stop);
    EXPECT_LT(firstDarkColumnAfter(plain, 20), stop);
}

namespace {
TPageControl* Book(Screen& s, int pages, int width) {
    auto* pc = s.Add<TPageControl>(s.Form, 0, 0, width, 300);
    for (int i = 0; i < pages; ++i) {
        auto* sheet = new TTabSheet(s.Form);
        sheet->SetCaption("Imag" + std::to_string(i + 1));
        sheet->SetPageControl(pc);
    }
    pc->SetActivePageIndex(0);
    QApplication::processEvents();
    return pc;
}
void MouseTo(QWidget* w, QPoint p, QEvent::Type type, Qt::MouseButton button = Qt::NoButton) {
    QMouseEvent e(type, p, w->mapToGlobal(p), button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
// The child widget of the tab control that holds the row, and a point of the control in it.
QWidget* RowOf(TPageControl* pc) {
    return WidgetOf(pc)->childAt(pc->TabPeer()->TabRect(0).Left + 2, pc->TabPeer()->TabRect(0).Top + 2);
}
QPoint Centre(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}
} // namespace

TEST(QtTabRow, MultiLineRowsWrapStretchAndTheSelectedRowLiesNextToThePages) {
    Screen s;
    TPageControl* pc = Book(s, 12, 300);
    ITabControlPeer* tabs = pc->TabPeer();
    int singleTop = tabs->DisplayRect().Top;
    pc->SetMultiLine(true);
    TRect display = tabs->DisplayRect();
    EXPECT_GT(display.Top, singleTop + 10); // more than one row
    // Every tab in view, the rows stretched to the width; the selected tab's row the lowest.
    int lowest = 0;
    for (int i = 0; i < 12; ++i) {
        TRect r = tabs->TabRect(i);
        ASSERT_FALSE(r.IsEmpty()) << i;
        lowest = std::max(lowest, r.Top);
        EXPECT_LE(r.Right, 300);
    }
    EXPECT_EQ(tabs->TabRect(0).Top, lowest);
    EXPECT_EQ(tabs->TabRect(0).Left, 0);
    // Clicking a tab of an upper row brings that row down, next to the page area.
    TRect last = tabs->TabRect(11);
    ASSERT_LT(last.Top, lowest);
    QWidget* row = RowOf(pc);
    ASSERT_NE(row, nullptr);
    QPoint at = row->mapFrom(WidgetOf(pc), Centre(last));
    MouseTo(row, at, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(pc->ActivePageIndex(), 11);
    EXPECT_EQ(tabs->TabRect(11).Top, lowest);
    EXPECT_EQ(tabs->DisplayRect(), display);
    // RaggedRight leaves the rows as wide as their tabs.
    pc->SetRaggedRight(true);
    int widest = 0;
    for (int i = 0; i < 12; ++i)
        widest = std::max(widest, tabs->TabRect(i).Right);
    EXPECT_LE(widest, 300);
}

TEST(QtTabRow, PositionFixedSizesButtonsAndHotTracking) {
    Screen s;
    TPageControl* pc = Book(s, 3, 400);
    ITabControlPeer* tabs = pc->TabPeer();
    pc->SetTabWidth(90);
    pc->SetTabHeight(30);
    EXPECT_EQ(tabs->TabRect(1).Width(), 90);
    EXPECT_EQ(tabs->TabRect(1).Height(), 30);
    EXPECT_EQ(tabs->DisplayRect().Top, 32);

    // Tabs along the bottom: the pages above them, the sheets placed in what is left.
    pc->SetTabPosition(TTabPosition::tpBottom);
    EXPECT_EQ(tabs->TabRect(0).Bottom, 300);
    EXPECT_EQ(tabs->DisplayRect().Bottom, 300 - 30 - 2);
    EXPECT_EQ(pc->ActivePage()->BoundsRect().Bottom, 300 - 30 - 2 - 2);
    EXPECT_EQ(pc->ActivePage()->Top(), 2);
    // Along the left edge.
    pc->SetTabPosition(TTabPosition::tpLeft);
    EXPECT_EQ(tabs->TabRect(0).Left, 0);
    EXPECT_EQ(tabs->TabRect(0).Height(), 90);
    EXPECT_GT(tabs->DisplayRect().Left, 20);
    pc->SetTabPosition(TTabPosition::tpTop);

    // Buttons have no page frame: the display area starts right under the row.
    pc->SetStyle(TTabStyle::tsButtons);
    EXPECT_EQ(tabs->DisplayRect(), (TRect{0, 30, 400, 300}));

    // Hot tracking draws the tab under the mouse in the hot-tracking colour.
    pc->SetStyle(TTabStyle::tsTabs);
    pc->SetHotTrack(true);
    QWidget* row = RowOf(pc);
    TRect second = tabs->TabRect(1);
    auto hotPixels = [&] {
        QApplication::processEvents();
        QImage image = s.Grab();
        // Text pixels in the hot-tracking blue, antialiased edges included.
        int n = 0;
        for (int y = second.Top; y < second.Bottom; ++y)
            for (int x = second.Left; x < second.Right; ++x)
                if (QRgb p = image.pixel(x, y); qBlue(p) > qRed(p) + 80) ++n;
        return n;
    };
    EXPECT_EQ(hotPixels(), 0);
    MouseTo(row, row->mapFrom(WidgetOf(pc), Centre(second)), QEvent::MouseMove);
    EXPECT_GT(hotPixels(), 5);
}
