// Page 26: one vertical panchromatic aerial photograph of the river south-west of the town (gallery
// forest, a dry stream bed, fields, the flooded gravel pit), unprocessed, through a low-pass and through
// a high-pass convolution. Each picture names its filter and kernel, since the page's own captions lie
// below the visible page area.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

namespace {

constexpr int kWidth = 379, kHeight = 649;

const QImage& Photograph() {
    static const QImage photo = [] {
        View view{4250, 6650, kWidth * 2.0, 0, kWidth, kHeight};
        QImage grey = FilmPositive(RenderBand(view, Bands::FilmPan), 0.30f, 1.0);
        Vignette(grey, 0.15);
        AddGrain(grey, 2, 2601);
        return grey.convertToFormat(QImage::Format_Grayscale8);
    }();
    return photo;
}

// A caption box at the foot of the picture: the filter's name and its kernel.
QImage Labelled(QImage grey, const QString& title, const QString& kernel) {
    QImage image = grey.convertToFormat(QImage::Format_RGB32);
    QPainter p;
    BeginPainting(p, image);
    const double h = kernel.isEmpty() ? 30 : 62;
    QRectF box(8, kHeight - h - 8, kWidth - 16, h);
    p.fillRect(box, QColor(255, 255, 255, 225));
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.drawRect(box);
    p.setPen(Qt::black);
    p.setFont(SansFont(15, true));
    DrawText(p, {box.center().x(), box.top() + 6}, title, Qt::AlignHCenter | Qt::AlignTop);
    if (!kernel.isEmpty()) {
        p.setFont(SansFont(13));
        DrawText(p, {box.center().x(), box.top() + 32}, kernel, Qt::AlignHCenter | Qt::AlignTop);
    }
    p.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

Bytes Unprocessed() {
    return EncodeBitmap8(GreyIndexed(Labelled(Photograph(), QString::fromUtf8("Imagen sin procesar"), {})));
}

Bytes LowPass() {
    QImage filtered = Convolve(Photograph(), MeanKernel(5));
    return EncodeBitmap8(GreyIndexed(Labelled(filtered, QString::fromUtf8("Filtro pasa bajos"),
                                              QString::fromUtf8("media de 5x5: 25 unos, k = 1/25"))));
}

Bytes HighPass() {
    QImage filtered = Convolve(Photograph(), MakeKernel(3, {-1, -1, -1, -1, 9, -1, -1, -1, -1}));
    return EncodeBitmap8(GreyIndexed(Labelled(filtered, QString::fromUtf8("Filtro pasa altos"),
                                              QString::fromUtf8("-1 -1 -1 / -1 9 -1 / -1 -1 -1, k = 1"))));
}

} // namespace

std::vector<Recipe> Page26() {
    return {
        {"p26-foto-sin-procesar.bmp", Unprocessed},
        {"p26-foto-pasa-bajos.bmp", LowPass},
        {"p26-foto-pasa-altos.bmp", HighPass},
    };
}
