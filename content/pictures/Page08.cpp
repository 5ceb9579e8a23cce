// Page 8: the orbits of earth-observation satellites drawn to scale with their altitude ranges and the
// orbital period formula the text leads to; and a view of Mars by an orbiter's camera.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Planet.h"

#include <cmath>

namespace {

QImage Orbits() {
    QImage image = Canvas(413, 248, QColor(12, 16, 40));
    QPainter p;
    BeginPainting(p, image);
    // Radii in thousands of km, scaled so the geostationary orbit just fits the height.
    const double earth = 6.371, scale = 95 / (6.371 + 35.786);
    const QPointF c(100, 124);
    auto ring = [&](double altitudeKm, QColor colour, Qt::PenStyle style) {
        p.setPen(QPen(colour, 1.6, style));
        p.setBrush(Qt::NoBrush);
        double r = (earth + altitudeKm / 1000) * scale * 1.0;
        p.drawEllipse(c, r, r);
        return r;
    };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 200));
    p.drawEllipse(c, earth * scale, earth * scale);
    double leo = ring(800, QColor(120, 230, 120), Qt::SolidLine);
    double meo = ring(20200, QColor(250, 200, 80), Qt::DashLine);
    double geo = ring(35786, QColor(250, 120, 120), Qt::SolidLine);
    p.setFont(SansFont(11, true));
    auto label = [&](double r, double angle, QColor colour, const char* text) {
        QPointF at = c + QPointF(r * std::cos(angle), -r * std::sin(angle));
        p.setPen(QPen(colour, 1));
        p.drawLine(at, QPointF(212, at.y()));
        p.setBrush(colour);
        p.drawEllipse(at, 3, 3);
        DrawText(p, {216, at.y()}, QString::fromUtf8(text), Qt::AlignLeft | Qt::AlignVCenter);
    };
    // Far enough apart on the screen for the labels not to touch: the low ring is small.
    label(leo, 0.5, QColor(120, 230, 120), "Baja (LEO): 200–2000 km");
    label(meo, 0.6, QColor(250, 200, 80), "Media (MEO): 2000–35 786 km");
    label(geo, -0.25, QColor(250, 120, 120), "Geoestacionaria: 35 786 km");
    p.setPen(Qt::white);
    p.setFont(SansFont(12, true));
    DrawText(p, {6, 4}, QString::fromUtf8("Órbitas (a escala)"));
    p.setFont(SansFont(12));
    DrawText(p, {216, 172}, QString::fromUtf8("Período orbital:"));
    p.setFont(SerifFont(15, true));
    DrawText(p, {216, 190}, QString::fromUtf8("T = 2π √(a³ / μ)"));
    p.setFont(SansFont(11));
    DrawText(p, {216, 212}, QString::fromUtf8("a: semieje mayor; μ = 398 600 km³/s²"));
    DrawText(p, {216, 226}, QString::fromUtf8("a 800 km de altura, T ≈ 101 min"));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page08() {
    return {
        {"p08-orbitas.bmp", [] { return EncodeBitmap24(Orbits()); }},
        {"p08-marte-camara.bmp", [] { return EncodeBitmap24(MarsOrbiterScene(600, 450, 808)); }},
    };
}
