// What every windowed control does with a window it has just created, whichever kind of platform
// window it is.
#pragma once

#include "controls/TWinControl.h"

// Gives a new window its bounds and double buffering, puts it directly behind the next windowed
// sibling that already has a window (so later siblings stay in front), and shows it if the control is
// showing.
void PlaceNewWindow(const TWinControl& control, IWindowPeer& peer);
