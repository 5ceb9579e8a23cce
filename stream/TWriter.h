// The stream writer: the reader's inverse, used by the authoring tools and the tests. It writes every
// tag, and picks the narrowest integer form and the text form by one rule: ASCII text as vaString up to
// 255 bytes and vaLString beyond; other text as vaUTF8String when that is shorter than twice its UTF-16
// length, else vaWString.
#pragma once

#include "stream/TFiler.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TWriter {
public:
    TWriter() = default;

    const std::vector<uint8_t>& Bytes() const { return FBytes; }
    std::vector<uint8_t> TakeBytes() { return std::move(FBytes); }

    void WriteSignature();
    void WritePrefix(TFilerFlags flags, int childPos);
    // Starts a component record: optional prefix, class name, component name.
    void WriteComponentHeader(std::string_view className, std::string_view name, TFilerFlags flags = 0,
                              int childPos = 0);
    // An untagged short string (names); at most 255 bytes.
    void WriteStr(std::string_view utf8);
    void WritePropName(std::string_view path) { WriteStr(path); }
    void WriteValue(TValueType tag);
    void WriteListBegin() { WriteValue(TValueType::vaList); }
    void WriteListEnd() { WriteValue(TValueType::vaNull); }

    // Integers in the narrowest form; values beyond 32 bits as vaInt64.
    void WriteInteger(int64_t value);
    // An integer in a given form (vaInt8, vaInt16, vaInt32 or vaInt64), for streams that use a wider one.
    void WriteIntegerAs(TValueType tag, int64_t value);
    void WriteBoolean(bool value) { WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }
    // Text in the form the rule picks.
    void WriteString(std::string_view utf8);
    // Text in a given form (vaString, vaLString, vaWString, vaUTF8String). 8-bit forms encode with the
    // Windows-1252 code page; the text must be representable there.
    void WriteStringAs(TValueType tag, std::string_view utf8);
    static TValueType StringFormFor(std::string_view utf8);
    void WriteIdent(std::string_view ident);
    void WriteSet(std::initializer_list<std::string_view> names);
    void WriteSet(std::span<const std::string> names);
    void WriteBinary(std::span<const uint8_t> bytes);
    void WriteCollectionBegin() { WriteValue(TValueType::vaCollection); }
    void WriteExtended(long double value);
    void WriteExtendedBytes(const uint8_t bytes[10]);
    void WriteSingle(float value);
    void WriteDouble(double value);
    void WriteDate(double value);
    // Currency in its fixed-point form (the value times 10000).
    void WriteCurrency(int64_t scaled);
    void WriteRaw(std::span<const uint8_t> bytes) { FBytes.insert(FBytes.end(), bytes.begin(), bytes.end()); }

private:
    void WriteLE(uint64_t value, int size);
    std::vector<uint8_t> FBytes;
};
