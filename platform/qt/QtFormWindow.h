// A top-level window on Qt: the Qt widget is the area inside the frame. Sizes follow the platform's
// fixed frame model (the outer size less the frame metrics is the widget's size). Where a window manager
// draws a frame of other extents, that frame is centred where the model's outer rectangle lies, so a
// window centred on the work area stays centred with the real frame. Inside, a client area (the parent
// of the form's child windows) and the two scroll bars.
#pragma once

#include "platform/WindowPeer.h"
#include "platform/qt/QtWindow.h"

#include <QIcon>
#include <QMargins>
#include <QPoint>
#include <QScrollBar>
#include <QSize>
#include <QTimer>
#include <QWidget>

QIcon IconFromIcoFile(std::span<const uint8_t> icoFile);

class QtFormWindow : public QWidget, public IFormWindow {
public:
    QtFormWindow(IFormWindowEvents& events, IWindowEvents& clientEvents);

    void SetCaption(const std::string& caption) override;
    void SetOuterBounds(const TRect& outer) override;
    TRect OuterBounds() const override;
    void SetTrackingLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) override;
    void SetIcon(std::span<const uint8_t> icoFile) override;
    void Show(int showCommand) override;
    void Hide() override;
    bool IsVisible() const override;
    TRect MonitorWorkArea() const override;
    IWindowPeer* Client() override { return FClient; }
    TSize ClientSize() const override;
    void SetScrollBar(TScrollBarKind kind, int min, int max, int page, int pos) override;
    int ScrollBarThickness() const override;
    void StartSizeGripDrag() override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutClient();
    void ScrollAction(TScrollBarKind kind, int action);
    // The frame's extents: the window manager's once it has told them, else the frame model's.
    QMargins Frame() const;
    // Takes in the window manager's frame when it first becomes known, placing the window again.
    void FrameChanged();

    IFormWindowEvents& FEvents;
    QtWindow* FClient;
    QScrollBar* FHorz;
    QScrollBar* FVert;
    // Whether the window manager's frame has been seen, and the watch for it after showing.
    bool FFrameKnown = false;
    QTimer FFrameWatch;
    int FFrameChecks = 0;
    // A size grip drag followed by the window itself, where no window manager does it.
    bool FGripDrag = false;
    QPoint FGripStart;
    QSize FGripStartSize;
};
