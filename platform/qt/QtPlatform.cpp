// Qt implementation of the platform: top-level windows with a fixed frame model, the screen's work
// areas, message boxes and the event loop.
#include "platform/qt/QtPlatform.h"

#include "platform/qt/FontSubstitution.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtEdit.h"
#include "platform/qt/QtFont.h"
#include "platform/qt/QtFormWindow.h"
#include "platform/qt/QtIdleTimer.h"
#include "platform/qt/QtListBox.h"
#include "platform/qt/QtTabControl.h"
#include "platform/qt/QtWindow.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <thread>

QIcon IconFromIcoFile(std::span<const uint8_t> icoFile) {
    QIcon icon;
    if (icoFile.empty()) return icon;
    QByteArray bytes(reinterpret_cast<const char*>(icoFile.data()), static_cast<qsizetype>(icoFile.size()));
    QImage image;
    // An ICO file may hold several sizes; the Qt reader yields them one by one.
    if (image.loadFromData(bytes, "ICO")) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

namespace {

// The base name of the desktop entry installed with the program.
constexpr char kDesktopEntry[] = "org.orvanta.Orvanta";

// The application object hears of every change of the application's fonts (by the program or by the
// desktop's theme).
class SettingsWatch : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::ApplicationFontChange)
            TPlatform::NotifySettingsChanged();
        return false;
    }
};

class QtPlatform : public TPlatform {
public:
    explicit QtPlatform(const char* programName) : FArgv0(programName ? programName : "orvanta") {
        FArgv[0] = FArgv0.data();
        FApp = std::make_unique<QApplication>(FArgc, FArgv);
        // Closing the last window must not end the loop by itself: the form decides (Close, Terminate).
        QApplication::setQuitOnLastWindowClosed(false);
        // The running windows belong to the desktop entry: the window class on X11 (the second part of
        // WM_CLASS is the application name) and the app id on Wayland both name it.
        QApplication::setApplicationName(QString::fromLatin1(kDesktopEntry));
        QApplication::setDesktopFileName(QString::fromLatin1(kDesktopEntry));
        // Reading the font configuration takes as long as a good part of loading the course, which
        // measures no text until the page on view shows: it is read meanwhile, and Qt's font list and
        // the substitutions are made when the first text is measured or drawn.
        FFontConfig = std::thread([] { FcInit(); });
        PutOffFontSubstitutions([this] {
            FFontConfig.join();
            RegisterFontSubstitutions();
        });
        // A change of the desktop's fonts reaches whoever follows the platform's settings.
        FApp->installEventFilter(&FSettingsWatch);
#if QT_CONFIG(sessionmanager)
        // Logging off or shutting down asks the program first; a refusal keeps the session.
        QObject::connect(FApp.get(), &QGuiApplication::commitDataRequest, [this](QSessionManager& manager) {
            if (!FEndSessionQuery || !manager.allowsInteraction()) return;
            bool allow = true;
            GuardedCallback([&] { allow = FEndSessionQuery(); });
            if (!allow) manager.cancel();
            manager.release();
        });
#endif
    }

    void SetEndSessionQuery(std::function<bool()> query) override {
        FEndSessionQuery = std::move(query);
    }

    // The theme's status-bar font, at this program's 96 pixels per inch.
    bool StatusFont(TLogFont& logFont) const override {
        QFont font = QApplication::font("QStatusBar");
        QString family = font.family();
        if (family.isEmpty()) return false;
        logFont = TLogFont{};
        logFont.Height = font.pixelSize() > 0
                             ? -font.pixelSize()
                             : -static_cast<int32_t>(std::lround(font.pointSizeF() * 96 / 72));
        if (logFont.Height == 0) return false;
        logFont.Weight = font.bold() ? 700 : 400;
        logFont.Italic = font.italic() ? 1 : 0;
        logFont.CharSet = 1;
        std::u16string face = family.left(31).toStdU16String();
        std::copy(face.begin(), face.end(), logFont.FaceName);
        return true;
    }

    std::unique_ptr<IFormWindow> CreateFormWindow(IFormWindowEvents& events,
                                                  IWindowEvents& clientEvents) override {
        return std::make_unique<QtFormWindow>(events, clientEvents);
    }

    std::unique_ptr<ITabControlPeer> CreateTabControl(IWindowPeer& parent, IWindowEvents& events,
                                                      ITabControlEvents& tabEvents) override {
        return std::make_unique<QtTabControl>(dynamic_cast<QWidget*>(&parent), events, tabEvents);
    }

    std::unique_ptr<IWindowPeer> CreateChildWindow(IWindowPeer& parent, IWindowEvents& events) override {
        auto* parentWidget = dynamic_cast<QWidget*>(&parent);
        auto window = std::make_unique<QtWindow>(parentWidget, events);
        return window;
    }

    void SetApplicationIcon(std::span<const uint8_t> icoFile) override {
        QApplication::setWindowIcon(IconFromIcoFile(icoFile));
    }

    // Not handed to Qt as the display name: Qt would append that to every window's title, and the
    // titles must be exactly the program's own texts. The desktop entry names the program instead.
    void SetApplicationTitle(const std::string&) override {}

    void MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        EnsureFontSubstitutions();
        QMessageBox box(flags & MB_ICONERROR ? QMessageBox::Critical : QMessageBox::NoIcon,
                        QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok);
        box.exec();
    }

    void RunEventLoop() override {
        if (FQuitRequested) return;
        EnsureFontSubstitutions();
        QApplication::exec();
    }

    void Quit() override {
        FQuitRequested = true;
        QApplication::exit(0);
    }

    std::unique_ptr<IIdleTimer> CreateIdleTimer(std::function<void()> task) override {
        return std::make_unique<QtIdleTimer>(std::move(task));
    }

    int ScreenPixelsPerInch() const override {
        return 96;
    }

    std::unique_ptr<IPlatformFont> CreateFontIndirect(const TLogFont& logFont) override {
        return std::make_unique<QtFont>(logFont);
    }

    std::unique_ptr<ICanvas> CreateMeasuringCanvas() override {
        EnsureFontSubstitutions();
        return QtCanvas::CreateMeasuring();
    }

    std::unique_ptr<IListBoxPeer> CreateListBox(IWindowPeer& parent, IWindowEvents& events,
                                                IListBoxEvents& listEvents,
                                                const TListBoxParams& params) override {
        return std::make_unique<QtListBox>(dynamic_cast<QWidget*>(&parent), events, listEvents, params);
    }

    std::unique_ptr<IEditPeer> CreateEdit(IWindowPeer& parent, IWindowEvents& events,
                                          const TEditParams& params) override {
        return std::make_unique<QtMemoEdit>(dynamic_cast<QWidget*>(&parent), events, params);
    }

    std::unique_ptr<IRichEditPeer> CreateRichEdit(IWindowPeer& parent, IWindowEvents& events,
                                                  const TEditParams& params) override {
        return std::make_unique<QtRichEdit>(dynamic_cast<QWidget*>(&parent), events, params);
    }

    ~QtPlatform() override {
        // Still put off when nothing was ever measured or drawn: dropped, as it refers to this platform.
        PutOffFontSubstitutions(nullptr);
        if (FFontConfig.joinable()) FFontConfig.join();
    }

private:
    std::thread FFontConfig;
    SettingsWatch FSettingsWatch;
    std::string FArgv0;
    int FArgc = 1;
    char* FArgv[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> FApp;
    bool FQuitRequested = false;
    std::function<bool()> FEndSessionQuery;
};

} // namespace

std::unique_ptr<TPlatform> CreateQtPlatform(const char* programName) {
    return std::make_unique<QtPlatform>(programName);
}
