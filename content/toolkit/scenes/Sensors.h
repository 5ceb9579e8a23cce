// Sensors seen through the landscape: the bands of the instruments the course describes, rendered from
// the spectral library, and the conversions from radiance to pictures (stretches, composites).
#pragma once

#include "content/toolkit/scenes/Landscape.h"

#include <QImage>
#include <QPoint>
#include <span>
#include <vector>

struct Band {
    const char* Name;
    double Lo, Hi; // micrometres
    bool Thermal = false;
};

namespace Bands {
// Landsat 1 to 5 multispectral scanner, bands 4 to 7 as the first satellites numbered them.
extern const Band Mss4, Mss5, Mss6, Mss7;
// Landsat 4 and 5 thematic mapper (band 6 thermal), and the panchromatic band that Landsat 7 added.
extern const Band Tm1, Tm2, Tm3, Tm4, Tm5, Tm6, Tm7, Etm8;
// SPOT 1 to 3 HRV: multiband XS1 to XS3 and panchromatic P.
extern const Band Xs1, Xs2, Xs3, SpotPan;
// IKONOS: four multispectral bands and panchromatic.
extern const Band Ik1, Ik2, Ik3, Ik4, IkPan;
// Aerial films: panchromatic, black-and-white infrared behind a dark red filter, and the three layers
// of colour infrared film (green, red and near infrared sensitive).
extern const Band FilmPan, FilmInfrared;
} // namespace Bands

// A floating-point raster, rows from top to bottom.
struct FloatImage {
    int Width = 0, Height = 0;
    std::vector<float> Values;
    FloatImage() = default;
    FloatImage(int w, int h) : Width(w), Height(h), Values(size_t(w) * size_t(h)) {}
    float& At(int x, int y) { return Values[size_t(y) * size_t(Width) + size_t(x)]; }
    float At(int x, int y) const { return Values[size_t(y) * size_t(Width) + size_t(x)]; }
};

// A north-up window on the landscape: its top-left corner and extent in metres, and its pixels.
struct View {
    double X0, Y0, Extent, ExtentY; // ExtentY 0 means square pixels
    int Width, Height;
    double PixelSize() const { return Extent / Width; }
    double PixelSizeY() const { return ExtentY > 0 ? ExtentY / Height : PixelSize(); }
};

struct Illumination {
    double SunAzimuth = 135;  // degrees clockwise from north: the sun in the south-east
    double SunElevation = 50; // degrees
    bool Night = false;       // thermal bands only: the surface temperatures before dawn
};

// The pixel of the view nearest to `near` whose surroundings (a square of `margin` pixels each way) are
// all of one material, for pointing at a feature in a picture; `near` itself when there is none.
QPoint FindGround(const View& view, Material material, QPoint near, int margin = 2, int radius = 120);

// Reflected bands: apparent reflectance (0 to about 0.6) after terrain shading and shadows. Thermal
// bands: radiance at 11 um, W / (m^2 sr um).
std::vector<FloatImage> RenderBands(const View& view, std::span<const Band> bands,
                                    const Illumination& sun = {});
FloatImage RenderBand(const View& view, const Band& band, const Illumination& sun = {});

// The values below which the given fractions (0 to 1) of the pixels lie.
std::pair<float, float> Percentiles(const FloatImage& image, double low, double high);
// Linear map of [lo, hi] onto 0 to 255, clipped.
QImage ToGrey(const FloatImage& image, float lo, float hi);
// ToGrey between the 1 % and 99 % points, or the fractions given.
QImage Stretched(const FloatImage& image, double low = 0.01, double high = 0.99);
// A photographic print of an exposure: apparent reflectance `white` prints white, with the soft
// shoulder and toe of a film's response.
QImage FilmPositive(const FloatImage& image, float white, double gamma = 0.7);
// A colour composite, each channel stretched on its own.
QImage Composite(const FloatImage& red, const FloatImage& green, const FloatImage& blue, double low = 0.01,
                 double high = 0.99);
// Additive haze of a band seen through the atmosphere, as a fraction of reflectance: strongest in blue.
float PathRadiance(const Band& band);
// Digital numbers of a sensor of `bits` bits whose range spans apparent reflectance 0 to `full`, with
// the band's haze added.
FloatImage ToDigitalNumbers(const FloatImage& image, const Band& band, float full, int bits = 8);
// Mixture of many rasters of the same size, weights summing to 1.
FloatImage Mix(std::span<const FloatImage* const> images, std::span<const float> weights);
