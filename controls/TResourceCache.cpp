// The process's font and brush caches, and the hash their entries are filed under.
#include "controls/TResourceCache.h"

uint16_t ResourceHash(std::span<const uint8_t> bytes) {
    uint16_t hash = 0;
    for (uint8_t b : bytes)
        hash = static_cast<uint16_t>((hash << 5 | hash >> 11) ^ b);
    return hash;
}

// Neither cache is ever destroyed: a font or brush released during the program's exit must still
// find its cache.
TFontCache& FontCache() {
    static auto* cache = new TFontCache([](const TLogFont& record) -> std::unique_ptr<IPlatformFont> {
        TPlatform* platform = TPlatform::Current();
        return platform ? platform->CreateFontIndirect(record) : nullptr;
    });
    return *cache;
}

TBrushCache& BrushCache() {
    static auto* cache = new TBrushCache;
    return *cache;
}
