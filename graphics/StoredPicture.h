// Stored picture data as the picture reader expects it: the class name of the picture's kind with its
// length byte, then the kind's payload (a 4-byte little-endian length and the file for bitmaps and
// JPEG, the file alone for GIF). For the tools that write definitions and for the tests.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The picture class a file's first bytes name ("TBitmap", "TJPEGImage", "TGIFImage"), or empty.
std::string_view PictureKindOf(std::span<const uint8_t> file);

// The file as a stored picture value of the kind its first bytes name. Empty for a file no kind reads
// or one too long for its length field.
std::vector<uint8_t> StoredPictureData(std::span<const uint8_t> file);

// A stored picture value of any class name and payload, as they are.
std::vector<uint8_t> PictureData(std::string_view className, std::span<const uint8_t> payload);

// A payload of a file with its 4-byte little-endian length in front.
std::vector<uint8_t> WithLength(std::span<const uint8_t> file);
