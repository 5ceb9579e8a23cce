// Tab control on Qt. The tab bar never changes its selection by itself: a click asks the control
// first, and code selects without any report.
#include "platform/qt/QtTabControl.h"

#include "platform/qt/QtFont.h"
#include "platform/qt/QtWindow.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QToolButton>

#include <algorithm>
#include <vector>

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
    TTabRowStyle Style;

    bool Vertical() const {
        return Style.Position == TTabRowStyle::Left || Style.Position == TTabRowStyle::Right;
    }
    // Tabs in several rows: their rectangles, laid out by LayoutRows; empty on a single row.
    bool Wrapped() const { return !FRects.empty(); }

    void ApplyStyle(const TTabRowStyle& style) {
        Style = style;
        static constexpr QTabBar::Shape kShapes[] = {QTabBar::RoundedNorth, QTabBar::RoundedSouth,
                                                     QTabBar::RoundedWest, QTabBar::RoundedEast};
        setShape(kShapes[style.Position]);
        setUsesScrollButtons(!(style.MultiLine && !Vertical()));
        setMouseTracking(style.HotTrack);
        FHot = -1;
        // Lays the tabs out again at their new sizes.
        setElideMode(Qt::ElideNone);
        updateGeometry();
    }

    // No tab selected: the tab bar always keeps a current tab once it has any, so "none" is kept here,
    // and its current tab is then neither drawn selected nor reported.
    bool NoSelection = false;

    int Selected() const { return NoSelection ? -1 : currentIndex(); }
    void Select(int index) {
        QSignalBlocker block(this);
        if (index < 0 || index >= count()) {
            NoSelection = count() > 0;
        } else {
            NoSelection = false;
            setCurrentIndex(index);
        }
        update();
    }

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

    // Several rows (tabs along the top or bottom edge, MultiLine): each row takes the tabs that fit in
    // the width, rows of several are stretched to it unless RaggedRight, and the row of the selected tab
    // lies next to the page area, the others keeping their cyclic order. The depth of all rows, or 0
    // when the tabs stay on one scrolling row.
    int LayoutRows(int width) {
        FRects.clear();
        if (!Style.MultiLine || Vertical() || count() == 0 || width <= 0) return 0;
        std::vector<std::vector<int>> rows(1);
        int x = 0, height = 0;
        for (int i = 0; i < count(); ++i) {
            QSize hint = tabSizeHint(i);
            height = std::max(height, hint.height());
            if (x + hint.width() > width && !rows.back().empty()) {
                rows.emplace_back();
                x = 0;
            }
            rows.back().push_back(i);
            x += hint.width();
        }
        int selectedRow = 0;
        for (size_t r = 0; r < rows.size(); ++r)
            if (std::find(rows[r].begin(), rows[r].end(), currentIndex()) != rows[r].end())
                selectedRow = static_cast<int>(r);
        int n = static_cast<int>(rows.size());
        FRects.assign(static_cast<size_t>(count()), QRect());
        for (int r = 0; r < n; ++r) {
            // Tabs on top: the selected row last, next to the page area; at the bottom: first.
            int fromSelected = (r - selectedRow + n) % n; // 0 for the selected row
            int slot = Style.Position == TTabRowStyle::Top ? n - 1 - fromSelected : fromSelected;
            const std::vector<int>& row = rows[static_cast<size_t>(r)];
            int used = 0;
            for (int i : row)
                used += tabSizeHint(i).width();
            int extra = n > 1 && !Style.RaggedRight ? std::max(0, width - used) : 0;
            int left = 0;
            for (size_t k = 0; k < row.size(); ++k) {
                int w = tabSizeHint(row[k]).width() + extra / static_cast<int>(row.size()) +
                        (static_cast<int>(k) < extra % static_cast<int>(row.size()) ? 1 : 0);
                FRects[static_cast<size_t>(row[k])] = QRect(left, slot * height, w, height);
                left += w;
            }
        }
        return n * height;
    }

    QRect RectOf(int index) const {
        return Wrapped() ? (index >= 0 && index < count() ? FRects[static_cast<size_t>(index)] : QRect())
                         : tabRect(index);
    }
    int TabAtPoint(QPoint p) const {
        if (!Wrapped()) return tabAt(p);
        for (int i = 0; i < count(); ++i)
            if (FRects[static_cast<size_t>(i)].contains(p)) return i;
        return -1;
    }
    int Hot() const { return FHot; }

    // Until the row is first laid out (QtTabControl::PlaceRow), the tab bar's own bookkeeping of
    // tabs added to it gets sizes that measure no text: the row is laid out again, at the tabs' real
    // sizes, before anything of it is used.
    bool SizesPutOff = true;
    void SizesNeeded() {
        if (!SizesPutOff) return;
        SizesPutOff = false;
        setElideMode(Qt::ElideNone); // lays the tabs out again
    }

protected:
    // Fixed sizes along and across the row.
    QSize tabSizeHint(int index) const override {
        if (SizesPutOff) return {1, 1};
        QSize s = QTabBar::tabSizeHint(index);
        if (Style.TabWidth > 0) (Vertical() ? s.rheight() : s.rwidth()) = Style.TabWidth;
        if (Style.TabHeight > 0) (Vertical() ? s.rwidth() : s.rheight()) = Style.TabHeight;
        return s;
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        // A click on the row focuses the tab control first, as the platform's does.
        if (QWidget* control = parentWidget(); control && !control->hasFocus())
            control->setFocus(Qt::MouseFocusReason);
        int index = TabAtPoint(event->position().toPoint());
        if (index < 0 || index == Selected()) return;
        bool allowed = false;
        GuardedCallback([&] { allowed = FEvents.TabChanging(); });
        if (!allowed) return;
        Select(index);
        if (Wrapped()) {
            LayoutRows(width());
            update();
        }
        GuardedCallback([&] { FEvents.TabChanged(); });
    }
    void mouseReleaseEvent(QMouseEvent*) override {}
    // With hot tracking the tab under the mouse is drawn in the hot-tracking colour.
    void mouseMoveEvent(QMouseEvent* event) override {
        int hot = Style.HotTrack ? TabAtPoint(event->position().toPoint()) : -1;
        if (hot == FHot) return;
        FHot = hot;
        update();
    }
    void leaveEvent(QEvent*) override {
        if (FHot < 0) return;
        FHot = -1;
        update();
    }
    void wheelEvent(QWheelEvent*) override {}

    // A highlighted tab is drawn with the highlight colour over its face, unlike the selected one,
    // which stands out by its raised shape (tabs) or its pushed-in face (buttons).
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        const TPlatform* platform = TPlatform::Current();
        uint32_t hotColor = platform ? platform->GetSysColor(26) : SysColorOf(26);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            option.rect = RectOf(i);
            if (!option.rect.intersects(rect())) continue;
            if (NoSelection) {
                option.state &= ~QStyle::State_Selected;
                option.selectedPosition = QStyleOptionTab::NotAdjacent;
            }
            QColor text =
                i == FHot ? QColor(hotColor & 0xFF, hotColor >> 8 & 0xFF, hotColor >> 16 & 0xFF) : TextColor;
            option.palette.setColor(QPalette::WindowText, text);
            option.palette.setColor(QPalette::ButtonText, text);
            if (Style.Look == TTabRowStyle::Tabs) {
                p.drawControl(QStyle::CE_TabBarTabShape, option);
                if (Highlighted.count(i))
                    p.fillRect(option.rect.adjusted(2, 2, -2, 0), QColor(0xCC, 0xE4, 0xF7));
                p.drawControl(QStyle::CE_TabBarTabLabel, option);
                continue;
            }
            // Buttons: the selected one pushed in; flat buttons show a face only when selected.
            QStyleOptionButton button;
            button.initFrom(this);
            button.rect = option.rect.adjusted(1, 1, -1, -1);
            bool selected = i == Selected();
            button.state = (button.state & ~QStyle::State_MouseOver) |
                           (selected ? QStyle::State_Sunken : QStyle::State_Raised);
            if (Style.Look == TTabRowStyle::Buttons || selected)
                p.drawPrimitive(QStyle::PE_PanelButtonCommand, button);
            if (Highlighted.count(i))
                p.fillRect(button.rect.adjusted(2, 2, -2, -2), QColor(0xCC, 0xE4, 0xF7));
            p.setPen(text);
            p.drawText(button.rect, Qt::AlignCenter | Qt::TextSingleLine, option.text);
        }
    }

private:
    ITabControlEvents& FEvents;
    std::vector<QRect> FRects;
    int FHot = -1;
};

QtTabControl::QtTabControl(QWidget* parent, IWindowEvents& events, ITabControlEvents& tabEvents)
    : QWidget(parent), FEvents(events), FRow(new QtTabRow(this, tabEvents)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks on the control itself focus it (mousePressEvent); a click on a sheet inside it must not
    // climb up to it, as Qt's click focus would.
    setFocusPolicy(Qt::NoFocus);
    FRow->installEventFilter(this);
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

void QtTabControl::SetParentWindow(IWindowPeer* parent) {
    MoveToParentWindow(this, parent);
}

void QtTabControl::InsertTab(int index, const std::string& text) {
    QSignalBlocker block(FRow);
    FRow->insertTab(index, QString::fromStdString(text));
    // The first tab of an empty row is selected; otherwise the selection stays as it was, none included.
    if (FRow->count() == 1) FRow->NoSelection = false;
    std::set<int> moved;
    for (int h : FRow->Highlighted)
        moved.insert(h >= index ? h + 1 : h);
    FRow->Highlighted = moved;
    RowChanged();
}

void QtTabControl::SetTabText(int index, const std::string& text) {
    FRow->setTabText(index, QString::fromStdString(text));
    RowChanged();
}

void QtTabControl::SetRowStyle(const TTabRowStyle& style) {
    FStyle = style;
    FRow->ApplyStyle(style);
    RowChanged();
    update();
}

void QtTabControl::RowChanged() {
    if (FRowChanged) return;
    FRowChanged = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
}

void QtTabControl::PlaceRowIfChanged() const {
    if (FRowChanged) const_cast<QtTabControl*>(this)->PlaceRow();
}

// What reaches the row itself (the mouse, painting) finds it laid out.
bool QtTabControl::eventFilter(QObject* watched, QEvent* e) {
    if (watched == FRow && FRowChanged) {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::HoverEnter:
        case QEvent::HoverMove:
        case QEvent::HoverLeave:
        case QEvent::Enter:
        case QEvent::Leave:
        case QEvent::Paint:
        case QEvent::ToolTip:
        case QEvent::ContextMenu:
            PlaceRow();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void QtTabControl::PlaceRow() {
    FRowChanged = false;
    if (FTabFont) {
        FRow->setFont(FTabFont->Font());
        FTabFont.reset();
    }
    FRow->SizesNeeded();
    int wrapped = FRow->LayoutRows(width());
    QSize hint = FRow->sizeHint();
    int depth = wrapped > 0 ? wrapped : FRow->Vertical() ? hint.width() : hint.height();
    switch (FStyle.Position) {
    case TTabRowStyle::Top:
        FRow->setGeometry(0, 0, width(), depth);
        break;
    case TTabRowStyle::Bottom:
        FRow->setGeometry(0, height() - depth, width(), depth);
        break;
    case TTabRowStyle::Left:
        FRow->setGeometry(0, 0, depth, height());
        break;
    case TTabRowStyle::Right:
        FRow->setGeometry(width() - depth, 0, depth, height());
        break;
    }
    FRow->update();
}

void QtTabControl::DeleteTab(int index) {
    QSignalBlocker block(FRow);
    // Deleting the selected tab leaves none selected; the tab bar would pick a neighbour.
    bool selected = index == FRow->Selected();
    FRow->removeTab(index);
    FRow->NoSelection = FRow->count() > 0 && (selected || FRow->NoSelection);
    std::set<int> moved;
    for (int h : FRow->Highlighted)
        if (h != index) moved.insert(h > index ? h - 1 : h);
    FRow->Highlighted = moved;
    RowChanged();
}

int QtTabControl::TabCount() const {
    return FRow->count();
}

int QtTabControl::SelectedTab() const {
    return FRow->Selected();
}

void QtTabControl::SelectTab(int index) {
    FRow->Select(index);
    // Several rows: the selected tab's row moves next to the page area.
    if (FRow->Wrapped()) RowChanged();
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
    // Taken when the row is laid out: a font is looked up only when text is measured.
    if (auto* qf = dynamic_cast<const QtFont*>(font)) FTabFont = *qf;
    FRow->TextColor = QColor(textColor & 0xFF, textColor >> 8 & 0xFF, textColor >> 16 & 0xFF);
    RowChanged();
}

TRect QtTabControl::DisplayRect() const {
    // Inside the frame (2 pixels; buttons have none), beyond the row on its edge.
    PlaceRowIfChanged();
    QRect row = FRow->geometry();
    int m = FStyle.Look == TTabRowStyle::Tabs ? 2 : 0;
    TRect r{m, m, width() - m, height() - m};
    switch (FStyle.Position) {
    case TTabRowStyle::Top:
        r.Top = row.bottom() + 1 + m;
        break;
    case TTabRowStyle::Bottom:
        r.Bottom = row.top() - m;
        break;
    case TTabRowStyle::Left:
        r.Left = row.right() + 1 + m;
        break;
    case TTabRowStyle::Right:
        r.Right = row.left() - m;
        break;
    }
    r.Right = std::max(r.Right, r.Left);
    r.Bottom = std::max(r.Bottom, r.Top);
    return r;
}

TRect QtTabControl::TabRect(int index) const {
    PlaceRowIfChanged();
    QRect r = FRow->RectOf(index);
    if (!r.intersects(FRow->rect())) return {};
    r.translate(FRow->pos());
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int QtTabControl::FirstVisibleTab() const {
    PlaceRowIfChanged();
    for (int i = 0; i < FRow->count(); ++i)
        if (FRow->tabRect(i).left() >= 0) return i;
    return 0;
}

void QtTabControl::ScrollTabs(int delta) {
    PlaceRowIfChanged();
    FRow->ShiftBy(delta);
}

bool QtTabControl::event(QEvent* e) {
    if (e->type() == QEvent::LayoutRequest) {
        PlaceRowIfChanged();
        return true;
    }
    if (DeliverKey(this, e, FEvents) || DeliverHint(this, e, FEvents)) return true;
    if (e->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) return true;
    }
    return QWidget::event(e);
}

void QtTabControl::paintEvent(QPaintEvent* e) {
    PlaceRowIfChanged();
    DeliverPaint(this, e, FEvents);
    if (FStyle.Look != TTabRowStyle::Tabs) return;
    // The frame of the page area, against the tab row.
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    TRect d = DisplayRect();
    frame.rect = QRect(d.Left - 2, d.Top - 2, d.Width() + 4, d.Height() + 4);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}

void QtTabControl::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    PlaceRow();
    GuardedCallback([&] { FEvents.WindowResized(width(), height()); });
}

void QtTabControl::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && !hasFocus()) setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(e);
}

void QtTabControl::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    GuardedCallback([&] { FEvents.WindowFocusChanged(true); });
}
