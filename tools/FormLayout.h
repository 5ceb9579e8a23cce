// Where a loaded form's controls are: every control showing, with its rectangle in the form's client
// area, in the order the program paints them. The tools that render and export a course both read it.
#pragma once

#include "controls/TControl.h"

#include <string>
#include <vector>

class TCustomForm;
class TImage;

struct TPlacedControl {
    TControl* Control;
    TRect Rect; // in the form's client area
};

// Each parent's graphic children first, then its windowed children, each followed by its own: a
// later control paints over an earlier one where they overlap. Controls hidden themselves or through
// a parent (the sheets not on view among them) are left out.
std::vector<TPlacedControl> ShowingControls(const TCustomForm& form);

// The kind of a picture control's picture: "jpeg", "bitmap", "icon", "gif", "other" or "empty".
std::string PictureKind(const TImage& image);

// The layout of one page as JSON: {"page": N, "width": W, "height": H, "controls": [{"name": ...,
// "class": ..., "kind": ... (pictures only), "rect": [left, top, width, height]}, ...]}.
std::string LayoutJson(const TCustomForm& form, int page);

// Text for a JSON string, quotes included.
std::string JsonString(const std::string& text);
