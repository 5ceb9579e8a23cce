// Pixel memory, zero when made. It comes from calloc, which takes a large block fresh from the system
// and so writes nothing: the pages a file leaves unwritten (the rows missing from a short bitmap, the
// pixels a short GIF frame never decodes) are never made resident, and a header claiming the largest
// picture costs only the bytes its file brings.
//
// Pixel memory may instead refer to rows stored elsewhere, in bytes that outlive it (a definition in
// the executable's read-only data or in a mapped file): they are read where they lie, and copied into
// memory of its own at the first request to write.
#pragma once

#include "stream/TStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class TPixelMemory {
public:
    TPixelMemory() = default;
    explicit TPixelMemory(size_t size);
    // Refers to the stored bytes; they must be lasting.
    explicit TPixelMemory(TByteView stored);
    TPixelMemory(const TPixelMemory& other);
    TPixelMemory(TPixelMemory&& other) noexcept;
    TPixelMemory& operator=(TPixelMemory other) noexcept;

    const uint8_t* data() const { return FStored.Bytes.empty() ? FBytes.get() : FStored.Bytes.data(); }
    // For writing: stored bytes are first copied into memory of its own.
    uint8_t* data();
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    // Whether the pixels are still read where they are stored.
    bool InPlace() const { return !FStored.Bytes.empty(); }

private:
    struct TFree {
        void operator()(uint8_t* p) const noexcept;
    };
    std::unique_ptr<uint8_t[], TFree> FBytes;
    TByteView FStored;
    size_t FSize = 0;
};
