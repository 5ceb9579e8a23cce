// The look of photographs and scanned prints: film grain, lens fall-off, and frame marks.
#pragma once

#include <QImage>
#include <cstdint>

// Adds deterministic grain of the given standard deviation in grey levels.
void AddGrain(QImage& image, double sigma, uint32_t seed);
// Darkens towards the corners, by `strength` (0 to 1) at the far corners.
void Vignette(QImage& image, double strength);
// A grey picture as 24-bit colour, optionally toned (a warm print, a cool infrared film).
QImage Toned(const QImage& grey, double red = 1, double green = 1, double blue = 1);
