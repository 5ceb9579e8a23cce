// GIF payload reading.
#include "graphics/TGIFImage.h"

#include "stream/TStream.h"

const TClassInfo TGIFImage::ClassInfo{"TGIFImage", &TGraphic::ClassInfo};

void TGIFImage::LoadFromStream(TStream& stream) {
    FFile = ReadBlock(stream, static_cast<uint64_t>(stream.Size() - stream.Position()));
    Changed();
}

// Logical screen size from the GIF header.
int TGIFImage::Width() const {
    return FFile.size() >= 10 ? FFile[6] | FFile[7] << 8 : 0;
}
int TGIFImage::Height() const {
    return FFile.size() >= 10 ? FFile[8] | FFile[9] << 8 : 0;
}
