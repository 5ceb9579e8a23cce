// Tab control on Qt. The tab bar never changes its selection by itself: a click asks the control
// first, and code selects without any report.
#include "platform/qt/QtTabControl.h"

#include "platform/qt/QtFont.h"
#include "platform/qt/QtWindow.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QToolButton>

class QtTabRow : public QTabBar {
public:
    QtTabRow(QWidget* parent, ITabControlEvents& events) : QTabBar(parent), FEvents(events) {
        setUsesScrollButtons(true);
        setExpanding(false);
        setDrawBase(false);
        setElideMode(Qt::ElideNone);
        setFocusPolicy(Qt::NoFocus);
        // The scroll arrows take no focus either: the focus stays on the page control.
        for (QToolButton* b : findChildren<QToolButton*>())
            b->setFocusPolicy(Qt::NoFocus);
    }

    std::set<int> Highlighted;
    QColor TextColor = Qt::black;

    // Shifts the row by whole tabs, as the scroll arrows do.
    void ShiftBy(int delta) {
        for (QToolButton* b : findChildren<QToolButton*>()) {
            if ((delta > 0 && b->arrowType() == Qt::RightArrow) ||
                (delta < 0 && b->arrowType() == Qt::LeftArrow)) {
                for (int i = 0; i < std::abs(delta); ++i)
                    b->click();
                return;
            }
        }
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        int index = tabAt(event->position().toPoint());
        if (index < 0 || index == currentIndex()) return;
        bool allowed = false;
        GuardedCallback([&] { allowed = FEvents.TabChanging(); });
        if (!allowed) return;
        {
            QSignalBlocker block(this);
            setCurrentIndex(index);
        }
        GuardedCallback([&] { FEvents.TabChanged(); });
    }
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseMoveEvent(QMouseEvent*) override {}
    void wheelEvent(QWheelEvent*) override {}

    // A highlighted tab is drawn with the highlight colour over its face, unlike the selected one,
    // which stands out by its raised shape.
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            if (!option.rect.intersects(rect())) continue;
            option.palette.setColor(QPalette::WindowText, TextColor);
            option.palette.setColor(QPalette::ButtonText, TextColor);
            p.drawControl(QStyle::CE_TabBarTabShape, option);
            if (Highlighted.count(i)) p.fillRect(option.rect.adjusted(2, 2, -2, 0), QColor(0xCC, 0xE4, 0xF7));
            p.drawControl(QStyle::CE_TabBarTabLabel, option);
        }
    }

private:
    ITabControlEvents& FEvents;
};

QtTabControl::QtTabControl(QWidget* parent, ITabControlEvents& events)
    : QWidget(parent), FEvents(events), FRow(new QtTabRow(this, events)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void QtTabControl::SetBounds(const TRect& b) {
    setGeometry(b.Left, b.Top, b.Width(), b.Height());
}

void QtTabControl::Invalidate(const TRect* rect) {
    if (rect)
        update(rect->Left, rect->Top, rect->Width(), rect->Height());
    else
        update();
}

void QtTabControl::StackUnder(IWindowPeer& sibling) {
    if (auto* w = dynamic_cast<QWidget*>(&sibling)) stackUnder(w);
}

void QtTabControl::InsertTab(int index, const std::string& text) {
    QSignalBlocker block(FRow);
    FRow->insertTab(index, QString::fromStdString(text));
    std::set<int> moved;
    for (int h : FRow->Highlighted)
        moved.insert(h >= index ? h + 1 : h);
    FRow->Highlighted = moved;
    FRow->setGeometry(0, 0, width(), FRow->sizeHint().height());
}

void QtTabControl::SetTabText(int index, const std::string& text) {
    FRow->setTabText(index, QString::fromStdString(text));
}

void QtTabControl::DeleteTab(int index) {
    QSignalBlocker block(FRow);
    FRow->removeTab(index);
    std::set<int> moved;
    for (int h : FRow->Highlighted)
        if (h != index) moved.insert(h > index ? h - 1 : h);
    FRow->Highlighted = moved;
}

int QtTabControl::TabCount() const {
    return FRow->count();
}

int QtTabControl::SelectedTab() const {
    return FRow->currentIndex();
}

void QtTabControl::SelectTab(int index) {
    QSignalBlocker block(FRow);
    FRow->setCurrentIndex(index);
}

void QtTabControl::HighlightTab(int index, bool highlighted) {
    if (highlighted)
        FRow->Highlighted.insert(index);
    else
        FRow->Highlighted.erase(index);
    FRow->update();
}

bool QtTabControl::TabHighlighted(int index) const {
    return FRow->Highlighted.count(index) > 0;
}

void QtTabControl::SetTabFont(const IPlatformFont* font, uint32_t textColor) {
    if (auto* qf = dynamic_cast<const QtFont*>(font)) FRow->setFont(qf->Font());
    FRow->TextColor = QColor(textColor & 0xFF, textColor >> 8 & 0xFF, textColor >> 16 & 0xFF);
    FRow->setGeometry(0, 0, width(), FRow->sizeHint().height());
    FRow->update();
}

TRect QtTabControl::DisplayRect() const {
    // Inside the frame: 2 pixels on the sides and bottom, and the frame's top edge under the tab row.
    int top = FRow->sizeHint().height();
    return {2, top + 2, std::max(2, width() - 2), std::max(top + 2, height() - 2)};
}

TRect QtTabControl::TabRect(int index) const {
    QRect r = FRow->tabRect(index);
    if (!r.intersects(FRow->rect())) return {};
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int QtTabControl::FirstVisibleTab() const {
    for (int i = 0; i < FRow->count(); ++i)
        if (FRow->tabRect(i).left() >= 0) return i;
    return 0;
}

void QtTabControl::ScrollTabs(int delta) {
    FRow->ShiftBy(delta);
}

bool QtTabControl::event(QEvent* e) {
    if (DeliverKey(this, e, FEvents)) return true;
    if (e->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return true;
    }
    return QWidget::event(e);
}

void QtTabControl::paintEvent(QPaintEvent* e) {
    DeliverPaint(this, e, FEvents, FDoubleBuffered);
    // The frame of the page area, under the tab row.
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    TRect d = DisplayRect();
    frame.rect = QRect(0, d.Top - 2, width(), height() - d.Top + 2);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

void QtTabControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    FRow->setGeometry(0, 0, width(), FRow->sizeHint().height());
    GuardedCallback([&] { FEvents.WindowResized(width(), height()); });
}

void QtTabControl::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    GuardedCallback([&] { FEvents.WindowFocusChanged(true); });
}
