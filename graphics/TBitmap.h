// Bitmap pictures: a BMP file behind a 4-byte length in stored picture data.
#pragma once

#include "graphics/TGraphic.h"

class TBitmap : public TGraphic {
    ORV_CLASS(TBitmap)
public:
    bool Empty() const override { return FFile.empty(); }
    int Width() const override;
    int Height() const override;
    void ReadData(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    const std::vector<uint8_t>& FileBytes() const { return FFile; }

private:
    std::vector<uint8_t> FFile;
};
