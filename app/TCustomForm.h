// Forms: top-level windows whose content comes from the definition named after their class.
#pragma once

#include "app/TScrollingWinControl.h"
#include "graphics/TIcon.h"
#include "platform/Platform.h"

#include <memory>

enum class TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSetBits;
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum class TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };

enum TFormStateFlag : uint32_t { fsCreating = 1u << 0, fsVisible = 1u << 1 };
using TFormState = uint32_t;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

struct TPoint {
    int X = 0, Y = 0;
    bool operator==(const TPoint&) const = default;
};

class TCustomForm : public TScrollingWinControl, public IFocusHost, private IFormWindowEvents {
    ORV_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Where a window of the given size goes when centred on a work area: truncating toward zero, and
    // never above or left of the work area's corner.
    static TPoint CenteredPosition(const TRect& workArea, int width, int height);

    // The form's top-level window, created on first need; none while no platform is in force.
    void HandleNeeded() override;
    bool HandleAllocated() const override { return FWindow != nullptr; }
    IWindowPeer* ClientPeer() const override { return FWindow ? FWindow->Client() : nullptr; }
    bool Showing() const override { return FWindow && FWindow->IsVisible() && Visible(); }
    IFormWindow* Window() const { return FWindow.get(); }
    TRect ClientRect() const override;

    // The keyboard focus.
    TWinControl* ActiveControl() const override { return FActiveControl; }
    void FocusControl(TWinControl* control) override;
    void FocusChangedTo(TWinControl* control) override;
    bool DialogKey(int key, unsigned shift) override;
    // The next control from the given one in the form's whole tab order (or among its siblings).
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                 bool checkParent) const;
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

    // Closes the form as the close button does: asks CloseQuery, then takes the close action: caNone
    // keeps the form open; any other ends the application for the main form and hides another form.
    void Close();
    virtual bool CloseQuery() { return true; }
    // Decides the close action, which starts as caHide.
    virtual void DoClose(TCloseAction&) {}
    void SetBounds(int left, int top, int width, int height) override;

    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition v) { FPosition = v; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool v) { FScaled = v; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool v) { FOldCreateOrder = v; }
    int PixelsPerInch() const;
    void SetPixelsPerInch(int v);
    int TextHeight() const { return FTextHeight; }
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* v) { FIcon->SetAssigned(v); }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v) { FBorderStyle = v; }
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons v) { FBorderIcons = v & 0x0F; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState v) { FWindowState = v; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle v) { FFormStyle = v; }
    TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
    void SetDefaultMonitor(TDefaultMonitor v) { FDefaultMonitor = v; }

    void SetVisible(bool v) override;
    void DeclareProperties(TFiler& filer) override;
    void ReadEntry(TReader& reader) override;

protected:
    void TextChanged() override;
    void ConstraintsChanged() override;
    IFormWindow* ScrollBarWindow() const override { return FWindow.get(); }
    void WindowResized(int width, int height) override;
    // Loads the definitions of the form's class chain. Called by the most derived constructor, once the
    // object's class is the form's own (its field and method tables are then the ones consulted).
    void LoadFromDefinition();

private:
    void WindowCloseRequested() override;
    void WindowMoved(const TRect& outer) override;
    void WindowActivated(bool active) override;
    void WindowScroll(TScrollBarKind kind, TScrollCode code, int pos) override;
    void ApplyTrackingLimits();
    void ApplyIcon();
    void FirstShow();

    std::unique_ptr<IFormWindow> FWindow;
    TWinControl* FActiveControl = nullptr;
    bool FShownOnce = false;
    bool FSyncingFromWindow = false;
    TPosition FPosition = TPosition::poDefaultPosOnly;
    bool FScaled = true;
    bool FOldCreateOrder = false;
    int FPixelsPerInch;
    int FTextHeight = 0;
    std::unique_ptr<TIcon> FIcon;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons FBorderIcons = (1u << biSystemMenu) | (1u << biMinimize) | (1u << biMaximize);
    TWindowState FWindowState = TWindowState::wsNormal;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TDefaultMonitor FDefaultMonitor = TDefaultMonitor::dmActiveForm;
    TFormState FFormState = 0;
};

class TForm : public TCustomForm {
    ORV_CLASS(TForm)
public:
    using TCustomForm::TCustomForm;
};
