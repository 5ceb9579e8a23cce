// Page 25: high-pass and low-pass filtering. Left, the computation of one pixel: a block of grey levels
// of the photograph, the kernel, the weighted sum, scale factor and bias. Right, a colour aerial
// photograph of the edge of the town by the river, unprocessed and through the two filters, each panel
// with its kernel written underneath.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/AerialPhoto.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kPanelWidth = 233, kPhotoTop = 12, kPhotoHeight = 348, kMargin = 8;

// The colour photograph: blue, green and red sensitive layers of a colour film, 1.2 m per pixel, with a
// margin of 8 pixels all round so that the filters see real neighbours at the panel edges.
QImage ColourPhotograph() {
    const int w = kPanelWidth + 2 * kMargin, h = kPhotoHeight + 2 * kMargin;
    const double pixel = 1.2;
    View view{6880 - kMargin * pixel, 5820 - kMargin * pixel, w * pixel, 0, w, h};
    QImage out = WithTreeShadows(FilmColour(view, 0.40f, 0.85), view);
    AddGrain(out, 1.2, 2501);
    return out;
}

const QImage& Photograph() {
    static const QImage photo = ColourPhotograph();
    return photo;
}

// The filters of the page: a 3 x 3 high-pass with zero sum and a bias of 128 (only the edges remain,
// on a middle grey), and a 5 x 5 mean.
Kernel HighPass() {
    return MakeKernel(3, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 128);
}
Kernel LowPass() {
    return MeanKernel(5);
}

QImage Cropped(const QImage& withMargin) {
    return withMargin.copy(kMargin, kMargin, kPanelWidth, kPhotoHeight);
}

// A kernel as a small matrix of numbers, centred on `centre`.
void DrawMatrix(QPainter& p, QPointF centre, const Kernel& k, double cell) {
    const double left = centre.x() - k.Width * cell / 2, top = centre.y() - k.Height * cell * 0.8 / 2;
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    const double h = k.Height * cell * 0.8;
    // Brackets on both sides.
    p.drawLine(QPointF(left - 3, top), QPointF(left - 3, top + h));
    p.drawLine(QPointF(left - 3, top), QPointF(left + 2, top));
    p.drawLine(QPointF(left - 3, top + h), QPointF(left + 2, top + h));
    const double right = left + k.Width * cell;
    p.drawLine(QPointF(right + 3, top), QPointF(right + 3, top + h));
    p.drawLine(QPointF(right + 3, top), QPointF(right - 2, top));
    p.drawLine(QPointF(right + 3, top + h), QPointF(right - 2, top + h));
    for (int j = 0; j < k.Height; ++j)
        for (int i = 0; i < k.Width; ++i)
            DrawText(p, {left + (i + 0.5) * cell, top + (j + 0.5) * cell * 0.8},
                     QString::number(int(k.Weights[size_t(j * k.Width + i)])), Qt::AlignCenter);
}

QImage FilterPanels() {
    QImage image = Canvas(701, 437, QColor(240, 240, 240));
    const QImage photo = Photograph();
    const QImage panels[] = {Cropped(photo), Cropped(Convolve(photo, HighPass())),
                             Cropped(Convolve(photo, LowPass()))};
    QPainter p;
    BeginPainting(p, image);
    for (int i = 0; i < 3; ++i)
        p.drawImage(QPointF(i * (kPanelWidth + 1), kPhotoTop), panels[i]);
    const double footer = kPhotoTop + kPhotoHeight;
    p.setPen(QColor(20, 20, 90));
    p.setFont(SansFont(13, true));
    DrawText(p, {kPanelWidth / 2.0, footer + 8}, QString::fromUtf8("Original"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(13));
    DrawTextBox(p, QRectF(8, footer + 28, kPanelWidth - 16, 44),
                QString::fromUtf8("Fotografía aérea en color\n1,2 m por píxel"));
    const double x1 = kPanelWidth + 1, x2 = 2 * (kPanelWidth + 1);
    p.setFont(SansFont(13, true));
    p.setPen(QColor(20, 20, 90));
    DrawText(p, {x1 + 8, footer + 8}, QString::fromUtf8("Pasa altos 3x3"));
    DrawText(p, {x2 + 8, footer + 8}, QString::fromUtf8("Pasa bajos 5x5"));
    p.setFont(SansFont(12));
    DrawText(p, {x1 + 8, footer + 30}, QString::fromUtf8("suma 0"));
    DrawText(p, {x1 + 8, footer + 46}, QString::fromUtf8("k = 1, b = 128"));
    DrawText(p, {x2 + 8, footer + 30}, QString::fromUtf8("media de 25"));
    DrawText(p, {x2 + 8, footer + 46}, QString::fromUtf8("k = 1/25, b = 0"));
    p.setFont(SansFont(12, true));
    DrawMatrix(p, {x1 + 180, footer + 39}, HighPass(), 20);
    p.setFont(SansFont(11));
    DrawMatrix(p, {x2 + 172, footer + 38}, LowPass(), 13);
    p.end();
    return image;
}

// The pixel the worked example computes: in the inner part of the photograph's grey version, the one
// whose high-pass response is closest to 90 either way: clearly off the bias, yet far from clipping.
QPoint ExamplePixel(const QImage& grey) {
    QPoint best(0, 0);
    int bestMiss = 1 << 20;
    for (int y = 60; y < 300; ++y)
        for (int x = 60; x < 180; ++x) {
            int sum = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    sum += (i || j ? -1 : 8) * grey.constScanLine(y + j)[x + i];
            const int miss = std::abs(std::abs(sum) - 90);
            if (miss < bestMiss) bestMiss = miss, best = QPoint(x, y);
        }
    return best;
}

QImage WorkedExample() {
    QImage image = Canvas(500, 400);
    const QImage grey = Photograph().convertToFormat(QImage::Format_Grayscale8);
    const QPoint at = ExamplePixel(grey);
    const Kernel k = HighPass();
    const int high = Convolve(grey, k).pixelColor(at).red();
    const int low = Convolve(grey, MeanKernel(3)).pixelColor(at).red();
    auto level = [&](int dx, int dy) { return int(grey.constScanLine(at.y() + dy)[at.x() + dx]); };

    QPainter p;
    BeginPainting(p, image);
    p.setPen(QColor(20, 20, 90));
    p.setFont(SansFont(17, true));
    DrawText(p, {250, 6}, QString::fromUtf8("Convolución: cálculo de un píxel"),
             Qt::AlignHCenter | Qt::AlignTop);

    // The block of the image: 7 x 7 grey levels, the 3 x 3 window IMGxy outlined.
    const double cell = 29, gx = 14, gy = 54;
    p.setFont(SansFont(13, true));
    DrawText(p, {gx + 3.5 * cell, gy - 22}, QString::fromUtf8("Imagen IMG (niveles de gris)"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(12));
    for (int j = -3; j <= 3; ++j)
        for (int i = -3; i <= 3; ++i) {
            const int v = level(i, j);
            QRectF r(gx + (i + 3) * cell, gy + (j + 3) * cell, cell, cell);
            p.fillRect(r, QColor(v, v, v));
            p.setPen(v > 120 ? Qt::black : Qt::white);
            DrawText(p, r.center(), QString::number(v), Qt::AlignCenter);
        }
    p.setPen(QPen(QColor(210, 30, 30), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(gx + 2 * cell, gy + 2 * cell, 3 * cell, 3 * cell));
    p.setFont(SansFont(12, true));
    p.setPen(QColor(210, 30, 30));
    DrawText(p, {gx + 3.5 * cell, gy + 7 * cell + 4}, QString::fromUtf8("ventana IMGxy: 3 x 3 píxeles"),
             Qt::AlignHCenter | Qt::AlignTop);

    // The kernel.
    const double kc = 38, kx = 300, ky = 58;
    p.setPen(QColor(20, 20, 90));
    p.setFont(SansFont(13, true));
    DrawText(p, {kx + 1.5 * kc, ky - 22}, QString::fromUtf8("Núcleo K (pasa altos)"),
             Qt::AlignHCenter | Qt::AlignTop);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            QRectF r(kx + i * kc, ky + j * kc, kc, kc);
            p.fillRect(r, i == 1 && j == 1 ? QColor(255, 225, 200) : QColor(225, 235, 255));
            p.setPen(QPen(QColor(90, 90, 120), 1));
            p.drawRect(r);
            p.setPen(Qt::black);
            p.setFont(SansFont(15, true));
            DrawText(p, r.center(), QString::number(int(k.Weights[size_t(j * 3 + i)])), Qt::AlignCenter);
        }
    p.setFont(SansFont(13));
    p.setPen(QColor(20, 20, 90));
    DrawText(p, {kx + 1.5 * kc, ky + 3 * kc + 6}, QString::fromUtf8("k = 1     b = 128"),
             Qt::AlignHCenter | Qt::AlignTop);
    DrawArrow(p, {gx + 7 * cell + 8, gy + 3.5 * cell}, {kx - 10, ky + 1.5 * kc}, 9);

    // The result pixel.
    const double rx = kx + 18, ry = ky + 3 * kc + 36;
    p.setFont(SansFont(13, true));
    DrawText(p, {rx - 14, ry + 19}, QString::fromUtf8("P5' ="), Qt::AlignRight | Qt::AlignVCenter);
    QRectF result(rx, ry, 40, 38);
    p.fillRect(result, QColor(high, high, high));
    p.setPen(QPen(QColor(210, 30, 30), 3));
    p.drawRect(result);
    p.setPen(high > 120 ? Qt::black : Qt::white);
    DrawText(p, result.center(), QString::number(high), Qt::AlignCenter);
    p.setPen(QColor(20, 20, 90));
    p.setFont(SansFont(12));
    DrawText(p, {rx + 50, ry + 19}, QString::fromUtf8("en la imagen\nde salida"),
             Qt::AlignLeft | Qt::AlignVCenter);

    // The arithmetic, with the block's own numbers.
    QStringList ring;
    int all = 0, ringSum = 0;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            all += level(i, j);
            if (i || j) ring << QString::number(level(i, j)), ringSum += level(i, j);
        }
    const int sum = 8 * level(0, 0) - ringSum;
    double y = 282;
    p.setFont(SansFont(13));
    p.setPen(Qt::black);
    auto line = [&](const QString& text) {
        DrawText(p, {14, y}, text);
        y += 19;
    };
    line(QString::fromUtf8("suma = Σ IMGxy[i][j] · K[i][j]"));
    line(QString::fromUtf8("       = 8 · %1 − (%2) = %3").arg(level(0, 0)).arg(ring.join(" + ")).arg(sum));
    line(QString::fromUtf8("valor = k · suma + b = %1 + 128 = %2").arg(sum).arg(high));
    line(QString::fromUtf8("Pasa bajos, media de 3x3: k = 1/9, valor = %1 / 9 = %2").arg(all).arg(low));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page25() {
    return {
        {"p25-calculo-convolucion.bmp", [] { return EncodeBitmap24(WorkedExample()); }},
        {"p25-filtros-pasa-altos-bajos.bmp", [] { return EncodeBitmap24(FilterPanels()); }},
    };
}
