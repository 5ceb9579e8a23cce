// Pixel memory, zero when made. It comes from calloc, which takes a large block fresh from the system
// and so writes nothing: the pages a file leaves unwritten (the rows missing from a short bitmap, the
// pixels a short GIF frame never decodes) are never made resident, and a header claiming the largest
// picture costs only the bytes its file brings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class TPixelMemory {
public:
    TPixelMemory() = default;
    explicit TPixelMemory(size_t size);
    TPixelMemory(const TPixelMemory& other);
    TPixelMemory(TPixelMemory&& other) noexcept;
    TPixelMemory& operator=(TPixelMemory other) noexcept;

    uint8_t* data() const { return FBytes.get(); }
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }

private:
    struct TFree {
        void operator()(uint8_t* p) const noexcept;
    };
    std::unique_ptr<uint8_t[], TFree> FBytes;
    size_t FSize = 0;
};
