// The one adapter between libjpeg and the rest of the program: it drives a decompressor through its
// life cycle (create, source, header, start, scanlines, finish, destroy) and turns every fatal library
// error into EJPEG ("JPEG error #n"). Nothing of libjpeg appears in this header.
#pragma once

#include "graphics/TBitmap.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

struct TJPEGContext;

// What the frame header says, at full scale.
struct TJPEGHeaderInfo {
    int Width = 0;
    int Height = 0;
    bool Grayscale = false;   // the file's colour space is greyscale
    bool Progressive = false; // the file has more than one scan
};

struct TJPEGDecodeSettings {
    int ScaleDenominator = 1; // 1, 2, 4 or 8
    bool Smoothing = true;
    bool Grayscale = false; // force greyscale output
    bool EightBit = false;  // quantise colour output to 236 colours (the two-pass quantiser)
    bool BestSpeed = false; // fast integer transform, one-pass quantiser, ordered dithering
};

// The output of a started decompression.
struct TJPEGOutputInfo {
    int Width = 0;
    int Height = 0;
    // 8: colour-map indexes; 24: blue, green, red; 32: CMYK from the library, turned into opaque BGRA
    // as the rows are read.
    int BitsPerPixel = 24;
    // The quantiser's colour map, when output is quantised.
    std::vector<TRGBQuad> ColorMap;
};

// Where decoding stands when the library reports progress: the percentage of all its passes, and the
// output rows written so far (0 before the rows are read).
struct TJPEGProgressInfo {
    int Percent = 0;
    int Rows = 0;
    // Output rows 0 to Rows may still be in the hands of a second thread that reduces greys while the
    // library decodes the rows after them: they are complete, and nothing writes into the output,
    // once this has returned. Cheap when the report is passed over without looking at the rows.
    void WaitForRows() const {
        if (Wait) Wait(WaitContext, Rows);
    }
    void (*Wait)(void* context, int rows) = nullptr;
    void* WaitContext = nullptr;
};

class TJPEGDecompressor {
public:
    // Creates a decompressor reading data, which must outlive it. No image decoded by it may need more
    // memory than memoryLimit bytes beyond its output rows; the library then fails with its
    // no-backing-store error.
    TJPEGDecompressor(std::span<const uint8_t> data, size_t memoryLimit);
    ~TJPEGDecompressor();
    TJPEGDecompressor(const TJPEGDecompressor&) = delete;
    TJPEGDecompressor& operator=(const TJPEGDecompressor&) = delete;

    // Reads up to the first scan; an image is required.
    TJPEGHeaderInfo ReadHeader();
    // Applies the settings to the library's defaults for the file and starts decompression.
    TJPEGOutputInfo Start(const TJPEGDecodeSettings& settings);
    // Reads every output row: row r goes to topRow + r * rowStep, which must hold a row of the output's
    // depth. rowStep is negative for bottom-up bitmaps.
    void ReadRows(uint8_t* topRow, ptrdiff_t rowStep);
    // Reads to the end-of-image marker.
    void Finish();

    // Called from inside the library as it works. Whatever the handler raises ends the stage that was
    // running and passes out of it.
    void SetProgressHandler(std::function<void(const TJPEGProgressInfo&)> handler);

    // The number release 6b of the library gives a message code of this build.
    static int MessageNumber(int code);

private:
    std::unique_ptr<TJPEGContext> FContext;
};
