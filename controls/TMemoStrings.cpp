// Memo lines through the platform edit control's lines and selection.
#include "controls/TMemoStrings.h"

#include "controls/TMemo.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"

#include <algorithm>

const TClassInfo TMemoStrings::ClassInfo{"TMemoStrings", &TStrings::ClassInfo};

IEditPeer& TMemoStrings::Peer() const {
    return FMemo.TextPeer();
}

void TMemoStrings::CheckIndex(int index, int count) const {
    if (index < 0 || index >= count)
        throw EListError(Format(SConsts::SListIndexError, {std::to_string(index)}));
}

int TMemoStrings::Count() const {
    IEditPeer& edit = Peer();
    int n = edit.LineCount();
    if (n > 0 && edit.LineLength(edit.LineIndex(n - 1)) == 0) --n;
    return n;
}

std::string TMemoStrings::Get(int index) const {
    CheckIndex(index, Count());
    return Peer().Line(index);
}

void TMemoStrings::Put(int index, const std::string& s) {
    CheckIndex(index, Count());
    IEditPeer& edit = Peer();
    int start = edit.LineIndex(index);
    edit.SetSelection(start, start + edit.LineLength(start));
    edit.ReplaceSelection(s);
}

// A line that exists gets the new line and a break in front of it; past the last line, a last line
// that is not empty gets a break and then the new line. Either way the text goes in through the
// selection.
void TMemoStrings::Insert(int index, const std::string& s) {
    CheckIndex(index, Count() + 1);
    IEditPeer& edit = Peer();
    int start = edit.LineIndex(index);
    std::string text = s + "\r\n";
    if (start < 0) {
        int last = edit.LineIndex(index - 1);
        int length = last < 0 ? 0 : edit.LineLength(last);
        if (length == 0) return;
        start = last + length;
        text = "\r\n" + s;
    }
    edit.SetSelection(start, start);
    edit.ReplaceSelection(text);
}

// Each Add goes to the end of the text: after an empty last line the line and a break, after a last
// line with text a break and the line. One replacement of all those texts leaves what the Adds would
// have left, without the control laying out its whole text again for every line. A line holding a
// break of its own, and a memo with a length limit, take the lines one at a time.
void TMemoStrings::AddLines(const std::vector<std::string>& lines) {
    const bool plain =
        FMemo.MaxLength() == 0 && std::none_of(lines.begin(), lines.end(), [](const std::string& s) {
            return s.find_first_of("\r\n") != std::string::npos;
        });
    if (!plain || lines.size() < 2) {
        TStrings::AddLines(lines);
        return;
    }
    IEditPeer& edit = Peer();
    const int count = Count();
    int start = edit.LineIndex(count);
    bool lastLineEmpty = start >= 0;
    if (!lastLineEmpty) {
        int last = edit.LineIndex(count - 1);
        int length = last < 0 ? 0 : edit.LineLength(last);
        if (length == 0) return; // no Add would change anything
        start = last + length;
    }
    std::string text;
    for (const std::string& s : lines) {
        text += lastLineEmpty ? s + "\r\n" : "\r\n" + s;
        lastLineEmpty = lastLineEmpty || s.empty();
    }
    edit.SetSelection(start, start);
    edit.ReplaceSelection(text);
}

void TMemoStrings::Delete(int index) {
    CheckIndex(index, Count());
    IEditPeer& edit = Peer();
    int start = edit.LineIndex(index);
    int end = edit.LineIndex(index + 1);
    if (end < 0) end = start + edit.LineLength(start);
    edit.SetSelection(start, end);
    edit.ReplaceSelection("");
}

void TMemoStrings::Clear() {
    Peer().SetText("");
}

std::string TMemoStrings::Text() const {
    return Peer().Text();
}

void TMemoStrings::SetText(const std::string& text) {
    Peer().SetText(text);
}

void TMemoStrings::SetUpdateState(bool updating) {
    IEditPeer* edit = FMemo.EditPeer();
    if (!edit) return;
    edit->SetRedraw(!updating);
    if (!updating) edit->Invalidate(nullptr);
}
