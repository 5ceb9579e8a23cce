// JPEG payload reading, header at loading, decoding into a bitmap on first need.
#include "graphics/TJPEGImage.h"

#include "graphics/GraphicsConsts.h"
#include "graphics/GraphicsExceptions.h"
#include "graphics/TJPEGDecompressor.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <string>

const TClassInfo TJPEGImage::ClassInfo{"TJPEGImage", &TGraphic::ClassInfo};

namespace {
// The library's own working memory (coefficient buffers of multi-scan files) is held to this.
constexpr size_t kLibraryMemoryLimit = TBitmap::kMaxPixelBytes;
// Progress reports while decoding come at most this often, in milliseconds.
constexpr uint64_t kProgressInterval = 500;
// Release 6b's number for a failed allocation.
constexpr int kOutOfMemory = 54;

// The library's output size at 1/denominator: each dimension divided and rounded up.
int Scaled(int size, TJPEGScale scale) {
    int denominator = 1 << scale;
    return (size + denominator - 1) / denominator;
}
} // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const {
    return FBitmap ? FBitmap->Width() : Scaled(FImage.Width, FScale);
}

int TJPEGImage::Height() const {
    return FBitmap ? FBitmap->Height() : Scaled(FImage.Height, FScale);
}

std::vector<TPaletteEntry> TJPEGImage::Palette() {
    return FBitmap ? FBitmap->Palette() : std::vector<TPaletteEntry>{};
}

std::span<const uint8_t> TJPEGImage::FileBytes() const {
    return FImage.Data ? FImage.Data->Bytes : std::span<const uint8_t>{};
}

void TJPEGImage::ReadData(TStream& stream) {
    uint32_t length = ReadLength(stream);
    FImage = TJPEGData{};
    FBitmap.reset();
    ReadFile(ReadKept(stream, length));
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    FImage = TJPEGData{};
    FBitmap.reset();
    ReadFile(ReadRestKept(stream));
}

void TJPEGImage::ReadFile(TByteView data) {
    FImage.Data = std::move(data);
    if (!FImage.Data->Bytes.empty()) {
        TJPEGDecompressor decompressor(FImage.Data->Bytes, kLibraryMemoryLimit);
        TJPEGHeaderInfo header = decompressor.ReadHeader();
        FImage.Width = header.Width;
        FImage.Height = header.Height;
        FImage.Grayscale = header.Grayscale;
        FProgressiveEncoding = header.Progressive;
    }
    SetPaletteModified(true);
    Changed();
}

TBitmap* TJPEGImage::Bitmap() {
    if (!FBitmap && FImage.Data) Decode();
    return FBitmap.get();
}

void TJPEGImage::Decode() {
    if (FBitmap || !FImage.Data) return;
    FBitmap = std::make_unique<TBitmap>();
    bool paletteModified = false;
    try {
        Progress(TProgressStage::psStarting, 0, "");
        TJPEGDecompressor decompressor(FImage.Data->Bytes, kLibraryMemoryLimit);
        decompressor.ReadHeader();
        TJPEGDecodeSettings settings;
        settings.ScaleDenominator = 1 << FScale;
        settings.Smoothing = FSmoothing;
        settings.Grayscale = FGrayscale;
        settings.EightBit = FPixelFormat == jf8Bit;
        settings.BestSpeed = FPerformance == jpBestSpeed;
        // Reports come at most every 500 ms, the first call only starting the clock, and only when the
        // percentage moved; each offers the rows decoded since the one before for drawing.
        int outputWidth = 0;
        bool clockStarted = false;
        uint64_t lastTime = 0;
        int lastPercent = -1, lastRow = 0;
        decompressor.SetProgressHandler([&](const TJPEGProgressInfo& info) {
            const uint64_t now = ProgressTickCount();
            if (!clockStarted) {
                clockStarted = true;
                lastTime = now;
                return;
            }
            if (now - lastTime < kProgressInterval || info.Percent == lastPercent) return;
            lastTime = now;
            lastPercent = info.Percent;
            const bool newRows = info.Rows > lastRow;
            const TRect rows{0, lastRow, outputWidth, info.Rows};
            if (newRows) {
                lastRow = info.Rows;
                FBitmap->Changed(); // the rows were written in place
            }
            Progress(TProgressStage::psRunning, info.Percent, newRows, newRows ? rows : TRect{}, "");
        });
        TJPEGOutputInfo output = decompressor.Start(settings);
        outputWidth = output.Width;

        const int64_t bytes = TBitmap::StrideOf(output.Width, output.BitsPerPixel) * output.Height;
        if (bytes > static_cast<int64_t>(TBitmap::kMaxPixelBytes))
            throw EJPEG(Format(SGraphics::SJPEGError, {std::to_string(kOutOfMemory)}));
        FBitmap->SetSize(output.Width, output.Height, output.BitsPerPixel);
        if (!output.ColorMap.empty()) {
            FBitmap->SetColorTable(std::move(output.ColorMap));
            paletteModified = true;
        }
        // The bitmap is bottom-up: row 0 of the output is its last stored row.
        decompressor.ReadRows(FBitmap->ScanLine(0), -static_cast<ptrdiff_t>(FBitmap->Stride()));
        decompressor.Finish();
    } catch (const EAbort&) {
        // A progress handler stopped decoding: the bitmap keeps what was decoded.
    } catch (...) {
        // Rows written before the error stay in the bitmap.
        FBitmap->Changed();
        Progress(TProgressStage::psEnding, 0, "");
        throw;
    }
    // The rows were written in place.
    FBitmap->Changed();
    Progress(TProgressStage::psEnding, 100, "");
    if (paletteModified) {
        SetPaletteModified(true);
        Changed();
    }
}

void TJPEGImage::SettingChanged() {
    FBitmap.reset();
    Changed();
}

void TJPEGImage::SetScale(TJPEGScale v) {
    if (FScale == v) return;
    FScale = v;
    SettingChanged();
}

void TJPEGImage::SetPerformance(TJPEGPerformance v) {
    if (FPerformance == v) return;
    FPerformance = v;
    SettingChanged();
}

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat v) {
    if (FPixelFormat == v) return;
    FPixelFormat = v;
    SettingChanged();
}

void TJPEGImage::SetGrayscale(bool v) {
    if (FGrayscale == v) return;
    FGrayscale = v;
    SettingChanged();
}

void TJPEGImage::SetSmoothing(bool v) {
    if (FSmoothing == v) return;
    FSmoothing = v;
    SettingChanged();
}
