// Page 33: one Landsat 7 scene in its bands 1, 2 and 3, side by side under one stretch, with notes on
// what each band shows and where the bands lie on the reflectance curves.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/scenes/LandsatScenes.h"

namespace {

QImage BandsOneToThree() {
    // The scene of the Landsat 7 pages, at a quarter of the composites' scale.
    const View scene{0, 1970, 12000, 0, 468, 330};
    const SceneDate date{{130, 55, false}, 4};
    const BandPanel panels[] = {
        {Bands::Etm1, {4, 22}, QString::fromUtf8("Banda 1 · azul · 0,45–0,515 µm")},
        {Bands::Etm3, {4, 362}, QString::fromUtf8("Banda 3 · rojo · 0,63–0,69 µm")},
        {Bands::Etm2, {488, 200}, QString::fromUtf8("Banda 2 · verde · 0,525–0,605 µm")},
    };
    const QStringList notes = {
        QString::fromUtf8("Landsat 7 ETM+: la misma escena en tres bandas visibles, con un mismo realce para "
                          "comparar sus brillos."),
        QString::fromUtf8("Banda 1: es la que más penetra en el agua clara; la atmósfera dispersa sobre todo "
                          "el azul, y la bruma aclara la banda y le quita contraste."),
        QString::fromUtf8("Banda 2: la vegetación sana tiene aquí su máximo de reflectancia."),
        QString::fromUtf8("Banda 3: la clorofila absorbe el rojo; bosques y cultivos se ven oscuros, y los "
                          "suelos desnudos, la ciudad y los cauces secos, claros."),
    };
    return BandSheet({964, 718}, scene, date, panels, QRectF(490, 6, 464, 164), notes,
                     QRectF(488, 540, 468, 156));
}

} // namespace

std::vector<Recipe> Page33() {
    return {
        {"p33-landsat7-bandas-123.bmp", [] { return EncodeBitmap24(BandsOneToThree()); }},
    };
}
