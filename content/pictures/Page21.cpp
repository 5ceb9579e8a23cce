// Page 21: the model of a digital image. A panchromatic view of the town with its device coordinates
// (origin at the top-left corner, x to the right, y down), an 8 x 8 block of it enlarged with the grey
// value of every pixel, one pixel's four side and four corner neighbours, the 8-bit grey scale, and a
// detail of the same view quantised to 1, 4, 6 and 8 bits.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Sensors.h"

#include <cmath>

namespace {

int Level(const QImage& grey, int x, int y) {
    return grey.constScanLine(y)[x];
}

// A grey picture with `bits` bits per pixel, shown on the 0 to 255 scale.
QImage Quantised(const QImage& grey, int bits) {
    QImage out = grey.copy();
    const int levels = 1 << bits;
    for (int y = 0; y < out.height(); ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < out.width(); ++x)
            line[x] = uchar(line[x] * levels / 256 * 255 / (levels - 1));
    }
    return out;
}

constexpr int kSide = 180;     // of the view, in pixels
const QPointF kOrigin(32, 58); // where the view is drawn
const double kCell = 26;       // an enlarged pixel
const QPointF kGrid(252, 58);  // where the enlarged block is drawn

// The 8 x 8 block of the central area with the widest spread of values: a roof edge or a street.
QPoint WidestBlock(const QImage& grey) {
    QPoint block(96, 96);
    double bestSpread = -1;
    for (int by = 50; by <= 110; by += 2)
        for (int bx = 50; bx <= 110; bx += 2) {
            double sum = 0, sum2 = 0;
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) {
                    double v = Level(grey, bx + x, by + y);
                    sum += v;
                    sum2 += v * v;
                }
            double spread = sum2 / 64 - (sum / 64) * (sum / 64);
            if (spread > bestSpread) {
                bestSpread = spread;
                block = {bx, by};
            }
        }
    return block;
}

// The picture in its device coordinates.
void DeviceCoordinates(QPainter& p, const QImage& grey) {
    p.drawImage(kOrigin, grey);
    p.setPen(QPen(QColor(150, 20, 20), 1.5));
    DrawArrow(p, kOrigin + QPointF(0, -8), kOrigin + QPointF(kSide, -8), 7);
    DrawArrow(p, kOrigin + QPointF(-8, 0), kOrigin + QPointF(-8, kSide), 7);
    p.setFont(SansFont(12, true));
    p.setPen(QColor(150, 20, 20));
    DrawText(p, kOrigin + QPointF(kSide, -12), QString::fromUtf8("x (columna)"),
             Qt::AlignRight | Qt::AlignBottom);
    DrawText(p, kOrigin + QPointF(-4, -12), "(0, 0)", Qt::AlignLeft | Qt::AlignBottom);
    p.save();
    p.translate(kOrigin + QPointF(-12, kSide));
    p.rotate(-90);
    DrawText(p, {0, 0}, "y (fila)", Qt::AlignLeft | Qt::AlignBottom);
    p.restore();
}

// The block, enlarged with its values.
void EnlargedBlock(QPainter& p, const QImage& grey, QPoint block) {
    const QRectF mark(kOrigin + QPointF(block), QSizeF(8, 8));
    p.setPen(QPen(QColor(255, 60, 0), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(mark.adjusted(-1, -1, 1, 1));
    p.setPen(QPen(QColor(255, 60, 0, 160), 1, Qt::DashLine));
    p.drawLine(mark.topRight() + QPointF(1, -1), kGrid);
    p.drawLine(mark.bottomRight() + QPointF(1, 1), kGrid + QPointF(0, 8 * kCell));
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) {
            int v = Level(grey, block.x() + i, block.y() + j);
            QRectF r(kGrid.x() + i * kCell, kGrid.y() + j * kCell, kCell, kCell);
            p.fillRect(r, QColor(v, v, v));
            p.setPen(v < 128 ? Qt::white : Qt::black);
            p.setFont(SansFont(11));
            DrawText(p, r.center(), QString::number(v), Qt::AlignCenter);
        }
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (int k = 0; k <= 8; ++k) {
        p.drawLine(kGrid + QPointF(k * kCell, 0), kGrid + QPointF(k * kCell, 8 * kCell));
        p.drawLine(kGrid + QPointF(0, k * kCell), kGrid + QPointF(8 * kCell, k * kCell));
    }
    p.setFont(SansFont(10));
    p.setPen(QColor(90, 90, 90));
    for (int k = 0; k < 8; ++k) {
        DrawText(p, kGrid + QPointF((k + 0.5) * kCell, -2), QString::number(block.x() + k),
                 Qt::AlignHCenter | Qt::AlignBottom);
        DrawText(p, kGrid + QPointF(-3, (k + 0.5) * kCell), QString::number(block.y() + k),
                 Qt::AlignRight | Qt::AlignVCenter);
    }
}

// One pixel of the block and its neighbours: four sharing a side, four sharing a corner.
void Neighbours(QPainter& p, const QImage& grey, QPoint block) {
    const QPoint centre = block + QPoint(3, 3);
    const QColor sideColour(0, 90, 230), cornerColour(0, 170, 60), pixelColour(230, 30, 30);
    auto outline = [&](int di, int dj, QColor colour) {
        QRectF r(kGrid.x() + (centre.x() - block.x() + di) * kCell,
                 kGrid.y() + (centre.y() - block.y() + dj) * kCell, kCell, kCell);
        p.setPen(QPen(colour, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(2, 2, -2, -2));
    };
    for (auto [di, dj] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}})
        outline(di, dj, cornerColour);
    for (auto [di, dj] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}})
        outline(di, dj, sideColour);
    outline(0, 0, pixelColour);

    const double legendY = kGrid.y() + 8 * kCell + 10;
    auto legend = [&](double y, QColor colour, const QString& text) {
        p.setPen(QPen(colour, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(kGrid.x() + 1.5, y + 1.5, 11, 11));
        p.setPen(Qt::black);
        p.setFont(SansFont(12));
        DrawText(p, {kGrid.x() + 20, y + 7}, text, Qt::AlignLeft | Qt::AlignVCenter);
    };
    legend(legendY, pixelColour,
           QString::fromUtf8("píxel (x = %1, y = %2): valor %3")
               .arg(centre.x())
               .arg(centre.y())
               .arg(Level(grey, centre.x(), centre.y())));
    legend(legendY + 18, sideColour, QString::fromUtf8("4 vecinos que comparten un lado"));
    legend(legendY + 36, cornerColour, QString::fromUtf8("4 vecinos que comparten un vértice"));
}

// The 8-bit grey scale.
void GreyScale(QPainter& p) {
    const QRectF ramp(kOrigin.x(), kOrigin.y() + kSide + 34, kSide, 14);
    for (int i = 0; i < int(ramp.width()); ++i) {
        int v = int(std::lround(255.0 * i / (ramp.width() - 1)));
        p.fillRect(QRectF(ramp.left() + i, ramp.top(), 1, ramp.height()), QColor(v, v, v));
    }
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.drawRect(ramp);
    p.setPen(Qt::black);
    p.setFont(SansFont(11));
    DrawText(p, ramp.bottomLeft() + QPointF(0, 2), QString::fromUtf8("0 negro"),
             Qt::AlignLeft | Qt::AlignTop);
    DrawText(p, ramp.bottomRight() + QPointF(0, 2), QString::fromUtf8("255 blanco"),
             Qt::AlignRight | Qt::AlignTop);
    p.setFont(SansFont(12, true));
    DrawText(p, {ramp.center().x(), ramp.top() - 3}, QString::fromUtf8("8 bits por píxel: 256 niveles"),
             Qt::AlignHCenter | Qt::AlignBottom);
}

// A detail of the view at four depths.
void Depths(QPainter& p, const QImage& grey) {
    const QRect detail(kSide - 100, kSide - 58, 100, 58);
    const struct {
        int Bits;
        const char* Text;
    } depths[] = {{1, "1 bit: 2 niveles"},
                  {4, "4 bits: 16 niveles"},
                  {6, "6 bits: 64 niveles"},
                  {8, "8 bits: 256 niveles"}};
    const QImage crop = grey.copy(detail);
    for (int k = 0; k < 4; ++k) {
        QPointF at(474, 44 + k * 74.0);
        p.setPen(Qt::black);
        p.setFont(SansFont(11, true));
        DrawText(p, at, QString::fromUtf8(depths[k].Text));
        p.drawImage(at + QPointF(0, 15), Quantised(crop, depths[k].Bits));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.drawRect(QRectF(at + QPointF(-0.5, 14.5), QSizeF(detail.width() + 1, detail.height() + 1)));
    }
    p.setPen(QPen(QColor(0, 120, 160), 1, Qt::DashLine));
    p.drawRect(QRectF(kOrigin + QPointF(detail.topLeft()) - QPointF(0.5, 0.5), QSizeF(detail.size())));
}

QImage ImageModel() {
    View view{7040, 5270, 1.6 * kSide, 0, kSide, kSide};
    const FloatImage pan = RenderBand(view, Bands::IkPan);
    // Zero reflectance at black and a little headroom above the brightest roofs, as a sensor records.
    const QImage grey = ToGrey(pan, 0, Percentiles(pan, 0, 0.998).second * 1.08f);
    const QPoint block = WidestBlock(grey);

    QImage image = Canvas(600, 450, QColor(250, 250, 246));
    QPainter p;
    BeginPainting(p, image);
    p.setPen(QColor(20, 30, 100));
    p.setFont(SansFont(15, true));
    DrawText(p, {280, 3}, QString::fromUtf8("La imagen digital: una matriz de niveles de gris"),
             Qt::AlignHCenter | Qt::AlignTop);
    DeviceCoordinates(p, grey);
    EnlargedBlock(p, grey, block);
    Neighbours(p, grey, block);
    GreyScale(p);
    Depths(p, grey);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page21() {
    return {
        {"p21-modelo-imagen.bmp", [] { return EncodeBitmap24(ImageModel()); }},
    };
}
