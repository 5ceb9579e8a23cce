// The paragraphs of a rich edit: a view on the platform rich edit control. A paragraph goes in as
// plain text through the selection and takes the default character format.
#pragma once

#include "controls/TMemoStrings.h"

class TCustomRichEdit;

class TRichEditStrings : public TMemoStrings {
    ORV_CLASS(TRichEditStrings)
public:
    explicit TRichEditStrings(TCustomRichEdit& richEdit);

    std::string Get(int index) const override;
    // Raises EOutOfResources when the caret does not end after the inserted text.
    void Insert(int index, const std::string& s) override;
    // One paragraph at a time: each insertion is checked on its own.
    void AddLines(const std::vector<std::string>& lines) override { TStrings::AddLines(lines); }

protected:
    // Redrawing is switched only while the control is showing.
    void SetUpdateState(bool updating) override;
};

inline constexpr std::string_view SRichEditInsertError = "RichEdit line insertion error";
