// A GIF colour table: global (after the logical screen descriptor) or local (after an image
// descriptor), at most 256 entries in file order.
#pragma once

#include "graphics/TGIFReader.h"

#include <cstdint>
#include <vector>

struct TGIFColor {
    uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

class TGIFColorMap {
public:
    int Count() const { return static_cast<int>(FColors.size()); }
    bool Empty() const { return FColors.empty(); }
    const TGIFColor& operator[](int i) const { return FColors[static_cast<size_t>(i)]; }
    const std::vector<TGIFColor>& Colors() const { return FColors; }
    void Clear() { FColors.clear(); }

    // The table of a descriptor's packed fields: 2 << (fields and 7) entries, read strictly.
    void LoadFromStream(TGIFReader& reader, uint8_t packedFields) {
        const size_t count = size_t{2} << (packedFields & 7);
        std::vector<uint8_t> bytes(3 * count);
        reader.ReadStrict(bytes.data(), bytes.size());
        FColors.resize(count);
        for (size_t i = 0; i < count; ++i)
            FColors[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
    }

private:
    std::vector<TGIFColor> FColors;
};
