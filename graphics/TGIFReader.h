// The byte cursor GIF reading works on: strict reads that fail with "Premature end of data", lenient
// reads that stop at the end, data sub-blocks. What reading passes over goes to the picture's warnings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

[[noreturn]] void GIFError(std::string_view message);

class TGIFImage;

class TGIFReader {
public:
    // Reads the file of image, whose warnings take what reading passes over.
    TGIFReader(std::span<const uint8_t> bytes, const TGIFImage& image) : FBytes(bytes), FImage(image) {}

    size_t Position() const { return FPosition; }
    void SetPosition(size_t position) { FPosition = position < FBytes.size() ? position : FBytes.size(); }
    size_t Size() const { return FBytes.size(); }
    size_t Remaining() const { return FBytes.size() - FPosition; }
    bool AtEnd() const { return FPosition >= FBytes.size(); }

    // The next byte, or -1 at the end.
    int ReadByte() { return AtEnd() ? -1 : FBytes[FPosition++]; }
    int PeekByte() const { return AtEnd() ? -1 : FBytes[FPosition]; }
    void StepBack() {
        if (FPosition > 0) --FPosition;
    }
    // Exactly count bytes, or "Premature end of data".
    void ReadStrict(void* buffer, size_t count);
    // Up to count bytes; how many were read.
    size_t Read(void* buffer, size_t count);
    // Moves on by count bytes, stopping at the end.
    void Skip(size_t count) { SetPosition(FPosition + (count < Remaining() ? count : Remaining())); }

    // Data sub-blocks (a length byte, then that many bytes) up to a length of 0 or the end; each
    // sub-block is read strictly.
    std::vector<uint8_t> ReadSubBlocks();
    std::vector<std::vector<uint8_t>> ReadSubBlockList();
    // Jumps over sub-blocks up to a length of 0 or the end.
    void SkipSubBlocks();

    // A warning (gsWarning) of the picture being read.
    void Warning(std::string_view message) const;

private:
    std::span<const uint8_t> FBytes;
    size_t FPosition = 0;
    const TGIFImage& FImage;
};

// Text split into lines at CR LF, LF or CR; a break at the very end adds no empty line.
std::vector<std::string> SplitLines(std::span<const uint8_t> text);
