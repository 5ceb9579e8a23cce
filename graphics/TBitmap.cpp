// Bitmap payload reading. The BMP file is kept as stored; decoding happens when it is first drawn.
#include "graphics/TBitmap.h"

#include "stream/TStream.h"

#include <cstdlib>
#include <cstring>

const TClassInfo TBitmap::ClassInfo{"TBitmap", &TGraphic::ClassInfo};

void TBitmap::ReadData(TStream& stream) {
    uint32_t length = ReadLength(stream);
    FFile = ReadBlock(stream, length);
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
    FFile = ReadBlock(stream, static_cast<uint64_t>(stream.Size() - stream.Position()));
    Changed();
}

static int32_t HeaderField(const std::vector<uint8_t>& file, size_t offset) {
    if (file.size() < offset + 4) return 0;
    int32_t v;
    std::memcpy(&v, file.data() + offset, 4);
    return v;
}

int TBitmap::Width() const {
    return HeaderField(FFile, 18);
}
int TBitmap::Height() const {
    return std::abs(HeaderField(FFile, 22));
}
