// Icons: a complete ICO file, the form's icon.
#pragma once

#include "graphics/TGraphic.h"

class TIcon : public TGraphic {
    ORV_CLASS(TIcon)
public:
    bool Empty() const override { return FFile.empty(); }
    int Width() const override;
    int Height() const override;
    void LoadFromStream(TStream& stream) override;
    const std::vector<uint8_t>& FileBytes() const { return FFile; }
    void SetAssigned(TIcon* source) {
        if (source) FFile = source->FFile;
    }

private:
    std::vector<uint8_t> FFile;
};
