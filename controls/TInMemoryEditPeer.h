// An edit or rich edit kept in memory, with the platform controls' rules for lines, positions and the
// selection (no wrapping: every line is a paragraph). It holds a memo's text while no platform is
// installed and stands in for the platform controls in tests.
#pragma once

#include "controls/TInMemoryWindow.h"
#include "platform/NativeControls.h"

#include <string>
#include <string_view>
#include <vector>

class TInMemoryEditPeer : public TInMemoryWindow<IRichEditPeer> {
public:
    // A rich edit breaks lines with one character (CR), the edit with two (CR LF).
    TInMemoryEditPeer(bool rich, const TEditParams& params);

    std::string Text() const override;
    void SetText(const std::string& text) override;
    int LineCount() const override;
    int LineIndex(int line) const override;
    int LineLength(int pos) const override;
    std::string Line(int line) const override;
    void GetSelection(int& start, int& end) const override;
    void SetSelection(int start, int end) override;
    void ReplaceSelection(const std::string& text) override;
    std::string SelectedText() const override;
    void CopyToClipboard() override { FClipboard = SelectedText(); }
    bool Modified() const override { return FModified; }
    void SetModified(bool modified) override { FModified = modified; }
    void SetReadOnly(bool readOnly) override { FParams.ReadOnly = readOnly; }
    void SetWantTabs(bool wantTabs) override { FParams.WantTabs = wantTabs; }
    void SetMaxLength(int maxLength) override { FMaxLength = maxLength < 0 ? 0 : maxLength; }
    // What the user types or pastes over the selection: refused when read-only, cut to what MaxLength
    // leaves room for. False when nothing went in.
    bool Type(const std::string& text);
    void SetFont(const IPlatformFont* font) override { FFont = font; }
    void SetColors(uint32_t text, uint32_t background) override;
    void SetRedraw(bool on) override { FRedraw = on; }

    void SetDefaultCharFormat(const TCharFormat& format) override { FFormat = format; }
    void SetBackgroundColor(uint32_t color) override { FBackground = color; }
    int Zoom() const override { return FZoom; }
    void SetZoom(int percent) override { FZoom = percent; }
    std::string SaveContent(bool) const override { return Text(); }
    void LoadContent(const std::string& content, bool) override { SetText(content); }

    bool Rich() const { return FRich; }
    const TEditParams& Params() const { return FParams; }
    bool ReadOnly() const { return FParams.ReadOnly; }
    const IPlatformFont* Font() const { return FFont; }
    uint32_t TextColor() const { return FTextColor; }
    uint32_t BackgroundColor() const { return FBackground; }
    const TCharFormat& DefaultCharFormat() const { return FFormat; }
    bool Redraw() const { return FRedraw; }
    int MaxLength() const { return FMaxLength; }
    const std::string& Clipboard() const { return FClipboard; }

private:
    // The text with every line break in this control's form.
    std::u16string Normalized(const std::string& utf8) const;
    std::string WithCrLf(std::u16string_view text) const;
    int Length() const { return static_cast<int>(FText.size()); }
    int Clamp(int pos) const;
    // Where each line break starts, in order; found again only when the whole text was replaced.
    const std::vector<size_t>& Breaks() const;
    void Replace(size_t at, size_t count, std::u16string_view s);

    bool FRich;
    TEditParams FParams;
    std::u16string FBreak;
    std::u16string FText;
    mutable std::vector<size_t> FBreaks;
    mutable bool FBreaksKnown = false;
    int FSelStart = 0, FSelEnd = 0;
    bool FModified = false;
    const IPlatformFont* FFont = nullptr;
    uint32_t FTextColor = 0, FBackground = 0xFFFFFF;
    bool FRedraw = true;
    TCharFormat FFormat;
    int FZoom = 100;
    int FMaxLength = 0;
    std::string FClipboard;
};
