// Colour models of digital images: the distance between two colours, palettes chosen by popularity,
// true-colour images mapped onto a palette, and grey scale by the eye's luminance weights, applied to
// pixels or, for a palette image, to its palette alone.
#pragma once

#include "content/toolkit/encoders/PictureFiles.h"

#include <QImage>
#include <vector>

// Squared Euclidean distance between two colours in RGB space: enough to compare distances.
int ColourDistance2(QRgb a, QRgb b);
// Euclidean distance in RGB space, from 0 to 441.67 (black to white).
double ColourDistance(QRgb a, QRgb b);
// The index of the palette entry nearest to a colour (the first of equally near ones); -1 for an empty
// palette.
int NearestColour(QRgb colour, const std::vector<QRgb>& palette);

// Number of different colours in a picture.
int DistinctColours(const QImage& image);

// The popularity algorithm: every colour cut to `bits` bits per component, the cells counted, and the
// `colours` most frequent cells kept, most frequent first (ties to the lower cell). Each entry is the
// mean of the pixels that fell into its cell. Fewer entries when the picture has fewer cells.
std::vector<QRgb> PopularityPalette(const QImage& image, int colours, int bits = 5);
// Each pixel replaced by the index of its nearest palette colour (a palette of at most 256 entries).
IndexedImage MapToPalette(const QImage& image, const std::vector<QRgb>& palette);
// An indexed image shown in its palette's colours.
QImage ToTrueColour(const IndexedImage& image);

// Luminance (30 R + 59 G + 11 B) / 100 in integers: 0 to 255, pure red 76, white 255.
int Luminance(QRgb colour);
// The plain mean (R + G + B) / 3, which weighs the three primaries alike.
int MeanGrey(QRgb colour);
// Every pixel's luminance written into its three components.
QImage LuminanceImage(const QImage& image);
// A palette image converted to grey by converting its palette; the pixels keep their indices.
IndexedImage LuminancePalette(const IndexedImage& image);
