// Fuzz target: JPEG pictures through the libjpeg adapter. The bytes are stored JPEG picture data (a
// 4-byte length, then the file) when they start with a length that fits, else a file running to the
// end. The header is read at loading; the image is then decoded with the settings the program uses, or,
// for a quarter of the inputs each, with 8-bit output or at half size with the fast settings.
#include "graphics/TJPEGImage.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {
// Larger images have their header read but are not decoded, to keep each run short.
constexpr int64_t kMaxDecodedPixels = 4 << 20;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TCustomMemoryStream stream(std::span(data, size));
    TJPEGImage jpeg;
    try {
        const bool stored =
            size >= 4 && (data[0] | data[1] << 8 | data[2] << 16 | uint64_t{data[3]} << 24) <= size - 4;
        if (stored)
            jpeg.ReadData(stream);
        else
            jpeg.LoadFromStream(stream);
        if (static_cast<int64_t>(jpeg.Width()) * jpeg.Height() > kMaxDecodedPixels) return 0;
        switch (size % 4) {
        case 2:
            jpeg.SetPixelFormat(jf8Bit);
            break;
        case 3:
            jpeg.SetScale(jsHalf);
            jpeg.SetPerformance(jpBestSpeed);
            jpeg.SetGrayscale(true);
            break;
        default:
            break;
        }
        if (const TBitmap* bitmap = jpeg.DecodedBitmap()) {
            volatile uint32_t sink = 0;
            for (uint32_t p : bitmap->ToBGRA())
                sink = sink + p;
        }
    } catch (const Exception&) {
    }
    return 0;
}
