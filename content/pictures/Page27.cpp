// Page 27: urban aerial photographs under several enhancements. A flat colour scan of the town centre,
// its grey version stretched between the 2 % points of its histogram, the same grey through a Gaussian
// low-pass (blocks, trees and their shadows survive as blobs); and a second, underexposed scan of
// another part of the town, unprocessed and under a square-root table that opens up its dark tones.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/AerialPhoto.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

namespace {

// The town centre at 0.6 m per pixel, as a faded print scans: the darkest tones lifted, the lightest
// pulled down, so that the 2 % stretch has something to do.
const QImage& CentreScan() {
    static const QImage scan = [] {
        const View view{7560, 4800, 440 * 0.6, 0, 440, 352};
        QImage colour = WithTreeShadows(FilmColour(view, 0.42f, 0.8), view);
        colour = ApplyTable(colour, ContrastTable(0.62));
        colour = ApplyTable(colour, BrightnessTable(12));
        Vignette(colour, 0.12);
        AddGrain(colour, 2.5, 2701);
        return colour;
    }();
    return scan;
}

QImage StretchedGrey() {
    QImage grey = CentreScan().convertToFormat(QImage::Format_Grayscale8);
    return ApplyTable(grey, PercentStretchTable(Histogram(grey), 0.02));
}

// A second scan of blocks further east, 0.5 m per pixel, underexposed: most of it lies in the lowest
// third of the grey scale.
const QImage& DarkScan() {
    static const QImage scan = [] {
        View view{7980, 4560, 808 * 0.5, 0, 808, 607};
        QImage grey = WithTreeShadows(FilmPositive(RenderBand(view, Bands::FilmPan), 1.1f, 1.25), view);
        Vignette(grey, 0.2);
        AddGrain(grey, 1.5, 2702);
        return grey.convertToFormat(QImage::Format_Grayscale8);
    }();
    return scan;
}

} // namespace

std::vector<Recipe> Page27() {
    return {
        {"p27-foto-urbana-color.bmp", [] { return EncodeBitmap24(CentreScan()); }},
        {"p27-foto-urbana-2porciento.bmp", [] { return EncodeBitmap8(GreyIndexed(StretchedGrey())); }},
        {"p27-foto-urbana-gaussiano.bmp",
         [] { return EncodeBitmap8(GreyIndexed(Convolve(StretchedGrey(), GaussianKernel(1.8)))); }},
        {"p27-foto-oscura.bmp", [] { return EncodeBitmap8(GreyIndexed(DarkScan())); }},
        {"p27-foto-oscura-raiz-cuadrada.bmp",
         [] { return EncodeBitmap8(GreyIndexed(ApplyTable(DarkScan(), SquareRootTable()))); }},
    };
}
