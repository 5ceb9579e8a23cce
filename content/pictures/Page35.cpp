// Page 35: the Landsat 7 scene of page 33 in its bands 2, 3 and 4, under one stretch: vegetation dark
// in the red and bright in the near infrared, water black in the infrared.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/scenes/LandsatScenes.h"

namespace {

QImage BandsTwoToFour() {
    const View scene{0, 1970, 12000, 0, 468, 330};
    const SceneDate date{{130, 55, false}, 4};
    const BandPanel panels[] = {
        {Bands::Etm2, {4, 30}, QString::fromUtf8("Banda 2 · verde · 0,525–0,605 µm")},
        // Ends on row 694: the picture control shows the top 696 rows of the sheet.
        {Bands::Etm4, {4, 364}, QString::fromUtf8("Banda 4 · infrarrojo cercano · 0,775–0,90 µm")},
        {Bands::Etm3, {488, 162}, QString::fromUtf8("Banda 3 · rojo · 0,63–0,69 µm")},
    };
    const QStringList notes = {
        QString::fromUtf8("Banda 4: la vegetación sana refleja mucho el infrarrojo cercano y se ve clara; el "
                          "agua lo absorbe casi todo y el río y el embalse quedan negros."),
        QString::fromUtf8(
            "Banda 3: los mismos bosques y cultivos se ven oscuros. Ese contraste entre el rojo y "
            "el infrarrojo es la base de los índices de vegetación."),
    };
    return BandSheet({960, 726}, scene, date, panels, QRectF(490, 4, 464, 124), notes,
                     QRectF(488, 506, 468, 190));
}

} // namespace

std::vector<Recipe> Page35() {
    return {
        {"p35-landsat7-bandas-234.bmp", [] { return EncodeBitmap24(BandsTwoToFour()); }},
    };
}
