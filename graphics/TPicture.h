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
    // Picture data: a one-byte tag length, the tag (a registered kind's class name, compared exactly),
    // then the kind's payload. An unknown tag leaves the picture empty, without error. An error raised
    // by the kind keeps the previous graphic.
    void ReadData(TStream& stream);
    void SetAssigned(TPicture*) {}

    std::function<void(TPicture*)> OnChange;
    // Forwarded from the graphic while it loads or decodes.
    TProgressEvent OnProgress;

private:
    void Changed();
    std::unique_ptr<TGraphic> FGraphic;
};
