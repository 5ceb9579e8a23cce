// Page 45: relief in radar images. A diagram sets the aerial photograph, whose central perspective
// moves hilltops away from the nadir, against the radar, which measures ranges and moves them towards
// it: layover at near range, foreshortening, and shadow at far range, with the image line computed from
// the drawn profile. Beside it, a radar image of the valley's western hills from an aircraft.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Radar.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

const QColor kTitle(20, 40, 110);

// A hill of the diagram, in pixels: feet and peak along the ground, and height.
struct Hill {
    double Front, Peak, Back, Height;
    double At(double x) const {
        if (x <= Front || x >= Back) return 0;
        return x < Peak ? Height * (x - Front) / (Peak - Front) : Height * (Back - x) / (Back - Peak);
    }
};

void Note(QPainter& p, QPointF at, const QString& text, QColor colour,
          Qt::Alignment anchor = Qt::AlignHCenter | Qt::AlignBottom) {
    p.setPen(colour);
    p.setFont(SansFont(13, true));
    DrawText(p, at, text, anchor);
}

QPainterPath Terrain(double datum, double left, double right, const std::vector<Hill>& hills) {
    QPainterPath path;
    path.moveTo(left, datum + 12);
    for (double x = left; x <= right; x += 1) {
        double z = 0;
        for (const Hill& h : hills)
            z = std::max(z, h.At(x));
        path.lineTo(x, datum - z);
    }
    path.lineTo(right, datum + 12);
    path.closeSubpath();
    return path;
}

const QColor kGround(176, 150, 110), kOutline(110, 85, 55), kRay(40, 90, 200), kShift(200, 30, 30);

// The aerial photograph: rays through the lens, the hilltop lands farther from the nadir.
void AerialPhotograph(QPainter& p) {
    DrawHeading(p, {12, 6}, QString::fromUtf8("Fotografía aérea: perspectiva central"), 16, kTitle);
    const double datum1 = 180;
    const QPointF lens(360, 58);
    const std::vector<Hill> photoHills = {{125, 180, 235, 45}, {505, 560, 615, 45}};
    p.fillRect(QRectF(0, 30, 720, datum1 - 30), QColor(238, 244, 251));
    p.setPen(QPen(kOutline, 2));
    p.setBrush(kGround);
    p.drawPath(Terrain(datum1, 10, 710, photoHills));
    p.setPen(QPen(QColor(50, 50, 50), 2));
    p.setBrush(QColor(70, 80, 100));
    p.drawRect(QRectF(lens.x() - 18, lens.y() - 26, 36, 20));
    p.drawPolygon(QPolygonF({lens + QPointF(-9, -6), lens + QPointF(9, -6), lens}));
    p.setPen(QPen(QColor(90, 90, 90), 1.2, Qt::DashLine));
    p.drawLine(lens, QPointF(lens.x(), datum1));
    Note(p, {lens.x(), datum1 + 4}, QString::fromUtf8("Nadir"), QColor(40, 40, 40),
         Qt::AlignHCenter | Qt::AlignTop);
    Note(p, lens + QPointF(26, -16), QString::fromUtf8("Cámara"), QColor(40, 40, 40),
         Qt::AlignLeft | Qt::AlignVCenter);
    for (const Hill& h : photoHills) {
        QPointF top(h.Peak, datum1 - h.Height);
        double t = (datum1 - lens.y()) / (top.y() - lens.y());
        QPointF seen(lens.x() + (top.x() - lens.x()) * t, datum1);
        p.setPen(QPen(kRay, 1.8));
        p.drawLine(lens, seen);
        p.setPen(QPen(QColor(90, 90, 90), 1.2, Qt::DotLine));
        p.drawLine(top, QPointF(top.x(), datum1));
        p.setPen(QPen(kShift, 3));
        DrawArrow(p, QPointF(top.x(), datum1 + 8), QPointF(seen.x(), datum1 + 8), 9);
        p.setBrush(kShift);
        p.setPen(Qt::NoPen);
        p.drawEllipse(seen, 4, 4);
    }
    Note(p, {180, datum1 + 26}, QString::fromUtf8("la cima se aleja del nadir"), kShift,
         Qt::AlignHCenter | Qt::AlignTop);
    Note(p, {560, datum1 + 26}, QString::fromUtf8("la cima se aleja del nadir"), kShift,
         Qt::AlignHCenter | Qt::AlignTop);
}

// The radar: circles of equal range about the antenna carry each point to its place in the image.
// Returns the hills, for the notes.
std::vector<Hill> RadarRanges(QPainter& p, double top2) {
    const double datum2 = 420, altitude = 160;
    const QPointF antenna(36, datum2 - altitude);
    DrawHeading(p, {12, top2}, QString::fromUtf8("Radar: mide distancias desde la antena"), 16, kTitle);
    const std::vector<Hill> radarHills = {{175, 205, 295, 40}, {330, 400, 530, 40}, {545, 575, 597, 32}};
    p.fillRect(QRectF(0, top2 + 24, 720, datum2 - top2 - 24), QColor(238, 244, 251));

    // The image line, computed from the same profile with a sample every quarter pixel.
    const double left = 56, right = 712, spacing = 0.25;
    const int columns = int((right - left) / spacing);
    RadarSurface surface(columns, 1, spacing, 1);
    for (int i = 0; i < columns; ++i) {
        double x = left + (i + 0.5) * spacing, z = 0;
        for (const Hill& h : radarHills)
            z = std::max(z, h.At(x));
        surface.Height[size_t(i)] = float(z);
        surface.Surface[size_t(i)] = ScattererOf(Material::Pasture);
    }
    RadarGeometry geometry;
    geometry.Altitude = altitude;
    geometry.NearRange = left - antenna.x() + spacing / 2;
    const int stripColumns = int(right - left);
    RangeLine line = ImageRow(surface, 0, geometry, stripColumns, -0.5, columns - 0.5);

    // Shadows: ground that the rays past a crest cannot reach.
    for (int i = 0; i < columns; ++i)
        if (line.Position[size_t(i)] < 0) {
            double x = left + (i + 0.5) * spacing;
            p.fillRect(
                QRectF(x, datum2 - surface.Height[size_t(i)], spacing + 0.05, 10 + surface.Height[size_t(i)]),
                QColor(70, 70, 80, 110));
        }
    p.setPen(QPen(kOutline, 2));
    p.setBrush(kGround);
    p.drawPath(Terrain(datum2, 10, 710, radarHills));
    for (int i = 0; i < columns; ++i)
        if (line.Position[size_t(i)] < 0) {
            double x = left + (i + 0.5) * spacing;
            p.fillRect(QRectF(x, datum2 - 2, spacing + 0.05, 4), QColor(40, 40, 50));
        }
    p.setPen(QPen(QColor(50, 50, 50), 2));
    p.setBrush(QColor(70, 80, 100));
    p.drawRoundedRect(QRectF(antenna.x() - 16, antenna.y() - 6, 32, 12), 3, 3);
    Note(p, antenna + QPointF(22, -2), QString::fromUtf8("Antena"), QColor(40, 40, 40),
         Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(QPen(QColor(90, 90, 90), 1.2, Qt::DashLine));
    p.drawLine(antenna, QPointF(antenna.x(), datum2));
    // The ray past the far hill's crest bounds its shadow.
    const Hill& far = radarHills[2];
    QPointF crest(far.Peak, datum2 - far.Height);
    double reach = (datum2 - antenna.y()) / (crest.y() - antenna.y());
    p.setPen(QPen(kRay, 1.5));
    p.drawLine(antenna + (crest - antenna) * 0.75, antenna + (crest - antenna) * reach);

    // Arcs of equal range through the first two hilltops, down to the ground.
    auto arc = [&](const Hill& h) {
        QPointF peak(h.Peak, datum2 - h.Height);
        double r = std::hypot(peak.x() - antenna.x(), peak.y() - antenna.y());
        double a0 = std::atan2(peak.y() - antenna.y(), peak.x() - antenna.x());
        double a1 = std::asin(std::min(1.0, (datum2 - antenna.y()) / r));
        QPainterPath path;
        for (int k = 0; k <= 40; ++k) {
            double a = a0 + (a1 - a0) * k / 40;
            QPointF q = antenna + QPointF(std::cos(a), std::sin(a)) * r;
            k ? path.lineTo(q) : path.moveTo(q);
        }
        p.setPen(QPen(kRay, 1.6, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        QPointF seen = antenna + QPointF(std::cos(a1), std::sin(a1)) * r;
        p.setPen(QPen(kShift, 3));
        DrawArrow(p, QPointF(h.Peak, datum2 + 6), QPointF(seen.x(), datum2 + 6), 8);
        p.setPen(Qt::NoPen);
        p.setBrush(kShift);
        p.drawEllipse(QPointF(seen.x(), datum2), 4, 4);
        return seen.x();
    };
    arc(radarHills[0]);
    arc(radarHills[1]);

    // The image strip under the ground line.
    const double stripTop = datum2 + 16, stripHeight = 18;
    for (int k = 0; k < stripColumns; ++k) {
        double db = 10 * std::log10(std::max(1e-5f, line.Power[size_t(k)]));
        int grey = std::clamp(int(std::lround((db + 40) / 42 * 255)), 0, 255);
        p.fillRect(QRectF(left + k, stripTop, 1, stripHeight), QColor(grey, grey, grey));
    }
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(left, stripTop, stripColumns, stripHeight));
    Note(p, {left - 4, stripTop + stripHeight / 2}, QString::fromUtf8("Imagen"), QColor(40, 40, 40),
         Qt::AlignRight | Qt::AlignVCenter);
    return radarHills;
}

// What the radar half shows, named where it happens.
void RadarNotes(QPainter& p, const std::vector<Hill>& radarHills, double top2) {
    Note(p, {radarHills[0].Peak, top2 + 90}, QString::fromUtf8("Inversión del relieve:"), kShift);
    Note(p, {radarHills[0].Peak, top2 + 108}, QString::fromUtf8("la cima antes que el pie"), kShift);
    Note(p, {radarHills[1].Peak, top2 + 96}, QString::fromUtf8("Escorzo: ladera frontal"),
         QColor(30, 30, 30));
    Note(p, {radarHills[1].Peak, top2 + 114}, QString::fromUtf8("acortada y brillante"), QColor(30, 30, 30));
    Note(p, {650, top2 + 140}, QString::fromUtf8("Sombra radar:"), QColor(30, 30, 30));
    Note(p, {650, top2 + 158}, QString::fromUtf8("sin eco"), QColor(30, 30, 30));
    p.setPen(QColor(20, 40, 110));
    p.setFont(SansFont(13));
    DrawText(p, {712, top2 + 30}, QString::fromUtf8("alcance cercano → alcance lejano"),
             Qt::AlignRight | Qt::AlignTop);
}

QImage ReliefDisplacement() {
    QImage image = Canvas(720, 486);
    QPainter p;
    BeginPainting(p, image);
    AerialPhotograph(p);
    const double top2 = 222;
    RadarNotes(p, RadarRanges(p, top2), top2);
    p.end();
    return image;
}

// The western hills and the reservoir from an aircraft flying north at 2 000 m and looking east, from
// 20 degrees of incidence at the near edge to 71 at the far edge: slopes facing the radar are shortened
// and bright at near range, slopes turned away darker; still water returns nothing. At a steeper near
// edge the valley floor, below the area's mean level, would lie nearer the antenna than any echo the
// near edge can show, and the edge would stay black.
QImage HillsRadarImage() {
    RadarView view;
    view.X0 = 0, view.Y0 = 6400;
    view.Across = 5000, view.Along = 3890;
    view.Width = 544, view.Height = 423;
    view.Altitude = 2000;
    view.NearIncidence = 20;
    view.Looks = 8;
    view.Seed = 45;
    QImage image = RadarToGrey(RadarImage(view), 0.01, 0.995).convertToFormat(QImage::Format_RGB32);
    QPainter p;
    BeginPainting(p, image);
    // The page shows the top-left 528 x 418 pixels.
    auto degrees = [&](double metres) {
        return QString::number(int(std::lround(RadarIncidence(view, metres))));
    };
    DrawOutlinedArrow(p, {300, 20}, {370, 20}, QString::fromUtf8("Haz del radar"), 14);
    DrawOutlinedArrow(p, {34, 60}, {34, 130}, QString::fromUtf8("Vuelo"), 14);
    DrawOutlinedArrow(p, {80, 398}, {12, 398},
                      QString::fromUtf8("Alcance cercano, ") + degrees(0) + QString::fromUtf8("°"), 14);
    DrawOutlinedArrow(p, {440, 372}, {516, 372},
                      QString::fromUtf8("Alcance lejano, ") + degrees(view.Across) + QString::fromUtf8("°"),
                      14);
    DrawScaleBar(p, {400, 398}, view.Across / view.Width, 1000, QString::fromUtf8("1 km"), 14);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page45() {
    return {
        {"p45-desplazamiento-relieve.bmp", [] { return EncodeBitmap24(ReliefDisplacement()); }},
        {"p45-radar-colinas.jpg", [] { return EncodeJpeg(HillsRadarImage(), JpegColour(85)); }},
    };
}
