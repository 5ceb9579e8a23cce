// GIF byte cursor.
#include "graphics/TGIFReader.h"

#include "graphics/GraphicsConsts.h"
#include "graphics/GraphicsExceptions.h"
#include "graphics/TGIFImage.h"

#include <cstring>

void GIFError(std::string_view message) {
    throw GIFException(std::string(message));
}

void TGIFReader::Warning(std::string_view message) const {
    FImage.Warning(gsWarning, std::string(message));
}

void TGIFReader::ReadStrict(void* buffer, size_t count) {
    if (count > Remaining()) GIFError(SGraphics::SGIFPrematureEndOfData);
    Read(buffer, count);
}

size_t TGIFReader::Read(void* buffer, size_t count) {
    size_t n = count < Remaining() ? count : Remaining();
    if (n) std::memcpy(buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

std::vector<std::vector<uint8_t>> TGIFReader::ReadSubBlockList() {
    std::vector<std::vector<uint8_t>> blocks;
    for (int length = ReadByte(); length > 0; length = ReadByte()) {
        std::vector<uint8_t> block(static_cast<size_t>(length));
        ReadStrict(block.data(), block.size());
        blocks.push_back(std::move(block));
    }
    return blocks;
}

std::vector<uint8_t> TGIFReader::ReadSubBlocks() {
    std::vector<uint8_t> bytes;
    for (const auto& block : ReadSubBlockList())
        bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

void TGIFReader::SkipSubBlocks() {
    for (int length = ReadByte(); length > 0; length = ReadByte())
        Skip(static_cast<size_t>(length));
}

std::vector<std::string> SplitLines(std::span<const uint8_t> text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = static_cast<char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}
