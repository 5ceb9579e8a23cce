// Page 42: the radar system. The geometry of a side-looking radar with the symbols the page's legend
// names; the pulse and its echo with the range equation; the valley imaged by a C-band satellite radar
// in parallel and in crossed polarisation; the radar bands in the electromagnetic spectrum; and real
// against synthetic aperture.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Radar.h"

#include <QPainterPath>
#include <cmath>

namespace {

const QColor kInk(25, 25, 35), kBeam(35, 85, 200), kEcho(225, 105, 0), kTitle(20, 40, 110);

void Plane(QPainter& p, QPointF at, double scale = 1) {
    // Seen from behind: fuselage, wings and the antenna along its belly.
    p.save();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(210, 215, 225));
    p.drawEllipse(at, 9 * scale, 9 * scale);
    p.drawRect(QRectF(at.x() - 34 * scale, at.y() - 2 * scale, 68 * scale, 4 * scale));
    p.setBrush(QColor(70, 80, 100));
    p.drawRect(QRectF(at.x() + 4 * scale, at.y() + 7 * scale, 9 * scale, 5 * scale));
    p.restore();
}

// Side-looking geometry: platform at height H over the nadir N, the beam from near range AC to far
// range AL, the slant range SR to a target and its ground range GR, the depression angle α.
QImage Geometry() {
    QImage image = Canvas(398, 260, QColor(246, 249, 253));
    QPainter p;
    BeginPainting(p, image);
    const double groundY = 198;
    const QPointF antenna(52, 44), nadir(52, groundY), target(268, groundY);
    const double nearX = 128, farX = 372;
    p.fillRect(QRectF(0, groundY, 398, 260 - groundY), QColor(200, 182, 140));
    p.setPen(QPen(QColor(110, 85, 55), 2));
    p.drawLine(QPointF(0, groundY), QPointF(398, groundY));
    // The beam.
    QColor fill = kBeam;
    fill.setAlpha(40);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPolygon(QPolygonF({antenna, QPointF(nearX, groundY), QPointF(farX, groundY)}));
    p.setPen(QPen(kBeam, 1.2, Qt::DashLine));
    p.drawLine(antenna, QPointF(nearX, groundY));
    p.drawLine(antenna, QPointF(farX, groundY));
    // Height and nadir.
    p.setPen(QPen(kInk, 1.5, Qt::DashLine));
    p.drawLine(antenna, nadir);
    // Slant range to the target, ground range from the nadir.
    p.setPen(QPen(kEcho, 3));
    p.drawLine(antenna, target);
    p.setPen(QPen(kInk, 1.8));
    DrawDoubleArrow(p, nadir + QPointF(0, 14), target + QPointF(0, 14), 7);
    p.setBrush(kEcho);
    p.setPen(Qt::NoPen);
    p.drawEllipse(target, 4.5, 4.5);
    // The depression angle, below the horizontal through the antenna.
    p.setPen(QPen(kInk, 1.2, Qt::DotLine));
    p.drawLine(antenna, antenna + QPointF(200, 0));
    double down = std::atan2(target.y() - antenna.y(), target.x() - antenna.x());
    p.setPen(QPen(kInk, 1.6));
    DrawAngleArc(p, antenna, 70, 0, down, 20);
    Plane(p, antenna + QPointF(0, -8));

    p.setPen(kInk);
    p.setFont(SansFont(15, true));
    DrawText(p, antenna + QPointF(-8, 82), QString::fromUtf8("H"), Qt::AlignRight | Qt::AlignVCenter);
    DrawText(p, nadir + QPointF(-5, 3), QString::fromUtf8("N"), Qt::AlignRight | Qt::AlignTop);
    DrawText(p, QPointF((nadir.x() + target.x()) / 2, groundY + 16), QString::fromUtf8("GR"),
             Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, QPointF(nearX - 6, groundY - 2), QString::fromUtf8("AC"), Qt::AlignRight | Qt::AlignBottom);
    DrawText(p, QPointF(farX - 2, groundY - 2), QString::fromUtf8("AL"), Qt::AlignRight | Qt::AlignBottom);
    p.setPen(kEcho.darker(125));
    DrawText(p, QPointF(178, 128), QString::fromUtf8("SR"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(kInk);
    p.setFont(SerifFont(18, true));
    DrawText(p, antenna + QPointF(76, 14), QString::fromUtf8("α"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setFont(SansFont(12));
    DrawText(p, QPointF(250, groundY - 4), QString::fromUtf8("objeto"), Qt::AlignHCenter | Qt::AlignBottom);
    DrawHeading(p, {386, 8}, QString::fromUtf8("Geometría de la toma"), 14, kTitle,
                Qt::AlignRight | Qt::AlignTop);
    p.setFont(SansFont(12));
    p.setPen(kInk);
    DrawText(p, {386, 28}, QString::fromUtf8("SR = H / sen α"), Qt::AlignRight | Qt::AlignTop);
    DrawText(p, {386, 44}, QString::fromUtf8("GR² = SR² − H²"), Qt::AlignRight | Qt::AlignTop);
    // The swath, bracketed under the ground.
    p.setPen(QPen(kBeam.darker(120), 1.5));
    p.drawLine(QPointF(nearX, groundY + 2), QPointF(nearX, 244));
    p.drawLine(QPointF(farX, groundY + 2), QPointF(farX, 244));
    DrawDoubleArrow(p, {nearX, 240}, {farX, 240}, 7);
    p.setPen(kBeam.darker(140));
    p.setFont(SansFont(12, true));
    DrawText(p, {(nearX + farX) / 2 + 40, 241}, QString::fromUtf8("franja iluminada"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return image;
}

// A wave packet along a line, for pulses and echoes.
void Packet(QPainter& p, QPointF from, QPointF to, double amplitude, double cycles, QColor colour) {
    QPointF along = to - from;
    double length = std::hypot(along.x(), along.y());
    QPointF across(-along.y() / length, along.x() / length);
    QPainterPath path;
    for (int k = 0; k <= 120; ++k) {
        double t = k / 120.0;
        double envelope = std::sin(M_PI * t);
        QPointF q = from + along * t + across * (amplitude * envelope * std::sin(2 * M_PI * cycles * t));
        k ? path.lineTo(q) : path.moveTo(q);
    }
    p.save();
    p.setPen(QPen(colour, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

// The principle: a pulse goes out, its echo comes back after t, and the range is half the path.
QImage PulseAndEcho() {
    QImage image = Canvas(325, 250, QColor(246, 249, 253));
    QPainter p;
    BeginPainting(p, image);
    DrawHeading(p, {162, 6}, QString::fromUtf8("Pulso y eco"), 15, kTitle, Qt::AlignHCenter | Qt::AlignTop);
    // Antenna on the left, a building on the right.
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(70, 80, 100));
    p.drawRect(QRectF(12, 46, 10, 46));
    p.setBrush(QColor(220, 200, 170));
    p.drawRect(QRectF(270, 36, 44, 70));
    p.setBrush(QColor(150, 70, 50));
    p.drawPolygon(QPolygonF({QPointF(266, 36), QPointF(292, 20), QPointF(318, 36)}));
    Packet(p, {30, 56}, {120, 56}, 9, 5, kBeam);
    p.setPen(QPen(kBeam, 2));
    DrawArrow(p, {126, 56}, {258, 56}, 9);
    Packet(p, {250, 84}, {160, 84}, 5, 5, kEcho);
    p.setPen(QPen(kEcho, 2));
    DrawArrow(p, {154, 84}, {32, 84}, 9);
    p.setFont(SansFont(13, true));
    p.setPen(kBeam.darker(120));
    DrawText(p, {190, 50}, QString::fromUtf8("pulso emitido"), Qt::AlignHCenter | Qt::AlignBottom);
    p.setPen(kEcho.darker(125));
    DrawText(p, {100, 92}, QString::fromUtf8("eco"), Qt::AlignHCenter | Qt::AlignTop);
    p.setPen(QPen(kInk, 1.5));
    DrawDoubleArrow(p, {22, 118}, {270, 118}, 7);
    p.setPen(kInk);
    p.setFont(SansFont(13, true));
    DrawText(p, {146, 116}, QString::fromUtf8("SR"), Qt::AlignHCenter | Qt::AlignBottom);

    // What the receiver records against time.
    const double axisY = 184, t0 = 30, t1 = 262;
    p.setPen(QPen(kInk, 1.5));
    DrawArrow(p, {16, axisY}, {312, axisY}, 8);
    p.setPen(QPen(kBeam, 2.5));
    p.drawLine(QPointF(t0, axisY), QPointF(t0, axisY - 52));
    p.setPen(QPen(kEcho, 2.5));
    p.drawLine(QPointF(t1, axisY), QPointF(t1, axisY - 20));
    p.setPen(QPen(kInk, 1.5));
    DrawDoubleArrow(p, {t0, axisY - 30}, {t1, axisY - 30}, 7);
    p.setPen(kInk);
    p.setFont(SerifFont(16, true));
    DrawText(p, {(t0 + t1) / 2, axisY - 32}, QString::fromUtf8("t"), Qt::AlignHCenter | Qt::AlignBottom);
    p.setFont(SansFont(12));
    DrawText(p, {312, axisY - 3}, QString::fromUtf8("tiempo"), Qt::AlignRight | Qt::AlignBottom);
    DrawText(p, {t0, axisY + 3}, QString::fromUtf8("emisión"), Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {t1 - 10, axisY + 3}, QString::fromUtf8("llegada del eco"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(17, true));
    p.setPen(kTitle);
    DrawText(p, {162, 204}, QString::fromUtf8("SR = c · t / 2"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(12));
    p.setPen(kInk);
    DrawText(p, {162, 247}, QString::fromUtf8("a 10 km el eco vuelve en 66,7 µs"),
             Qt::AlignHCenter | Qt::AlignBottom);
    p.end();
    return image;
}

// The valley by a C-band satellite radar, sent and received horizontally (HH) and received vertically
// (HV): crossed polarisation brings out the forest, whose canopy depolarises the wave.
QImage Polarisations() {
    // The page shrinks this picture to 89 % across and 84 % down: the lettering is large and bold.
    QImage image = Canvas(282, 203, QColor(30, 34, 44));
    RadarView view;
    view.X0 = 3600, view.Y0 = 2800;
    view.Across = 6000, view.Along = 6300;
    view.Width = 136, view.Height = 143;
    view.Altitude = 790000;
    view.NearIncidence = 23;
    view.Looks = 6;
    view.Seed = 42;
    QImage hh = RadarToGrey(RadarImage(view), 0.01, 0.96);
    view.CrossPol = true;
    QImage hv = RadarToGrey(RadarImage(view), 0.01, 0.99);
    QPainter p;
    BeginPainting(p, image);
    p.drawImage(QPointF(3, 26), hh);
    p.drawImage(QPointF(143, 26), hv);
    p.setPen(Qt::white);
    p.setFont(SansFont(19, true));
    DrawText(p, {71, 2}, QString::fromUtf8("HH"), Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {211, 2}, QString::fromUtf8("HV"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(17, true));
    DrawText(p, {141, 201}, QString::fromUtf8("HV: resalta la vegetación"),
             Qt::AlignHCenter | Qt::AlignBottom);
    p.end();
    return image;
}

// The radar bands in the electromagnetic spectrum: the whole spectrum from ultraviolet to radio, and
// the microwaves from 1 mm to 1 m enlarged with the bands X, C, L and P. The page shows the top 176 rows.
QImage RadarBands() {
    QImage image = Canvas(490, 220, QColor(250, 251, 253));
    QPainter p;
    BeginPainting(p, image);
    DrawHeading(p, {245, 3}, QString::fromUtf8("Bandas de radar en el espectro electromagnético"), 15, kTitle,
                Qt::AlignHCenter | Qt::AlignTop);

    // The whole spectrum, 0,1 µm to 10 m, on a logarithmic scale.
    const double left = 14, right = 476, top = 26, height = 20;
    auto spectrumX = [&](double metres) { return left + (std::log10(metres) + 7) / 8 * (right - left); };
    struct Region {
        double From, To;
        const char* Name;
        QColor Colour;
    };
    const Region regions[] = {{1e-7, 4e-7, "UV", QColor(180, 160, 220)},
                              {4e-7, 7e-7, "", QColor(0, 0, 0)},
                              {7e-7, 1e-3, "Infrarrojo", QColor(230, 170, 150)},
                              {1e-3, 1, "Microondas", QColor(150, 200, 230)},
                              {1, 10, "Radio", QColor(200, 200, 200)}};
    for (const Region& r : regions) {
        QRectF box(spectrumX(r.From), top, spectrumX(r.To) - spectrumX(r.From), height);
        if (r.Name[0]) {
            p.fillRect(box, r.Colour);
            p.setPen(kInk);
            p.setFont(SansFont(12, true));
            DrawText(p, box.center(), QString::fromUtf8(r.Name), Qt::AlignCenter);
        } else {
            for (double x = box.left(); x < box.right(); x += 1) {
                double um = 0.4 + 0.3 * (x - box.left()) / box.width();
                p.fillRect(QRectF(x, top, 1.2, height), SpectrumColour(um));
            }
        }
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(left, top, right - left, height));
    p.setFont(SansFont(11));
    DrawText(p, {spectrumX(5.5e-7), top + height + 2}, QString::fromUtf8("visible"),
             Qt::AlignHCenter | Qt::AlignTop);

    // The microwaves enlarged: 1 mm to 1 m.
    const double zoomTop = 72, zoomHeight = 44;
    auto zoomX = [&](double metres) { return left + (std::log10(metres) + 3) / 3 * (right - left); };
    p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DashLine));
    p.drawLine(QPointF(spectrumX(1e-3), top + height), QPointF(left, zoomTop));
    p.drawLine(QPointF(spectrumX(1), top + height), QPointF(right, zoomTop));
    p.fillRect(QRectF(left, zoomTop, right - left, zoomHeight), QColor(225, 238, 248));
    struct Letter {
        double FromCm, ToCm;
        const char* Name;
        QColor Colour;
        bool Main;
    };
    const Letter bands[] = {
        {0.75, 1.11, "Ka", QColor(200, 210, 220), false}, {1.11, 1.67, "K", QColor(215, 222, 230), false},
        {1.67, 2.4, "Ku", QColor(200, 210, 220), false},  {2.4, 3.75, "X", QColor(230, 90, 70), true},
        {3.75, 7.5, "C", QColor(240, 170, 50), true},     {7.5, 15, "S", QColor(215, 222, 230), false},
        {15, 30, "L", QColor(90, 170, 90), true},         {30, 100, "P", QColor(90, 130, 210), true}};
    for (const Letter& b : bands) {
        QRectF box(zoomX(b.FromCm / 100), zoomTop, zoomX(b.ToCm / 100) - zoomX(b.FromCm / 100), zoomHeight);
        p.fillRect(box, b.Colour);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(b.Main ? Qt::white : QColor(90, 90, 90));
        p.setFont(SansFont(b.Main ? 18 : 11, true));
        DrawText(p, box.center(), QString::fromUtf8(b.Name), Qt::AlignCenter);
    }
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(left, zoomTop, right - left, zoomHeight));
    p.setFont(SansFont(11));
    const struct {
        double Metres;
        const char* Text;
    } ticks[] = {{1e-3, "1 mm"}, {1e-2, "1 cm"}, {1e-1, "10 cm"}, {1, "1 m"}};
    for (const auto& t : ticks) {
        double x = zoomX(t.Metres);
        p.drawLine(QPointF(x, zoomTop + zoomHeight), QPointF(x, zoomTop + zoomHeight + 4));
        Qt::Alignment a = t.Metres < 2e-3  ? Qt::AlignLeft
                          : t.Metres > 0.5 ? Qt::AlignRight
                                           : Qt::AlignHCenter;
        DrawText(p, {x, zoomTop + zoomHeight + 4}, QString::fromUtf8(t.Text), a | Qt::AlignTop);
    }
    p.setPen(QColor(60, 60, 60));
    DrawText(p, {left + 6, zoomTop + zoomHeight / 2}, QString::fromUtf8("longitud de onda λ"),
             Qt::AlignLeft | Qt::AlignVCenter);

    // The four bands the course uses, with their ranges.
    const struct {
        double Centre;
        const char* Text;
        QColor Colour;
    } notes[] = {{3.0, "X: 2,4–3,75 cm", QColor(200, 60, 40)},
                 {5.3, "C: 3,75–7,5 cm", QColor(190, 120, 20)},
                 {21, "L: 15–30 cm", QColor(50, 130, 50)},
                 {55, "P: 30–100 cm", QColor(50, 90, 180)}};
    const double labelX[] = {96, 205, 318, 418};
    p.setFont(SansFont(12, true));
    for (int k = 0; k < 4; ++k) {
        double x = zoomX(notes[k].Centre / 100);
        p.setPen(QPen(notes[k].Colour, 1.2));
        p.drawLine(QPointF(x, zoomTop + zoomHeight + 18), QPointF(labelX[k], 152));
        p.setPen(notes[k].Colour);
        DrawText(p, {labelX[k], 153}, QString::fromUtf8(notes[k].Text), Qt::AlignHCenter | Qt::AlignTop);
    }
    p.end();
    return image;
}

// Real against synthetic aperture, seen from above: the real beam widens with range, so its azimuth
// resolution worsens; the synthetic antenna is the stretch of track along which a target stays in the
// beam, and its resolution, L/2, is the same at every range.
QImage Apertures() {
    QImage image = Canvas(498, 262, QColor(250, 251, 253));
    QPainter p;
    BeginPainting(p, image);
    p.setPen(QPen(QColor(200, 205, 215), 1));
    p.drawLine(QPointF(249, 8), QPointF(249, 254));
    DrawHeading(p, {124, 4}, QString::fromUtf8("RAR: apertura real"), 15, kTitle,
                Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {374, 4}, QString::fromUtf8("SAR: apertura sintética"), Qt::AlignHCenter | Qt::AlignTop);

    // RAR: the flight line runs down the left, the beam widens to the right.
    const double trackX = 26;
    p.setPen(QPen(kInk, 1.5, Qt::DashLine));
    p.drawLine(QPointF(trackX, 30), QPointF(trackX, 250));
    p.setPen(QPen(kInk, 1.5));
    DrawArrow(p, {trackX, 210}, {trackX, 248}, 8);
    const QPointF antenna(trackX, 130);
    QColor fill = kBeam;
    fill.setAlpha(45);
    const double spread = 0.28; // half the beam's angular width, λ / L, exaggerated
    QPolygonF beam({antenna, antenna + QPointF(210, -210 * spread), antenna + QPointF(210, 210 * spread)});
    p.setPen(QPen(kBeam, 1.2));
    p.setBrush(fill);
    p.drawPolygon(beam);
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(70, 80, 100));
    p.drawRect(QRectF(antenna.x() - 4, antenna.y() - 14, 8, 28));
    for (double range : {70.0, 180.0}) {
        double half = range * spread;
        p.setPen(QPen(kEcho, 2.2));
        DrawDoubleArrow(p, antenna + QPointF(range, -half), antenna + QPointF(range, half), 7);
    }
    p.setPen(kEcho.darker(125));
    p.setFont(SansFont(12, true));
    DrawText(p, antenna + QPointF(76, 0), QString::fromUtf8("Ra"), Qt::AlignLeft | Qt::AlignVCenter);
    DrawText(p, antenna + QPointF(186, 0), QString::fromUtf8("Ra"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(kInk);
    p.setFont(SansFont(12));
    DrawText(p, antenna + QPointF(12, -22), QString::fromUtf8("L"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setFont(SansFont(13, true));
    DrawText(p, {136, 216}, QString::fromUtf8("Ra = SR · λ / L"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(12));
    DrawText(p, {136, 234}, QString::fromUtf8("crece con la distancia"), Qt::AlignHCenter | Qt::AlignTop);

    // SAR: the same small antenna at successive places along the track, all seeing one target.
    const double sarX = 276;
    const QPointF target(452, 130);
    p.setPen(QPen(kInk, 1.5, Qt::DashLine));
    p.drawLine(QPointF(sarX, 30), QPointF(sarX, 250));
    p.setPen(QPen(kInk, 1.5));
    DrawArrow(p, {sarX, 210}, {sarX, 248}, 8);
    const double first = 70, last = 190;
    for (double y = first; y <= last + 0.1; y += 30) {
        QPointF at(sarX, y);
        QColor f = kBeam;
        f.setAlpha(22);
        p.setPen(Qt::NoPen);
        p.setBrush(f);
        double half = (target.x() - sarX) * 0.36;
        p.drawPolygon(
            QPolygonF({at, QPointF(target.x() + 10, y - half), QPointF(target.x() + 10, y + half)}));
        double shift = target.y() - y;
        p.setPen(QPen(shift > 0 ? QColor(200, 40, 40) : shift < 0 ? QColor(40, 120, 40) : kInk, 1.2));
        p.drawLine(at, target);
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(70, 80, 100));
        p.drawRect(QRectF(at.x() - 3, at.y() - 7, 6, 14));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kEcho);
    p.drawEllipse(target, 5, 5);
    p.setPen(kInk);
    p.setFont(SansFont(12));
    DrawText(p, target + QPointF(0, 9), QString::fromUtf8("objeto"), Qt::AlignHCenter | Qt::AlignTop);
    p.setPen(QPen(kEcho, 2.2));
    DrawDoubleArrow(p, {sarX - 14, first}, {sarX - 14, last}, 7);
    p.setPen(kEcho.darker(125));
    p.setFont(SansFont(12, true));
    DrawText(p, {sarX + 8, first - 20}, QString::fromUtf8("antena sintética"),
             Qt::AlignLeft | Qt::AlignVCenter);
    p.setFont(SansFont(12, true));
    p.setPen(QColor(200, 40, 40));
    DrawText(p, {sarX + 58, 84}, QString::fromUtf8("Doppler +"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QColor(40, 120, 40));
    DrawText(p, {sarX + 58, 178}, QString::fromUtf8("Doppler −"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(kInk);
    p.setFont(SansFont(13, true));
    DrawText(p, {380, 216}, QString::fromUtf8("Ra = L / 2"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(12));
    DrawText(p, {380, 234}, QString::fromUtf8("igual a cualquier distancia"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page42() {
    return {
        {"p42-geometria-radar.bmp", [] { return EncodeBitmap24(Geometry()); }},
        {"p42-pulso-eco.bmp", [] { return EncodeBitmap24(PulseAndEcho()); }},
        {"p42-polarizacion-hh-hv.jpg", [] { return EncodeJpeg(Polarisations(), JpegColour(88)); }},
        {"p42-bandas-radar.bmp", [] { return EncodeBitmap8(Quantize(RadarBands(), 256)); }},
        {"p42-apertura-real-sintetica.bmp", [] { return EncodeBitmap8(Quantize(Apertures(), 256)); }},
    };
}
