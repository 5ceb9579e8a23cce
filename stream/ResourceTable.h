// The program's resources: named blocks of bytes looked up by type and name without regard to case.
// The executable registers what it embeds; tools register the definition they were given.
#pragma once

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
void Unregister(int type, std::string_view name);
std::optional<std::span<const uint8_t>> Find(int type, std::string_view name);
} // namespace Resources
