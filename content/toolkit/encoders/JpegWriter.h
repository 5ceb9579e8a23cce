// JPEG files encoded by libjpeg, with the settings the course and the tests need and the metadata
// segments a computed picture may carry.
#pragma once

#include "content/toolkit/encoders/PixelImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The defaults are libjpeg's baseline defaults.
struct JpegOptions {
    int Quality = 75;
    bool Grey = false;     // one component: the low byte of each pixel is the grey level
    bool CMYK = false;     // colour written as Adobe CMYK
    bool Subsample = true; // colour sampled 2x2, 1x1, 1x1; else every component 1x1
    bool Progressive = false;
    bool Arithmetic = false;
    bool OptimizeCoding = false; // Huffman tables made for the picture
    int RestartInterval = 0;     // in MCUs; 0 for none
    int DotsPerInch = 0;         // the JFIF density; 0 leaves the aspect ratio 1:1 without a unit
    std::optional<std::vector<uint8_t>> Exif{}; // a TIFF structure, stored in APP1 behind "Exif\0\0"
    std::optional<std::vector<uint8_t>> Icc{};  // an ICC profile, in APP2 segments
    std::optional<std::string> Xmp{};           // an XMP packet, in APP1 behind its namespace
};
// A JFIF file. A libjpeg failure is a defect of the caller: it is printed and the process aborts.
std::vector<uint8_t> EncodeJpeg(const PixelImage& image, const JpegOptions& options = {});
