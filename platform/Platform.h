// The stand-in for the operating system, as the rest of the program sees it: top-level windows, the
// screen and its work areas, message boxes, the event loop, the program's resources and the one
// registry value. Plain C++: the Qt implementation lives in platform/qt, and tests install fakes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

// The non-client frame of a sizeable top-level window with a caption: the outer size of 1355 x 836
// leaves a client area of 1339 x 797.
struct TFrameMetrics {
    static constexpr int Left = 8, Top = 31, Right = 8, Bottom = 8;
};

// Show commands of a top-level window.
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWMINNOACTIVE = 7;

// Message box flags.
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_ICONERROR = 0x10;

// What a top-level window reports back to the control that owns it.
class IFormWindowEvents {
public:
    virtual ~IFormWindowEvents() = default;
    // The user asked to close the window (close button, system menu, Alt+F4).
    virtual void WindowCloseRequested() = 0;
    // The window's outer bounds changed (by the user or the platform).
    virtual void WindowMoved(const TRect& outer) = 0;
};

// A top-level window. Bounds are outer bounds, frame included, in screen coordinates.
class IFormWindow {
public:
    virtual ~IFormWindow() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetOuterBounds(const TRect& outer) = 0;
    virtual TRect OuterBounds() const = 0;
    // Smallest and largest outer size the user can drag the frame to; 0 means no limit.
    virtual void SetTrackingLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) = 0;
    // An icon file (ICO); empty for none.
    virtual void SetIcon(std::span<const uint8_t> icoFile) = 0;
    virtual void Show(int showCommand) = 0;
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    // The work area (screen less task bars) of the monitor nearest to the window.
    virtual TRect MonitorWorkArea() const = 0;
};

class TPlatform {
public:
    virtual ~TPlatform() = default;

    // The platform in force; null until the program or a test installs one.
    static TPlatform* Current();
    static void SetCurrent(TPlatform* platform);

    virtual std::unique_ptr<IFormWindow> CreateFormWindow(IFormWindowEvents& events) = 0;
    // The application window's icon (task bar entry); an ICO file.
    virtual void SetApplicationIcon(std::span<const uint8_t> icoFile) = 0;
    virtual void SetApplicationTitle(const std::string& title) = 0;
    // A modal message box; returns when the user has dismissed it.
    virtual void MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // Runs the event loop until Quit is called.
    virtual void RunEventLoop() = 0;
    virtual void Quit() = 0;
    virtual int ScreenPixelsPerInch() const { return 96; }
    // A string value of the registry, read-only; nullopt when the key or value does not exist.
    virtual std::optional<std::string> RegistryString(std::string_view key, std::string_view value) const;
};
