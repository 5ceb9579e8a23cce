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
    FSelStart = FSelEnd = 0;
    FModified = false;
}

int TInMemoryEditPeer::LineCount() const {
    int n = 1;
    for (size_t pos = FText.find(FBreak); pos != std::u16string::npos;
         pos = FText.find(FBreak, pos + FBreak.size()))
        ++n;
    return n;
}

int TInMemoryEditPeer::LineIndex(int line) const {
    if (line < 0) return -1;
    size_t pos = 0;
    for (int i = 0; i < line; ++i) {
        size_t next = FText.find(FBreak, pos);
        if (next == std::u16string::npos) return -1;
        pos = next + FBreak.size();
    }
    return static_cast<int>(pos);
}

int TInMemoryEditPeer::LineLength(int pos) const {
    pos = Clamp(pos);
    size_t start = 0;
    for (size_t next = FText.find(FBreak); next != std::u16string::npos && next < static_cast<size_t>(pos);
         next = FText.find(FBreak, start))
        start = next + FBreak.size();
    size_t end = FText.find(FBreak, start);
    return static_cast<int>((end == std::u16string::npos ? FText.size() : end) - start);
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
    FText.replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelEnd - FSelStart), s);
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
    FText.replace(static_cast<size_t>(FSelStart), static_cast<size_t>(FSelEnd - FSelStart), s);
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
