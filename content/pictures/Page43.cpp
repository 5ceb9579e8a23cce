// Page 43: radar geometry. The first picture shows two acquisitions of the same hill from one side
// at two incidence angles: the look angle at each antenna equals the incidence angle at the ground,
// the hilltop is moved towards each antenna by its height times the cotangent of that angle, and the
// difference of the two moves, the radar parallax, gives the height; also the local incidence angle on
// a slope, and the ranges of incidence angle of an aircraft and a satellite. The page lays its
// formula labels over the legend panel at the top right. The second picture relates the resolution
// in slant range to that on the ground.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"

#include <QPainterPath>
#include <cmath>

namespace {

const QColor kTitle(20, 40, 110);

const QColor kFirst(225, 105, 0), kSecond(35, 85, 200), kInk(25, 25, 35);

// An arc of a circle between two directions given as screen angles (radians, y down), with a label
// beyond its middle.
void AngleArc(QPainter& p, QPointF centre, double radius, double from, double to, const QString& label,
              QColor colour, double labelOffset = 16) {
    p.save();
    p.setPen(QPen(colour, 2));
    DrawAngleArc(p, centre, radius, from, to, 24);
    double mid = (from + to) / 2;
    p.setPen(colour);
    p.setFont(SerifFont(20, true));
    DrawText(p, centre + QPointF(std::cos(mid), std::sin(mid)) * (radius + labelOffset), label,
             Qt::AlignCenter);
    p.restore();
}

void Antenna(QPainter& p, QPointF at, QColor colour, const QString& name) {
    p.save();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(at.x() - 20, at.y() - 7, 40, 14), 4, 4);
    p.setPen(colour.darker(130));
    p.setFont(SansFont(15, true));
    DrawText(p, at + QPointF(-26, 0), name, Qt::AlignRight | Qt::AlignVCenter);
    p.restore();
}

// The hill that both acquisitions see, and the angles of their beams from the vertical.
const double kGroundY = 470, kHillHeight = 80;
const QPointF kPeak(430, kGroundY - kHillHeight), kBase(430, kGroundY);
const double kLook1 = 30 * M_PI / 180, kLook2 = 60 * M_PI / 180;

// The hill and the ground.
void Hill(QPainter& p) {
    QPainterPath hill;
    hill.moveTo(0, kGroundY);
    hill.lineTo(360, kGroundY);
    hill.lineTo(kPeak);
    hill.lineTo(520, kGroundY);
    hill.lineTo(585, kGroundY);
    hill.lineTo(585, 600);
    hill.lineTo(0, 600);
    hill.closeSubpath();
    p.setPen(QPen(QColor(110, 85, 55), 2));
    p.setBrush(QColor(196, 172, 128));
    p.drawPath(hill);
}

// Two acquisitions from the same side, the beams' directions as seen from far away, with the look
// angles at the antennas and the incidence angles at the hilltop.
void Acquisitions(QPainter& p) {
    const QPointF d1(std::sin(kLook1), std::cos(kLook1)), d2(std::sin(kLook2), std::cos(kLook2));
    const QPointF a1 = kPeak - d1 * 330, a2 = kPeak - d2 * 400;
    p.setPen(QPen(kFirst, 3));
    DrawArrow(p, a1, kPeak, 12);
    p.setPen(QPen(kSecond, 3));
    DrawArrow(p, a2, kPeak, 12);
    Antenna(p, a1, kFirst, QString::fromUtf8("Toma 1"));
    Antenna(p, a2, kSecond, QString::fromUtf8("Toma 2"));

    // The look angles at the antennas, from the vertical.
    p.setPen(QPen(QColor(90, 90, 90), 1.4, Qt::DashLine));
    p.drawLine(a1 + QPointF(0, 8), a1 + QPointF(0, 120));
    p.drawLine(a2 + QPointF(0, 8), a2 + QPointF(0, 120));
    AngleArc(p, a1, 70, M_PI / 2, M_PI / 2 - kLook1, QString::fromUtf8("α1"), kFirst);
    AngleArc(p, a2, 70, M_PI / 2, M_PI / 2 - kLook2, QString::fromUtf8("α"), kSecond, 18);
    // The incidence angles at the hilltop, from the vertical, equal to them.
    p.setPen(QPen(QColor(90, 90, 90), 1.4, Qt::DashLine));
    p.drawLine(kPeak, kPeak - QPointF(0, 130));
    AngleArc(p, kPeak, 56, -M_PI / 2, -M_PI / 2 - kLook1, QString::fromUtf8("β1"), kFirst);
    AngleArc(p, kPeak, 92, -M_PI / 2, -M_PI / 2 - kLook2, QString::fromUtf8("β"), kSecond);
}

// Each range front through the hilltop meets the ground where the image puts the top.
void ImagedTops(QPainter& p) {
    auto front = [&](double b, QColor colour) {
        double x = kPeak.x() - kHillHeight / std::tan(b);
        p.setPen(QPen(colour, 2, Qt::DashLine));
        p.drawLine(kPeak, QPointF(x, kGroundY));
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QPointF(x, kGroundY), 5, 5);
        return x;
    };
    double x1 = front(kLook1, kFirst), x2 = front(kLook2, kSecond);
    p.setPen(QPen(QColor(90, 90, 90), 1.4, Qt::DotLine));
    p.drawLine(kPeak, kBase);
    p.setPen(kInk);
    p.setFont(SansFont(15, true));
    DrawText(p, kBase + QPointF(6, 2), QString::fromUtf8("B"), Qt::AlignLeft | Qt::AlignTop);
    auto span = [&](double from, double to, double y, const QString& label, QColor colour) {
        p.setPen(QPen(colour, 2.2));
        DrawDoubleArrow(p, QPointF(from, y), QPointF(to, y), 8);
        p.setPen(QPen(colour, 1, Qt::DotLine));
        p.drawLine(QPointF(from, kGroundY), QPointF(from, y));
        p.setPen(colour.darker(120));
        p.setFont(SansFont(15, true));
        DrawText(p, QPointF((from + to) / 2, y - 1), label, Qt::AlignHCenter | Qt::AlignBottom);
    };
    span(x1, kBase.x(), 500, QString::fromUtf8("d1"), kFirst);
    span(x2, kBase.x(), 530, QString::fromUtf8("d2"), kSecond);
    span(x1, x2, 560, QString::fromUtf8("Dp"), kInk);
    p.setPen(kInk);
    p.setFont(SansFont(13));
    DrawText(p, {150, 478}, QString::fromUtf8("cima en la imagen 1 y 2"), Qt::AlignHCenter | Qt::AlignTop);
    p.setPen(QPen(kInk, 1));
    DrawArrow(p, {230, 488}, {x1 - 6, 474}, 6);
}

// The local incidence angle on the slope that faces the antennas.
void LocalIncidence(QPainter& p) {
    const QPointF d2(std::sin(kLook2), std::cos(kLook2));
    const QPointF slope(381, kGroundY - kHillHeight * 0.3);
    const double tilt = std::atan2(kHillHeight, 70.0);
    QPointF normal(-std::sin(tilt), -std::cos(tilt));
    p.setPen(QPen(kInk, 2));
    // Longer than the arc's radius and its label's distance, so that θ stands clear of the arrowhead.
    DrawArrow(p, slope, slope + normal * 72, 9);
    p.setPen(QPen(kSecond, 1.6));
    p.drawLine(slope - d2 * 150, slope);
    AngleArc(p, slope, 34, std::atan2(normal.y(), normal.x()), std::atan2(-d2.y(), -d2.x()),
             QString::fromUtf8("θ"), kInk, 12);
    p.setPen(kInk);
    p.setFont(SansFont(14));
    DrawTextBox(p, QRectF(14, 392, 250, 44),
                QString::fromUtf8("θ: incidencia local, medida desde la normal a la ladera"),
                Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QPen(kInk, 1));
    DrawArrow(p, {262, 414}, slope + QPointF(-34, -14), 6);
}

// The legend panel: the page writes its title and the two equalities over it.
void LegendPanel(QPainter& p) {
    QRectF panel(590, 14, 200, 136);
    p.setPen(QPen(QColor(30, 40, 80), 1.5));
    p.setBrush(QColor(252, 252, 255));
    p.drawRoundedRect(panel, 8, 8);
    // A dark header band under the title, rounded at the top only.
    QPainterPath header;
    header.setFillRule(Qt::WindingFill);
    header.addRoundedRect(QRectF(panel.left(), panel.top(), panel.width(), 40), 8, 8);
    header.addRect(QRectF(panel.left(), panel.top() + 20, panel.width(), 20));
    p.fillPath(header, QColor(25, 35, 90));
    // Colour keys for the two equalities, which sit to their right.
    p.setPen(QPen(kFirst, 4));
    p.drawLine(QPointF(600, 80), QPointF(634, 80));
    p.setPen(QPen(kSecond, 4));
    p.drawLine(QPointF(600, 124), QPointF(634, 124));
}

// Aircraft against satellite: the spread of incidence angles across the swath.
void Swaths(QPainter& p) {
    QRectF inset(590, 164, 200, 232);
    p.setPen(QPen(QColor(190, 196, 210), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(inset, 8, 8);
    DrawHeading(p, {inset.center().x(), inset.top() + 6}, QString::fromUtf8("Avión y satélite"), 14, kTitle,
                Qt::AlignHCenter | Qt::AlignTop);
    const double ground = inset.bottom() - 46;
    p.setPen(QPen(QColor(110, 85, 55), 2));
    p.drawLine(QPointF(inset.left() + 6, ground), QPointF(inset.right() - 6, ground));
    auto fan = [&](QPointF from, double nearDeg, double farDeg, QColor colour, const QString& text,
                   double textY) {
        double hgt = ground - from.y();
        QPointF n(from.x() + hgt * std::tan(nearDeg * M_PI / 180), ground),
            f(from.x() + hgt * std::tan(farDeg * M_PI / 180), ground);
        QPolygonF beam({from, n, f});
        p.setPen(Qt::NoPen);
        QColor fill = colour;
        fill.setAlpha(60);
        p.setBrush(fill);
        p.drawPolygon(beam);
        p.setPen(QPen(colour, 1.8));
        p.drawLine(from, n);
        p.drawLine(from, f);
        p.setBrush(colour);
        p.drawEllipse(from, 5, 4);
        p.setPen(colour.darker(120));
        p.setFont(SansFont(13, true));
        DrawText(p, {inset.center().x(), textY}, text, Qt::AlignHCenter | Qt::AlignTop);
    };
    fan({inset.left() + 8, inset.top() + 40}, 20, 50, QColor(120, 60, 170),
        QString::fromUtf8("satélite: 20° a 50°"), ground + 6);
    fan({inset.left() + 16, ground - 26}, 30, 80, QColor(30, 130, 70),
        QString::fromUtf8("avión: 30° a más de 80°"), ground + 24);
}

// Stereoscopy in numbers.
void Parallax(QPainter& p) {
    QRectF formula(590, 410, 200, 138);
    p.setPen(QPen(QColor(190, 196, 210), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(formula, 8, 8);
    DrawHeading(p, {formula.center().x(), formula.top() + 6}, QString::fromUtf8("Paralaje radar"), 14, kTitle,
                Qt::AlignHCenter | Qt::AlignTop);
    p.setPen(kInk);
    p.setFont(SansFont(14));
    const char* lines[] = {"d1 = DH · cotg β1", "d2 = DH · cotg β", "Dp = d1 − d2"};
    for (int k = 0; k < 3; ++k)
        DrawText(p, {formula.left() + 14, formula.top() + 30 + 20 * k}, QString::fromUtf8(lines[k]));
    p.setFont(SansFont(14, true));
    DrawText(p, {formula.center().x(), formula.top() + 96}, QString::fromUtf8("DH = Dp / (cotg β1 − cotg β)"),
             Qt::AlignHCenter | Qt::AlignTop);
}

QImage IncidenceAngles() {
    QImage image = Canvas(800, 600, QColor(244, 247, 251));
    QPainter p;
    BeginPainting(p, image);
    DrawHeading(p, {14, 10}, QString::fromUtf8("Incidencia y estereoscopía radar"), 19, kTitle);
    Hill(p);
    Acquisitions(p);
    ImagedTops(p);
    LocalIncidence(p);
    LegendPanel(p);
    Swaths(p);
    Parallax(p);
    p.end();
    return image;
}

// Slant-range and ground-range resolution: two echoes are told apart when their fronts are a pulse
// apart, e = c·τ/2, measured along the beam; on the ground the same pulse covers a = e / cos β, where β
// is the angle between beam and ground. Drawn at near range (steep beam) and far range (flat beam).
QImage RangeResolution() {
    QImage image = Canvas(608, 504, QColor(248, 250, 253));
    QPainter p;
    BeginPainting(p, image);
    DrawHeading(p, {304, 10}, QString::fromUtf8("Resolución en el rango"), 24, kTitle,
                Qt::AlignHCenter | Qt::AlignTop);
    p.setPen(kInk);
    p.setFont(SansFont(18));
    DrawTextBox(p, QRectF(20, 48, 568, 56),
                QString::fromUtf8("Dos objetos se separan si los frentes de sus ecos distan más de medio "
                                  "pulso (e) a lo largo del haz"),
                Qt::AlignHCenter | Qt::AlignTop);
    const double groundY = 372, e = 56;
    p.fillRect(QRectF(0, groundY, 608, 504 - groundY), QColor(196, 172, 128));
    p.setPen(QPen(QColor(110, 85, 55), 2.5));
    p.drawLine(QPointF(0, groundY), QPointF(608, groundY));

    auto draw = [&](double grazingDeg, double x, double titleX, const QString& title, QColor colour) {
        const double beta = grazingDeg * M_PI / 180;
        const QPointF d(std::cos(beta), std::sin(beta));  // along the beam, down to the right
        const QPointF w(std::sin(beta), -std::cos(beta)); // along a front, up to the right
        const double a = e / std::cos(beta);
        QPointF g1(x, groundY), g2(x + a, groundY);
        // The pulse: the band between its two fronts.
        QPolygonF pulse({g1, g2, g2 + w * 150, g1 + w * 150});
        QColor fill = colour;
        fill.setAlpha(55);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawPolygon(pulse);
        p.setPen(QPen(colour, 2.2));
        p.drawLine(g1, g1 + w * 185);
        p.drawLine(g2, g2 + w * 185);
        // The beam arriving, high enough on the front to stay clear of the angles' labels.
        p.setPen(QPen(colour.darker(120), 3));
        QPointF hit = g1 + w * 125;
        DrawArrow(p, hit - d * 210, hit - d * 8, 13);
        // e across the fronts, a along the ground.
        p.setPen(QPen(kInk, 2));
        DrawDoubleArrow(p, g1 + w * 168, g1 + w * 168 + d * e, 8);
        p.setFont(SerifFont(24, true));
        p.setPen(kInk);
        DrawText(p, g1 + w * 182 + d * (e / 2) + QPointF(-4, -4), QString::fromUtf8("e"),
                 Qt::AlignHCenter | Qt::AlignBottom);
        p.setPen(QPen(QColor(160, 20, 20), 3));
        DrawDoubleArrow(p, g1 + QPointF(0, 16), g2 + QPointF(0, 16), 9);
        p.setPen(QColor(160, 20, 20));
        DrawText(p, QPointF((g1.x() + g2.x()) / 2, groundY + 22), QString::fromUtf8("a"),
                 Qt::AlignHCenter | Qt::AlignTop);
        // β between the beam and the ground, γ between the beam and the vertical.
        QPointF at = g2;
        p.setPen(QPen(QColor(90, 90, 90), 1.4, Qt::DashLine));
        p.drawLine(at, at - d * 110);
        p.drawLine(at, at - QPointF(0, 110));
        AngleArc(p, at, 46, M_PI, M_PI + beta, QString::fromUtf8("β"), kInk, 16);
        AngleArc(p, at, 80, -M_PI / 2, M_PI + beta - 2 * M_PI, QString::fromUtf8("γ"), kInk, 16);
        p.setPen(colour.darker(130));
        p.setFont(SansFont(19, true));
        DrawText(p, QPointF(titleX, groundY + 56), title, Qt::AlignHCenter | Qt::AlignTop);
    };
    draw(62, 50, 150, QString::fromUtf8("Alcance cercano: a grande"), kSecond);
    draw(24, 400, 455, QString::fromUtf8("Alcance lejano: a menor"), kFirst);
    p.setPen(kInk);
    p.setFont(SansFont(20));
    DrawText(p, {304, 462}, QString::fromUtf8("e = c · τ / 2      a = e / cos β"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page43() {
    return {
        {"p43-angulos-incidencia.bmp", [] { return EncodeBitmap24(IncidenceAngles()); }},
        {"p43-resolucion-rango.jpg", [] { return EncodeJpeg(RangeResolution(), JpegColour(88)); }},
    };
}
