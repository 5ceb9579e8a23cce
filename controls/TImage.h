// The picture control: shows its picture at natural size, centred, or scaled into its box.
#pragma once

#include "controls/TControl.h"
#include "graphics/TPicture.h"

#include <memory>

class TImage : public TGraphicControl {
    ORV_CLASS(TImage)
public:
    explicit TImage(TComponent* owner);

    TPicture* Picture() const { return FPicture.get(); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v) { FStretch = v; }
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v) { FProportional = v; }
    bool Center() const { return FCenter; }
    void SetCenter(bool v) { FCenter = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool IncrementalDisplay() const { return FIncrementalDisplay; }
    void SetIncrementalDisplay(bool v) { FIncrementalDisplay = v; }

private:
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FAutoSize = false;
    bool FIncrementalDisplay = false;
};
