// Top-level window on Qt.
#include "platform/qt/QtFormWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

QtFormWindow::QtFormWindow(IFormWindowEvents& events) : FEvents(events) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The system decides focus movement itself; Qt's own Tab chain stays out of the way.
    setFocusPolicy(Qt::NoFocus);
}

void QtFormWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void QtFormWindow::SetOuterBounds(const TRect& outer) {
    setGeometry(outer.Left + TFrameMetrics::Left, outer.Top + TFrameMetrics::Top,
                outer.Width() - TFrameMetrics::Left - TFrameMetrics::Right,
                outer.Height() - TFrameMetrics::Top - TFrameMetrics::Bottom);
}

TRect QtFormWindow::OuterBounds() const {
    QRect client = geometry();
    return {client.left() - TFrameMetrics::Left, client.top() - TFrameMetrics::Top,
            client.left() + client.width() + TFrameMetrics::Right,
            client.top() + client.height() + TFrameMetrics::Bottom};
}

void QtFormWindow::SetTrackingLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
    constexpr int fw = TFrameMetrics::Left + TFrameMetrics::Right,
                  fh = TFrameMetrics::Top + TFrameMetrics::Bottom;
    setMinimumSize(minWidth > 0 ? std::max(0, minWidth - fw) : 0,
                   minHeight > 0 ? std::max(0, minHeight - fh) : 0);
    setMaximumSize(maxWidth > 0 ? std::max(0, maxWidth - fw) : QWIDGETSIZE_MAX,
                   maxHeight > 0 ? std::max(0, maxHeight - fh) : QWIDGETSIZE_MAX);
}

void QtFormWindow::SetIcon(std::span<const uint8_t> icoFile) {
    setWindowIcon(IconFromIcoFile(icoFile));
}

void QtFormWindow::Show(int showCommand) {
    switch (showCommand) {
    case SW_SHOWMAXIMIZED:
        showMaximized();
        break;
    case SW_SHOWMINNOACTIVE:
        setAttribute(Qt::WA_ShowWithoutActivating);
        showMinimized();
        break;
    default:
        showNormal();
        break;
    }
}

void QtFormWindow::Hide() {
    hide();
}

bool QtFormWindow::IsVisible() const {
    return isVisible();
}

TRect QtFormWindow::MonitorWorkArea() const {
    QRect g = geometry();
    QScreen* screen = QGuiApplication::screenAt(g.center());
    if (!screen) screen = this->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 0, 0};
    QRect r = screen->availableGeometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
    // The form decides what closing means; the window itself stays until the form is destroyed.
    event->ignore();
    FEvents.WindowCloseRequested();
}

void QtFormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    FEvents.WindowMoved(OuterBounds());
}

void QtFormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FEvents.WindowMoved(OuterBounds());
}
