// Landsat scenes: haze and sun of a date, common stretches, band sheets and map furniture.
#include "content/toolkit/scenes/LandsatScenes.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Photo.h"

#include <QAbstractTextDocumentLayout>
#include <QPainterPath>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace Bands {
const Band Etm1{"ETM+ 1", 0.45, 0.515}, Etm2{"ETM+ 2", 0.525, 0.605}, Etm3{"ETM+ 3", 0.63, 0.69},
    Etm4{"ETM+ 4", 0.775, 0.90};
} // namespace Bands

std::vector<FloatImage> RenderScene(const View& view, std::span<const Band> bands, const SceneDate& date) {
    std::vector<FloatImage> out = RenderBands(view, bands, date.Sun);
    for (size_t b = 0; b < bands.size(); ++b) {
        const float haze = date.Haze * PathRadiance(bands[b]);
        for (float& v : out[b].Values)
            v += haze;
    }
    return out;
}

std::vector<QImage> CommonStretch(std::span<const FloatImage> bands, double low, double high) {
    FloatImage all;
    for (const FloatImage& b : bands)
        all.Values.insert(all.Values.end(), b.Values.begin(), b.Values.end());
    all.Width = int(all.Values.size()), all.Height = 1;
    auto [lo, hi] = Percentiles(all, low, high);
    std::vector<QImage> out;
    for (const FloatImage& b : bands)
        out.push_back(ToGrey(b, lo, hi));
    return out;
}

QImage CommonStretchComposite(const FloatImage& red, const FloatImage& green, const FloatImage& blue,
                              double low, double high) {
    const FloatImage bands[] = {red, green, blue};
    std::vector<QImage> g = CommonStretch(bands, low, high);
    QImage out(red.Width, red.Height, QImage::Format_RGB32);
    for (int y = 0; y < red.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const uchar *r = g[0].constScanLine(y), *gg = g[1].constScanLine(y), *b = g[2].constScanLine(y);
        for (int x = 0; x < red.Width; ++x)
            line[x] = qRgb(r[x], gg[x], b[x]);
    }
    return out;
}

void DrawScaleBar(QPainter& p, QPointF leftBottom, double metresPerPixel, double metres, double fontPixels) {
    p.save();
    const double length = metres / metresPerPixel, h = std::max(4.0, fontPixels * 0.4);
    const QString label = metres >= 1000
                              ? Decimal(metres / 1000, std::fmod(metres, 1000) == 0 ? 0 : 1) + " km"
                              : QString::number(int(metres)) + " m";
    p.setFont(SansFont(fontPixels, true));
    const double labelWidth = QFontMetricsF(p.font()).horizontalAdvance(label);
    QRectF halo(leftBottom.x() - 5, leftBottom.y() - h - fontPixels * 1.3 - 4, length + labelWidth / 2 + 12,
                h + fontPixels * 1.3 + 8);
    p.fillRect(halo, QColor(255, 255, 255, 210));
    const int segments = 4;
    for (int i = 0; i < segments; ++i) {
        QRectF seg(leftBottom.x() + i * length / segments, leftBottom.y() - h, length / segments, h);
        p.fillRect(seg, i % 2 ? Qt::white : Qt::black);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(leftBottom.x(), leftBottom.y() - h, length, h));
    DrawText(p, {leftBottom.x(), leftBottom.y() - h - 1}, "0", Qt::AlignHCenter | Qt::AlignBottom);
    DrawText(p, {leftBottom.x() + length, leftBottom.y() - h - 1}, label, Qt::AlignHCenter | Qt::AlignBottom);
    p.restore();
}

void DrawNorthArrow(QPainter& p, QPointF tip, double length, double fontPixels) {
    p.save();
    const double w = length * 0.32;
    p.setFont(SansFont(fontPixels, true));
    QRectF halo(tip.x() - w - 4, tip.y() - 4, 2 * w + 8, length + fontPixels * 1.2 + 8);
    p.fillRect(halo, QColor(255, 255, 255, 210));
    QPainterPath left, right;
    left.moveTo(tip);
    left.lineTo(tip + QPointF(-w, length));
    left.lineTo(tip + QPointF(0, length * 0.72));
    left.closeSubpath();
    right.moveTo(tip);
    right.lineTo(tip + QPointF(w, length));
    right.lineTo(tip + QPointF(0, length * 0.72));
    right.closeSubpath();
    p.fillPath(left, Qt::black);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(right);
    p.setPen(Qt::black);
    DrawText(p, tip + QPointF(0, length + 1), "N", Qt::AlignHCenter | Qt::AlignTop);
    p.restore();
}

void DrawPlaceLabel(QPainter& p, QPointF at, QPointF target, const QString& text, double fontPixels) {
    p.save();
    p.setFont(SansFont(fontPixels, true));
    QFontMetricsF m(p.font());
    QRectF box(at, QSizeF(m.horizontalAdvance(text) + 8, m.height() + 2));
    if (!box.contains(target)) {
        QPointF from(std::clamp(target.x(), box.left(), box.right()),
                     std::clamp(target.y(), box.top(), box.bottom()));
        p.setPen(QPen(QColor(255, 255, 255, 230), 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, target);
        p.setPen(QPen(Qt::black, 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, target);
        p.setBrush(Qt::white);
        p.drawEllipse(target, 2.6, 2.6);
    }
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRect(box);
    p.setPen(Qt::black);
    DrawText(p, box.center(), text, Qt::AlignCenter);
    p.restore();
}

void DrawValleyLabels(QPainter& p, const View& view, double fontPixels) {
    auto river = [](double x) { return QPointF(x, Landscape::RiverY(x)); };
    const double bedY = 8800, bedX = 5300 + 150 * std::sin(bedY / 310 + 1) + 60 * std::sin(bedY / 97 + 2);
    // Each place: the point named and where the label's top-left corner goes, in metres.
    const struct {
        const char* Name;
        QPointF Target, Label;
    } places[] = {
        {"Ciudad", {8300, 3900}, {8550, 2700}},
        {"Embalse y presa", river(3100), river(2650) + QPointF(-1000, 500)},
        {"Río", river(10600), river(10600) + QPointF(-250, -750)},
        {"Bosque", {1500, 3700}, {700, 3000}},
        {"Cultivos", {9700, 8300}, {9800, 8900}},
        {"Cauce seco", {bedX, bedY}, {5900, 9400}},
        {"Cantera inundada", {Landmarks::GravelPitX, Landmarks::GravelPitY - 60}, {5700, 7350}},
        {"Granito", {2350, 8950}, {2900, 9250}},
    };
    auto pixel = [&](QPointF world) {
        return QPointF((world.x() - view.X0) / view.PixelSize(), (world.y() - view.Y0) / view.PixelSizeY());
    };
    const QRectF inside(0, 0, view.Width, view.Height);
    for (const auto& place : places) {
        const QPointF target = pixel(place.Target), label = pixel(place.Label);
        if (inside.contains(target) && inside.contains(label))
            DrawPlaceLabel(p, label, target, QString::fromUtf8(place.Name), fontPixels);
    }
}

void DrawBandPositions(QPainter& p, const QRectF& area, std::span<const Band> bands,
                       const QStringList& labels, double fontPixels, const QString& title) {
    ChartLayout chart;
    chart.Title = title;
    chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    chart.X0 = 0.4, chart.X1 = 1.0, chart.XStep = 0.1;
    chart.Y0 = 0, chart.Y1 = 60, chart.YStep = 20;
    chart.FontPixels = fontPixels;
    chart.Legend = false;
    for (size_t i = 0; i < bands.size(); ++i) {
        const double mid = (bands[i].Lo + bands[i].Hi) / 2;
        QColor c = mid > 0.7 ? QColor(236, 196, 196) : SpectrumColour(mid).lighter(150);
        chart.Spans.push_back(
            {bands[i].Lo, bands[i].Hi, i < size_t(labels.size()) ? labels[int(i)] : QString(), c});
    }
    const struct {
        Material Kind;
        const char* Name;
        QColor Colour;
    } curves[] = {{Material::CropGreen, "vegetación", QColor(20, 130, 40)},
                  {Material::SoilDry, "suelo", QColor(150, 95, 40)},
                  {Material::ClearWater, "agua", QColor(30, 70, 200)}};
    for (const auto& c : curves) {
        Series s{QString::fromUtf8(c.Name), c.Colour, {}, Qt::SolidLine, 2};
        for (double um = 0.4; um <= 1.0001; um += 0.005)
            s.Points.push_back({um, 100 * Reflectance(c.Kind, um)});
        chart.Lines.push_back(s);
    }
    const QRectF plot = DrawChart(p, area, chart);
    // Each curve named where it ends, on the right.
    p.save();
    p.setFont(SansFont(fontPixels * 0.9, true));
    for (const Series& s : chart.Lines) {
        QPointF end = ChartPoint(plot, chart, 0.985, s.Points.back().y());
        p.setPen(s.Colour);
        DrawText(p, end - QPointF(0, 2), s.Name, Qt::AlignRight | Qt::AlignBottom);
    }
    p.restore();
}

QImage BandSheet(QSize size, const View& scene, const SceneDate& date, std::span<const BandPanel> panels,
                 const QRectF& notesBox, const QStringList& notes, const QRectF& chartBox) {
    std::vector<Band> bands;
    for (const BandPanel& panel : panels)
        bands.push_back(panel.Of);
    std::vector<FloatImage> rendered = RenderScene(scene, bands, date);
    std::vector<QImage> grey = CommonStretch(rendered);
    QImage sheet = Canvas(size.width(), size.height());
    QPainter p;
    BeginPainting(p, sheet);
    for (size_t i = 0; i < panels.size(); ++i) {
        // A little detector noise, different in every band.
        AddGrain(grey[i], 1.2, 3301 + uint32_t(i) * 7);
        const QPoint at = panels[i].At;
        p.drawImage(at, grey[i]);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(at.x() - 0.5, at.y() - 0.5, scene.Width + 1, scene.Height + 1));
        p.setFont(SansFont(14, true));
        QRectF tag(at.x() + 6, at.y() + 6, QFontMetricsF(p.font()).horizontalAdvance(panels[i].Tag) + 12, 22);
        p.fillRect(tag, QColor(255, 255, 255, 225));
        p.setPen(QColor(0, 0, 150));
        DrawText(p, tag.center(), panels[i].Tag, Qt::AlignCenter);
    }
    const BandPanel& last = panels.back();
    DrawScaleBar(p, QPointF(last.At.x() + 12, last.At.y() + scene.Height - 10), scene.PixelSize(), 2000, 12);
    DrawNorthArrow(p, QPointF(last.At.x() + scene.Width - 22, last.At.y() + 10), 24, 12);

    QTextDocument doc;
    doc.setDefaultFont(SansFont(14));
    doc.setDocumentMargin(0);
    doc.setTextWidth(notesBox.width());
    QString html;
    for (const QString& note : notes) {
        const qsizetype colon = note.indexOf(QLatin1Char(':'));
        QString lead = colon > 0 ? note.left(colon + 1).toHtmlEscaped() : QString();
        QString rest = (colon > 0 ? note.mid(colon + 1) : note).toHtmlEscaped();
        html += "<p style=\"margin-bottom:7px\"><b>" + lead + "</b>" + rest + "</p>";
    }
    doc.setHtml(html);
    p.save();
    p.translate(notesBox.topLeft());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, QColor(20, 20, 20));
    context.clip = QRectF(0, 0, notesBox.width(), notesBox.height());
    doc.documentLayout()->draw(&p, context);
    p.restore();

    QStringList labels;
    for (const BandPanel& panel : panels) {
        QString name = QString::fromUtf8(panel.Of.Name);
        labels << "B" + name.section(QLatin1Char(' '), -1);
    }
    DrawBandPositions(p, chartBox, bands, labels, 11,
                      QString::fromUtf8("Posición de las bandas en el espectro"));
    p.end();
    return sheet;
}
