// Page 23: conversion to grey scale. A colour view of the town's edge and its luminance; the eye's
// sensitivity against wavelength beside the weights 30, 59 and 11; pure colours under the plain mean
// and under the luminance (a file with the full metadata of an edited photograph); one pixel worked out
// in integers; and a palette image converted by converting its palette alone.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/encoders/ColourModels.h"
#include "content/toolkit/encoders/JpegMetadata.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const QColor kInk(20, 30, 100);

QImage TownEdge() {
    const int w = 336, h = 210;
    View view{7400, 5620, 3.0 * w, 0, w, h};
    std::vector<Band> bands = {Bands::Ik3, Bands::Ik2, Bands::Ik1};
    auto b = RenderBands(view, bands);
    return Composite(b[0], b[1], b[2], 0.005, 0.995);
}

// The reddest roof of the town view: the colour worked out on this page.
QRgb RoofColour(const QImage& town) {
    QRgb best = qRgb(200, 40, 30);
    int bestScore = -1000;
    for (int y = 0; y < town.height(); ++y)
        for (int x = 0; x < town.width(); ++x) {
            QRgb c = town.pixel(x, y);
            int score = 2 * qRed(c) - qGreen(c) - qBlue(c);
            if (score > bestScore) {
                bestScore = score;
                best = c;
            }
        }
    return best;
}

QImage Labelled(QImage image, const QString& text) {
    QPainter p;
    BeginPainting(p, image);
    DrawTagBox(p, {4, 4}, text, {12, 18, 10, 225, kInk});
    p.end();
    return image;
}

// Relative sensitivity of the eye in daylight: the standard luminosity curve as two half Gaussians
// meeting at its maximum, 1 at 0.555 µm, matched to its values at 0.50 µm (0.323) and 0.60 µm (0.631).
double EyeSensitivity(double um) {
    const double sigma = um < 0.555 ? 0.0366 : 0.0469, d = (um - 0.555) / sigma;
    return std::exp(-d * d / 2);
}

QImage EyeAndWeights() {
    QImage image = Canvas(320, 200);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart;
    chart.Title = QString::fromUtf8("Sensibilidad del ojo");
    chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    chart.YLabel = QString::fromUtf8("Relativa");
    chart.X0 = 0.4, chart.X1 = 0.7, chart.XStep = 0.1;
    chart.Y0 = 0, chart.Y1 = 1, chart.YStep = 0.5;
    chart.YDecimals = 1;
    chart.FontPixels = 11;
    chart.Legend = false;
    for (double um = 0.4; um < 0.7; um += 0.01)
        chart.Spans.push_back({um, um + 0.0101, {}, SpectrumColour(um + 0.005).lighter(150)});
    Series eye{QString::fromUtf8("ojo"), QColor(30, 30, 30), {}, Qt::SolidLine, 2};
    for (double um = 0.4; um <= 0.7001; um += 0.005)
        eye.Points.push_back({um, EyeSensitivity(um)});
    chart.Lines = {eye};
    const QRectF plot = DrawChart(p, QRectF(0, 0, 212, 198), chart);
    p.setPen(QPen(QColor(60, 60, 60), 1, Qt::DashLine));
    QPointF top = ChartPoint(plot, chart, 0.555, 1), foot = ChartPoint(plot, chart, 0.555, 0);
    p.drawLine(top, foot);
    p.setPen(Qt::black);
    p.setFont(SansFont(10));
    // The unit is on the axis; with it the label would run past the plot's right edge.
    DrawText(p, ChartPoint(plot, chart, 0.582, 1.0), QString::fromUtf8("máx. 0,555"),
             Qt::AlignLeft | Qt::AlignTop);

    // The luminance weights as bars.
    const QRectF panel(220, 8, 96, 186);
    p.setPen(kInk);
    p.setFont(SansFont(11, true));
    DrawText(p, {panel.center().x(), panel.top()}, QString::fromUtf8("Pesos (%)"),
             Qt::AlignHCenter | Qt::AlignTop);
    const struct {
        const char* Name;
        int Weight;
        QColor Colour;
    } weights[] = {
        {"R", 30, QColor(220, 40, 30)}, {"G", 59, QColor(30, 160, 50)}, {"B", 11, QColor(40, 70, 220)}};
    const double base = panel.bottom() - 20, scale = 120.0 / 59, barW = 22;
    for (int i = 0; i < 3; ++i) {
        double x = panel.left() + 8 + i * 30;
        double hgt = weights[i].Weight * scale;
        p.fillRect(QRectF(x, base - hgt, barW, hgt), weights[i].Colour);
        p.setPen(Qt::black);
        p.setFont(SansFont(11, true));
        DrawText(p, {x + barW / 2, base - hgt - 2}, QString::number(weights[i].Weight),
                 Qt::AlignHCenter | Qt::AlignBottom);
        DrawText(p, {x + barW / 2, base + 3}, weights[i].Name, Qt::AlignHCenter | Qt::AlignTop);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(QPointF(panel.left() + 2, base), QPointF(panel.right() - 2, base));
    p.end();
    return image;
}

// Pure colours, their plain mean and their luminance. Laid out for the box the picture is stretched
// into, so that its text keeps its proportions on the page.
QImage MeanAgainstLuminance() {
    const QSizeF shown(268, 173);
    QImage image = Canvas(394, 232);
    QPainter p;
    BeginPainting(p, image);
    p.scale(394 / shown.width(), 232 / shown.height());
    p.setPen(kInk);
    p.setFont(SansFont(13, true));
    DrawText(p, {shown.width() / 2, 2}, QString::fromUtf8("Promedio simple y luminancia"),
             Qt::AlignHCenter | Qt::AlignTop);
    const struct {
        const char* Name;
        QRgb Colour;
    } colours[] = {{"rojo", qRgb(255, 0, 0)},
                   {"verde", qRgb(0, 255, 0)},
                   {"azul", qRgb(0, 0, 255)},
                   {"amarillo", qRgb(255, 255, 0)}};
    const double left = 86, col = 45, rowH = 30, top = 22;
    const char* rowNames[][2] = {
        {"Color", "(R, G, B)"}, {"Promedio", "(R + G + B) / 3"}, {"Luminancia", "pesos 30, 59, 11"}};
    for (int r = 0; r < 3; ++r) {
        double y = top + r * (rowH + 3);
        p.setPen(Qt::black);
        p.setFont(SansFont(11, true));
        DrawText(p, {2, y + rowH / 2 - 1}, QString::fromUtf8(rowNames[r][0]),
                 Qt::AlignLeft | Qt::AlignBottom);
        p.setFont(SansFont(10, true));
        p.setPen(QColor(70, 70, 70));
        DrawText(p, {2, y + rowH / 2 + 1}, QString::fromUtf8(rowNames[r][1]), Qt::AlignLeft | Qt::AlignTop);
        for (int i = 0; i < 4; ++i) {
            QRectF cell(left + i * col, y, col - 3, rowH);
            QRgb c = colours[i].Colour;
            int grey = r == 1 ? MeanGrey(c) : Luminance(c);
            QColor fill = r == 0 ? QColor(c) : QColor(grey, grey, grey);
            p.fillRect(cell, fill);
            QString text = r == 0 ? QString::fromUtf8(colours[i].Name) : QString::number(grey);
            int level = r == 0 ? Luminance(c) : grey;
            p.setPen(level < 110 ? Qt::white : Qt::black);
            p.setFont(SansFont(r == 0 ? 10.5 : 13, true));
            DrawText(p, cell.center(), text, Qt::AlignCenter);
        }
    }
    p.setPen(QColor(150, 20, 20));
    p.setFont(SansFont(11, true));
    DrawTextBox(p, QRectF(2, 124, shown.width() - 4, 48),
                QString::fromUtf8("Con el promedio, rojo, verde y azul dan el mismo gris (85); la luminancia "
                                  "conserva el brillo que percibe el ojo."),
                Qt::AlignLeft | Qt::AlignVCenter);
    p.end();
    return image;
}

Bytes MeanAgainstLuminanceFile() {
    JpegOptions options = JpegColour(90);
    options.Exif = MakeExif("Carta de colores: promedio simple y luminancia", "2008:05:14 10:32:00");
    options.Xmp = MakeXmp("Promedio simple y luminancia",
                          "Colores puros convertidos a gris por el promedio y por la luminancia");
    std::vector<JpegSegment> segments = IccSegments(MakeLookupIccProfile(33), 10);
    segments.push_back(IptcSegment("Promedio simple y luminancia",
                                   "Colores puros y su equivalente en escala de gris",
                                   {"escala de gris", "luminancia", "color"}));
    return InsertJpegSegments(EncodeJpeg(MeanAgainstLuminance(), options), segments);
}

// One pixel's grey level in integer arithmetic, and the two cases the text quotes. Laid out for the
// box the picture is stretched into.
QImage WorkedPixel() {
    const QSizeF shown(318, 249);
    QImage image = Canvas(326, 200);
    QPainter p;
    BeginPainting(p, image);
    p.scale(326 / shown.width(), 200 / shown.height());
    const QRgb c = RoofColour(TownEdge());
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    const int sum = 30 * r + 59 * g + 11 * b, grey = sum / 100;
    p.setPen(kInk);
    p.setFont(SansFont(14, true));
    DrawText(p, {shown.width() / 2, 4}, QString::fromUtf8("Un píxel, con números enteros"),
             Qt::AlignHCenter | Qt::AlignTop);

    auto swatch = [&](QRectF box, QColor fill) {
        p.fillRect(box, fill);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
    };
    swatch(QRectF(10, 32, 30, 30), QColor(c));
    p.setPen(Qt::black);
    p.setFont(SansFont(13));
    DrawText(p, {48, 47}, QString::fromUtf8("techo: R = %1, G = %2, B = %3").arg(r).arg(g).arg(b),
             Qt::AlignLeft | Qt::AlignVCenter);
    const QString lines[] = {
        QString::fromUtf8("30 × %1 = %2").arg(r).arg(30 * r),
        QString::fromUtf8("59 × %1 = %2").arg(g).arg(59 * g),
        QString::fromUtf8("11 × %1 = %2").arg(b).arg(11 * b),
    };
    p.setFont(SansFont(13));
    for (int i = 0; i < 3; ++i)
        DrawText(p, {150, 72.0 + i * 19}, lines[i], Qt::AlignRight | Qt::AlignTop);
    p.drawLine(QPointF(70, 131), QPointF(150, 131));
    DrawText(p, {150, 134}, QString::fromUtf8("suma = %1").arg(sum), Qt::AlignRight | Qt::AlignTop);
    p.setFont(SansFont(13, true));
    DrawText(p, {180, 101}, QString::fromUtf8("%1 / 100 = %2").arg(sum).arg(grey),
             Qt::AlignLeft | Qt::AlignVCenter);
    swatch(QRectF(214, 116, 30, 30), QColor(grey, grey, grey));
    p.setPen(Qt::black);
    p.setFont(SansFont(12));
    DrawText(p, {229, 150}, QString::fromUtf8("gris %1").arg(grey), Qt::AlignHCenter | Qt::AlignTop);

    // White stays white; pure red is darker than it looks in colour.
    p.setPen(QPen(QColor(180, 180, 190), 1));
    p.drawLine(QPointF(8, 172), QPointF(shown.width() - 8, 172));
    const struct {
        const char* Name;
        QRgb Colour;
    } cases[] = {{"blanco (255, 255, 255)", qRgb(255, 255, 255)}, {"rojo puro (255, 0, 0)", qRgb(255, 0, 0)}};
    for (int i = 0; i < 2; ++i) {
        double y = 182 + i * 32;
        swatch(QRectF(10, y, 26, 24), QColor(cases[i].Colour));
        p.setPen(Qt::black);
        p.setFont(SansFont(13));
        DrawText(p, {44, y + 12}, QString::fromUtf8(cases[i].Name), Qt::AlignLeft | Qt::AlignVCenter);
        DrawArrow(p, {218, y + 12}, {240, y + 12}, 6);
        int l = Luminance(cases[i].Colour);
        swatch(QRectF(246, y, 26, 24), QColor(l, l, l));
        p.setPen(Qt::black);
        p.setFont(SansFont(13, true));
        DrawText(p, {278, y + 12}, QString::number(l), Qt::AlignLeft | Qt::AlignVCenter);
    }
    p.end();
    return image;
}

// A patch of fields and a road, as a 16-colour palette image.
IndexedImage PaletteScene() {
    const int w = 365, h = 326;
    View view{5200, 6150, 5.0 * w, 0, w, h};
    std::vector<Band> bands = {Bands::Ik3, Bands::Ik2, Bands::Ik1};
    auto b = RenderBands(view, bands);
    return Quantize(Composite(b[0], b[1], b[2], 0.005, 0.995), 16);
}

const QRectF kTitleBand(0, 0, 252, 19);

void PaletteRow(QPainter& p, double y, const std::vector<QRgb>& palette) {
    const double swatch = 15;
    for (size_t i = 0; i < palette.size(); ++i)
        p.fillRect(QRectF(6 + double(i) * swatch, y, swatch, 14), QColor(palette[i]));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(6, y, swatch * double(palette.size()), 14));
}

QImage PaletteInColour(const IndexedImage& scene) {
    QImage image = ToTrueColour(scene);
    QPainter p;
    BeginPainting(p, image);
    p.fillRect(kTitleBand, Qt::white);
    p.setPen(kInk);
    p.setFont(SansFont(12, true));
    DrawText(p, kTitleBand.center(), QString::fromUtf8("Imagen de paleta: 16 colores"), Qt::AlignCenter);
    p.fillRect(QRectF(2, 160, 248, 24), QColor(255, 255, 255, 230));
    PaletteRow(p, 165, scene.Palette);
    p.end();
    return image;
}

// The same pixels with the palette converted: the scene keeps its indices, and a strip shows each
// entry before and after. Written as an 8-bit file whose table holds the converted entries first, the
// original colours for the strip, and whatever greys the lettering needs.
IndexedImage PaletteInGrey(const IndexedImage& scene) {
    const IndexedImage grey = LuminancePalette(scene);
    QImage overlay(scene.Width, scene.Height, QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    QPainter p;
    BeginPainting(p, overlay);
    p.fillRect(kTitleBand, Qt::white);
    p.setPen(kInk);
    p.setFont(SansFont(12, true));
    DrawText(p, kTitleBand.center(), QString::fromUtf8("Paleta convertida a gris"), Qt::AlignCenter);
    p.fillRect(QRectF(2, 148, 248, 44), Qt::white);
    PaletteRow(p, 152, scene.Palette);
    PaletteRow(p, 173, grey.Palette);
    p.end();

    IndexedImage out{scene.Width, scene.Height, scene.Pixels, grey.Palette};
    out.Palette.insert(out.Palette.end(), scene.Palette.begin(), scene.Palette.end());
    std::map<QRgb, uint8_t> index;
    for (size_t i = out.Palette.size(); i-- > 0;)
        index[out.Palette[i] | 0xFF000000u] = uint8_t(i);
    for (int y = 0; y < out.Height; ++y) {
        auto* line = reinterpret_cast<const QRgb*>(overlay.constScanLine(y));
        for (int x = 0; x < out.Width; ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0) continue;
            uint8_t& pixel = out.Pixels[size_t(y) * size_t(out.Width) + size_t(x)];
            // The overlay over the grey scene beneath it (the overlay is premultiplied).
            QRgb under = grey.Palette[pixel];
            auto mix = [&](int over, int below) {
                return std::clamp(over + below * (255 - alpha) / 255, 0, 255);
            };
            QRgb c = qRgb(mix(qRed(line[x]), qRed(under)), mix(qGreen(line[x]), qGreen(under)),
                          mix(qBlue(line[x]), qBlue(under)));
            auto it = index.find(c);
            if (it == index.end()) {
                if (out.Palette.size() < 256) {
                    out.Palette.push_back(c & 0xFFFFFFu);
                    it = index.emplace(c, uint8_t(out.Palette.size() - 1)).first;
                } else {
                    it = index.emplace(c, uint8_t(NearestColour(c, out.Palette))).first;
                }
            }
            pixel = it->second;
        }
    }
    return out;
}

} // namespace

std::vector<Recipe> Page23() {
    return {
        {"p23-color-original.bmp",
         [] {
             return EncodeBitmap24(Labelled(TownEdge(), QString::fromUtf8("Original en color (24 bits)")));
         }},
        {"p23-escala-gris.bmp",
         [] {
             return EncodeBitmap24(Labelled(LuminanceImage(TownEdge()),
                                            QString::fromUtf8("Gris = (30 R + 59 G + 11 B) / 100")));
         }},
        {"p23-sensibilidad-ojo.bmp", [] { return EncodeBitmap24(EyeAndWeights()); }},
        {"p23-promedio-luminancia.jpg", [] { return MeanAgainstLuminanceFile(); }},
        {"p23-calculo-pixel.jpg", [] { return EncodeJpeg(WorkedPixel(), JpegColour(90)); }},
        {"p23-paleta-color.bmp", [] { return EncodeBitmap24(PaletteInColour(PaletteScene())); }},
        {"p23-paleta-gris.bmp", [] { return EncodeBitmap8(PaletteInGrey(PaletteScene())); }},
    };
}
