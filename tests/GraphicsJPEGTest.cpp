// JPEG pictures: the header at loading, decoding on first need into a 24-bit or 236-grey bitmap, and
// libjpeg's fatal errors as "JPEG error #n". Fixtures are encoded by the picture writers.
#include "content/toolkit/encoders/JpegWriter.h"
#include "graphics/GraphicsConsts.h"
#include "graphics/GraphicsExceptions.h"
#include "graphics/TJPEGImage.h"
#include "graphics/TPicture.h"
#include "stream/Consts.h"
#include "tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

using namespace gfx_test;

namespace {

std::string JPEGError(int n) {
    return E(Format(SGraphics::SJPEGError, {std::to_string(n)}));
}

struct EncodeOptions {
    int Components = 3;
    J_COLOR_SPACE Space = JCS_RGB;
    bool Subsample = true; // 2x2 chroma, as the course's files
    bool Progressive = false;
    int Quality = 100;
};

// Encodes interleaved samples (Components per pixel, top row first) into a JFIF file: grey levels,
// red-green-blue, or Adobe CMYK as it is stored (255 is no ink) from the first three samples and no
// black.
std::vector<uint8_t> Encode(int width, int height, const std::vector<uint8_t>& samples,
                            EncodeOptions o = {}) {
    PixelImage image{width, height, {}};
    for (size_t at = 0; at + static_cast<size_t>(o.Components) <= samples.size();
         at += static_cast<size_t>(o.Components))
        image.Pixels.push_back(o.Components == 1 ? samples[at]
                                                 : uint32_t{samples[at]} << 16 |
                                                       uint32_t{samples[at + 1]} << 8 | samples[at + 2]);
    return EncodeJpeg(image, {.Quality = o.Quality,
                              .Grey = o.Space == JCS_GRAYSCALE,
                              .CMYK = o.Space == JCS_CMYK,
                              .Subsample = o.Subsample,
                              .Progressive = o.Progressive});
}

// A 16 by 16 image in four flat 8 by 8 quadrants: red, green / blue, white.
std::vector<uint8_t> Quadrants() {
    std::vector<uint8_t> s;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            bool right = x >= 8, bottom = y >= 8;
            uint8_t r = !bottom ? (right ? 0 : 255) : (right ? 255 : 0);
            uint8_t g = !bottom ? (right ? 255 : 0) : (right ? 255 : 0);
            uint8_t b = bottom ? 255 : 0;
            s.insert(s.end(), {r, g, b});
        }
    return s;
}

std::unique_ptr<TJPEGImage> LoadJPEG(const std::vector<uint8_t>& file) {
    auto jpeg = std::make_unique<TJPEGImage>();
    ReadPayload(*jpeg, WithLength(file));
    return jpeg;
}

// Every channel of every pixel within tolerance of the expected colour->
void ExpectNear(uint32_t actual, uint32_t expected, int tolerance, const std::string& where) {
    for (int shift : {0, 8, 16}) {
        int a = static_cast<int>(actual >> shift & 0xFF), e = static_cast<int>(expected >> shift & 0xFF);
        EXPECT_LE(std::abs(a - e), tolerance)
            << where << std::hex << " actual " << actual << " expected " << expected;
    }
    EXPECT_EQ(actual >> 24, 0xFFu) << where;
}

// Find the start-of-frame marker and give the frame another size.
void PatchFrameSize(std::vector<uint8_t>& file, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            file[i + 5] = static_cast<uint8_t>(height >> 8);
            file[i + 6] = static_cast<uint8_t>(height);
            file[i + 7] = static_cast<uint8_t>(width >> 8);
            file[i + 8] = static_cast<uint8_t>(width);
            return;
        }
    FAIL() << "no start-of-frame marker";
}

TEST(JPEGLoading, HeaderGivesSizeAndKindBeforeAnyDecoding) {
    auto colour = LoadJPEG(Encode(16, 16, Quadrants()));
    EXPECT_FALSE(colour->Empty());
    EXPECT_EQ(colour->Width(), 16);
    EXPECT_EQ(colour->Height(), 16);
    EXPECT_FALSE(colour->HeaderGrayscale());
    EXPECT_FALSE(colour->ProgressiveEncoding());
    EXPECT_FALSE(colour->Decoded());

    auto grey =
        LoadJPEG(Encode(20, 9, std::vector<uint8_t>(180, 90), {.Components = 1, .Space = JCS_GRAYSCALE}));
    EXPECT_EQ(grey->Width(), 20);
    EXPECT_EQ(grey->Height(), 9);
    EXPECT_TRUE(grey->HeaderGrayscale());

    auto progressive = LoadJPEG(Encode(16, 16, Quadrants(), {.Progressive = true}));
    EXPECT_TRUE(progressive->ProgressiveEncoding());

    // Through picture data.
    TPicture picture;
    TMemoryStream s(
        PictureData("TJPEGImage", WithLength(Encode(24, 8, std::vector<uint8_t>(24 * 8 * 3, 40)))));
    picture.ReadData(s);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TJPEGImage");
    EXPECT_EQ(picture.Width(), 24);
    EXPECT_EQ(picture.Height(), 8);
}

TEST(JPEGDecoding, ColourDecodesOnceToATwentyFourBitBitmap) {
    for (bool subsample : {false, true}) {
        auto jpeg = LoadJPEG(Encode(16, 16, Quadrants(), {.Subsample = subsample}));
        int starts = 0, ends = 0;
        jpeg->OnProgress = [&](TObject*, TProgressStage stage, int percent, bool, const TRect&,
                               const std::string&) {
            starts += stage == TProgressStage::psStarting;
            ends += stage == TProgressStage::psEnding && percent == 100;
        };
        const TBitmap* bitmap = jpeg->DecodedBitmap();
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(jpeg->DecodedBitmap(), bitmap);
        EXPECT_EQ(starts, 1);
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(bitmap->PixelFormat(), pf24bit);
        EXPECT_FALSE(bitmap->TopDown());
        EXPECT_TRUE(jpeg->Palette().empty());
        std::vector<uint32_t> px = bitmap->ToBGRA();
        ASSERT_EQ(px.size(), 256u);
        // Away from the quadrant edges, where subsampled chroma blends.
        const int tolerance = 6;
        for (int y : {0, 2, 13, 15})
            for (int x : {0, 2, 13, 15}) {
                bool right = x >= 8, bottom = y >= 8;
                uint32_t expected = !bottom ? (right ? Rgb(0, 255, 0) : Rgb(255, 0, 0))
                                            : (right ? Rgb(255, 255, 255) : Rgb(0, 0, 255));
                ExpectNear(px[static_cast<size_t>(y * 16 + x)], expected, tolerance,
                           "subsample " + std::to_string(subsample) + " at " + std::to_string(x) + "," +
                               std::to_string(y));
            }
    }
}

TEST(JPEGDecoding, AFileReadInPlaceDecodesAfterItsStreamIsGone) {
    const std::vector<uint8_t> file = Encode(16, 16, Quadrants(), {});
    const std::vector<uint32_t> expected = LoadJPEG(file)->DecodedBitmap()->ToBGRA();
    std::weak_ptr<const void> block;
    TJPEGImage jpeg;
    {
        auto bytes = std::make_shared<const std::vector<uint8_t>>(WithLength(file));
        block = bytes;
        TCustomMemoryStream stream(TByteView{std::span(*bytes), bytes, true});
        jpeg.ReadData(stream);
        // The compressed file is the stored one, not a copy.
        EXPECT_EQ(jpeg.FileBytes().data(), bytes->data() + 4);
    }
    EXPECT_FALSE(block.expired());
    ASSERT_NE(jpeg.DecodedBitmap(), nullptr);
    EXPECT_EQ(jpeg.DecodedBitmap()->ToBGRA(), expected);
}

TEST(JPEGDecoding, GreyscaleGoesThrough236GreyLevels) {
    // Rows of flat grey 51 (level 47 exactly, so dithering adds nothing) above a gradient.
    std::vector<uint8_t> samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            samples.push_back(y < 8 ? 51 : static_cast<uint8_t>(x * 8));
    auto jpeg = LoadJPEG(Encode(32, 16, samples, {.Components = 1, .Space = JCS_GRAYSCALE}));
    const TBitmap* bitmap = jpeg->DecodedBitmap();
    EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
    ASSERT_EQ(bitmap->ColorTable().size(), 236u);
    for (int j = 0; j < 236; ++j) {
        uint8_t v = static_cast<uint8_t>((j * 255 + 117) / 235); // evenly spaced from black to white
        EXPECT_EQ(bitmap->ColorTable()[static_cast<size_t>(j)], (TRGBQuad{v, v, v, 0})) << j;
    }
    EXPECT_EQ(jpeg->Palette().size(), 236u);
    EXPECT_TRUE(jpeg->PaletteModified());
    std::vector<uint32_t> px = bitmap->ToBGRA();
    for (int x = 0; x < 32; ++x) {
        EXPECT_EQ(px[static_cast<size_t>(x)], Rgb(51, 51, 51)) << x;
        ExpectNear(px[static_cast<size_t>(15 * 32 + x)], Rgb(x * 8, x * 8, x * 8), 4,
                   "gradient " + std::to_string(x));
    }
}

TEST(JPEGDecoding, SettingsForGreyOrEightBitOutputAndScale) {
    auto grey = LoadJPEG(Encode(16, 16, Quadrants()));
    grey->SetGrayscale(true);
    EXPECT_EQ(grey->DecodedBitmap()->PixelFormat(), pf8bit);
    EXPECT_EQ(grey->DecodedBitmap()->ColorTable().size(), 236u);

    auto eight = LoadJPEG(Encode(16, 16, Quadrants(), {.Subsample = false}));
    eight->SetPixelFormat(jf8Bit);
    const TBitmap* b = eight->DecodedBitmap();
    EXPECT_EQ(b->PixelFormat(), pf8bit);
    EXPECT_LE(b->ColorTable().size(), 236u);
    ExpectNear(b->ToBGRA()[0], Rgb(255, 0, 0), 12, "8-bit red");
    ExpectNear(b->ToBGRA()[255], Rgb(255, 255, 255), 12, "8-bit white");

    auto half = LoadJPEG(Encode(17, 16, std::vector<uint8_t>(17 * 16 * 3, 200)));
    half->SetScale(jsHalf);
    EXPECT_EQ(half->Width(), 9);
    EXPECT_EQ(half->DecodedBitmap()->Width(), 9);
    EXPECT_EQ(half->DecodedBitmap()->Height(), 8);
}

TEST(JPEGDecoding, CMYKBecomesOpaqueThirtyTwoBitPixels) {
    // Stored as Adobe files store it: 255 is no ink. Cyan-free, magenta- and yellow-full: red.
    std::vector<uint8_t> samples;
    for (int i = 0; i < 64; ++i)
        samples.insert(samples.end(), {255, 0, 0, 255});
    auto jpeg = LoadJPEG(Encode(8, 8, samples, {.Components = 4, .Space = JCS_CMYK}));
    const TBitmap* b = jpeg->DecodedBitmap();
    EXPECT_EQ(b->BitsPerPixel(), 32);
    for (uint32_t p : b->ToBGRA())
        ExpectNear(p, Rgb(255, 0, 0), 4, "cmyk");
}

TEST(JPEGDecoding, ATruncatedFileDecodesWhatItHasWithoutMessage) {
    std::vector<uint8_t> samples;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            samples.insert(samples.end(), {static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 4), 100});
    std::vector<uint8_t> file = Encode(64, 64, samples);
    file.resize(file.size() * 2 / 3);
    auto jpeg = LoadJPEG(file);
    const TBitmap* b = nullptr;
    EXPECT_EQ(ErrorOf<Exception>([&] { b = jpeg->DecodedBitmap(); }), "no error");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Width(), 64);
    EXPECT_EQ(b->Height(), 64);
    ExpectNear(b->ToBGRA()[2 * 64 + 3], Rgb(12, 8, 100), 8, "decoded part");
}

// ---- Faults -------------------------------------------------------------------------------------------

TEST(JPEGMalformed, EmptyDataLoadsAndFailsWithFortyTwoWhenFirstDecoded) {
    auto jpeg = LoadJPEG({});
    EXPECT_FALSE(jpeg->Empty());
    EXPECT_EQ(jpeg->Width(), 0);
    EXPECT_EQ(ErrorOf<EJPEG>([&] { jpeg->DecodedBitmap(); }), JPEGError(42));
    // The bitmap of the failed decoding stays, empty, and no further error is raised.
    const TBitmap* b = nullptr;
    EXPECT_EQ(ErrorOf<Exception>([&] {
                  jpeg->Decode();
                  b = jpeg->DecodedBitmap();
              }),
              "no error");
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->Empty());
}

TEST(JPEGMalformed, HeaderFaultsFailAtLoading) {
    TJPEGImage jpeg;
    EXPECT_EQ(ErrorOf<EJPEG>([&] { ReadPayload(jpeg, WithLength(Bytes().Str("GIF89a, not a JPEG").v)); }),
              JPEGError(53));
    // Start and end of image with nothing between: no image.
    EXPECT_EQ(ErrorOf<EJPEG>([&] {
                  ReadPayload(jpeg, WithLength(Bytes().Raw({0xFF, 0xD8, 0xFF, 0xD9}).v));
              }),
              JPEGError(51));
    // The payload is shorter than its length field.
    std::vector<uint8_t> payload = WithLength(Encode(8, 8, std::vector<uint8_t>(192, 7)));
    payload.pop_back();
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadPayload(jpeg, payload); }), E(SConsts::SReadError));
}

TEST(JPEGMalformed, HugeFramesFailBeforeAllocatingTheirPixels) {
    // A baseline frame of 60000 by 60000 would need a 10 GB bitmap.
    std::vector<uint8_t> baseline = Encode(16, 16, Quadrants());
    PatchFrameSize(baseline, 60000, 60000);
    auto big = LoadJPEG(baseline);
    EXPECT_EQ(big->Width(), 60000);
    EXPECT_EQ(ErrorOf<EJPEG>([&] { big->DecodedBitmap(); }), JPEGError(54));

    // A multi-scan frame of that size would need gigabytes of coefficients inside the library, which
    // then asks for the backing store it does not have.
    std::vector<uint8_t> progressive = Encode(16, 16, Quadrants(), {.Progressive = true});
    PatchFrameSize(progressive, 60000, 60000);
    auto multi = LoadJPEG(progressive);
    EXPECT_EQ(ErrorOf<EJPEG>([&] { multi->DecodedBitmap(); }), JPEGError(49));
}

} // namespace

namespace {
// Decodes a file with the library's own command-line decoder; empty when it is not installed.
std::vector<uint8_t> ReferenceDecode(const std::vector<uint8_t>& file, const std::string& options, int& width,
                                     int& height, int& channels) {
    // Tests run side by side in separate processes: each file is its own.
    static int calls = 0;
    std::string path = ::testing::TempDir() + "orv_reference_" + std::to_string(getpid()) + "_" +
                       std::to_string(++calls) + ".jpg";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return {};
        std::fwrite(file.data(), 1, file.size(), f);
        std::fclose(f);
    }
    std::string command = "djpeg " + options + " -pnm '" + path + "' 2>/dev/null";
    std::FILE* p = popen(command.c_str(), "r");
    if (!p) return {};
    std::vector<uint8_t> out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.insert(out.end(), buf, buf + n);
    pclose(p);
    std::remove(path.c_str());
    // "P6" or "P5", width, height, maxval, one blank, then the samples.
    if (out.size() < 2 || out[0] != 'P') return {};
    channels = out[1] == '6' ? 3 : 1;
    int fields[3] = {0, 0, 0};
    size_t i = 2;
    for (int k = 0; k < 3; ++k) {
        while (i < out.size() && std::isspace(out[i]))
            ++i;
        while (i < out.size() && std::isdigit(out[i]))
            fields[k] = fields[k] * 10 + (out[i++] - '0');
    }
    ++i;
    width = fields[0];
    height = fields[1];
    return {out.begin() + static_cast<std::ptrdiff_t>(i), out.end()};
}

std::vector<uint8_t> Noise(int width, int height, int components) {
    std::vector<uint8_t> s;
    uint32_t state = 12345;
    for (int i = 0; i < width * height * components; ++i) {
        state = state * 1103515245u + 12345u;
        int smooth = (i / components % width) * 255 / width; // a ramp with noise, like a photograph
        s.push_back(static_cast<uint8_t>(std::clamp(smooth + static_cast<int>(state >> 27) - 16, 0, 255)));
    }
    return s;
}
} // namespace

// The library's own decoder with the floating-point transform is the reference: the same pixels, to
// the last bit, for colour; for greyscale, its one-pass 236-level dithered output.
TEST(JPEGReference, MatchesTheLibrarysOwnFloatDecoder) {
    struct Case {
        const char* Label;
        int Components;
        J_COLOR_SPACE Space;
        const char* Options;
    };
    for (const Case& c :
         {Case{"colour", 3, JCS_RGB, "-dct float"},
          Case{"greyscale", 1, JCS_GRAYSCALE, "-dct float -colors 236 -onepass -dither fs"}}) {
        SCOPED_TRACE(c.Label);
        const int w = 97, h = 61;
        EncodeOptions o;
        o.Components = c.Components;
        o.Space = c.Space;
        o.Quality = 85;
        std::vector<uint8_t> file = Encode(w, h, Noise(w, h, c.Components), o);
        int rw = 0, rh = 0, channels = 0;
        std::vector<uint8_t> reference = ReferenceDecode(file, c.Options, rw, rh, channels);
        if (reference.empty()) GTEST_SKIP() << "djpeg is not installed";
        ASSERT_EQ(rw, w);
        ASSERT_EQ(rh, h);
        ASSERT_EQ(reference.size(), static_cast<size_t>(w * h * channels));
        auto jpeg = LoadJPEG(file);
        const TBitmap* bitmap = jpeg->DecodedBitmap();
        ASSERT_NE(bitmap, nullptr);
        std::vector<uint32_t> pixels = bitmap->ToBGRA();
        int differing = 0;
        for (int i = 0; i < w * h; ++i) {
            uint32_t p = pixels[static_cast<size_t>(i)];
            uint8_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
            const uint8_t* ref = &reference[static_cast<size_t>(i * channels)];
            bool same = channels == 3 ? (r == ref[0] && g == ref[1] && b == ref[2])
                                      : (r == ref[0] && g == ref[0] && b == ref[0]);
            differing += !same;
        }
        EXPECT_EQ(differing, 0);
    }
}

namespace {
// Pixels of the decoded picture that differ from djpeg's greyscale output, or -1 when djpeg is missing.
int DifferingFromDjpegGrey(TJPEGImage& jpeg, const std::vector<uint8_t>& file, const std::string& options) {
    int rw = 0, rh = 0, channels = 0;
    std::vector<uint8_t> reference =
        ReferenceDecode(file, options + " -dct float -colors 236 -onepass -dither fs", rw, rh, channels);
    if (reference.empty()) return -1;
    const TBitmap* bitmap = jpeg.DecodedBitmap();
    if (!bitmap || bitmap->Width() != rw || bitmap->Height() != rh || channels != 1 ||
        reference.size() != static_cast<size_t>(rw) * static_cast<size_t>(rh) ||
        bitmap->PixelFormat() != pf8bit)
        return rw * rh + 1;
    int differing = 0;
    for (int y = 0; y < rh; ++y) {
        const uint8_t* row = bitmap->ScanLine(y);
        const uint8_t* ref = &reference[static_cast<size_t>(y) * static_cast<size_t>(rw)];
        for (int x = 0; x < rw; ++x)
            differing += bitmap->ColorTable()[row[x]].Green != ref[x];
    }
    return differing;
}
} // namespace

// Greys are reduced to 236 levels by a pass of our own; it must give the library's indexes exactly,
// whatever the size (odd, one pixel wide or high), at every scale, for colour files shown in grey, and
// where the error pushes greys past white.
TEST(JPEGReference, GreyDitheringMatchesTheLibraryPixelForPixel) {
    uint32_t state = 99;
    auto random = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    struct Case {
        int Width, Height, Components;
        int Scale; // a TJPEGScale
        bool NearWhite;
    };
    std::vector<Case> cases = {{1, 1, 1, 0, false},
                               {1, 37, 1, 0, false},
                               {53, 1, 1, 0, false},
                               {33, 17, 1, 0, true},
                               {45, 29, 3, 0, false},
                               {71, 39, 1, 1, false},
                               {59, 43, 3, 3, true},
                               // Large enough to be reduced on a second thread while decoding.
                               {611, 437, 1, 0, false},
                               {703, 389, 3, 0, true}};
    for (int k = 0; k < 12; ++k)
        cases.push_back({1 + static_cast<int>(random() % 150), 1 + static_cast<int>(random() % 90),
                         k % 4 == 3 ? 3 : 1, 0, k % 3 == 2});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height) + ", " +
                     std::to_string(c.Components) + " components, scale " + std::to_string(c.Scale) +
                     (c.NearWhite ? ", near white" : ""));
        std::vector<uint8_t> samples = Noise(c.Width, c.Height, c.Components);
        if (c.NearWhite)
            for (uint8_t& s : samples)
                s = static_cast<uint8_t>(random() % 4 == 0 ? 255 : 248 + random() % 8);
        EncodeOptions o{.Components = c.Components, .Space = c.Components == 1 ? JCS_GRAYSCALE : JCS_RGB};
        o.Quality = 80;
        std::vector<uint8_t> file = Encode(c.Width, c.Height, samples, o);
        auto jpeg = LoadJPEG(file);
        jpeg->SetScale(static_cast<TJPEGScale>(c.Scale));
        if (c.Components == 3) jpeg->SetGrayscale(true);
        std::string options =
            "-scale 1/" + std::to_string(1 << c.Scale) + (c.Components == 3 ? " -grayscale" : "");
        int differing = DifferingFromDjpegGrey(*jpeg, file, options);
        if (differing < 0) GTEST_SKIP() << "djpeg is not installed";
        EXPECT_EQ(differing, 0);
    }
}

// The course's own greyscale photographs, millions of pixels each.
TEST(JPEGReference, CourseGreyPicturesMatchTheLibrary) {
    int grey = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORV_PICTURES_DIR)) {
        if (entry.path().extension() != ".jpg") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto jpeg = LoadJPEG(file);
        if (!jpeg->HeaderGrayscale()) continue;
        ++grey;
        SCOPED_TRACE(entry.path().filename().string());
        int differing = DifferingFromDjpegGrey(*jpeg, file, "");
        if (differing < 0) GTEST_SKIP() << "djpeg is not installed";
        EXPECT_EQ(differing, 0);
    }
    EXPECT_GE(grey, 2);
}
