// Inputs the fuzz targets found to break a reader. Each is kept as hex text in fuzz/regressions/ (named
// after its target: loader-, bitmap-, gif- or jpeg-) and turned into bytes here, at test time; every one
// goes through the readers its target drives and must end normally or in one of the system's
// exceptions. Most of them only show in the sanitizer build, where a fault stops the test. The findings
// with a known right answer also have a case of their own.
#include "app/TForm1.h"
#include "graphics/TBitmap.h"
#include "graphics/TGIFImage.h"
#include "graphics/TIcon.h"
#include "graphics/TJPEGImage.h"
#include "stream/Exceptions.h"
#include "stream/ResourceTable.h"
#include "stream/TStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Hex text: pairs of hex digits separated by white space; '#' starts a comment that runs to the end of
// the line.
std::vector<uint8_t> ParseHex(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string word;
        while (words >> word) {
            if (word.size() != 2 || !std::isxdigit(static_cast<unsigned char>(word[0])) ||
                !std::isxdigit(static_cast<unsigned char>(word[1])))
                throw std::invalid_argument("not a hex byte: '" + word + "'");
            bytes.push_back(static_cast<uint8_t>(std::stoi(word, nullptr, 16)));
        }
    }
    return bytes;
}

std::vector<uint8_t> Finding(const std::string& name) {
    std::ifstream in(fs::path(ORV_FUZZ_REGRESSIONS) / name);
    if (!in) throw std::runtime_error("no finding " + name);
    return ParseHex(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
}

std::vector<std::string> Findings() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ORV_FUZZ_REGRESSIONS))
        if (entry.path().extension() == ".hex") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What each target does with its bytes, less the parts that only keep a fuzzing run short. Returns the
// message of the system's exception that ended it, or "" when nothing was raised; any other exception
// escapes.
// A BMP file running to the end of the stream, as the bitmap kind loads one.
std::string BitmapFile(std::span<const uint8_t> bytes) {
    TCustomMemoryStream stream(bytes);
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
        bitmap.ToBGRA();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

std::string Bitmap(std::span<const uint8_t> bytes) {
    std::string result = BitmapFile(bytes);
    // The same bytes as stored bitmap data (a length in front), and as an icon file.
    TCustomMemoryStream stored(bytes);
    TBitmap bitmap;
    try {
        bitmap.ReadData(stored);
        bitmap.ToBGRA();
    } catch (const Exception&) {
    }
    TCustomMemoryStream stream(bytes);
    TIcon icon;
    try {
        icon.LoadFromStream(stream);
        if (const TBitmap* image = icon.DecodedBitmap()) image->ToBGRA();
    } catch (const Exception&) {
    }
    return result;
}

std::string GIF(std::span<const uint8_t> bytes) {
    TCustomMemoryStream stream(bytes);
    TGIFImage gif;
    gif.SetTransparent(false);
    try {
        gif.LoadFromStream(stream);
        gif.FrameRect(gif.Width(), gif.Height());
        if (gif.NeedsBackgroundFill()) gif.BackgroundColor();
        if (const TBitmap* bitmap = gif.DecodedBitmap()) bitmap->ToBGRA();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

std::string JPEG(std::span<const uint8_t> bytes) {
    TCustomMemoryStream stream(bytes);
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromStream(stream);
        if (const TBitmap* bitmap = jpeg.DecodedBitmap()) bitmap->ToBGRA();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

std::string Loader(std::span<const uint8_t> bytes) {
    Resources::Register(Resources::RT_RCDATA, "TFORM1", bytes);
    std::string result;
    try {
        TForm1 form(nullptr);
    } catch (const Exception& e) {
        result = e.Message();
    }
    Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
    return result;
}

class FuzzFinding : public ::testing::TestWithParam<std::string> {};

} // namespace

TEST(FuzzFindingFiles, HexTextWithComments) {
    EXPECT_EQ(ParseHex("# a comment 00 11\n42 4d # 'BM'\n\n  ff 00\n"),
              (std::vector<uint8_t>{0x42, 0x4D, 0xFF, 0}));
    EXPECT_THROW(ParseHex("4d2"), std::invalid_argument);
    EXPECT_THROW(ParseHex("zz"), std::invalid_argument);
}

TEST_P(FuzzFinding, EndsInTheSystemsOwnErrorOrNone) {
    const std::string& name = GetParam();
    const std::vector<uint8_t> bytes = Finding(name);
    ASSERT_FALSE(bytes.empty()) << name;
    const std::string target = name.substr(0, name.find('-'));
    if (target == "bitmap")
        Bitmap(bytes);
    else if (target == "gif")
        GIF(bytes);
    else if (target == "jpeg")
        JPEG(bytes);
    else if (target == "loader")
        Loader(bytes);
    else
        FAIL() << name << ": the name does not start with a fuzz target";
}

INSTANTIATE_TEST_SUITE_P(Regressions, FuzzFinding, ::testing::ValuesIn(Findings()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = fs::path(info.param).stem().string();
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return name;
                         });

// The stride times the height of a header with an absurd depth overflows 64 bits; the header must be
// refused for its depth, without that product ever being formed.
TEST(FuzzFindingBitmap, AbsurdDepthIsInvalidWithoutOverflow) {
    EXPECT_EQ(BitmapFile(Finding("bitmap-stride-overflow.hex")), "Bitmap image is not valid");
    std::vector<uint8_t> file;
    auto put = [&](uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file.push_back(i < 8 ? static_cast<uint8_t>(v >> (8 * i)) : 0);
    };
    put('B' | 'M' << 8, 2); // signature
    put(54, 4);             // file size
    put(0, 4);              // reserved
    put(54, 4);             // offset of the pixels
    put(40, 4);             // info header size
    put(0x7FFFFFFF, 4);     // width
    put(0x7FFFFFFF, 4);     // height
    put(1, 2);              // planes
    put(0xFFFF, 2);         // bits per pixel
    put(0, 4);              // uncompressed
    put(0, 4 * 5);          // image size, resolution, colours used and important
    EXPECT_EQ(BitmapFile(file), "Bitmap image is not valid");
}
