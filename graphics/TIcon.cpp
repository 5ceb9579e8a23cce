// Icon reading: the directory header at loading; the choice of an image by size and colours, and the
// decoding of its colour rows and mask into one 32-bit bitmap when first asked for.
#include "graphics/TIcon.h"

#include "graphics/GraphicsConsts.h"
#include "stream/ByteOrder.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstdlib>
#include <cstring>
#include <limits>

const TClassInfo TIcon::ClassInfo{"TIcon", &TGraphic::ClassInfo};

namespace {

[[noreturn]] void InvalidIcon() {
    throw EInvalidGraphic(std::string(SGraphics::SInvalidIcon));
}

constexpr uint64_t kUnlimitedColors = std::numeric_limits<uint64_t>::max();

uint64_t Colors(const TIconDirEntry& e) {
    return e.ColorCount ? e.ColorCount : kUnlimitedColors;
}

// A candidate size is no worse than the current one: no farther from the request, and, when larger than
// requested, not larger by more than the current one is.
bool NoWorse(int candidate, int current, int requested) {
    if (std::abs(candidate - requested) > std::abs(current - requested)) return false;
    return candidate <= requested || candidate - requested <= current - requested;
}

} // namespace

void TIcon::LoadFromStream(TStream& stream) {
    std::vector<uint8_t> file = ReadRest(stream);
    if (file.size() < 6) throw EReadError(std::string(SConsts::SReadError));
    if (U16LE(file.data() + 2) > 1) InvalidIcon();
    FFile = std::move(file);
    FImage.reset();
    Changed();
}

void TIcon::SetAssigned(TIcon* source) {
    if (!source || source == this) return;
    FFile = source->FFile;
    FImage.reset();
    Changed();
}

int TIcon::IconType() const {
    return FFile.size() >= 6 ? U16LE(FFile.data() + 2) : -1;
}

std::vector<TIconDirEntry> TIcon::Entries() const {
    std::vector<TIconDirEntry> entries;
    if (IconType() != 1) return entries;
    size_t count = U16LE(FFile.data() + 4);
    if (6 + 16 * count > FFile.size()) InvalidIcon();
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = FFile.data() + 6 + 16 * i;
        TIconDirEntry e;
        e.Width = p[0];
        e.Height = p[1];
        e.ColorCount = U16LE(p + 2);
        e.Planes = U16LE(p + 4);
        e.BitCount = U16LE(p + 6);
        e.BytesInRes = U32LE(p + 8);
        e.ImageOffset = U32LE(p + 12);
        entries.push_back(e);
    }
    return entries;
}

int TIcon::ChooseImage(int requestedWidth, int requestedHeight, int displayBitsPerPixel) const {
    std::vector<TIconDirEntry> entries = Entries();
    if (entries.empty()) return -1;
    const uint64_t capacity =
        displayBitsPerPixel <= 8 ? uint64_t{1} << displayBitsPerPixel : kUnlimitedColors;
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i) {
        const TIconDirEntry &e = entries[i], &b = entries[best];
        if (Colors(e) > capacity || Colors(e) < Colors(b)) continue;
        if (!NoWorse(e.PixelWidth(), b.PixelWidth(), requestedWidth) ||
            !NoWorse(e.PixelHeight(), b.PixelHeight(), requestedHeight))
            continue;
        best = i;
    }
    return static_cast<int>(best);
}

void TIcon::SetRequestedSize(int width, int height) {
    if (width == FRequestedWidth && height == FRequestedHeight) return;
    FRequestedWidth = width;
    FRequestedHeight = height;
    FImage.reset();
    Changed();
}

int TIcon::ChosenIndex() const {
    bool large = FRequestedWidth == 0 && FRequestedHeight == 0;
    return ChooseImage(large ? kLargeIconSize : FRequestedWidth, large ? kLargeIconSize : FRequestedHeight);
}

int TIcon::Width() const {
    if (IconType() == 0) return kLargeIconSize;
    try {
        int i = ChosenIndex();
        return i < 0 ? 0 : Entries()[static_cast<size_t>(i)].PixelWidth();
    } catch (const EInvalidGraphic&) {
        return 0;
    }
}

int TIcon::Height() const {
    if (IconType() == 0) return kLargeIconSize;
    try {
        int i = ChosenIndex();
        return i < 0 ? 0 : Entries()[static_cast<size_t>(i)].PixelHeight();
    } catch (const EInvalidGraphic&) {
        return 0;
    }
}

const TBitmap* TIcon::DecodedBitmap() {
    if (FImage) return FImage.get();
    if (IconType() != 1) return nullptr;
    int i = ChosenIndex();
    if (i < 0) InvalidIcon();
    FImage = DecodeImage(Entries()[static_cast<size_t>(i)]);
    return FImage.get();
}

// An icon image is an info header whose height counts the colour rows and the mask rows, its colour
// table, the colour rows and the 1-bit mask rows, all bottom row first. Every part must lie inside both
// the entry's byte range and the file.
std::unique_ptr<TBitmap> TIcon::DecodeImage(const TIconDirEntry& entry) const {
    const uint64_t offset = entry.ImageOffset, size = entry.BytesInRes;
    if (offset > FFile.size() || size > FFile.size() - offset || size < 40) InvalidIcon();
    const uint8_t* p = FFile.data() + offset;
    // Images stored as PNG have no decoder here.
    if (std::memcmp(p, "\x89PNG", 4) == 0) InvalidIcon();
    const uint32_t headerSize = U32LE(p);
    const int32_t width = static_cast<int32_t>(U32LE(p + 4));
    const int32_t doubleHeight = static_cast<int32_t>(U32LE(p + 8));
    const int bpp = U16LE(p + 14);
    const uint32_t compression = U32LE(p + 16);
    const uint32_t used = U32LE(p + 32);
    if (headerSize < 40 || headerSize > size || width <= 0 || doubleHeight <= 1 || compression != BI_RGB)
        InvalidIcon();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) InvalidIcon();
    const int height = doubleHeight / 2;
    uint64_t entries = used ? used : bpp <= 8 ? uint64_t{1} << bpp : 0;
    if (entries > 256) InvalidIcon();
    const uint64_t colorStride = static_cast<uint64_t>(TBitmap::StrideOf(width, bpp));
    const uint64_t maskStride = static_cast<uint64_t>(TBitmap::StrideOf(width, 1));
    const uint64_t colorAt = headerSize + entries * 4;
    const uint64_t maskAt = colorAt + colorStride * static_cast<uint64_t>(height);
    if (maskAt + maskStride * static_cast<uint64_t>(height) > size ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4 > TBitmap::kMaxPixelBytes)
        InvalidIcon();

    TBitmap colors;
    colors.SetSize(width, height, bpp);
    std::vector<TRGBQuad> table;
    for (uint64_t i = 0; i < entries; ++i) {
        const uint8_t* q = p + headerSize + i * 4;
        table.push_back({q[0], q[1], q[2], 0});
    }
    colors.SetColorTable(std::move(table));
    std::memcpy(colors.Bits().data(), p + colorAt, colorStride * static_cast<uint64_t>(height));
    std::vector<uint32_t> pixels = colors.ToBGRA();

    // A 32-bit image with any alpha carries its own transparency; otherwise the mask decides.
    bool ownAlpha = false;
    if (bpp == 32)
        for (uint64_t i = 0; i < colorStride * static_cast<uint64_t>(height) && !ownAlpha; i += 4)
            ownAlpha = p[colorAt + i + 3] != 0;

    auto image = std::make_unique<TBitmap>();
    image->SetSize(width, height, 32);
    image->SetAlphaFormat(afDefined);
    for (int y = 0; y < height; ++y) {
        // Row y from the top is stored row height - 1 - y.
        const uint8_t* colorRow = p + colorAt + colorStride * static_cast<uint64_t>(height - 1 - y);
        const uint8_t* maskRow = p + maskAt + maskStride * static_cast<uint64_t>(height - 1 - y);
        uint8_t* out = image->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            uint32_t c = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            bool masked = maskRow[x >> 3] >> (7 - (x & 7)) & 1;
            uint8_t alpha = ownAlpha ? colorRow[4 * x + 3] : masked ? 0 : 0xFF;
            out[4 * x] = static_cast<uint8_t>(c);
            out[4 * x + 1] = static_cast<uint8_t>(c >> 8);
            out[4 * x + 2] = static_cast<uint8_t>(c >> 16);
            out[4 * x + 3] = alpha;
        }
    }
    return image;
}
