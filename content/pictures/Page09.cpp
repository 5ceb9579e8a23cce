// Page 9: the multispectral scanner. Figure 2 shows how the rotating mirror sweeps the ground across the
// track while the satellite advances, sending the energy through the optics to the detectors of each
// band; the second picture gives the geometry of the instantaneous field of view, D = H * beta.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"

#include <QPainterPath>
#include <cmath>

namespace {

// Four colours: black, declared transparent, which the picture control shows as black (it draws GIF
// frames opaque) and so is left unused; white paper, dark blue line work and red for the energy.
const QRgb kGifPalette[4] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(16, 32, 120), qRgb(200, 30, 30)};

QImage ScannerDiagram() {
    QImage image = Canvas(564, 302);
    QPainter p(&image); // no antialiasing: four colours only
    const QColor blue(kGifPalette[2]), red(kGifPalette[3]), fill(Qt::white);
    p.setFont(SansFont(12, true));
    p.setPen(blue);
    DrawText(p, {8, 6}, QString::fromUtf8("Barredor multiespectral (MSS)"));
    // The satellite body with the scanning mirror and the optics.
    p.setBrush(fill);
    p.setPen(QPen(blue, 2));
    p.drawRect(QRectF(230, 24, 120, 62));
    p.drawRect(QRectF(170, 40, 56, 18));
    p.drawRect(QRectF(354, 40, 56, 18));
    p.setBrush(blue);
    QPainterPath mirror;
    mirror.moveTo(262, 78);
    mirror.lineTo(290, 62);
    mirror.lineTo(294, 68);
    mirror.lineTo(266, 84);
    p.drawPath(mirror);
    p.setBrush(fill);
    p.drawEllipse(QPointF(318, 50), 12, 12);
    p.drawRect(QRectF(336, 28, 10, 44));
    p.setFont(SansFont(11));
    DrawText(p, {420, 26}, QString::fromUtf8("detectores"), Qt::AlignLeft | Qt::AlignVCenter);
    p.drawLine(QPointF(418, 26), QPointF(346, 34));
    DrawText(p, {420, 46}, QString::fromUtf8("óptica"), Qt::AlignLeft | Qt::AlignVCenter);
    p.drawLine(QPointF(418, 46), QPointF(330, 50));
    DrawText(p, {120, 96}, QString::fromUtf8("espejo giratorio"), Qt::AlignLeft | Qt::AlignVCenter);
    p.drawLine(QPointF(206, 96), QPointF(264, 76));
    // The ground: scan lines across the track, one IFOV cell marked.
    QPolygonF ground;
    ground << QPointF(40, 280) << QPointF(520, 280) << QPointF(460, 200) << QPointF(100, 200);
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(ground);
    for (int i = 1; i < 8; ++i) {
        double t = i / 8.0;
        p.drawLine(QPointF(100 - 60 * t, 200 + 80 * t), QPointF(460 + 60 * t, 200 + 80 * t));
    }
    p.setBrush(blue);
    p.drawRect(QRectF(282, 240, 14, 10));
    // The energy from the ground cell to the mirror, and the sweep across the track.
    p.setPen(QPen(red, 2));
    p.drawLine(QPointF(289, 240), QPointF(280, 84));
    p.drawLine(QPointF(96, 248), QPointF(270, 86));
    p.drawLine(QPointF(482, 248), QPointF(292, 86));
    DrawDoubleArrow(p, {70, 292}, {500, 292}, 7);
    p.setPen(blue);
    p.setFont(SansFont(11));
    // The labels over the scan lines keep a white ground, so that no line runs through them.
    auto label = [&](QPointF at, const char* text, Qt::Alignment anchor) {
        const QString s = QString::fromUtf8(text);
        p.fillRect(AnchoredTextBounds(p, at, s, anchor).adjusted(-2, 0, 2, 0), Qt::white);
        DrawText(p, at, s, anchor);
    };
    label({300, 238}, "IFOV", Qt::AlignLeft | Qt::AlignBottom);
    label({24, 228}, "barrido\ntransversal", Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QPen(blue, 2));
    DrawArrow(p, {520, 150}, {470, 110}, 8);
    DrawText(p, {492, 158}, QString::fromUtf8("avance del\nsatélite"), Qt::AlignLeft | Qt::AlignTop);
    p.end();
    return image;
}

Bytes ScannerGif() {
    QImage drawn = ScannerDiagram().convertToFormat(QImage::Format_RGB32);
    GifLayout gif;
    gif.Gif89 = true;
    gif.ScreenWidth = 565;
    gif.ScreenHeight = 303;
    gif.AspectByte = 49;
    gif.MinCodeSize = 2;
    gif.TransparentIndex = 0;
    gif.Delay = 0;
    gif.Comment = "Fig 2: barredor MSS, Orvanta"; // 28 bytes
    gif.Frame = {564, 302, {}, {kGifPalette, kGifPalette + 4}};
    gif.Frame.Pixels.resize(size_t(564) * 302);
    // Each pixel to the nearest of the three colours in use.
    for (int y = 0; y < 302; ++y) {
        auto* line = reinterpret_cast<const QRgb*>(drawn.constScanLine(y));
        for (int x = 0; x < 564; ++x) {
            QRgb c = line[x];
            int best = 1, bestD = 3 * 255 * 255 + 1;
            for (int i = 1; i < 4; ++i) {
                int dr = qRed(c) - qRed(kGifPalette[i]), dg = qGreen(c) - qGreen(kGifPalette[i]),
                    db = qBlue(c) - qBlue(kGifPalette[i]);
                if (dr * dr + dg * dg + db * db < bestD) bestD = dr * dr + dg * dg + db * db, best = i;
            }
            gif.Frame.Pixels[size_t(y) * 564 + size_t(x)] = uint8_t(best);
        }
    }
    return EncodeGif(gif);
}

QImage IfovGeometry() {
    QImage image = Canvas(573, 430, QColor(252, 252, 248));
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(16, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {286, 8}, QString::fromUtf8("Campo de visión instantáneo (IFOV)"),
             Qt::AlignHCenter | Qt::AlignTop);
    const QPointF sensor(286, 70);
    const double ground = 340, halfCell = 46;
    // Ground with a grid of resolution cells; the one seen at this instant is shaded.
    p.fillRect(QRectF(20, ground, 533, 40), QColor(190, 215, 160));
    p.setPen(QPen(QColor(90, 120, 70), 1));
    for (double x = 286 - 5 * halfCell; x <= 286 + 5 * halfCell + 1; x += 2 * halfCell)
        p.drawLine(QPointF(x, ground), QPointF(x, ground + 40));
    p.fillRect(QRectF(286 - halfCell, ground, 2 * halfCell, 40), QColor(240, 180, 60));
    // The cone of the IFOV.
    QPolygonF cone;
    cone << sensor << QPointF(286 - halfCell, ground) << QPointF(286 + halfCell, ground);
    p.setPen(QPen(QColor(200, 40, 40), 2));
    p.setBrush(QColor(240, 120, 100, 70));
    p.drawPolygon(cone);
    // The sensor.
    p.setPen(QPen(QColor(30, 30, 60), 2));
    p.setBrush(QColor(120, 130, 150));
    p.drawRect(QRectF(sensor.x() - 24, sensor.y() - 30, 48, 26));
    p.setFont(SansFont(14));
    p.setPen(Qt::black);
    DrawText(p, sensor + QPointF(32, -22), QString::fromUtf8("sensor"));
    // Altitude H, angle beta, cell D.
    p.setPen(QPen(QColor(20, 30, 90), 1.5, Qt::DashLine));
    p.drawLine(QPointF(120, sensor.y()), QPointF(120, ground));
    p.setPen(QPen(QColor(20, 30, 90), 1.5));
    DrawDoubleArrow(p, {120, sensor.y()}, {120, ground}, 8);
    p.setFont(SansFont(18, true));
    DrawText(p, {108, (sensor.y() + ground) / 2}, QStringLiteral("H"), Qt::AlignRight | Qt::AlignVCenter);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(sensor.x() - 60, sensor.y() - 60, 120, 120), int((270 - 9.5) * 16), int(19 * 16));
    DrawText(p, sensor + QPointF(0, 66), QString::fromUtf8("β"), Qt::AlignHCenter | Qt::AlignTop);
    DrawDoubleArrow(p, {286 - halfCell, ground + 52}, {286 + halfCell, ground + 52}, 8);
    DrawText(p, {286, ground + 56}, QStringLiteral("D"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(13));
    p.setPen(QColor(40, 40, 40));
    DrawTextBox(
        p, QRectF(360, 150, 200, 130),
        QString::fromUtf8("β: ángulo del IFOV (radianes)\nH: altura de vuelo\nD: lado de la celda vista en "
                          "el terreno\n\nLandsat MSS: β = 0,086 mrad, H = 917 km → D ≈ 79 m"),
        Qt::AlignLeft | Qt::AlignTop);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page09() {
    return {
        {"p09-barredor-mss.gif", ScannerGif},
        {"p09-ifov.jpg", [] { return EncodeJpeg(IfovGeometry(), JpegColour(85)); }},
    };
}
