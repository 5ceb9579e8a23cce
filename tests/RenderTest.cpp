// Painting on the real platform (Qt's offscreen screen): what the course window shows where, and the
// order in which overlapping controls paint.
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "controls/ColorToRGB.h"
#include "tests/CourseFixture.h"
#include "tests/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <cstdlib>

namespace {

const auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));

QImage Grab(TCustomForm& form) {
    auto* window = dynamic_cast<QWidget*>(form.Window());
    return window ? window->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

QRgb Rgb(uint32_t colorRef) {
    return qRgb(colorRef & 0xFF, colorRef >> 8 & 0xFF, colorRef >> 16 & 0xFF);
}

// Counts the pixels of a rectangle that differ from a colour.
int PixelsOtherThan(const QImage& image, const TRect& r, QRgb colour) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (colour & 0xFFFFFF)) ++n;
    return n;
}

int PixelsOf(const QImage& image, const TRect& r, QRgb colour) {
    return (r.Width() * r.Height()) - PixelsOtherThan(image, r, colour);
}

} // namespace

TEST(RenderCourse, FurnitureShowsAndTheHiddenLabelStaysHidden) {
    TCourseDefinition definition;
    TApplication app("orvanta");
    Application = &app;
    TForm1* form = nullptr;
    app.CreateForm(form);
    QImage image = Grab(*form);
    ASSERT_FALSE(image.isNull());
    if (const char* out = std::getenv("ORV_RENDER_OUT")) image.save(out);
    ASSERT_EQ(image.width(), 1339);
    ASSERT_EQ(image.height(), 797);
    // With the real fonts the controls' extent is 1328 across and 789 down (Label28 ends at 771, and the
    // status bar adds its 18), so the full-size window needs no scroll bar.
    EXPECT_EQ(form->HorzScrollBar().Range(), 1328);
    EXPECT_EQ(form->VertScrollBar().Range(), 789);
    EXPECT_FALSE(form->VertScrollBar().Shown());
    QRgb face = Rgb(ColorToRGB(clBtnFace));
    EXPECT_EQ(face, qRgb(240, 240, 240));
    // Label3 lies inside the page control, whose window covers it: the window looks the same without it.
    form->Label3->SetVisible(false);
    QImage without = Grab(*form);
    TRect r = form->Label3->BoundsRect();
    EXPECT_EQ(image.copy(r.Left, r.Top, r.Width(), r.Height()),
              without.copy(r.Left, r.Top, r.Width(), r.Height()));
    EXPECT_GT(PixelsOtherThan(image, r, face), 0); // the area is not empty: the page's list box is there
    // The two red lines under the page control show, on the form's button face.
    QRgb red = qRgb(255, 0, 0);
    EXPECT_GT(PixelsOf(image, {8, 730, 158, 750}, red), 50);
    EXPECT_GT(PixelsOf(image, {8, 752, 667, 771}, red), 200);
    EXPECT_EQ((image.pixel(1000, 760) & 0xFFFFFF), face & 0xFFFFFF);
    Application = nullptr;
    delete form;
}

TEST(RenderOrder, LaterGraphicChildrenPaintOverEarlierAndWindowsOverAll) {
    TApplication app("orvanta");
    Application = &app;
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 316, 239);
    auto* first = new TLabel(form);
    auto* second = new TLabel(form);
    auto* window = new TWinControl(form);
    for (TLabel* l : {first, second}) {
        l->SetTransparent(false);
        l->SetAutoSize(false);
        l->SetParent(form);
    }
    first->SetBounds(10, 10, 100, 40);
    first->SetColor(clRed);
    second->SetBounds(60, 30, 100, 40);
    second->SetColor(clBlue);
    window->SetBounds(140, 10, 50, 50);
    window->SetColor(clYellow);
    window->SetParent(form);
    form->SetVisible(true);
    QImage image = Grab(*form);
    EXPECT_EQ(image.pixel(20, 20) & 0xFFFFFF, qRgb(255, 0, 0) & 0xFFFFFF);    // the first alone
    EXPECT_EQ(image.pixel(80, 40) & 0xFFFFFF, qRgb(0, 0, 255) & 0xFFFFFF);    // the second over the first
    EXPECT_EQ(image.pixel(150, 40) & 0xFFFFFF, qRgb(255, 255, 0) & 0xFFFFFF); // the window over the second
    Application = nullptr;
    delete form;
}
