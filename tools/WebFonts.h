// The font files a web site needs to show its texts in the faces the program draws them with: a browser
// may not find them by name (it passes over the PostScript Type 1 files that the font configuration
// lists first for some families, and never sees faces loaded from outside it).
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>

struct TWebFace {
    std::string Family;
    int Weight = 400; // CSS weight
    bool Italic = false;
    auto operator<=>(const TWebFace&) const = default;
};

// Copies the file of each face into DIR/fonts/ and returns the CSS @font-face rules that name them,
// adding the files' sizes to bytes. A face whose file is not found is left to the browser's own search.
std::string EmbedFonts(const std::set<TWebFace>& faces, const std::filesystem::path& dir, uintmax_t& bytes);
