// Page 7: data acquisition. A digital image and the digital numbers of a few of its pixels; the grey
// levels that 1 to 8 bits can hold (figure 1); and a digital elevation model of the valley, shaded and
// contoured.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Landscape.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>

namespace {

QImage PixelsAndNumbers() {
    QImage image = Canvas(377, 453, QColor(250, 250, 245));
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(15, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {188, 6}, QString::fromUtf8("Imagen digital: píxeles y DN"), Qt::AlignHCenter | Qt::AlignTop);
    // A 30 m near-infrared band of the river and the town, 160 x 160 pixels, up to the landscape's
    // eastern edge.
    View view{kWorldSize - 160 * 30, 5400, 160 * 30, 0, 160, 160};
    FloatImage dn = ToDigitalNumbers(RenderBand(view, Bands::Tm4), Bands::Tm4, 0.6f);
    QImage band = ToGrey(dn, 0, 255);
    p.drawImage(QRectF(14, 34, 160, 160), band);
    const int wx = 77, wy = 82, n = 6;
    p.setPen(QPen(Qt::red, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(14 + wx, 34 + wy, n, n));
    // The same pixels enlarged, each with its digital number.
    QRectF grid(196, 34, 168, 168);
    double cell = grid.width() / n;
    p.setFont(SansFont(12, true));
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            int v = int(dn.At(wx + i, wy + j));
            QRectF c(grid.left() + i * cell, grid.top() + j * cell, cell, cell);
            p.fillRect(c, QColor(v, v, v));
            p.setPen(v > 120 ? Qt::black : Qt::white);
            p.drawText(c, Qt::AlignCenter, QString::number(v));
        }
    p.setPen(QPen(Qt::red, 2));
    p.drawRect(grid);
    p.drawLine(QPointF(14 + wx + n, 34 + wy), grid.topLeft());
    p.drawLine(QPointF(14 + wx + n, 34 + wy + n), grid.bottomLeft());
    p.setPen(QColor(30, 30, 30));
    p.setFont(SansFont(13));
    DrawTextBox(
        p, QRectF(14, 214, 350, 120),
        QString::fromUtf8("Cada píxel guarda un nivel digital (DN) proporcional a la radiancia que llegó al "
                          "detector. Con 8 bits, el DN va de 0 (negro) a 255 (blanco). Banda del infrarrojo "
                          "cercano: el río es oscuro y la vegetación, clara."),
        Qt::AlignLeft | Qt::AlignTop);
    // Photographic against electronic detection.
    p.setFont(SansFont(14, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {188, 340}, QString::fromUtf8("Detección fotográfica y electrónica"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(12));
    p.setPen(Qt::black);
    DrawCaptionBox(p, QRectF(14, 366, 165, 76),
                   QString::fromUtf8("Película: registro químico continuo, 0,3–0,9 µm"),
                   QColor(240, 230, 210));
    DrawCaptionBox(p, QRectF(198, 366, 165, 76),
                   QString::fromUtf8("Detectores: señal eléctrica muestreada y cuantificada, 0,3–14 µm"),
                   QColor(215, 230, 245));
    p.end();
    return image;
}

QImage QuantisationLevels() {
    QImage image = Canvas(767, 254);
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(14, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {383, 4}, QString::fromUtf8("Niveles de gris según los bits por píxel"),
             Qt::AlignHCenter | Qt::AlignTop);
    const int bits[] = {1, 2, 3, 4, 6, 8};
    const double left = 170, width = 580, top = 28, rowH = 30;
    for (int r = 0; r < 6; ++r) {
        int levels = 1 << bits[r];
        double y = top + r * (rowH + 4);
        for (int i = 0; i < levels; ++i) {
            int v = levels == 1 ? 0 : int(std::lround(255.0 * i / (levels - 1)));
            double x0 = left + width * i / levels, x1 = left + width * (i + 1) / levels;
            p.fillRect(QRectF(x0, y, x1 - x0 + 0.5, rowH), QColor(v, v, v));
        }
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(left, y, width, rowH));
        p.setFont(SansFont(13));
        QString text = QStringLiteral("%1 bit%2: %3 niveles (0–%4)")
                           .arg(bits[r])
                           .arg(bits[r] > 1 ? QStringLiteral("s") : QString())
                           .arg(levels)
                           .arg(levels - 1);
        DrawText(p, {left - 8, y + rowH / 2}, text, Qt::AlignRight | Qt::AlignVCenter);
    }
    p.setFont(SansFont(13, true));
    DrawText(p, {383, 236}, QString::fromUtf8("10 bits: 0–1023   ·   11 bits: 0–2047   ·   12 bits: 0–4095"),
             Qt::AlignHCenter | Qt::AlignVCenter);
    p.end();
    return image;
}

QRgb Hypsometric(double t) {
    // Greens in the lowlands through yellow and brown to grey on the highest hills.
    const QRgb stops[] = {qRgb(60, 130, 70), qRgb(150, 190, 100), qRgb(230, 210, 130), qRgb(180, 120, 70),
                          qRgb(150, 140, 135)};
    t = std::clamp(t, 0.0, 0.9999) * 4;
    int i = int(t);
    double f = t - i;
    auto mix = [&](int shift) {
        return int(((stops[i] >> shift) & 255) * (1 - f) + ((stops[i + 1] >> shift) & 255) * f);
    };
    return qRgb(mix(16), mix(8), mix(0));
}

QImage ElevationModel() {
    const int w = 461, h = 228;
    const double x0 = 0, y0 = 4200, step = 12000.0 / w;
    Landscape land;
    std::vector<double> z(size_t(w + 2) * size_t(h + 2));
    for (int j = 0; j < h + 2; ++j)
        for (int i = 0; i < w + 2; ++i)
            z[size_t(j) * size_t(w + 2) + size_t(i)] =
                land.Elevation(x0 + (i - 1) * step, y0 + (j - 1) * step);
    auto Z = [&](int i, int j) { return z[size_t(j + 1) * size_t(w + 2) + size_t(i + 1)]; };
    double lo = *std::min_element(z.begin(), z.end()), hi = *std::max_element(z.begin(), z.end());
    double level = Landscape::ReservoirLevel();
    QImage image(w, h, QImage::Format_RGB32);
    for (int j = 0; j < h; ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = 0; i < w; ++i) {
            double e = Z(i, j);
            double gx = (Z(i + 1, j) - Z(i - 1, j)) / (2 * step),
                   gy = (Z(i, j + 1) - Z(i, j - 1)) / (2 * step);
            double shade =
                std::clamp(0.75 + 2.2 * (-gx * 0.7 - gy * 0.7) / std::sqrt(1 + gx * gx + gy * gy), 0.35, 1.2);
            QRgb c = Hypsometric((e - lo) / (hi - lo));
            bool lake = i * step + x0 < Landmarks::DamX && e < level;
            if (lake) c = qRgb(90, 140, 210), shade = 1;
            // Contours every 25 m.
            bool contour = std::floor(e / 25) != std::floor(Z(i + 1, j) / 25) ||
                           std::floor(e / 25) != std::floor(Z(i, j + 1) / 25);
            double k = contour && !lake ? 0.55 : shade;
            line[i] = qRgb(std::min(255, int(qRed(c) * k)), std::min(255, int(qGreen(c) * k)),
                           std::min(255, int(qBlue(c) * k)));
        }
    }
    QPainter p;
    BeginPainting(p, image);
    p.fillRect(QRectF(4, 4, 190, 20), QColor(255, 255, 255, 210));
    p.setPen(Qt::black);
    p.setFont(SansFont(12, true));
    DrawText(p, {99, 14}, QString::fromUtf8("Modelo digital de elevación"), Qt::AlignCenter);
    p.fillRect(QRectF(300, 204, 157, 20), QColor(255, 255, 255, 210));
    p.setFont(SansFont(11));
    DrawText(p, {378, 214}, QStringLiteral("%1–%2 m, curvas cada 25 m").arg(int(lo)).arg(int(hi)),
             Qt::AlignCenter);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page07() {
    return {
        {"p07-pixeles-nd.jpg", [] { return EncodeJpeg(PixelsAndNumbers(), JpegColour(88)); }},
        {"p07-niveles-cuantificacion.bmp", [] { return EncodeBitmap24(QuantisationLevels()); }},
        {"p07-modelo-elevacion.jpg", [] { return EncodeJpeg(ElevationModel(), JpegColour(88)); }},
    };
}
