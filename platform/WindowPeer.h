// Windows inside a top-level window: each windowed control owns one peer. The peer places and shows the
// platform window, asks the control to paint, and reports keys, mouse, focus and size back to it.
#pragma once

#include "platform/Canvas.h"
#include "platform/Platform.h"

#include <functional>
#include <string>

// Virtual key codes and shift state, as the system numbers them.
enum TVirtualKey : int {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_CANCEL = 0x03,
    VK_EXECUTE = 0x2B,
    VK_DELETE = 0x2E,
};
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
using TShiftState = unsigned;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

class IWindowEvents {
public:
    virtual ~IWindowEvents() = default;
    // Paint the update rectangle (client coordinates): background first, then everything else.
    virtual void WindowPaint(ICanvas& canvas, const TRect& update) = 0;
    // A key went down while this window had the focus; true when it was used.
    virtual bool WindowKeyDown(int key, TShiftState shift) = 0;
    virtual void WindowMouseDown(TMouseButton, int, int, TShiftState) {}
    virtual void WindowFocusChanged(bool) {}
    virtual void WindowResized(int, int) {}
    // The mouse rests at x, y (client coordinates): the hint to show there; empty shows none.
    virtual std::string WindowHint(int, int) { return {}; }
};

class IWindowPeer {
public:
    virtual ~IWindowPeer() = default;
    // Bounds relative to the parent's client area.
    virtual void SetBounds(const TRect& bounds) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void Invalidate(const TRect* rect = nullptr) = 0;
    // Paints what is invalid now.
    virtual void Update() = 0;
    virtual void SetFocus() = 0;
    virtual bool Focused() const = 0;
    // Puts this window directly behind a sibling in the z-order.
    virtual void StackUnder(IWindowPeer& sibling) = 0;
    virtual void SetDoubleBuffered(bool on) = 0;
    // Moves the contents (child windows and painted pixels) by dx, dy.
    virtual void Scroll(int dx, int dy) = 0;
    // A disabled window takes no keys, clicks or focus, and neither do the windows inside it.
    virtual void SetEnabled(bool) {}
    // Moves the window, with the windows inside it, into another window's client area; null takes it
    // out of every window (hidden) until it is given a parent again.
    virtual void SetParentWindow(IWindowPeer*) {}
};

// Runs fn for a callback from the platform; anything it raises goes to the handler the application
// installed, and never further.
void GuardedCallback(const std::function<void()>& fn);
void SetCallbackExceptionHandler(std::function<void()> handler);
