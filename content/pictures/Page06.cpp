// Page 6: what a thermal image adds. A visible-band view of the edge of the town, where asphalt and
// vegetation print alike; the same ground in the thermal infrared, coloured by temperature; the curves
// of emitted radiation of black bodies from the sun's temperature to the earth's; and a thermal image of
// the valley in grey levels.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>

namespace {

// The edge of the town by the river: streets, a park, roofs, fields and the riverside trees.
const View kTownEdge{6950, 5350, 932, 0, 466, 457};

// Brightness temperature in Celsius of a radiance at 11 um.
double BrightnessTemperature(double radiance) {
    constexpr double c1 = 1.191042e8, c2 = 1.4387752e4; // W um^4 / (m^2 sr), um K
    double lambda = 11.0;
    return c2 / (lambda * std::log(1 + c1 / (std::pow(lambda, 5) * radiance))) - 273.15;
}

QImage VisibleView() {
    QImage grey = FilmPositive(RenderBand(kTownEdge, Bands::Tm3), 0.4f, 0.75);
    QImage image = Toned(grey);
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(13, true));
    auto tag = [&](QPointF at, QPointF target, const char* text) {
        p.setPen(QPen(Qt::yellow, 2));
        DrawArrow(p, at, target, 8);
        QRectF box(at.x() - 46, at.y() - 22, 92, 20);
        p.fillRect(box, QColor(0, 0, 0, 170));
        p.setPen(Qt::yellow);
        p.drawText(box, Qt::AlignCenter, QString::fromUtf8(text));
    };
    QPoint street = FindGround(kTownEdge, Material::Asphalt, {130, 120}, 1);
    QPoint park = FindGround(kTownEdge, Material::UrbanGrass, {300, 330}, 3);
    tag(QPointF(street) + QPointF(-20, -55), street, "asfalto");
    tag(QPointF(park) + QPointF(30, 60), park, "vegetación");
    p.fillRect(QRectF(0, 430, 466, 27), QColor(0, 0, 0, 190));
    p.setPen(Qt::white);
    DrawText(p, {233, 443}, QString::fromUtf8("Banda visible roja (0,63–0,69 µm)"), Qt::AlignCenter);
    p.end();
    return image;
}

QRgb IronColour(double t) {
    // Black through purple, red and orange to white, the usual palette of thermal cameras.
    t = std::clamp(t, 0.0, 1.0);
    double r = std::clamp(1.8 * t, 0.0, 1.0), g = std::clamp(2.2 * t - 0.9, 0.0, 1.0);
    // Blue rises to purple and falls away through red, without a step where the two meet.
    double b = t < 0.35 ? 1.6 * t + 0.1 : std::max(0.0, 0.66 - 2.2 * (t - 0.35));
    if (t > 0.85) b = (t - 0.85) / 0.15;
    return qRgb(int(255 * r), int(255 * g), int(255 * b));
}

QImage ThermalView() {
    View view{kTownEdge.X0 + 60, kTownEdge.Y0 + 40, 300 * 2.6, 0, 300, 300};
    FloatImage radiance = RenderBand(view, Bands::Tm6);
    const double lo = 15, hi = 50;
    QImage image = Canvas(300, 368, Qt::black);
    for (int y = 0; y < 300; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < 300; ++x)
            line[x] = IronColour((BrightnessTemperature(radiance.At(x, y)) - lo) / (hi - lo));
    }
    QPainter p;
    BeginPainting(p, image);
    for (int x = 0; x < 280; ++x)
        p.fillRect(QRectF(10 + x, 310, 1, 16), QColor(IronColour(x / 279.0)));
    p.setPen(Qt::white);
    p.setFont(SansFont(12));
    for (int t = 15; t <= 50; t += 5)
        DrawText(p, {10 + (t - lo) / (hi - lo) * 279, 328}, QString::number(t),
                 Qt::AlignHCenter | Qt::AlignTop);
    DrawText(p, {150, 348}, QString::fromUtf8("Temperatura de superficie (°C)"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return image;
}

QImage EmissionCurves() {
    QImage image = Canvas(501, 430);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart;
    chart.Title = QString::fromUtf8("Radiación emitida (no reflejada) según la temperatura");
    chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    chart.YLabel = QString::fromUtf8("log₁₀ radiancia (W·m⁻²·sr⁻¹·µm⁻¹)");
    chart.X0 = 0.1, chart.X1 = 100, chart.LogX = true, chart.XDecimals = 1;
    chart.Y0 = -2, chart.Y1 = 10, chart.YStep = 2;
    chart.FontPixels = 12;
    chart.Legend = false;
    chart.Spans.push_back({0.4, 0.7, QString::fromUtf8("visible"), QColor(235, 245, 215)});
    chart.Spans.push_back({8, 14, QString::fromUtf8("ventana térmica"), QColor(250, 228, 220)});
    const struct {
        double K;
        const char* Name;
        QColor Colour;
    } bodies[] = {{6000, "Sol, 6000 K", QColor(230, 150, 0)},
                  {3000, "3000 K (lámpara)", QColor(220, 90, 30)},
                  {1000, "1000 K (lava)", QColor(190, 30, 30)},
                  {300, "Tierra, 300 K", QColor(40, 80, 200)}};
    for (const auto& b : bodies) {
        Series s{QString::fromUtf8(b.Name), b.Colour, {}, Qt::SolidLine, 2.2};
        for (double e = -1; e <= 2.0001; e += 0.01) {
            double um = std::pow(10, e), l = Planck(um, b.K);
            if (l > 1e-3) s.Points.push_back({um, std::log10(l)});
        }
        chart.Lines.push_back(s);
    }
    QRectF plot = DrawChart(p, QRectF(0, 0, 472, 426), chart);
    p.setFont(SansFont(10));
    p.setPen(Qt::black);
    for (const auto& b : bodies) {
        double peak = WienPeak(b.K);
        QPointF at = ChartPoint(plot, chart, peak, std::log10(Planck(peak, b.K)));
        p.setBrush(b.Colour);
        p.drawEllipse(at, 3, 3);
        p.setPen(b.Colour.darker(130));
        // Above and left of the peak, between the curve and the hotter one above it: the curve falls
        // away on both sides, so it never crosses its own label.
        DrawText(p, at + QPointF(-7, 2),
                 QString::fromUtf8(b.Name) + QString::fromUtf8("\nλmáx ") + Decimal(peak, peak < 1 ? 2 : 1) +
                     QString::fromUtf8(" µm"),
                 Qt::AlignRight | Qt::AlignBottom);
    }
    p.end();
    return image;
}

QImage ThermalValley() {
    View view{5400, 3500, 2674 * 1.5, 0, 2674, 3232};
    FloatImage radiance = RenderBand(view, Bands::Tm6);
    auto [lo, hi] = Percentiles(radiance, 0.005, 0.998);
    QImage grey = ToGrey(radiance, lo, hi);
    AddGrain(grey, 2, 601);
    return grey;
}

} // namespace

std::vector<Recipe> Page06() {
    return {
        {"p06-visible-asfalto.bmp", [] { return EncodeBitmap24(VisibleView()); }},
        {"p06-termica-color.bmp", [] { return EncodeBitmap24(ThermalView()); }},
        {"p06-emision-cuerpo-negro.bmp", [] { return EncodeBitmap24(EmissionCurves()); }},
        {"p06-termica-valle.jpg", [] { return EncodeJpeg(ThermalValley(), JpegGrey(75)); }},
    };
}
