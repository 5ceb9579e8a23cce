// Fuzz target: the bitmap readers. The bytes are read as a BMP file running to the end of the stream,
// as the 4-byte length and file of stored bitmap data, and as an icon file; whatever loads is converted
// to pixels as drawing would.
#include "graphics/TBitmap.h"
#include "graphics/TIcon.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {

// Larger pictures are loaded but not converted, to keep each run short.
constexpr int64_t kMaxConvertedPixels = 4 << 20;

void Convert(const TBitmap& bitmap) {
    if (bitmap.Empty() || static_cast<int64_t>(bitmap.Width()) * bitmap.Height() > kMaxConvertedPixels)
        return;
    volatile uint32_t sink = 0;
    for (uint32_t p : bitmap.ToBGRA())
        sink = sink + p;
}

void ReadBitmap(std::span<const uint8_t> bytes, bool withLength) {
    TCustomMemoryStream stream(bytes);
    TBitmap bitmap;
    try {
        if (withLength)
            bitmap.ReadData(stream);
        else
            bitmap.LoadFromStream(stream);
    } catch (const Exception&) {
        return;
    }
    bitmap.Palette();
    bitmap.PixelFormat();
    Convert(bitmap);
}

void ReadIcon(std::span<const uint8_t> bytes) {
    TCustomMemoryStream stream(bytes);
    TIcon icon;
    try {
        icon.LoadFromStream(stream);
        for (int size : {0, 16, 48})
            icon.ChooseImage(size, size);
        for (int size : {0, 16}) {
            icon.SetRequestedSize(size, size);
            icon.Width();
            if (const TBitmap* bitmap = icon.DecodedBitmap()) Convert(*bitmap);
        }
    } catch (const Exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    ReadBitmap(bytes, false);
    ReadBitmap(bytes, true);
    ReadIcon(bytes);
    return 0;
}
