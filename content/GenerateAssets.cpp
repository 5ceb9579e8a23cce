// orvanta-assets OUTDIR [--page N]: writes the binary files the course source refers to into OUTDIR:
// the icons (the program's and the desktop's, icons/hicolor/SIZE/apps), or with --page the pictures of
// page N (into OUTDIR/pictures) and the page's stamp file.
// Files whose bytes are unchanged are not rewritten, so the build stays incremental.
#include "content/IconArt.h"
#include "content/toolkit/Recipe.h"
#include "content/toolkit/charts/Drawing.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kDesktopIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool WriteIfChanged(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (old == bytes) return true;
    }
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

int Pictures(const std::filesystem::path& out, int page, int argc, char** argv) {
    // Text in pictures is drawn by Qt's raster engine; no display is needed. Qt wants a private runtime
    // folder even then, and a build machine may not provide one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        std::filesystem::path runtime =
            std::filesystem::temp_directory_path() / ("orvanta-assets-" + std::to_string(getuid()));
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
    }
    QGuiApplication app(argc, argv);
    RegisterPictureFonts();
    for (const Recipe& r : PictureRecipes(page)) {
        if (!WriteIfChanged(out / "pictures" / r.File, r.Make())) {
            std::fprintf(stderr, "orvanta-assets: cannot write %s\n", r.File.c_str());
            return 1;
        }
    }
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "page%02d.stamp", page);
    std::ofstream(out / "pictures" / stamp, std::ios::trunc) << page << '\n';
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[2]) == "--page") {
        char* end = nullptr;
        long page = std::strtol(argv[3], &end, 10);
        if (*end || page < 0 || page > 47) {
            std::fprintf(stderr, "orvanta-assets: no page %s\n", argv[3]);
            return 2;
        }
        std::filesystem::create_directories(std::filesystem::path(argv[1]) / "pictures");
        return Pictures(argv[1], int(page), argc, argv);
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvanta-assets OUTDIR [--page N]\n");
        return 2;
    }
    std::filesystem::path out = argv[1];
    bool ok = WriteIfChanged(out / "icons/form.ico", FormIconFile()) &&
              WriteIfChanged(out / "icons/main.ico", MainIconFile());
    for (int size : kDesktopIconSizes) {
        std::vector<uint8_t> rgba = IconPixels(size);
        QImage image(rgba.data(), size, size, size * 4, QImage::Format_RGBA8888);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        std::string name = std::to_string(size) + "x" + std::to_string(size);
        ok = ok && WriteIfChanged(out / "icons/hicolor" / name / "apps/org.orvanta.Orvanta.png",
                                  std::vector<uint8_t>(png.begin(), png.end()));
    }
    if (!ok) {
        std::fprintf(stderr, "orvanta-assets: cannot write into %s\n", out.c_str());
        return 1;
    }
    return 0;
}
