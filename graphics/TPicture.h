// The picture container behind a picture control: owns the current graphic, whose kind is chosen by
// the class-name tag stored in front of the picture's data.
#pragma once

#include "graphics/TGraphic.h"

#include <functional>
#include <memory>

class TPicture : public TPersistent {
    ORV_CLASS(TPicture)
public:
    TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

    void DeclareProperties(TFiler& filer) override;
    void ReadData(TStream& stream);
    void SetAssigned(TPicture*) {}

    std::function<void(TPicture*)> OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};
