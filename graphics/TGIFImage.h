// GIF pictures: a GIF file running to the end of the stored picture data. Loading parses the whole file
// (header, global colour table, frames with their extensions and colour tables) and decodes every
// frame's pixels, unless frames are decoded later (SetDecodeFramesLater); a frame's bitmap is built the
// first time it is asked for. Only the first frame is ever drawn: there is no animation.
//
// Drawing the picture into a rectangle R (the kind's part of the recipe in TGraphic.h):
//   1. if NeedsBackgroundFill(), fill R with BackgroundColor();
//   2. stretch DecodedBitmap() (the first frame) into FrameRect(R's width, R's height), offset by R's
//      top-left corner. Transparent pixels keep the colour their index has in the colour table, unless
//      the picture is transparent: then the frame goes through its TransparencyMask() and they leave
//      what lies beneath.
#pragma once

#include "graphics/TBitmap.h"
#include "graphics/TGIFColorMap.h"
#include "graphics/TGIFFrame.h"
#include "graphics/TGraphic.h"
#include "stream/Colors.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct TGIFLogicalScreenDescriptor {
    uint16_t ScreenWidth = 0, ScreenHeight = 0;
    uint8_t PackedFields = 0; // bit 7 global colour table, bits 0 to 2 its size
    uint8_t BackgroundColorIndex = 0;
    uint8_t AspectRatio = 0;
};

struct TGIFHeader {
    char Signature[3] = {};
    char Version[3] = {}; // "87a", "89a": not examined
    TGIFLogicalScreenDescriptor LogicalScreenDescriptor;
    TGIFColorMap ColorMap; // the global colour table
};

enum TGIFSeverity { gsInfo, gsWarning, gsError };

// A rectangle relative to the top-left corner of the rectangle the picture is drawn into.
struct TGIFFrameRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TGIFFrameRect&) const = default;
};

class TGIFImage : public TGraphic {
    ORV_CLASS(TGIFImage)
public:
    // All frames of a file together hold at most this many pixels; more is an invalid image size.
    static constexpr size_t kMaxPixels = TBitmap::kMaxPixelBytes / 2;

    TGIFImage();
    ~TGIFImage() override;

    bool Empty() const override { return FImages.empty(); }
    int Width() const override { return FHeader.LogicalScreenDescriptor.ScreenWidth; }
    int Height() const override { return FHeader.LogicalScreenDescriptor.ScreenHeight; }
    // The global colour table, or the first frame's active table when there is no global one.
    std::vector<TPaletteEntry> Palette() override;
    void LoadFromStream(TStream& stream) override;
    // The first frame's bitmap; nullptr without frames or when the first frame kept no pixels.
    const TBitmap* DecodedBitmap() override;
    // The first frame's mask of its transparent colour; none when that frame has no transparent colour.
    TTransparencyMask TransparencyMask() override;

    // While on, loading reads everything of a file but its frames' compressed pixels, which each frame
    // decodes when its pixels or bitmap are first asked for (or at DecodeFrames), without progress
    // reports; what the decoding warns of or fails with then comes at that moment instead of while
    // loading. For a program whose stored pictures are known to decode cleanly, which then pays for the
    // pixels of the pictures it shows when it shows them. Off by default.
    static void SetDecodeFramesLater(bool v);
    static bool DecodeFramesLater();
    // Whether some frame still holds its pixels undecoded.
    bool FramesPending() const { return FFramesPending > 0; }
    // Decodes the pixels of every frame that holds them undecoded.
    void DecodeFrames();

    const TGIFHeader& Header() const { return FHeader; }
    const std::vector<std::unique_ptr<TGIFFrame>>& Images() const { return FImages; }

    // Whether drawing fills the rectangle first: the picture is opaque but its first frame has a
    // transparent colour.
    bool NeedsBackgroundFill() const;
    // The fill: DrawBackgroundColor unless clNone; else clWindow without a global colour table; else the
    // global table's background entry (entry 0, with the warning "Invalid color index", when the index
    // lies beyond the table).
    TColor BackgroundColor() const;
    TColor DrawBackgroundColor() const { return FDrawBackgroundColor; }
    void SetDrawBackgroundColor(TColor v);
    // Where the first frame goes when the picture is drawn into a rectangle of the given size: its
    // logical-screen rectangle scaled to that size, each coordinate rounded to the nearest pixel.
    TGIFFrameRect FrameRect(int destWidth, int destHeight) const;

    // Warnings and errors met while reading the picture (through its reader) or finding its background
    // colour: every one goes through Warning. Without a handler, gsError raises GIFException with the
    // message and the rest are ignored.
    std::function<void(TGIFSeverity severity, const std::string& message)> OnWarning;
    void Warning(TGIFSeverity severity, const std::string& message) const;

private:
    friend class TGIFFrame;
    void Clear();
    void ReadBlocks(TGIFReader& reader);
    // Counts a frame's pixels against kMaxPixels before they are allocated.
    void ReservePixels(size_t count);
    // A frame decoded its pixels: the file goes once no frame waits for it.
    void FrameDecoded();
    // Enlarges the logical screen to hold the frame.
    void ContainFrame(const TGIFFrame& frame, TGIFReader& reader);

    TGIFHeader FHeader;
    std::vector<std::unique_ptr<TGIFFrame>> FImages;
    TColor FDrawBackgroundColor = clNone;
    size_t FPixelsRead = 0;
    // The file, kept while frames wait to be decoded from it, and how many do.
    TByteView FFile;
    int FFramesPending = 0;
};
