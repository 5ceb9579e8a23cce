// Picture control defaults and published table.
#include "controls/TImage.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner), FPicture(std::make_unique<TPicture>()) {
    SetBounds(0, 0, 105, 105);
    FPicture->OnChange = [this](TPicture*) {
        if (FPicture->Graphic()) FPicture->Graphic()->SetTransparent(FTransparent);
    };
}

void TImage::SetTransparent(bool v) {
    if (FTransparent == v) return;
    FTransparent = v;
    if (FPicture->Graphic()) FPicture->Graphic()->SetTransparent(v);
}

static TPersistent* GetPicture(const TImage& c) {
    return c.Picture();
}

static std::span<const TPropInfo> ImageProperties() {
    using C = TImage;
    static const TPropInfo props[] = {
        OrdProp<C, &C::AutoSize, &C::SetAutoSize>("AutoSize", TypeInfo_Boolean),
        OrdProp<C, &C::Center, &C::SetCenter>("Center", TypeInfo_Boolean),
        OrdProp<C, &C::IncrementalDisplay, &C::SetIncrementalDisplay>("IncrementalDisplay", TypeInfo_Boolean),
        ObjProp<C, &GetPicture, nullptr>("Picture"),
        OrdProp<C, &C::Proportional, &C::SetProportional>("Proportional", TypeInfo_Boolean),
        OrdProp<C, &C::Stretch, &C::SetStretch>("Stretch", TypeInfo_Boolean),
        OrdProp<C, &C::Transparent, &C::SetTransparent>("Transparent", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TImage::ClassInfo{"TImage", &TGraphicControl::ClassInfo, ImageProperties,
                                   [](TComponent* o) -> TComponent* { return new TImage(o); }};
