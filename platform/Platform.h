// The stand-in for the operating system, as the rest of the program sees it: top-level windows, the
// screen and its work areas, message boxes, the event loop, the program's resources and the one
// registry value. Plain C++: the Qt implementation lives in platform/qt, and tests install fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

struct TSize {
    int cx = 0, cy = 0;
    bool operator==(const TSize&) const = default;
};

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Intersects(const TRect& r) const {
        return Left < r.Right && r.Left < Right && Top < r.Bottom && r.Top < Bottom;
    }
    TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
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

class IWindowPeer;
class IWindowEvents;

enum class TScrollBarKind { sbHorizontal, sbVertical };
enum class TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};

// What a top-level window reports back to the control that owns it. Its client area reports the rest
// through the IWindowEvents the form passes along.
class IFormWindowEvents {
public:
    virtual ~IFormWindowEvents() = default;
    // A scroll bar of the window was operated; pos is the thumb's position for scPosition and scTrack.
    virtual void WindowScroll(TScrollBarKind, TScrollCode, int) {}
    // The user asked to close the window (close button, system menu, Alt+F4).
    virtual void WindowCloseRequested() = 0;
    // The window's outer bounds changed (by the user or the platform).
    virtual void WindowMoved(const TRect& outer) = 0;
    // The window became the active window (the one that receives the keys), or stopped being it.
    virtual void WindowActivated(bool) {}
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
    // The client area as a parent of child windows, and its size (less any scroll bar shown).
    virtual IWindowPeer* Client() { return nullptr; }
    virtual TSize ClientSize() const = 0;
    // A scroll bar of the window: range min..max, page size, position; shown only when max > min.
    virtual void SetScrollBar(TScrollBarKind, int, int, int, int) {}
    // Thickness of a scroll bar (the system metric).
    virtual int ScrollBarThickness() const { return 17; }
    // The left button went down on a size grip at the bottom-right corner: the corner follows the
    // mouse until the button is released, within the tracking limits, as when the frame's own corner
    // is dragged.
    virtual void StartSizeGripDrag() {}
};

// Calls its task once, on the event loop's thread, when the program has been idle (no key, mouse or
// wheel input) for the time given to Start. Input while it waits starts the wait again; Start while it
// waits starts it anew; Stop and destruction cancel it. Nothing is left running once it has fired.
class IIdleTimer {
public:
    virtual ~IIdleTimer() = default;
    virtual void Start(int milliseconds) = 0;
    virtual void Stop() = 0;
};

class IPlatformFont;
class ICanvas;
struct TLogFont;

class TPlatform {
public:
    virtual ~TPlatform() = default;

    // The platform in force; null until the program or a test installs one.
    static TPlatform* Current();
    static void SetCurrent(TPlatform* platform);

    // A top-level window; its client area reports paint, keys and mouse to clientEvents.
    virtual std::unique_ptr<IFormWindow> CreateFormWindow(IFormWindowEvents& events,
                                                          IWindowEvents& clientEvents) = 0;
    // A child window inside parent's client area.
    virtual std::unique_ptr<IWindowPeer> CreateChildWindow(IWindowPeer& parent, IWindowEvents& events) = 0;
    // The platform's tab control, as a child window.
    virtual std::unique_ptr<class ITabControlPeer>
    CreateTabControl(IWindowPeer& parent, IWindowEvents& events, class ITabControlEvents& tabEvents) = 0;
    // The application window's icon (task bar entry); an ICO file.
    virtual void SetApplicationIcon(std::span<const uint8_t> icoFile) = 0;
    virtual void SetApplicationTitle(const std::string& title) = 0;
    // A modal message box; returns when the user has dismissed it.
    virtual void MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // What the platform asks when the user logs off or the system shuts down: false keeps the session
    // (and the program) going. An empty function answers yes.
    virtual void SetEndSessionQuery(std::function<bool()>) {}
    // Runs the event loop until Quit is called.
    virtual void RunEventLoop() = 0;
    virtual void Quit() = 0;
    // A timer for work worth doing while the user does nothing; null on a platform without an event
    // loop, where such work is never started.
    virtual std::unique_ptr<IIdleTimer> CreateIdleTimer(std::function<void()>) { return nullptr; }
    virtual int ScreenPixelsPerInch() const { return 96; }

    // Fonts and drawing.
    virtual std::unique_ptr<IPlatformFont> CreateFontIndirect(const TLogFont& logFont) = 0;
    // A canvas not tied to any window, for measuring text.
    virtual std::unique_ptr<ICanvas> CreateMeasuringCanvas() = 0;
    // The platform's current system colour number index, as 0x00BBGGRR (a classic light palette).
    virtual uint32_t GetSysColor(int index) const;
    // A string value of the registry, read-only; nullopt when the key or value does not exist.
    virtual std::optional<std::string> RegistryString(std::string_view key, std::string_view value) const;
    // The font the platform gives status bars; false when it cannot be read.
    virtual bool StatusFont(TLogFont&) const { return false; }

    // Whoever follows the platform's settings (fonts, metrics) is called after each change of them.
    // Listeners live outside any one platform object, so they may outlive it.
    static int AddSettingsListener(std::function<void()> listener);
    static void RemoveSettingsListener(int id);
    static void NotifySettingsChanged();

    // Native text controls.
    // The platform's list box, edit and rich edit, as child windows of parent (platform/NativeControls.h).
    virtual std::unique_ptr<class IListBoxPeer> CreateListBox(IWindowPeer& parent, IWindowEvents& events,
                                                              class IListBoxEvents& listEvents,
                                                              const struct TListBoxParams& params) = 0;
    virtual std::unique_ptr<class IEditPeer> CreateEdit(IWindowPeer& parent, IWindowEvents& events,
                                                        const struct TEditParams& params) = 0;
    virtual std::unique_ptr<class IRichEditPeer> CreateRichEdit(IWindowPeer& parent, IWindowEvents& events,
                                                                const struct TEditParams& params) = 0;
};

// The classic light palette behind TPlatform::GetSysColor, for when no platform is installed.
uint32_t SysColorOf(int index);
