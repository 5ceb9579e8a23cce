// Top-level window on Qt.
#include "platform/qt/QtFormWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

QtFormWindow::QtFormWindow(IFormWindowEvents& events, IWindowEvents& clientEvents)
    : FEvents(events), FClient(new QtWindow(this, clientEvents)), FHorz(new QScrollBar(Qt::Horizontal, this)),
      FVert(new QScrollBar(Qt::Vertical, this)) {
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

void QtFormWindow::closeEvent(QCloseEvent* event) {
    // The form decides what closing means; the window itself stays until the form is destroyed.
    event->ignore();
    GuardedCallback([&] { FEvents.WindowCloseRequested(); });
}

void QtFormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    GuardedCallback([&] { FEvents.WindowMoved(OuterBounds()); });
}

void QtFormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutClient();
    GuardedCallback([&] { FEvents.WindowMoved(OuterBounds()); });
}
