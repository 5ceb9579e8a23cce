// Finding the font files of the faces a site uses: through the font configuration, and among the files
// the program loads itself.
#include "tools/WebFonts.h"

#include "platform/qt/FontSubstitution.h"

#include <QRawFont>
#include <QString>

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <optional>

namespace fs = std::filesystem;

namespace {

bool SameFamily(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// A file of the family in the weight and slant asked for, in a format browsers read (TrueType or CFF),
// from the font configuration.
std::optional<fs::path> IndexedFile(const TWebFace& face) {
    std::unique_ptr<FcPattern, void (*)(FcPattern*)> pattern(FcPatternCreate(), FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(face.Family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(face.Weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, face.Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    std::unique_ptr<FcFontSet, void (*)(FcFontSet*)> sorted(
        FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result), FcFontSetDestroy);
    if (!sorted) return std::nullopt;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcChar8 *family = nullptr, *format = nullptr, *file = nullptr;
        int weight = 0, slant = 0;
        if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(font, FC_FONTFORMAT, 0, &format) != FcResultMatch ||
            FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
            FcPatternGetInteger(font, FC_WEIGHT, 0, &weight) != FcResultMatch ||
            FcPatternGetInteger(font, FC_SLANT, 0, &slant) != FcResultMatch)
            continue;
        // The best match of another family means the family is not there.
        if (!SameFamily(reinterpret_cast<const char*>(family), face.Family)) return std::nullopt;
        if ((weight >= FC_WEIGHT_DEMIBOLD) != (face.Weight >= 600) ||
            (slant != FC_SLANT_ROMAN) != face.Italic)
            continue;
        const std::string kind = reinterpret_cast<const char*>(format);
        if (kind == "TrueType" || kind == "CFF") return fs::path(reinterpret_cast<const char*>(file));
    }
    return std::nullopt;
}

// A file the program loads itself, of that family, weight and slant.
std::optional<fs::path> UnindexedFile(const TWebFace& face) {
    for (const char* path : UnindexedFontFiles()) {
        QRawFont raw(QString::fromLatin1(path), 12);
        if (!raw.isValid() || !SameFamily(raw.familyName().toStdString(), face.Family)) continue;
        if ((raw.weight() >= 600) == (face.Weight >= 600) &&
            (raw.style() != QFont::StyleNormal) == face.Italic)
            return fs::path(path);
    }
    return std::nullopt;
}

} // namespace

std::string EmbedFonts(const std::set<TWebFace>& faces, const fs::path& dir, uintmax_t& bytes) {
    std::string css;
    std::map<fs::path, std::string> copied; // source file to its name in the site
    for (const TWebFace& face : faces) {
        if (face.Family.find_first_of("'\\") != std::string::npos) continue;
        std::optional<fs::path> file = UnindexedFile(face);
        if (!file) file = IndexedFile(face);
        if (!file) continue;
        auto [at, added] = copied.emplace(*file, "fonts/" + file->filename().string());
        if (added) {
            std::error_code ec;
            fs::create_directories(dir / "fonts", ec);
            if (!fs::copy_file(*file, dir / at->second, fs::copy_options::overwrite_existing, ec)) {
                copied.erase(at);
                continue;
            }
            bytes += fs::file_size(dir / at->second, ec);
        }
        css += "@font-face { font-family: '" + face.Family + "'; src: url(" + at->second +
               "); font-weight: " + std::to_string(face.Weight) +
               "; font-style: " + (face.Italic ? "italic" : "normal") + "; }\n";
    }
    return css;
}
