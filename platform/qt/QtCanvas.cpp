// Drawing and measuring text by the platform's rules on a QPainter.
#include "platform/qt/QtCanvas.h"

#include "platform/SymbolEncoding.h"
#include "platform/TextLayout.h"
#include "platform/qt/QtFont.h"

#include <QFontMetrics>
#include <algorithm>

namespace {

constexpr uint8_t SYMBOL_CHARSET = 2;

QRect ToQRect(const TRect& r) {
    // An inverted rectangle is an empty one, as the platform treats it.
    if (r.Right <= r.Left || r.Bottom <= r.Top) return QRect(r.Left, r.Top, 0, 0);
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

QColor ToQColor(uint32_t color) {
    return QColor(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
}

} // namespace

QtCanvas::QtCanvas(QPainter* painter) : FPainter(painter) {}

QtCanvas::QtCanvas(std::unique_ptr<QImage> image)
    : FOwnedImage(std::move(image)), FOwnedPainter(std::make_unique<QPainter>(FOwnedImage.get())),
      FPainter(FOwnedPainter.get()) {}

QtCanvas::~QtCanvas() = default;

std::unique_ptr<QtCanvas> QtCanvas::CreateMeasuring() {
    auto image = std::make_unique<QImage>(16, 16, QImage::Format_ARGB32_Premultiplied);
    image->fill(Qt::transparent);
    return std::unique_ptr<QtCanvas>(new QtCanvas(std::move(image)));
}

void QtCanvas::FillRect(const TRect& rect, uint32_t color) {
    FPainter->fillRect(ToQRect(rect), ToQColor(color));
}

void QtCanvas::SelectFont(const IPlatformFont* font) {
    FFont = dynamic_cast<const QtFont*>(font);
    if (FFont) FPainter->setFont(FFont->Font());
}

void QtCanvas::SetTextColor(uint32_t color) {
    FTextColor = ToQColor(color);
}

QString QtCanvas::Shown(const std::string& text) const {
    QString s = QString::fromStdString(text);
    if (!FFont || FFont->CharSet() != SYMBOL_CHARSET) return s;
    return QString::fromStdU16String(SymbolTextToUnicode(s.toStdU16String()));
}

int QtCanvas::DrawText(const std::string& text, TRect& rect, unsigned format) {
    QFontMetrics fm = FPainter->fontMetrics();
    TTextMetrics metrics{[&fm](std::u16string_view s) {
                             return fm.horizontalAdvance(
                                 QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())));
                         },
                         8 * fm.averageCharWidth()};
    std::vector<TTextLine> lines = LayoutText(Shown(text).toStdU16String(), format, rect.Width(), metrics);
    int lineHeight = fm.height();
    int height = static_cast<int>(lines.size()) * lineHeight;
    bool singleLine = format & DT_SINGLELINE;

    if (format & DT_CALCRECT) {
        int widest = 0;
        for (const TTextLine& line : lines)
            widest = std::max(widest, line.Width);
        // Wrapped text keeps the given width unless a word that cannot be broken is wider.
        bool wraps = (format & DT_WORDBREAK) && !singleLine;
        rect.Right = rect.Left + (wraps ? std::max(rect.Width(), widest) : widest);
        rect.Bottom = rect.Top + height;
        return height;
    }

    int top = rect.Top;
    if (singleLine && (format & DT_VCENTER))
        top = rect.Top + (rect.Height() - lineHeight) / 2;
    else if (singleLine && (format & DT_BOTTOM))
        top = rect.Bottom - lineHeight;

    FPainter->save();
    if (!(format & DT_NOCLIP)) FPainter->setClipRect(ToQRect(rect), Qt::IntersectClip);
    int left = rect.Left, right = rect.Right, y = top;
    if (FFont && FFont->Escapement() != 0) {
        // Rotated text turns about the top left of its first line.
        FPainter->translate(rect.Left, top);
        FPainter->rotate(-FFont->Escapement() / 10.0);
        right -= left;
        left = y = 0;
    }
    FPainter->setPen(FTextColor);
    int underlineY = fm.ascent() + fm.underlinePos();
    int underlineHeight = std::max(1, fm.lineWidth());
    for (const TTextLine& line : lines) {
        int x = left;
        if (format & DT_CENTER)
            x = (left + right - line.Width) / 2;
        else if (format & DT_RIGHT)
            x = right - line.Width;
        for (const TTextRun& run : line.Runs)
            FPainter->drawText(QPoint(x + run.X, y + fm.ascent()), QString::fromStdU16String(run.Text));
        for (const TTextMark& mark : line.Marks)
            FPainter->fillRect(QRect(x + mark.X, y + underlineY, mark.Width, underlineHeight), FTextColor);
        y += lineHeight;
    }
    FPainter->restore();
    return top - rect.Top + height;
}

TSize QtCanvas::TextExtent(const std::string& text) {
    QFontMetrics fm = FPainter->fontMetrics();
    return {fm.horizontalAdvance(Shown(text)), fm.height()};
}

int QtCanvas::TextHeight() {
    return FPainter->fontMetrics().height();
}

void QtCanvas::Save() {
    FSaved.push_back({FFont, FTextColor});
    FPainter->save();
}

void QtCanvas::Restore() {
    if (FSaved.empty()) return;
    FPainter->restore();
    FFont = FSaved.back().Font;
    FTextColor = FSaved.back().TextColor;
    FSaved.pop_back();
}

void QtCanvas::Translate(int dx, int dy) {
    FPainter->translate(dx, dy);
}

void QtCanvas::IntersectClip(const TRect& rect) {
    FPainter->setClipRect(ToQRect(rect), Qt::IntersectClip);
}

void QtCanvas::ExcludeClip(const TRect& rect) {
    QRegion current = FPainter->clipRegion();
    if (!FPainter->hasClipping()) {
        // No clip yet: everything on the device, in the painter's coordinates.
        QPaintDevice* device = FPainter->device();
        QRect all(0, 0, device->width(), device->height());
        current = QRegion(FPainter->combinedTransform().inverted().mapRect(all));
    }
    FPainter->setClipRegion(current.subtracted(QRegion(ToQRect(rect))), Qt::ReplaceClip);
}

bool QtCanvas::ClipIsEmpty() const {
    return FPainter->hasClipping() && FPainter->clipRegion().isEmpty();
}

void QtCanvas::StretchDrawPixels(const TRect& dest, int width, int height, const uint32_t* pixels,
                                 bool alpha) {
    if (width <= 0 || height <= 0 || dest.IsEmpty() || !pixels) return;
    // The pixels are wrapped, not copied; nearest-neighbour scaling drops or repeats rows and columns.
    QImage image(reinterpret_cast<const uchar*>(pixels), width, height, width * 4,
                 alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    FPainter->save();
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), image);
    FPainter->restore();
}

void QtCanvas::StretchDrawRows(const TRect& dest, const TPixelRows& rows) {
    if (rows.Width <= 0 || rows.Height <= 0 || dest.IsEmpty() || !rows.Bits) return;
    // The stored rows are wrapped, not copied: Qt reads each pixel it needs in the picture's own format.
    QImage image(rows.Bits, rows.Width, rows.Height, rows.Stride,
                 rows.Layout == TPixelRows::BGR24 ? QImage::Format_BGR888 : QImage::Format_Indexed8);
    if (rows.Layout == TPixelRows::Indexed8) {
        QList<QRgb> table(256, qRgb(0, 0, 0));
        for (size_t i = 0; i < rows.Colors.size() && i < 256; ++i)
            table[static_cast<qsizetype>(i)] = 0xFF000000u | rows.Colors[i];
        image.setColorTable(table);
    }
    FPainter->save();
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    QRect target(dest.Left, dest.Top, dest.Width(), dest.Height());
    if (rows.BottomUp) {
        // Rows stored bottom first are drawn through a vertical mirror of the destination.
        FPainter->translate(dest.Left, dest.Bottom);
        FPainter->scale(1, -1);
        target = QRect(0, 0, dest.Width(), dest.Height());
    }
    FPainter->drawImage(target, image);
    FPainter->restore();
}
