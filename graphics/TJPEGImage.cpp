// JPEG payload reading; the file is kept until its first drawing decodes it.
#include "graphics/TJPEGImage.h"

#include "stream/TStream.h"

const TClassInfo TJPEGImage::ClassInfo{"TJPEGImage", &TGraphic::ClassInfo};

void TJPEGImage::ReadData(TStream& stream) {
    uint32_t length = ReadLength(stream);
    FFile = ReadBlock(stream, length);
    Changed();
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    FFile = ReadBlock(stream, static_cast<uint64_t>(stream.Size() - stream.Position()));
    Changed();
}
