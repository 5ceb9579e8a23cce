#include "graphics/PixelMemory.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

TPixelMemory::TPixelMemory(size_t size) : FSize(size) {
    if (size == 0) return;
    FBytes.reset(static_cast<uint8_t*>(std::calloc(size, 1)));
    if (!FBytes) throw std::bad_alloc();
}

TPixelMemory::TPixelMemory(TByteView stored) : FStored(std::move(stored)), FSize(FStored.Bytes.size()) {}

TPixelMemory::TPixelMemory(const TPixelMemory& other) : FStored(other.FStored), FSize(other.FSize) {
    // Stored rows are shared, as they never change; memory of its own is copied.
    if (other.FBytes) {
        FBytes.reset(static_cast<uint8_t*>(std::malloc(FSize)));
        if (!FBytes) throw std::bad_alloc();
        std::memcpy(FBytes.get(), other.FBytes.get(), FSize);
    }
}

TPixelMemory::TPixelMemory(TPixelMemory&& other) noexcept
    : FBytes(std::move(other.FBytes)), FStored(std::exchange(other.FStored, {})),
      FSize(std::exchange(other.FSize, 0)) {}

TPixelMemory& TPixelMemory::operator=(TPixelMemory other) noexcept {
    std::swap(FBytes, other.FBytes);
    std::swap(FStored, other.FStored);
    std::swap(FSize, other.FSize);
    return *this;
}

uint8_t* TPixelMemory::data() {
    if (InPlace()) {
        std::unique_ptr<uint8_t[], TFree> own(static_cast<uint8_t*>(std::malloc(FSize)));
        if (!own) throw std::bad_alloc();
        std::memcpy(own.get(), FStored.Bytes.data(), FSize);
        FBytes = std::move(own);
        FStored = {};
    }
    return FBytes.get();
}

void TPixelMemory::TFree::operator()(uint8_t* p) const noexcept {
    std::free(p);
}
