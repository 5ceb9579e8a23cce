// GIF extension blocks: the label table and each kind's reading.
#include "graphics/TGIFExtension.h"

#include "graphics/GraphicsConsts.h"
#include "stream/ByteOrder.h"

#include <cstring>

namespace {
constexpr const char* kLoopIdentifiers[] = {"NETSCAPE2.0", "ANIMEXTS1.0"};

// The application extension's kind comes from its identifying block: an 11-byte block naming a
// registered identifier, any other 11- or 10-byte block, or a block of another size.
std::unique_ptr<TGIFExtension> CreateApplicationExtension(TGIFReader& reader) {
    size_t label = reader.Position();
    reader.Skip(1);
    int size = reader.ReadByte();
    std::unique_ptr<TGIFExtension> extension;
    if (size == 11) {
        char identifier[11] = {};
        size_t n = reader.Read(identifier, sizeof identifier);
        for (const char* known : kLoopIdentifiers)
            if (n == sizeof identifier && std::memcmp(identifier, known, sizeof identifier) == 0)
                extension = std::make_unique<TGIFAppExtNSLoop>();
        if (!extension) extension = std::make_unique<TGIFUnknownAppExtension>();
    } else if (size == 10) {
        extension = std::make_unique<TGIFUnknownAppExtension>();
    } else {
        extension = std::make_unique<TGIFApplicationExtension>();
    }
    reader.SetPosition(label);
    return extension;
}
} // namespace

std::unique_ptr<TGIFExtension> TGIFExtension::Create(TGIFReader& reader) {
    switch (reader.PeekByte()) {
    case TGIFTextExtension::kLabel:
        return std::make_unique<TGIFTextExtension>();
    case TGIFGraphicControlExtension::kLabel:
        return std::make_unique<TGIFGraphicControlExtension>();
    case TGIFCommentExtension::kLabel:
        return std::make_unique<TGIFCommentExtension>();
    case TGIFApplicationExtension::kLabel:
        return CreateApplicationExtension(reader);
    case -1:
        GIFError(SGraphics::SGIFPrematureEndOfData);
    default:
        GIFError(SGraphics::SGIFUnknownExtension);
    }
}

void TGIFExtension::LoadFromStream(TGIFReader& reader) {
    uint8_t leadIn[2];
    reader.ReadStrict(leadIn, sizeof leadIn);
    if (leadIn[0] != kGIFExtensionIntroducer) GIFError(SGraphics::SGIFInvalidExtensionIntroducer);
    if (leadIn[1] != Label()) GIFError(SGraphics::SGIFExtensionLabelMismatch);
    ReadBody(reader);
}

TGIFDisposalMethod TGIFGraphicControlExtension::Disposal() const {
    int method = FRec.PackedFields >> 2 & 7;
    return method <= dmPrevious ? static_cast<TGIFDisposalMethod>(method) : dmNone;
}

// Six bytes, whatever the block size byte says; the rest of a short block stays zero.
void TGIFGraphicControlExtension::ReadBody(TGIFReader& reader) {
    uint8_t bytes[6] = {};
    if (reader.Read(bytes, sizeof bytes) < sizeof bytes) reader.Warning(SGraphics::SGIFPrematureEndOfData);
    FRec.BlockSize = bytes[0];
    FRec.PackedFields = bytes[1];
    FRec.DelayTime = U16LE(bytes + 2);
    FRec.TransparentColorIndex = bytes[4];
    FRec.Terminator = bytes[5];
}

void TGIFCommentExtension::ReadBody(TGIFReader& reader) {
    FComment = SplitLines(reader.ReadSubBlocks());
}

void TGIFTextExtension::ReadBody(TGIFReader& reader) {
    uint8_t block[13];
    reader.ReadStrict(block, sizeof block);
    FRec.BlockSize = block[0];
    FRec.Left = U16LE(block + 1);
    FRec.Top = U16LE(block + 3);
    FRec.Width = U16LE(block + 5);
    FRec.Height = U16LE(block + 7);
    FRec.CellWidth = block[9];
    FRec.CellHeight = block[10];
    FRec.TextFGColorIndex = block[11];
    FRec.TextBGColorIndex = block[12];
    FText = SplitLines(reader.ReadSubBlocks());
}

std::string TGIFApplicationExtension::Identifier() const {
    return std::string(FRec.Identifier, sizeof FRec.Identifier) +
           std::string(FRec.Authentication, sizeof FRec.Authentication);
}

void TGIFApplicationExtension::ReadBody(TGIFReader& reader) {
    uint8_t size;
    reader.ReadStrict(&size, 1);
    if (size >= 11) {
        reader.ReadStrict(FRec.Identifier, sizeof FRec.Identifier);
        reader.ReadStrict(FRec.Authentication, sizeof FRec.Authentication);
        reader.Skip(size - 11u);
    } else if (size == 10) {
        reader.Skip(10);
    } else {
        GIFError(SGraphics::SGIFUnsupportedAppExtSize);
    }
    ReadData(reader);
}

// Sub-block kind 1 carries the loop count, kind 2 the buffer size; others are passed over.
void TGIFAppExtNSLoop::ReadData(TGIFReader& reader) {
    for (int length = reader.ReadByte(); length > 0; length = reader.ReadByte()) {
        uint8_t block[255];
        reader.ReadStrict(block, static_cast<size_t>(length));
        switch (block[0] & 7) {
        case 1:
            if (length < 3) GIFError(SGraphics::SGIFInvalidData);
            FLoops = U16LE(block + 1);
            break;
        case 2:
            if (length < 5) GIFError(SGraphics::SGIFInvalidData);
            FBufferSize = U32LE(block + 1);
            break;
        default:
            break;
        }
    }
}
