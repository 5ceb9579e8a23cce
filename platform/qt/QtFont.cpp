// Realising a logical-font record as a QFont.
#include "platform/qt/QtFont.h"

#include "platform/qt/FontSubstitution.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace {

constexpr uint8_t SYMBOL_CHARSET = 2;
constexpr uint8_t NONANTIALIASED_QUALITY = 3;
constexpr uint8_t ANTIALIASED_QUALITY = 4;
constexpr uint8_t CLEARTYPE_NATURAL_QUALITY = 6;
// The size the platform picks for a record that leaves the height open (12 points at 96 dpi).
constexpr int kDefaultPixelSize = 16;

QString FaceName(const TLogFont& lf) {
    size_t n = 0;
    while (n < std::size(lf.FaceName) && lf.FaceName[n])
        ++n;
    return QString::fromUtf16(lf.FaceName, static_cast<qsizetype>(n));
}

// The family to draw a record's face with, and what that family needs besides.
struct TResolvedFace {
    QString Family;
    bool Bold = false;
    int Stretch = 100;
    bool SmallCaps = false;
};

TResolvedFace Resolved(const TFaceSubstitute& s) {
    return {QString::fromLatin1(s.Family), s.Bold, s.Stretch, s.SmallCaps};
}

TResolvedFace ResolveFace(const TLogFont& lf) {
    // A symbol font is asked for by its character set, whatever the face: the mapper would find no
    // other face with that set.
    if (lf.CharSet == SYMBOL_CHARSET) return Resolved(SymbolFaceSubstitute());
    QString face = FaceName(lf);
    if (const TFaceSubstitute* s = FindFaceSubstitute(face)) return Resolved(*s);
    if (!face.isEmpty() && QFontDatabase::hasFamily(face)) return {face};
    return Resolved(DefaultFaceSubstitute());
}

// A positive height is the cell height (ascent plus descent): find the pixel size whose line is that
// high, starting from the ratio of the two at the requested size.
int PixelSizeForCellHeight(QFont font, int cellHeight) {
    font.setPixelSize(cellHeight);
    qreal line = QFontMetricsF(font).ascent() + QFontMetricsF(font).descent();
    int size =
        line > 0 ? std::max(1, static_cast<int>(std::lround(cellHeight * cellHeight / line))) : cellHeight;
    font.setPixelSize(size);
    while (size > 1 && QFontMetrics(font).height() > cellHeight)
        font.setPixelSize(--size);
    for (int limit = 4 * cellHeight; size < limit; ++size) {
        font.setPixelSize(size + 1);
        if (QFontMetrics(font).height() > cellHeight) break;
    }
    return size;
}

} // namespace

QtFont::QtFont(const TLogFont& lf) : FLogFont(lf) {}

void QtFont::Resolve() const {
    EnsureFontSubstitutions();
    FResolved = true;
    const TLogFont& lf = FLogFont;
    TResolvedFace face = ResolveFace(lf);
    FFont.setFamily(face.Family);
    int weight = std::clamp(lf.Weight == 0 ? 400 : lf.Weight, 1, 1000);
    if (face.Bold) weight = std::max(weight, 700);
    FFont.setWeight(static_cast<QFont::Weight>(weight));
    FFont.setItalic(lf.Italic);
    FFont.setUnderline(lf.Underline);
    FFont.setStrikeOut(lf.StrikeOut);
    if (face.Stretch != 100) FFont.setStretch(face.Stretch);
    if (face.SmallCaps) FFont.setCapitalization(QFont::SmallCaps);
    if ((lf.PitchAndFamily & 3) == FIXED_PITCH) {
        FFont.setFixedPitch(true);
        FFont.setStyleHint(QFont::TypeWriter);
    }
    // The platform's text output does not kern; neither do we, so that measured widths agree.
    FFont.setKerning(false);
    if (lf.Quality == NONANTIALIASED_QUALITY)
        FFont.setStyleStrategy(QFont::NoAntialias);
    else if (lf.Quality >= ANTIALIASED_QUALITY && lf.Quality <= CLEARTYPE_NATURAL_QUALITY)
        FFont.setStyleStrategy(QFont::PreferAntialias);

    if (lf.Height < 0)
        FFont.setPixelSize(-lf.Height);
    else if (lf.Height > 0)
        FFont.setPixelSize(PixelSizeForCellHeight(FFont, lf.Height));
    else
        FFont.setPixelSize(kDefaultPixelSize);
}
