// A child window on Qt: a plain widget whose painting, keys, mouse and focus go to the owning control.
// Qt's own focus chain and Tab handling are kept out: the system moves the focus itself, and a click
// does not move it here.
#pragma once

#include "platform/WindowPeer.h"

#include <QWidget>

// Re-parents a child window; it comes out hidden and is shown again by its control.
void MoveToParentWindow(QWidget* widget, IWindowPeer* parent);

class QtWindow : public QWidget, public IWindowPeer {
public:
    QtWindow(QWidget* parent, IWindowEvents& events);

    void SetBounds(const TRect& bounds) override;
    void SetVisible(bool visible) override;
    void Invalidate(const TRect* rect) override;
    void Update() override;
    void SetFocus() override;
    bool Focused() const override;
    void StackUnder(IWindowPeer& sibling) override;
    // Painting goes into the window's back buffer, an off-screen image that Qt puts on the screen in one
    // step once every window of the update has painted: the buffer double buffering asks for.
    void SetDoubleBuffered(bool) override {}
    void Scroll(int dx, int dy) override { scroll(dx, dy); }
    void SetEnabled(bool enabled) override { setEnabled(enabled); }
    void SetParentWindow(IWindowPeer* parent) override { MoveToParentWindow(this, parent); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    IWindowEvents& FEvents;
};

// Shared by every window: key events in the system's terms (DeliverKey is true when the system used
// the key; otherwise the widget's own handling may take it), painting through a canvas.
int VirtualKeyOf(int qtKey);
TShiftState ShiftOf(Qt::KeyboardModifiers modifiers);
bool DeliverKey(QWidget* widget, QEvent* event, IWindowEvents& events);
// A tool-tip request (the mouse rests on the widget) shows the control's hint as the platform's tool
// tip, or hides any; true when the event was one.
bool DeliverHint(QWidget* widget, QEvent* event, IWindowEvents& events);
void DeliverPaint(QWidget* widget, QPaintEvent* event, IWindowEvents& events);
