// Headless rendering of the course's pages.
#include "tools/Render.h"

#include "app/ErrorText.h"
#include "app/TApplication.h"
#include "app/TForm1.h"
#include "platform/EmbeddedResources.h"
#include "platform/qt/QtPlatform.h"
#include "stream/ResourceTable.h"

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

int RunRender(const std::string& outDir, const std::optional<std::string>& definitionPath, int scale) {
    std::vector<uint8_t> bytes;
    if (definitionPath) {
        std::ifstream in(*definitionPath, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "orvanta-form: cannot open '%s'\n", definitionPath->c_str());
            return 1;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    // No display is needed: Qt draws into memory unless told otherwise.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt reads the scale once, when the application object is made.
    if (scale > 1) setenv("QT_SCALE_FACTOR", std::to_string(scale).c_str(), 1);

    std::unique_ptr<TPlatform> platform = CreateQtPlatform("orvanta-form");
    TPlatform::SetCurrent(platform.get());
    if (definitionPath)
        Resources::Register(Resources::RT_RCDATA, "TFORM1", bytes);
    else
        RegisterEmbeddedResources();
    int code = 0;
    {
        TApplication app("orvanta");
        Application = &app;
        TForm1* form = nullptr;
        try {
            app.CreateForm(form);
            auto* window = dynamic_cast<QWidget*>(form->Window());
            int pages = form->PageControl1 ? form->PageControl1->PageCount() : 0;
            for (int i = 0; i < pages && window; ++i) {
                // Pages set from code raise no change event; the handler runs as a user's choice of the
                // tab would run it, so each picture shows the status line the user would see.
                form->PageControl1->SetActivePageIndex(i);
                form->PageControl1Change(form->PageControl1);
                QCoreApplication::processEvents();
                char name[32];
                std::snprintf(name, sizeof name, "page-%02d.png", i);
                std::string path = (std::filesystem::path(outDir) / name).string();
                if (!window->grab().save(QString::fromStdString(path))) {
                    std::fprintf(stderr, "orvanta-form: cannot write '%s'\n", path.c_str());
                    code = 1;
                    break;
                }
            }
            if (code == 0) std::printf("%d pages\n", pages);
        } catch (const std::exception& e) {
            std::printf("%s\n", ErrorDisplayText(e).c_str());
            code = 1;
        }
        delete form;
        Application = nullptr;
    }
    Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
    TPlatform::SetCurrent(nullptr);
    platform.reset();
    return code;
}
