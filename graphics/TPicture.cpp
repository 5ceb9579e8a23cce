// Picture data reading: tag, kind lookup, the kind's own reader.
#include "graphics/TPicture.h"

#include "stream/TFiler.h"
#include "stream/TStream.h"

#include <string>

const TClassInfo TPicture::ClassInfo{"TPicture", &TPersistent::ClassInfo};

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    if (FGraphic) FGraphic->OnChange = [this](TGraphic*) { Changed(); };
    Changed();
}

void TPicture::DeclareProperties(TFiler& filer) {
    TPersistent::DeclareProperties(filer);
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, FGraphic != nullptr);
}

void TPicture::ReadData(TStream& stream) {
    // A value too short for its tag leaves the missing bytes zero; such a tag names no kind.
    uint8_t length = 0;
    stream.Read(&length, 1);
    std::string tag(length, '\0');
    stream.Read(tag.data(), tag.size());
    const TFileFormat* format = TFileFormatsList::Instance().FindClassName(tag);
    if (!format) {
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->OnProgress = [this](TObject* sender, TProgressStage stage, int percent, bool redrawNow,
                                 const TRect& r, const std::string& msg) {
        if (OnProgress) OnProgress(sender, stage, percent, redrawNow, r, msg);
    };
    // Notifications raised while the graphic reads itself reach nobody: OnChange is set only afterwards.
    graphic->ReadData(stream);
    SetGraphic(std::move(graphic));
}
