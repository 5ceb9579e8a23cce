// Page 31: a grey-level profile. A near-infrared image across the whole valley with one row marked
// from A to B; the grey levels along that row, over the cover each pixel lies on; and the histogram of
// the row's levels, each cover in its own colour, where the covers fall into rough ranges of tone
// that overlap at their edges.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Sensors.h"

#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kImageWidth = 861, kImageHeight = 230, kRow = 115;
constexpr double kPixel = kWorldSize / kImageWidth;
constexpr double kRowY = 6150; // the profile's northing: it crosses hills, river, fields and town

// The covers the profile tells apart.
struct Cover {
    const char* Name;
    QColor Colour;
};
const Cover kCovers[] = {
    {"Agua", QColor(40, 90, 220)},
    {"Bosque", QColor(20, 120, 40)},
    {"Cultivos y pasturas", QColor(150, 200, 60)},
    {"Suelo desnudo y arena", QColor(200, 150, 80)},
    {"Roca", QColor(140, 140, 140)},
    {"Ciudad", QColor(210, 40, 40)},
};

int CoverOf(Material m) {
    switch (m) {
    case Material::ClearWater:
    case Material::TurbidWater:
        return 0;
    case Material::Conifer:
    case Material::Broadleaf:
        return 1;
    case Material::CropGreen:
    case Material::CropMature:
    case Material::Pasture:
    case Material::UrbanGrass:
        return 2;
    case Material::SoilDry:
    case Material::SoilPloughed:
    case Material::Sand:
        return 3;
    case Material::Rock:
        return 4;
    default:
        return 5;
    }
}

constexpr double kLeft = 11, kTop = 32; // the image's top-left corner

// The image and the profile row.
void ImageAndRow(QPainter& p, const QImage& band) {
    p.drawImage(QPointF(kLeft, kTop), band);
    const double rowY = kTop + kRow + 0.5;
    p.setPen(QPen(QColor(255, 220, 0), 1.5));
    p.drawLine(QPointF(kLeft, rowY), QPointF(kLeft + kImageWidth, rowY));
    p.setFont(SansFont(15, true));
    for (auto [x, name] : {std::pair{kLeft + 12.0, "A"}, std::pair{kLeft + kImageWidth - 12.0, "B"}}) {
        QRectF tag(x - 10, rowY - 30, 20, 20);
        p.fillRect(tag, QColor(255, 220, 0));
        p.setPen(Qt::black);
        DrawText(p, tag.center(), QString::fromLatin1(name), Qt::AlignCenter);
    }
    p.setFont(SansFont(12));
    p.fillRect(QRectF(kLeft + 4, kTop + kImageHeight - 22, 404, 18), QColor(255, 255, 255, 220));
    p.setPen(Qt::black);
    DrawText(p, {kLeft + 8, kTop + kImageHeight - 13},
             QString::fromUtf8("Banda del infrarrojo cercano (0,76–0,90 µm), píxeles de 14 m"),
             Qt::AlignLeft | Qt::AlignVCenter);
}

// The profile: grey level against column, over bands coloured by cover. Returns the plot's box.
QRectF Profile(QPainter& p, const std::vector<int>& levels, const std::vector<int>& cover) {
    const QRectF plot(kLeft, kTop + kImageHeight + 30, kImageWidth, 180);
    for (int x = 0; x < kImageWidth; ++x) {
        QColor pale = kCovers[cover[size_t(x)]].Colour;
        pale.setAlpha(70);
        p.fillRect(QRectF(plot.left() + x, plot.top(), 1, plot.height()), pale);
    }
    QPainterPath path;
    for (int x = 0; x < kImageWidth; ++x) {
        QPointF pt(plot.left() + x + 0.5, plot.bottom() - levels[size_t(x)] / 255.0 * plot.height());
        x ? path.lineTo(pt) : path.moveTo(pt);
    }
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(QPen(QColor(100, 100, 100), 1));
    p.drawRect(plot);
    p.setFont(SansFont(12));
    p.setPen(Qt::black);
    DrawText(p, {plot.left() + 4, plot.top() - 3},
             QString::fromUtf8("Nivel de gris a lo largo de A–B (0 a 255)"), Qt::AlignLeft | Qt::AlignBottom);
    DrawText(p, {plot.left(), plot.bottom() + 3}, "A", Qt::AlignLeft | Qt::AlignTop);
    DrawText(p, {plot.right(), plot.bottom() + 3}, "B", Qt::AlignRight | Qt::AlignTop);
    DrawText(p, {plot.center().x(), plot.bottom() + 3}, QString::fromUtf8("eje X: 12 km, 861 píxeles"),
             Qt::AlignHCenter | Qt::AlignTop);
    return plot;
}

// The histogram of the row's levels, stacked by cover, in bins of 8 levels. Returns its box.
QRectF ProfileHistogram(QPainter& p, const std::vector<int>& levels, const std::vector<int>& cover,
                        const QRectF& plot) {
    constexpr int kBin = 8, kBins = 256 / kBin;
    std::vector<std::array<int, 6>> bins(kBins, std::array<int, 6>{});
    for (int x = 0; x < kImageWidth; ++x)
        ++bins[size_t(levels[size_t(x)] / kBin)][size_t(cover[size_t(x)])];
    int peak = 1;
    for (const auto& b : bins) {
        int total = 0;
        for (int c : b)
            total += c;
        peak = std::max(peak, total);
    }
    const QRectF hist(kLeft + 30, plot.bottom() + 50, 560, 140);
    p.setPen(Qt::black);
    DrawText(p, {hist.left(), hist.top() - 4},
             QString::fromUtf8("Histograma del perfil (píxeles por intervalo de 8 niveles)"),
             Qt::AlignLeft | Qt::AlignBottom);
    const double bw = hist.width() / kBins;
    for (int i = 0; i < kBins; ++i) {
        double y = hist.bottom();
        for (int c = 0; c < 6; ++c) {
            const double h = bins[size_t(i)][size_t(c)] * hist.height() / peak;
            if (h <= 0) continue;
            p.fillRect(QRectF(hist.left() + i * bw + 1, y - h, bw - 2, h), kCovers[c].Colour);
            y -= h;
        }
    }
    p.setPen(QPen(QColor(100, 100, 100), 1));
    p.drawLine(hist.bottomLeft(), hist.bottomRight());
    p.setPen(Qt::black);
    for (int g : {0, 64, 128, 192, 255})
        DrawText(p, {hist.left() + g / 256.0 * hist.width(), hist.bottom() + 2}, QString::number(g),
                 Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {hist.left() - 6, hist.bottom()}, "0", Qt::AlignRight | Qt::AlignVCenter);
    DrawText(p, {hist.left() - 6, hist.top()}, QString::number(peak), Qt::AlignRight | Qt::AlignVCenter);
    return hist;
}

// Legend: each cover with the range of levels that holds the middle 90 % of its pixels.
void CoverLegend(QPainter& p, const std::vector<int>& levels, const std::vector<int>& cover,
                 const QRectF& hist) {
    double ly = hist.top() - 4;
    p.setFont(SansFont(13));
    for (int c = 0; c < 6; ++c) {
        std::vector<int> own;
        for (int x = 0; x < kImageWidth; ++x)
            if (cover[size_t(x)] == c) own.push_back(levels[size_t(x)]);
        if (own.empty()) continue;
        std::sort(own.begin(), own.end());
        const int lo = own[own.size() / 20], hi = own[own.size() - 1 - own.size() / 20];
        p.fillRect(QRectF(hist.right() + 30, ly + 3, 16, 14), kCovers[c].Colour);
        p.setPen(Qt::black);
        DrawText(p, {hist.right() + 54, ly + 10},
                 QString::fromUtf8("%1: %2 a %3").arg(QString::fromUtf8(kCovers[c].Name)).arg(lo).arg(hi),
                 Qt::AlignLeft | Qt::AlignVCenter);
        ly += 24;
    }
    p.setFont(SansFont(12));
    p.setPen(QColor(60, 60, 60));
    DrawTextBox(p, QRectF(hist.right() + 30, ly + 4, 240, 40),
                QString::fromUtf8("(niveles que reúnen el 90 % de los píxeles de cada cobertura)"),
                Qt::AlignLeft | Qt::AlignTop);
}

QImage ProfileFigure() {
    const View view{0, kRowY - (kRow + 0.5) * kPixel, kWorldSize, 0, kImageWidth, kImageHeight};
    const QImage band = Stretched(RenderBand(view, Bands::Tm4), 0.005, 0.995);
    const std::vector<int> levels = RowProfile(band, kRow, 0, kImageWidth - 1);
    // The cover under the centre of each pixel of the row.
    const Landscape land;
    std::vector<int> cover;
    for (int x = 0; x < kImageWidth; ++x)
        cover.push_back(CoverOf(land.At((x + 0.5) * kPixel, kRowY, kPixel).Kind));

    QImage image = Canvas(883, 706);
    QPainter p;
    BeginPainting(p, image);
    p.setPen(QColor(0, 0, 130));
    p.setFont(SansFont(18, true));
    DrawText(p, {441, 4}, QString::fromUtf8("Perfil de niveles de gris a lo largo del eje X"),
             Qt::AlignHCenter | Qt::AlignTop);
    ImageAndRow(p, band);
    const QRectF plot = Profile(p, levels, cover);
    CoverLegend(p, levels, cover, ProfileHistogram(p, levels, cover, plot));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page31() {
    return {
        {"p31-perfil-niveles-gris.bmp", [] { return EncodeBitmap24(ProfileFigure()); }},
    };
}
