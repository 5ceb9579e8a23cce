// Page 1: two examples of what a photo-interpreter reads. Left, a vertical panchromatic photograph of
// the town (street grid, blocks, parks, the river at the bottom); right, a close view of bare rock in
// three materials told apart by tone and texture, the granite cut by two perpendicular joint sets.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Noise.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>

namespace {

QImage UrbanPhotograph() {
    const int w = 3316, h = 3198;
    const double pixel = 0.8;
    View view{Landmarks::TownX - w * pixel / 2, Landmarks::TownY - h * pixel / 2 + 250, w * pixel, 0, w, h};
    QImage photo = FilmPositive(RenderBand(view, Bands::FilmPan), 0.42f);
    Vignette(photo, 0.25);
    AddGrain(photo, 5, 101);
    return photo;
}

// Tone and texture of the three rocks: a light granite with orthogonal joints, a dark banded schist and
// a medium sandstone in thin beds, with soil and shrubs in the joints and along the contacts.
QImage RockTextures() {
    const int w = 440, h = 658;
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double fx = x, fy = y;
            // Contacts between the rocks wander across the picture.
            double contact1 = 230 + 40 * std::sin(fx / 70) + 18 * Fractal(fx / 40, 0.5, 301, 3);
            double contact2 = 470 + 30 * std::sin(fx / 55 + 1) + 20 * Fractal(fx / 35, 3.5, 302, 3);
            double grain = Fractal(fx / 3, fy / 3, 303, 3);
            double r, g, b;
            if (fy < contact1) {
                // Granite: light, massive, two joint sets at right angles (rotated 25 degrees).
                double a = 0.44, u = fx * std::cos(a) + fy * std::sin(a),
                       v = -fx * std::sin(a) + fy * std::cos(a);
                double ju = std::abs(std::fmod(u + 1000, 46) - 23),
                       jv = std::abs(std::fmod(v + 1000, 38) - 19);
                double joint = std::max(ju - 21.5 - 1.2 * Fractal(fx / 9, fy / 9, 304, 2),
                                        jv - 17.5 - 1.2 * Fractal(fx / 9, fy / 9, 305, 2));
                double base = 182 + 16 * Fractal(fx / 25, fy / 25, 306, 3) + 10 * grain;
                if (joint > 0) {
                    bool shrub = Fractal(fx / 6, fy / 6, 307, 2) > 0.2;
                    r = shrub ? 70 : 96, g = shrub ? 92 : 84, b = shrub ? 52 : 66;
                } else {
                    r = base, g = base - 4, b = base - 12;
                }
            } else if (fy < contact2) {
                // Schist: dark, finely banded along its foliation.
                double band = std::sin((fx * 0.3 + fy) / 4.5 + 2 * Fractal(fx / 30, fy / 30, 308, 3));
                double base = 78 + 14 * band + 12 * grain;
                r = base, g = base + 4, b = base + 2;
            } else {
                // Sandstone: medium, warm, in beds a few pixels thick with cross joints.
                double bed = std::sin((fy - 0.1 * fx) / 3.2 + 1.5 * Fractal(fx / 50, fy / 50, 309, 2));
                double cross = std::abs(std::fmod(fx + 3 * std::sin(fy / 20) + 1000, 70) - 35) > 34 ? -40 : 0;
                double base = 150 + 14 * bed + 14 * grain + cross;
                r = base + 18, g = base, b = base - 26;
            }
            line[x] =
                qRgb(std::clamp(int(r), 0, 255), std::clamp(int(g), 0, 255), std::clamp(int(b), 0, 255));
        }
    }
    AddGrain(out, 3, 310);
    QPainter p;
    BeginPainting(p, out);
    p.setFont(SansFont(15, true));
    const struct {
        int Y;
        const char* Text;
    } notes[] = {{14, "Granito: tono claro, diaclasas en ángulo recto"},
                 {300, "Esquisto: tono oscuro, textura bandeada"},
                 {560, "Arenisca: tono medio, estratos finos"}};
    for (const auto& n : notes) {
        QRectF box(8, n.Y, 424, 24);
        p.fillRect(box, QColor(255, 255, 255, 200));
        p.setPen(QColor(20, 20, 90));
        DrawText(p, box.center(), QString::fromUtf8(n.Text), Qt::AlignCenter);
    }
    p.end();
    return out;
}

} // namespace

std::vector<Recipe> Page01() {
    return {
        {"p01-estructura-urbana.jpg", [] { return EncodeJpeg(UrbanPhotograph(), JpegGrey(80)); }},
        {"p01-rocas-texturas.bmp", [] { return EncodeBitmap24(RockTextures()); }},
    };
}
