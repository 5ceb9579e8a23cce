// Radiometric and geometric correction of scenes: detector striping and its removal, lost lines,
// dark-object subtraction, least-squares polynomials through control points, resampling.
#include "content/toolkit/scenes/Correction.h"

#include "content/toolkit/scenes/Noise.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<bool> LostLines(const FloatImage& image) {
    std::vector<bool> lost(size_t(image.Height));
    for (int y = 0; y < image.Height; ++y) {
        bool zero = true;
        for (int x = 0; x < image.Width && zero; ++x)
            zero = image.At(x, y) == 0;
        lost[size_t(y)] = zero;
    }
    return lost;
}

std::vector<double> Terms(const Polynomial2D& f, QPointF map) {
    double u = (map.x() - f.Centre.x()) / f.Scale, v = (map.y() - f.Centre.y()) / f.Scale;
    if (f.Degree == 1) return {1, u, v};
    return {1, u, v, u * u, u * v, v * v};
}

// Solves the square system a x = b in place by Gaussian elimination with partial pivoting; false when
// the matrix is singular for practical purposes.
bool Solve(std::vector<std::vector<double>>& a, std::vector<double>& b) {
    const size_t n = b.size();
    double largest = 0;
    for (const auto& row : a)
        for (double v : row)
            largest = std::max(largest, std::abs(v));
    if (largest == 0) return false;
    for (size_t k = 0; k < n; ++k) {
        size_t pivot = k;
        for (size_t i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[pivot][k])) pivot = i;
        if (std::abs(a[pivot][k]) < 1e-10 * largest) return false;
        std::swap(a[k], a[pivot]);
        std::swap(b[k], b[pivot]);
        for (size_t i = k + 1; i < n; ++i) {
            double m = a[i][k] / a[k][k];
            for (size_t j = k; j < n; ++j)
                a[i][j] -= m * a[k][j];
            b[i] -= m * b[k];
        }
    }
    for (size_t k = n; k-- > 0;) {
        double s = b[k];
        for (size_t j = k + 1; j < n; ++j)
            s -= a[k][j] * b[j];
        b[k] = s / a[k][k];
    }
    return true;
}

} // namespace

void AddDetectorStriping(FloatImage& image, int detectors, float gainSpread, float offsetSpread,
                         uint32_t seed) {
    for (int y = 0; y < image.Height; ++y) {
        int d = y % detectors;
        float gain = 1 + gainSpread * float(2 * Hash01(d, 0, seed) - 1);
        float offset = offsetSpread * float(2 * Hash01(d, 1, seed) - 1);
        for (int x = 0; x < image.Width; ++x)
            image.At(x, y) = image.At(x, y) * gain + offset;
    }
}

void Destripe(FloatImage& image, int detectors) {
    const std::vector<bool> lost = LostLines(image);
    std::vector<float> all;
    std::vector<std::vector<size_t>> each(size_t(std::max(detectors, 1)));
    for (int y = 0; y < image.Height; ++y) {
        if (lost[size_t(y)]) continue;
        for (int x = 0; x < image.Width; ++x) {
            all.push_back(image.At(x, y));
            each[size_t(y % detectors)].push_back(size_t(y) * size_t(image.Width) + size_t(x));
        }
    }
    if (all.empty()) return;
    std::sort(all.begin(), all.end());
    // The whole band's value at a quantile, interpolated between neighbouring ranks.
    auto quantile = [&](double q) {
        const double at = q * double(all.size() - 1);
        const size_t i = std::min(size_t(at), all.size() - 1), j = std::min(i + 1, all.size() - 1);
        return float(all[i] + (all[j] - all[i]) * (at - double(i)));
    };
    for (std::vector<size_t>& pixels : each) {
        if (pixels.empty()) continue;
        std::sort(pixels.begin(), pixels.end(),
                  [&](size_t a, size_t b) { return image.Values[a] < image.Values[b]; });
        // Equal values share the mean of their ranks, so a flat detector maps to one value.
        const double last = double(std::max<size_t>(pixels.size() - 1, 1));
        for (size_t from = 0; from < pixels.size();) {
            size_t to = from;
            while (to + 1 < pixels.size() && image.Values[pixels[to + 1]] == image.Values[pixels[from]])
                ++to;
            const float value = quantile(pixels.size() == 1 ? 0.5 : (double(from) + double(to)) / 2 / last);
            for (size_t k = from; k <= to; ++k)
                image.Values[pixels[k]] = value;
            from = to + 1;
        }
    }
}

void DropLines(FloatImage& image, std::span<const int> lines) {
    for (int y : lines)
        if (y >= 0 && y < image.Height)
            for (int x = 0; x < image.Width; ++x)
                image.At(x, y) = 0;
}

int RepairDroppedLines(FloatImage& image) {
    const std::vector<bool> lost = LostLines(image);
    int repaired = 0;
    for (int y = 0; y < image.Height; ++y) {
        if (!lost[size_t(y)]) continue;
        int above = y - 1, below = y + 1;
        while (above >= 0 && lost[size_t(above)])
            --above;
        while (below < image.Height && lost[size_t(below)])
            ++below;
        if (above < 0 && below >= image.Height) return 0; // nothing to rebuild from
        for (int x = 0; x < image.Width; ++x) {
            if (above < 0)
                image.At(x, y) = image.At(x, below);
            else if (below >= image.Height)
                image.At(x, y) = image.At(x, above);
            else {
                float t = float(y - above) / float(below - above);
                image.At(x, y) = image.At(x, above) * (1 - t) + image.At(x, below) * t;
            }
        }
        ++repaired;
    }
    return repaired;
}

float SubtractDarkObject(FloatImage& image, double fraction) {
    const float haze = Percentiles(image, fraction, fraction).first;
    for (float& v : image.Values)
        v = std::max(0.f, v - haze);
    return haze;
}

QPointF Polynomial2D::operator()(QPointF map) const {
    const std::vector<double> t = Terms(*this, map);
    double c = 0, r = 0;
    for (size_t i = 0; i < t.size(); ++i)
        c += Column[i] * t[i], r += Row[i] * t[i];
    return {c, r};
}

std::optional<Polynomial2D> FitPolynomial(std::span<const ControlPoint> points, int degree) {
    if (degree != 1 && degree != 2) return std::nullopt;
    const size_t n = degree == 1 ? 3 : 6;
    if (points.size() < n) return std::nullopt;
    Polynomial2D f;
    f.Degree = degree;
    for (const ControlPoint& p : points)
        f.Centre += p.Map;
    f.Centre /= double(points.size());
    double spread = 0;
    for (const ControlPoint& p : points)
        spread = std::max(spread, std::hypot(p.Map.x() - f.Centre.x(), p.Map.y() - f.Centre.y()));
    if (spread == 0) return std::nullopt;
    f.Scale = spread;
    // Normal equations, one right-hand side for columns and one for rows.
    std::vector<std::vector<double>> a(n, std::vector<double>(n));
    std::vector<double> bc(n), br(n);
    for (const ControlPoint& p : points) {
        const std::vector<double> t = Terms(f, p.Map);
        for (size_t i = 0; i < n; ++i) {
            for (size_t j = 0; j < n; ++j)
                a[i][j] += t[i] * t[j];
            bc[i] += t[i] * p.Image.x();
            br[i] += t[i] * p.Image.y();
        }
    }
    auto a2 = a;
    if (!Solve(a, bc) || !Solve(a2, br)) return std::nullopt;
    f.Column = std::move(bc);
    f.Row = std::move(br);
    return f;
}

double RmsError(const Polynomial2D& f, std::span<const ControlPoint> points) {
    if (points.empty()) return 0;
    double sum = 0;
    for (const ControlPoint& p : points) {
        QPointF d = f(p.Map) - p.Image;
        sum += d.x() * d.x() + d.y() * d.y();
    }
    return std::sqrt(sum / double(points.size()));
}

QImage Resample(const QImage& input, QSize size, const std::function<QPointF(QPointF)>& source,
                Resampling how, QColor outside) {
    const QImage in = input.convertToFormat(QImage::Format_RGB32);
    const int w = in.width(), h = in.height();
    QImage out(size, QImage::Format_RGB32);
    const QRgb none = outside.rgb();
    auto pixel = [&](int c, int r) {
        return reinterpret_cast<const QRgb*>(
            in.constScanLine(std::clamp(r, 0, h - 1)))[std::clamp(c, 0, w - 1)];
    };
    for (int j = 0; j < size.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(j));
        for (int i = 0; i < size.width(); ++i) {
            const QPointF s = source(QPointF(i + 0.5, j + 0.5));
            if (!(s.x() >= 0 && s.y() >= 0 && s.x() < w && s.y() < h)) {
                line[i] = none;
                continue;
            }
            if (how == Resampling::NearestNeighbour) {
                line[i] = pixel(int(s.x()), int(s.y()));
                continue;
            }
            const double fx = s.x() - 0.5, fy = s.y() - 0.5;
            const int c = int(std::floor(fx)), r = int(std::floor(fy));
            const double tx = fx - c, ty = fy - r;
            const QRgb p00 = pixel(c, r), p10 = pixel(c + 1, r), p01 = pixel(c, r + 1),
                       p11 = pixel(c + 1, r + 1);
            auto mix = [&](int (*channel)(QRgb)) {
                double top = channel(p00) * (1 - tx) + channel(p10) * tx;
                double bottom = channel(p01) * (1 - tx) + channel(p11) * tx;
                return std::clamp(int(std::lround(top * (1 - ty) + bottom * ty)), 0, 255);
            };
            line[i] = qRgb(mix(qRed), mix(qGreen), mix(qBlue));
        }
    }
    return out;
}
