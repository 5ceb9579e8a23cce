// The process's font cache, and the hash its entries are filed under.
#include "controls/TResourceCache.h"

uint16_t ResourceHash(std::span<const uint8_t> bytes) {
    uint16_t hash = 0;
    for (uint8_t b : bytes)
        hash = static_cast<uint16_t>((hash << 5 | hash >> 11) ^ b);
    return hash;
}

// The cache is never destroyed: a font released during the program's exit must still find it.
TFontCache& FontCache() {
    static auto* cache = new TFontCache([](const TLogFont& record) -> std::unique_ptr<IPlatformFont> {
        TPlatform* platform = TPlatform::Current();
        return platform ? platform->CreateFontIndirect(record) : nullptr;
    });
    return *cache;
}
