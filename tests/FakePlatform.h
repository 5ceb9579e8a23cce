// A platform without a display for the application tests: windows record what they are told, message
// boxes are recorded instead of shown, and the event loop returns at once.
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <string>
#include <vector>

struct FakeWindowState {
    std::string Caption;
    TRect Outer;
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    std::vector<uint8_t> Icon;
    int ShowCommand = 0;
    bool Visible = false;
    int ShowCount = 0;
};

class FakeFormWindow : public IFormWindow {
public:
    FakeFormWindow(FakeWindowState& state, const TRect& workArea) : FState(state), FWorkArea(workArea) {}
    void SetCaption(const std::string& c) override { FState.Caption = c; }
    void SetOuterBounds(const TRect& r) override { FState.Outer = r; }
    TRect OuterBounds() const override { return FState.Outer; }
    void SetTrackingLimits(int minW, int minH, int maxW, int maxH) override {
        FState.MinWidth = minW, FState.MinHeight = minH, FState.MaxWidth = maxW, FState.MaxHeight = maxH;
    }
    void SetIcon(std::span<const uint8_t> ico) override { FState.Icon.assign(ico.begin(), ico.end()); }
    void Show(int cmd) override {
        FState.ShowCommand = cmd;
        FState.Visible = true;
        ++FState.ShowCount;
    }
    void Hide() override { FState.Visible = false; }
    bool IsVisible() const override { return FState.Visible; }
    TRect MonitorWorkArea() const override { return FWorkArea; }

private:
    FakeWindowState& FState;
    TRect FWorkArea;
};

struct FakeMessageBox {
    std::string Text, Caption;
    unsigned Flags;
};

class FakePlatform : public TPlatform {
public:
    FakePlatform() { TPlatform::SetCurrent(this); }
    ~FakePlatform() override { TPlatform::SetCurrent(nullptr); }

    std::unique_ptr<IFormWindow> CreateFormWindow(IFormWindowEvents& events) override {
        Events.push_back(&events);
        Windows.emplace_back();
        return std::make_unique<FakeFormWindow>(Windows.back(), WorkArea);
    }
    void SetApplicationIcon(std::span<const uint8_t>) override {}
    void SetApplicationTitle(const std::string& title) override { AppTitle = title; }
    void MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        Boxes.push_back({text, caption, flags});
    }
    // The loop "runs" by delivering the user's close request to the first window.
    void RunEventLoop() override {
        ++LoopRuns;
        if (CloseOnRun && !Events.empty()) Events.front()->WindowCloseRequested();
    }
    void Quit() override { ++QuitCount; }

    TRect WorkArea{0, 0, 1920, 1040};
    std::vector<IFormWindowEvents*> Events;
    std::deque<FakeWindowState> Windows; // a deque: windows keep references to their states
    std::vector<FakeMessageBox> Boxes;
    std::string AppTitle;
    int LoopRuns = 0;
    int QuitCount = 0;
    bool CloseOnRun = true;
};
