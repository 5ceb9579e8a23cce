// Page 22: the four classes of image processes. A diagram of what each class reads to compute one
// output pixel, and one example of each on the landscape: a point process (a linear contrast stretch
// through a lookup table), an area process (edge detection with a 3 x 3 kernel), a frame process (a
// normalised difference of two bands) and a geometric process (a rotation with bilinear resampling).
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Correction.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Noise.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

const QColor kInk(20, 30, 100), kPixel(220, 30, 30), kArea(0, 100, 230);

// A small grid of pixels with made-up grey levels, for the diagram.
void DrawCells(QPainter& p, QPointF at, int n, double cell, uint32_t seed) {
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            int v = 150 + int(80 * Hash01(i, j, seed));
            p.fillRect(QRectF(at.x() + i * cell, at.y() + j * cell, cell, cell), QColor(v, v, v));
        }
    p.setPen(QPen(QColor(110, 110, 110), 1));
    for (int k = 0; k <= n; ++k) {
        p.drawLine(at + QPointF(k * cell, 0), at + QPointF(k * cell, n * cell));
        p.drawLine(at + QPointF(0, k * cell), at + QPointF(n * cell, k * cell));
    }
}

void MarkCell(QPainter& p, QPointF at, double cell, int i, int j, QColor colour, int span = 1,
              bool fill = true) {
    QRectF r(at.x() + i * cell, at.y() + j * cell, span * cell, span * cell);
    if (fill) p.fillRect(r, QColor(colour.red(), colour.green(), colour.blue(), 90));
    p.setPen(QPen(colour, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void Heading(QPainter& p, QPointF at, const QString& title, const QString& formula) {
    DrawHeading(p, at, title, 14, kInk);
    p.setPen(Qt::black);
    p.setFont(SansFont(12));
    DrawText(p, at + QPointF(0, 19), formula);
}

QImage ProcessClasses() {
    QImage image = Canvas(576, 432, QColor(250, 250, 246));
    QPainter p;
    BeginPainting(p, image);
    const double qw = 277, qh = 174, cell = 16;
    p.setPen(QPen(QColor(180, 180, 190), 1));
    p.drawLine(QPointF(qw, 6), QPointF(qw, 2 * qh - 6));
    p.drawLine(QPointF(6, qh), QPointF(2 * qw - 6, qh));
    auto arrow = [&](QPointF from, QPointF to, const QString& label) {
        p.setPen(QPen(kInk, 2));
        DrawArrow(p, from, to, 8);
        p.setFont(SansFont(12, true));
        DrawText(p, (from + to) / 2 - QPointF(0, 4), label, Qt::AlignHCenter | Qt::AlignBottom);
    };

    // Point: one pixel in, the same pixel out.
    {
        QPointF o(0, 0);
        Heading(p, o + QPointF(10, 6), QString::fromUtf8("1. Procesos puntuales"),
                QString::fromUtf8("g(x, y) = T[ f(x, y) ]"));
        QPointF in = o + QPointF(16, 60), out = o + QPointF(178, 60);
        DrawCells(p, in, 5, cell, 1);
        DrawCells(p, out, 5, cell, 2);
        MarkCell(p, in, cell, 2, 2, kPixel);
        MarkCell(p, out, cell, 2, 2, kPixel);
        arrow(in + QPointF(5 * cell + 10, 2.5 * cell), out + QPointF(-10, 2.5 * cell), "T");
        p.setFont(SansFont(11));
        p.setPen(QColor(60, 60, 60));
        DrawText(p, in + QPointF(2.5 * cell, 5 * cell + 4), "entrada f", Qt::AlignHCenter | Qt::AlignTop);
        DrawText(p, out + QPointF(2.5 * cell, 5 * cell + 4), "salida g", Qt::AlignHCenter | Qt::AlignTop);
    }
    // Area: the neighbourhood in, its centre out.
    {
        QPointF o(qw, 0);
        Heading(p, o + QPointF(12, 6), QString::fromUtf8("2. Procesos sobre áreas"),
                QString::fromUtf8("g(x, y) = T[ vecindad 3 × 3 de (x, y) ]"));
        QPointF in = o + QPointF(18, 60), out = o + QPointF(180, 60);
        DrawCells(p, in, 5, cell, 3);
        DrawCells(p, out, 5, cell, 4);
        MarkCell(p, in, cell, 1, 1, kArea, 3);
        MarkCell(p, in, cell, 2, 2, kPixel, 1, false);
        MarkCell(p, out, cell, 2, 2, kPixel);
        arrow(in + QPointF(5 * cell + 10, 2.5 * cell), out + QPointF(-10, 2.5 * cell), "T");
        p.setFont(SansFont(11));
        p.setPen(QColor(60, 60, 60));
        DrawText(p, in + QPointF(2.5 * cell, 5 * cell + 4), "9 valores de f",
                 Qt::AlignHCenter | Qt::AlignTop);
        DrawText(p, out + QPointF(2.5 * cell, 5 * cell + 4), "1 valor de g", Qt::AlignHCenter | Qt::AlignTop);
    }
    // Frame: the same pixel of two images in, one pixel out.
    {
        QPointF o(0, qh);
        Heading(p, o + QPointF(10, 6), QString::fromUtf8("3. Procesos marco"),
                QString::fromUtf8("g(x, y) = T[ f₁(x, y), f₂(x, y) ]"));
        const double small = 11;
        QPointF in1 = o + QPointF(16, 46), in2 = o + QPointF(16, 46 + 5 * small + 10),
                out = o + QPointF(178, 60);
        DrawCells(p, in1, 5, small, 5);
        DrawCells(p, in2, 5, small, 6);
        DrawCells(p, out, 5, cell, 7);
        MarkCell(p, in1, small, 2, 2, kPixel);
        MarkCell(p, in2, small, 2, 2, kPixel);
        MarkCell(p, out, cell, 2, 2, kPixel);
        p.setFont(SansFont(12, true));
        p.setPen(Qt::black);
        DrawText(p, in1 + QPointF(5 * small + 5, 2.5 * small), QString::fromUtf8("f₁"),
                 Qt::AlignLeft | Qt::AlignVCenter);
        DrawText(p, in2 + QPointF(5 * small + 5, 2.5 * small), QString::fromUtf8("f₂"),
                 Qt::AlignLeft | Qt::AlignVCenter);
        p.setPen(QPen(kInk, 2));
        QPointF join = out + QPointF(-42, 2.5 * cell);
        p.drawLine(in1 + QPointF(5 * small + 24, 2.5 * small), join);
        p.drawLine(in2 + QPointF(5 * small + 24, 2.5 * small), join);
        arrow(join, out + QPointF(-10, 2.5 * cell), "T");
        p.setFont(SansFont(11));
        p.setPen(QColor(60, 60, 60));
        DrawText(p, out + QPointF(2.5 * cell, 5 * cell + 4), "salida g", Qt::AlignHCenter | Qt::AlignTop);
    }
    // Geometric: the pixels keep their values and change place (here a quarter turn).
    {
        QPointF o(qw, qh);
        Heading(p, o + QPointF(12, 6), QString::fromUtf8("4. Procesos geométricos"),
                QString::fromUtf8("g(x′, y′) = f(x, y),  (x′, y′) = G(x, y)"));
        QPointF in = o + QPointF(18, 60), out = o + QPointF(180, 60);
        DrawCells(p, in, 5, cell, 8);
        DrawCells(p, out, 5, cell, 8);
        const QPoint shape[] = {{1, 1}, {1, 2}, {1, 3}, {2, 3}, {3, 3}};
        const QColor dark(40, 60, 120);
        for (QPoint s : shape) {
            p.fillRect(QRectF(in.x() + s.x() * cell, in.y() + s.y() * cell, cell, cell), dark);
            // A quarter turn about the centre cell: (i, j) goes to (4 - j, i).
            p.fillRect(QRectF(out.x() + (4 - s.y()) * cell, out.y() + s.x() * cell, cell, cell), dark);
        }
        MarkCell(p, in, cell, 1, 1, kPixel, 1, false);
        MarkCell(p, out, cell, 3, 1, kPixel, 1, false);
        arrow(in + QPointF(5 * cell + 10, 2.5 * cell), out + QPointF(-10, 2.5 * cell), "G");
        p.setFont(SansFont(11));
        p.setPen(QColor(60, 60, 60));
        DrawText(p, in + QPointF(2.5 * cell, 5 * cell + 4), "(x, y)", Qt::AlignHCenter | Qt::AlignTop);
        DrawText(p, out + QPointF(2.5 * cell, 5 * cell + 4), QString::fromUtf8("(x′, y′): giro de 90°"),
                 Qt::AlignHCenter | Qt::AlignTop);
    }
    p.end();
    return image;
}

// A caption in a dark band across the top of an example.
void Banner(QPainter& p, double width, const QString& text) {
    p.fillRect(QRectF(0, 0, width, 20), QColor(20, 30, 80));
    p.setPen(Qt::white);
    p.setFont(SansFont(12, true));
    DrawText(p, {width / 2, 10}, text, Qt::AlignCenter);
}

// The small labels on the example pictures.
const TagStyle kTag{11, 16, 8, 220};

// Point process: a hazy green band as recorded, and the same through a linear stretch.
QImage PointExample() {
    const int w = 294, h = 225, imageH = h - 20;
    View view{5200, 7400, 14.0 * w, 0, w, imageH};
    // A hazy recording: the scene's reflectances occupy a narrow band of middle levels.
    const QImage recorded = ToGrey(RenderBand(view, Bands::Tm2), -0.2f, 0.45f);
    const LookupTable table = PercentStretchTable(Histogram(recorded), 0.005);
    const QImage stretched = ApplyTable(recorded, table);
    QImage image = Canvas(w, h);
    QPainter p;
    BeginPainting(p, image);
    Banner(p, 290, QString::fromUtf8("Proceso puntual: ampliación del contraste"));
    const int half = 145;
    p.drawImage(QPointF(0, 20), recorded, QRectF(0, 0, half, imageH));
    p.drawImage(QPointF(half, 20), stretched, QRectF(half, 0, w - half, imageH));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(half, 20), QPointF(half, h));
    DrawTagBox(p, {4, h - 4.0}, "original", kTag, Qt::AlignLeft | Qt::AlignBottom);
    DrawTagBox(p, {286, h - 4.0}, "resultado", kTag, Qt::AlignRight | Qt::AlignBottom);
    // The lookup table T that maps each level of the original to its new level.
    const QRectF graph(232, 26, 52, 52);
    p.fillRect(graph.adjusted(-4, -4, 4, 4), QColor(255, 255, 255, 230));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawRect(graph);
    QPolygonF line;
    for (int v = 0; v < 256; ++v)
        line << QPointF(graph.left() + graph.width() * v / 255.0,
                        graph.bottom() - graph.height() * table[size_t(v)] / 255.0);
    p.setPen(QPen(kPixel, 2));
    p.drawPolyline(line);
    p.setPen(Qt::black);
    p.setFont(SansFont(11, true));
    DrawText(p, graph.topLeft() + QPointF(3, 1), "T");
    p.end();
    return image;
}

// Area process: edges found by a 3 x 3 kernel whose weights sum to zero.
QImage AreaExample() {
    const int w = 314, h = 207, imageH = h - 20;
    View view{7560, 4660, 2.0 * w, 0, w, imageH};
    const QImage pan = Stretched(RenderBand(view, Bands::IkPan), 0.005, 0.995);
    Kernel edges = MakeKernel(3, {-1, -1, -1, -1, 8, -1, -1, -1, -1});
    edges.Scale = 2;
    // A light smoothing first keeps the roofs' fine texture from passing for edges.
    const QImage found = Convolve(Convolve(pan, GaussianKernel(0.9)), edges);
    QImage image = Canvas(w, h);
    QPainter p;
    BeginPainting(p, image);
    Banner(p, w, QString::fromUtf8("Proceso sobre áreas: detección de bordes"));
    const int half = 157;
    p.drawImage(QPointF(0, 20), pan, QRectF(0, 0, half, imageH));
    p.drawImage(QPointF(half, 20), found, QRectF(half, 0, w - half, imageH));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(half, 20), QPointF(half, h));
    DrawTagBox(p, {4, 198}, "original", kTag, Qt::AlignLeft | Qt::AlignBottom);
    DrawTagBox(p, {310, 198}, "resultado", kTag, Qt::AlignRight | Qt::AlignBottom);
    // The kernel.
    const double c = 17;
    const QPointF k(w - 3 * c - 8, 28);
    p.fillRect(QRectF(k - QPointF(4, 4), QSizeF(3 * c + 8, 3 * c + 22)), QColor(255, 255, 255, 235));
    p.setPen(Qt::black);
    p.setFont(SansFont(11));
    DrawText(p, k + QPointF(1.5 * c, 3 * c + 1), "k = 2", Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(11, true));
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            QRectF r(k.x() + i * c, k.y() + j * c, c, c);
            p.setPen(QPen(QColor(120, 120, 120), 1));
            p.drawRect(r);
            p.setPen(i == 1 && j == 1 ? kPixel : Qt::black);
            DrawText(p, r.center(), i == 1 && j == 1 ? "8" : QString::fromUtf8("−1"), Qt::AlignCenter);
        }
    p.end();
    return image;
}

// Frame process: band 3 (red) and band 4 (near infrared) combined pixel by pixel.
QImage FrameExample() {
    const int w = 358, h = 237;
    const int outW = 220, outH = 204, inW = 110, inH = 100;
    View view{4300, 3300, 20.0 * outW, 0, outW, outH};
    std::vector<Band> bands = {Bands::Tm3, Bands::Tm4};
    auto b = RenderBands(view, bands);
    FloatImage index(outW, outH);
    for (size_t i = 0; i < index.Values.size(); ++i) {
        float red = b[0].Values[i] + PathRadiance(Bands::Tm3),
              nir = b[1].Values[i] + PathRadiance(Bands::Tm4);
        index.Values[i] = (nir - red) / std::max(1e-4f, nir + red);
    }
    // Water blue-grey, bare ground beige, sparse cover yellow, dense vegetation deep green.
    const struct {
        double At;
        QColor Colour;
    } stops[] = {{-0.25, QColor(70, 90, 140)},
                 {0.1, QColor(196, 176, 136)},
                 {0.35, QColor(206, 200, 96)},
                 {0.6, QColor(96, 170, 64)},
                 {0.85, QColor(20, 100, 34)}};
    QImage result(outW, outH, QImage::Format_RGB32);
    for (int y = 0; y < outH; ++y)
        for (int x = 0; x < outW; ++x) {
            double v = std::clamp(double(index.At(x, y)), stops[0].At, stops[4].At);
            size_t k = 0;
            while (k < 3 && v > stops[k + 1].At)
                ++k;
            double t = (v - stops[k].At) / (stops[k + 1].At - stops[k].At);
            const QColor &c0 = stops[k].Colour, &c1 = stops[k + 1].Colour;
            result.setPixel(x, y,
                            qRgb(int(c0.red() + t * (c1.red() - c0.red())),
                                 int(c0.green() + t * (c1.green() - c0.green())),
                                 int(c0.blue() + t * (c1.blue() - c0.blue()))));
        }
    const QImage red = Stretched(b[0]).scaled(inW, inH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage nir = Stretched(b[1]).scaled(inW, inH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QImage image = Canvas(w, h);
    QPainter p;
    BeginPainting(p, image);
    Banner(p, 352, QString::fromUtf8("Proceso marco: combinación de dos bandas"));
    const QPointF a(2, 24), bb(2, 128), out(130, 24);
    p.drawImage(a, red);
    p.drawImage(bb, nir);
    p.drawImage(out, result);
    p.setPen(QPen(kInk, 2));
    DrawArrow(p, a + QPointF(inW + 2, inH / 2.0), out + QPointF(-2, outH / 2.0 - 8), 7);
    DrawArrow(p, bb + QPointF(inW + 2, inH / 2.0), out + QPointF(-2, outH / 2.0 + 8), 7);
    DrawTagBox(p, a + QPointF(2, 2), "Banda 3 (rojo)", kTag);
    DrawTagBox(p, bb + QPointF(2, 2), "Banda 4 (IR)", kTag);
    DrawTagBox(p, out + QPointF(2, 2), QString::fromUtf8("(B4 − B3) / (B4 + B3)"), kTag);
    DrawTagBox(p, out + QPointF(2, outH - 2.0), QString::fromUtf8("verde: vegetación"), kTag,
               Qt::AlignLeft | Qt::AlignBottom);
    p.end();
    return image;
}

// Geometric process: the town turned until its street grid runs along the picture's axes.
QImage GeometricExample() {
    const int w = 313, h = 242;
    const int pw = 148, ph = 214;
    View view{7300, 4700, 3.0 * pw, 0, pw, ph};
    std::vector<Band> bands = {Bands::Ik3, Bands::Ik2, Bands::Ik1};
    auto b = RenderBands(view, bands);
    const QImage original = Composite(b[0], b[1], b[2], 0.005, 0.995);
    const double angle = Landscape::StreetAngle, ca = std::cos(angle), sa = std::sin(angle);
    const QPointF centre(pw / 2.0, ph / 2.0);
    // Each output pixel looks up where it came from: the inverse rotation about the centre.
    const QImage turned = Resample(
        original, original.size(),
        [&](QPointF q) {
            QPointF d = q - centre;
            return centre + QPointF(ca * d.x() - sa * d.y(), sa * d.x() + ca * d.y());
        },
        Resampling::Bilinear, QColor(235, 235, 235));
    const double degrees = angle * 180 / std::numbers::pi;

    QImage image = Canvas(w, h);
    QPainter p;
    BeginPainting(p, image);
    Banner(p, 306, QString::fromUtf8("Proceso geométrico: rotación"));
    const QPointF left(2, 24), right(156, 24);
    p.drawImage(left, original);
    p.drawImage(right, turned);
    DrawTagBox(p, left + QPointF(2, ph - 2.0), "original", kTag, Qt::AlignLeft | Qt::AlignBottom);
    DrawTagBox(p, right + QPointF(2, ph - 2.0), QString::fromUtf8("girada %1°").arg(Decimal(degrees, 1)),
               kTag, Qt::AlignLeft | Qt::AlignBottom);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page22() {
    return {
        {"p22-clases-procesos.bmp", [] { return EncodeBitmap24(ProcessClasses()); }},
        {"p22-proceso-puntual.jpg", [] { return EncodeJpeg(PointExample(), JpegColour(88)); }},
        {"p22-proceso-area.jpg", [] { return EncodeJpeg(AreaExample(), JpegColour(88)); }},
        {"p22-proceso-marco.jpg", [] { return EncodeJpeg(FrameExample(), JpegColour(88)); }},
        {"p22-proceso-geometrico.jpg", [] { return EncodeJpeg(GeometricExample(), JpegColour(88)); }},
    };
}
