// Stream writing.
#include "stream/TWriter.h"

#include "stream/Exceptions.h"
#include "stream/TextCodec.h"

#include <cmath>
#include <cstring>

void TWriter::WriteLE(uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        FBytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void TWriter::WriteSignature() {
    WriteRaw(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>("TPF0"), 4));
}

void TWriter::WritePrefix(TFilerFlags flags, int childPos) {
    if (flags == 0) return;
    FBytes.push_back(static_cast<uint8_t>(0xF0 | (flags & 0x0F)));
    if (flags & ffChildPos) WriteInteger(childPos);
}

void TWriter::WriteComponentHeader(std::string_view className, std::string_view name, TFilerFlags flags,
                                   int childPos) {
    // Without a prefix the reader takes a first byte of F0 or more for one, and 00 for the end of a list.
    if (flags == 0 && (className.empty() || className.size() >= 0xF0))
        throw EStreamError("Class name cannot be stored without a prefix: \"" +
                           std::string(className.substr(0, 40)) + "\"");
    WritePrefix(flags, childPos);
    WriteStr(className);
    WriteStr(name);
}

void TWriter::WriteStr(std::string_view utf8) {
    if (utf8.size() > 255)
        throw EStreamError("Name too long for a short string: " + std::string(utf8.substr(0, 40)));
    FBytes.push_back(static_cast<uint8_t>(utf8.size()));
    WriteRaw(std::span(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size()));
}

void TWriter::WriteValue(TValueType tag) {
    FBytes.push_back(static_cast<uint8_t>(tag));
}

void TWriter::WriteInteger(int64_t value) {
    if (value >= INT8_MIN && value <= INT8_MAX)
        WriteIntegerAs(TValueType::vaInt8, value);
    else if (value >= INT16_MIN && value <= INT16_MAX)
        WriteIntegerAs(TValueType::vaInt16, value);
    else if (value >= INT32_MIN && value <= INT32_MAX)
        WriteIntegerAs(TValueType::vaInt32, value);
    else
        WriteIntegerAs(TValueType::vaInt64, value);
}

void TWriter::WriteIntegerAs(TValueType tag, int64_t value) {
    WriteValue(tag);
    switch (tag) {
    case TValueType::vaInt8:
        WriteLE(static_cast<uint64_t>(value), 1);
        break;
    case TValueType::vaInt16:
        WriteLE(static_cast<uint64_t>(value), 2);
        break;
    case TValueType::vaInt32:
        WriteLE(static_cast<uint64_t>(value), 4);
        break;
    case TValueType::vaInt64:
        WriteLE(static_cast<uint64_t>(value), 8);
        break;
    default:
        throw EStreamError("Not an integer form");
    }
}

TValueType TWriter::StringFormFor(std::string_view utf8) {
    // The empty text falls to the last form: its UTF-8 length is not shorter than twice nothing.
    if (utf8.empty()) return TValueType::vaWString;
    if (TextCodec::IsAscii(utf8)) return utf8.size() <= 255 ? TValueType::vaString : TValueType::vaLString;
    return utf8.size() < 2 * TextCodec::Utf16Length(utf8) ? TValueType::vaUTF8String : TValueType::vaWString;
}

void TWriter::WriteString(std::string_view utf8) {
    WriteStringAs(StringFormFor(utf8), utf8);
}

void TWriter::WriteStringAs(TValueType tag, std::string_view utf8) {
    switch (tag) {
    case TValueType::vaString:
    case TValueType::vaLString: {
        auto bytes = TextCodec::Cp1252FromUtf8(utf8);
        if (!bytes) throw EStreamError("Text has characters outside the 8-bit code page");
        if (tag == TValueType::vaString && bytes->size() > 255)
            throw EStreamError("Text too long for vaString");
        WriteValue(tag);
        if (tag == TValueType::vaString)
            FBytes.push_back(static_cast<uint8_t>(bytes->size()));
        else
            WriteLE(bytes->size(), 4);
        WriteRaw(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
        break;
    }
    case TValueType::vaUTF8String:
        WriteValue(tag);
        WriteLE(utf8.size(), 4);
        WriteRaw(std::span(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size()));
        break;
    case TValueType::vaWString: {
        std::u16string units = TextCodec::Utf16FromUtf8(utf8);
        WriteValue(tag);
        WriteLE(units.size(), 4);
        for (char16_t u : units)
            WriteLE(u, 2);
        break;
    }
    default:
        throw EStreamError("Not a text form");
    }
}

void TWriter::WriteIdent(std::string_view ident) {
    if (ident == "False")
        WriteValue(TValueType::vaFalse);
    else if (ident == "True")
        WriteValue(TValueType::vaTrue);
    else if (ident == "nil")
        WriteValue(TValueType::vaNil);
    else if (ident == "Null")
        WriteValue(TValueType::vaNull);
    else {
        WriteValue(TValueType::vaIdent);
        WriteStr(ident);
    }
}

void TWriter::WriteSet(std::initializer_list<std::string_view> names) {
    WriteValue(TValueType::vaSet);
    for (std::string_view n : names)
        WriteStr(n);
    WriteStr("");
}

void TWriter::WriteSet(std::span<const std::string> names) {
    WriteValue(TValueType::vaSet);
    for (const std::string& n : names)
        WriteStr(n);
    WriteStr("");
}

void TWriter::WriteBinary(std::span<const uint8_t> bytes) {
    WriteValue(TValueType::vaBinary);
    WriteLE(bytes.size(), 4);
    WriteRaw(bytes);
}

void TWriter::WriteExtended(long double value) {
    // 80-bit extended: 64-bit mantissa with explicit integer bit, 15-bit biased exponent, sign.
    uint8_t b[10] = {};
    bool negative = std::signbit(value);
    long double mag = std::fabs(value);
    uint64_t mantissa = 0;
    uint16_t exponent = 0;
    if (std::isnan(value)) {
        exponent = 0x7FFF;
        mantissa = 0xC000000000000000ull;
    } else if (std::isinf(value)) {
        exponent = 0x7FFF;
        mantissa = 0x8000000000000000ull;
    } else if (mag != 0) {
        int e;
        long double frac = std::frexp(mag, &e); // mag = frac * 2^e, frac in [0.5, 1)
        int biased = e - 1 + 16383;
        if (biased <= 0) { // denormal
            mantissa = static_cast<uint64_t>(std::ldexp(mag, 16382 + 63));
            exponent = 0;
        } else {
            mantissa = static_cast<uint64_t>(std::ldexp(frac, 64));
            exponent = static_cast<uint16_t>(biased);
        }
    }
    std::memcpy(b, &mantissa, 8);
    uint16_t se = static_cast<uint16_t>(exponent | (negative ? 0x8000 : 0));
    std::memcpy(b + 8, &se, 2);
    WriteExtendedBytes(b);
}

void TWriter::WriteExtendedBytes(const uint8_t bytes[10]) {
    WriteValue(TValueType::vaExtended);
    WriteRaw(std::span(bytes, 10));
}

void TWriter::WriteSingle(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    WriteValue(TValueType::vaSingle);
    WriteLE(bits, 4);
}

void TWriter::WriteDouble(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    WriteValue(TValueType::vaDouble);
    WriteLE(bits, 8);
}

void TWriter::WriteDate(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    WriteValue(TValueType::vaDate);
    WriteLE(bits, 8);
}

void TWriter::WriteCurrency(int64_t scaled) {
    WriteValue(TValueType::vaCurrency);
    WriteLE(static_cast<uint64_t>(scaled), 8);
}
