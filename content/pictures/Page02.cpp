// Page 2: the process of remote sensing, from the source of energy to the use of the results, drawn as
// one scene. The picture is shown squeezed to half its height, so its lettering is large.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

namespace {

void Step(QPainter& p, QPointF at, const char* letter, const char* text, Qt::Alignment anchor) {
    p.save();
    p.setFont(SansFont(34, true));
    QString label = QString::fromUtf8(letter) + QStringLiteral("  ") + QString::fromUtf8(text);
    QFontMetricsF m(p.font());
    QRectF r = m.boundingRect(label);
    double x = at.x(), y = at.y();
    if (anchor & Qt::AlignHCenter)
        x -= r.width() / 2;
    else if (anchor & Qt::AlignRight)
        x -= r.width();
    QRectF box(x - 10, y - 4, r.width() + 20, r.height() + 8);
    p.setPen(QPen(QColor(20, 40, 110), 2));
    p.setBrush(QColor(255, 255, 240, 235));
    p.drawRoundedRect(box, 8, 8);
    p.setPen(QColor(20, 40, 110));
    p.drawText(box, Qt::AlignCenter, label);
    p.restore();
}

QImage ProcessDiagram() {
    QImage image = Canvas(1224, 800);
    QPainter p;
    BeginPainting(p, image);
    // Sky, atmosphere and ground.
    QLinearGradient sky(0, 0, 0, 560);
    sky.setColorAt(0, QColor(120, 170, 230));
    sky.setColorAt(1, QColor(215, 232, 250));
    p.fillRect(QRectF(0, 0, 1224, 560), sky);
    p.fillRect(QRectF(0, 250, 1224, 140), QColor(255, 255, 255, 70));
    p.setPen(QColor(60, 80, 120));
    p.setFont(SansFont(26, false));
    DrawText(p, {1200, 256}, QString::fromUtf8("atmósfera"), Qt::AlignRight | Qt::AlignTop);
    p.fillRect(QRectF(0, 560, 1224, 240), QColor(150, 175, 95));
    // Title.
    p.setFont(SansFont(44, true));
    p.setPen(QColor(10, 20, 70));
    DrawText(p, {612, 10}, QString::fromUtf8("El proceso de la teledetección"),
             Qt::AlignHCenter | Qt::AlignTop);

    // A: the sun.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 40));
    p.drawEllipse(QPointF(110, 150), 60, 60);
    p.setPen(QPen(QColor(255, 190, 30), 5));
    for (int i = 0; i < 12; ++i) {
        double a = i * M_PI / 6;
        p.drawLine(QPointF(110 + 75 * std::cos(a), 150 + 75 * std::sin(a)),
                   QPointF(110 + 98 * std::cos(a), 150 + 98 * std::sin(a)));
    }
    // C: the surface: a field, trees and a house.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 170, 90));
    p.drawRect(QRectF(380, 585, 240, 60));
    p.setBrush(QColor(40, 120, 40));
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(660 + 40 * i, 570), 24, 34);
    p.setBrush(QColor(170, 70, 50));
    QPainterPath roof;
    roof.moveTo(480, 560);
    roof.lineTo(520, 525);
    roof.lineTo(560, 560);
    p.drawPath(roof);
    p.setBrush(QColor(235, 225, 200));
    p.drawRect(QRectF(488, 560, 64, 30));

    // D: the satellite.
    p.setBrush(QColor(90, 90, 100));
    p.drawRect(QRectF(880, 110, 60, 44));
    p.setBrush(QColor(40, 70, 160));
    p.drawRect(QRectF(800, 120, 70, 24));
    p.drawRect(QRectF(950, 120, 70, 24));
    p.setBrush(QColor(200, 200, 210));
    p.drawEllipse(QPointF(910, 165), 12, 8);

    // E: the receiving station, F: the analyst's computer, G: the map made from the data.
    p.setBrush(QColor(230, 230, 235));
    p.drawRect(QRectF(1010, 600, 90, 60));
    p.setPen(QPen(QColor(60, 60, 60), 5));
    p.drawLine(QPointF(1055, 600), QPointF(1055, 560));
    p.setBrush(QColor(245, 245, 250));
    p.drawChord(QRectF(1015, 505, 80, 80), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 70));
    p.drawRect(QRectF(760, 690, 110, 70));
    p.setBrush(QColor(120, 190, 120));
    p.drawRect(QRectF(768, 698, 94, 54));
    p.setBrush(QColor(250, 250, 240));
    p.drawRect(QRectF(470, 690, 130, 90));
    p.setBrush(QColor(90, 160, 90));
    p.drawRect(QRectF(480, 700, 50, 35));
    p.setBrush(QColor(80, 140, 220));
    p.drawRect(QRectF(535, 700, 55, 20));
    p.setBrush(QColor(210, 180, 110));
    p.drawRect(QRectF(535, 725, 55, 45));

    // The energy's path.
    p.setPen(QPen(QColor(230, 150, 0), 6));
    DrawArrow(p, {170, 220}, {470, 560}, 26);
    p.setPen(QPen(QColor(200, 40, 40), 6));
    DrawArrow(p, {560, 540}, {870, 180}, 26);
    p.setPen(QPen(QColor(40, 40, 160), 5, Qt::DashLine));
    DrawArrow(p, {930, 180}, {1050, 510}, 24);
    p.setPen(QPen(QColor(40, 40, 40), 5));
    DrawArrow(p, {1005, 650}, {880, 715}, 22);
    DrawArrow(p, {755, 730}, {610, 735}, 22);

    Step(p, {215, 90}, "A", "Fuente de energía", Qt::AlignLeft);
    Step(p, {150, 300}, "B", "Radiación y atmósfera", Qt::AlignLeft);
    Step(p, {330, 465}, "C", "Interacción con la superficie", Qt::AlignLeft);
    // D below the head of the arrow that reaches the sensor; both boxes inside the picture's right edge.
    Step(p, {1205, 206}, "D", "Registro por el sensor", Qt::AlignRight);
    Step(p, {1205, 420}, "E", "Recepción y procesamiento", Qt::AlignRight);
    Step(p, {950, 745}, "F", "Análisis", Qt::AlignLeft);
    Step(p, {20, 720}, "G", "Aplicación", Qt::AlignLeft);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page02() {
    return {{"p02-proceso-teledeteccion.bmp", [] { return EncodeBitmap8(Quantize(ProcessDiagram(), 256)); }}};
}
