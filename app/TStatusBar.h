// The status line at the bottom of the window: one simple text, or a row of panels.
#pragma once

#include "controls/TWinControl.h"
#include "stream/TCollection.h"

#include <memory>
#include <string>

class TStatusPanel : public TCollectionItem {
    ORV_CLASS(TStatusPanel)
public:
    using TCollectionItem::TCollectionItem;

    int Width() const { return FWidth; }
    void SetWidth(int v) { Set(FWidth, v); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& v) { Set(FText, v); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { Set(FAlignment, v); }
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle v) { Set(FStyle, v); }
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel v) { Set(FBevel, v); }

private:
    // A change repaints the bar that shows the panel.
    template <class T> void Set(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }

    int FWidth = 50;
    std::string FText;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TStatusPanelStyle FStyle = TStatusPanelStyle::psText;
    TStatusPanelBevel FBevel = TStatusPanelBevel::pbLowered;
};

class TCustomStatusBar;

class TStatusPanels : public TCollection {
    ORV_CLASS(TStatusPanels)
public:
    explicit TStatusPanels(TCustomStatusBar* bar = nullptr);
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }

protected:
    void Update(TCollectionItem*) override;

private:
    TCustomStatusBar* FBar;
};

class TCustomStatusBar : public TWinControl {
    ORV_CLASS(TCustomStatusBar)
public:
    explicit TCustomStatusBar(TComponent* owner);
    ~TCustomStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool v) {
        if (FSimplePanel == v) return;
        FSimplePanel = v;
        Invalidate();
    }
    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& v);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool v) { FSizeGrip = v; }
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool v);
    // The grip is valid on a sizeable form when the bar's bottom-right corner is the client area's.
    bool SizeGripValid() const;

    // The grip's area at the right end of the bar, in the bar's client coordinates; empty when the bar
    // shows no grip.
    TRect SizeGripRect() const;

protected:
    void PaintContent(ICanvas& canvas) override;
    // A press of the left button on the grip resizes the form's window from its bottom-right corner.
    void WindowMouseDown(TMouseButton button, int x, int y, TShiftState shift) override;

private:
    // Takes the platform's status-bar font (the default font at 8 points when it has none) and the
    // button text colour.
    void ApplySystemFont();
    void PaintPanels(ICanvas& canvas, const TRect& bar);

    std::unique_ptr<TStatusPanels> FPanels;
    int FSettingsListener = 0;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FSizeGrip = true;
    bool FUseSystemFont = true;
};

class TStatusBar : public TCustomStatusBar {
    ORV_CLASS(TStatusBar)
public:
    using TCustomStatusBar::TCustomStatusBar;
};
