// Fuzz target: the GIF reader. The bytes are a GIF picture's payload; whatever loads is asked for
// everything drawing asks for: the first frame's bitmap and its pixels, the frame rectangle, the
// background fill and the palette.
#include "graphics/TGIFImage.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace {
// Larger frames are decoded but not converted to 32-bit pixels, to keep each run short.
constexpr int64_t kMaxConvertedPixels = 4 << 20;

void Draw(TGIFImage& gif) {
    gif.Palette();
    gif.FrameRect(gif.Width(), gif.Height());
    gif.FrameRect(105, 105);
    if (gif.NeedsBackgroundFill()) gif.BackgroundColor();
    for (const auto& frame : gif.Images())
        frame->Mask();
    const TBitmap* bitmap = gif.DecodedBitmap();
    if (!bitmap || bitmap->Empty() ||
        static_cast<int64_t>(bitmap->Width()) * bitmap->Height() > kMaxConvertedPixels)
        return;
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
    try {
        gif.LoadFromStream(stream);
        Draw(gif);
    } catch (const Exception&) {
    }
    return 0;
}
