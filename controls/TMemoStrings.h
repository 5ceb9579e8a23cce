// The lines of a memo: a view on the platform edit control, which holds the text. Lines are the
// control's screen lines; each ends in CR LF. Reading or changing the lines creates the memo's window
// first (where a platform is installed).
#pragma once

#include "platform/NativeControls.h"
#include "stream/TStrings.h"

class TCustomMemo;

class TMemoStrings : public TStrings {
    ORV_CLASS(TMemoStrings)
public:
    explicit TMemoStrings(TCustomMemo& memo) : FMemo(memo) {}

    // The control's line count, less the empty line after a final line break.
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s);
    void Add(const std::string& s) override { Insert(Count(), s); }
    // The text of every Add at once, through one replacement of the selection at the end.
    void AddLines(const std::vector<std::string>& lines) override;
    // Before line index; at Count, after the last line.
    virtual void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear() override;
    // The whole text, lines separated by CR LF.
    std::string Text() const;
    void SetText(const std::string& text);

protected:
    // Redrawing is switched only while the window exists.
    void SetUpdateState(bool updating) override;
    IEditPeer& Peer() const;
    void CheckIndex(int index, int count) const;

    TCustomMemo& FMemo;
};
