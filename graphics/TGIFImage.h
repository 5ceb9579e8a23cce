// GIF pictures: a GIF file running to the end of the stored picture data.
#pragma once

#include "graphics/TGraphic.h"

class TGIFImage : public TGraphic {
    ORV_CLASS(TGIFImage)
public:
    bool Empty() const override { return FFile.empty(); }
    int Width() const override;
    int Height() const override;
    void LoadFromStream(TStream& stream) override;
    const std::vector<uint8_t>& FileBytes() const { return FFile; }

private:
    std::vector<uint8_t> FFile;
};
