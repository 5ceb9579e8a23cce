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

TPixelMemory::TPixelMemory(const TPixelMemory& other) : TPixelMemory(other.FSize) {
    if (FSize) std::memcpy(FBytes.get(), other.FBytes.get(), FSize);
}

TPixelMemory::TPixelMemory(TPixelMemory&& other) noexcept
    : FBytes(std::move(other.FBytes)), FSize(std::exchange(other.FSize, 0)) {}

TPixelMemory& TPixelMemory::operator=(TPixelMemory other) noexcept {
    std::swap(FBytes, other.FBytes);
    std::swap(FSize, other.FSize);
    return *this;
}

void TPixelMemory::TFree::operator()(uint8_t* p) const noexcept {
    std::free(p);
}
