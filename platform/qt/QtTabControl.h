// The platform tab control on Qt: a window whose top edge holds one row of tabs (a tab bar with scroll
// arrows) and whose painting draws the frame of the page area under it.
#pragma once

#include "platform/TabControlPeer.h"

#include <QTabBar>
#include <QWidget>

#include "platform/qt/QtFont.h"

#include <optional>
#include <set>

class QtTabRow;

class QtTabControl : public QWidget, public ITabControlPeer {
public:
    // events: what every window reports; tabEvents: the changes of tab the row reports.
    QtTabControl(QWidget* parent, IWindowEvents& events, ITabControlEvents& tabEvents);

    // IWindowPeer
    void SetBounds(const TRect& bounds) override;
    void SetVisible(bool visible) override { setVisible(visible); }
    void Invalidate(const TRect* rect) override;
    void Update() override { repaint(); }
    void SetFocus() override { setFocus(Qt::OtherFocusReason); }
    bool Focused() const override { return hasFocus(); }
    void StackUnder(IWindowPeer& sibling) override;
    // Painting goes into the window's back buffer already (see QtWindow).
    void SetDoubleBuffered(bool) override {}
    void Scroll(int dx, int dy) override { scroll(dx, dy); }
    void SetEnabled(bool enabled) override { setEnabled(enabled); }
    void SetParentWindow(IWindowPeer* parent) override;

    // ITabControlPeer
    void SetRowStyle(const TTabRowStyle& style) override;
    void InsertTab(int index, const std::string& text) override;
    void SetTabText(int index, const std::string& text) override;
    void DeleteTab(int index) override;
    int TabCount() const override;
    int SelectedTab() const override;
    void SelectTab(int index) override;
    void HighlightTab(int index, bool highlighted) override;
    bool TabHighlighted(int index) const override;
    void SetTabFont(const IPlatformFont* font, uint32_t textColor) override;
    TRect DisplayRect() const override;
    TRect TabRect(int index) const override;
    int FirstVisibleTab() const override;
    void ScrollTabs(int delta) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // Puts the row along its edge, as deep as its rows need.
    void PlaceRow();
    // Tabs, texts, font and style change the row's layout, which is made once, before anything looks
    // at it (the page area, a tab's place, painting, the mouse) or when the loop next runs: adding the
    // tabs of many pages one after another lays the row out once instead of once for each.
    void RowChanged();
    void PlaceRowIfChanged() const;

    IWindowEvents& FEvents;
    QtTabRow* FRow;
    bool FRowChanged = true;        // the row has not been laid out yet
    std::optional<QtFont> FTabFont; // to be given to the row when it is laid out
    TTabRowStyle FStyle;
};
