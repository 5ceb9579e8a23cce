// One image of a GIF file, with the extensions read before it: its descriptor, local colour table,
// decoded pixels (one colour index per pixel, top row first; decoded while loading, or at their first
// request when the picture decodes frames later) and, built on first request, its bitmap and
// transparency mask.
#pragma once

#include "graphics/PixelMemory.h"
#include "graphics/TBitmap.h"
#include "graphics/TGIFColorMap.h"
#include "graphics/TGIFExtension.h"
#include "graphics/TGIFReader.h"

#include <cstdint>
#include <memory>
#include <vector>

class TGIFImage;

struct TGIFImageDescriptor {
    uint8_t Separator = 0;
    uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
    uint8_t PackedFields = 0; // bit 7 local colour table, bit 6 interlaced, bits 0 to 2 table size
};

class TGIFFrame {
public:
    explicit TGIFFrame(TGIFImage& image);
    ~TGIFFrame();

    // Reads the extensions and the image that follows them (if any) and decodes its pixels, or notes
    // where they are when the picture decodes frames later.
    void LoadFromStream(TGIFReader& reader);
    // Decodes the pixels noted while loading, if they wait.
    void DecodePending();

    const TGIFImageDescriptor& ImageDescriptor() const { return FImageDescriptor; }
    int Left() const { return FImageDescriptor.Left; }
    int Top() const { return FImageDescriptor.Top; }
    int Width() const { return FImageDescriptor.Width; }
    int Height() const { return FImageDescriptor.Height; }
    bool Interlaced() const { return FImageDescriptor.PackedFields & 0x40; }
    // No pixel data, or a zero width or height.
    bool Empty() const;

    // The local colour table; the active one is the local table, or the global one when that is empty.
    const TGIFColorMap& ColorMap() const { return FColorMap; }
    const TGIFColorMap& ActiveColorMap() const;
    const std::vector<std::unique_ptr<TGIFExtension>>& Extensions() const { return FExtensions; }
    // The first graphic control extension read for this frame, or nullptr.
    const TGIFGraphicControlExtension* GraphicControlExtension() const { return FGraphicControlExtension; }
    bool Transparent() const { return FGraphicControlExtension && FGraphicControlExtension->Transparent(); }
    // Width x Height colour indexes, top row first; empty when the frame kept no pixels.
    std::vector<uint8_t> Data() {
        DecodePending();
        return {FData.data(), FData.data() + FData.size()};
    }

    // An 8-bit bitmap of the frame with a 256-entry colour table from the active colour table (entries
    // beyond it black); built on first request and kept; nullptr for an empty frame.
    const TBitmap* Bitmap();
    // One bit per pixel, set where the pixel has the transparent index, rows top first and padded to
    // 16 bits, most significant bit leftmost. Built with the bitmap, and only kept when some pixel is
    // transparent.
    const std::vector<uint8_t>& Mask() const { return FMask; }
    int MaskStride() const { return (Width() + 15) / 16 * 2; }

private:
    void ReadExtensions(TGIFReader& reader);
    void ReadPixels(TGIFReader& reader);
    // Decodes the pixel data at the reader's position, with the picture's progress reports or without.
    void Decode(TGIFReader& reader, int minCodeSize, bool reportProgress);
    void BuildMask();

    TGIFImage& FImage;
    TGIFImageDescriptor FImageDescriptor;
    TGIFColorMap FColorMap;
    std::vector<std::unique_ptr<TGIFExtension>> FExtensions;
    const TGIFGraphicControlExtension* FGraphicControlExtension = nullptr;
    TPixelMemory FData;
    bool FHasPixels = false;
    // Pixels still to decode: where their data sub-blocks begin in the picture's file, and the minimum
    // code size read before them.
    bool FPixelsPending = false;
    size_t FPixelsAt = 0;
    int FMinCodeSize = 0;
    std::unique_ptr<TBitmap> FBitmap;
    std::vector<uint8_t> FMask;
};
