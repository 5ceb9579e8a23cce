// Icons: a complete ICO file, the form's icon. The file is kept as read; the image that suits the
// requested size is chosen from its directory and decoded when first asked for.
#pragma once

#include "graphics/TBitmap.h"
#include "graphics/TGraphic.h"

#include <cstdint>
#include <memory>
#include <vector>

// One entry of the icon directory.
struct TIconDirEntry {
    uint8_t Width = 0, Height = 0; // 0 stands for 256
    uint16_t ColorCount = 0;       // the colour-count byte and the reserved byte; 0: unlimited
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t BytesInRes = 0;
    uint32_t ImageOffset = 0;

    int PixelWidth() const { return Width ? Width : 256; }
    int PixelHeight() const { return Height ? Height : 256; }
};

class TIcon : public TGraphic {
    ORV_CLASS(TIcon)
public:
    // The platform's large-icon size, used when no size is requested.
    static constexpr int kLargeIconSize = 32;

    bool Empty() const override { return FFile.empty(); }
    // The size of the image chosen for the requested size; 0 when there is none.
    int Width() const override;
    int Height() const override;
    // Reads the icon file to the end of the stream. Raises "Icon image is not valid" for a directory
    // type other than 0 (the platform's stock icon) and 1 (an icon).
    void LoadFromStream(TStream& stream) override;
    // The chosen image as a 32-bit bitmap whose fourth byte is alpha (afDefined): its mask's transparent
    // pixels have alpha 0. nullptr for an empty icon or the stock icon. Decoded on first request and
    // kept; raises "Icon image is not valid" when the image cannot be decoded.
    const TBitmap* DecodedBitmap() override;

    // The file as read, for the platform's window icon.
    const std::vector<uint8_t>& FileBytes() const { return FFile; }
    void SetAssigned(TIcon* source);

    // 1 for an icon, 0 for the platform's stock icon; -1 when empty.
    int IconType() const;
    // The directory; raises "Icon image is not valid" when it runs beyond the file.
    std::vector<TIconDirEntry> Entries() const;
    // The index of the entry chosen for a requested size on a display of the given depth (bits per pixel
    // times planes), or -1 when there is no entry.
    int ChooseImage(int requestedWidth, int requestedHeight, int displayBitsPerPixel = 32) const;
    // 0 by 0 (the default) requests the large-icon size.
    void SetRequestedSize(int width, int height);

private:
    int ChosenIndex() const;
    std::unique_ptr<TBitmap> DecodeImage(const TIconDirEntry& entry) const;

    std::vector<uint8_t> FFile;
    int FRequestedWidth = 0, FRequestedHeight = 0;
    std::unique_ptr<TBitmap> FImage;
};
