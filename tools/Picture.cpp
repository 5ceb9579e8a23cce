// orvanta-form picture: a picture file wrapped as stored picture data, read by TPicture, painted by a
// picture control on the Qt canvas and saved as PNG.
#include "tools/Picture.h"

#include "graphics/StoredPicture.h"

#include "app/ErrorText.h"
#include "controls/ColorToRGB.h"
#include "controls/TImage.h"
#include "graphics/TBitmap.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPlatform.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

namespace {

// Standard output carries the command's one line of result; it is flushed so the line is out before
// anything Qt writes to standard error.
void PrintLine(const std::string& text) {
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

// The 24-bit surface holds no more bytes than the largest bitmap a picture may decode to.
constexpr int64_t kMaxSurfaceBytes = static_cast<int64_t>(TBitmap::kMaxPixelBytes);

} // namespace

std::vector<uint8_t> PictureDataOf(std::span<const uint8_t> file) {
    if (PictureKindOf(file).empty())
        throw EInvalidGraphic("Unknown picture format: the file is not a bitmap, JPEG or GIF file");
    std::vector<uint8_t> data = StoredPictureData(file);
    if (data.empty()) throw EInvalidGraphic("The file is too large for picture data");
    return data;
}

QImage PaintPicture(TImage& image) {
    const int width = image.Picture()->Width(), height = image.Picture()->Height();
    if (width <= 0 || height <= 0) throw EInvalidGraphic("The picture is empty");
    if (static_cast<int64_t>(width) * height * 3 > kMaxSurfaceBytes)
        throw EInvalidGraphic("The picture is too large to draw (" + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels)");
    image.SetBounds(0, 0, width, height);

    QImage surface(width, height, QImage::Format_RGB888);
    if (surface.isNull()) throw EOutOfResources("Out of memory for a surface of the picture's size");
    const uint32_t face = ColorToRGB(clBtnFace);
    surface.fill(QColor(face & 0xFF, face >> 8 & 0xFF, face >> 16 & 0xFF));
    {
        QPainter painter(&surface);
        QtCanvas canvas(&painter);
        image.Paint(canvas);
    }
    return surface;
}

int RunPicture(const std::string& path, const std::string& outPath) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, ec)) {
        PrintLine("Cannot open file \"" + path + "\".");
        return 1;
    }
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        PrintLine("Cannot read file \"" + path + "\".");
        return 1;
    }
    // A caller that has a platform already keeps it; otherwise Qt draws into memory, with no display.
    std::unique_ptr<TPlatform> platform;
    if (!TPlatform::Current()) {
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        platform = CreateQtPlatform("orvanta-form");
        TPlatform::SetCurrent(platform.get());
    }
    int code = 0;
    try {
        TImage image(nullptr);
        TMemoryStream data(PictureDataOf(file));
        image.Picture()->ReadData(data);
        QImage surface = PaintPicture(image);
        if (!surface.save(QString::fromStdString(outPath), "PNG"))
            throw EStreamError("Cannot create file \"" + outPath + "\".");
        PrintLine("ok: " + std::string(image.Picture()->Graphic()->ClassName()) + ", " +
                  std::to_string(surface.width()) + " x " + std::to_string(surface.height()));
    } catch (const std::exception& e) {
        PrintLine(ErrorDisplayText(e));
        code = 1;
    }
    if (platform) TPlatform::SetCurrent(nullptr);
    return code;
}
