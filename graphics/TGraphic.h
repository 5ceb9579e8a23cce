// The abstract picture kind and the picture-kind registry that maps a stored class-name tag to a kind.
//
// Pixels for drawing. Decoding never draws: every kind turns its bytes into a TBitmap, and drawing code
// reads that bitmap through one call that is the same for every kind:
//
//     const TBitmap* bitmap = graphic->DecodedBitmap();   // may decode now, and may raise the kind's error
//     if (bitmap && !bitmap->Empty()) {
//         std::vector<uint32_t> pixels = bitmap->ToBGRA();  // Width() x Height(), top row first
//         ...                                              // each pixel 0xAARRGGBB (bytes B, G, R, A)
//     }
//
// The bitmap is the whole picture, to be stretched (rows and columns dropped or repeated, never averaged)
// into the destination rectangle. The one exception is TGIFImage, whose bitmap is its first frame: see
// TGIFImage::FrameRect and TGIFImage::NeedsBackgroundFill for where it goes and what is filled first.
// Palette() gives the entries of the picture's logical palette (empty when it has none); it matters only
// on displays of 8 bits per pixel or less, and the colour table that pixels go through is
// TBitmap::ColorTable(). A picture whose Transparent is set is drawn through its TransparencyMask():
// the pixels the mask sets leave what lies beneath the rectangle.
#pragma once

#include "platform/Platform.h"
#include "stream/TPersistent.h"
#include "stream/TStream.h"
#include "stream/TypInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TStream;
class TBitmap;

// One entry of a logical palette.
struct TPaletteEntry {
    uint8_t Red = 0, Green = 0, Blue = 0, Flags = 0;
    bool operator==(const TPaletteEntry&) const = default;
};

// Where a picture drawn transparently lets what lies beneath show through: one bit per pixel of the
// decoded bitmap, set for a transparent pixel, most significant bit leftmost, rows top first and each
// Stride bytes long (padded to 16 bits). Empty when no pixel is transparent.
struct TTransparencyMask {
    std::span<const uint8_t> Bits;
    int Stride = 0;

    bool Empty() const { return Bits.empty(); }
    bool IsSet(int x, int y) const {
        size_t at = static_cast<size_t>(y) * static_cast<size_t>(Stride) + static_cast<size_t>(x >> 3);
        return at < Bits.size() && (Bits[at] & (0x80 >> (x & 7)));
    }
};

// A picture's reports while it loads or decodes: the stage, how much is done, and whether part of the
// picture can be drawn anew (redrawNow), with that part in the picture's own coordinates (r).
enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* sender, TProgressStage stage, int percentDone,
                                          bool redrawNow, const TRect& r, const std::string& message)>;

// A published method that takes progress reports, and the event type such methods and the properties
// that take them are published with.
using TProgressMethod = void (*)(TObject* self, TObject* sender, TProgressStage stage, int percentDone,
                                 bool redrawNow, const TRect& r, const std::string& message);
extern const TTypeInfo TypeInfo_ProgressEvent;
TMethodInfo ProgressMethod(std::string_view name, TProgressMethod code);
// The handler that calls a published progress method on data; empty for no method.
TProgressEvent BindProgressMethod(const TMethodInfo* method, TObject* data);

// The millisecond tick count progress reports are timed by, the system's monotonic clock; a test may
// put another in its place.
extern std::function<uint64_t()> ProgressTickCount;

class TGraphic : public TPersistent {
    ORV_CLASS(TGraphic)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Entries of the picture's logical palette; empty when the picture has none.
    virtual std::vector<TPaletteEntry> Palette() { return {}; }
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);
    virtual bool SupportsPartialTransparency() const { return false; }
    // Reads the kind's payload from a stored picture value; by default the kind's file format.
    virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
    virtual void LoadFromStream(TStream& stream) = 0;
    // The decoded pixels (see the top of this file); nullptr when the kind has nothing to draw.
    virtual const TBitmap* DecodedBitmap() = 0;
    // The pixels a transparent picture leaves out when drawn, for the bitmap DecodedBitmap() gave. Kinds
    // that are never drawn through a mask have none.
    virtual TTransparencyMask TransparencyMask() { return {}; }

    void DeclareProperties(TFiler& filer) override;

    // A number renewed by every change, drawn from one count for all pictures, so that no two states of
    // any pictures share one: a copy made from a picture is current while the stamp it was made at is.
    uint64_t ChangeStamp() const { return FChangeStamp; }
    // Sets Modified, renews the change stamp and calls OnChange. Code that writes pixels into a bitmap
    // through ScanLine or Bits calls it when it is done.
    void Changed();

    bool Modified() const { return FModified; }
    void SetModified(bool v) { FModified = v; }
    bool PaletteModified() const { return FPaletteModified; }
    void SetPaletteModified(bool v) { FPaletteModified = v; }

    std::function<void(TGraphic*)> OnChange;
    TProgressEvent OnProgress;

protected:
    // Renews the change stamp without telling anyone.
    void RenewChangeStamp();
    void Progress(TProgressStage stage, int percentDone, std::string_view message) {
        Progress(stage, percentDone, false, TRect{}, message);
    }
    void Progress(TProgressStage stage, int percentDone, bool redrawNow, const TRect& r,
                  std::string_view message);
    // Reads exactly count bytes or raises "Stream read error"; count is checked against the stream first.
    static std::vector<uint8_t> ReadBlock(TStream& stream, uint64_t count);
    // The bytes from the stream's position to its end.
    static std::vector<uint8_t> ReadRest(TStream& stream);
    // Like ReadBlock, for bytes kept after reading: a stream over lasting memory lends them where they
    // lie, any other stream's are copied into a block the view keeps alive.
    static TByteView ReadKept(TStream& stream, uint64_t count);
    static TByteView ReadRestKept(TStream& stream);
    static uint32_t ReadLength(TStream& stream);

private:
    bool FTransparent = false;
    bool FModified = false;
    bool FPaletteModified = false;
    uint64_t FChangeStamp = NextChangeStamp();
    static uint64_t NextChangeStamp();
};

using TGraphicFactory = std::unique_ptr<TGraphic> (*)();

struct TFileFormat {
    std::string Extension;
    std::string Description;
    int DescResID = 0;
    const TClassInfo* GraphicClass;
    TGraphicFactory Create;
};

// The process-wide list of picture kinds; lookups scan from the last entry to the first.
class TFileFormatsList {
public:
    static TFileFormatsList& Instance();
    void Add(std::string extension, std::string description, int descResID, const TClassInfo& cls,
             TGraphicFactory create);
    // Finds a kind by class name, compared with regard to case.
    const TFileFormat* FindClassName(std::string_view className) const;
    // Removes every entry of that extension (compared without regard to case) and class.
    void Remove(std::string_view extension, const TClassInfo& cls);
    const std::vector<TFileFormat>& Formats() const { return FFormats; }

private:
    TFileFormatsList();
    std::vector<TFileFormat> FFormats;
};

// Appends a picture kind to the registry.
void RegisterFileFormat(std::string extension, std::string description, const TClassInfo& cls,
                        TGraphicFactory create);
// Takes back what RegisterFileFormat added for that extension and class.
void UnregisterFileFormat(std::string_view extension, const TClassInfo& cls);
