// A top-level window on Qt: the Qt widget is the area inside the frame; the frame itself is the
// platform's fixed frame model, so outer bounds convert to widget geometry by the frame metrics. Inside,
// a client area (the parent of the form's child windows) and the two scroll bars.
#pragma once

#include "platform/WindowPeer.h"
#include "platform/qt/QtWindow.h"

#include <QIcon>
#include <QScrollBar>
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

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayoutClient();
    void ScrollAction(TScrollBarKind kind, int action);

    IFormWindowEvents& FEvents;
    QtWindow* FClient;
    QScrollBar* FHorz;
    QScrollBar* FVert;
};
