// Fuzz target: the GIF reader. The bytes are a GIF picture's payload; whatever loads is asked for
// everything drawing asks for: the first frame's bitmap and its pixels, the frame rectangle, the
// background fill and the palette. Inputs of odd length load with frames decoded later, at the
// drawing.
#include "graphics/TGIFImage.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {
// A larger first frame is decoded but not made into a bitmap, to keep each run short.
constexpr int64_t kMaxConvertedPixels = 4 << 20;

void Draw(TGIFImage& gif) {
    gif.Palette();
    gif.FrameRect(gif.Width(), gif.Height());
    gif.FrameRect(105, 105);
    if (gif.NeedsBackgroundFill()) gif.BackgroundColor();
    if (gif.Images().empty()) return;
    const TGIFFrame& first = *gif.Images().front();
    if (static_cast<int64_t>(first.Width()) * first.Height() > kMaxConvertedPixels) return;
    const TBitmap* bitmap = gif.DecodedBitmap();
    if (!bitmap || bitmap->Empty()) return;
    first.Mask();
    volatile uint32_t sink = 0;
    for (uint32_t p : bitmap->ToBGRA())
        sink = sink + p;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TCustomMemoryStream stream(std::span(data, size));
    TGIFImage gif;
    // As a picture control has it: opaque, so a transparent first frame asks for the background fill.
    gif.SetTransparent(false);
    TGIFImage::SetDecodeFramesLater(size % 2 == 1);
    try {
        gif.LoadFromStream(stream);
        Draw(gif);
    } catch (const Exception&) {
    }
    return 0;
}
