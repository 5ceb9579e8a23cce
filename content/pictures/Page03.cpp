// Page 3: reflectance of a group A material (quartz sand) for several grain sizes: the finer the grain,
// the more surfaces scatter light back and the brighter the material, at every wavelength.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Spectra.h"

#include <cmath>

namespace {

QImage GrainSizeChart() {
    QImage image = Canvas(460, 317);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart;
    chart.Title = QString::fromUtf8("Arena cuarzosa: efecto del tamaño de grano");
    chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    chart.X0 = 0.4, chart.X1 = 2.5, chart.XStep = 0.3;
    chart.Y0 = 0, chart.Y1 = 80, chart.YStep = 20;
    chart.FontPixels = 12;
    // Below the curves, which the legend would hide at the long wavelengths.
    chart.LegendAtBottom = true;
    const struct {
        const char* Name;
        double Scale;
        QColor Colour;
    } grains[] = {{"0,05–0,1 mm", 1.45, QColor(200, 120, 20)},
                  {"0,1–0,25 mm", 1.2, QColor(170, 100, 30)},
                  {"0,25–0,5 mm", 1.0, QColor(130, 80, 40)},
                  {"0,5–1 mm", 0.82, QColor(100, 60, 40)},
                  {"1–2 mm", 0.66, QColor(70, 45, 35)}};
    for (const auto& g : grains) {
        Series s{QString::fromUtf8(g.Name), g.Colour, {}, Qt::SolidLine, 2};
        for (double um = 0.4; um <= 2.5001; um += 0.01) {
            // Scattering grows as grains shrink; the absorption bands deepen for coarse grains.
            double r = Reflectance(Material::Sand, um) * g.Scale;
            s.Points.push_back({um, 100 * std::pow(r, 1.0 + 0.1 * (1 - g.Scale))});
        }
        chart.Lines.push_back(s);
    }
    DrawChart(p, QRectF(0, 0, 460, 317), chart);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page03() {
    return {{"p03-tamano-de-grano.jpg", [] { return EncodeJpeg(GrainSizeChart(), JpegColour(88)); }}};
}
