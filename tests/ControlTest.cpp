// The control model on a platform without a display: inheritance of fonts and colours, the layout
// pass, the tab order, the scrolling form, and exceptions raised while the platform calls in.
#include "CourseFixture.h"
#include "FakePlatform.h"

#include "app/Program.h"
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/WindowPeer.h"
#include "stream/Exceptions.h"
#include "stream/ResourceTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A form of the course, shown on the fake platform with the window at outer size w x h.
struct ShownCourse {
    FakePlatform Platform;
    TCourseDefinition Definition;
    TApplication App{"orvanta"};
    TForm1* Form = nullptr;
    ShownCourse() {
        Application = &App;
        App.CreateForm(Form);
    }
    ~ShownCourse() { Application = nullptr; }
    FakeWindowState& Window() { return Platform.Windows.front(); }
    // The user drags the frame: the window reports its new outer bounds.
    void Resize(int w, int h) {
        TRect outer = Window().Outer;
        Window().Outer = {outer.Left, outer.Top, outer.Left + w, outer.Top + h};
        Platform.FormEvents(0).WindowMoved(Window().Outer);
    }
};

} // namespace

TEST(ControlInheritance, FontsAndColoursFlowDownUntilAControlStoresItsOwn) {
    FakePlatform platform;
    TWinControl parent(nullptr);
    parent.Font()->SetName("Arial");
    parent.SetColor(clYellow);
    TWinControl plain(nullptr), own(nullptr);
    own.Font()->SetName("Garamond"); // a stored font attribute ends inheritance
    own.SetColor(clWhite);
    plain.SetParent(&parent);
    own.SetParent(&parent);
    EXPECT_EQ(plain.Font()->Name(), "Arial");
    EXPECT_TRUE(plain.ParentFont());
    EXPECT_EQ(plain.Color(), clYellow);
    EXPECT_TRUE(plain.ParentColor());
    EXPECT_EQ(own.Font()->Name(), "Garamond");
    EXPECT_FALSE(own.ParentFont());

    // Later changes of the parent reach the inheriting child only.
    parent.Font()->SetHeight(-16);
    parent.SetColor(clSkyBlue);
    EXPECT_EQ(plain.Font()->Height(), -16);
    EXPECT_EQ(plain.Color(), clSkyBlue);
    EXPECT_NE(own.Font()->Height(), -16);
    EXPECT_EQ(own.Color(), clWhite);

    // Setting ParentFont back to True takes the parent's font at once.
    own.SetParentFont(true);
    EXPECT_EQ(own.Font()->Name(), "Arial");
    EXPECT_EQ(own.Font()->Height(), -16);
    EXPECT_TRUE(own.ParentFont());

    // Show-hint and double buffering follow the same rule.
    parent.SetShowHint(true);
    parent.SetDoubleBuffered(true);
    EXPECT_TRUE(plain.ShowHint());
    EXPECT_TRUE(plain.DoubleBuffered());
    own.SetShowHint(false);
    parent.SetShowHint(false);
    parent.SetShowHint(true);
    EXPECT_FALSE(own.ShowHint());
    plain.SetParent(nullptr);
    own.SetParent(nullptr);
}

TEST(ControlInheritance, TheCourseFontsAndColours) {
    ShownCourse c;
    TForm1& f = *c.Form;
    // No font stored: the form's; a stored font: its own whatever the form does.
    EXPECT_EQ(f.Label3->Font()->Name(), "Default");
    EXPECT_EQ(f.Label3->Font()->Height(), -11);
    EXPECT_EQ(f.Label27->Font()->Name(), "Times New Roman");
    EXPECT_EQ(f.PageControl1->Color(), clBtnFace);
    EXPECT_EQ(f.TabSheet1->Color(), clBtnFace);
    f.Font()->SetHeight(-13);
    EXPECT_EQ(f.Label3->Font()->Height(), -13);
    EXPECT_EQ(f.TabSheet1->Font()->Height(), -13);
    EXPECT_EQ(f.Label27->Font()->Height(), -19);
    // Every windowed control is double-buffered but the rich edits.
    EXPECT_TRUE(f.PageControl1->DoubleBuffered());
    EXPECT_TRUE(f.ListBox11->DoubleBuffered());
    EXPECT_FALSE(f.RichEdit2->DoubleBuffered());
}

TEST(ControlHints, TheNearestShowHintDecidesAndTheTextComesFromTheNearestHint) {
    TWinControl outer(nullptr), inner(nullptr);
    TGraphicControl leaf(nullptr);
    inner.SetParent(&outer);
    leaf.SetParent(&inner);
    EXPECT_EQ(leaf.HintText(), ""); // nobody shows hints
    outer.SetHint("Cuenca del río");
    leaf.SetShowHint(true);
    EXPECT_EQ(leaf.HintText(), "Cuenca del río");
    leaf.SetHint("Embalse");
    EXPECT_EQ(leaf.HintText(), "Embalse");
    // The course: a picture stores ShowHint True but no control has hint text, so no hint shows.
    leaf.SetHint("");
    outer.SetHint("");
    EXPECT_EQ(leaf.HintText(), "");
    leaf.SetParent(nullptr);
    inner.SetParent(nullptr);
}

TEST(ControlLayout, AlignedChildrenAndAnchors) {
    FakePlatform platform;
    TApplication app("orvanta");
    Application = &app;
    TForm form(nullptr);
    form.SetBounds(0, 0, 416, 339); // a client area of 400 x 300
    TWinControl bottom(nullptr), client(nullptr), anchored(nullptr), plain(nullptr);
    bottom.SetBounds(5, 5, 50, 18);
    bottom.SetAlign(TAlign::alBottom);
    client.SetAlign(TAlign::alClient);
    anchored.SetBounds(300, 200, 80, 40);
    plain.SetBounds(10, 10, 20, 20);
    for (TWinControl* c : {&bottom, &client, &anchored, &plain})
        c->SetParent(&form);
    anchored.SetAnchors(AnchorBit(akRight) | AnchorBit(akBottom));
    anchored.RecordAnchors();
    form.SetVisible(true);
    EXPECT_EQ(bottom.BoundsRect(), (TRect{0, 282, 400, 300}));
    EXPECT_EQ(client.BoundsRect(), (TRect{0, 0, 400, 282}));
    EXPECT_EQ(anchored.BoundsRect(), (TRect{300, 200, 380, 240}));
    // Growing the window moves the anchored control and re-places the aligned ones; the rest stay.
    FakeWindowState& w = platform.Windows.front();
    w.Outer = {w.Outer.Left, w.Outer.Top, w.Outer.Left + 516, w.Outer.Top + 389};
    platform.FormEvents(0).WindowMoved(w.Outer);
    EXPECT_EQ(bottom.BoundsRect(), (TRect{0, 332, 500, 350}));
    EXPECT_EQ(client.BoundsRect(), (TRect{0, 0, 500, 332}));
    EXPECT_EQ(anchored.BoundsRect(), (TRect{400, 250, 480, 290}));
    EXPECT_EQ(plain.BoundsRect(), (TRect{10, 10, 30, 30}));
    // Margins count only with AlignWithMargins.
    bottom.Margins()->SetLeft(4);
    bottom.SetAlignWithMargins(true);
    form.Realign();
    EXPECT_EQ(bottom.BoundsRect().Left, 4);
    for (TWinControl* c : {&bottom, &client, &anchored, &plain})
        c->SetParent(nullptr);
    Application = nullptr;
}

TEST(ControlFocus, TabOrderTraversalWrapsAndSkipsHiddenPages) {
    ShownCourse c;
    TForm1& f = *c.Form;
    // Activation focused the first control of the whole tab order: the page control.
    EXPECT_EQ(f.ActiveControl(), f.PageControl1);
    // Page 0 holds one list box; Tab goes there, and from there wraps back to the page control.
    EXPECT_TRUE(f.DialogKey(VK_TAB, 0));
    EXPECT_EQ(f.ActiveControl(), f.ListBox11);
    EXPECT_TRUE(f.DialogKey(VK_TAB, 0));
    EXPECT_EQ(f.ActiveControl(), f.PageControl1);
    EXPECT_TRUE(f.DialogKey(VK_TAB, ssShift));
    EXPECT_EQ(f.ActiveControl(), f.ListBox11);
    // A control on a hidden page cannot take the focus.
    EXPECT_FALSE(f.Memo1->CanFocus());
    try {
        f.FocusControl(f.Memo1);
        FAIL() << "focusing a hidden control must fail";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
    }
}

TEST(ControlLayout, PageAreaHoldsTheActiveSheet) {
    ShownCourse c;
    TForm1& f = *c.Form;
    // The fake tab control's page area is inset by 2 and starts under a 24-pixel row; 2 more below it.
    EXPECT_EQ(f.TabSheet1->BoundsRect(), (TRect{2, 26, 1318, 728}));
    EXPECT_TRUE(f.TabSheet1->Visible());
    EXPECT_FALSE(f.TabSheet2->Visible());
}

TEST(ControlFocus, RebuiltTabListTakesStoredOrders) {
    ShownCourse c;
    TForm1& f = *c.Form;
    // Page 8 stores TabOrder 0 on its list box and 1 on its static text.
    std::vector<TWinControl*> list = f.Imag16->TabList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], f.ListBox21);
    EXPECT_EQ(f.StaticText1->TabOrder(), 1);
    f.StaticText1->SetTabOrder(-5);
    EXPECT_EQ(f.StaticText1->TabOrder(), 0);
    f.StaticText1->SetTabOrder(99);
    EXPECT_EQ(f.StaticText1->TabOrder(), 1);
}

TEST(ScrollingForm, ScrollBarsAppearAtTheThresholdsAndMoveTheContent) {
    ShownCourse c;
    TForm1& f = *c.Form;
    // The fake platform's fonts are not the real ones, so the auto-sized Label28 (the lowest control
    // above the status bar) has the fake's line height; the real value is checked where fonts are real.
    const int vRange = f.Label28->Top() + f.Label28->Height() + 18;
    EXPECT_EQ(f.HorzScrollBar().Range(), 1328);
    EXPECT_EQ(f.VertScrollBar().Range(), vRange);
    EXPECT_FALSE(c.Window().HorzBar);
    EXPECT_FALSE(c.Window().VertBar);
    EXPECT_EQ(f.StatusBar1->BoundsRect(), (TRect{0, 779, 1339, 797}));

    // A client width of 1328 still fits; one pixel less needs the horizontal bar.
    c.Resize(1328 + 16, 836);
    EXPECT_FALSE(c.Window().HorzBar);
    // One pixel less needs the horizontal bar, which leaves a visible height of 780 < 789: the
    // vertical bar follows.
    c.Resize(1327 + 16, 836);
    EXPECT_TRUE(c.Window().HorzBar);
    EXPECT_TRUE(c.Window().VertBar);

    // Small: both bars; the status bar lies at the bottom of the scrollable area, not of the view.
    c.Resize(720, 540);
    EXPECT_TRUE(c.Window().HorzBar);
    EXPECT_TRUE(c.Window().VertBar);
    EXPECT_EQ(f.StatusBar1->Top(), vRange - 18);
    int labelTop = f.Label28->Top(), pageTop = f.PageControl1->Top();
    f.ScrollMessage(TScrollBarKind::sbVertical, TScrollCode::scLineDown, 0);
    EXPECT_EQ(f.VertScrollBar().Position(), 8);
    EXPECT_EQ(f.Label28->Top(), labelTop - 8);
    EXPECT_EQ(f.PageControl1->Top(), pageTop - 8);
    EXPECT_EQ(f.StatusBar1->Top(), vRange - 18 - 8);
    // Dragging the thumb moves nothing; releasing it does.
    f.ScrollMessage(TScrollBarKind::sbVertical, TScrollCode::scTrack, 100);
    EXPECT_EQ(f.VertScrollBar().Position(), 8);
    f.ScrollMessage(TScrollBarKind::sbVertical, TScrollCode::scPosition, 100);
    EXPECT_EQ(f.VertScrollBar().Position(), 100);
    EXPECT_EQ(f.Label28->Top(), labelTop - 100);
    // Growing the window back brings everything home.
    c.Resize(1355, 836);
    EXPECT_FALSE(c.Window().VertBar);
    EXPECT_EQ(f.Label28->Top(), 750);
    EXPECT_EQ(f.StatusBar1->BoundsRect(), (TRect{0, 779, 1339, 797}));
}

TEST(MessageLoop, ExceptionsFromCallbacksAreShownAndTheProgramGoesOn) {
    FakePlatform platform;
    TApplication app("/usr/bin/orvanta");
    Application = &app;
    SetCallbackExceptionHandler([] { Application->HandleException(Application); });
    int after = 0;
    GuardedCallback([] { throw EAbort("silent"); });
    GuardedCallback([] { throw EListError("List index out of bounds (5)"); });
    GuardedCallback([] { throw std::runtime_error("outside"); });
    GuardedCallback([&] { ++after; });
    EXPECT_EQ(after, 1);
    ASSERT_EQ(platform.Boxes.size(), 2u);
    EXPECT_EQ(platform.Boxes[0].Text, "List index out of bounds (5)"); // ")" takes no final "."
    EXPECT_EQ(platform.Boxes[0].Caption, "orvanta");
    EXPECT_EQ(platform.Boxes[1].Caption, "Application Error");
    EXPECT_EQ(platform.Boxes[1].Text.rfind("Exception std::runtime_error in module orvanta at ", 0), 0u)
        << platform.Boxes[1].Text;
    SetCallbackExceptionHandler(nullptr);
    Application = nullptr;
}
