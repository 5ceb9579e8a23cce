// The platform in force, the registry (the system reads exactly one value), and drawing stored rows
// where a platform cannot read them in place.
#include "platform/Platform.h"

#include "platform/Canvas.h"
#include "platform/WindowPeer.h"

#include <map>
#include <vector>

namespace {
TPlatform* gCurrent = nullptr;
}

TPlatform* TPlatform::Current() {
    return gCurrent;
}
void TPlatform::SetCurrent(TPlatform* platform) {
    gCurrent = platform;
}

std::optional<std::string> TPlatform::RegistryString(std::string_view key, std::string_view value) const {
    if (key == R"(HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\FontSubstitutes)" &&
        value == "MS Shell Dlg 2")
        return "Tahoma";
    return std::nullopt;
}

namespace {
std::map<int, std::function<void()>>& SettingsListeners() {
    static std::map<int, std::function<void()>> listeners;
    return listeners;
}
} // namespace

int TPlatform::AddSettingsListener(std::function<void()> listener) {
    static int next = 0;
    SettingsListeners().emplace(++next, std::move(listener));
    return next;
}

void TPlatform::RemoveSettingsListener(int id) {
    SettingsListeners().erase(id);
}

void TPlatform::NotifySettingsChanged() {
    // A copy: a listener may add or remove listeners.
    auto listeners = SettingsListeners();
    for (auto& [id, listener] : listeners)
        if (SettingsListeners().count(id)) GuardedCallback(listener);
}

uint32_t TPlatform::GetSysColor(int index) const {
    return SysColorOf(index);
}

// A classic light palette, by system colour number, as red, green, blue.
uint32_t SysColorOf(int index) {
    static constexpr uint32_t kRgb[31] = {
        0xC8C8C8, // 0 scroll bar
        0x000000, // 1 desktop
        0x99B4D1, // 2 active caption
        0xBFCDDB, // 3 inactive caption
        0xF0F0F0, // 4 menu
        0xFFFFFF, // 5 window
        0x646464, // 6 window frame
        0x000000, // 7 menu text
        0x000000, // 8 window text
        0x000000, // 9 caption text
        0xB4B4B4, // 10 active border
        0xF4F7FC, // 11 inactive border
        0xABABAB, // 12 application workspace
        0x3399FF, // 13 highlight
        0xFFFFFF, // 14 highlight text
        0xF0F0F0, // 15 button face
        0xA0A0A0, // 16 button shadow
        0x6D6D6D, // 17 grey text
        0x000000, // 18 button text
        0x000000, // 19 inactive caption text
        0xFFFFFF, // 20 button highlight
        0x696969, // 21 3-D dark shadow
        0xE3E3E3, // 22 3-D light
        0x000000, // 23 tooltip text
        0xFFFFE1, // 24 tooltip background
        0x000000, // 25 unused
        0x0066CC, // 26 hot-tracked item
        0xB9D1EA, // 27 active caption gradient
        0xD7E4F2, // 28 inactive caption gradient
        0x3399FF, // 29 menu highlight
        0xF0F0F0, // 30 menu bar
    };
    if (index < 0 || index > 30) return 0;
    uint32_t rgb = kRgb[index];
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

namespace {
std::function<void()>& CallbackExceptionHandler() {
    static std::function<void()> handler;
    return handler;
}
} // namespace

void SetCallbackExceptionHandler(std::function<void()> handler) {
    CallbackExceptionHandler() = std::move(handler);
}

void GuardedCallback(const std::function<void()>& fn) {
    try {
        fn();
    } catch (...) {
        // Nothing crosses the platform's event loop: the application shows it and the loop goes on.
        try {
            if (CallbackExceptionHandler()) CallbackExceptionHandler()();
        } catch (...) {
        }
    }
}

uint32_t TPixelRows::Pixel(int x, int y) const {
    const uint8_t* row =
        Bits + static_cast<size_t>(BottomUp ? Height - 1 - y : y) * static_cast<size_t>(Stride);
    if (Layout == BGR24) {
        const uint8_t* p = row + static_cast<size_t>(x) * 3;
        return 0xFF000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    return 0xFF000000u | (row[x] < Colors.size() ? Colors[row[x]] : 0u);
}

void ICanvas::StretchDrawRows(const TRect& dest, const TPixelRows& rows) {
    if (rows.Width <= 0 || rows.Height <= 0 || !rows.Bits) return;
    std::vector<uint32_t> pixels(static_cast<size_t>(rows.Width) * static_cast<size_t>(rows.Height));
    for (int y = 0; y < rows.Height; ++y)
        for (int x = 0; x < rows.Width; ++x)
            pixels[static_cast<size_t>(y) * static_cast<size_t>(rows.Width) + static_cast<size_t>(x)] =
                rows.Pixel(x, y);
    StretchDrawPixels(dest, rows.Width, rows.Height, pixels.data(), false);
}
