// Page 44: how objects much larger than the wavelength return the radar beam at a small incidence
// angle: a house whose roof faces the antenna, the corner between wall and ground, the far roof and
// the shadow, with the echo the radar records along the range computed from the same profile; the
// roughness of surfaces against the wavelength; and a tactical airborne radar image of the town.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Radar.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

const QColor kTitle(20, 40, 110);

// The house of the diagram, in metres: walls at 17 and 27 m, eaves 3,5 m high, roof pitched at 30
// degrees, seen by a beam at 30 degrees of incidence from the left.
constexpr double kWallLeft = 17, kWallRight = 27, kEave = 3.5;
constexpr double kIncidence = 30 * M_PI / 180, kPitch = 30 * M_PI / 180;
constexpr double kScale = 16, kLeft = 40, kGround = 330; // pixels a metre, and where 0 m lies
const double kRidge = kEave + (kWallRight - kWallLeft) / 2 * std::tan(kPitch);

QPointF Screen(double x, double z) {
    return {kLeft + x * kScale, kGround - z * kScale};
}

double RoofHeight(double x) {
    if (x < kWallLeft || x > kWallRight) return 0;
    double mid = (kWallLeft + kWallRight) / 2;
    return kRidge - std::abs(x - mid) * std::tan(kPitch);
}

// Where a point's echo lands on the ground range: along the wavefront through it, down to the ground.
double GroundImage(double x, double z) {
    return x - z / std::tan(kIncidence);
}

void Label(QPainter& p, const QRectF& box, const QString& text, QColor colour) {
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRoundedRect(box, 4, 4);
    p.setPen(colour);
    DrawTextBox(p, box.adjusted(4, 1, -4, -1), text, Qt::AlignCenter);
    p.restore();
}

// Sky, ground and the house with the shadow it casts; returns where the shadow ends on the ground.
double House(QPainter& p) {
    // Sky and ground.
    QLinearGradient sky(0, 36, 0, kGround);
    sky.setColorAt(0, QColor(222, 236, 250));
    sky.setColorAt(1, QColor(245, 249, 253));
    p.fillRect(QRectF(0, 36, 800, kGround - 36), sky);
    p.fillRect(QRectF(0, kGround, 800, 14), QColor(150, 172, 108));
    p.setPen(QPen(QColor(90, 110, 60), 2));
    p.drawLine(QPointF(0, kGround), QPointF(800, kGround));

    // The shadow behind the far wall: the ray past the far eave reaches the ground here.
    const double shadowEnd = kWallRight + kEave * std::tan(kIncidence);
    p.fillRect(QRectF(Screen(kWallRight, 0), Screen(shadowEnd, 0) + QPointF(0, 14)), QColor(60, 60, 70));

    // The house.
    QPainterPath walls;
    walls.addRect(QRectF(Screen(kWallLeft, kEave), Screen(kWallRight, 0)));
    p.fillPath(walls, QColor(236, 222, 196));
    p.setPen(QPen(QColor(90, 70, 50), 2));
    p.drawPath(walls);
    QPolygonF roof;
    roof << Screen(kWallLeft - 0.4, kEave - 0.4 * std::tan(kPitch))
         << Screen((kWallLeft + kWallRight) / 2, kRidge)
         << Screen(kWallRight + 0.4, kEave - 0.4 * std::tan(kPitch));
    p.setBrush(QColor(150, 160, 175));
    p.setPen(QPen(QColor(60, 65, 80), 2.5));
    p.drawPolygon(roof);
    return shadowEnd;
}

// The antenna far up the beam, and what becomes of the beam at the roof, the wall and the open ground.
void Reflections(QPainter& p, QPointF d, QColor beam, QColor back) {
    auto incoming = [&](QPointF at, double length, QColor colour) {
        p.setPen(QPen(colour, 2.5));
        DrawArrow(p, at - d * length, at, 11);
    };
    // Antenna, far up the beam.
    const QPointF facet = Screen(19.5, RoofHeight(19.5));
    QPointF antenna = facet - d * 235;
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(70, 80, 100));
    p.drawRoundedRect(QRectF(antenna.x() - 30, antenna.y() - 7, 60, 14), 4, 4);
    p.setPen(QColor(40, 40, 40));
    p.setFont(SansFont(14, true));
    DrawText(p, antenna + QPointF(-36, 0), QString::fromUtf8("Antena"), Qt::AlignRight | Qt::AlignVCenter);

    const QColor away(120, 120, 120), corner(200, 30, 30);
    // 1. The roof facing the antenna lies across the beam and sends it straight back.
    incoming(facet, 190, beam);
    QPointF side(std::cos(kIncidence) * 7, -std::sin(kIncidence) * 7);
    p.setPen(QPen(back, 4));
    DrawArrow(p, facet + side, facet + side - d * 150, 14);
    // 2. The far roof turns it away, level with the ground.
    QPointF far = Screen(24.5, RoofHeight(24.5));
    incoming(far, 150, beam);
    p.setPen(QPen(away, 2.5, Qt::DashLine));
    DrawArrow(p, far, far + QPointF(170, 0), 11);
    // 3. Ground, then wall, then back: the corner reflector.
    QPointF bounce = Screen(15.5, 0), wall = Screen(kWallLeft, 1.5 / std::tan(kIncidence));
    incoming(bounce, 230, beam);
    p.setPen(QPen(corner, 3));
    p.drawLine(bounce, wall);
    DrawArrow(p, wall, wall - d * 170, 12);
    // 4. Rough open ground scatters a little everywhere.
    QPointF open = Screen(40, 0);
    incoming(open, 200, beam);
    p.setPen(QPen(QColor(90, 120, 60), 2));
    for (int k = 0; k < 7; ++k) {
        double a = (20 + k * 23.3) * M_PI / 180;
        double length = k == 4 ? 34 : 24;
        DrawArrow(p, open, open + QPointF(-std::cos(a) * length, -std::sin(a) * length), 7);
    }
    // The incidence angle at the open ground.
    p.setPen(QPen(QColor(60, 60, 60), 1.5, Qt::DashLine));
    p.drawLine(open, open - QPointF(0, 120));
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(open.x() - 80, open.y() - 80, 160, 160), 90 * 16, 30 * 16);
    p.setFont(SerifFont(18, true));
    DrawText(p, open + QPointF(-26, -104), QString::fromUtf8("θ"), Qt::AlignHCenter | Qt::AlignBottom);

    p.setFont(SansFont(14));
    Label(p, QRectF(16, 62, 224, 58),
          QString::fromUtf8("Faldón de frente a la antena: reflexión especular, eco muy intenso"),
          back.darker(130));
    Label(p, QRectF(440, 178, 160, 60),
          QString::fromUtf8("Faldón opuesto: refleja el haz lejos de la antena"), QColor(70, 70, 70));
    Label(p, QRectF(16, 262, 170, 40), QString::fromUtf8("Doble rebote suelo–pared: eco intenso"), corner);
    Label(p, QRectF(698, 256, 98, 60), QString::fromUtf8("Pasto: difusión, eco moderado"),
          QColor(60, 90, 40));
    Label(p, QRectF(468, 290, 82, 22), QString::fromUtf8("Sombra"), QColor(30, 30, 30));
}

// The echo along the ground range, computed from the same profile: a sample every 2 cm.
void EchoStrip(QPainter& p, double shadowEnd) {
    const double spacing = 0.02, length = 46;
    const int columns = int(length / spacing);
    RadarSurface surface(columns, 1, spacing, 1);
    for (int i = 0; i < columns; ++i) {
        double x = (i + 0.5) * spacing;
        bool roof = x >= kWallLeft && x <= kWallRight;
        surface.Height[size_t(i)] = float(RoofHeight(x));
        surface.Surface[size_t(i)] = ScattererOf(roof ? Material::RoofMetal : Material::Pasture);
    }
    RadarGeometry geometry;
    geometry.Altitude = 5000;
    geometry.NearRange = geometry.Altitude * std::tan(kIncidence) + spacing / 2;
    const int stripWidth = int(length * kScale);
    RangeLine line = ImageRow(surface, 0, geometry, stripWidth, -0.5, columns - 0.5);
    const double stripTop = 392, stripHeight = 28;
    // Dashed wavefronts: everything on one of them returns at the same moment.
    p.setPen(QPen(QColor(230, 110, 0), 1.5, Qt::DashLine));
    p.drawLine(Screen(kWallLeft, kEave), Screen(GroundImage(kWallLeft, kEave), 0));
    p.setPen(QPen(QColor(120, 120, 120), 1.5, Qt::DashLine));
    p.drawLine(Screen(kWallRight, kEave), Screen(GroundImage(kWallRight, kEave), 0));
    const double marks[] = {GroundImage(kWallLeft, kEave), kWallLeft, GroundImage(kWallRight, kEave),
                            shadowEnd};
    p.setPen(QPen(QColor(110, 110, 110), 1, Qt::DotLine));
    for (double m : marks)
        p.drawLine(Screen(m, 0) + QPointF(0, 14), QPointF(Screen(m, 0).x(), stripTop));
    for (int k = 0; k < stripWidth; ++k) {
        double db = 10 * std::log10(std::max(1e-5f, line.Power[size_t(k)]));
        int grey = std::clamp(int(std::lround((db + 24) / 30 * 255)), 0, 255);
        p.fillRect(QRectF(kLeft + k, stripTop, 1, stripHeight), QColor(grey, grey, grey));
    }
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(kLeft, stripTop, stripWidth, stripHeight));
    p.setPen(QColor(20, 20, 20));
    p.setFont(SansFont(14, true));
    DrawText(p, {kLeft, stripTop - 3}, QString::fromUtf8("Eco registrado a lo largo del rango"),
             Qt::AlignLeft | Qt::AlignBottom);
    p.setFont(SansFont(13));
    auto below = [&](double metres, double row, const char* text) {
        double x = Screen(metres, 0).x();
        p.setPen(QPen(QColor(80, 80, 80), 1));
        p.drawLine(QPointF(x, stripTop + stripHeight), QPointF(x, row + 2));
        p.setPen(QColor(20, 20, 20));
        DrawText(p, {x, row + 2}, QString::fromUtf8(text), Qt::AlignHCenter | Qt::AlignTop);
    };
    below(marks[0], stripTop + stripHeight + 4, "techo, adelantado");
    below(kWallLeft, stripTop + stripHeight + 22, "doble rebote");
    below((marks[2] + marks[3]) / 2, stripTop + stripHeight + 4, "sin eco: sombra");
}

// Roughness against the wavelength: a smooth, a middling and a rough surface under the same beam.
void Roughness(QPainter& p, QPointF d, QColor beam, QColor back) {
    DrawHeading(p, {400, 478},
                QString::fromUtf8("Rugosidad frente a la longitud de onda (banda X, λ ≈ 3 cm)"), 16, kTitle,
                Qt::AlignHCenter | Qt::AlignTop);
    const char* titles[] = {"Lisa: h < λ / (8 cos θ)", "Intermedia", "Rugosa: h ≫ λ"};
    const char* notes[] = {"espejo: eco nulo, tono oscuro", "eco moderado, tono medio",
                           "difusión: eco intenso, tono claro"};
    for (int k = 0; k < 3; ++k) {
        double x0 = 20 + k * 262, base = 562;
        QRectF panel(x0, 500, 248, 98);
        p.setPen(QPen(QColor(200, 205, 215), 1));
        p.setBrush(QColor(248, 250, 252));
        p.drawRoundedRect(panel, 6, 6);
        QPainterPath surfaceLine;
        surfaceLine.moveTo(x0 + 10, base);
        for (double u = 0; u <= 228; u += 2) {
            double bump = k == 0   ? 0
                          : k == 1 ? 2.2 * std::sin(u / 5)
                                   : 6 * std::sin(u / 3.1) * std::sin(u / 7.7 + 1);
            surfaceLine.lineTo(x0 + 10 + u, base - std::abs(bump));
        }
        p.setPen(QPen(QColor(110, 90, 60), 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(surfaceLine);
        QPointF hit(x0 + 124, base - 2);
        p.setPen(QPen(beam, 2.5));
        DrawArrow(p, hit - d * 40, hit, 9);
        p.setPen(QPen(k == 2 ? QColor(90, 120, 60) : back, 2.2));
        if (k == 0) {
            DrawArrow(p, hit, hit + QPointF(d.x(), -d.y()) * 40, 9);
        } else {
            // A lobe around the mirror direction that widens with roughness; the part that returns
            // towards the antenna is the echo.
            for (int a = 0; a < (k == 1 ? 5 : 9); ++a) {
                double mirror = std::atan2(-d.y(), d.x());
                double spread = k == 1 ? 0.22 : 0.36;
                double angle = k == 1 ? mirror + (a - 2) * spread : -M_PI / 2 + (a - 4) * spread;
                double len = k == 1 ? 38 - 7 * std::abs(a - 2) : 30;
                DrawArrow(p, hit, hit + QPointF(std::cos(angle), std::sin(angle)) * len, 7);
            }
        }
        p.setPen(QColor(20, 20, 20));
        p.setFont(SansFont(14, true));
        DrawText(p, {x0 + 10, 504}, QString::fromUtf8(titles[k]), Qt::AlignLeft | Qt::AlignTop);
        p.setFont(SansFont(13));
        DrawText(p, {x0 + 124, 572}, QString::fromUtf8(notes[k]), Qt::AlignHCenter | Qt::AlignTop);
    }
}

QImage SmallIncidence() {
    QImage image = Canvas(800, 600);
    QPainter p;
    BeginPainting(p, image);
    DrawHeading(p, {400, 6}, QString::fromUtf8("Incidencia pequeña: una superficie lisa actúa como espejo"),
                20, kTitle, Qt::AlignHCenter | Qt::AlignTop);
    const double shadowEnd = House(p);
    const QPointF d(std::sin(kIncidence), std::cos(kIncidence)); // the beam's direction on screen
    const QColor beam(40, 90, 200), back(230, 110, 0);
    Reflections(p, d, beam, back);
    EchoStrip(p, shadowEnd);
    Roughness(p, d, beam, back);
    p.end();
    return image;
}

// An airborne X-band radar over the town at 1,5 m a pixel, looking east from a low altitude: every
// building shows a bright front (wall and corner) and throws a long black shadow behind it.
QImage TacticalImage() {
    RadarView view;
    view.X0 = 7200, view.Y0 = 4300;
    view.Across = 760, view.Along = 628;
    view.Width = 507, view.Height = 419;
    view.Altitude = 800;
    view.NearIncidence = 68;
    view.Looks = 2;
    view.Seed = 44;
    QImage image = RadarToGrey(RadarImage(view), 0.03, 0.997, true).convertToFormat(QImage::Format_RGB32);
    QPainter p;
    BeginPainting(p, image);
    // The page shows the top-left 489 x 412 pixels.
    DrawOutlinedArrow(p, {120, 22}, {185, 22}, QString::fromUtf8("Haz del radar"), 14);
    DrawOutlinedArrow(p, {30, 60}, {30, 130}, QString::fromUtf8("Vuelo"), 14);
    DrawScaleBar(p, {370, 390}, view.Across / view.Width, 100, QString::fromUtf8("100 m"), 14);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page44() {
    return {
        {"p44-reflexion-incidencia-pequena.bmp", [] { return EncodeBitmap24(SmallIncidence()); }},
        {"p44-radar-tactico.jpg", [] { return EncodeJpeg(TacticalImage(), JpegColour(85)); }},
    };
}
