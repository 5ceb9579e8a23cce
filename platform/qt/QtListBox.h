// The platform list box on Qt: a list widget whose items are drawn one line each in the control's
// font and colours, the selected item in the highlight colours, at the height the font gives. Typed
// characters go to the control's search; the widget's own search is off.
#pragma once

#include "platform/NativeControls.h"
#include "platform/qt/QtNativeWindow.h"

#include <QListWidget>

class QtFont;

class QtListBox : public QtNativeWindow<QListWidget, IListBoxPeer> {
public:
    QtListBox(QWidget* parent, IWindowEvents& events, IListBoxEvents& listEvents,
              const TListBoxParams& params);

    int AddString(const std::string& s) override;
    int InsertString(int index, const std::string& s) override;
    void DeleteString(int index) override;
    void ResetContent() override;
    int Count() const override { return count(); }
    std::string GetString(int index) const override;
    int FindString(const std::string& prefix) const override;
    int ItemIndex() const override;
    void SetItemIndex(int index) override;
    int TopIndex() const override;
    void SetTopIndex(int index) override;
    int ItemHeight() const override;
    void SetFont(const IPlatformFont* font) override;
    void SetColors(uint32_t text, uint32_t background) override;
    void SetRedraw(bool on) override;
    void SetColumnWidth(int width) override;

    const QtFont* ItemFont() const { return FFont; }
    uint32_t TextColor() const { return FTextColor; }
    uint32_t BackgroundColor() const { return FBackground; }
    const TListBoxParams& Params() const { return FParams; }
    // Pixels between tab stops; 0 when tabs are not expanded.
    int TabStopWidth() const;

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyboardSearch(const QString&) override {}

private:
    IListBoxEvents& FListEvents;
    TListBoxParams FParams;
    const QtFont* FFont = nullptr;
    uint32_t FTextColor = 0, FBackground = 0xFFFFFF;
};
