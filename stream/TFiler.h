// The filer: the buffered source stream shared by the reader, the filer flags of a record prefix, the
// value tags, and the interface through which objects declare their custom stored properties.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class TStream;
class TReader;

enum class TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};
inline constexpr uint8_t kLastValueType = 21;

enum TFilerFlag : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };
using TFilerFlags = uint8_t;

class TFiler {
public:
    using TReaderProc = std::function<void(TReader&)>;
    using TStreamProc = std::function<void(TStream&)>;

    TFiler(TStream& stream, int bufSize);
    virtual ~TFiler();
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;

    // Declarations of custom stored properties; only the name and the read procedure matter here.
    virtual void DefineProperty(std::string_view name, const TReaderProc& readData, bool hasData) = 0;
    virtual void DefineBinaryProperty(std::string_view name, const TStreamProc& readData, bool hasData) = 0;

protected:
    TStream& FStream;
    std::unique_ptr<uint8_t[]> FBuffer;
    int FBufSize;
    int FBufPos = 0;
    int FBufEnd = 0;
};
