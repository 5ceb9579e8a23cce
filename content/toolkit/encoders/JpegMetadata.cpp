// JPEG metadata segments: insertion into an encoded file, colour profile chunks, IPTC text, and a
// lookup-table colour profile.
#include "content/toolkit/encoders/JpegMetadata.h"

#include "stream/ByteOrder.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

void PutFixed(Bytes& out, double v) { // s15Fixed16Number
    Put32BE(out, uint32_t(int32_t(std::lround(v * 65536.0))));
}

void PutText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

uint16_t Unit16(double v) {
    return uint16_t(std::clamp(std::lround(v * 65535.0), 0L, 65535L));
}

double SrgbDecode(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

double SrgbEncode(double v) {
    v = std::clamp(v, 0.0, 1.0);
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

using Matrix = std::array<std::array<double, 3>, 3>;

// Linear sRGB to XYZ, adapted to the D50 white of the profile connection space.
constexpr Matrix kToXyz = {{{0.4361, 0.3851, 0.1431}, {0.2225, 0.7169, 0.0606}, {0.0139, 0.0971, 0.7141}}};

Matrix Inverse(const Matrix& m) {
    double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                 m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                 m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            // Cofactor of m[j][i] over the determinant.
            int j1 = (j + 1) % 3, j2 = (j + 2) % 3, i1 = (i + 1) % 3, i2 = (i + 2) % 3;
            r[size_t(i)][size_t(j)] = (m[size_t(j1)][size_t(i1)] * m[size_t(j2)][size_t(i2)] -
                                       m[size_t(j1)][size_t(i2)] * m[size_t(j2)][size_t(i1)]) /
                                      det;
        }
    return r;
}

std::array<double, 3> Apply(const Matrix& m, const std::array<double, 3>& v) {
    std::array<double, 3> r{};
    for (size_t i = 0; i < 3; ++i)
        r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return r;
}

// A lut16Type tag: per-channel input curves, a colour lookup table over the grid, output curves. The
// curves are given as functions of 0..1 and sampled; `entries` 2 makes a curve the identity.
template <typename Clut>
Bytes Lut16(int inputs, int outputs, int grid, int inEntries, double (*in)(double), int outEntries,
            double (*out)(double), Clut clut) {
    Bytes d = {'m', 'f', 't', '2', 0, 0, 0, 0, uint8_t(inputs), uint8_t(outputs), uint8_t(grid), 0};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            PutFixed(d, i == j ? 1 : 0);
    Put16BE(d, uint32_t(inEntries));
    Put16BE(d, uint32_t(outEntries));
    for (int c = 0; c < inputs; ++c)
        for (int k = 0; k < inEntries; ++k)
            Put16BE(d, Unit16(in(double(k) / (inEntries - 1))));
    // The first input varies slowest; the outputs of one grid point are stored together.
    int points = 1;
    for (int c = 0; c < inputs; ++c)
        points *= grid;
    std::vector<double> values(static_cast<size_t>(outputs), 0.0);
    for (int p = 0; p < points; ++p) {
        std::array<double, 3> at{};
        for (int c = inputs - 1, rest = p; c >= 0; --c, rest /= grid)
            at[size_t(c)] = double(rest % grid) / (grid - 1);
        clut(at, values);
        for (double v : values)
            Put16BE(d, Unit16(v));
    }
    for (int c = 0; c < outputs; ++c)
        for (int k = 0; k < outEntries; ++k)
            Put16BE(d, Unit16(out(double(k) / (outEntries - 1))));
    return d;
}

double Identity(double v) {
    return v;
}

// XYZ in a lut16 is encoded with 1.0 at 32768 / 65535 of the range.
constexpr double kXyzScale = 65535.0 / 32768.0;

} // namespace

Bytes InsertJpegSegments(const Bytes& jpeg, const std::vector<JpegSegment>& segments) {
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return jpeg;
    size_t at = 2;
    while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF && jpeg[at + 1] >= 0xE0 && jpeg[at + 1] <= 0xEF)
        at += 2 + (size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    at = std::min(at, jpeg.size());
    Bytes inserted;
    for (const JpegSegment& s : segments) {
        inserted.push_back(0xFF);
        inserted.push_back(s.Marker);
        Put16BE(inserted, uint32_t(s.Data.size() + 2));
        inserted.insert(inserted.end(), s.Data.begin(), s.Data.end());
    }
    Bytes out(jpeg.begin(), jpeg.begin() + long(at));
    out.insert(out.end(), inserted.begin(), inserted.end());
    out.insert(out.end(), jpeg.begin() + long(at), jpeg.end());
    return out;
}

std::vector<JpegSegment> IccSegments(const Bytes& profile, int count) {
    constexpr size_t kMaxChunk = 65533 - 14; // behind the identifier and the two numbers
    size_t n = std::max<size_t>({size_t(std::max(count, 1)), (profile.size() + kMaxChunk - 1) / kMaxChunk});
    n = std::min<size_t>(n, 255);
    std::vector<JpegSegment> out;
    size_t from = 0;
    for (size_t i = 0; i < n; ++i) {
        size_t to = profile.size() * (i + 1) / n;
        JpegSegment s{0xE2,
                      {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, uint8_t(i + 1), uint8_t(n)}};
        s.Data.insert(s.Data.end(), profile.begin() + long(from), profile.begin() + long(to));
        out.push_back(std::move(s));
        from = to;
    }
    return out;
}

JpegSegment IptcSegment(const std::string& title, const std::string& caption,
                        const std::vector<std::string>& keywords) {
    Bytes iptc;
    auto dataset = [&](uint8_t record, uint8_t number, const std::string& value) {
        iptc.insert(iptc.end(), {0x1C, record, number});
        Put16BE(iptc, uint32_t(value.size()));
        PutText(iptc, value);
    };
    dataset(1, 90, "\x1B%G"); // the coded character set: UTF-8
    dataset(2, 0, std::string("\x00\x04", 2));
    dataset(2, 5, title.substr(0, 64));
    for (const std::string& k : keywords)
        dataset(2, 25, k.substr(0, 64));
    dataset(2, 120, caption.substr(0, 2000));
    JpegSegment s{0xED, {}};
    PutText(s.Data, std::string("Photoshop 3.0") + '\0');
    PutText(s.Data, "8BIM");
    Put16BE(s.Data, 0x0404); // the resource that holds an IPTC record
    Put16BE(s.Data, 0);      // an empty name, padded to an even length
    Put32BE(s.Data, uint32_t(iptc.size()));
    s.Data.insert(s.Data.end(), iptc.begin(), iptc.end());
    if (iptc.size() % 2) s.Data.push_back(0);
    return s;
}

Bytes MakeLookupIccProfile(int grid) {
    grid = std::clamp(grid, 2, 255);
    const Matrix toRgb = Inverse(kToXyz);
    struct Tag {
        const char* Sig;
        Bytes Data;
    };
    auto xyz = [](double x, double y, double z) {
        Bytes d = {'X', 'Y', 'Z', ' ', 0, 0, 0, 0};
        PutFixed(d, x);
        PutFixed(d, y);
        PutFixed(d, z);
        return d;
    };
    auto text = [](const char* type, const std::string& s) {
        Bytes d = {uint8_t(type[0]), uint8_t(type[1]), uint8_t(type[2]), uint8_t(type[3]), 0, 0, 0, 0};
        if (std::string(type) == "desc") Put32BE(d, uint32_t(s.size() + 1));
        PutText(d, s);
        d.push_back(0);
        if (std::string(type) == "desc") d.resize(d.size() + 4 + 4 + 2 + 1 + 67, 0);
        return d;
    };
    Bytes trc = {'c', 'u', 'r', 'v', 0, 0, 0, 0};
    Put32BE(trc, 1024);
    for (int k = 0; k < 1024; ++k)
        Put16BE(trc, Unit16(SrgbDecode(k / 1023.0)));

    // Device to connection space: linearise, then the matrix, sampled on the grid (exact, since the
    // lookup interpolates linearly and the map is linear there).
    Bytes a2b = Lut16(3, 3, grid, 4096, SrgbDecode, 2, Identity,
                      [](const std::array<double, 3>& rgb, std::vector<double>& out) {
                          auto v = Apply(kToXyz, rgb);
                          for (size_t i = 0; i < 3; ++i)
                              out[i] = v[i] / kXyzScale;
                      });
    // Connection space to device: the inverse matrix, then the sRGB encoding. The table holds linear
    // values from -0.5 to 1.5, which the output curves clip, so that grid points just outside the gamut
    // keep their true values and colours near its edge interpolate correctly.
    Bytes b2a = Lut16(
        3, 3, grid, 2, Identity, 4096, [](double t) { return SrgbEncode(2 * t - 0.5); },
        [&](const std::array<double, 3>& pcs, std::vector<double>& out) {
            auto v = Apply(toRgb, {pcs[0] * kXyzScale, pcs[1] * kXyzScale, pcs[2] * kXyzScale});
            for (size_t i = 0; i < 3; ++i)
                out[i] = (v[i] + 0.5) / 2;
        });
    // Out of gamut where the inverse matrix leaves 0..1 by more than the grid's own error.
    Bytes gamut =
        Lut16(3, 1, grid, 2, Identity, 2, Identity,
              [&](const std::array<double, 3>& pcs, std::vector<double>& out) {
                  auto v = Apply(toRgb, {pcs[0] * kXyzScale, pcs[1] * kXyzScale, pcs[2] * kXyzScale});
                  bool inside =
                      std::all_of(v.begin(), v.end(), [](double c) { return c > -0.002 && c < 1.002; });
                  out[0] = inside ? 0 : 1;
              });

    std::vector<Tag> tags = {{"desc", text("desc", "Orvanta sRGB (tablas)")},
                             {"cprt", text("text", "No copyright, computed profile")},
                             {"wtpt", xyz(0.9642, 1.0, 0.8249)},
                             {"rXYZ", xyz(kToXyz[0][0], kToXyz[1][0], kToXyz[2][0])},
                             {"gXYZ", xyz(kToXyz[0][1], kToXyz[1][1], kToXyz[2][1])},
                             {"bXYZ", xyz(kToXyz[0][2], kToXyz[1][2], kToXyz[2][2])},
                             {"rTRC", trc},
                             {"gTRC", trc},
                             {"bTRC", trc},
                             {"A2B0", a2b},
                             {"B2A0", b2a},
                             {"gamt", gamut}};
    Bytes table, data;
    const uint32_t offset = 128 + 4 + uint32_t(tags.size()) * 12;
    for (const Tag& t : tags) {
        while (data.size() % 4)
            data.push_back(0);
        table.insert(table.end(), t.Sig, t.Sig + 4);
        Put32BE(table, offset + uint32_t(data.size()));
        Put32BE(table, uint32_t(t.Data.size()));
        data.insert(data.end(), t.Data.begin(), t.Data.end());
    }
    Bytes out;
    Put32BE(out, offset + uint32_t(data.size()));
    out.insert(out.end(), {0, 0, 0, 0, 0x02, 0x10, 0, 0});
    PutText(out, "mntrRGB XYZ ");
    out.insert(out.end(), {0x07, 0xEA, 0, 12, 0, 9, 0, 0, 0, 0, 0, 0});
    PutText(out, "acsp");
    out.resize(68, 0); // platform, flags, maker, model, attributes, perceptual rendering intent
    PutFixed(out, 0.9642);
    PutFixed(out, 1.0);
    PutFixed(out, 0.8249);
    out.resize(128, 0);
    Put32BE(out, uint32_t(tags.size()));
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
