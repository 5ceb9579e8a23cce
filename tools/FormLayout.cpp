// The showing controls of a form and their places.
#include "tools/FormLayout.h"

#include "app/TCustomForm.h"
#include "controls/TImage.h"
#include "graphics/TBitmap.h"
#include "graphics/TGIFImage.h"
#include "graphics/TIcon.h"
#include "graphics/TJPEGImage.h"
#include "graphics/TPicture.h"

#include <cstdio>

namespace {

void AddChildren(const TWinControl& parent, int originX, int originY, std::vector<TPlacedControl>& placed) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        if (!c->Visible()) continue;
        const int left = originX + c->Left(), top = originY + c->Top();
        placed.push_back({c, {left, top, left + c->Width(), top + c->Height()}});
        if (auto* w = dynamic_cast<TWinControl*>(c)) AddChildren(*w, left, top, placed);
    }
}

} // namespace

std::vector<TPlacedControl> ShowingControls(const TCustomForm& form) {
    std::vector<TPlacedControl> placed;
    AddChildren(form, 0, 0, placed);
    return placed;
}

std::string PictureKind(const TImage& image) {
    const TGraphic* g = image.Picture()->Graphic();
    if (!g || g->Empty()) return "empty";
    if (dynamic_cast<const TJPEGImage*>(g)) return "jpeg";
    if (dynamic_cast<const TBitmap*>(g)) return "bitmap";
    if (dynamic_cast<const TIcon*>(g)) return "icon";
    if (dynamic_cast<const TGIFImage*>(g)) return "gif";
    return "other";
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char ch : text) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", ch);
            out += escaped;
        } else {
            out += static_cast<char>(ch);
        }
    }
    out += '"';
    return out;
}

std::string LayoutJson(const TCustomForm& form, int page) {
    const TRect client = form.ClientRect();
    std::string json = "{\"page\": " + std::to_string(page) +
                       ", \"width\": " + std::to_string(client.Width()) +
                       ", \"height\": " + std::to_string(client.Height()) + ", \"controls\": [";
    bool first = true;
    for (const TPlacedControl& p : ShowingControls(form)) {
        json += first ? "\n  " : ",\n  ";
        first = false;
        json += "{\"name\": " + JsonString(p.Control->Name());
        json += ", \"class\": " + JsonString(std::string(p.Control->ClassName()));
        if (auto* image = dynamic_cast<const TImage*>(p.Control))
            json += ", \"kind\": " + JsonString(PictureKind(*image));
        json += ", \"rect\": [" + std::to_string(p.Rect.Left) + ", " + std::to_string(p.Rect.Top) + ", " +
                std::to_string(p.Rect.Width()) + ", " + std::to_string(p.Rect.Height()) + "]}";
    }
    json += "\n]}\n";
    return json;
}
