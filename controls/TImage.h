// The picture control: shows its picture at natural size from the top-left corner (cut at the edges),
// centred, or scaled into its box.
#pragma once

#include "controls/TControl.h"
#include "graphics/TPicture.h"

#include <memory>
#include <string>
#include <vector>

class TImage : public TGraphicControl {
    ORV_CLASS(TImage)
public:
    explicit TImage(TComponent* owner);

    TPicture* Picture() const { return FPicture.get(); }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool IncrementalDisplay() const { return FIncrementalDisplay; }
    void SetIncrementalDisplay(bool v) { FIncrementalDisplay = v; }

    // Where the picture is drawn, in the control's coordinates.
    TRect DestRect() const;
    bool Opaque() const override { return FOpaque; }
    void Paint(ICanvas& canvas) override;

    // The picture's progress reports while its graphic loads or decodes, after any redraw that
    // IncrementalDisplay asked for.
    TProgressEvent OnProgress;

protected:
    // Out of view while the program loads, a GIF picture decodes its frames when the control is about
    // to show or when the program settles what it put off (MeasureNow), not at once.
    void FinishLoading() override;
    void MeasureNow() override;

private:
    void PictureChanged();
    void PictureProgress(TObject* sender, TProgressStage stage, int percentDone, bool redrawNow,
                         const TRect& r, const std::string& message);

    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FProportional = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FAutoSize = false;
    bool FIncrementalDisplay = false;
    bool FDrawing = false;
    bool FOpaque = false;
    // The canvas being painted on, while Paint runs: a picture that decodes inside painting draws its
    // partial states there.
    ICanvas* FPaintCanvas = nullptr;
    // The decoded picture as 32-bit pixels, made at the first drawing and kept, for pictures that cannot
    // be drawn from their stored rows. It is current while the graphic and its bitmap keep the change
    // stamps it was made at, and it is always drawn at its own size.
    struct TPixelCopy {
        std::vector<uint32_t> Pixels;
        int Width = 0, Height = 0;
        uint64_t GraphicStamp = 0, BitmapStamp = 0;
    };
    TPixelCopy FCopy;
};
