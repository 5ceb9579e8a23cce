// Picture data reading: tag, kind lookup, the kind's own reader.
#include "graphics/TPicture.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TFiler.h"
#include "stream/TStream.h"

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
    uint8_t length = 0;
    char tag[255];
    if (stream.Read(&length, 1) != 1 || stream.Read(tag, length) != length)
        throw EReadError(std::string(SConsts::SReadError));
    const TFileFormat* format = TFileFormatsList::Instance().FindClassName(std::string_view(tag, length));
    if (!format) {
        // An unknown kind leaves an empty picture; that is not an error.
        SetGraphic(nullptr);
        return;
    }
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->ReadData(stream);
    SetGraphic(std::move(graphic));
}
