// The base of every visual element: bounds within the parent, visibility, colour and font with their
// inheritance from the parent, margins and size constraints, and the parent/child relation, which is
// kept apart from ownership.
#pragma once

#include "controls/ControlTypes.h"
#include "controls/TFont.h"
#include "controls/TMargins.h"
#include "platform/Canvas.h"
#include "stream/Colors.h"
#include "stream/TComponent.h"

#include <memory>
#include <string>

class TWinControl;

// What a control needs of the form that holds it: the keyboard focus and the form's dialog keys.
class IFocusHost {
public:
    virtual ~IFocusHost() = default;
    virtual TWinControl* ActiveControl() const = 0;
    // Gives the focus to a control of the form; raises when it cannot take it.
    virtual void FocusControl(TWinControl* control) = 0;
    // The platform moved the focus to (or away from) a control's window.
    virtual void FocusChangedTo(TWinControl* control) = 0;
    // A key the focused control did not use: Tab, arrows and the other navigation keys.
    virtual bool DialogKey(int key, unsigned shift) = 0;
};

enum TControlStateFlag : uint32_t { csReadingState = 1u << 0 };
using TControlState = uint32_t;

class TControl : public TComponent {
    ORV_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent* parent) override;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    // The client area in the control's own coordinates.
    virtual TRect ClientRect() const { return {0, 0, FWidth, FHeight}; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign v);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors v);
    bool AlignWithMargins() const { return FAlignWithMargins; }
    void SetAlignWithMargins(bool v);
    TMargins* Margins() const { return FMargins.get(); }
    TSizeConstraints* Constraints() const { return FConstraints.get(); }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v);

    TColor Color() const { return FColor; }
    void SetColor(TColor v);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool v);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* v) { FFont->SetAssigned(v); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& v) { FHint = v; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool v);

    // The control's text: a label's or a sheet's caption, a static text's window text.
    const std::string& Caption() const { return FText; }
    virtual void SetCaption(const std::string& v);

    TControlState ControlState() const { return FControlState; }
    void ReadEntry(TReader& reader) override;
    void FinishLoading() override;

    // Painting: marks the control's area for painting (on the parent's surface for a graphic control).
    virtual void Invalidate();
    // Whether the control paints every pixel of its rectangle (so its parent need not paint under it).
    virtual bool Opaque() const { return false; }
    // True when the control and every parent up to the form are visible and enabled.
    virtual bool CanFocus() const;
    // The hint shown while the mouse rests on the control: from the nearest control outward whose
    // ShowHint is True, its Hint or else its nearest parent's non-empty Hint. Empty: no hint window.
    std::string HintText() const;
    // The form that holds the control (as the host of the keyboard focus), or null.
    IFocusHost* FocusHost() const;

    // Anchor distances, recorded when the control is placed outside a layout pass: how far the right
    // and bottom edges lie from the parent's right and bottom.
    int AnchorRight() const { return FAnchorRight; }
    int AnchorBottom() const { return FAnchorBottom; }
    void RecordAnchors();

    // Measuring put off while the program loads its form. Meanwhile a control that is not on view puts
    // off what it would measure (a label its automatic size; a list box or an edit the window that lays
    // out its items or lines, which wait meanwhile in its in-memory stand-in) until it is about to show,
    // or until the program settles what was put off (TWinControl::SettleMeasuresStep): fonts and windows that
    // only later pages use are then not made before the first page is on the screen. Off by default: a
    // form loaded with it off is measured completely before its constructor returns.
    static void SetMeasureHiddenLater(bool v);
    static bool MeasureHiddenLater();

    // Notifications from the parent that an inherited value changed.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void ParentShowHintChanged();

protected:
    virtual void FontChanged();
    virtual void ColorChanged() {}
    virtual void TextChanged() {}
    virtual void BoundsChanged() {}
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void ShowHintChanged() {}
    // The size limits changed: the control re-applies its size through them.
    virtual void ConstraintsChanged();
    // Clamps a size the program sets to the size limits (not while the control is being read).
    void ConstrainSize(int& width, int& height) const;
    // Whether the control cannot be on view: a parent below the form is hidden, or the form is not
    // showing (as while it is created).
    bool OutOfView() const;
    // Loading with MeasureHiddenLater on, out of view: what is measured can wait.
    bool LoadingOutOfView() const;
    // Marks the control to be measured later (MeasureNow), and its parents as holding such a control.
    void PutOffMeasuring();
    // The measuring put off, done now.
    virtual void MeasureNow() {}
    bool FMeasurePending = false;

    std::string FText;
    TControlState FControlState = 0;
    TColor FColor = clWindow;
    bool FParentColor = true;
    bool FParentFont = true;

private:
    friend class TWinControl;

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = TAlign::alNone;
    TAnchors FAnchors = AnchorBit(akLeft) | AnchorBit(akTop);
    bool FAlignWithMargins = false;
    std::unique_ptr<TMargins> FMargins;
    std::unique_ptr<TSizeConstraints> FConstraints;
    bool FVisible = true;
    bool FEnabled = true;
    std::unique_ptr<TFont> FFont;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    bool FUpdatingFromParent = false;
    int FAnchorRight = 0;
    int FAnchorBottom = 0;
};

// Controls without a window of their own, painted by their parent.
class TGraphicControl : public TControl {
    ORV_CLASS(TGraphicControl)
public:
    using TControl::TControl;
    // Paints the control on its parent's canvas, whose origin is the control's top-left corner and whose
    // clip is the control's rectangle.
    virtual void Paint(ICanvas&) {}
};
