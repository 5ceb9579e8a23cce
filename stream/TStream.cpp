// Stream implementations.
#include "stream/TStream.h"

#include <algorithm>
#include <cstring>

int64_t TStream::Size() {
    int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return end;
}

static int64_t ClampedSeek(int64_t current, int64_t size, int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? current : size;
    int64_t pos = base + offset;
    return std::max<int64_t>(pos, 0);
}

size_t TCustomMemoryStream::Read(void* buffer, size_t count) {
    if (count == 0 || FPosition >= FData.size()) return 0;
    size_t n = std::min(count, FData.size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    FPosition = static_cast<size_t>(
        ClampedSeek(static_cast<int64_t>(FPosition), static_cast<int64_t>(FData.size()), offset, origin));
    return static_cast<int64_t>(FPosition);
}

TByteView TCustomMemoryStream::View(size_t position, size_t count) const {
    position = std::min(position, FData.size());
    count = std::min(count, FData.size() - position);
    return {FData.subspan(position, count), FKeeper, FLasting};
}

std::optional<TByteView> TCustomMemoryStream::ReadInPlace(uint64_t count) {
    if (!FLasting || FPosition > FData.size() || count > FData.size() - FPosition) return std::nullopt;
    TByteView view = View(FPosition, static_cast<size_t>(count));
    FPosition += static_cast<size_t>(count);
    return view;
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
    if (count == 0 || FPosition >= FData.size()) return 0;
    size_t n = std::min(count, FData.size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    if (count == 0) return 0;
    if (FPosition + count > FData.size()) FData.resize(FPosition + count);
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition += count;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    FPosition = static_cast<size_t>(
        ClampedSeek(static_cast<int64_t>(FPosition), static_cast<int64_t>(FData.size()), offset, origin));
    return static_cast<int64_t>(FPosition);
}
