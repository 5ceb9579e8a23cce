// Page 20: reducing a true-colour image to a palette. An aerial view of the town's edge in 24-bit
// colour beside the same view mapped onto the 16 most popular colours: the rare red roofs find no entry
// of their own and take the nearest popular colour, at the colour distance worked out below.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/encoders/ColourModels.h"
#include "content/toolkit/scenes/Noise.h"
#include "content/toolkit/scenes/Sensors.h"

namespace {

QString Rgb(QRgb c) {
    return QString("(%1, %2, %3)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c));
}

QString Thousands(int n) {
    QString s = QString::number(n);
    for (int i = s.size() - 3; i > 0; i -= 3)
        s.insert(i, '.');
    return s;
}

QImage PopularityFigure() {
    const int panel = 192;
    View view{6180, 4760, 3.0 * panel, 0, panel, panel};
    std::vector<Band> bands = {Bands::Ik3, Bands::Ik2, Bands::Ik1};
    auto b = RenderBands(view, bands);
    // Each band's detectors add a little noise of their own, as in any recorded image.
    for (size_t i = 0; i < b.size(); ++i)
        for (int y = 0; y < panel; ++y)
            for (int x = 0; x < panel; ++x)
                b[i].At(x, y) +=
                    float(0.006 * (Hash01(x, y, 2000 + uint32_t(i)) + Hash01(x, y, 2010 + uint32_t(i)) - 1));
    const QImage colour = Composite(b[0], b[1], b[2], 0.005, 0.995);
    const std::vector<QRgb> palette = PopularityPalette(colour, 16);
    const IndexedImage indexed = MapToPalette(colour, palette);
    const QImage reduced = ToTrueColour(indexed);

    // The pixel the palette serves worst: a roof, whose colour is far from every popular one.
    QPoint worst(0, 0);
    int worstD = -1;
    for (int y = 4; y < panel - 4; ++y)
        for (int x = 4; x < panel - 4; ++x) {
            QRgb c = colour.pixel(x, y);
            int d = ColourDistance2(c, reduced.pixel(x, y));
            if (qRed(c) > qGreen(c) + 40 && d > worstD) {
                worstD = d;
                worst = {x, y};
            }
        }
    const QRgb roof = colour.pixel(worst), mapped = reduced.pixel(worst);

    QImage image = Canvas(407, 342, QColor(250, 250, 246));
    QPainter p;
    BeginPainting(p, image);
    p.setPen(QColor(20, 30, 100));
    p.setFont(SansFont(15, true));
    DrawText(p, {200, 3}, QString::fromUtf8("Reducción de colores por popularidad"),
             Qt::AlignHCenter | Qt::AlignTop);
    const QPointF left(6, 42), right(206, 42);
    p.setFont(SansFont(12, true));
    p.setPen(Qt::black);
    DrawText(p, left + QPointF(panel / 2.0, -4), QString::fromUtf8("Color verdadero (24 bits)"),
             Qt::AlignHCenter | Qt::AlignBottom);
    DrawText(p, right + QPointF(panel / 2.0, -4), QString::fromUtf8("Paleta de los 16 más frecuentes"),
             Qt::AlignHCenter | Qt::AlignBottom);
    p.drawImage(left, colour);
    p.drawImage(right, reduced);
    for (QPointF corner : {left, right}) {
        p.setPen(QPen(QColor(255, 240, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(corner + QPointF(worst) + QPointF(0.5, 0.5), 9, 9);
    }
    p.setFont(SansFont(11));
    p.setPen(QColor(40, 40, 40));
    DrawText(p, left + QPointF(panel / 2.0, panel + 4),
             QString::fromUtf8("%1 colores distintos").arg(Thousands(DistinctColours(colour))),
             Qt::AlignHCenter | Qt::AlignTop);
    const double swatch = double(panel) / 16;
    for (size_t i = 0; i < palette.size(); ++i) {
        QRectF r(right.x() + double(i) * swatch, right.y() + panel + 4, swatch, 13);
        p.fillRect(r, QColor(palette[i]));
    }
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawRect(QRectF(right.x(), right.y() + panel + 4, panel, 13));

    // The distance between the roof's colour and the entry that replaces it.
    const QRectF box(6, 258, 392, 78);
    p.setPen(QPen(QColor(150, 150, 170), 1));
    p.setBrush(QColor(234, 238, 248));
    p.drawRect(box);
    p.setPen(Qt::black);
    p.setFont(SansFont(12));
    DrawText(p, {box.left() + 8, box.top() + 5},
             QString::fromUtf8("d = √((R1 − R2)² + (G1 − G2)² + (B1 − B2)²)"));
    const double y2 = box.top() + 26;
    p.fillRect(QRectF(box.left() + 8, y2, 16, 16), QColor(roof));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(box.left() + 8, y2, 16, 16));
    DrawText(p, {box.left() + 28, y2 + 8}, QString::fromUtf8("techo ") + Rgb(roof),
             Qt::AlignLeft | Qt::AlignVCenter);
    DrawArrow(p, {box.left() + 170, y2 + 8}, {box.left() + 190, y2 + 8}, 6);
    p.fillRect(QRectF(box.left() + 196, y2, 16, 16), QColor(mapped));
    p.drawRect(QRectF(box.left() + 196, y2, 16, 16));
    DrawText(p, {box.left() + 216, y2 + 8}, Rgb(mapped), Qt::AlignLeft | Qt::AlignVCenter);
    p.setFont(SansFont(12, true));
    DrawText(p, {box.right() - 8, y2 + 8},
             QString::fromUtf8("d = %1").arg(Decimal(ColourDistance(roof, mapped), 1)),
             Qt::AlignRight | Qt::AlignVCenter);
    p.setFont(SansFont(12));
    p.setPen(QColor(150, 20, 20));
    DrawText(p, {box.left() + 8, box.top() + 52},
             QString::fromUtf8("El color poco frecuente no entra en la paleta: se pierde."));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page20() {
    return {
        {"p20-paleta-popularidad.bmp", [] { return EncodeBitmap24(PopularityFigure()); }},
    };
}
