// The program's resources: named blocks of bytes looked up by type and name without regard to case.
// The executable registers what it embeds; tools register the definition they were given.
#pragma once

#include "stream/TStream.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace Resources {
inline constexpr int RT_ICON = 3;
inline constexpr int RT_RCDATA = 10;
inline constexpr int RT_GROUP_ICON = 14;

// The bytes must outlive the registration (embedded data, or a buffer the caller keeps).
void Register(int type, std::string_view name, std::span<const uint8_t> bytes);
// Lasting bytes (the executable's own data, a mapped file): what is loaded from them may keep
// referring to them after the registration ends.
void Register(int type, std::string_view name, TByteView bytes);
void Unregister(int type, std::string_view name);
std::optional<std::span<const uint8_t>> Find(int type, std::string_view name);
std::optional<TByteView> FindView(int type, std::string_view name);
} // namespace Resources
