// Rich edit paragraphs through the platform rich edit's selection.
#include "controls/TRichEditStrings.h"

#include "controls/TRichEdit.h"
#include "stream/Exceptions.h"
#include "stream/TextCodec.h"

const TClassInfo TRichEditStrings::ClassInfo{"TRichEditStrings", &TMemoStrings::ClassInfo};

namespace {

// Characters the rich edit counts for text: UTF-16 code units, each line break (CR LF, CR or LF) one.
int RichLength(const std::string& s) {
    int n = 0;
    for (size_t i = 0; i < s.size();) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            ++n;
            i += 2;
            continue;
        }
        char32_t cp = TextCodec::NextCodePoint(s, i);
        n += cp > 0xFFFF ? 2 : 1;
    }
    return n;
}

} // namespace

TRichEditStrings::TRichEditStrings(TCustomRichEdit& richEdit) : TMemoStrings(richEdit) {}

std::string TRichEditStrings::Get(int index) const {
    std::string line = TMemoStrings::Get(index);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void TRichEditStrings::Insert(int index, const std::string& s) {
    CheckIndex(index, Count() + 1);
    IEditPeer& edit = Peer();
    int start = edit.LineIndex(index);
    std::string text = s + "\r";
    if (start < 0) {
        int last = edit.LineIndex(index - 1);
        int length = last < 0 ? 0 : edit.LineLength(last);
        if (length == 0) return;
        start = last + length;
        text = "\r" + s;
    }
    edit.SetSelection(start, start);
    edit.ReplaceSelection(text);
    int selStart = 0, selEnd = 0;
    edit.GetSelection(selStart, selEnd);
    if (selEnd != start + RichLength(text)) throw EOutOfResources(std::string(SRichEditInsertError));
}

void TRichEditStrings::SetUpdateState(bool updating) {
    if (FMemo.Showing()) TMemoStrings::SetUpdateState(updating);
}
