// JPEG payload reading, header at loading, decoding into a bitmap on first need.
#include "graphics/TJPEGImage.h"

#include "graphics/JPEGError.h"
#include "graphics/TJPEGDecompressor.h"
#include "graphics/TWorkerThread.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
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

// Decodes a JPEG file into bitmap. progress hears the library's reports with the output's width (0
// until decompression has started). colorMap tells whether the output came with a colour map, also
// when an error follows; rows decoded before an error stay in the bitmap.
void DecodeFile(std::span<const uint8_t> file, const TJPEGDecodeSettings& settings, TBitmap& bitmap,
                bool& colorMap, const std::function<void(const TJPEGProgressInfo&, int)>& progress) {
    TJPEGDecompressor decompressor(file, kLibraryMemoryLimit);
    decompressor.ReadHeader();
    int outputWidth = 0;
    decompressor.SetProgressHandler([&](const TJPEGProgressInfo& info) { progress(info, outputWidth); });
    TJPEGOutputInfo output = decompressor.Start(settings);
    outputWidth = output.Width;

    const int64_t bytes = TBitmap::StrideOf(output.Width, output.BitsPerPixel) * output.Height;
    if (bytes > static_cast<int64_t>(TBitmap::kMaxPixelBytes)) throw JPEGError(kOutOfMemory);
    bitmap.SetSize(output.Width, output.Height, output.BitsPerPixel);
    if (!output.ColorMap.empty()) {
        bitmap.SetColorTable(std::move(output.ColorMap));
        colorMap = true;
    }
    // The bitmap is bottom-up: row 0 of the output is its last stored row.
    decompressor.ReadRows(bitmap.ScanLine(0), -static_cast<ptrdiff_t>(bitmap.Stride()));
    decompressor.Finish();
}

// Raised inside the library's progress report to end work that nobody wants any more.
struct TAbandoned {};
} // namespace

// Decoding ahead, shared by the picture and the worker. The worker holds its own view of the file, so
// the bytes' keeper lives as long as the work; bytes without a keeper outlive the picture, which waits
// for running work before it goes.
struct TJPEGImage::TBackgroundDecode {
    enum class TState { Waiting, Running, Finished };

    std::mutex Lock;
    std::condition_variable Done;
    TState State = TState::Waiting;
    std::atomic<bool> Abandoned{false};
    TByteView File;
    TJPEGDecodeSettings Settings;
    // The results, written by the worker before it sets Finished under the lock.
    std::unique_ptr<TBitmap> Bitmap;
    bool ColorMap = false;
    std::exception_ptr Error;

    void Run() {
        {
            std::lock_guard lock(Lock);
            if (Abandoned) {
                State = TState::Finished;
                Done.notify_all();
                return;
            }
            State = TState::Running;
        }
        auto bitmap = std::make_unique<TBitmap>();
        bool colorMap = false;
        std::exception_ptr error;
        try {
            DecodeFile(File.Bytes, Settings, *bitmap, colorMap, [this](const TJPEGProgressInfo&, int) {
                if (Abandoned) throw TAbandoned{};
            });
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(Lock);
        Bitmap = std::move(bitmap);
        ColorMap = colorMap;
        Error = std::move(error);
        State = TState::Finished;
        Done.notify_all();
    }
};

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() {
    AbandonBackground();
}

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
    AbandonBackground();
    FImage = TJPEGData{};
    FBitmap.reset();
    ReadFile(ReadKept(stream, length));
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    AbandonBackground();
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

TJPEGDecodeSettings TJPEGImage::DecodeSettings() const {
    TJPEGDecodeSettings settings;
    settings.ScaleDenominator = 1 << FScale;
    settings.Smoothing = FSmoothing;
    settings.Grayscale = FGrayscale;
    settings.EightBit = FPixelFormat == jf8Bit;
    settings.BestSpeed = FPerformance == jpBestSpeed;
    return settings;
}

void TJPEGImage::DecodeInBackground() {
    if (FBitmap || FBackground || !FImage.Data || FImage.Data->Bytes.empty()) return;
    auto work = std::make_shared<TBackgroundDecode>();
    work->File = *FImage.Data;
    work->Settings = DecodeSettings();
    FBackground = work;
    TWorkerThread::Shared().Post([work] { work->Run(); });
}

std::shared_ptr<TJPEGImage::TBackgroundDecode> TJPEGImage::TakeBackground() {
    std::shared_ptr<TBackgroundDecode> work = std::move(FBackground);
    if (!work) return nullptr;
    std::unique_lock lock(work->Lock);
    if (work->State == TBackgroundDecode::TState::Waiting) {
        // Decoding here at once is quicker than waiting for the worker to reach it.
        work->Abandoned = true;
        return nullptr;
    }
    work->Done.wait(lock, [&] { return work->State == TBackgroundDecode::TState::Finished; });
    return work;
}

void TJPEGImage::AbandonBackground() {
    std::shared_ptr<TBackgroundDecode> work = std::move(FBackground);
    if (!work) return;
    std::unique_lock lock(work->Lock);
    work->Abandoned = true;
    work->Done.wait(lock, [&] { return work->State != TBackgroundDecode::TState::Running; });
}

void TJPEGImage::Decode() {
    if (FBitmap || !FImage.Data) return;
    std::shared_ptr<TBackgroundDecode> ahead = TakeBackground();
    FBitmap = std::make_unique<TBitmap>();
    bool paletteModified = false;
    try {
        Progress(TProgressStage::psStarting, 0, "");
        if (ahead) {
            // Decoded on the worker: its bitmap and its error become this decoding's.
            FBitmap = std::move(ahead->Bitmap);
            paletteModified = ahead->ColorMap;
            // The error moves to this thread, so the worker never holds the last reference to the
            // exception: its count lives in the runtime, where a race checker cannot see it.
            if (std::exception_ptr error = std::move(ahead->Error)) std::rethrow_exception(error);
        } else {
            // Reports come at most every 500 ms, the first call only starting the clock, and only when
            // the percentage moved; each offers the rows decoded since the one before for drawing.
            bool clockStarted = false;
            uint64_t lastTime = 0;
            int lastPercent = -1, lastRow = 0;
            DecodeFile(FImage.Data->Bytes, DecodeSettings(), *FBitmap, paletteModified,
                       [&](const TJPEGProgressInfo& info, int outputWidth) {
                           const uint64_t now = ProgressTickCount();
                           if (!clockStarted) {
                               clockStarted = true;
                               lastTime = now;
                               return;
                           }
                           if (now - lastTime < kProgressInterval || info.Percent == lastPercent) return;
                           lastTime = now;
                           lastPercent = info.Percent;
                           // Whoever hears the report may look at the bitmap.
                           info.WaitForRows();
                           const bool newRows = info.Rows > lastRow;
                           const TRect rows{0, lastRow, outputWidth, info.Rows};
                           if (newRows) {
                               lastRow = info.Rows;
                               FBitmap->Changed(); // the rows were written in place
                           }
                           Progress(TProgressStage::psRunning, info.Percent, newRows,
                                    newRows ? rows : TRect{}, "");
                       });
        }
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
    AbandonBackground();
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
