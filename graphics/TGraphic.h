// The abstract picture kind and the picture-kind registry that maps a stored class-name tag to a kind.
#pragma once

#include "stream/TPersistent.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TStream;

class TGraphic : public TPersistent {
    ORV_CLASS(TGraphic)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool v);
    // Reads the kind's payload from a stored picture value; by default the kind's file format.
    virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
    virtual void LoadFromStream(TStream& stream) = 0;

    void DeclareProperties(TFiler& filer) override;

    bool Modified() const { return FModified; }
    std::function<void(TGraphic*)> OnChange;

protected:
    void Changed();
    // Reads exactly count bytes or raises "Stream read error"; count is checked against the stream first.
    static std::vector<uint8_t> ReadBlock(TStream& stream, uint64_t count);
    static uint32_t ReadLength(TStream& stream);

private:
    bool FTransparent = false;
    bool FModified = false;
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
    const std::vector<TFileFormat>& Formats() const { return FFormats; }

private:
    TFileFormatsList();
    std::vector<TFileFormat> FFormats;
};
