// The body of the entry point.
#include "app/Program.h"

#include "app/TApplication.h"
#include "app/TForm1.h"
#include "graphics/TGIFImage.h"
#include "platform/Platform.h"
#include "platform/WindowPeer.h"
#include "stream/ResourceTable.h"

#include <memory>

TForm1* Form1 = nullptr;

namespace {
// The screen's density and the default face name, read once before any control exists.
void ReadDefaultFontData() {
    TDefaultFontData& data = DefFontData();
    const TPlatform* platform = TPlatform::Current();
    if (!platform) return;
    data.PixelsPerInch = platform->ScreenPixelsPerInch();
    auto face = platform->RegistryString(
        R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)",
        "MS Shell Dlg 2");
    if (face && !face->empty()) data.Name = *face;
}

// How long after the first painting the program waits, left alone, before measuring what it put off.
constexpr int kSettleAfterMs = 100;
} // namespace

int RunProgram(const char* programPath) {
    ReadDefaultFontData();
    auto application = std::make_unique<TApplication>(programPath ? programPath : "orvanta");
    Application = application.get();
    // Whatever a handler raises while the platform calls in is shown, and the loop goes on.
    SetCallbackExceptionHandler([] {
        if (Application) Application->HandleException(Application);
    });
    if (auto icon = Resources::Find(Resources::RT_GROUP_ICON, "MAINICON")) Application->SetIconFile(*icon);
    try {
        Application->Initialize();
        Application->SetTitle("Orvanta");
        // What the pages not on view measure (labels' sizes, the windows that lay out list items and
        // memo lines) and the pixels of their GIF pictures are done when the first page has been painted
        // and the program has been left alone for a moment, or when the page shows, whichever comes
        // first. The built-in pictures decode without a warning (a test checks it), so decoding them
        // later changes nothing but when it is paid for.
        TControl::SetMeasureHiddenLater(true);
        TGIFImage::SetDecodeFramesLater(true);
        Application->CreateForm(Form1);
        TGIFImage::SetDecodeFramesLater(false);
        TControl::SetMeasureHiddenLater(false);
        // A page at a time, so that a key pressed meanwhile waits for one page's work at most.
        std::unique_ptr<IIdleTimer> settle;
        if (TPlatform* platform = TPlatform::Current())
            settle = platform->CreateIdleTimer([&settle] {
                if (Form1 && Form1->SettleMeasuresStep()) settle->Start(0);
            });
        if (settle) settle->Start(kSettleAfterMs);
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->HandleException(Application);
    }
    // At exit the application destroys what it owns: the main form and with it every component.
    SetCallbackExceptionHandler(nullptr);
    application.reset();
    Application = nullptr;
    Form1 = nullptr;
    return 0;
}
