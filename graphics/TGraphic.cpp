// The picture-kind base and the registry.
#include "graphics/TGraphic.h"

#include "graphics/StreamReads.h"
#include "graphics/TBitmap.h"
#include "graphics/TGIFImage.h"
#include "graphics/TIcon.h"
#include "graphics/TJPEGImage.h"
#include "stream/ByteOrder.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TFiler.h"
#include "stream/TStream.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <atomic>
#include <chrono>

const TClassInfo TGraphic::ClassInfo{"TGraphic", &TPersistent::ClassInfo};

void TGraphic::SetTransparent(bool v) {
    if (FTransparent == v) return;
    FTransparent = v;
    Changed();
}

uint64_t TGraphic::NextChangeStamp() {
    static std::atomic<uint64_t> count{0};
    return ++count;
}

void TGraphic::RenewChangeStamp() {
    FChangeStamp = NextChangeStamp();
}

void TGraphic::Changed() {
    FModified = true;
    RenewChangeStamp();
    if (OnChange) OnChange(this);
}

const TTypeInfo TypeInfo_ProgressEvent{"TProgressEvent", TTypeKind::tkMethod};

TMethodInfo ProgressMethod(std::string_view name, TProgressMethod code) {
    return {name, nullptr, nullptr, &TypeInfo_ProgressEvent, reinterpret_cast<void (*)()>(code)};
}

TProgressEvent BindProgressMethod(const TMethodInfo* method, TObject* data) {
    if (!method || method->Kind != &TypeInfo_ProgressEvent) return {};
    const auto code = reinterpret_cast<TProgressMethod>(method->Handler);
    return [code, data](TObject* sender, TProgressStage stage, int percentDone, bool redrawNow,
                        const TRect& r, const std::string& message) {
        code(data, sender, stage, percentDone, redrawNow, r, message);
    };
}

std::function<uint64_t()> ProgressTickCount = [] {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
};

void TGraphic::Progress(TProgressStage stage, int percentDone, bool redrawNow, const TRect& r,
                        std::string_view message) {
    if (OnProgress) OnProgress(this, stage, percentDone, redrawNow, r, std::string(message));
}

void TGraphic::DeclareProperties(TFiler& filer) {
    TPersistent::DeclareProperties(filer);
    filer.DefineBinaryProperty(
        "Data", [this](TStream& s) { ReadData(s); }, !Empty());
}

std::vector<uint8_t> TGraphic::ReadBlock(TStream& stream, uint64_t count) {
    if (count > BytesRemaining(stream)) throw EReadError(std::string(SConsts::SReadError));
    std::vector<uint8_t> bytes(count);
    ReadExact(stream, bytes.data(), count);
    return bytes;
}

std::vector<uint8_t> TGraphic::ReadRest(TStream& stream) {
    return ReadBlock(stream, BytesRemaining(stream));
}

TByteView TGraphic::ReadKept(TStream& stream, uint64_t count) {
    if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&stream))
        if (auto view = memory->ReadInPlace(count)) return std::move(*view);
    auto bytes = std::make_shared<const std::vector<uint8_t>>(ReadBlock(stream, count));
    return {std::span(*bytes), bytes, true};
}

TByteView TGraphic::ReadRestKept(TStream& stream) {
    return ReadKept(stream, BytesRemaining(stream));
}

uint32_t TGraphic::ReadLength(TStream& stream) {
    uint8_t b[4];
    ReadExact(stream, b, sizeof b);
    return U32LE(b);
}

TFileFormatsList::TFileFormatsList() {
    Add("ico", "Icons", 0, TIcon::ClassInfo,
        []() -> std::unique_ptr<TGraphic> { return std::make_unique<TIcon>(); });
    Add("bmp", "Bitmaps", 0, TBitmap::ClassInfo,
        []() -> std::unique_ptr<TGraphic> { return std::make_unique<TBitmap>(); });
    // The JPEG and GIF kinds register at start-up, before any form is loaded.
    Add("gif", "GIF Image", 0, TGIFImage::ClassInfo,
        []() -> std::unique_ptr<TGraphic> { return std::make_unique<TGIFImage>(); });
    Add("jpeg", "JPEG Image File", 0, TJPEGImage::ClassInfo,
        []() -> std::unique_ptr<TGraphic> { return std::make_unique<TJPEGImage>(); });
    Add("jpg", "JPEG Image File", 0, TJPEGImage::ClassInfo,
        []() -> std::unique_ptr<TGraphic> { return std::make_unique<TJPEGImage>(); });
}

TFileFormatsList& TFileFormatsList::Instance() {
    static TFileFormatsList list;
    return list;
}

void TFileFormatsList::Add(std::string extension, std::string description, int descResID,
                           const TClassInfo& cls, TGraphicFactory create) {
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    FFormats.push_back({std::move(extension), std::move(description), descResID, &cls, create});
}

const TFileFormat* TFileFormatsList::FindClassName(std::string_view className) const {
    for (auto it = FFormats.rbegin(); it != FFormats.rend(); ++it)
        if (it->GraphicClass->ClassName == className) return &*it;
    return nullptr;
}

void TFileFormatsList::Remove(std::string_view extension, const TClassInfo& cls) {
    std::erase_if(FFormats, [&](const TFileFormat& f) {
        return f.GraphicClass == &cls && std::ranges::equal(f.Extension, extension, [](char a, char b) {
                   return a == std::tolower(static_cast<unsigned char>(b));
               });
    });
}

void RegisterFileFormat(std::string extension, std::string description, const TClassInfo& cls,
                        TGraphicFactory create) {
    TFileFormatsList::Instance().Add(std::move(extension), std::move(description), 0, cls, create);
}

void UnregisterFileFormat(std::string_view extension, const TClassInfo& cls) {
    TFileFormatsList::Instance().Remove(extension, cls);
}
