// Headless rendering of the course's pages.
#include "tools/Render.h"

#include "app/ErrorText.h"
#include "tools/FormLayout.h"
#include "tools/HeadlessForm.h"

#include <QImage>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

} // namespace

int RunRender(const std::string& outDir, const std::optional<std::string>& definitionPath, int scale) {
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    std::unique_ptr<THeadlessForm> loaded;
    try {
        loaded = std::make_unique<THeadlessForm>(definitionPath, scale);
    } catch (const std::exception& e) {
        std::printf("%s\n", ErrorDisplayText(e).c_str());
        return 1;
    }
    TForm1& form = loaded->Form();
    auto* window = dynamic_cast<QWidget*>(form.Window());
    const int pages = form.PageControl1 ? form.PageControl1->PageCount() : 0;
    for (int i = 0; i < pages && window; ++i) {
        loaded->ShowPage(i);
        char name[32];
        std::snprintf(name, sizeof name, "page-%02d", i);
        const std::filesystem::path base = std::filesystem::path(outDir) / name;
        const std::string picture = base.string() + ".png", layout = base.string() + ".json";
        if (!window->grab().save(QString::fromStdString(picture))) {
            std::fprintf(stderr, "orvanta-form: cannot write '%s'\n", picture.c_str());
            return 1;
        }
        if (!WriteText(layout, LayoutJson(form, i))) {
            std::fprintf(stderr, "orvanta-form: cannot write '%s'\n", layout.c_str());
            return 1;
        }
    }
    std::printf("%d pages\n", pages);
    return 0;
}
