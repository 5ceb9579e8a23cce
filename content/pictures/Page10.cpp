// Page 10: the Landsat series. A multispectral scanner scene of the valley in false colour (bands 7, 5
// and 4), the missions on a time line, and the bands of Landsat 7 and Landsat 8 over the spectrum.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/BandChart.h"
#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Sensors.h"

namespace {

QImage MssScene() {
    View view{0, 1000, 12000, 0, 500, 375};
    std::vector<Band> bands = {Bands::Mss7, Bands::Mss5, Bands::Mss4};
    auto b = RenderBands(view, bands);
    std::vector<FloatImage> dn;
    for (size_t i = 0; i < b.size(); ++i)
        dn.push_back(ToDigitalNumbers(b[i], bands[i], 0.6f, 7)); // MSS quantised to 6-7 bits
    QImage image = Composite(dn[0], dn[1], dn[2], 0.01, 0.995);
    QPainter p;
    BeginPainting(p, image);
    p.fillRect(QRectF(6, 6, 210, 22), QColor(0, 0, 0, 160));
    p.setPen(Qt::white);
    p.setFont(SansFont(13, true));
    DrawText(p, {111, 17}, QString::fromUtf8("Landsat MSS, bandas 7-5-4"), Qt::AlignCenter);
    p.end();
    return image;
}

Bytes MssGif() {
    IndexedImage indexed = Quantize(MssScene(), 256);
    GifLayout gif;
    gif.Gif89 = false;
    gif.ScreenWidth = 500;
    gif.ScreenHeight = 375;
    gif.MinCodeSize = 8;
    gif.Frame = indexed;
    return EncodeGif(gif);
}

QImage Timeline() {
    QImage image = Canvas(640, 480);
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(16, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {250, 8}, QString::fromUtf8("Misiones Landsat"), Qt::AlignHCenter | Qt::AlignTop);
    const struct {
        const char* Name;
        int From, To;
        const char* Sensors;
        QColor Colour;
    } missions[] = {{"Landsat 1", 1972, 1978, "MSS, RBV", QColor(120, 150, 200)},
                    {"Landsat 2", 1975, 1982, "MSS, RBV", QColor(120, 150, 200)},
                    {"Landsat 3", 1978, 1983, "MSS, RBV", QColor(120, 150, 200)},
                    {"Landsat 4", 1982, 1993, "MSS, TM", QColor(90, 170, 110)},
                    {"Landsat 5", 1984, 2013, "MSS, TM", QColor(90, 170, 110)},
                    {"Landsat 6", 1993, 1993, "ETM (falló)", QColor(200, 90, 90)},
                    {"Landsat 7", 1999, 2024, "ETM+", QColor(230, 160, 60)},
                    {"Landsat 8", 2013, 2026, "OLI, TIRS", QColor(170, 110, 190)},
                    {"Landsat 9", 2021, 2026, "OLI-2, TIRS-2", QColor(170, 110, 190)}};
    const double left = 96, right = 496, top = 48, rowH = 36;
    auto X = [&](double year) { return left + (year - 1970) / (2027 - 1970) * (right - left); };
    p.setFont(SansFont(11));
    for (int year = 1970; year <= 2020; year += 10) {
        p.setPen(QPen(QColor(210, 210, 210), 1));
        p.drawLine(QPointF(X(year), top - 6), QPointF(X(year), top + 9 * rowH));
        p.setPen(Qt::black);
        DrawText(p, {X(year), top + 9 * rowH + 4}, QString::number(year), Qt::AlignHCenter | Qt::AlignTop);
    }
    for (int i = 0; i < 9; ++i) {
        const auto& m = missions[i];
        double y = top + i * rowH;
        QRectF bar(X(m.From), y + 4, std::max(4.0, X(m.To + 0.9) - X(m.From)), rowH - 10);
        p.setPen(QPen(m.Colour.darker(140), 1));
        p.setBrush(m.Colour);
        p.drawRect(bar);
        p.setPen(Qt::black);
        p.setFont(SansFont(12, true));
        DrawText(p, {left - 6, y + rowH / 2}, QString::fromUtf8(m.Name), Qt::AlignRight | Qt::AlignVCenter);
        p.setFont(SansFont(10));
        // Inside a long bar; beside a short one, on its left where the right would pass the 508 pixels
        // the picture control shows.
        const QString sensors = QString::fromUtf8(m.Sensors);
        const bool inside = m.To - m.From > 12;
        const bool before =
            !inside && bar.right() + 4 + QFontMetricsF(p.font()).horizontalAdvance(sensors) > 504;
        QPointF at =
            inside ? bar.center() : QPointF(before ? bar.left() - 4 : bar.right() + 4, bar.center().y());
        DrawText(p, at, sensors,
                 (inside   ? Qt::AlignHCenter
                  : before ? Qt::AlignRight
                           : Qt::AlignLeft) |
                     Qt::AlignVCenter);
    }
    p.setFont(SansFont(11));
    p.setPen(QColor(60, 60, 60));
    DrawText(p, {250, top + 9 * rowH + 24},
             QString::fromUtf8("Órbitas: 917 km (1-3), 705 km (4-9); revisita 18 y 16 días"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.end();
    return image;
}

Bytes TimelineGif() {
    // Entry 255 is black and declared transparent; the picture control draws GIF frames opaque, so the
    // picture itself keeps to the other 255 entries.
    IndexedImage indexed = Quantize(Timeline(), 255);
    indexed.Palette.resize(256, qRgb(0, 0, 0));
    GifLayout gif;
    gif.ScreenWidth = 640;
    gif.ScreenHeight = 480;
    gif.MinCodeSize = 8;
    gif.TransparentIndex = 255;
    gif.Frame = indexed;
    return EncodeGif(gif);
}

QImage Landsat7Bands() {
    QImage image = Canvas(278, 252);
    QPainter p;
    BeginPainting(p, image);
    BandChartLayout layout;
    layout.Chart.XLabel = QString::fromUtf8("µm");
    layout.Chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    layout.Chart.X0 = 0.4, layout.Chart.X1 = 2.4, layout.Chart.XStep = 0.4;
    layout.Chart.Y0 = 0, layout.Chart.Y1 = 70, layout.Chart.YStep = 20;
    layout.Chart.FontPixels = 10;
    layout.Chart.Legend = false;
    layout.Chart.Lines = {ReflectanceSeries(Material::CropGreen, "vegetación", QColor(30, 140, 40), 0.4, 2.4),
                          ReflectanceSeries(Material::SoilDry, "suelo", QColor(150, 95, 40), 0.4, 2.4),
                          ReflectanceSeries(Material::ClearWater, "agua", QColor(30, 70, 200), 0.4, 2.4)};
    layout.RowHeight = 0.1;
    layout.Bars = {{"1", 0.45, 0.515}, {"2", 0.525, 0.605}, {"3", 0.63, 0.69},       {"4", 0.75, 0.90},
                   {"5", 1.55, 1.75},  {"7", 2.09, 2.35},   {"8 pan", 0.52, 0.90, 1}};
    layout.RowNames = {QString(), QString()};
    DrawBandChart(p, QRectF(0, 0, 278, 252), layout);
    p.setFont(SansFont(9));
    p.setPen(QColor(80, 80, 80));
    // Band 6 lies far beyond the axis: named in the free second row, above the curves.
    DrawText(p, {260, 46}, QString::fromUtf8("banda 6: 10,4–12,5 µm"), Qt::AlignRight | Qt::AlignVCenter);
    p.end();
    return image;
}

QImage Landsat8Bands() {
    QImage image = Canvas(632, 314);
    QPainter p;
    BeginPainting(p, image);
    BandChartLayout reflected;
    reflected.Chart.Title = QString::fromUtf8("OLI: bandas reflejadas");
    reflected.Chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    reflected.Chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    reflected.Chart.X0 = 0.4, reflected.Chart.X1 = 2.4, reflected.Chart.XStep = 0.2;
    reflected.Chart.Y0 = 0, reflected.Chart.Y1 = 70, reflected.Chart.YStep = 10;
    reflected.Chart.FontPixels = 12;
    reflected.Chart.Legend = false;
    reflected.Chart.Lines = {
        ReflectanceSeries(Material::CropGreen, "vegetación", QColor(30, 140, 40), 0.4, 2.4),
        ReflectanceSeries(Material::SoilDry, "suelo", QColor(150, 95, 40), 0.4, 2.4),
        ReflectanceSeries(Material::ClearWater, "agua", QColor(30, 70, 200), 0.4, 2.4)};
    reflected.RowHeight = 0.1;
    reflected.Bars = {{"1", 0.433, 0.453}, {"2", 0.45, 0.515},  {"3", 0.525, 0.6},
                      {"4", 0.63, 0.68},   {"5", 0.845, 0.885}, {"6", 1.56, 1.66},
                      {"7", 2.1, 2.3},     {"8", 0.5, 0.68, 1}, {"9", 1.36, 1.39, 1}};
    DrawBandChart(p, QRectF(0, 0, 440, 314), reflected);
    BandChartLayout thermal;
    thermal.Chart.Title = QString::fromUtf8("TIRS: térmicas");
    thermal.Chart.XLabel = QString::fromUtf8("µm");
    thermal.Chart.YLabel = QString::fromUtf8("Emisión a 300 K (rel.)");
    thermal.Chart.X0 = 8, thermal.Chart.X1 = 14, thermal.Chart.XStep = 2, thermal.Chart.XDecimals = 0;
    // The band boxes above the curve's peak (1).
    thermal.Chart.Y0 = 0, thermal.Chart.Y1 = 1.4, thermal.Chart.YStep = 0.5, thermal.Chart.YDecimals = 1;
    thermal.Chart.FontPixels = 12;
    thermal.Chart.Legend = false;
    Series planck{QString(), QColor(200, 60, 40), {}, Qt::SolidLine, 2};
    for (double um = 8; um <= 14.001; um += 0.05)
        planck.Points.push_back({um, Planck(um, 300) / Planck(WienPeak(300), 300)});
    thermal.Chart.Lines = {planck};
    thermal.RowHeight = 0.12;
    thermal.Bars = {{"10", 10.6, 11.19}, {"11", 11.5, 12.51}};
    DrawBandChart(p, QRectF(440, 0, 192, 314), thermal);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page10() {
    return {
        {"p10-landsat-mss.gif", MssGif},
        {"p10-misiones-landsat.gif", TimelineGif},
        {"p10-bandas-landsat7.jpg", [] { return EncodeJpeg(Landsat7Bands(), JpegColour(90)); }},
        {"p10-bandas-landsat8.jpg", [] { return EncodeJpeg(Landsat8Bands(), JpegColour(90)); }},
    };
}
