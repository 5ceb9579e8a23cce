// The edit and rich edit on Qt.
#include "platform/qt/QtEdit.h"

#include "platform/qt/QtFont.h"

#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

namespace {

constexpr int COLOR_WINDOWTEXT = 8;
// The rich edit's default tab stops: every half inch at 96 pixels per inch.
constexpr int kRichTabStop = 48;

uint32_t SystemColor(int index) {
    const TPlatform* platform = TPlatform::Current();
    return platform ? platform->GetSysColor(index) : SysColorOf(index);
}

Qt::Alignment QtAlignment(TNativeAlignment a) {
    switch (a) {
    case TNativeAlignment::Right:
        return Qt::AlignRight;
    case TNativeAlignment::Center:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

namespace QtEditText {

QString WithBreaks(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

std::string DocumentText(const QTextDocument& document) {
    std::string out;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        if (b != document.begin()) out += "\r\n";
        out += b.text().toStdString();
    }
    return out;
}

std::string SelectionText(const QTextCursor& cursor) {
    QString s = cursor.selectedText();
    s.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    return s.toStdString();
}

std::vector<TEditLine> Paragraphs(const QTextDocument& document) {
    std::vector<TEditLine> lines;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        lines.push_back({b.position(), static_cast<int>(b.text().size())});
    return lines;
}

void ApplyEditParams(QAbstractScrollArea& area, const TEditParams& params) {
    area.setFrameStyle(params.ClientEdge ? QFrame::WinPanel | QFrame::Sunken
                       : params.Border   ? QFrame::Box | QFrame::Plain
                                         : QFrame::NoFrame);
    auto policy = [&](bool bar) {
        return !bar                    ? Qt::ScrollBarAlwaysOff
               : params.HideScrollBars ? Qt::ScrollBarAsNeeded
                                       : Qt::ScrollBarAlwaysOn;
    };
    area.setHorizontalScrollBarPolicy(policy(params.HorzScrollBar));
    area.setVerticalScrollBarPolicy(policy(params.VertScrollBar));
}

Qt::TextInteractionFlags InteractionFlags(bool readOnly) {
    return readOnly ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard : Qt::TextEditorInteraction;
}

QPalette EditPalette(QPalette p, uint32_t text, uint32_t background, bool hideSelection) {
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, QtColorOf(background));
        p.setColor(g, QPalette::Text, QtColorOf(text));
    }
    if (hideSelection) {
        p.setColor(QPalette::Inactive, QPalette::Highlight, QtColorOf(background));
        p.setColor(QPalette::Inactive, QPalette::HighlightedText, QtColorOf(text));
    }
    return p;
}

} // namespace QtEditText

// ---- The edit ----

QtMemoEdit::QtMemoEdit(QWidget* parent, IWindowEvents& events, const TEditParams& params)
    : QtEditBase(parent, events, params) {
    setLineWrapMode(params.WordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(QtAlignment(params.Alignment));
    document()->setDefaultTextOption(option);
}

void QtMemoEdit::SetFont(const IPlatformFont* font) {
    auto* qtFont = dynamic_cast<const QtFont*>(font);
    if (!qtFont) return;
    setFont(qtFont->Font());
    // The platform edit's tab stops: every eight average character widths.
    setTabStopDistance(8 * QFontMetrics(qtFont->Font()).averageCharWidth());
}

qreal QtMemoEdit::WrapWidth() const {
    if (lineWrapMode() == QPlainTextEdit::NoWrap) return -1;
    int width = contentsRect().width();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        width -= style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return std::max<qreal>(1, width - 2 * document()->documentMargin());
}

std::vector<TEditLine> QtMemoEdit::Lines() const {
    std::vector<TEditLine> lines;
    qreal width = WrapWidth();
    QTextOption option = document()->defaultTextOption();
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        QString text = b.text();
        if (width < 0 || text.isEmpty()) {
            lines.push_back({b.position(), static_cast<int>(text.size())});
            continue;
        }
        QTextLayout layout(text, document()->defaultFont());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.push_back({b.position() + line.textStart(), line.textLength()});
        }
        layout.endLayout();
    }
    return lines;
}

// Each paragraph break counts as two characters here and as one in the document.
int QtMemoEdit::ToDocument(int pos) const {
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        int start = b.position() + b.blockNumber(), length = static_cast<int>(b.text().size());
        if (pos <= start + length + 1 || !b.next().isValid())
            return b.position() + std::clamp(pos - start, 0, length);
    }
    return 0;
}

int QtMemoEdit::FromDocument(int pos) const {
    return pos + document()->findBlock(pos).blockNumber();
}

// ---- The rich edit ----

QtRichEdit::QtRichEdit(QWidget* parent, IWindowEvents& events, const TEditParams& params)
    : QtEditBase(parent, events, params) {
    setLineWrapMode(params.WordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setAcceptRichText(true);
    // Paragraphs without an alignment of their own take the window's.
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(QtAlignment(params.Alignment));
    document()->setDefaultTextOption(option);
    ApplyFormat();
}

void QtRichEdit::SetDefaultCharFormat(const TCharFormat& format) {
    FFormat = format;
    ApplyFormat();
}

void QtRichEdit::SetBackgroundColor(uint32_t color) {
    QtEditBase::SetColors(FTextColor, color);
}

void QtRichEdit::SetZoom(int percent) {
    if (percent <= 0 || percent == FZoom) return;
    FZoom = percent;
    ApplyFormat();
}

void QtRichEdit::ApplyFormat() {
    TLogFont lf;
    // Whole twentieths of a point at 96 pixels per inch, magnified by the zoom.
    double pixels = FFormat.SizeTwips * 96.0 / 1440.0 * FZoom / 100.0;
    lf.Height = -std::max(1, static_cast<int>(std::lround(pixels > 0 ? pixels : 16.0 * FZoom / 100.0)));
    lf.Weight = FFormat.Bold ? 700 : 400;
    lf.Italic = FFormat.Italic;
    lf.Underline = FFormat.Underline;
    lf.StrikeOut = FFormat.StrikeOut;
    lf.CharSet = FFormat.CharSet;
    std::u16string face = QString::fromStdString(FFormat.FaceName).toStdU16String().substr(0, 31);
    std::copy(face.begin(), face.end(), lf.FaceName);
    QtFont font(lf);
    setFont(font.Font());
    document()->setDefaultFont(font.Font());
    setTabStopDistance(kRichTabStop * FZoom / 100.0);
    QtEditBase::SetColors(FFormat.AutoColor ? SystemColor(COLOR_WINDOWTEXT) : FFormat.Color, FBackground);
}

std::string QtRichEdit::SaveContent(bool plainText) const {
    return plainText ? Text() : toHtml().toStdString();
}

void QtRichEdit::LoadContent(const std::string& content, bool plainText) {
    if (plainText)
        SetText(content);
    else
        setHtml(QString::fromStdString(content));
    document()->setModified(false);
}
