// Decoding ahead: JPEG pictures decoded on the worker thread come out exactly as if decoded when first
// painted (pixels, errors, progress reports), work that is no longer wanted is abandoned cleanly, and
// the page control starts it for the pages either side of the one on view once the program is idle.
// Also built with ThreadSanitizer (ORV_TSAN).
#include "FakePlatform.h"
#include "app/TApplication.h"
#include "app/TCustomForm.h"
#include "content/toolkit/encoders/JpegWriter.h"
#include "controls/TImage.h"
#include "controls/TPageControl.h"
#include "graphics/TJPEGImage.h"
#include "tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace gfx_test;

namespace {

// A JFIF file of interleaved samples (components 1 or 3), top row first: a ramp with noise, as a
// photograph has.
std::vector<uint8_t> Photo(int width, int height, int components, uint32_t seed = 1) {
    std::vector<uint8_t> samples;
    for (int i = 0; i < width * height * components; ++i) {
        seed = seed * 1103515245u + 12345u;
        int ramp = (i / components % width) * 255 / width;
        samples.push_back(static_cast<uint8_t>(std::clamp(ramp + static_cast<int>(seed >> 27) - 16, 0, 255)));
    }
    PixelImage image{width, height, {}};
    for (size_t at = 0; at < samples.size(); at += static_cast<size_t>(components))
        image.Pixels.push_back(components == 1 ? samples[at]
                                               : uint32_t{samples[at]} << 16 |
                                                     uint32_t{samples[at + 1]} << 8 | samples[at + 2]);
    return EncodeJpeg(image, {.Quality = 90, .Grey = components == 1});
}

// Everything a decoding leaves to be seen: the bitmap, the error, the reports and the palette flag.
struct Outcome {
    int Width = 0, Height = 0, Bits = 0;
    std::vector<TRGBQuad> Colors;
    std::vector<uint8_t> Rows;
    std::string Error;
    std::vector<std::string> Reports;
    bool PaletteModified = false;

    bool operator==(const Outcome& o) const {
        return Width == o.Width && Height == o.Height && Bits == o.Bits && Rows == o.Rows &&
               Error == o.Error && Reports == o.Reports && PaletteModified == o.PaletteModified &&
               Colors.size() == o.Colors.size() &&
               std::equal(Colors.begin(), Colors.end(), o.Colors.begin(),
                          [](const TRGBQuad& a, const TRGBQuad& b) {
                              return a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
                          });
    }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    out << o.Width << "x" << o.Height << "x" << o.Bits << " " << o.Colors.size() << " colours, " << o.Error;
    for (const std::string& r : o.Reports)
        out << ", " << r;
    return out;
}

// Decodes file with the settings `setup` gives, at once or ahead on the worker.
Outcome DecodeOnce(const std::vector<uint8_t>& file, bool ahead, void (*setup)(TJPEGImage&) = nullptr) {
    TJPEGImage jpeg;
    ReadPayload(jpeg, WithLength(file));
    if (setup) setup(jpeg);
    Outcome o;
    jpeg.OnProgress = [&](TObject*, TProgressStage stage, int percent, bool redraw, const TRect&,
                          const std::string&) {
        o.Reports.push_back(std::to_string(static_cast<int>(stage)) + "/" + std::to_string(percent) + "/" +
                            std::to_string(redraw));
    };
    jpeg.SetPaletteModified(false);
    if (ahead) {
        jpeg.DecodeInBackground();
        EXPECT_EQ(jpeg.DecodingInBackground(), !file.empty());
    }
    o.Error = ErrorOf<Exception>([&] { jpeg.Decode(); });
    o.PaletteModified = jpeg.PaletteModified();
    if (const TBitmap* b = jpeg.DecodedBitmap()) {
        o.Width = b->Width();
        o.Height = b->Height();
        o.Bits = b->BitsPerPixel();
        o.Colors = b->ColorTable();
        o.Rows.assign(b->Bits().begin(), b->Bits().end());
    }
    EXPECT_FALSE(jpeg.DecodingInBackground());
    return o;
}

// The progress clock stands still: no report comes while the library works, whichever thread decodes.
struct StillClock {
    std::function<uint64_t()> Previous = ProgressTickCount;
    StillClock() {
        ProgressTickCount = [] { return uint64_t{1000}; };
    }
    ~StillClock() { ProgressTickCount = Previous; }
};

} // namespace

TEST(DecodeAhead, GivesWhatDecodingAtFirstNeedGives) {
    StillClock clock;
    const std::vector<uint8_t> colour = Photo(203, 151, 3), grey = Photo(317, 97, 1, 7),
                               largeGrey = Photo(701, 421, 1, 3);
    std::vector<uint8_t> truncated = colour;
    truncated.resize(truncated.size() / 2);
    // A frame too large for the pixel memory allowed: the header loads, decoding fails.
    std::vector<uint8_t> huge = colour;
    for (size_t i = 2; i + 9 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0xF0; // 61440 x 61440
            huge[i + 6] = huge[i + 8] = 0x00;
            break;
        }
    struct Case {
        const char* Name;
        const std::vector<uint8_t>* File;
        void (*Setup)(TJPEGImage&);
    } cases[] = {
        {"colour", &colour, nullptr},
        {"grey, 236 levels", &grey, nullptr},
        {"grey, large enough to be reduced on a thread of its own", &largeGrey, nullptr},
        {"colour at a quarter", &colour, [](TJPEGImage& j) { j.SetScale(jsQuarter); }},
        {"colour to 8 bits, fast", &colour,
         [](TJPEGImage& j) {
             j.SetPixelFormat(jf8Bit);
             j.SetPerformance(jpBestSpeed);
         }},
        {"truncated", &truncated, nullptr},
        {"too large", &huge, nullptr},
        {"empty", nullptr, nullptr},
    };
    const std::vector<uint8_t> none;
    for (const Case& c : cases) {
        const std::vector<uint8_t>& file = c.File ? *c.File : none;
        Outcome now = DecodeOnce(file, false, c.Setup);
        // Several times: the worker may have finished, be running, or not have begun.
        for (int round = 0; round < 3; ++round)
            EXPECT_EQ(DecodeOnce(file, true, c.Setup), now) << c.Name;
    }
    EXPECT_NE(DecodeOnce(huge, true).Error, "no error");
    EXPECT_NE(DecodeOnce(none, true).Error, "no error");
}

// A large grey picture is reduced to its levels on a second thread while the library decodes: every row
// a report offers for drawing is already final, and nothing is written while the report is heard.
TEST(GreyReduction, RowsOfferedWhileDecodingAreFinished) {
    std::function<uint64_t()> previous = ProgressTickCount;
    uint64_t now = 0;
    ProgressTickCount = [&now] { return now += 1000; };
    TJPEGImage jpeg;
    ReadPayload(jpeg, WithLength(Photo(701, 421, 1, 5)));
    std::vector<std::pair<int, std::vector<uint8_t>>> offered;
    jpeg.OnProgress = [&](TObject*, TProgressStage stage, int, bool redraw, const TRect& rows,
                          const std::string&) {
        if (stage != TProgressStage::psRunning || !redraw) return;
        const TBitmap* bitmap = jpeg.DecodedBitmap();
        for (int y = rows.Top; y < rows.Bottom; ++y) {
            const uint8_t* row = static_cast<const uint8_t*>(bitmap->ScanLine(y));
            offered.emplace_back(y, std::vector<uint8_t>(row, row + bitmap->Width()));
        }
    };
    jpeg.Decode();
    ProgressTickCount = previous;
    const TBitmap* bitmap = jpeg.DecodedBitmap();
    ASSERT_NE(bitmap, nullptr);
    ASSERT_GT(offered.size(), 100u);
    for (const auto& [y, pixels] : offered) {
        const uint8_t* row = static_cast<const uint8_t*>(bitmap->ScanLine(y));
        ASSERT_TRUE(std::equal(pixels.begin(), pixels.end(), row)) << "row " << y;
    }
}

TEST(DecodeAhead, WorkNoLongerWantedIsAbandoned) {
    StillClock clock;
    const std::vector<uint8_t> first = Photo(640, 480, 3), second = Photo(64, 48, 1, 3);
    // A setting changed while the worker decodes: the picture decodes with the new one.
    TJPEGImage jpeg;
    ReadPayload(jpeg, WithLength(first));
    jpeg.DecodeInBackground();
    jpeg.SetScale(jsHalf);
    EXPECT_FALSE(jpeg.DecodingInBackground());
    ASSERT_NE(jpeg.Bitmap(), nullptr);
    EXPECT_EQ(jpeg.Bitmap()->Width(), 320);
    // New data read while the worker decodes the old.
    TJPEGImage other;
    ReadPayload(other, WithLength(first));
    other.DecodeInBackground();
    ReadPayload(other, WithLength(second));
    ASSERT_NE(other.Bitmap(), nullptr);
    EXPECT_EQ(other.Bitmap()->Width(), 64);
    EXPECT_EQ(other.Bitmap()->BitsPerPixel(), 8);
    // Decoded already: nothing more to do.
    other.DecodeInBackground();
    EXPECT_FALSE(other.DecodingInBackground());
    // Pictures destroyed while their work waits or runs, with their bytes.
    for (int i = 0; i < 20; ++i) {
        auto doomed = std::make_unique<TJPEGImage>();
        ReadPayload(*doomed, WithLength(first));
        doomed->DecodeInBackground();
        if (i % 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

namespace {

class FakeIdleTimer : public IIdleTimer {
public:
    explicit FakeIdleTimer(int& alive) : Alive(alive) { ++Alive; }
    ~FakeIdleTimer() override { --Alive; }
    void Start(int ms) override { Waiting = ms; }
    void Stop() override { Waiting = 0; }
    int Waiting = 0; // the wait asked for, 0 when stopped
    std::function<void()> Task;
    int& Alive;
};

class IdlePlatform : public FakePlatform {
public:
    std::unique_ptr<IIdleTimer> CreateIdleTimer(std::function<void()> task) override {
        auto timer = std::make_unique<FakeIdleTimer>(TimersAlive);
        timer->Task = std::move(task);
        Timer = timer.get();
        return timer;
    }
    // The quiet spell passes.
    void Idle() {
        ASSERT_NE(Timer, nullptr);
        ASSERT_GT(Timer->Waiting, 0);
        Timer->Waiting = 0;
        Timer->Task();
    }
    FakeIdleTimer* Timer = nullptr;
    int TimersAlive = 0;
};

// Four pages, each with one JPEG picture; page 2 also holds a hidden picture, one drawn while it
// decodes, and one inside a panel.
struct Pages {
    IdlePlatform Platform;
    TApplication App{"orvanta"};
    TForm Form{nullptr};
    std::unique_ptr<TPageControl> Control = std::make_unique<TPageControl>(nullptr);
    std::vector<TJPEGImage*> Shown;
    TJPEGImage *Hidden = nullptr, *Incremental = nullptr, *Nested = nullptr;

    Pages() {
        Application = &App;
        Control->SetParent(&Form);
        const std::vector<uint8_t> file = Photo(96, 64, 3);
        auto picture = [&](TWinControl* parent) {
            auto* image = new TImage(Control.get());
            image->SetParent(parent);
            auto jpeg = std::make_unique<TJPEGImage>();
            ReadPayload(*jpeg, WithLength(file));
            auto* raw = jpeg.get();
            image->Picture()->SetGraphic(std::move(jpeg));
            return std::pair{image, raw};
        };
        for (int i = 0; i < 4; ++i) {
            auto* sheet = new TTabSheet(Control.get());
            sheet->SetPageControl(Control.get());
            Shown.push_back(picture(sheet).second);
            if (i == 2) {
                auto [hidden, h] = picture(sheet);
                hidden->SetVisible(false);
                Hidden = h;
                auto [incremental, n] = picture(sheet);
                incremental->SetIncrementalDisplay(true);
                Incremental = n;
                auto* panel = new TWinControl(Control.get());
                panel->SetParent(sheet);
                Nested = picture(panel).second;
            }
        }
    }
    ~Pages() {
        Control.reset();
        Application = nullptr;
    }
    std::vector<bool> Ahead() const {
        std::vector<bool> ahead;
        for (TJPEGImage* jpeg : Shown)
            ahead.push_back(jpeg->DecodingInBackground());
        return ahead;
    }
};

} // namespace

TEST(DecodeAhead, TheNeighboursOfThePageOnViewOnceIdle) {
    Pages p;
    p.Control->SetActivePageIndex(1);
    ASSERT_NE(p.Platform.Timer, nullptr);
    EXPECT_EQ(p.Platform.Timer->Waiting, 200);
    EXPECT_EQ(p.Ahead(), (std::vector<bool>{false, false, false, false}));
    p.Platform.Idle();
    EXPECT_EQ(p.Ahead(), (std::vector<bool>{true, false, true, false}));
    EXPECT_TRUE(p.Nested->DecodingInBackground());
    EXPECT_FALSE(p.Hidden->DecodingInBackground());
    EXPECT_FALSE(p.Incremental->DecodingInBackground());
    // Once it has fired the timer waits no more.
    EXPECT_EQ(p.Platform.Timer->Waiting, 0);
    // From the first page, the one before it is the last.
    p.Control->SetActivePageIndex(0);
    p.Platform.Idle();
    EXPECT_TRUE(p.Shown[3]->DecodingInBackground());
    // Painting takes what the worker made.
    EXPECT_NE(p.Shown[2]->Bitmap(), nullptr);
    EXPECT_FALSE(p.Shown[2]->DecodingInBackground());
    EXPECT_EQ(p.Shown[2]->Bitmap()->Width(), 96);

    // Switched off: the waiting timer stops and no change of page starts it again.
    p.Control->SetActivePageIndex(1);
    EXPECT_GT(p.Platform.Timer->Waiting, 0);
    p.Control->SetDecodeNeighboursAhead(false);
    EXPECT_EQ(p.Platform.Timer->Waiting, 0);
    p.Control->SetActivePageIndex(2);
    EXPECT_EQ(p.Platform.Timer->Waiting, 0);
    // The control goes, and its timer with it, while work may still run.
    p.Control->SetDecodeNeighboursAhead(true);
    p.Control->SetActivePageIndex(3);
    p.Platform.Idle();
    p.Control.reset();
    EXPECT_EQ(p.Platform.TimersAlive, 0);
}
