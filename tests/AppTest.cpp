// The application shell on a platform without a display: error text, centring, size limits, the
// default title, failed form creation, and the course skeleton loaded as the program loads it.
#include "CourseFixture.h"
#include "FakePlatform.h"

#include "app/ErrorText.h"
#include "app/Program.h"
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "stream/Exceptions.h"
#include "stream/Loader.h"
#include "stream/ResourceTable.h"
#include "stream/TReader.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// An application object for one test, installed as the global one.
struct AppScope {
    TApplication App{"/opt/orvanta/bin/orvanta"};
    AppScope() { Application = &App; }
    ~AppScope() { Application = nullptr; }
};

} // namespace

TEST(ErrorText, FinalPeriodRule) {
    EXPECT_EQ(ErrorDisplayText(Exception("Stream read error")), "Stream read error.");
    EXPECT_EQ(ErrorDisplayText(Exception("Listo.")), "Listo.");
    EXPECT_EQ(ErrorDisplayText(Exception("")), "");
    EXPECT_EQ(ErrorDisplayText(Exception("Class TFoo not found 7")), "Class TFoo not found 7.");
    for (const char* unchanged : {"Ende!", "(a)", "quoted\"", "blank ", "comma,"})
        EXPECT_EQ(ErrorDisplayText(Exception(unchanged)), unchanged);
    EXPECT_EQ(ErrorDisplayText(Exception("canción")), "canción.");
}

TEST(ErrorText, InnermostMessageWins) {
    Exception outer("outer");
    auto middle = std::make_shared<Exception>("middle");
    middle->SetInnerException(std::make_shared<Exception>("innermost"));
    outer.SetInnerException(middle);
    EXPECT_EQ(ErrorDisplayText(outer), "innermost.");
    // An empty innermost message leaves the outer text.
    Exception other("outer");
    other.SetInnerException(std::make_shared<Exception>(""));
    EXPECT_EQ(ErrorDisplayText(other), "outer.");
}

TEST(FormCentring, CentresOnTheWorkAreaAndNeverAboveItsCorner) {
    EXPECT_EQ(TCustomForm::CenteredPosition({0, 0, 1920, 1040}, 1355, 836), (TPoint{282, 102}));
    EXPECT_EQ(TCustomForm::CenteredPosition({1920, 40, 3200, 1064}, 1355, 836), (TPoint{1920, 134}));
    // Odd differences truncate toward zero.
    EXPECT_EQ(TCustomForm::CenteredPosition({0, 0, 1366, 768}, 1355, 836), (TPoint{5, 0}));
    EXPECT_EQ(TCustomForm::CenteredPosition({100, 50, 1124, 818}, 1355, 836), (TPoint{100, 50}));
}

TEST(Application, DefaultTitleComesFromTheProgramFile) {
    EXPECT_EQ(TApplication::DefaultTitle("/usr/bin/orvanta"), "orvanta");
    EXPECT_EQ(TApplication::DefaultTitle("C:\\Programas\\ORVANTA.EXE"), "Orvanta");
    EXPECT_EQ(TApplication::DefaultTitle("./Curso.de.Sensores"), "Curso");
    EXPECT_EQ(TApplication::DefaultTitle(""), "");
}

TEST(Application, FailedConstructorResetsTheVariableAndFreesTheForm) {
    FakePlatform platform;
    AppScope scope;
    TForm1* form = reinterpret_cast<TForm1*>(0x1);
    // No definition at all.
    EXPECT_THROW(scope.App.CreateForm(form), EResNotFound);
    EXPECT_EQ(form, nullptr);
    // A definition that breaks half way: the components read so far go with the form.
    auto bytes = CourseBytes();
    bytes.resize(bytes.size() / 2);
    TCourseDefinition def(bytes);
    form = reinterpret_cast<TForm1*>(0x1);
    EXPECT_THROW(scope.App.CreateForm(form), EReadError);
    EXPECT_EQ(form, nullptr);
    EXPECT_EQ(scope.App.ComponentCount(), 0);
    EXPECT_EQ(scope.App.MainForm(), nullptr);
    // Loading may have made the form's window, hidden; it was never shown.
    for (const FakeWindowState& w : platform.Windows)
        EXPECT_EQ(w.ShowCount, 0);
}

TEST(Program, UnreadableDefinitionShowsOneBoxAndNoWindow) {
    FakePlatform platform;
    auto bytes = CourseBytes();
    bytes[3] = '1'; // "TPF1"
    TCourseDefinition def(bytes);
    EXPECT_EQ(RunProgram("/opt/orvanta/bin/orvanta"), 0);
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "Invalid stream format.");
    EXPECT_EQ(platform.Boxes[0].Caption, "Orvanta");
    EXPECT_EQ(platform.Boxes[0].Flags, MB_OK | MB_ICONERROR);
    for (const FakeWindowState& w : platform.Windows)
        EXPECT_EQ(w.ShowCount, 0);
    EXPECT_EQ(platform.LoopRuns, 0);
}

TEST(Program, StartsCentredAndEndsWhenTheWindowIsClosed) {
    FakePlatform platform;
    TCourseDefinition def;
    EXPECT_EQ(RunProgram("/opt/orvanta/bin/orvanta"), 0);
    EXPECT_TRUE(platform.Boxes.empty());
    ASSERT_EQ(platform.Windows.size(), 1u);
    const FakeWindowState& w = platform.Windows[0];
    EXPECT_EQ(w.Caption, "Orvanta Software por Quillon");
    EXPECT_EQ(w.Outer, (TRect{282, 102, 282 + 1355, 102 + 836}));
    EXPECT_EQ(w.ShowCommand, SW_SHOWNORMAL);
    EXPECT_EQ(w.ShowCount, 1);
    EXPECT_EQ(w.MinWidth, 720);
    EXPECT_EQ(w.MinHeight, 540);
    EXPECT_EQ(w.MaxWidth, 1355);
    EXPECT_EQ(w.MaxHeight, 836);
    EXPECT_EQ(w.Icon.size(), 766u);
    EXPECT_EQ(platform.AppTitle, "Orvanta");
    EXPECT_EQ(platform.LoopRuns, 1);
    EXPECT_EQ(platform.QuitCount, 1);
}

TEST(CourseSkeleton, LoadsEveryComponentAndBindsEveryField) {
    TCourseDefinition def;
    std::vector<TComponent*> finished;
    TTabSheet* activeAtFirstFinish = nullptr;
    std::optional<TFinishLoadingWatch> watch(std::in_place, [&](TComponent* c) {
        if (finished.empty())
            if (auto* f = dynamic_cast<TForm1*>(c); f && f->PageControl1)
                activeAtFirstFinish = f->PageControl1->ActivePage();
        finished.push_back(c);
    });
    TForm1 form(nullptr);
    watch.reset();

    EXPECT_EQ(form.ComponentCount() + 1, 293);
    int bound = 0;
    for (const TFieldInfo& field : TForm1::ClassInfo.Fields()) {
        TComponent* c = form.FindComponent(field.Name);
        ASSERT_NE(c, nullptr) << field.Name;
        EXPECT_TRUE(c->InheritsFrom(*field.FieldClass)) << field.Name;
        ++bound;
    }
    EXPECT_EQ(bound, 292);
    // Spot checks that the typed fields point at the components of their names.
    EXPECT_EQ(form.PageControl1, form.FindComponent("PageControl1"));
    EXPECT_EQ(form.StatusBar1, form.FindComponent("StatusBar1"));
    EXPECT_EQ(form.Imag43, form.FindComponent("Imag43"));
    EXPECT_EQ(form.Image107, form.FindComponent("Image107"));

    ASSERT_EQ(finished.size(), 293u);
    EXPECT_EQ(finished.front(), &form);
    EXPECT_EQ(finished.back(), form.StatusBar1);
    EXPECT_EQ(finished[finished.size() - 2], form.PageControl1);
    EXPECT_EQ(activeAtFirstFinish, form.TabSheet1);
    EXPECT_EQ(form.PageControl1->PageCount(), 48);
    EXPECT_EQ(form.PageControl1->ActivePage(), form.TabSheet1);
    EXPECT_EQ(form.StatusBar1->SimpleText(), "Page index: 0");
    EXPECT_EQ(form.Caption(), "Orvanta Software por Quillon");
}

TEST(FormSizes, SizesSetByTheProgramAreClampedToTheLimits) {
    TCourseDefinition def;
    TForm1 form(nullptr);
    form.SetWidth(2000);
    EXPECT_EQ(form.Width(), 1355);
    form.SetWidth(100);
    EXPECT_EQ(form.Width(), 720);
    form.SetHeight(900);
    EXPECT_EQ(form.Height(), 836);
    form.SetHeight(539);
    EXPECT_EQ(form.Height(), 540);
    form.SetBounds(0, 0, 1000, 600);
    EXPECT_EQ(form.Width(), 1000);
    EXPECT_EQ(form.Height(), 600);
    // Lowering the maximum below the current minimum lowers the minimum too.
    form.Constraints()->SetMaxWidth(700);
    EXPECT_EQ(form.Constraints()->MinWidth(), 700);
    EXPECT_EQ(form.Width(), 700);
}
