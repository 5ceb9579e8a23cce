// The platform's edit and rich edit on Qt. The edit is a plain text editor whose lines are its screen
// lines and whose positions count a line break as CR LF; the rich edit is a rich text editor whose
// lines are its paragraphs, with a default character format, zoom and centred paragraphs under the
// centre style. Both keep Tab out of Qt's focus chain unless the control takes tabs.
#pragma once

#include "platform/NativeControls.h"
#include "platform/qt/QtNativeWindow.h"

#include <QInputMethodEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <vector>

// A line of the control: where it starts in the document and how many characters it has, without its
// break.
struct TEditLine {
    int Start = 0;
    int Length = 0;
};

// Helpers shared by both editors (QtEdit.cpp).
namespace QtEditText {
// The text with each line break (CR LF, CR or LF) as one "\n".
QString WithBreaks(const std::string& text);
// The document's text, paragraphs separated by CR LF, no-break spaces and all kept.
std::string DocumentText(const QTextDocument& document);
std::string SelectionText(const QTextCursor& cursor);
// The paragraphs as lines.
std::vector<TEditLine> Paragraphs(const QTextDocument& document);
void ApplyEditParams(QAbstractScrollArea& area, const TEditParams& params);
// Text interaction that lets a read-only control still select and copy.
Qt::TextInteractionFlags InteractionFlags(bool readOnly);
// Palette: text on background, and a hidden selection while the control has no focus.
QPalette EditPalette(QPalette p, uint32_t text, uint32_t background, bool hideSelection);
} // namespace QtEditText

template <class TWidget, class TPeer> class QtEditBase : public QtNativeWindow<TWidget, TPeer> {
public:
    QtEditBase(QWidget* parent, IWindowEvents& events, const TEditParams& params)
        : QtNativeWindow<TWidget, TPeer>(parent, events), FParams(params) {
        QtEditText::ApplyEditParams(*this, params);
        this->setTabChangesFocus(false);
        SetReadOnly(params.ReadOnly);
        SetColors(FTextColor, FBackground);
    }

    std::string Text() const override { return QtEditText::DocumentText(*this->document()); }
    void SetText(const std::string& text) override {
        this->setPlainText(QtEditText::WithBreaks(text));
        this->document()->setModified(false);
    }
    int LineCount() const override { return static_cast<int>(Lines().size()); }
    int LineIndex(int line) const override {
        std::vector<TEditLine> lines = Lines();
        if (line < 0 || line >= static_cast<int>(lines.size())) return -1;
        return FromDocument(lines[static_cast<size_t>(line)].Start);
    }
    int LineLength(int pos) const override {
        std::vector<TEditLine> lines = Lines();
        int doc = ToDocument(pos);
        // The last line that starts at or before the position.
        TEditLine found = lines.front();
        for (const TEditLine& l : lines) {
            if (l.Start > doc) break;
            found = l;
        }
        return found.Length;
    }
    std::string Line(int line) const override {
        std::vector<TEditLine> lines = Lines();
        if (line < 0 || line >= static_cast<int>(lines.size())) return {};
        const TEditLine& l = lines[static_cast<size_t>(line)];
        QTextBlock block = this->document()->findBlock(l.Start);
        return block.text().mid(l.Start - block.position(), l.Length).toStdString();
    }
    void GetSelection(int& start, int& end) const override {
        QTextCursor c = this->textCursor();
        start = FromDocument(c.selectionStart());
        end = FromDocument(c.selectionEnd());
    }
    void SetSelection(int start, int end) override {
        QTextCursor c = this->textCursor();
        c.setPosition(ToDocument(start));
        c.setPosition(end < 0 ? DocumentEnd() : ToDocument(end), QTextCursor::KeepAnchor);
        this->setTextCursor(c);
    }
    void ReplaceSelection(const std::string& text) override {
        QTextCursor c = this->textCursor();
        c.insertText(QtEditText::WithBreaks(text));
        this->setTextCursor(c);
    }
    std::string SelectedText() const override { return QtEditText::SelectionText(this->textCursor()); }
    void CopyToClipboard() override { this->copy(); }
    bool Modified() const override { return this->document()->isModified(); }
    void SetModified(bool modified) override { this->document()->setModified(modified); }
    void SetReadOnly(bool readOnly) override {
        FParams.ReadOnly = readOnly;
        this->setReadOnly(readOnly);
        this->setTextInteractionFlags(QtEditText::InteractionFlags(readOnly));
    }
    void SetWantTabs(bool wantTabs) override { FParams.WantTabs = wantTabs; }
    void SetMaxLength(int maxLength) override { FMaxLength = std::max(maxLength, 0); }
    int MaxLength() const { return FMaxLength; }
    void SetColors(uint32_t text, uint32_t background) override {
        FTextColor = text;
        FBackground = background;
        this->setPalette(QtEditText::EditPalette(this->palette(), text, background, FParams.HideSelection));
    }
    void SetRedraw(bool on) override {
        this->setUpdatesEnabled(on);
        if (on) this->viewport()->update();
    }

    const TEditParams& Params() const { return FParams; }
    uint32_t TextColor() const { return FTextColor; }
    uint32_t BackgroundColor() const { return FBackground; }

protected:
    bool event(QEvent* e) override {
        if (this->KeyToSystem(e, FParams.WantTabs)) return true;
        bool result = TWidget::event(e);
        if (e->type() != QEvent::KeyPress) return result;
        // The edit keeps every key it is sent; none goes on to the windows around it.
        e->accept();
        return true;
    }
    // What the user types, pastes or composes goes in only as far as MaxLength leaves room.
    void keyPressEvent(QKeyEvent* e) override {
        UserEdit([&] { TWidget::keyPressEvent(e); });
    }
    void insertFromMimeData(const QMimeData* source) override {
        UserEdit([&] { TWidget::insertFromMimeData(source); });
    }
    void inputMethodEvent(QInputMethodEvent* e) override {
        UserEdit([&] { TWidget::inputMethodEvent(e); });
    }
    // Runs an edit of the user's and then takes back, from the end of what it inserted, whatever
    // brings the text past MaxLength (in the control's characters).
    template <class F> void UserEdit(F&& edit) {
        if (FMaxLength <= 0) {
            edit();
            return;
        }
        int insertStart = -1, insertEnd = -1;
        QMetaObject::Connection watch =
            QObject::connect(this->document(), &QTextDocument::contentsChange, [&](int pos, int, int added) {
                if (added <= 0) return;
                insertStart = insertStart < 0 ? pos : std::min(insertStart, pos);
                insertEnd = std::max(insertEnd, pos + added);
            });
        edit();
        QObject::disconnect(watch);
        if (insertEnd < 0 || FromDocument(DocumentEnd()) <= FMaxLength) return;
        QTextCursor c = this->textCursor();
        c.joinPreviousEditBlock();
        c.setPosition(std::min(insertEnd, DocumentEnd()));
        while (c.position() > insertStart && FromDocument(DocumentEnd()) > FMaxLength)
            c.deletePreviousChar();
        c.endEditBlock();
        this->setTextCursor(c);
    }

    // The control's lines, in document positions; never empty.
    virtual std::vector<TEditLine> Lines() const { return QtEditText::Paragraphs(*this->document()); }
    // The control's character positions and the document's.
    virtual int ToDocument(int pos) const { return std::clamp(pos, 0, DocumentEnd()); }
    virtual int FromDocument(int pos) const { return pos; }
    int DocumentEnd() const { return this->document()->characterCount() - 1; }

    TEditParams FParams;
    uint32_t FTextColor = 0, FBackground = 0xFFFFFF;
    int FMaxLength = 0;
};

class QtFont;

class QtMemoEdit : public QtEditBase<QPlainTextEdit, IEditPeer> {
public:
    QtMemoEdit(QWidget* parent, IWindowEvents& events, const TEditParams& params);
    void SetFont(const IPlatformFont* font) override;

    // The width lines wrap at, from the window's size (hidden or not); -1 without wrapping.
    qreal WrapWidth() const;

protected:
    // Screen lines: each paragraph broken as the editor breaks it at its width.
    std::vector<TEditLine> Lines() const override;
    int ToDocument(int pos) const override;
    int FromDocument(int pos) const override;
};

class QtRichEdit : public QtEditBase<QTextEdit, IRichEditPeer> {
public:
    QtRichEdit(QWidget* parent, IWindowEvents& events, const TEditParams& params);
    // A rich edit's text takes its font from the default character format, never the window's font.
    void SetFont(const IPlatformFont*) override {}
    void SetDefaultCharFormat(const TCharFormat& format) override;
    void SetBackgroundColor(uint32_t color) override;
    int Zoom() const override { return FZoom; }
    void SetZoom(int percent) override;
    std::string SaveContent(bool plainText) const override;
    void LoadContent(const std::string& content, bool plainText) override;

    const TCharFormat& DefaultCharFormat() const { return FFormat; }

private:
    // The default format at the zoom, as the document's font and the text colour.
    void ApplyFormat();

    TCharFormat FFormat;
    int FZoom = 100;
};
