// The text form of a component stream: a readable, diff-friendly UTF-8 notation that compiles to the
// binary stream byte for byte and that a binary stream dumps back to.
//
//   file      := component
//   component := [ "[" "flags" N [ "," "childpos" int ] "]" ] name ":" name "{" property* component* "}"
//   property  := path "=" value
//   value     := int | string | word | "ident" text | "[" [ elem { "," elem } ] "]" | "(" value* ")"
//              | "collection" "(" { "item" [ int ] "{" property* "}" } ")"
//              | ("single" | "double" | "date" | "extended") ( number | "hex" text )
//              | "currency" decimal | "binary" ( "hex" text | "file" text )
//   int       := [ "int8" | "int16" | "int32" | "int64" ] decimal
//   string    := [ "string" | "lstring" | "wstring" | "utf8" ] text
//   text      := quoted { "+" quoted }
//
// A bare word value is True, False, nil or Null (the tag-only values; Null never inside a list) or else
// an identifier. Names, paths and set elements are bare words or quoted. Quoted texts take the escapes \\ \"
// \n \r \t, \u{HEX} (a code point) and \x{HEX} (a raw byte, for names and utf8 texts that are not valid
// UTF-8). Form words appear only where the stored form is not the one the writer would pick. "hex" floats
// give the stored bytes in stream order. '#' starts a comment that runs to the end of the line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Compiles a text form to a binary stream. Binary files are looked up relative to baseDir. Throws
// Exception with "line:column: message" on any error.
std::vector<uint8_t> CompileTextForm(std::string_view source, const std::filesystem::path& baseDir);

// Dumps a binary stream as its text form. Throws Exception on a malformed or truncated stream.
std::string DumpTextForm(std::span<const uint8_t> stream);
