// The window part shared by the platform's text controls on Qt: placement, visibility, focus reports,
// mouse presses, and keys offered to the system before the widget's own handling. Qt's own focus chain
// never sees Tab.
#pragma once

#include "platform/WindowPeer.h"
#include "platform/qt/QtWindow.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

template <class TWidget, class TPeer> class QtNativeWindow : public TWidget, public TPeer {
public:
    QtNativeWindow(QWidget* parent, IWindowEvents& events) : TWidget(parent), FEvents(events) {
        this->setFocusPolicy(Qt::ClickFocus);
    }

    void SetBounds(const TRect& b) override { this->setGeometry(b.Left, b.Top, b.Width(), b.Height()); }
    void SetVisible(bool visible) override { this->setVisible(visible); }
    void Invalidate(const TRect* rect) override {
        if (rect)
            this->update(rect->Left, rect->Top, rect->Width(), rect->Height());
        else
            this->update();
        this->viewport()->update();
    }
    void Update() override { this->repaint(); }
    void SetFocus() override { this->setFocus(Qt::OtherFocusReason); }
    bool Focused() const override { return this->hasFocus(); }
    void StackUnder(IWindowPeer& sibling) override {
        if (auto* w = dynamic_cast<QWidget*>(&sibling)) this->stackUnder(w);
    }
    // Qt's widgets paint through their window's back buffer already.
    void SetDoubleBuffered(bool) override {}
    void Scroll(int, int) override {}
    void SetEnabled(bool enabled) override { this->setEnabled(enabled); }
    void SetParentWindow(IWindowPeer* parent) override { MoveToParentWindow(this, parent); }

protected:
    // Offers a key press to the system; true when the event is finished with (the system used the key,
    // or it is a Tab the widget must not see). Tab reaches the widget only when passTab is set.
    bool KeyToSystem(QEvent* e, bool passTab) {
        if (DeliverKey(this, e, FEvents)) return true;
        if (e->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        return tab && !(passTab && key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ControlModifier));
    }

    // The hint of the control where the mouse rests over its content.
    bool viewportEvent(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            QHelpEvent mapped(QEvent::ToolTip, this->viewport()->mapTo(this, help->pos()), help->globalPos());
            return DeliverHint(this, &mapped, FEvents);
        }
        return TWidget::viewportEvent(e);
    }

    void focusInEvent(QFocusEvent* e) override {
        TWidget::focusInEvent(e);
        GuardedCallback([&] { FEvents.WindowFocusChanged(true); });
    }
    void focusOutEvent(QFocusEvent* e) override {
        TWidget::focusOutEvent(e);
        GuardedCallback([&] { FEvents.WindowFocusChanged(false); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        TWidget::mousePressEvent(e);
        TMouseButton b = e->button() == Qt::RightButton    ? TMouseButton::mbRight
                         : e->button() == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                           : TMouseButton::mbLeft;
        QPoint p = e->position().toPoint();
        GuardedCallback([&] { FEvents.WindowMouseDown(b, p.x(), p.y(), ShiftOf(e->modifiers())); });
    }

    IWindowEvents& FEvents;
};

// Colours of the platform (0x00BBGGRR) as Qt colours.
inline QColor QtColorOf(uint32_t color) {
    return QColor(color & 0xFF, color >> 8 & 0xFF, color >> 16 & 0xFF);
}
