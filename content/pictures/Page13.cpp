// Page 13: an early multispectral scanner scene and a mosaic of thematic mapper scenes. The scene is
// band 5 (red) of the valley as the first Landsat recorded it: 7-bit values, the banding of its six
// detectors per band, the morning sun of a November pass, and the frame of the photographic products
// of the time (coordinate ticks, grey wedge and annotation line). The mosaic joins twelve scenes of
// three paths and four rows taken on different dates: the seams show where the sun, the season and
// the haze change, and one scene brings its clouds.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Correction.h"
#include "content/toolkit/scenes/LandsatScenes.h"
#include "content/toolkit/scenes/Noise.h"
#include "content/toolkit/scenes/Sensors.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// A raster enlarged to w x h by bilinear interpolation between pixel centres.
FloatImage Enlarge(const FloatImage& in, int w, int h) {
    FloatImage out(w, h);
    for (int y = 0; y < h; ++y) {
        double fy = std::clamp((y + 0.5) * in.Height / h - 0.5, 0.0, in.Height - 1.0);
        int y0 = std::min(int(fy), in.Height - 2);
        double ty = fy - y0;
        for (int x = 0; x < w; ++x) {
            double fx = std::clamp((x + 0.5) * in.Width / w - 0.5, 0.0, in.Width - 1.0);
            int x0 = std::min(int(fx), in.Width - 2);
            double tx = fx - x0;
            out.At(x, y) = float((in.At(x0, y0) * (1 - tx) + in.At(x0 + 1, y0) * tx) * (1 - ty) +
                                 (in.At(x0, y0 + 1) * (1 - tx) + in.At(x0 + 1, y0 + 1) * tx) * ty);
        }
    }
    return out;
}

// The blur of a sensor whose field of view is wider than the step between its samples: a 1-2-1
// weighting across and down, which also removes the pattern that a street grid close to twice the
// pixel size would leave.
FloatImage FieldOfView(const FloatImage& in) {
    FloatImage across(in.Width, in.Height), out(in.Width, in.Height);
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x)
            across.At(x, y) = 0.25f * in.At(std::max(x - 1, 0), y) + 0.5f * in.At(x, y) +
                              0.25f * in.At(std::min(x + 1, in.Width - 1), y);
    for (int y = 0; y < in.Height; ++y)
        for (int x = 0; x < in.Width; ++x)
            out.At(x, y) = 0.25f * across.At(x, std::max(y - 1, 0)) + 0.5f * across.At(x, y) +
                           0.25f * across.At(x, std::min(y + 1, in.Height - 1));
    return out;
}

// Degrees and minutes as the annotation of the scene writes them: 64°30'.
QString Angle(int minutes) {
    return QString::fromUtf8("%1°%2'").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QImage EarlyMssScene() {
    const int w = 632, h = 482;
    const QRectF frame(18, 20, 596, 416);
    // The pass of 3 November 1972 at 13:50 GMT over 31.5 degrees south: about 9:35 local solar time,
    // the sun 53 degrees high in the east-north-east.
    Illumination sun;
    sun.SunAzimuth = 72, sun.SunElevation = 53;
    // Pixels of 57 m, as the scenes were distributed, enlarged to fill the frame.
    View view{0, 1800, kWorldSize, 0, 210, 146};
    FloatImage red = FieldOfView(RenderBand(view, Bands::Mss5, sun));
    // Each sweep of the mirror recorded six lines per band, one per detector, each with its own gain.
    AddDetectorStriping(red, 6, 0.035f, 0.004f, 1972);
    FloatImage dn =
        Enlarge(ToDigitalNumbers(red, Bands::Mss5, 0.45f, 7), int(frame.width()), int(frame.height()));
    // A linear stretch would leave the forest of the hills, dark in the red band, black; a gamma of
    // 0.75 keeps some detail there, as the photographic products did.
    auto [lo, hi] = Percentiles(dn, 0.005, 0.997);
    QImage scene(dn.Width, dn.Height, QImage::Format_Grayscale8);
    for (int y = 0; y < dn.Height; ++y) {
        uchar* line = scene.scanLine(y);
        for (int x = 0; x < dn.Width; ++x) {
            double v = std::clamp((dn.At(x, y) - lo) / (hi - lo), 0.f, 1.f);
            line[x] = uchar(std::lround(255 * std::pow(v, 0.75)));
        }
    }

    QImage out = Canvas(w, h, Qt::black);
    QPainter p;
    BeginPainting(p, out);
    p.drawImage(frame.topLeft(), scene);
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(-0.5, -0.5, 0.5, 0.5));

    // Longitude 64°50' to 62°55' west across, latitude 30°45' to 32°25' south down.
    const int west = 64 * 60 + 50, east = 62 * 60 + 55, north = 30 * 60 + 45, south = 32 * 60 + 25;
    p.setFont(NarrowFont(10));
    for (int lon = 64 * 60 + 30; lon > east; lon -= 30) {
        double x = frame.left() + double(west - lon) / (west - east) * frame.width();
        p.drawLine(QPointF(x, frame.top() - 6), QPointF(x, frame.top()));
        p.drawLine(QPointF(x, frame.bottom()), QPointF(x, frame.bottom() + 6));
        DrawText(p, {x, frame.top() - 7}, Angle(lon), Qt::AlignHCenter | Qt::AlignBottom);
    }
    for (int lat = 31 * 60; lat < south; lat += 30) {
        double y = frame.top() + double(lat - north) / (south - north) * frame.height();
        p.drawLine(QPointF(frame.left() - 5, y), QPointF(frame.left(), y));
        p.drawLine(QPointF(frame.right(), y), QPointF(frame.right() + 5, y));
        // Beyond the 5-pixel ticks, so that no tick runs into a label, and inside the picture.
        for (double x : {frame.left() - 12, frame.right() + 12}) {
            p.save();
            p.translate(x, y);
            p.rotate(-90);
            DrawText(p, {0, 0}, Angle(lat), Qt::AlignHCenter | Qt::AlignVCenter);
            p.restore();
        }
    }

    // The grey wedge of sixteen steps that printed with every frame, and the annotation line.
    const double wedgeTop = frame.bottom() + 10, step = 19;
    for (int i = 0; i < 16; ++i) {
        int g = i * 17;
        p.fillRect(QRectF(frame.left() + i * step, wedgeTop, step, 12), QColor(g, g, g));
    }
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.drawRect(QRectF(frame.left() - 0.5, wedgeTop - 0.5, 16 * step + 1, 13));
    p.setFont(NarrowFont(11, true));
    DrawText(p, {frame.left() + 16 * step + 12, wedgeTop + 6},
             QString::fromUtf8("C S%1/W%2").arg(Angle((north + south) / 2), Angle((west + east) / 2)),
             Qt::AlignLeft | Qt::AlignVCenter);
    DrawText(p, {frame.right(), wedgeTop + 6}, QString::fromUtf8("MSS 5 (0,6-0,7 µm)"),
             Qt::AlignRight | Qt::AlignVCenter);
    p.setFont(NarrowFont(11));
    DrawText(
        p, {frame.left(), h - 3.0},
        QString::fromUtf8("03NOV72  13:50 GMT  LANDSAT-1 (ERTS-1)  MSS BANDA 5  SOL: ELEV. 53° AZ. 072°  "
                          "ESCALA APROX. 1:1.000.000"),
        Qt::AlignLeft | Qt::AlignBottom);
    p.end();
    return out;
}

// The conditions of one pass. The sun's height scales the radiance of every band; the season makes
// the vegetation brighter or duller in the near infrared (band 4, with the red of band 3 the other
// way) and bare ground drier or wetter in the middle infrared (band 5); haze adds most in band 3.
struct MosaicDate {
    float Sun, Green, Dry, Haze;
};

struct MosaicScene {
    int Path, Row;
    MosaicDate Date;
    bool Clouds;
};

// The outline of the province on the mosaic: long straight boundaries where the border follows a
// meridian or a parallel, winding ones where it follows a river or a range.
QPolygonF ProvinceOutline() {
    const QPointF corners[] = {{150, 34},  {262, 40},  {326, 70},  {348, 150}, {384, 210}, {378, 352},
                               {360, 470}, {376, 588}, {228, 596}, {110, 600}, {96, 520},  {54, 440},
                               {44, 330},  {70, 240},  {40, 150},  {92, 96}};
    const bool straight[] = {true, false, false, false, true,  false, false, true,
                             true, false, false, false, false, false, false, false};
    const int n = int(std::size(corners));
    QPolygonF outline;
    for (int i = 0; i < n; ++i) {
        QPointF a = corners[i], b = corners[(i + 1) % n];
        QPointF d = b - a;
        double length = std::hypot(d.x(), d.y());
        QPointF normal(-d.y() / length, d.x() / length);
        int pieces = straight[i] ? 1 : std::max(2, int(length / 3));
        for (int k = 0; k < pieces; ++k) {
            double t = double(k) / pieces;
            double bend =
                straight[i] ? 0 : 9 * Fractal(i * 7.3 + t * length / 40, 0.5, 1311, 4) * std::sin(M_PI * t);
            outline << a + d * t + normal * bend;
        }
    }
    return outline;
}

QImage LandsatMosaic() {
    const int w = 401, h = 639;
    // Pixels of 50 m enlarged to the picture: a province-wide mosaic is seen from far above.
    const View view{2000, 0, 7530, 0, 151, 240};
    Illumination sun;
    sun.SunAzimuth = 60, sun.SunElevation = 45;
    const std::vector<Band> bands = {Bands::Tm5, Bands::Tm4, Bands::Tm3};
    std::vector<FloatImage> ground;
    for (const FloatImage& band : RenderBands(view, bands, sun))
        ground.push_back(Enlarge(FieldOfView(band), w, h));

    // Paths run from north-north-east to south-south-west, about 12 degrees off north at this latitude;
    // rows cross them at right angles. Path numbers grow westwards, row numbers southwards. The scenes
    // of one path come from one pass, except one that replaces a cloudy scene by another date's.
    const double tilt = std::tan(12 * M_PI / 180);
    const double pathEdges[] = {134, 267};
    const double rowEdges[] = {160, 320, 480};
    const MosaicDate summer{1.0f, 1.0f, 1.0f, 1.0f}, autumn{0.86f, 0.84f, 1.12f, 2.2f},
        lateSummer{1.04f, 1.06f, 0.95f, 0.5f}, spring{1.1f, 1.16f, 0.9f, 1.4f};
    const MosaicScene scenes[3][4] = {{{230, 81, summer, false},
                                       {230, 82, summer, true},
                                       {230, 83, summer, false},
                                       {230, 84, summer, false}},
                                      {{229, 81, autumn, false},
                                       {229, 82, autumn, false},
                                       {229, 83, lateSummer, false},
                                       {229, 84, autumn, false}},
                                      {{228, 81, spring, false},
                                       {228, 82, spring, false},
                                       {228, 83, spring, false},
                                       {228, 84, spring, false}}};
    auto sceneAt = [&](double x, double y) -> const MosaicScene& {
        int path = 0, row = 0;
        for (double e : pathEdges)
            path += x > e + tilt * (h / 2.0 - y);
        for (double e : rowEdges)
            row += y > e + tilt * (x - w / 2.0);
        return scenes[path][row];
    };

    // Cumulus over one scene, with their shadows cast away from the sun (towards the south-west).
    auto cloud = [](double x, double y) {
        double c = Fractal(x / 14, y / 14, 2291, 4) + 0.4 * Fractal(x / 60, y / 60, 2292, 2) - 0.5;
        return std::clamp(c * 3, 0.0, 1.0);
    };
    const double shadowDx = -8, shadowDy = 6;

    std::vector<FloatImage> dn(3, FloatImage(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const MosaicScene& s = sceneAt(x + 0.5, y + 0.5);
            const MosaicDate& d = s.Date;
            double cover = 0, shade = 0;
            if (s.Clouds) {
                cover = cloud(x, y);
                shade = cloud(x - shadowDx, y - shadowDy) * (1 - cover);
            }
            float b5 = ground[0].At(x, y), b4 = ground[1].At(x, y), b3 = ground[2].At(x, y);
            float veg = std::clamp((b4 - b3) / std::max(1e-4f, b4 + b3) * 1.6f - 0.3f, 0.f, 1.f);
            b5 *= 1 + (d.Dry - 1) * (1 - veg);
            b4 *= 1 + (d.Green - 1) * veg;
            b3 *= 1 - (d.Green - 1) * 0.5f * veg;
            const float values[3] = {b5, b4, b3}, haze[3] = {0.003f, 0.007f, 0.014f};
            for (size_t b = 0; b < 3; ++b) {
                double seen = (1 - cover) * values[b] * (1 - 0.45 * shade) + cover * 0.95;
                dn[b].At(x, y) = float(d.Sun * seen + d.Haze * haze[b]);
            }
        }
    QImage mosaic = Composite(dn[0], dn[1], dn[2], 0.01, 0.995);

    QImage out = Canvas(w, h);
    QPainter p;
    BeginPainting(p, out);
    QPainterPath province;
    province.addPolygon(ProvinceOutline());
    province.closeSubpath();
    p.save();
    p.setClipPath(province);
    p.drawImage(0, 0, mosaic);
    p.restore();
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(province);

    // The scene grid along the margins: path numbers over the top, row numbers down the left side.
    p.setFont(NarrowFont(11, true));
    p.setPen(QColor(90, 90, 90));
    const double shift = tilt * (h / 2.0 - 10);
    for (int i = 0; i < 3; ++i) {
        double from = i ? pathEdges[i - 1] + shift : 0, to = i < 2 ? pathEdges[i] + shift : w;
        DrawText(p, {(from + to) / 2, 4}, QString::number(scenes[i][0].Path),
                 Qt::AlignHCenter | Qt::AlignTop);
    }
    for (int j = 0; j < 4; ++j) {
        double from = j ? rowEdges[j - 1] : 0, to = j < 3 ? rowEdges[j] : h;
        DrawText(p, {4, (from + to) / 2 + tilt * (12 - w / 2.0)},
                 QString::fromUtf8("%1").arg(scenes[0][j].Row, 3, 10, QLatin1Char('0')),
                 Qt::AlignLeft | Qt::AlignVCenter);
    }
    p.setFont(NarrowFont(10));
    DrawText(p, {4, 4}, QString::fromUtf8("path"), Qt::AlignLeft | Qt::AlignTop);
    DrawText(p, {4, 17}, QString::fromUtf8("row"), Qt::AlignLeft | Qt::AlignTop);

    DrawNorthArrow(p, {30, 548}, 26, 11);
    p.setPen(QColor(40, 40, 40));
    p.setFont(NarrowFont(11, true));
    DrawText(p, {200, 619}, QString::fromUtf8("Landsat 5 TM, bandas 5-4-3 (RGB)"),
             Qt::AlignHCenter | Qt::AlignBottom);
    p.setFont(NarrowFont(10));
    DrawText(p, {200, 620}, QString::fromUtf8("12 escenas de 3 pasadas y fechas distintas"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return out;
}

} // namespace

std::vector<Recipe> Page13() {
    return {
        {"p13-landsat1-mss5.bmp", [] { return EncodeBitmap8(GreyIndexed(EarlyMssScene())); }},
        {"p13-mosaico-landsat5.jpg", [] { return EncodeJpeg(LandsatMosaic(), JpegColour(90)); }},
    };
}
