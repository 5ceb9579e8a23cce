// Stored properties of the controls on a platform without a display: definitions that store them load,
// and each has its effect (the 3-D look inherited at the end of reading, padding in the layout pass,
// the page control's question before the user's change of page).
#include "FakePlatform.h"

#include "app/ErrorText.h"
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "controls/TMemo.h"
#include "stream/ResourceTable.h"
#include "tools/TextForm.h"

#include <gtest/gtest.h>

namespace {

struct LoadedForm {
    FakePlatform Platform;
    TApplication App{"orvanta"};
    std::vector<uint8_t> Bytes;
    TForm1* Form = nullptr;
    std::string Error;
    explicit LoadedForm(std::string_view source) : Bytes(CompileTextForm(source, ".")) {
        Application = &App;
        Resources::Register(Resources::RT_RCDATA, "TFORM1", Bytes);
        try {
            App.CreateForm(Form);
        } catch (const std::exception& e) {
            Error = ErrorDisplayText(e);
        }
    }
    ~LoadedForm() {
        delete Form;
        Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
        Application = nullptr;
    }
};

template <class T> T* Find(TComponent* owner, std::string_view name) {
    return dynamic_cast<T*>(owner->FindComponent(name));
}

constexpr std::string_view kForm = R"(
Form1 : TForm1 {
  Width = 416
  Height = 339
  Ctl3D = False
  Padding.Left = 10
  Padding.Top = 6
  Padding.Right = 20
  Padding.Bottom = 4
  Visible = True
  PageControl1 : TPageControl {
    Left = 40
    Top = 40
    Width = 300
    Height = 200
    ActivePage = TabSheet1
    OnChange = PageControl1Change
    OnChanging = PageControl1Change
    RaggedRight = True
    ScrollOpposite = False
    TabSheet1 : TTabSheet {
      Caption = "Uno"
      Padding.Left = 5
      ListBox1 : TListBox {
        Items.Strings = ("uno")
      }
      Memo1 : TMemo {
        Ctl3D = True
      }
    }
  }
  StatusBar1 : TStatusBar {
    Height = 18
  }
}
)";

} // namespace

TEST(ControlProperties, TheThreeDLookIsInheritedAtTheEndOfReadingUnlessStored) {
    LoadedForm f(kForm);
    ASSERT_EQ(f.Error, "");
    auto* list = Find<TListBox>(f.Form, "ListBox1");
    auto* memo = Find<TMemo>(f.Form, "Memo1");
    ASSERT_TRUE(list && memo);
    EXPECT_FALSE(f.Form->Ctl3D());
    EXPECT_FALSE(list->Ctl3D());
    EXPECT_TRUE(list->ParentCtl3D());
    EXPECT_TRUE(memo->Ctl3D());
    EXPECT_FALSE(memo->ParentCtl3D());
    // Without the 3-D look a single border is a flat line, not the sunken edge.
    list->HandleNeeded();
    auto* peer = dynamic_cast<FakeListBoxPeer*>(list->ListPeer());
    ASSERT_NE(peer, nullptr);
    EXPECT_FALSE(peer->Params.ClientEdge);
    EXPECT_TRUE(peer->Params.Border);

    // A later change of the form's look reaches the list, whose window is made again with the edge,
    // its items kept; the memo keeps its own.
    f.Form->SetCtl3D(true);
    list->HandleNeeded();
    peer = dynamic_cast<FakeListBoxPeer*>(list->ListPeer());
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(peer->Params.ClientEdge);
    EXPECT_EQ(list->Items()->Get(0), "uno");
    f.Form->SetCtl3D(false);
    EXPECT_TRUE(memo->Ctl3D());
}

TEST(ControlProperties, PaddingNarrowsTheAlignmentRectangle) {
    LoadedForm f(kForm);
    ASSERT_EQ(f.Error, "");
    auto* bar = Find<TStatusBar>(f.Form, "StatusBar1");
    auto* sheet = Find<TTabSheet>(f.Form, "TabSheet1");
    ASSERT_TRUE(bar && sheet);
    // The form's client area is 400 x 300: the bar spans it less the padding, above the bottom padding.
    EXPECT_EQ(bar->BoundsRect(), (TRect{10, 278, 380, 296}));
    // The sheet fills the page area; its own padding acts only on its children.
    auto* pc = Find<TPageControl>(f.Form, "PageControl1");
    TRect area = pc->TabPeer()->DisplayRect();
    EXPECT_EQ(sheet->BoundsRect(), (TRect{area.Left, area.Top + 2, area.Right, area.Bottom}));

    // Padding wider than the area leaves an empty rectangle, never negative sizes.
    f.Form->Padding()->SetLeft(1000);
    EXPECT_EQ(bar->Width(), 0);
    EXPECT_EQ(bar->Height(), 18);
}

namespace {
struct Gate {
    bool Allow = true;
    int Asked = 0;
    static void Query(TObject* self, TObject* sender, bool& allow) {
        auto* gate = reinterpret_cast<Gate*>(self);
        ++gate->Asked;
        EXPECT_NE(dynamic_cast<TPageControl*>(sender), nullptr);
        allow = gate->Allow;
    }
};
} // namespace

TEST(ControlProperties, OnChangingIsAskedBeforeEveryChangeByTheUserAndMayRefuse) {
    LoadedForm f(kForm);
    ASSERT_EQ(f.Error, "");
    auto* pc = Find<TPageControl>(f.Form, "PageControl1");
    auto* second = new TTabSheet(f.Form);
    second->SetCaption("Dos");
    second->SetPageControl(pc);
    // A handler of the notifying kind bound by name answers nothing: every change is allowed.
    ASSERT_TRUE(pc->OnChanging());
    auto* tabs = f.Platform.TabControls.front();
    tabs->Click(1);
    EXPECT_EQ(pc->ActivePage(), second);

    Gate gate;
    gate.Allow = false;
    TNotifyEvent changing;
    changing.Data = reinterpret_cast<TObject*>(&gate);
    changing.Query = &Gate::Query;
    pc->SetOnChanging(changing);
    tabs->Click(0);
    pc->SelectNextPage(true);
    pc->KeyDown(VK_LEFT, 0);
    EXPECT_EQ(gate.Asked, 3);
    EXPECT_EQ(pc->ActivePage(), second);
    EXPECT_EQ(tabs->Selected, 1);

    // Code changes the page without asking.
    pc->SetActivePageIndex(0);
    EXPECT_EQ(gate.Asked, 3);
    gate.Allow = true;
    pc->SelectNextPage(true);
    EXPECT_EQ(gate.Asked, 4);
    EXPECT_EQ(pc->ActivePage(), second);
}

namespace {
class TGuardedForm : public TForm {
public:
    using TForm::TForm;
    bool Allow = true;
    int Asked = 0;
    TCloseAction Action = TCloseAction::caHide;
    bool CloseQuery() override {
        ++Asked;
        return Allow;
    }
    void DoClose(TCloseAction& action) override { action = Action; }
};
} // namespace

TEST(FormClosing, TheCloseActionDecidesWhetherTheFormStaysOpenHidesOrEndsTheProgram) {
    FakePlatform platform;
    TApplication app("orvanta");
    Application = &app;
    TGuardedForm* main = nullptr;
    app.CreateForm(main);
    auto* other = new TGuardedForm(&app);
    main->SetVisible(true);
    other->SetVisible(true);

    main->Allow = false; // refused before any action is taken
    main->Close();
    main->Allow = true;
    main->Action = TCloseAction::caNone;
    main->Close();
    other->Action = TCloseAction::caNone;
    other->Close();
    EXPECT_EQ(platform.QuitCount, 0);
    EXPECT_TRUE(main->Visible());
    EXPECT_TRUE(other->Visible());

    other->Action = TCloseAction::caHide;
    other->Close();
    EXPECT_FALSE(other->Visible());
    EXPECT_EQ(platform.QuitCount, 0);
    main->Action = TCloseAction::caFree; // any action but caNone ends the program from the main form
    main->Close();
    EXPECT_EQ(platform.QuitCount, 1);
    Application = nullptr;
}

TEST(ApplicationSession, TheEndOfTheSessionAsksTheMainFormsCloseQuery) {
    FakePlatform platform;
    {
        TApplication app("orvanta");
        Application = &app;
        ASSERT_TRUE(platform.EndSessionQuery);
        EXPECT_TRUE(platform.EndSessionQuery()); // no main form yet
        TGuardedForm* form = nullptr;
        app.CreateForm(form);
        form->Allow = false;
        EXPECT_FALSE(platform.EndSessionQuery());
        form->Allow = true;
        EXPECT_TRUE(platform.EndSessionQuery());
        EXPECT_EQ(form->Asked, 2);
        delete form;
        Application = nullptr;
    }
    // Gone with the application.
    EXPECT_FALSE(platform.EndSessionQuery);
}
