// The reader's primitive operations: buffering, tags, integers, texts, floats, sets and skipping.
#include "stream/TReader.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TCollection.h"
#include "stream/TStream.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Nesting of lists and collections inside one value. Deeper structures are refused rather than
// followed into a stack overflow.
constexpr int kMaxValueNesting = 256;

[[noreturn]] void ReadError() {
    throw EReadError(std::string(SConsts::SReadError));
}
[[noreturn]] void PropValueError() {
    throw EReadError(std::string(SConsts::SInvalidPropertyValue));
}

template <class T> T LoadLE(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v); // little-endian hosts only; the build checks the byte order
    return v;
}

long double ExtendedToLongDouble(const uint8_t b[10]) {
    uint64_t mantissa = LoadLE<uint64_t>(b);
    uint16_t se = LoadLE<uint16_t>(b + 8);
    bool negative = se & 0x8000;
    int exponent = se & 0x7FFF;
    long double v;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) ? NAN : INFINITY;
    else if (exponent == 0 && mantissa == 0)
        v = 0;
    else
        v = std::ldexp(static_cast<long double>(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
    return negative ? -v : v;
}
} // namespace

TFiler::TFiler(TStream& stream, int bufSize)
    : FStream(stream), FBuffer(new uint8_t[static_cast<size_t>(bufSize)]), FBufSize(bufSize) {}

TFiler::~TFiler() = default;

TReader::TReader(TStream& stream, int bufSize) : TFiler(stream, bufSize) {}

TReader::~TReader() {
    if (FBufEnd > FBufPos) FStream.Seek(FBufPos - FBufEnd, TSeekOrigin::soCurrent);
}

void TReader::ReadBuffer() {
    // The position is reset first so that a failed refill leaves an empty, consistent buffer.
    FBufPos = 0;
    FBufEnd = static_cast<int>(FStream.Read(FBuffer.get(), static_cast<size_t>(FBufSize)));
    if (FStreamLeft >= 0) FStreamLeft = std::max<int64_t>(0, FStreamLeft - FBufEnd);
    if (FBufEnd == 0) ReadError();
}

void TReader::Read(void* buf, size_t count) {
    auto* out = static_cast<uint8_t*>(buf);
    while (count > 0) {
        if (FBufPos == FBufEnd) ReadBuffer();
        size_t n = std::min(count, static_cast<size_t>(FBufEnd - FBufPos));
        std::memcpy(out, FBuffer.get() + FBufPos, n);
        FBufPos += static_cast<int>(n);
        out += n;
        count -= n;
    }
}

uint8_t TReader::ReadByte() {
    if (FBufPos == FBufEnd) ReadBuffer();
    return FBuffer[static_cast<size_t>(FBufPos++)];
}

int64_t TReader::BytesLeft() {
    // The stream is asked once; from then on every byte the reader takes from it comes through
    // ReadBuffer, which keeps the count.
    if (FStreamLeft < 0) FStreamLeft = std::max<int64_t>(0, FStream.Size() - FStream.Position());
    return (FBufEnd - FBufPos) + FStreamLeft;
}

void TReader::CheckAvailable(uint64_t count) {
    if (count > static_cast<uint64_t>(BytesLeft())) ReadError();
}

void TReader::SkipBytes(uint64_t count) {
    CheckAvailable(count);
    uint8_t scratch[256];
    while (count > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(count, sizeof scratch));
        Read(scratch, n);
        count -= n;
    }
}

void TReader::ReadSignature() {
    static constexpr uint8_t kSignature[4] = {'T', 'P', 'F', '0'};
    uint8_t sig[4];
    // Read like any other bytes: a stream too short for a signature ends in a read error.
    Read(sig, 4);
    if (std::memcmp(sig, kSignature, 4) != 0) throw EReadError(std::string(SConsts::SInvalidImage));
}

void TReader::ReadPrefix(TFilerFlags& flags, int& childPos) {
    flags = 0;
    uint8_t b = ReadByte();
    if (b < 0xF0) {
        --FBufPos;
        return;
    }
    flags = b & 0x0F;
    if (flags & ffChildPos) childPos = ReadInteger();
}

std::string TReader::ReadStr() {
    uint8_t len = ReadByte();
    char bytes[255];
    Read(bytes, len);
    std::string_view raw(bytes, len);
    if (TextCodec::IsAscii(raw)) return std::string(raw);
    std::string out;
    for (size_t pos = 0; pos < raw.size();)
        TextCodec::AppendUtf8(out, TextCodec::NextCodePoint(raw, pos));
    return out;
}

TValueType TReader::ReadValue() {
    return static_cast<TValueType>(ReadByte());
}

TValueType TReader::NextValue() {
    TValueType v = ReadValue();
    --FBufPos;
    return v;
}

bool TReader::EndOfList() {
    return NextValue() == TValueType::vaNull;
}

void TReader::CheckValue(TValueType value) {
    if (ReadValue() != value) {
        --FBufPos;
        SkipValue();
        PropValueError();
    }
}

int32_t TReader::ReadInteger() {
    uint8_t b[4];
    switch (ReadValue()) {
    case TValueType::vaInt8:
        Read(b, 1);
        return static_cast<int8_t>(b[0]);
    case TValueType::vaInt16:
        Read(b, 2);
        return LoadLE<int16_t>(b);
    case TValueType::vaInt32:
        Read(b, 4);
        return LoadLE<int32_t>(b);
    default:
        PropValueError();
    }
}

int64_t TReader::ReadInt64() {
    if (NextValue() != TValueType::vaInt64) return ReadInteger();
    ReadValue();
    uint8_t b[8];
    Read(b, 8);
    return LoadLE<int64_t>(b);
}

bool TReader::ReadBoolean() {
    switch (ReadValue()) {
    case TValueType::vaFalse:
        return false;
    case TValueType::vaTrue:
        return true;
    default:
        PropValueError();
    }
}

std::string TReader::ReadLengthPrefixedText(TValueType tag) {
    uint8_t b[4];
    Read(b, 4);
    uint64_t count = LoadLE<uint32_t>(b);
    uint64_t bytes = tag == TValueType::vaWString ? count * 2 : count;
    // The length comes from the stream: check it against what the stream holds before allocating.
    CheckAvailable(bytes);
    std::vector<uint8_t> data(bytes);
    Read(data.data(), data.size());
    if (tag == TValueType::vaWString) return TextCodec::Utf8FromUtf16LE(data);
    if (tag == TValueType::vaLString) return TextCodec::Utf8FromCp1252(data);
    std::string_view raw(reinterpret_cast<const char*>(data.data()), data.size());
    std::string out;
    out.reserve(raw.size());
    for (size_t pos = 0; pos < raw.size();) {
        // A run of ASCII goes across as it is; from any other byte a code point is decoded and written
        // again, which turns malformed sequences into U+FFFD.
        size_t ascii = pos;
        while (ascii < raw.size() && static_cast<uint8_t>(raw[ascii]) < 0x80)
            ++ascii;
        out.append(raw.substr(pos, ascii - pos));
        pos = ascii;
        if (pos < raw.size()) TextCodec::AppendUtf8(out, TextCodec::NextCodePoint(raw, pos));
    }
    return out;
}

std::string TReader::ReadString() {
    TValueType tag = ReadValue();
    switch (tag) {
    case TValueType::vaString: {
        uint8_t len = ReadByte();
        uint8_t bytes[255];
        Read(bytes, len);
        return TextCodec::Utf8FromCp1252(std::span(bytes, len));
    }
    case TValueType::vaLString:
    case TValueType::vaWString:
    case TValueType::vaUTF8String:
        return ReadLengthPrefixedText(tag);
    default:
        PropValueError();
    }
}

std::string TReader::ReadIdent() {
    switch (static_cast<uint8_t>(ReadValue()) & 0x7F) {
    case 7:
        return ReadStr();
    case 0:
        return "Null";
    case 8:
        return "False";
    case 9:
        return "True";
    case 13:
        return "nil";
    default:
        PropValueError();
    }
}

long double TReader::ReadFloat() {
    if (NextValue() != TValueType::vaExtended) return ReadDouble();
    ReadValue();
    uint8_t b[10];
    Read(b, 10);
    return ExtendedToLongDouble(b);
}

double TReader::ReadDouble() {
    if (NextValue() != TValueType::vaDouble) return static_cast<double>(ReadInt64());
    ReadValue();
    uint8_t b[8];
    Read(b, 8);
    return LoadLE<double>(b);
}

float TReader::ReadSingle() {
    if (NextValue() != TValueType::vaSingle) return static_cast<float>(ReadInt64());
    ReadValue();
    uint8_t b[4];
    Read(b, 4);
    return LoadLE<float>(b);
}

int64_t TReader::ReadCurrency() {
    if (NextValue() != TValueType::vaCurrency) {
        int64_t v = ReadInt64();
        // Out-of-range values saturate rather than overflow.
        constexpr int64_t kLimit = INT64_MAX / 10000;
        if (v > kLimit) return INT64_MAX;
        if (v < -kLimit) return INT64_MIN;
        return v * 10000;
    }
    ReadValue();
    uint8_t b[8];
    Read(b, 8);
    return LoadLE<int64_t>(b);
}

double TReader::ReadDate() {
    if (NextValue() != TValueType::vaDate) return static_cast<double>(ReadInt64());
    ReadValue();
    uint8_t b[8];
    Read(b, 8);
    return LoadLE<double>(b);
}

void TReader::SkipSetBody() {
    for (;;) {
        uint8_t len = ReadByte();
        if (len == 0) break;
        SkipBytes(len);
    }
}

void TReader::SkipProperty() {
    SkipBytes(ReadByte());
    SkipValue();
}

void TReader::SkipValue() {
    // Lists and collections nest; count the depth so a hostile stream cannot exhaust the stack.
    static thread_local int depth = 0;
    struct DepthGuard {
        DepthGuard() {
            if (++depth > kMaxValueNesting) {
                --depth;
                throw EReadError(std::string(SConsts::SInvalidImage));
            }
        }
        ~DepthGuard() { --depth; }
    } guard;

    uint8_t b[4];
    switch (static_cast<uint8_t>(ReadValue()) & 0x7F) {
    case 1:
        while (!EndOfList())
            SkipValue();
        ReadValue();
        break;
    case 2:
        SkipBytes(1);
        break;
    case 3:
        SkipBytes(2);
        break;
    case 4:
    case 15:
        SkipBytes(4);
        break;
    case 5:
        SkipBytes(10);
        break;
    case 6:
    case 7:
        SkipBytes(ReadByte());
        break;
    case 10:
    case 12:
    case 20:
        Read(b, 4);
        SkipBytes(LoadLE<uint32_t>(b));
        break;
    case 18:
        Read(b, 4);
        SkipBytes(uint64_t{LoadLE<uint32_t>(b)} * 2);
        break;
    case 11:
        SkipSetBody();
        break;
    case 14:
        while (!EndOfList()) {
            TValueType next = NextValue();
            if (next == TValueType::vaInt8 || next == TValueType::vaInt16 || next == TValueType::vaInt32)
                SkipValue();
            SkipBytes(1);
            while (!EndOfList())
                SkipProperty();
            ReadValue();
        }
        ReadValue();
        break;
    case 16:
    case 17:
    case 19:
    case 21:
        SkipBytes(8);
        break;
    default: // 0, 8, 9, 13 and tags beyond the table carry no payload
        break;
    }
}

void TReader::ReadCollection(TCollection& collection) {
    collection.BeginUpdate();
    struct EndGuard {
        TCollection& c;
        ~EndGuard() { c.EndUpdate(); }
    } guard{collection};
    if (!EndOfList()) collection.Clear();
    while (!EndOfList()) {
        TValueType next = NextValue();
        if (next == TValueType::vaInt8 || next == TValueType::vaInt16 || next == TValueType::vaInt32)
            ReadInteger();
        TCollectionItem* item = collection.Add();
        ReadListBegin();
        while (!EndOfList())
            ReadProperty(item);
        ReadListEnd();
    }
    ReadListEnd();
}
