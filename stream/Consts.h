// Message templates of the stream and loading layer, in one place so tests can assert the exact text.
#pragma once

#include <string>
#include <string_view>

namespace SConsts {
inline constexpr std::string_view SInvalidImage = "Invalid stream format";
inline constexpr std::string_view SReadError = "Stream read error";
inline constexpr std::string_view SInvalidPropertyValue = "Invalid property value";
inline constexpr std::string_view SInvalidPropertyPath = "Invalid property path";
inline constexpr std::string_view SUnknownProperty = "Property %s does not exist";
inline constexpr std::string_view SReadOnlyProperty = "Property is read-only";
inline constexpr std::string_view SPropertyException = "Error reading %s%s%s: %s";
inline constexpr std::string_view SClassNotFound = "Class %s not found";
inline constexpr std::string_view SInvalidName = "''%s'' is not a valid component name";
inline constexpr std::string_view SDuplicateName = "A component named %s already exists";
inline constexpr std::string_view SResNotFound = "Resource %s not found";
inline constexpr std::string_view SListIndexError = "List index out of bounds (%d)";
inline constexpr std::string_view SOutOfResources = "Out of system resources";
} // namespace SConsts

// Fills a template's %s and %d placeholders in order with the given texts.
std::string Format(std::string_view pattern, std::initializer_list<std::string_view> args);
