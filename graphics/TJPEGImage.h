// JPEG pictures: a JFIF file behind a 4-byte length in stored picture data. Loading keeps the file and
// reads only its header; the first request for pixels decodes the whole image, through libjpeg, into a
// bitmap that is kept from then on. That decoding may be done ahead, on the worker thread, and the first
// request then takes its result.
#pragma once

#include "graphics/TBitmap.h"
#include "graphics/TGraphic.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct TJPEGDecodeSettings;

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

class TJPEGImage : public TGraphic {
    ORV_CLASS(TJPEGImage)
public:
    TJPEGImage();
    ~TJPEGImage() override;

    // False as soon as compressed data exists, even of length 0.
    bool Empty() const override { return !FImage.Data; }
    // The decoded bitmap's size once it exists, else the header's (scaled when Scale asks for it).
    int Width() const override;
    int Height() const override;
    std::vector<TPaletteEntry> Palette() override;
    // The 4-byte length L, then L bytes of JPEG file. Reads the header; raises "JPEG error #n" when it
    // cannot be read and "Stream read error" when the payload is shorter than L.
    void ReadData(TStream& stream) override;
    // A JPEG file running to the end of the stream.
    void LoadFromStream(TStream& stream) override;
    const TBitmap* DecodedBitmap() override { return Bitmap(); }

    // Decodes, unless a bitmap exists already; raises "JPEG error #n" for a fatal library error. The
    // bitmap made by a failed decoding stays with what was decoded, and no later call decodes again.
    void Decode();
    // The decoded bitmap, decoding first if needed; nullptr without data.
    TBitmap* Bitmap();
    bool Decoded() const { return FBitmap != nullptr; }
    // Starts decoding on the worker thread with the settings in force now, unless the picture is
    // decoded already or being decoded there. The next Decode takes the result as its own, with the
    // same pixels, the same error and the same starting and ending progress reports; it waits only
    // while that very decoding runs, and decodes itself when the worker has not begun it yet. Changing
    // the data or a setting, or destroying the picture, abandons the work. Reports in between (while
    // the library works) are not made: a picture whose owner draws them should not be decoded ahead.
    void DecodeInBackground();
    // Whether decoding ahead was started and its result not yet taken.
    bool DecodingInBackground() const { return FBackground != nullptr; }

    // From the header: the file's colour space is greyscale, and it has more than one scan.
    bool HeaderGrayscale() const { return FImage.Grayscale; }
    bool ProgressiveEncoding() const { return FProgressiveEncoding; }
    // The compressed file (where the definition stores it, when that memory outlives the picture).
    std::span<const uint8_t> FileBytes() const;

    // Decoding settings; changing one drops the decoded bitmap.
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale v);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance v);
    TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TJPEGPixelFormat v);
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool v);
    bool Smoothing() const { return FSmoothing; }
    void SetSmoothing(bool v);

private:
    struct TJPEGData {
        std::optional<TByteView> Data;
        int Width = 0, Height = 0;
        bool Grayscale = false;
    };
    struct TBackgroundDecode;
    void ReadFile(TByteView data);
    void SettingChanged();
    TJPEGDecodeSettings DecodeSettings() const;
    // Takes the work started ahead: null when there was none or the worker had not begun it (it is
    // then abandoned), else its finished state, waited for.
    std::shared_ptr<TBackgroundDecode> TakeBackground();
    // Abandons the work started ahead, waiting while it runs: the file it reads must outlive it.
    void AbandonBackground();

    TJPEGData FImage;
    std::unique_ptr<TBitmap> FBitmap;
    std::shared_ptr<TBackgroundDecode> FBackground;
    TJPEGScale FScale = jsFullSize;
    TJPEGPerformance FPerformance = jpBestQuality;
    TJPEGPixelFormat FPixelFormat = jf24Bit; // this program's displays have more than 8 bits per pixel
    bool FGrayscale = false;
    bool FSmoothing = true;
    bool FProgressiveEncoding = false;
};
