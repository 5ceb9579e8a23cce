// Metadata segments for JPEG files that carry more than the encoder writes, the way a camera or an
// editing program leaves them: a colour profile described by lookup tables and spread over a chosen
// number of APP2 segments, and an APP13 resource block with IPTC caption text.
#pragma once

#include "content/toolkit/encoders/PictureFiles.h"

#include <cstdint>
#include <string>
#include <vector>

struct JpegSegment {
    uint8_t Marker; // the second marker byte, 0xE0 + n for APPn
    Bytes Data;     // the segment's contents after its length field, at most 65533 bytes
};

// The file with the segments inserted after its leading APPn segments (JFIF, Exif, XMP), in the given
// order. The file is returned unchanged when it does not start like a JPEG file.
Bytes InsertJpegSegments(const Bytes& jpeg, const std::vector<JpegSegment>& segments);

// A colour profile in APP2 segments behind "ICC_PROFILE\0", a sequence number and the count, split
// into `count` chunks of nearly equal size; more chunks than asked for when one would not fit.
std::vector<JpegSegment> IccSegments(const Bytes& profile, int count);

// An APP13 image resource block with one IPTC record in UTF-8: object name, keywords and caption.
JpegSegment IptcSegment(const std::string& title, const std::string& caption,
                        const std::vector<std::string>& keywords);

// A version 2 display profile of the sRGB primaries and tone curve (D50-adapted), described both by
// matrix and curves and by 16-bit lookup tables of `grid` points per axis in each direction, with a
// gamut tag: about half a megabyte for a grid of 33.
Bytes MakeLookupIccProfile(int grid = 33);
