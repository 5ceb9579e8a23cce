// The extension blocks of a GIF file: graphic control, comment, plain text and application extensions
// (the looping extension and unknown ones). Each kind is found by its label in one table.
#pragma once

#include "graphics/TGIFReader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

inline constexpr uint8_t kGIFExtensionIntroducer = 0x21; // "!"
inline constexpr uint8_t kGIFImageSeparator = 0x2C;      // ","
inline constexpr uint8_t kGIFTrailer = 0x3B;             // ";"

class TGIFExtension {
public:
    virtual ~TGIFExtension() = default;
    virtual uint8_t Label() const = 0;
    // Reads the extension from its introducer on.
    void LoadFromStream(TGIFReader& reader);
    // A new extension of the kind the label at the reader's position names; the reader is left at the
    // label. Raises "Unknown extension type" for a label without a kind.
    static std::unique_ptr<TGIFExtension> Create(TGIFReader& reader);

protected:
    virtual void ReadBody(TGIFReader& reader) = 0;
};

enum TGIFDisposalMethod { dmNone, dmNoDisposal, dmBackground, dmPrevious };

struct TGIFGCERec {
    uint8_t BlockSize = 0;
    uint8_t PackedFields = 0; // disposal in bits 2 to 4, user input bit 1, transparency bit 0
    uint16_t DelayTime = 0;   // hundredths of a second
    uint8_t TransparentColorIndex = 0;
    uint8_t Terminator = 0;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0xF9;
    uint8_t Label() const override { return kLabel; }
    const TGIFGCERec& Rec() const { return FRec; }
    bool Transparent() const { return FRec.PackedFields & 1; }
    uint8_t TransparentColorIndex() const { return FRec.TransparentColorIndex; }
    bool UserInput() const { return FRec.PackedFields & 2; }
    int Delay() const { return FRec.DelayTime; }
    TGIFDisposalMethod Disposal() const;

protected:
    void ReadBody(TGIFReader& reader) override;

private:
    TGIFGCERec FRec;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0xFE;
    uint8_t Label() const override { return kLabel; }
    const std::vector<std::string>& Comment() const { return FComment; }

protected:
    void ReadBody(TGIFReader& reader) override;

private:
    std::vector<std::string> FComment;
};

struct TGIFPlainTextExtensionRec {
    uint8_t BlockSize = 0;
    uint16_t Left = 0, Top = 0, Width = 0, Height = 0;
    uint8_t CellWidth = 0, CellHeight = 0;
    uint8_t TextFGColorIndex = 0, TextBGColorIndex = 0;
};

class TGIFTextExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0x01;
    uint8_t Label() const override { return kLabel; }
    const TGIFPlainTextExtensionRec& Rec() const { return FRec; }
    const std::vector<std::string>& Text() const { return FText; }

protected:
    void ReadBody(TGIFReader& reader) override;

private:
    TGIFPlainTextExtensionRec FRec;
    std::vector<std::string> FText;
};

struct TGIFApplicationRec {
    char Identifier[8] = {};
    char Authentication[3] = {};
};

class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr uint8_t kLabel = 0xFF;
    uint8_t Label() const override { return kLabel; }
    const TGIFApplicationRec& Rec() const { return FRec; }
    // Identifier and authentication code, 11 characters.
    std::string Identifier() const;

protected:
    void ReadBody(TGIFReader& reader) override;
    // The data sub-blocks after the identifying block; skipped unless the kind knows them.
    virtual void ReadData(TGIFReader& reader) { reader.SkipSubBlocks(); }

private:
    TGIFApplicationRec FRec;
};

// "NETSCAPE2.0" and "ANIMEXTS1.0": loop count and buffer size.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    int Loops() const { return FLoops; }
    uint32_t BufferSize() const { return FBufferSize; }

protected:
    void ReadData(TGIFReader& reader) override;

private:
    int FLoops = 0;
    uint32_t FBufferSize = 0;
};

// An application extension nobody registered: its sub-blocks kept as they are.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    const std::vector<std::vector<uint8_t>>& Blocks() const { return FBlocks; }

protected:
    void ReadData(TGIFReader& reader) override { FBlocks = reader.ReadSubBlockList(); }

private:
    std::vector<std::vector<uint8_t>> FBlocks;
};
