// Line layout for drawing text by the DT_* formats: explicit line breaks, access-key prefixes, tab
// expansion and word wrapping. Plain C++ over UTF-16 text; the canvas supplies the measuring and does
// the drawing, so the rules can be checked without a display.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// A piece of a line between expanded tabs; X is its offset from the start of the line.
struct TTextRun {
    std::u16string Text;
    int X = 0;
};

// An access key marked with "&": where to underline it, relative to the start of the line.
struct TTextMark {
    int X = 0;
    int Width = 0;
};

struct TTextLine {
    std::vector<TTextRun> Runs;
    std::vector<TTextMark> Marks;
    int Width = 0;
};

struct TTextMetrics {
    // Advance width of a piece of text without tabs or line breaks.
    std::function<int(std::u16string_view)> Width;
    // Distance between tab stops (eight average character widths).
    int TabWidth = 0;
};

// Lays out text for a rectangle maxWidth wide by the format flags that shape lines (DT_SINGLELINE,
// DT_WORDBREAK, DT_EXPANDTABS, DT_NOPREFIX); alignment and clipping are the caller's.
std::vector<TTextLine> LayoutText(std::u16string_view text, unsigned format, int maxWidth,
                                  const TTextMetrics& metrics);
