// GIF file reading: signature, logical screen, global colour table, the block loop over frames, the
// trailer; and what drawing needs from the picture.
#include "graphics/TGIFImage.h"

#include "graphics/GraphicsConsts.h"
#include "graphics/GraphicsExceptions.h"
#include "graphics/TGIFReader.h"
#include "stream/ByteOrder.h"
#include "stream/TStream.h"

#include <algorithm>
#include <cctype>

const TClassInfo TGIFImage::ClassInfo{"TGIFImage", &TGraphic::ClassInfo};

namespace {
bool IsSignature(const uint8_t* p) {
    return std::toupper(p[0]) == 'G' && std::toupper(p[1]) == 'I' && std::toupper(p[2]) == 'F';
}

// The next byte that is not 0, or -1 at the end.
int SkipZeros(TGIFReader& reader) {
    int b;
    do
        b = reader.ReadByte();
    while (b == 0);
    return b;
}

std::vector<TPaletteEntry> PaletteOf(const TGIFColorMap& map) {
    std::vector<TPaletteEntry> palette;
    for (const TGIFColor& c : map.Colors())
        palette.push_back({c.Red, c.Green, c.Blue, 0});
    return palette;
}

// Rounded a * b / c, as the platform's MulDiv computes it for non-negative values.
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    int64_t p = static_cast<int64_t>(a) * b;
    return static_cast<int>((p + c / 2) / c);
}
} // namespace

// New GIF pictures are transparent; the picture control sets its own value.
TGIFImage::TGIFImage() {
    SetTransparent(true);
    SetModified(false);
}

TGIFImage::~TGIFImage() = default;

void TGIFImage::Warning(TGIFSeverity severity, const std::string& message) const {
    if (OnWarning)
        OnWarning(severity, message);
    else if (severity == gsError)
        throw GIFException(message);
}

namespace {
bool gDecodeFramesLater = false;
} // namespace

void TGIFImage::SetDecodeFramesLater(bool v) {
    gDecodeFramesLater = v;
}

bool TGIFImage::DecodeFramesLater() {
    return gDecodeFramesLater;
}

void TGIFImage::Clear() {
    FImages.clear();
    FHeader = TGIFHeader{};
    FPixelsRead = 0;
    FFile = {};
    FFramesPending = 0;
}

void TGIFImage::LoadFromStream(TStream& stream) {
    Progress(TProgressStage::psStarting, 0, SGraphics::SGIFLoading);
    Clear();
    const int64_t start = stream.Position();
    // Frames whose pixels are decoded later read them from the file, which is kept until then.
    FFile = ReadRestKept(stream);
    TGIFReader reader(FFile.Bytes, *this);
    try {
        ReadBlocks(reader);
    } catch (...) {
        if (FFramesPending == 0) FFile = {};
        stream.SetPosition(start);
        throw;
    }
    if (FFramesPending == 0) FFile = {};
    stream.SetPosition(start + static_cast<int64_t>(reader.Position()));
    Changed();
    Progress(TProgressStage::psEnding, 100, "");
}

void TGIFImage::ReadBlocks(TGIFReader& reader) {
    uint8_t header[6];
    reader.ReadStrict(header, sizeof header);
    if (!IsSignature(header)) {
        // A payload may carry a 4-byte length in front of the file.
        reader.SetPosition(4);
        reader.ReadStrict(header, sizeof header);
        if (!IsSignature(header)) GIFError(SGraphics::SGIFInvalidSignature);
    }
    std::copy(header, header + 3, FHeader.Signature);
    std::copy(header + 3, header + 6, FHeader.Version);

    uint8_t lsd[7];
    reader.ReadStrict(lsd, sizeof lsd);
    FHeader.LogicalScreenDescriptor = {U16LE(lsd), U16LE(lsd + 2), lsd[4], lsd[5], lsd[6]};
    if (lsd[4] & 0x80) FHeader.ColorMap.LoadFromStream(reader, lsd[4]);

    int b = SkipZeros(reader);
    while (b != -1 && b != kGIFTrailer) {
        reader.StepBack();
        if (b != kGIFExtensionIntroducer && b != kGIFImageSeparator) {
            reader.Warning(SGraphics::SGIFUnknownBlockType);
            break;
        }
        FImages.push_back(std::make_unique<TGIFFrame>(*this));
        TGIFFrame& frame = *FImages.back();
        frame.LoadFromStream(reader);
        Progress(TProgressStage::psRunning,
                 static_cast<int>((reader.Position() * 100 + reader.Size() / 2) / reader.Size()), "");
        if (frame.Empty() && frame.Extensions().empty()) FImages.pop_back();
        b = SkipZeros(reader);
    }
    // Reading stopped at the trailer, at a byte that is not one, or at the end.
    if (b != -1 && b != kGIFTrailer) {
        reader.ReadByte();
        reader.Warning(SGraphics::SGIFInvalidTrailer);
    }
}

void TGIFImage::DecodeFrames() {
    for (const auto& frame : FImages)
        frame->DecodePending();
}

void TGIFImage::FrameDecoded() {
    if (--FFramesPending == 0) FFile = {};
}

void TGIFImage::ReservePixels(size_t count) {
    if (count > kMaxPixels - FPixelsRead) GIFError(SGraphics::SGIFInvalidImageSize);
    FPixelsRead += count;
}

void TGIFImage::ContainFrame(const TGIFFrame& frame, TGIFReader& reader) {
    TGIFLogicalScreenDescriptor& screen = FHeader.LogicalScreenDescriptor;
    const int right = frame.Left() + frame.Width(), bottom = frame.Top() + frame.Height();
    if (screen.ScreenWidth >= right && screen.ScreenHeight >= bottom) return;
    if (screen.ScreenWidth != 0 || screen.ScreenHeight != 0)
        reader.Warning(SGraphics::SGIFImageExceedsScreen);
    if (screen.ScreenWidth < right) screen.ScreenWidth = static_cast<uint16_t>(right);
    if (screen.ScreenHeight < bottom) screen.ScreenHeight = static_cast<uint16_t>(bottom);
}

std::vector<TPaletteEntry> TGIFImage::Palette() {
    if (!FHeader.ColorMap.Empty()) return PaletteOf(FHeader.ColorMap);
    if (!FImages.empty()) return PaletteOf(FImages.front()->ActiveColorMap());
    return {};
}

const TBitmap* TGIFImage::DecodedBitmap() {
    if (FImages.empty()) return nullptr;
    return FImages.front()->Bitmap();
}

TTransparencyMask TGIFImage::TransparencyMask() {
    if (FImages.empty() || !FImages.front()->Transparent()) return {};
    TGIFFrame& frame = *FImages.front();
    frame.Bitmap(); // the mask is built with the bitmap
    return {{frame.Mask().data(), frame.Mask().size()}, frame.MaskStride()};
}

bool TGIFImage::NeedsBackgroundFill() const {
    return !Transparent() && !FImages.empty() && FImages.front()->Transparent();
}

TColor TGIFImage::BackgroundColor() const {
    if (FDrawBackgroundColor != clNone) return FDrawBackgroundColor;
    const TGIFColorMap& map = FHeader.ColorMap;
    if (map.Empty()) return clWindow;
    int index = FHeader.LogicalScreenDescriptor.BackgroundColorIndex;
    if (index >= map.Count()) {
        Warning(gsWarning, std::string(SGraphics::SGIFInvalidColorIndex));
        index = 0;
    }
    const TGIFColor& c = map[index];
    return static_cast<TColor>(c.Red | c.Green << 8 | c.Blue << 16);
}

void TGIFImage::SetDrawBackgroundColor(TColor v) {
    if (FDrawBackgroundColor == v) return;
    FDrawBackgroundColor = v;
    Changed();
}

TGIFFrameRect TGIFImage::FrameRect(int destWidth, int destHeight) const {
    if (FImages.empty()) return {};
    const TGIFFrame& f = *FImages.front();
    const int sw = Width(), sh = Height();
    return {MulDiv(f.Left(), destWidth, sw), MulDiv(f.Top(), destHeight, sh),
            MulDiv(f.Left() + f.Width(), destWidth, sw), MulDiv(f.Top() + f.Height(), destHeight, sh)};
}
