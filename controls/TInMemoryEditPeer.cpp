// The in-memory edit and rich edit.
#include "controls/TInMemoryEditPeer.h"

#include "stream/TextCodec.h"

#include <algorithm>

TInMemoryEditPeer::TInMemoryEditPeer(bool rich, const TEditParams& params)
    : FRich(rich), FParams(params), FBreak(rich ? u"\r" : u"\r\n") {}

std::u16string TInMemoryEditPeer::Normalized(const std::string& utf8) const {
    std::u16string in = TextCodec::Utf16FromUtf8(utf8), out;
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'\r' || in[i] == u'\n') {
            if (in[i] == u'\r' && i + 1 < in.size() && in[i + 1] == u'\n') ++i;
            out += FBreak;
        } else {
            out += in[i];
        }
    }
    return out;
}

int TInMemoryEditPeer::Clamp(int pos) const {
    return std::clamp(pos, 0, Length());
}

// Text handed out has its breaks as CR LF, the rich edit's one-character breaks included.
std::string TInMemoryEditPeer::WithCrLf(std::u16string_view text) const {
    if (!FRich) return TextCodec::Utf8FromUtf16(std::u16string(text));
    std::u16string out;
    for (char16_t c : text)
        out += c == u'\r' ? u"\r\n" : std::u16string(1, c);
    return TextCodec::Utf8FromUtf16(out);
}

std::string TInMemoryEditPeer::Text() const {
    return WithCrLf(FText);
}

void TInMemoryEditPeer::SetText(const std::string& text) {
    FText = Normalized(text);
    FBreaksKnown = false;
    FSelStart = FSelEnd = 0;
    FModified = false;
}

const std::vector<size_t>& TInMemoryEditPeer::Breaks() const {
    if (!FBreaksKnown) {
        FBreaks.clear();
        for (size_t pos = FText.find(FBreak); pos != std::u16string::npos;
             pos = FText.find(FBreak, pos + FBreak.size()))
            FBreaks.push_back(pos);
        FBreaksKnown = true;
    }
    return FBreaks;
}

// A break (CR, or CR LF) matches no part of itself, so the breaks a scan from the start finds are all
// the places the text holds one: only those the change touches are looked for again, which keeps a
// paragraph added at a time from rescanning the whole text.
void TInMemoryEditPeer::Replace(size_t at, size_t count, std::u16string_view s) {
    FText.replace(at, count, s);
    if (!FBreaksKnown) return;
    const size_t width = FBreak.size();
    const size_t from = at >= width - 1 ? at - (width - 1) : 0;
    auto first = std::lower_bound(FBreaks.begin(), FBreaks.end(), from);
    auto last = std::lower_bound(first, FBreaks.end(), at + count);
    auto tail = FBreaks.erase(first, last);
    for (auto it = tail; it != FBreaks.end(); ++it)
        *it = *it - count + s.size();
    std::vector<size_t> found;
    for (size_t pos = FText.find(FBreak, from); pos != std::u16string::npos && pos < at + s.size();
         pos = FText.find(FBreak, pos + width))
        found.push_back(pos);
    FBreaks.insert(tail, found.begin(), found.end());
}

int TInMemoryEditPeer::LineCount() const {
    return static_cast<int>(Breaks().size()) + 1;
}

int TInMemoryEditPeer::LineIndex(int line) const {
    if (line < 0) return -1;
    if (line == 0) return 0;
    const std::vector<size_t>& breaks = Breaks();
    if (static_cast<size_t>(line) > breaks.size()) return -1;
    return static_cast<int>(breaks[static_cast<size_t>(line) - 1] + FBreak.size());
}

int TInMemoryEditPeer::LineLength(int pos) const {
    pos = Clamp(pos);
    const std::vector<size_t>& breaks = Breaks();
    // The line starts after the last break before pos and ends at the first break from there.
    auto before = std::lower_bound(breaks.begin(), breaks.end(), static_cast<size_t>(pos));
    size_t start = before == breaks.begin() ? 0 : *(before - 1) + FBreak.size();
    return static_cast<int>((before == breaks.end() ? FText.size() : *before) - start);
}

std::string TInMemoryEditPeer::Line(int line) const {
    int start = LineIndex(line);
    if (start < 0) return {};
    return TextCodec::Utf8FromUtf16(
        FText.substr(static_cast<size_t>(start), static_cast<size_t>(LineLength(start))));
}

void TInMemoryEditPeer::GetSelection(int& start, int& end) const {
    start = FSelStart;
    end = FSelEnd;
}

void TInMemoryEditPeer::SetSelection(int start, int end) {
    FSelStart = Clamp(start);
    FSelEnd = end < 0 ? Length() : Clamp(end);
    if (FSelEnd < FSelStart) std::swap(FSelStart, FSelEnd);
}

void TInMemoryEditPeer::ReplaceSelection(const std::string& text) {
    std::u16string s = Normalized(text);
    Replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelEnd - FSelStart), s);
    FSelStart = FSelEnd = FSelStart + static_cast<int>(s.size());
    FModified = true;
}

bool TInMemoryEditPeer::Type(const std::string& text) {
    if (FParams.ReadOnly) return false;
    std::u16string s = Normalized(text);
    if (FMaxLength > 0) {
        int room = FMaxLength - (Length() - (FSelEnd - FSelStart));
        size_t keep = static_cast<size_t>(std::max(room, 0));
        if (keep < s.size()) {
            // Never half of a line break or of a surrogate pair.
            if (keep > 0 && s[keep - 1] == u'\r' && keep < s.size() && s[keep] == u'\n') --keep;
            if (keep > 0 && s[keep - 1] >= 0xD800 && s[keep - 1] < 0xDC00) --keep;
            s.resize(keep);
        }
    }
    if (s.empty() && FSelStart == FSelEnd) return false;
    Replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelEnd - FSelStart), s);
    FSelStart = FSelEnd = FSelStart + static_cast<int>(s.size());
    FModified = true;
    return !s.empty();
}

std::string TInMemoryEditPeer::SelectedText() const {
    return WithCrLf(std::u16string_view(FText).substr(static_cast<size_t>(FSelStart),
                                                      static_cast<size_t>(FSelEnd - FSelStart)));
}

void TInMemoryEditPeer::SetColors(uint32_t text, uint32_t background) {
    FTextColor = text;
    FBackground = background;
}
