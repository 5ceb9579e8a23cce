// Picture control: destination rectangle, painting and the picture-changed handler.
#include "controls/TImage.h"

#include "controls/ColorToRGB.h"
#include "controls/TWinControl.h"
#include "graphics/TBitmap.h"
#include "graphics/TGIFImage.h"
#include "graphics/TIcon.h"

#include <array>

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>()) {
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TPicture*) { PictureChanged(); };
    FPicture->OnProgress = [this](TObject* sender, TProgressStage stage, int percent, bool redrawNow,
                                  const TRect& r, const std::string& message) {
        PictureProgress(sender, stage, percent, redrawNow, r, message);
    };
}

void TImage::SetStretch(bool v) {
    if (FStretch == v) return;
    FStretch = v;
    PictureChanged();
}

void TImage::SetProportional(bool v) {
    if (FProportional == v) return;
    FProportional = v;
    PictureChanged();
}

void TImage::SetCenter(bool v) {
    if (FCenter == v) return;
    FCenter = v;
    PictureChanged();
}

void TImage::SetTransparent(bool v) {
    if (FTransparent == v) return;
    FTransparent = v;
    PictureChanged();
}

TRect TImage::DestRect() const {
    int w = FPicture->Width(), h = FPicture->Height();
    int cw = Width(), ch = Height();
    if (FStretch || (FProportional && (w > cw || h > ch))) {
        if (FProportional && w > 0 && h > 0) {
            double a = static_cast<double>(w) / h;
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / a);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * a);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * a);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / a);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (FCenter) r = r.Offset((cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::FinishLoading() {
    TGraphicControl::FinishLoading();
    auto* gif = dynamic_cast<TGIFImage*>(FPicture->Graphic());
    if (gif && gif->FramesPending() && MeasureHiddenLater() && OutOfView()) PutOffMeasuring();
}

void TImage::MeasureNow() {
    if (auto* gif = dynamic_cast<TGIFImage*>(FPicture->Graphic())) gif->DecodeFrames();
}

void TImage::PictureChanged() {
    if (FAutoSize && FPicture->Width() > 0 && FPicture->Height() > 0)
        SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
    TGraphic* graphic = FPicture->Graphic();
    if (graphic) {
        if (!dynamic_cast<TIcon*>(graphic)) graphic->SetTransparent(FTransparent);
        TRect d = DestRect();
        FOpaque = !graphic->Transparent() && d.Left <= 0 && d.Top <= 0 && d.Right >= Width() &&
                  d.Bottom >= Height();
        // Palettes matter only on displays of 8 bits per pixel or less; this platform draws in true colour.
        graphic->SetPaletteModified(false);
    } else {
        FOpaque = false;
    }
    // Whatever changed, the copy is made again at the next paint.
    FCopy = TPixelCopy{};
    if (!FDrawing) Invalidate();
}

void TImage::PictureProgress(TObject* sender, TProgressStage stage, int percentDone, bool redrawNow,
                             const TRect& r, const std::string& message) {
    if (FIncrementalDisplay && redrawNow) {
        // The palette check never asks for realisation on this platform's true-colour displays, so the
        // control paints at once: on the surface being painted when the picture decodes inside painting,
        // else through its parent's window.
        if (TGraphic* graphic = FPicture->Graphic()) graphic->SetPaletteModified(false);
        if (FPaintCanvas) {
            Paint(*FPaintCanvas);
        } else {
            Invalidate();
            if (TWinControl* parent = Parent())
                if (IWindowPeer* peer = parent->ClientPeer()) peer->Update();
        }
    }
    if (OnProgress) OnProgress(sender, stage, percentDone, redrawNow, r, message);
}

void TImage::Paint(ICanvas& canvas) {
    struct Restore {
        bool& Drawing;
        ICanvas*& Canvas;
        bool WasDrawing;
        ICanvas* PreviousCanvas;
        ~Restore() {
            Drawing = WasDrawing;
            Canvas = PreviousCanvas;
        }
    } restore{FDrawing, FPaintCanvas, FDrawing, FPaintCanvas};
    FDrawing = true;
    FPaintCanvas = &canvas;
    TGraphic* graphic = FPicture->Graphic();
    if (!graphic) return;
    TRect dest = DestRect();
    // A GIF fills the rectangle first when its first frame has a transparent colour, also when that
    // frame kept no pixels to draw.
    auto* gif = dynamic_cast<TGIFImage*>(graphic);
    if (gif && gif->NeedsBackgroundFill()) canvas.FillRect(dest, ColorToRGB(gif->BackgroundColor()));
    const TBitmap* bitmap = graphic->DecodedBitmap();
    if (!bitmap || bitmap->Empty()) return;
    // A GIF draws its first frame at the frame's place on its screen.
    if (gif) {
        TGIFFrameRect f = gif->FrameRect(dest.Width(), dest.Height());
        dest = TRect{f.Left, f.Top, f.Right, f.Bottom}.Offset(dest.Left, dest.Top);
    }
    // A transparent picture is drawn through its mask; one without a mask, or with no pixel set in it,
    // is drawn as an opaque one.
    const TTransparencyMask mask = graphic->Transparent() ? graphic->TransparencyMask() : TTransparencyMask{};
    // A 32-bit bitmap whose fourth byte is alpha is blended.
    const bool alpha = !mask.Empty() || (bitmap->BitsPerPixel() == 32 && bitmap->AlphaFormat() == afDefined);
    // Opaque pictures of 24 or 8 bits are drawn from their own rows; a copy of a large photograph in 32
    // bits would cost more memory than the photograph.
    const int bpp = bitmap->BitsPerPixel();
    if (!alpha && (bpp == 24 || (bpp == 8 && bitmap->ColorTable().size() <= 256))) {
        TPixelRows rows;
        rows.Layout = bpp == 24 ? TPixelRows::BGR24 : TPixelRows::Indexed8;
        rows.Width = bitmap->Width();
        rows.Height = bitmap->Height();
        rows.Stride = bitmap->Stride();
        rows.BottomUp = !bitmap->TopDown();
        rows.Bits = bitmap->Bits().data();
        std::array<uint32_t, 256> colors{};
        const auto& table = bitmap->ColorTable();
        for (size_t i = 0; i < table.size(); ++i)
            colors[i] = uint32_t{table[i].Red} << 16 | uint32_t{table[i].Green} << 8 | table[i].Blue;
        rows.Colors = std::span<const uint32_t>(colors.data(), bpp == 8 ? table.size() : 0);
        canvas.StretchDrawRows(dest, rows);
        return;
    }
    if (FCopy.Pixels.empty() || FCopy.GraphicStamp != graphic->ChangeStamp() ||
        FCopy.BitmapStamp != bitmap->ChangeStamp()) {
        FCopy.Pixels = bitmap->ToBGRA();
        FCopy.Width = bitmap->Width();
        FCopy.Height = bitmap->Height();
        FCopy.GraphicStamp = graphic->ChangeStamp();
        FCopy.BitmapStamp = bitmap->ChangeStamp();
        if (!mask.Empty())
            for (int y = 0; y < FCopy.Height; ++y)
                for (int x = 0; x < FCopy.Width; ++x)
                    if (mask.IsSet(x, y))
                        FCopy.Pixels[static_cast<size_t>(y) * static_cast<size_t>(FCopy.Width) +
                                     static_cast<size_t>(x)] &= 0x00FFFFFF;
    }
    canvas.StretchDrawPixels(dest, FCopy.Width, FCopy.Height, FCopy.Pixels.data(), alpha);
}

static TPersistent* GetPicture(const TImage& c) {
    return c.Picture();
}

static std::span<const TPropInfo> ImageProperties() {
    using C = TImage;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAutoSize>("AutoSize", TypeInfo_Boolean),
        OrdProp<C, &C::SetCenter>("Center", TypeInfo_Boolean),
        OrdProp<C, &C::SetIncrementalDisplay>("IncrementalDisplay", TypeInfo_Boolean),
        {.Name = "OnProgress",
         .PropType = &TypeInfo_ProgressEvent,
         .BindMethod =
             [](TPersistent& o, const TMethodInfo* method, TObject* data) {
                 static_cast<C&>(o).OnProgress = BindProgressMethod(method, data);
             }},
        ObjProp<C, &GetPicture, nullptr>("Picture"),
        OrdProp<C, &C::SetProportional>("Proportional", TypeInfo_Boolean),
        OrdProp<C, &C::SetStretch>("Stretch", TypeInfo_Boolean),
        OrdProp<C, &C::SetTransparent>("Transparent", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TImage::ClassInfo{"TImage", &TGraphicControl::ClassInfo, ImageProperties,
                                   [](TComponent* o) -> TComponent* { return new TImage(o); }};
