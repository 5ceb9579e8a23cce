// Top-level window on Qt.
#include "platform/qt/QtFormWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QWindow>

#include <xcb/xcb.h>

namespace {

// Whether a window manager will frame the window. On X one that runs owns the selection WM_Sn of the
// screen; on a bare server nothing ever frames it, so nothing need be looked for. Other platforms
// frame every window.
bool WindowManagerFrames() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return true;
    xcb_connection_t* c = x11->connection();
    // The screen is the number after the display's, as in ":0.1"; without one it is the first.
    const QByteArray display = qgetenv("DISPLAY");
    const qsizetype colon = display.lastIndexOf(':'), dot = display.lastIndexOf('.');
    const QByteArray screen = dot > colon && colon >= 0 ? display.mid(dot + 1) : QByteArray("0");
    const QByteArray name = "WM_S" + screen;
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 1, static_cast<uint16_t>(name.size()), name.constData()), nullptr);
    if (!atom) return true;
    xcb_get_selection_owner_reply_t* owner =
        atom->atom ? xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr)
                   : nullptr;
    const bool owned = owner && owner->owner != XCB_NONE;
    free(owner);
    free(atom);
    return owned;
}

} // namespace

QtFormWindow::QtFormWindow(IFormWindowEvents& events, IWindowEvents& clientEvents)
    : FEvents(events), FClient(new QtWindow(this, clientEvents)), FHorz(new QScrollBar(Qt::Horizontal, this)),
      FVert(new QScrollBar(Qt::Vertical, this)) {
    FFrameWatch.setInterval(50);
    connect(&FFrameWatch, &QTimer::timeout, this, [this] {
        FrameChanged();
        if (FFrameKnown || ++FFrameChecks >= 40) FFrameWatch.stop();
    });
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    FClient->setFocusPolicy(Qt::NoFocus);
    for (QScrollBar* bar : {FHorz, FVert}) {
        // The content moves only when the thumb is released, not while it is dragged.
        bar->setTracking(false);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
    }
    connect(FHorz, &QScrollBar::actionTriggered, this,
            [this](int action) { ScrollAction(TScrollBarKind::sbHorizontal, action); });
    connect(FVert, &QScrollBar::actionTriggered, this,
            [this](int action) { ScrollAction(TScrollBarKind::sbVertical, action); });
    connect(FHorz, &QScrollBar::sliderReleased, this, [this] {
        GuardedCallback([&] {
            FEvents.WindowScroll(TScrollBarKind::sbHorizontal, TScrollCode::scPosition,
                                 FHorz->sliderPosition());
        });
    });
    connect(FVert, &QScrollBar::sliderReleased, this, [this] {
        GuardedCallback([&] {
            FEvents.WindowScroll(TScrollBarKind::sbVertical, TScrollCode::scPosition,
                                 FVert->sliderPosition());
        });
    });
}

// Qt's slider actions in the system's scroll codes; the bar's own value is left to the form.
void QtFormWindow::ScrollAction(TScrollBarKind kind, int action) {
    QScrollBar* bar = kind == TScrollBarKind::sbHorizontal ? FHorz : FVert;
    TScrollCode code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        code = TScrollCode::scLineDown;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        code = TScrollCode::scLineUp;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = TScrollCode::scPageDown;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = TScrollCode::scPageUp;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = TScrollCode::scTop;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = TScrollCode::scBottom;
        break;
    case QAbstractSlider::SliderMove:
        code = TScrollCode::scTrack;
        break;
    default:
        return;
    }
    int pos = bar->sliderPosition();
    GuardedCallback([&] { FEvents.WindowScroll(kind, code, pos); });
}

void QtFormWindow::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

QMargins QtFormWindow::Frame() const {
    if (FFrameKnown)
        if (QWindow* w = windowHandle()) return w->frameMargins();
    return QMargins(TFrameMetrics::Left, TFrameMetrics::Top, TFrameMetrics::Right, TFrameMetrics::Bottom);
}

void QtFormWindow::SetOuterBounds(const TRect& outer) {
    QMargins m = Frame();
    int w = outer.Width() - TFrameMetrics::Left - TFrameMetrics::Right;
    int h = outer.Height() - TFrameMetrics::Top - TFrameMetrics::Bottom;
    // The real frame, centred on the model's outer rectangle: with the model's own frame the two agree.
    int left = outer.Left + (outer.Width() - (w + m.left() + m.right())) / 2 + m.left();
    int top = outer.Top + (outer.Height() - (h + m.top() + m.bottom())) / 2 + m.top();
    setGeometry(left, top, w, h);
}

TRect QtFormWindow::OuterBounds() const {
    QRect client = geometry();
    QMargins m = Frame();
    int width = client.width() + TFrameMetrics::Left + TFrameMetrics::Right;
    int height = client.height() + TFrameMetrics::Top + TFrameMetrics::Bottom;
    int left = client.left() - m.left() - (width - (client.width() + m.left() + m.right())) / 2;
    int top = client.top() - m.top() - (height - (client.height() + m.top() + m.bottom())) / 2;
    return {left, top, left + width, top + height};
}

// A window manager tells its frame's extents only after it has framed the window, that is after the
// window was placed by the model's frame; the window is then placed again by the real frame, once.
void QtFormWindow::FrameChanged() {
    if (FFrameKnown || !isVisible() || windowState() != Qt::WindowNoState) return;
    QWindow* w = windowHandle();
    if (!w || w->frameMargins().isNull()) return;
    TRect outer = OuterBounds();
    FFrameKnown = true;
    SetOuterBounds(outer);
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
    // A window manager frames the window after it is mapped and may say nothing that reaches a widget
    // (its frame leaves the client where it was); the frame is looked for a little while.
    if (!FFrameKnown && !FFrameWatch.isActive() && WindowManagerFrames()) {
        FFrameChecks = 0;
        FFrameWatch.start();
    }
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

TSize QtFormWindow::ClientSize() const {
    return {FClient->width(), FClient->height()};
}

int QtFormWindow::ScrollBarThickness() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void QtFormWindow::SetScrollBar(TScrollBarKind kind, int min, int max, int page, int pos) {
    QScrollBar* bar = kind == TScrollBarKind::sbHorizontal ? FHorz : FVert;
    // The platform range is min..max including the page; Qt's excludes it.
    bool shown = max > min;
    QSignalBlocker block(bar);
    bar->setRange(min, std::max(min, max - page + 1));
    bar->setPageStep(page);
    bar->setSingleStep(8);
    bar->setValue(pos);
    if (shown != bar->isVisible()) {
        bar->setVisible(shown);
        LayoutClient();
    }
}

void QtFormWindow::LayoutClient() {
    int t = ScrollBarThickness();
    int w = width() - (FVert->isVisible() ? t : 0);
    int h = height() - (FHorz->isVisible() ? t : 0);
    FClient->setGeometry(0, 0, std::max(0, w), std::max(0, h));
    FHorz->setGeometry(0, height() - t, std::max(0, w), t);
    FVert->setGeometry(width() - t, 0, t, std::max(0, h));
}

void QtFormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        bool active = isActiveWindow();
        GuardedCallback([&] { FEvents.WindowActivated(active); });
    }
}

void QtFormWindow::StartSizeGripDrag() {
    // The window manager's own resizing keeps its limits and frame as the frame's corner does.
    if (QWindow* w = windowHandle(); w && w->startSystemResize(Qt::RightEdge | Qt::BottomEdge)) return;
    // Without one, the window follows the mouse itself until the button is released.
    FGripDrag = true;
    FGripStart = QCursor::pos();
    FGripStartSize = size();
    qApp->installEventFilter(this);
}

// While the grip is dragged, the mouse moves reaching any widget resize the window (the widget under the
// button holds the mouse); the release ends the drag and goes on as usual.
bool QtFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!FGripDrag || !watched->isWidgetType()) return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        QPoint delta = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - FGripStart;
        // resize keeps within the minimum and maximum sizes the tracking limits set.
        resize(FGripStartSize.width() + delta.x(), FGripStartSize.height() + delta.y());
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        FGripDrag = false;
        qApp->removeEventFilter(this);
    }
    return QWidget::eventFilter(watched, event);
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
    // The form decides what closing means; the window itself stays until the form is destroyed.
    event->ignore();
    GuardedCallback([&] { FEvents.WindowCloseRequested(); });
}

void QtFormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    FrameChanged();
    GuardedCallback([&] { FEvents.WindowMoved(OuterBounds()); });
}

void QtFormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutClient();
    FrameChanged();
    GuardedCallback([&] { FEvents.WindowMoved(OuterBounds()); });
}
