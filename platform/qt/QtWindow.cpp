// Child windows on Qt.
#include "platform/qt/QtWindow.h"

#include "platform/qt/FontSubstitution.h"
#include "platform/qt/QtCanvas.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Cancel:
        return VK_CANCEL;
    case Qt::Key_Execute:
        return VK_EXECUTE;
    default:
        if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return qtKey;
        return 0;
    }
}

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers) {
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier) s |= ssShift;
    if (modifiers & Qt::AltModifier) s |= ssAlt;
    if (modifiers & Qt::ControlModifier) s |= ssCtrl;
    return s;
}

// Key presses go to the control before Qt could use Tab for its own focus chain.
bool DeliverKey(QWidget*, QEvent* event, IWindowEvents& events) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int vk = VirtualKeyOf(key->key());
    TShiftState shift = ShiftOf(key->modifiers());
    if (key->key() == Qt::Key_Backtab) shift |= ssShift;
    bool used = false;
    if (vk != 0) GuardedCallback([&] { used = events.WindowKeyDown(vk, shift); });
    if (used) event->accept();
    return used;
}

bool DeliverHint(QWidget* widget, QEvent* event, IWindowEvents& events) {
    if (event->type() != QEvent::ToolTip) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    QPoint p = help->pos();
    std::string hint;
    GuardedCallback([&] { hint = events.WindowHint(p.x(), p.y()); });
    if (hint.empty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), QString::fromStdString(hint), widget);
    return true;
}

void DeliverPaint(QWidget* widget, QPaintEvent* event, IWindowEvents& events) {
    QRect r = event->rect();
    TRect update{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    EnsureFontSubstitutions();
    // The painter draws into the window's back buffer, at the screen's device pixels.
    QPainter painter(widget);
    painter.setClipRect(r);
    QtCanvas canvas(&painter);
    GuardedCallback([&] { events.WindowPaint(canvas, update); });
}

void MoveToParentWindow(QWidget* widget, IWindowPeer* parent) {
    QWidget* target = parent ? dynamic_cast<QWidget*>(parent) : nullptr;
    if (widget->parentWidget() == target) return;
    // Out of every window the widget stays hidden: shown without a parent it would be a window of its
    // own on the desktop.
    widget->hide();
    widget->setParent(target);
}

QtWindow::QtWindow(QWidget* parent, IWindowEvents& events) : QWidget(parent), FEvents(events) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A plain window takes the focus only when the system gives it: a click on it, or on a label or a
    // picture painted on it, leaves the focus where it was.
    setFocusPolicy(Qt::NoFocus);
}

void QtWindow::SetBounds(const TRect& b) {
    setGeometry(b.Left, b.Top, b.Width(), b.Height());
}

void QtWindow::SetVisible(bool visible) {
    setVisible(visible);
}

void QtWindow::Invalidate(const TRect* rect) {
    if (rect)
        update(rect->Left, rect->Top, rect->Width(), rect->Height());
    else
        update();
}

void QtWindow::Update() {
    repaint();
}

void QtWindow::SetFocus() {
    setFocus(Qt::OtherFocusReason);
}

bool QtWindow::Focused() const {
    return hasFocus();
}

void QtWindow::StackUnder(IWindowPeer& sibling) {
    if (auto* w = dynamic_cast<QWidget*>(&sibling)) stackUnder(w);
}

bool QtWindow::event(QEvent* e) {
    if (DeliverKey(this, e, FEvents) || DeliverHint(this, e, FEvents)) return true;
    // Tab never reaches Qt's own focus chain: the system moves the focus itself.
    if (e->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return true;
    }
    return QWidget::event(e);
}

void QtWindow::paintEvent(QPaintEvent* e) {
    DeliverPaint(this, e, FEvents);
}

void QtWindow::mousePressEvent(QMouseEvent* e) {
    TMouseButton b = e->button() == Qt::RightButton    ? TMouseButton::mbRight
                     : e->button() == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                       : TMouseButton::mbLeft;
    QPoint p = e->position().toPoint();
    GuardedCallback([&] { FEvents.WindowMouseDown(b, p.x(), p.y(), ShiftOf(e->modifiers())); });
}

void QtWindow::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    GuardedCallback([&] { FEvents.WindowFocusChanged(true); });
}

void QtWindow::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    GuardedCallback([&] { FEvents.WindowFocusChanged(false); });
}

void QtWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    GuardedCallback([&] { FEvents.WindowResized(width(), height()); });
}
