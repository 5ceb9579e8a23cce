// The course loaded as the program loads it, with what the pages not on view measure put off and GIF
// frames decoded later, against the course measured and decoded completely while it loads: every page
// shows the same pixels, and every control ends in the same place with the same contents, whether a
// page's controls are measured as the page shows or all together beforehand.
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "controls/TImage.h"
#include "controls/TLabel.h"
#include "controls/TListBox.h"
#include "controls/TMemo.h"
#include "graphics/TGIFImage.h"
#include "tests/CourseFixture.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>
#include <QWidget>

namespace {

// Qt's offscreen platform comes from the environment RenderTest.cpp registers for this program.

void CollectControls(const TWinControl& parent, std::vector<TControl*>& out) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        out.push_back(control);
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) CollectControls(*windowed, out);
    }
}

// A control's place and what it holds, as text to compare and to print.
std::string Describe(TControl& control) {
    TRect r = control.BoundsRect();
    std::string s = control.Name() + " " + std::to_string(r.Left) + "," + std::to_string(r.Top) + " " +
                    std::to_string(r.Width()) + "x" + std::to_string(r.Height());
    if (auto* list = dynamic_cast<TCustomListBox*>(&control)) {
        s += " items " + std::to_string(list->Items()->Count()) + " index " +
             std::to_string(list->ItemIndex()) + " top " + std::to_string(list->TopIndex());
        for (int i = 0; i < list->Items()->Count(); ++i)
            s += "|" + list->Items()->Get(i);
    }
    if (auto* memo = dynamic_cast<TCustomMemo*>(&control))
        s += " lines " + std::to_string(memo->Lines()->Count()) + " caret " +
             std::to_string(memo->SelStart()) + " modified " + std::to_string(memo->Modified()) + " " +
             memo->Text();
    return s;
}

struct TPageLook {
    QByteArray Pixels; // a digest of the window's picture with the page on view
    std::vector<std::string> Controls;
};

// Shows every page in turn, from the last to the first, and records what each looks like.
std::vector<TPageLook> VisitPages(TForm1& form) {
    auto* window = dynamic_cast<QWidget*>(form.Window());
    std::vector<TPageLook> looks;
    TPageControl& pages = *form.PageControl1;
    for (int p = pages.PageCount() - 1; p >= 0; --p) {
        pages.SetActivePageIndex(p);
        QImage image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        TPageLook look;
        look.Pixels = QCryptographicHash::hash(
            QByteArrayView(image.constBits(), static_cast<qsizetype>(image.sizeInBytes())),
            QCryptographicHash::Md5);
        std::vector<TControl*> controls;
        CollectControls(*pages.Pages(p), controls);
        for (TControl* c : controls)
            look.Controls.push_back(Describe(*c));
        looks.push_back(std::move(look));
    }
    return looks;
}

// The list boxes of the page on view and of the other pages, and how many of each have a window.
struct TListWindows {
    int OnView = 0, OnViewWithWindow = 0, Hidden = 0, HiddenWithWindow = 0;
};

TListWindows ListWindows(TForm1& form) {
    TListWindows counts;
    TPageControl& pages = *form.PageControl1;
    for (int p = 0; p < pages.PageCount(); ++p) {
        std::vector<TControl*> controls;
        CollectControls(*pages.Pages(p), controls);
        const bool onView = pages.Pages(p) == pages.ActivePage();
        for (TControl* c : controls) {
            auto* list = dynamic_cast<TCustomListBox*>(c);
            if (!list) continue;
            (onView ? counts.OnView : counts.Hidden) += 1;
            if (list->HandleAllocated()) (onView ? counts.OnViewWithWindow : counts.HiddenWithWindow) += 1;
        }
    }
    return counts;
}

// The GIF pictures of the course's picture controls.
std::vector<TGIFImage*> GIFPictures(TForm1& form) {
    std::vector<TControl*> controls;
    CollectControls(form, controls);
    std::vector<TGIFImage*> gifs;
    for (TControl* c : controls)
        if (auto* image = dynamic_cast<TImage*>(c))
            if (auto* gif = dynamic_cast<TGIFImage*>(image->Picture()->Graphic())) gifs.push_back(gif);
    return gifs;
}

TForm1* LoadCourse(TApplication& app, bool later) {
    TControl::SetMeasureHiddenLater(later);
    TGIFImage::SetDecodeFramesLater(later);
    TForm1* form = nullptr;
    app.CreateForm(form);
    TGIFImage::SetDecodeFramesLater(false);
    TControl::SetMeasureHiddenLater(false);
    return form;
}

void ExpectSameLooks(const std::vector<TPageLook>& expected, const std::vector<TPageLook>& got) {
    ASSERT_EQ(expected.size(), got.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const int page = static_cast<int>(expected.size() - 1 - i);
        EXPECT_EQ(expected[i].Controls, got[i].Controls) << "page " << page;
        EXPECT_EQ(expected[i].Pixels, got[i].Pixels) << "page " << page;
    }
}

} // namespace

TEST(MeasureLater, PagesLookTheSameMeasuredAsTheyShowOrAllTogether) {
    TCourseDefinition definition;
    TApplication app("orvanta");
    Application = &app;

    TForm1* eager = LoadCourse(app, false);
    // Every list box got its window while loading.
    TListWindows counts = ListWindows(*eager);
    ASSERT_GT(counts.OnView, 0);
    ASSERT_GT(counts.Hidden, 0);
    EXPECT_EQ(counts.HiddenWithWindow, counts.Hidden);
    const std::vector<TPageLook> expected = VisitPages(*eager);
    delete eager;

    // Put off: the hidden pages' list boxes hold their items without a window until their page shows;
    // the page on view is made at once.
    TForm1* later = LoadCourse(app, true);
    counts = ListWindows(*later);
    EXPECT_EQ(counts.HiddenWithWindow, 0);
    EXPECT_EQ(counts.OnViewWithWindow, counts.OnView);
    const std::vector<TGIFImage*> gifs = GIFPictures(*later);
    ASSERT_FALSE(gifs.empty());
    for (TGIFImage* gif : gifs)
        EXPECT_TRUE(gif->FramesPending()) << "the course's GIF pictures lie on pages not on view at first";
    ExpectSameLooks(expected, VisitPages(*later));
    for (TGIFImage* gif : gifs)
        EXPECT_FALSE(gif->FramesPending());
    delete later;

    // Put off, then all measured beforehand, a page at a time, as the program does once it is left alone.
    // The program decodes its GIF pictures later because they decode without a warning: nothing is
    // said then that loading would have said.
    TForm1* settled = LoadCourse(app, true);
    std::vector<std::string> warnings;
    for (TGIFImage* gif : GIFPictures(*settled))
        gif->OnWarning = [&warnings](TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    int steps = 0;
    while (settled->SettleMeasuresStep())
        ++steps;
    EXPECT_TRUE(warnings.empty());
    for (TGIFImage* gif : GIFPictures(*settled))
        EXPECT_FALSE(gif->FramesPending());
    EXPECT_GT(steps, 1) << "a step measures one page's controls, not all of them";
    EXPECT_FALSE(settled->SettleMeasuresStep());
    counts = ListWindows(*settled);
    EXPECT_EQ(counts.HiddenWithWindow, counts.Hidden);
    ExpectSameLooks(expected, VisitPages(*settled));
    delete settled;
    Application = nullptr;
}
