// Line layout by the DT_* formats.
#include "platform/TextLayout.h"

#include "platform/Canvas.h"

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// One paragraph (text between explicit line breaks) with its "&" prefixes taken out: the characters
// to draw, and where the access keys are (index and length in code units).
struct TParagraph {
    std::u16string Text;
    std::vector<std::pair<size_t, size_t>> Marks;
};

TParagraph StripPrefixes(std::u16string_view line, bool prefixes, bool expandTabs) {
    TParagraph p;
    for (size_t i = 0; i < line.size(); ++i) {
        char16_t c = line[i];
        // Without expansion a tab has no glyph to show.
        if (c == u'\t' && !expandTabs) continue;
        if (prefixes && c == u'&') {
            // A final "&" has nothing to mark and is not drawn; "&&" draws one "&".
            if (++i == line.size()) break;
            c = line[i];
            if (c != u'&' && c != u'\t') {
                bool pair = c >= 0xD800 && c < 0xDC00 && i + 1 < line.size() && line[i + 1] >= 0xDC00 &&
                            line[i + 1] < 0xE000;
                p.Marks.emplace_back(p.Text.size(), pair ? 2 : 1);
            }
        }
        p.Text.push_back(c);
    }
    return p;
}

std::vector<std::u16string> SplitParagraphs(std::u16string_view text, bool singleLine) {
    std::vector<std::u16string> paragraphs;
    std::u16string current;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c != u'\r' && c != u'\n') {
            current.push_back(c);
            continue;
        }
        // On a single line, line breaks neither break nor show.
        if (singleLine) continue;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        paragraphs.push_back(std::move(current));
        current.clear();
    }
    // A break at the very end starts no further line.
    if (!current.empty()) paragraphs.push_back(std::move(current));
    return paragraphs;
}

int NextTabStop(int x, int tabWidth) {
    return tabWidth > 0 ? (x / tabWidth + 1) * tabWidth : x;
}

class TLineBuilder {
public:
    TLineBuilder(const TParagraph& p, const TTextMetrics& m) : P(p), M(m) {}

    // Width of the characters [a, b) drawn as one line, tabs expanded from a.
    int Width(size_t a, size_t b) const {
        int x = 0;
        size_t start = a;
        for (size_t i = a; i <= b; ++i) {
            if (i < b && P.Text[i] != u'\t') continue;
            if (i > start) x += M.Width(std::u16string_view(P.Text).substr(start, i - start));
            if (i < b) x = NextTabStop(x, M.TabWidth);
            start = i + 1;
        }
        return x;
    }

    TTextLine Line(size_t a, size_t b) const {
        std::u16string_view text(P.Text);
        TTextLine line;
        std::vector<size_t> runStarts;
        int x = 0;
        size_t start = a;
        for (size_t i = a; i <= b; ++i) {
            if (i < b && text[i] != u'\t') continue;
            if (i > start) {
                line.Runs.push_back({std::u16string(text.substr(start, i - start)), x});
                runStarts.push_back(start);
                x += M.Width(text.substr(start, i - start));
            }
            if (i < b) x = NextTabStop(x, M.TabWidth);
            start = i + 1;
        }
        line.Width = x;
        for (auto [index, length] : P.Marks) {
            if (index < a || index + length > b) continue;
            for (size_t r = 0; r < line.Runs.size(); ++r) {
                size_t runStart = runStarts[r];
                if (index < runStart || index + length > runStart + line.Runs[r].Text.size()) continue;
                int markX = line.Runs[r].X + M.Width(text.substr(runStart, index - runStart));
                line.Marks.push_back({markX, M.Width(text.substr(index, length))});
            }
        }
        return line;
    }

private:
    const TParagraph& P;
    const TTextMetrics& M;
};

// Breaks at blanks so that each line fits maxWidth; a word wider than that stands alone, unbroken.
// Blanks at a break are dropped; blanks that open the paragraph are kept.
void WrapParagraph(const TParagraph& p, int maxWidth, const TTextMetrics& metrics,
                   std::vector<TTextLine>& lines) {
    TLineBuilder builder(p, metrics);
    const std::u16string& s = p.Text;
    size_t n = s.size();
    if (n == 0) {
        lines.push_back(builder.Line(0, 0));
        return;
    }
    size_t start = 0;
    while (start < n) {
        size_t end = start;
        for (size_t pos = start; pos < n;) {
            size_t word = pos;
            while (word < n && IsBlank(s[word]))
                ++word;
            if (word == n) break;
            size_t wordEnd = word;
            while (wordEnd < n && !IsBlank(s[wordEnd]))
                ++wordEnd;
            if (end > start && builder.Width(start, wordEnd) > maxWidth) break;
            end = pos = wordEnd;
        }
        lines.push_back(builder.Line(start, end));
        start = end;
        while (start < n && IsBlank(s[start]))
            ++start;
    }
}

} // namespace

std::vector<TTextLine> LayoutText(std::u16string_view text, unsigned format, int maxWidth,
                                  const TTextMetrics& metrics) {
    bool singleLine = format & DT_SINGLELINE;
    bool wordBreak = (format & DT_WORDBREAK) && !singleLine;
    std::vector<TTextLine> lines;
    for (const std::u16string& paragraph : SplitParagraphs(text, singleLine)) {
        TParagraph p = StripPrefixes(paragraph, !(format & DT_NOPREFIX), format & DT_EXPANDTABS);
        if (wordBreak) {
            WrapParagraph(p, maxWidth, metrics, lines);
        } else {
            lines.push_back(TLineBuilder(p, metrics).Line(0, p.Text.size()));
        }
    }
    return lines;
}
