// The platform's own text controls, as the system drives them: a list box that holds its items, a
// multi-line edit that holds its text as lines, and a rich edit that adds a default character format,
// zoom and a way to carry its content into a new window. Each is a child window; the control that owns
// it keeps no copy of the text. Plain C++: platform/qt implements them on Qt widgets.
#pragma once

#include "platform/Canvas.h"
#include "platform/WindowPeer.h"

#include <cstdint>
#include <string>

enum class TNativeAlignment { Left, Right, Center };

// ---- List box ----

struct TListBoxParams {
    // A sunken client edge; otherwise a flat single line when Border is set, else no border.
    bool ClientEdge = true;
    bool Border = false;
    // Items kept in order of their text, ignoring case; an added item goes to its place.
    bool Sorted = false;
    // Several items selected at once: each click toggles one, or with ExtendedSelect, Shift and Ctrl
    // extend the selection as in a file list.
    bool MultiSelect = false;
    bool ExtendedSelect = true;
    // Items in columns this many pixels wide, filled top to bottom and scrolled sideways; 0: one column.
    int ColumnWidth = 0;
    // Tab characters move the text to the next multiple of this many dialog units (a quarter of the
    // font's average character width); 0: tabs are not expanded.
    int TabWidth = 0;
    // Items drawn by the control at this fixed height (owner-drawn styles); 0: the font's height.
    int ItemHeight = 0;
};

class IListBoxEvents {
public:
    virtual ~IListBoxEvents() = default;
    // A character was typed after its key went down unused (8 is Backspace, 13 Enter, 27 Escape); true
    // when the control consumed it, false to leave it to the list box's own handling.
    virtual bool ListBoxChar(char32_t ch) = 0;
};

// Single-line items, by default in one column with single selection, a vertical scroll bar only while
// the items do not fit and no horizontal scroll bar (see TListBoxParams). Text is UTF-8. ItemIndex is
// the selected item, or with several selected, the one that has the focus rectangle.
class IListBoxPeer : public IWindowPeer {
public:
    // Add or insert an item; the index it went to, or -1 when the list refused it.
    virtual int AddString(const std::string& s) = 0;
    virtual int InsertString(int index, const std::string& s) = 0;
    virtual void DeleteString(int index) = 0;
    virtual void ResetContent() = 0;
    virtual int Count() const = 0;
    virtual std::string GetString(int index) const = 0;
    // The first item from the top that begins with prefix, ignoring case; -1 when none does.
    virtual int FindString(const std::string& prefix) const = 0;
    virtual int ItemIndex() const = 0;
    // Selects an item (-1: none) and scrolls it into view.
    virtual void SetItemIndex(int index) = 0;
    virtual int TopIndex() const = 0;
    virtual void SetTopIndex(int index) = 0;
    // The height of one item, from the font.
    virtual int ItemHeight() const = 0;
    virtual void SetFont(const IPlatformFont* font) = 0;
    // Colours as 0x00BBGGRR.
    virtual void SetColors(uint32_t text, uint32_t background) = 0;
    // Off while many changes are made; on again repaints the whole control.
    virtual void SetRedraw(bool on) = 0;
    // The width of a column of a list in columns.
    virtual void SetColumnWidth(int width) = 0;
};

// ---- Edit and rich edit ----

// What the window is created with; a change of these means a new window.
struct TEditParams {
    // As for the list box.
    bool ClientEdge = true;
    bool Border = false;
    bool WordWrap = true;
    bool HorzScrollBar = false;
    bool VertScrollBar = false;
    // Scroll bars show only while the text does not fit (the rich edit); otherwise always.
    bool HideScrollBars = false;
    TNativeAlignment Alignment = TNativeAlignment::Left;
    bool ReadOnly = false;
    // The selection shows only while the control has the focus.
    bool HideSelection = true;
    // Tab typed in the control inserts a tab instead of leaving it to the system.
    bool WantTabs = false;
};

// Multi-line text. Lines are what the control counts: in the edit, screen lines (a line longer than
// the width continues on the next), in the rich edit, paragraphs. Character positions are UTF-16 code
// units, and a line break counts as two (CR LF) in the edit and as one in the rich edit.
class IEditPeer : public IWindowPeer {
public:
    // The whole text, lines separated by CR LF.
    virtual std::string Text() const = 0;
    // Replaces the whole text; CR LF, CR and LF all break lines.
    virtual void SetText(const std::string& text) = 0;
    // At least 1: an empty control has one empty line.
    virtual int LineCount() const = 0;
    // Position of the first character of a line; -1 when there is no such line.
    virtual int LineIndex(int line) const = 0;
    // Length of the line that holds a position, without its break.
    virtual int LineLength(int pos) const = 0;
    // The text of a line, without its break.
    virtual std::string Line(int line) const = 0;
    virtual void GetSelection(int& start, int& end) const = 0;
    // end -1: to the end of the text. The caret goes to end.
    virtual void SetSelection(int start, int end) = 0;
    // Replaces the selection (read-only or not) and puts the caret after the new text; line breaks as
    // for SetText.
    virtual void ReplaceSelection(const std::string& text) = 0;
    virtual std::string SelectedText() const = 0;
    virtual void CopyToClipboard() = 0;
    // Whether the text changed since SetModified(false).
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual void SetWantTabs(bool wantTabs) = 0;
    // The most characters the user can bring the text to by typing or pasting; 0 for the platform's
    // own limit. Text set by the program is not cut.
    virtual void SetMaxLength(int maxLength) = 0;
    virtual void SetFont(const IPlatformFont* font) = 0;
    virtual void SetColors(uint32_t text, uint32_t background) = 0;
    virtual void SetRedraw(bool on) = 0;
};

// The format text takes when nothing else is said.
struct TCharFormat {
    std::string FaceName;  // at most 31 characters; a face that is not installed is substituted
    int SizeTwips = 0;     // twentieths of a point
    bool AutoColor = true; // the platform's window text colour
    uint32_t Color = 0;    // 0x00BBGGRR when not AutoColor
    uint8_t CharSet = 1;
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    bool operator==(const TCharFormat&) const = default;
};

class IRichEditPeer : public IEditPeer {
public:
    virtual void SetDefaultCharFormat(const TCharFormat& format) = 0;
    virtual void SetBackgroundColor(uint32_t color) = 0;
    // Display magnification in percent.
    virtual int Zoom() const = 0;
    virtual void SetZoom(int percent) = 0;
    // The whole content, as rich text or as plain text, for a new window to read back.
    virtual std::string SaveContent(bool plainText) const = 0;
    virtual void LoadContent(const std::string& content, bool plainText) = 0;
};
