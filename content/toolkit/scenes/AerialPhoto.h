// Large-scale aerial photographs of the landscape: colour film from its three sensitive layers, and
// the shadows that tree crowns cast, which the landscape's point samples leave out.
#pragma once

#include "content/toolkit/scenes/Sensors.h"

#include <QImage>

// A colour print of the view: the red, green and blue sensitive layers each printed as FilmPositive
// does, with `white` the reflectance that prints white in red (a little less in green and blue, as a
// daylight film balances them).
QImage FilmColour(const View& view, float white, double gamma);

// Darkens the pixels that lie within `reach` metres of a tree crown towards the sun (the default
// illumination's south-east): crowns are about 8 m tall, so at a sun elevation of 50 degrees their
// shadows reach some 6 m. Grey pictures stay grey; others come back as RGB32.
QImage WithTreeShadows(const QImage& photo, const View& view, double reach = 6);
