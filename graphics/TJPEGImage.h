// JPEG pictures: a JFIF file behind a 4-byte length in stored picture data.
#pragma once

#include "graphics/TGraphic.h"

class TJPEGImage : public TGraphic {
    ORV_CLASS(TJPEGImage)
public:
    bool Empty() const override { return FFile.empty(); }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
    void ReadData(TStream& stream) override;
    void LoadFromStream(TStream& stream) override;
    const std::vector<uint8_t>& FileBytes() const { return FFile; }

private:
    std::vector<uint8_t> FFile;
};
