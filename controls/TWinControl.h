// Controls with a platform window: they hold child controls (graphic and windowed, each in insertion
// order, plus the tab list of windowed children), arrange them in the layout pass, paint themselves
// and their graphic children, and can take the keyboard focus.
#pragma once

#include "controls/TControl.h"
#include "platform/WindowPeer.h"

#include <memory>
#include <vector>

class TWinControl : public TControl, protected IWindowEvents {
    ORV_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // Graphic children first, then windowed children.
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int index) const;
    bool ContainsControl(const TControl* control) const;
    const std::vector<TControl*>& GraphicChildren() const { return FControls; }
    const std::vector<TWinControl*>& WindowedChildren() const { return FWinControls; }
    const std::vector<TWinControl*>& TabList() const { return FTabList; }
    // Appends each child in tab order, each followed by its own tab order list.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;

    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v) { FTabStop = v; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v);
    bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
    void SetParentDoubleBuffered(bool v);
    TPadding* Padding() const { return FPadding.get(); }
    // The sunken 3-D look of borders; followed from the parent while ParentCtl3D is True.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool v);
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool v);

    void ReadEntry(TReader& reader) override;
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign();
    bool AlignDisabled() const { return FAlignLevel > 0; }
    bool InLayoutPass() const { return FInLayoutPass; }
    // Runs the layout pass now, or when the suspension ends or the window exists.
    void Realign();

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

    // ---- The window ----
    virtual bool HandleAllocated() const { return FPeer != nullptr; }
    // Creates the window now, and the parents' windows first.
    virtual void HandleNeeded();
    // The window in which children are placed (the form's is its client area).
    virtual IWindowPeer* ClientPeer() const { return FPeer.get(); }
    // Visible, and the parent showing: the window exists and is shown.
    virtual bool Showing() const;
    // Brings the window state in line with Showing, and that of the windowed children.
    void UpdateShowing();
    // Measures now the controls directly on this one that put off measuring (see MeasureHiddenLater).
    void SettleOwnMeasures();
    // Measures what was put off below this one, a step at a time: the controls directly on the first
    // windowed control, this one or one below, that holds any and no windowed control that does. False
    // when nothing was left to measure.
    bool SettleMeasuresStep();
    void InvalidateRect(const TRect& rect);
    void Invalidate() override;
    void Repaint();

    // ---- Focus and keys ----
    bool Focused() const;
    void SetFocus();
    // Whether the control uses this key itself (arrows in a list, Ctrl+Tab in a page control...).
    virtual bool WantsKey(int, TShiftState) const { return false; }
    // Handles a key the control wants; true when used, false to leave it to the platform control.
    virtual bool KeyDown(int, TShiftState) { return false; }
    // A navigation key offered down the tree by the form; true when this control or a child took it.
    virtual bool DialogKey(int key, TShiftState shift);

    // Paints the whole control as the platform asks: background, own content, then graphic children.
    void PaintHandler(ICanvas& canvas, const TRect& update);

protected:
    void FontChanged() override;
    void ColorChanged() override;
    void BoundsChanged() override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void ShowHintChanged() override;
    // The 3-D look changed: a control whose window shows it re-creates or restyles its window.
    virtual void Ctl3DChanged() {}
    void ParentCtl3DChanged();
    // Called after a child left this control's lists.
    virtual void ControlRemoved(TControl*) {}
    // Fills the background with the control's colour; classes that paint it otherwise override.
    virtual void EraseBackground(ICanvas& canvas);
    // The control's own content, between the background and the graphic children.
    virtual void PaintContent(ICanvas&) {}
    // The rectangle the layout pass arranges children in.
    virtual TRect AlignmentRect() const;
    // The alignment rectangle less Padding.
    TRect PaddedAlignmentRect() const;
    virtual void AlignControls();
    // The window of this kind of control, made in the parent's client area: a plain child window
    // unless the class makes a platform control of its own.
    virtual std::unique_ptr<IWindowPeer> NewWindowPeer(IWindowPeer& parent);
    // The new window is the control's and has its bounds: it takes what the control kept while it had
    // none (text, tabs) before it goes among its siblings and is shown.
    virtual void InitializeWindowPeer() {}
    void DestroyChildren();

    // IWindowEvents: what the platform window reports.
    void WindowPaint(ICanvas& canvas, const TRect& update) override;
    bool WindowKeyDown(int key, TShiftState shift) override;
    void WindowMouseDown(TMouseButton button, int x, int y, TShiftState shift) override;
    void WindowFocusChanged(bool focused) override;
    // The hint of the topmost visible graphic child at x, y, or else of this control.
    std::string WindowHint(int x, int y) override;

    // The tab order stored while reading; applied to the tab list at the end of the control's entry.
    int FStoredTabOrder = -1;
    bool FTabStop = false;
    std::unique_ptr<IWindowPeer> FPeer;
    // Some control below this one put off measuring (set by TControl::PutOffMeasuring).
    bool FMeasuresPending = false;
    friend class TControl;

private:
    // Makes the window: the kind's own part through the two hooks above, then what every window gets.
    void CreateWindowPeer();
    // Puts the window directly behind the next windowed sibling that already has one, so that later
    // siblings stay in front.
    void StackAmongSiblings();
    void UpdateTabOrder(int value);
    // Puts an existing window into the parent's client area (or out of every window without a parent
    // window), among its siblings as a new window would be.
    void AttachToParentWindow();
    void ParentDoubleBufferedChanged();
    void PlaceChild(TControl* child, const TRect& box);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FWinControls;
    std::vector<TWinControl*> FTabList;
    bool FDoubleBuffered = false;
    bool FParentDoubleBuffered = true;
    bool FCtl3D = true;
    bool FParentCtl3D = true;
    bool FUpdatingCtl3D = false;
    std::unique_ptr<TPadding> FPadding;
    int FAlignLevel = 0;
    bool FAlignPending = false;
    bool FInLayoutPass = false;
    // The client area the window lies in.
    IWindowPeer* FParentWindow = nullptr;
};

// Raised by the failure cases of the control model.
inline constexpr std::string_view SControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr std::string_view SParentRequired = "Control '%s' has no parent window";
inline constexpr std::string_view SCannotFocus = "Cannot focus a disabled or invisible window";
