// Page 41: correcting a scene. Geometric: a scanner's image as recorded (rows in time order, the track
// heading south-south-west, the earth turning east beneath it) is brought to a north-up map grid by a
// first-degree polynomial fitted to control points, resampled by the nearest-neighbour rule.
// Radiometric: TM detector striping, lost lines and haze, and the same scene after correction.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Correction.h"
#include "content/toolkit/scenes/LandsatScenes.h"
#include "content/toolkit/scenes/Noise.h"

#include <cmath>

namespace {

// The recorded image: ground point of raw pixel (c, r) = origin + c * scan + r * track, where the track
// runs 10 degrees west of south and each line lands 5.4 % of a line further west than the last (the
// earth turning under a 185 km scene, about 10 km in all).
struct Acquisition {
    static constexpr double Pixel = 40; // metres per pixel
    static constexpr double Heading = 10 * M_PI / 180, Drift = 0.054;
    QPointF Origin;
    QPointF Scan() const { return Pixel * QPointF(std::cos(Heading), std::sin(Heading)); }
    QPointF Track() const { return Pixel * QPointF(-std::sin(Heading) - Drift, std::cos(Heading)); }
    QPointF Ground(QPointF raw) const { return Origin + raw.x() * Scan() + raw.y() * Track(); }
    QPointF Raw(QPointF ground) const {
        const QPointF s = Scan(), t = Track(), d = ground - Origin;
        const double det = s.x() * t.y() - s.y() * t.x();
        return {(d.x() * t.y() - d.y() * t.x()) / det, (s.x() * d.y() - s.y() * d.x()) / det};
    }
};

QImage GeometricCorrection() {
    constexpr int kRaw = 116;
    const Acquisition scene{QPointF(5050, 3900)};
    // A north-up rendering around the footprint, from which the recorded image is sampled: 20 m a
    // pixel, with room beyond every corner of the footprint.
    const View ground{3700, 3500, 6300, 0, 315, 315};
    const std::vector<Band> bands = {Bands::Tm4, Bands::Tm3, Bands::Tm2};
    std::vector<FloatImage> b = RenderScene(ground, bands, {{130, 50, false}, 1});
    const QImage map = Composite(b[0], b[1], b[2], 0.01, 0.99);
    const double mapPixel = ground.PixelSize();
    const QImage raw = Resample(
        map, {kRaw, kRaw},
        [&](QPointF rc) {
            const QPointF g = scene.Ground(rc);
            return QPointF((g.x() - ground.X0) / mapPixel, (g.y() - ground.Y0) / mapPixel);
        },
        Resampling::Bilinear, Qt::black);

    // Control points: the bridge, the flooded gravel pit, two stream-bed mouths, the town centre and a
    // bend of the western road, found in the raw image to within about half a pixel.
    double bridgeX = 8700;
    for (int i = 0; i < 4; ++i)
        bridgeX = 8650 + 0.12 * (Landscape::RiverY(bridgeX) - Landmarks::TownY);
    const QPointF features[] = {
        {bridgeX, Landscape::RiverY(bridgeX)}, {Landmarks::GravelPitX, Landmarks::GravelPitY},
        {5420, Landscape::RiverY(5420)},       {6430, Landscape::RiverY(6430)},
        {Landmarks::TownX, Landmarks::TownY},  {6000, 4650 + 260 * std::sin(6000.0 / 1500)}};
    std::vector<ControlPoint> points;
    for (int i = 0; i < 6; ++i) {
        const QPointF error(Hash01(i, 0, 4101) - 0.5, Hash01(i, 1, 4101) - 0.5);
        points.push_back({features[i], scene.Raw(features[i]) + 0.9 * error});
    }
    const Polynomial2D fit = *FitPolynomial(points, 1);
    const double rms = RmsError(fit, points);

    // The corrected image on a north-up grid of the same pixel, just around the footprint.
    const QPointF corners[] = {scene.Ground({0, 0}), scene.Ground({kRaw, 0}), scene.Ground({0, kRaw}),
                               scene.Ground({kRaw, kRaw})};
    double west = 1e9, north = 1e9;
    for (QPointF c : corners)
        west = std::min(west, c.x()), north = std::min(north, c.y());
    const QSize outSize(146, 140);
    const QColor none(255, 0, 255);
    const QImage corrected = Resample(
        raw, outSize,
        [&](QPointF ij) {
            return fit(QPointF(west - 2 * Acquisition::Pixel + ij.x() * Acquisition::Pixel,
                               north - 2 * Acquisition::Pixel + ij.y() * Acquisition::Pixel));
        },
        Resampling::NearestNeighbour, none);

    QImage figure = Canvas(300, 286);
    QPainter p;
    BeginPainting(p, figure);
    p.setPen(Qt::black);
    p.setFont(SansFont(14, true));
    DrawText(p, {148, 4}, QString::fromUtf8("Corrección geométrica"), Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(11, true));
    const QPoint rawAt(8, 44), mapAt(148, 40);
    DrawText(p, {rawAt.x() + kRaw / 2.0, 26}, QString::fromUtf8("Imagen original"),
             Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {mapAt.x() + outSize.width() / 2.0, 26}, QString::fromUtf8("Imagen corregida"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.drawImage(rawAt, raw);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(rawAt, QSizeF(kRaw, kRaw)).adjusted(-0.5, -0.5, 0.5, 0.5));
    // The map grid shows where the image is not; the image covers it elsewhere.
    QImage grid = Canvas(outSize.width(), outSize.height(), QColor(246, 246, 240));
    {
        QPainter g(&grid);
        g.setPen(QPen(QColor(200, 200, 190), 1));
        for (int x = 0; x < outSize.width(); x += 24)
            g.drawLine(x, 0, x, outSize.height());
        for (int y = 0; y < outSize.height(); y += 24)
            g.drawLine(0, y, outSize.width(), y);
    }
    for (int y = 0; y < outSize.height(); ++y)
        for (int x = 0; x < outSize.width(); ++x)
            if (corrected.pixel(x, y) != none.rgb()) grid.setPixel(x, y, corrected.pixel(x, y));
    p.drawImage(mapAt, grid);
    p.drawRect(QRectF(mapAt, QSizeF(outSize)).adjusted(-0.5, -0.5, 0.5, 0.5));
    p.setPen(QPen(QColor(230, 30, 30), 3));
    DrawArrow(p, QPointF(rawAt.x() + kRaw + 4, 102), QPointF(mapAt.x() - 3, 102), 7);
    // Control points where they were found, and where they lie on the map.
    auto cross = [&](QPointF c) {
        p.setPen(QPen(Qt::white, 3.5));
        p.drawLine(c - QPointF(4, 0), c + QPointF(4, 0));
        p.drawLine(c - QPointF(0, 4), c + QPointF(0, 4));
        p.setPen(QPen(QColor(230, 0, 0), 1.6));
        p.drawLine(c - QPointF(4, 0), c + QPointF(4, 0));
        p.drawLine(c - QPointF(0, 4), c + QPointF(0, 4));
    };
    for (const ControlPoint& cp : points) {
        cross(QPointF(rawAt) + cp.Image);
        cross(QPointF(mapAt) +
              (cp.Map - QPointF(west - 2 * Acquisition::Pixel, north - 2 * Acquisition::Pixel)) /
                  Acquisition::Pixel);
    }
    DrawNorthArrow(p, QPointF(mapAt.x() + outSize.width() - 12, mapAt.y() + 4), 16, 10);

    const double left = 10;
    double y = 196;
    cross(QPointF(left + 4, y + 8));
    p.setFont(SansFont(11.5));
    p.setPen(Qt::black);
    DrawText(p, {left + 14, y}, QString::fromUtf8("6 puntos de control (mapa e imagen)"));
    y += 18;
    DrawText(p, {left, y},
             QString::fromUtf8("Polinomio de 1.er grado · EMC = ") + Decimal(rms, 2) +
                 QString::fromUtf8(" píxel"));
    y += 18;
    DrawText(p, {left, y}, QString::fromUtf8("Remuestreo: vecino más próximo"));
    y += 18;
    DrawText(p, {left, y}, QString::fromUtf8("La Tierra gira al este: cada línea se corre al oeste"));
    p.end();
    return figure;
}

// A TM scene in bands 3, 2, 1 as recorded (16 detectors per band that do not quite agree, a line lost
// in all bands and one lost in band 1 only, a hazy day) and after correction.
QImage RadiometricCorrection() {
    const View view{4300, 3500, 220 * 30.0, 0, 220, 170};
    const std::vector<Band> bands = {Bands::Tm3, Bands::Tm2, Bands::Tm1};
    std::vector<FloatImage> recorded = RenderScene(view, bands, {{130, 50, false}, 5});
    for (size_t i = 0; i < recorded.size(); ++i) {
        recorded[i] = ToDigitalNumbers(recorded[i], bands[i], 0.5f);
        AddDetectorStriping(recorded[i], 16, 0.1f, 5, 4200 + uint32_t(i));
        const int lost[] = {61};
        DropLines(recorded[i], lost);
    }
    const int lostBlue[] = {122};
    DropLines(recorded[2], lostBlue);
    std::vector<FloatImage> corrected = recorded;
    for (FloatImage& band : corrected) {
        RepairDroppedLines(band);
        Destripe(band, 16);
        SubtractDarkObject(band);
    }
    const QImage before = CommonStretchComposite(recorded[0], recorded[1], recorded[2], 0.02, 0.995);
    const QImage after = CommonStretchComposite(corrected[0], corrected[1], corrected[2], 0.02, 0.995);

    QImage figure = Canvas(522, 240);
    QPainter p;
    BeginPainting(p, figure);
    const QPoint left(6, 24), right(240, 24);
    p.setPen(Qt::black);
    p.setFont(SansFont(13, true));
    DrawText(p, {left.x() + 110.0, 4}, QString::fromUtf8("Imagen bruta"), Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {right.x() + 110.0, 4}, QString::fromUtf8("Corrección radiométrica"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.drawImage(left, before);
    p.drawImage(right, after);
    p.setFont(SansFont(11.5));
    DrawTextBox(p, QRectF(left.x(), 198, 220, 40),
                QString::fromUtf8("Bandeado cada 16 líneas, dos líneas perdidas y bruma azulada"),
                Qt::AlignHCenter | Qt::AlignTop);
    DrawTextBox(p, QRectF(right.x(), 198, 220, 40),
                QString::fromUtf8("Detectores igualados, líneas repuestas y bruma restada"),
                Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return figure;
}

} // namespace

std::vector<Recipe> Page41() {
    return {
        {"p41-correccion-geometrica.bmp", [] { return EncodeBitmap24(GeometricCorrection()); }},
        {"p41-correccion-radiometrica.jpg",
         [] { return EncodeJpeg(RadiometricCorrection(), JpegColour(90)); }},
    };
}
