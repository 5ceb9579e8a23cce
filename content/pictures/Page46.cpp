// Page 46: two pictures made from radar. Left, the valley's terrain model with 30 m spacing as the
// shuttle's radar interferometry delivers it, shown in height tints over a shaded relief with its
// colour scale; right, a radar image of a Venusian plain with pancake domes, lava flows, fractures and
// an impact crater, lit by the radar from the left.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Planet.h"

#include <algorithm>
#include <cmath>

namespace {

// Height tints from the valley floor to the hilltops.
QColor Tint(double t) {
    static const QColor stops[] = {QColor(40, 120, 70),  QColor(120, 170, 80), QColor(220, 210, 120),
                                   QColor(200, 140, 70), QColor(150, 90, 60),  QColor(245, 240, 235)};
    t = std::clamp(t, 0.0, 1.0) * 5;
    int i = std::min(4, int(t));
    double f = t - i;
    const QColor &a = stops[i], &b = stops[i + 1];
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * f),
                            float(a.greenF() + (b.greenF() - a.greenF()) * f),
                            float(a.blueF() + (b.blueF() - a.blueF()) * f));
}

QImage TerrainModel() {
    const int w = 684, h = 449;
    const double post = 30, pixel = kWorldSize / w, y0 = 2400;
    // The model: one height every 30 m, water surfaces as the radar sees them (flat, no return).
    const Landscape land;
    const int nx = int(kWorldSize / post) + 1, ny = int(h * pixel / post) + 3;
    std::vector<double> z(size_t(nx) * size_t(ny));
    std::vector<uint8_t> water(size_t(nx) * size_t(ny));
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            double x = std::min(i * post, kWorldSize - 1), y = y0 + (j - 1) * post;
            z[size_t(j) * size_t(nx) + size_t(i)] = land.Elevation(x, y);
            Material m = land.At(x, y, post).Kind;
            water[size_t(j) * size_t(nx) + size_t(i)] =
                m == Material::ClearWater || m == Material::TurbidWater;
        }
    auto Z = [&](int i, int j) {
        return z[size_t(std::clamp(j, 0, ny - 1)) * size_t(nx) + size_t(std::clamp(i, 0, nx - 1))];
    };
    auto [lo, hi] = std::minmax_element(z.begin(), z.end());
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            // Bilinear between the posts, as a viewer shows a model coarser than the screen.
            double gx = (x + 0.5) * pixel / post, gy = (y + 0.5) * pixel / post + 1;
            int i = int(gx), j = int(gy);
            double fx = gx - i, fy = gy - j;
            auto lerp = [&](auto f) {
                return (f(i, j) * (1 - fx) + f(i + 1, j) * fx) * (1 - fy) +
                       (f(i, j + 1) * (1 - fx) + f(i + 1, j + 1) * fx) * fy;
            };
            double height = lerp(Z);
            // Shading from the north-west, from the slopes between posts.
            double dzdx = lerp([&](int a, int b) { return (Z(a + 1, b) - Z(a - 1, b)) / (2 * post); });
            double dzdy = lerp([&](int a, int b) { return (Z(a, b + 1) - Z(a, b - 1)) / (2 * post); });
            double n = std::sqrt(dzdx * dzdx * 4 + dzdy * dzdy * 4 + 1);
            double shade = (2 * dzdx * 0.5 + 2 * dzdy * 0.5 + 0.7) / n / 0.7;
            QColor c = Tint((height - *lo) / (*hi - *lo));
            bool wet = water[size_t(std::clamp(int(gy + 0.5), 0, ny - 1)) * size_t(nx) +
                             size_t(std::clamp(int(gx + 0.5), 0, nx - 1))];
            if (wet) c = QColor(60, 110, 190), shade = 1;
            double s = std::clamp(0.35 + 0.65 * shade, 0.2, 1.25);
            image.setPixel(x, y,
                           qRgb(std::clamp(int(c.red() * s), 0, 255), std::clamp(int(c.green() * s), 0, 255),
                                std::clamp(int(c.blue() * s), 0, 255)));
        }
    QPainter p;
    BeginPainting(p, image);
    // The colour scale, in the top right corner: the rest of that edge lies under the radar image.
    QRectF panel(604, 4, 74, 176);
    p.fillRect(panel, QColor(255, 255, 255, 225));
    p.setPen(QColor(30, 30, 30));
    p.setFont(SansFont(12, true));
    DrawText(p, {panel.center().x(), panel.top() + 3}, QString::fromUtf8("Altura"),
             Qt::AlignHCenter | Qt::AlignTop);
    QRectF bar(panel.left() + 8, panel.top() + 22, 14, 146);
    for (int k = 0; k < int(bar.height()); ++k)
        p.fillRect(QRectF(bar.left(), bar.bottom() - k - 1, bar.width(), 1), Tint(k / (bar.height() - 1)));
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
    p.setFont(SansFont(12));
    for (double metres = 200; metres <= *hi; metres += 200) {
        double t = (metres - *lo) / (*hi - *lo);
        if (t < 0) continue;
        double yy = bar.bottom() - t * bar.height();
        p.drawLine(QPointF(bar.right(), yy), QPointF(bar.right() + 4, yy));
        DrawText(p, {bar.right() + 6, yy}, QString::number(int(metres)) + QString::fromUtf8(" m"),
                 Qt::AlignLeft | Qt::AlignVCenter);
    }
    DrawScaleBar(p, {16, h - 22.0}, pixel, 2000, QString::fromUtf8("2 km"), 14);
    p.setPen(Qt::NoPen);
    p.end();
    return image;
}

QImage VenusPlain() {
    QImage image = VenusRadarImage(661, 423, 75, 46).convertToFormat(QImage::Format_RGB32);
    QPainter p;
    BeginPainting(p, image);
    // The page shows the top-left 657 x 417 pixels.
    DrawOutlinedArrow(p, {140, 398}, {210, 398}, QString::fromUtf8("Haz del radar"), 14);
    DrawScaleBar(p, {520, 396}, 75, 10000, QString::fromUtf8("10 km"), 14);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page46() {
    return {
        {"p46-modelo-elevacion-srtm.bmp", [] { return EncodeBitmap24(TerrainModel()); }},
        {"p46-venus-radar.bmp", [] { return EncodeBitmap24(VenusPlain()); }},
    };
}
