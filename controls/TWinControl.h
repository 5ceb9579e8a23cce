// Controls with a platform window: they hold child controls (graphic and windowed, each in insertion
// order, plus the tab list of windowed children) and can take the keyboard focus.
#pragma once

#include "controls/TControl.h"

#include <vector>

class TWinControl : public TControl {
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

    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool v) { FTabStop = v; }
    bool DoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool v);
    bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
    void SetParentDoubleBuffered(bool v);

    void ReadEntry(TReader& reader) override;
    void DisableAlign() { ++FAlignLevel; }
    void EnableAlign() {
        if (FAlignLevel > 0) --FAlignLevel;
    }
    bool AlignDisabled() const { return FAlignLevel > 0; }

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

protected:
    void FontChanged() override;
    void ColorChanged() override;
    // Called after a child left this control's lists.
    virtual void ControlRemoved(TControl*) {}
    // The tab order stored while reading; applied to the tab list at the end of the control's entry.
    int FStoredTabOrder = -1;
    bool FTabStop = false;

private:
    void UpdateTabOrder(int value);
    void ParentDoubleBufferedChanged();

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FWinControls;
    std::vector<TWinControl*> FTabList;
    bool FDoubleBuffered = false;
    bool FParentDoubleBuffered = true;
    int FAlignLevel = 0;
};
