// Stored picture data written as the picture reader reads it.
#include "graphics/StoredPicture.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

std::string_view PictureKindOf(std::span<const uint8_t> file) {
    auto startsWith = [&](std::initializer_list<uint8_t> signature) {
        return file.size() >= signature.size() &&
               std::equal(signature.begin(), signature.end(), file.begin());
    };
    if (startsWith({'B', 'M'})) return "TBitmap";
    if (startsWith({0xFF, 0xD8})) return "TJPEGImage";
    if (startsWith({'G', 'I', 'F', '8'})) return "TGIFImage";
    return {};
}

std::vector<uint8_t> StoredPictureData(std::span<const uint8_t> file) {
    std::string_view kind = PictureKindOf(file);
    if (kind.empty() || file.size() > UINT32_MAX) return {};
    // A GIF payload runs to the end of the value; the other kinds say how long theirs is.
    if (kind == "TGIFImage") return PictureData(kind, file);
    return PictureData(kind, WithLength(file));
}

std::vector<uint8_t> PictureData(std::string_view className, std::span<const uint8_t> payload) {
    std::vector<uint8_t> data;
    data.reserve(1 + className.size() + payload.size());
    data.push_back(static_cast<uint8_t>(className.size()));
    data.insert(data.end(), className.begin(), className.end());
    data.insert(data.end(), payload.begin(), payload.end());
    return data;
}

std::vector<uint8_t> WithLength(std::span<const uint8_t> file) {
    std::vector<uint8_t> payload;
    payload.reserve(4 + file.size());
    const auto length = static_cast<uint32_t>(file.size());
    for (int shift = 0; shift < 32; shift += 8)
        payload.push_back(static_cast<uint8_t>(length >> shift));
    payload.insert(payload.end(), file.begin(), file.end());
    return payload;
}
