// A top-level window on Qt: the client area is the Qt widget; the frame around it is the platform's
// fixed frame model, so outer bounds convert to client geometry by the frame metrics.
#pragma once

#include "platform/Platform.h"

#include <QIcon>
#include <QWidget>

QIcon IconFromIcoFile(std::span<const uint8_t> icoFile);

class QtFormWindow : public QWidget, public IFormWindow {
public:
    explicit QtFormWindow(IFormWindowEvents& events);

    void SetCaption(const std::string& caption) override;
    void SetOuterBounds(const TRect& outer) override;
    TRect OuterBounds() const override;
    void SetTrackingLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) override;
    void SetIcon(std::span<const uint8_t> icoFile) override;
    void Show(int showCommand) override;
    void Hide() override;
    bool IsVisible() const override;
    TRect MonitorWorkArea() const override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    IFormWindowEvents& FEvents;
};
