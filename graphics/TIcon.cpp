// Icon payload reading.
#include "graphics/TIcon.h"

#include "stream/TStream.h"

const TClassInfo TIcon::ClassInfo{"TIcon", &TGraphic::ClassInfo};

void TIcon::LoadFromStream(TStream& stream) {
    FFile = ReadBlock(stream, static_cast<uint64_t>(stream.Size() - stream.Position()));
    Changed();
}

// Size of the first directory entry (0 stands for 256).
int TIcon::Width() const {
    return FFile.size() >= 22 ? (FFile[6] ? FFile[6] : 256) : 0;
}
int TIcon::Height() const {
    return FFile.size() >= 22 ? (FFile[7] ? FFile[7] : 256) : 0;
}
