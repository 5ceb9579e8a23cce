// Reading one GIF frame: extensions, image descriptor, local colour table, pixel data; and building
// its bitmap through an in-memory BMP file read by the bitmap reader.
#include "graphics/TGIFFrame.h"

#include "graphics/GIFDecoder.h"
#include "graphics/GraphicsConsts.h"
#include "graphics/TGIFImage.h"
#include "stream/ByteOrder.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <cstring>

namespace {
// Building a frame's bitmap reports progress after this many rows.
constexpr int kRenderingRows = 32;
} // namespace

TGIFFrame::TGIFFrame(TGIFImage& image) : FImage(image) {}
TGIFFrame::~TGIFFrame() = default;

bool TGIFFrame::Empty() const {
    return !FHasPixels || Width() == 0 || Height() == 0;
}

const TGIFColorMap& TGIFFrame::ActiveColorMap() const {
    return FColorMap.Empty() ? FImage.Header().ColorMap : FColorMap;
}

void TGIFFrame::LoadFromStream(TGIFReader& reader) {
    ReadExtensions(reader);

    int next = reader.PeekByte();
    if (next == -1 || next == kGIFTrailer || next == 0) return; // extensions without an image

    uint8_t d[10];
    reader.ReadStrict(d, sizeof d);
    FImageDescriptor = {d[0], U16LE(d + 1), U16LE(d + 3), U16LE(d + 5), U16LE(d + 7), d[9]};
    if (FImageDescriptor.Separator != kGIFImageSeparator) GIFError(SGraphics::SGIFInvalidData);
    TGIFImageDescriptor& id = FImageDescriptor;
    if (id.Left + id.Width > 0xFFFF || id.Top + id.Height > 0xFFFF) {
        // Cut to what the 16-bit screen coordinates can hold.
        reader.Warning(SGraphics::SGIFInvalidImageSize);
        if (id.Left + id.Width > 0xFFFF) id.Width = static_cast<uint16_t>(0xFFFF - id.Left);
        if (id.Top + id.Height > 0xFFFF) id.Height = static_cast<uint16_t>(0xFFFF - id.Top);
    }
    if (id.Width == 0 || id.Height == 0) {
        id.Width = FImage.Header().LogicalScreenDescriptor.ScreenWidth;
        id.Height = FImage.Header().LogicalScreenDescriptor.ScreenHeight;
        reader.Warning(SGraphics::SGIFImageExceedsScreen);
    }
    if (id.PackedFields & 0x80) FColorMap.LoadFromStream(reader, id.PackedFields);

    ReadPixels(reader);

    if (!Empty()) {
        if (id.Left + id.Width > 0xFFFF || id.Top + id.Height > 0xFFFF)
            GIFError(SGraphics::SGIFInvalidImageSize);
        FImage.ContainFrame(*this, reader);
    }
}

void TGIFFrame::ReadExtensions(TGIFReader& reader) {
    int b = reader.ReadByte();
    while (b != -1 && b != kGIFImageSeparator && b != kGIFTrailer) {
        if (b != kGIFExtensionIntroducer) {
            reader.Warning(SGraphics::SGIFInvalidExtensionIntroducer);
            break;
        }
        std::unique_ptr<TGIFExtension> extension = TGIFExtension::Create(reader);
        reader.StepBack();
        extension->LoadFromStream(reader);
        if (auto* gce = dynamic_cast<const TGIFGraphicControlExtension*>(extension.get())) {
            if (!FGraphicControlExtension)
                FGraphicControlExtension = gce;
            else
                reader.Warning(SGraphics::SGIFMultipleGCE);
        }
        FExtensions.push_back(std::move(extension));
        b = reader.ReadByte();
    }
    if (b != -1) reader.StepBack();
}

void TGIFFrame::ReadPixels(TGIFReader& reader) {
    int minCodeSize = reader.ReadByte();
    if (minCodeSize < 0) {
        reader.Warning(SGraphics::SGIFPrematureEndOfData);
        return;
    }
    if (minCodeSize >= 13) {
        reader.Warning(SGraphics::SGIFInvalidData);
        reader.SkipSubBlocks();
        return;
    }
    const size_t count = static_cast<size_t>(Width()) * static_cast<size_t>(Height());
    FImage.ReservePixels(count);
    FHasPixels = true;
    if (TGIFImage::DecodeFramesLater()) {
        FPixelsAt = reader.Position();
        FMinCodeSize = minCodeSize;
        FPixelsPending = true;
        ++FImage.FFramesPending;
        // Where the decoder would leave the reader: after the last sub-block, or at the end.
        reader.SkipSubBlocks();
        return;
    }
    Decode(reader, minCodeSize, true);
}

void TGIFFrame::Decode(TGIFReader& reader, int minCodeSize, bool reportProgress) {
    const size_t count = static_cast<size_t>(Width()) * static_cast<size_t>(Height());
    // Pixels the data never reaches keep the transparent index, or 0; only a fill other than 0 writes
    // them, so a frame whose header claims more than its data brings costs only what it decodes.
    FData = TPixelMemory(count);
    const uint8_t fill = Transparent() ? FGraphicControlExtension->TransparentColorIndex() : 0;
    if (fill != 0 && count != 0) std::memset(FData.data(), fill, count);
    std::function<void(size_t)> progress;
    if (reportProgress)
        progress = [&](size_t done) {
            FImage.Progress(TProgressStage::psRunning, static_cast<int>(done * 100 / count), "");
        };
    DecodeGIFPixels(reader, minCodeSize, FData.data(), Width(), Height(), Interlaced(), progress);
}

void TGIFFrame::DecodePending() {
    if (!FPixelsPending) return;
    // Once: a decoding that fails leaves what it stored.
    FPixelsPending = false;
    // The picture lets its file go once no frame waits for it; this view keeps it for this decoding.
    const TByteView file = FImage.FFile;
    FImage.FrameDecoded();
    TGIFReader reader(file.Bytes, FImage);
    reader.SetPosition(FPixelsAt);
    Decode(reader, FMinCodeSize, false);
}

const TBitmap* TGIFFrame::Bitmap() {
    if (FBitmap || Empty()) return FBitmap.get();
    DecodePending();
    const int width = Width(), height = Height();
    const uint32_t stride = static_cast<uint32_t>(TBitmap::StrideOf(width, 8));
    const uint32_t pixelOffset = 14 + 40 + 256 * 4;
    const TGIFColorMap& colors = ActiveColorMap();

    std::vector<uint8_t> file;
    file.reserve(pixelOffset + static_cast<size_t>(stride) * static_cast<size_t>(height));
    file.push_back('B');
    file.push_back('M');
    Put32LE(file, pixelOffset + stride * static_cast<uint32_t>(height));
    Put32LE(file, 0);
    Put32LE(file, pixelOffset);
    Put32LE(file, 40);
    Put32LE(file, static_cast<uint32_t>(width));
    Put32LE(file, static_cast<uint32_t>(height)); // bottom row first
    Put16LE(file, 1);
    Put16LE(file, 8);
    Put32LE(file, 0);
    Put32LE(file, stride * static_cast<uint32_t>(height));
    Put32LE(file, 0);
    Put32LE(file, 0);
    Put32LE(file, 256);
    Put32LE(file, static_cast<uint32_t>(colors.Count()));
    for (int i = 0; i < 256; ++i) {
        TGIFColor c = i < colors.Count() ? colors[i] : TGIFColor{};
        file.push_back(c.Blue);
        file.push_back(c.Green);
        file.push_back(c.Red);
        file.push_back(0);
    }
    try {
        FImage.Progress(TProgressStage::psStarting, 0, SGraphics::SGIFRendering);
        for (int y = height - 1, done = 1; y >= 0; --y, ++done) {
            const uint8_t* row = FData.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
            file.insert(file.end(), row, row + width);
            file.insert(file.end(), stride - static_cast<uint32_t>(width), 0);
            if (done % kRenderingRows == 0)
                FImage.Progress(TProgressStage::psRunning, done * 100 / height, SGraphics::SGIFRendering);
        }
        if (Transparent() && FMask.empty()) BuildMask();

        auto bitmap = std::make_unique<TBitmap>();
        TMemoryStream stream(std::move(file));
        bitmap->LoadFromStream(stream);
        FBitmap = std::move(bitmap);
    } catch (const EAbort&) {
        // A progress handler stopped the building: no bitmap for this draw.
        return nullptr;
    }
    FImage.Progress(TProgressStage::psEnding, 100, SGraphics::SGIFRendering);
    return FBitmap.get();
}

void TGIFFrame::BuildMask() {
    const int width = Width(), height = Height(), stride = MaskStride();
    const uint8_t transparent = FGraphicControlExtension->TransparentColorIndex();
    std::vector<uint8_t> mask(static_cast<size_t>(stride) * static_cast<size_t>(height));
    bool any = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (FData.data()[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] ==
                transparent) {
                mask[static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x >> 3)] |=
                    static_cast<uint8_t>(0x80 >> (x & 7));
                any = true;
            }
    if (any) FMask = std::move(mask);
}
