// The course as a static web site: one page of HTML holding the whole form, every control at the place
// the layout gives it, texts as text in the faces the desktop draws them with, pictures as files.
#include "tools/WebExport.h"

#include "app/ErrorText.h"
#include "app/TStatusBar.h"
#include "controls/ColorToRGB.h"
#include "controls/TImage.h"
#include "controls/TLabel.h"
#include "controls/TListBox.h"
#include "controls/TListBoxStrings.h"
#include "controls/TMemo.h"
#include "controls/TPageControl.h"
#include "controls/TRichEdit.h"
#include "controls/TStaticText.h"
#include "graphics/TJPEGImage.h"
#include "graphics/TPicture.h"
#include "platform/SymbolEncoding.h"
#include "platform/TextLayout.h"
#include "platform/qt/FontSubstitution.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFont.h"
#include "stream/Exceptions.h"
#include "tools/FormLayout.h"
#include "tools/HeadlessForm.h"
#include "tools/TextFormFiles.h"
#include "tools/WebFiles.h"
#include "tools/WebFonts.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Text below this size in pixels is hard to read; the page never scales its smallest text below it.
constexpr double kLegiblePixels = 8;

std::string Html(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        switch (ch) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += ch;
        }
    }
    return out;
}

std::string Px(int v) {
    return std::to_string(v) + "px";
}

std::string CssColor(TColor color) {
    const uint32_t rgb = ColorToRGB(color);
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", rgb & 0xFF, rgb >> 8 & 0xFF, rgb >> 16 & 0xFF);
    return text;
}

std::string BoxStyle(int left, int top, int width, int height) {
    return "left:" + Px(left) + ";top:" + Px(top) + ";width:" + Px(width) + ";height:" + Px(height) + ";";
}

std::string BoxStyle(const TControl& c) {
    return BoxStyle(c.Left(), c.Top(), c.Width(), c.Height());
}

// The font as the desktop realises it: the family it draws with first, the face the definition names
// after it, then the kind of face.
const QFont& RealisedFont(const TFont& font) {
    static const QFont fallback;
    const auto* qtFont = dynamic_cast<const QtFont*>(font.Handle());
    return qtFont ? qtFont->Font() : fallback;
}

std::string FontStack(const TFont& font, const QFont& realised) {
    const std::string family = realised.family().toStdString();
    std::string stack = "'" + family + "'";
    if (family == "Tahoma") stack += ",'DejaVu Sans'";
    if (font.Charset() != SYMBOL_CHARSET && font.Name() != family && !font.Name().empty() &&
        font.Name().find_first_of("'\\;<>") == std::string::npos)
        stack += ",'" + font.Name() + "'";
    const bool serif = family.find("Serif") != std::string::npos || family == "C059" ||
                       family.find("Bookman") != std::string::npos ||
                       family.find("Garamond") != std::string::npos;
    stack += realised.fixedPitch() ? ",monospace" : serif ? ",serif" : ",sans-serif";
    return stack;
}

double PixelSize(const QFont& f) {
    return f.pixelSize() > 0 ? f.pixelSize() : f.pointSizeF() * 96.0 / 72.0;
}

std::string FontStyle(const TFont& font) {
    const QFont& f = RealisedFont(font);
    char size[32];
    std::snprintf(size, sizeof size, "%gpx", PixelSize(f));
    std::string css = "font-family:" + FontStack(font, f) + ";font-size:" + size +
                      ";line-height:" + Px(QFontMetrics(f).height()) + ";color:" + CssColor(font.Color()) +
                      ";";
    if (f.weight() != QFont::Normal)
        css += "font-weight:" + std::to_string(static_cast<int>(f.weight())) + ";";
    if (f.italic()) css += "font-style:italic;";
    if (f.underline() || f.strikeOut())
        css += std::string("text-decoration:") + (f.underline() ? " underline" : "") +
               (f.strikeOut() ? " line-through" : "") + ";";
    if (f.stretch() > 0 && f.stretch() != 100) css += "font-stretch:" + std::to_string(f.stretch()) + "%;";
    if (f.capitalization() == QFont::SmallCaps) css += "font-variant:small-caps;";
    return css;
}

// Text in the symbol character set shows the characters its codes name in that encoding.
std::u16string ShownText(const TFont& font, const std::string& text) {
    std::u16string s = QString::fromStdString(text).toStdU16String();
    return font.Charset() == SYMBOL_CHARSET ? SymbolTextToUnicode(s) : s;
}

std::string Utf8(const std::u16string& s) {
    return QString::fromStdU16String(s).toStdString();
}

// The lines of a text as the desktop breaks them in a rectangle that wide, access-key prefixes taken
// out; tabs stay tabs.
std::vector<std::string> Lines(const TFont& font, const std::string& text, unsigned format, int width) {
    const QFontMetrics fm(RealisedFont(font));
    const TTextMetrics metrics{[&fm](std::u16string_view s) {
                                   return fm.horizontalAdvance(
                                       QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())));
                               },
                               8 * fm.averageCharWidth()};
    std::vector<std::string> lines;
    for (const TTextLine& line : LayoutText(ShownText(font, text), format, width, metrics)) {
        std::u16string joined;
        for (const TTextRun& run : line.Runs) {
            if (!joined.empty() || run.X > 0) joined += u'\t';
            joined += run.Text;
        }
        lines.push_back(Utf8(joined));
    }
    return lines;
}

std::string AlignStyle(TAlignment alignment) {
    switch (alignment) {
    case TAlignment::taRightJustify:
        return "text-align:right;";
    case TAlignment::taCenter:
        return "text-align:center;";
    default:
        return "";
    }
}

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty()) out += '\n';
        out += Html(line);
    }
    return out;
}

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) throw Exception("cannot write '" + path.string() + "'");
}

// A JPEG file as stored, less the colour profiles (APP2 segments named ICC_PROFILE) that the program
// does not apply: a browser would, and show other colours than the program. Everything else, the
// compressed image above all, stays byte for byte; a file whose segments do not parse stays whole.
std::vector<uint8_t> WithoutColourProfile(std::span<const uint8_t> file) {
    static constexpr char kIcc[] = "ICC_PROFILE";
    const auto whole = [&] { return std::vector<uint8_t>(file.begin(), file.end()); };
    if (file.size() < 4 || file[0] != 0xFF || file[1] != 0xD8) return whole();
    std::vector<uint8_t> kept(file.begin(), file.begin() + 2);
    size_t pos = 2;
    bool removed = false;
    while (pos + 4 <= file.size() && file[pos] == 0xFF) {
        const uint8_t marker = file[pos + 1];
        // Entropy-coded data follows the start of scan: the rest goes as it is.
        if (marker == 0xDA) break;
        const size_t length = static_cast<size_t>(file[pos + 2]) << 8 | file[pos + 3];
        if (length < 2 || pos + 2 + length > file.size()) return whole();
        const bool profile =
            marker == 0xE2 && length >= 2 + sizeof kIcc &&
            std::equal(kIcc, kIcc + sizeof kIcc, file.begin() + static_cast<ptrdiff_t>(pos + 4));
        if (profile)
            removed = true;
        else
            kept.insert(kept.end(), file.begin() + static_cast<ptrdiff_t>(pos),
                        file.begin() + static_cast<ptrdiff_t>(pos + 2 + length));
        pos += 2 + length;
    }
    if (!removed || pos + 2 > file.size() || file[pos] != 0xFF || file[pos + 1] != 0xDA) return whole();
    kept.insert(kept.end(), file.begin() + static_cast<ptrdiff_t>(pos), file.end());
    return kept;
}

// The same pixels in the smallest form a PNG file can hold them in: grey levels, a palette of at most
// 256 colours, or colour without alpha where every pixel is opaque.
QImage Compact(const QImage& painted) {
    const QImage argb = painted.convertToFormat(QImage::Format_ARGB32);
    bool opaque = true, grey = true;
    std::unordered_map<QRgb, int> palette;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = row[x];
            opaque = opaque && qAlpha(p) == 255;
            grey = grey && qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
            if (palette.size() <= 256) palette.emplace(p, static_cast<int>(palette.size()));
        }
    }
    if (opaque && grey) return argb.convertToFormat(QImage::Format_Grayscale8);
    if (palette.size() <= 256) {
        QList<QRgb> table(static_cast<qsizetype>(palette.size()));
        for (const auto& [colour, index] : palette)
            table[index] = colour;
        QImage indexed(argb.size(), QImage::Format_Indexed8);
        indexed.setColorTable(table);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* out = indexed.scanLine(y);
            for (int x = 0; x < argb.width(); ++x)
                out[x] = static_cast<uchar>(palette.at(row[x]));
        }
        return indexed;
    }
    return opaque ? argb.convertToFormat(QImage::Format_RGB888) : argb;
}

class TSiteWriter {
public:
    TSiteWriter(THeadlessForm& loaded, fs::path dir, std::map<std::string, std::string> altTexts)
        : FLoaded(loaded), FForm(loaded.Form()), FDir(std::move(dir)), FAltTexts(std::move(altTexts)) {}

    std::string Page();
    int PictureCount() const { return FPictures; }
    uintmax_t PictureBytes() const { return FBytes; }
    int PageCount() const { return FForm.PageControl1 ? FForm.PageControl1->PageCount() : 0; }

private:
    void Children(const TWinControl& parent, std::string& out);
    void Control(TControl& c, std::string& out);
    std::string Open(const TControl& c, const std::string& tag, const std::string& style,
                     const std::string& attributes = {});
    void Label(const TCustomLabel& label, std::string& out);
    void StaticText(const TCustomStaticText& text, std::string& out);
    void ListBox(const TCustomListBox& list, std::string& out);
    void Memo(const TCustomMemo& memo, std::string& out);
    void Picture(TImage& image, std::string& out);
    void Book(const TPageControl& book, std::string& out);
    void StatusBar(const TCustomStatusBar& bar, std::string& out);
    std::string BorderStyle(bool border, bool ctl3D) const;
    // The font's CSS, its face noted for the site's font files.
    std::string Font(const TFont& font);
    std::string FileName(const TImage& image);

    THeadlessForm& FLoaded;
    TForm1& FForm;
    fs::path FDir;
    std::map<std::string, std::string> FAltTexts;
    // Each sheet's HTML, written while the sheet was on view.
    std::vector<std::string> FSheets;
    // Pictures of sheets not on view load when their sheet is first shown.
    bool FLazy = false;
    int FPictures = 0;
    uintmax_t FBytes = 0;
    std::set<TWebFace> FFaces;
    std::set<std::string> FFileNames; // in lower case: some file systems do not tell case apart
    double FSmallestText = 0;
    std::string FStatusText;
};

std::string TSiteWriter::Open(const TControl& c, const std::string& tag, const std::string& style,
                              const std::string& attributes) {
    return "<" + tag + " class=\"c\" data-name=\"" + Html(c.Name()) + "\" data-class=\"" +
           Html(std::string(c.ClassName())) + "\"" + attributes + " style=\"" + Html(BoxStyle(c) + style) +
           "\">";
}

std::string TSiteWriter::BorderStyle(bool border, bool ctl3D) const {
    if (!border) return "";
    return ctl3D ? "border:2px solid;border-color:" + CssColor(clBtnShadow) + " " + CssColor(clBtnHighlight) +
                       " " + CssColor(clBtnHighlight) + " " + CssColor(clBtnShadow) + ";"
                 : "border:1px solid " + CssColor(clWindowFrame) + ";";
}

std::string TSiteWriter::Font(const TFont& font) {
    const QFont& f = RealisedFont(font);
    FFaces.insert({f.family().toStdString(), static_cast<int>(f.weight()), f.italic()});
    return FontStyle(font);
}

// A picture's file is named after its control, which names are identifiers; a control without a name,
// or with one another picture has taken, gets a number instead.
std::string TSiteWriter::FileName(const TImage& image) {
    std::string name = image.Name(), key = QString::fromStdString(name).toLower().toStdString();
    if (name.empty() || !FFileNames.insert(key).second) {
        name = "picture-" + std::to_string(FPictures);
        FFileNames.insert(name);
    }
    return name;
}

void TSiteWriter::Children(const TWinControl& parent, std::string& out) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* c = parent.Controls(i);
        if (c->Visible()) Control(*c, out);
    }
}

void TSiteWriter::Control(TControl& c, std::string& out) {
    const double textSize = PixelSize(RealisedFont(*c.Font()));
    if (FSmallestText == 0 || textSize < FSmallestText) FSmallestText = textSize;
    if (auto* label = dynamic_cast<TCustomLabel*>(&c)) return Label(*label, out);
    if (auto* image = dynamic_cast<TImage*>(&c)) return Picture(*image, out);
    if (auto* text = dynamic_cast<TCustomStaticText*>(&c)) return StaticText(*text, out);
    if (auto* list = dynamic_cast<TCustomListBox*>(&c)) return ListBox(*list, out);
    if (auto* memo = dynamic_cast<TCustomMemo*>(&c)) return Memo(*memo, out);
    if (auto* book = dynamic_cast<TPageControl*>(&c)) return Book(*book, out);
    if (auto* bar = dynamic_cast<TCustomStatusBar*>(&c)) return StatusBar(*bar, out);
    if (auto* w = dynamic_cast<TWinControl*>(&c)) {
        out += Open(c, "div", "background:" + CssColor(c.Color()) + ";");
        Children(*w, out);
        out += "</div>\n";
        return;
    }
    out += Open(c, "div", "") + "</div>\n";
}

void TSiteWriter::Label(const TCustomLabel& label, std::string& out) {
    std::string style = "white-space:pre;" + Font(*label.Font()) + AlignStyle(label.Alignment());
    if (!label.Transparent()) {
        const TWinControl* parent = label.Parent();
        style += "background:" +
                 CssColor(label.Color() != clDefault ? label.Color()
                          : parent                   ? parent->Color()
                                                     : clBtnFace) +
                 ";";
    }
    const std::vector<std::string> lines =
        Lines(*label.Font(), label.Caption(), label.DrawTextFlags(), label.Width());
    if (label.Layout() != TTextLayout::tlTop) {
        const int slack = label.Height() -
                          static_cast<int>(lines.size()) * QFontMetrics(RealisedFont(*label.Font())).height();
        const int offset = label.Layout() == TTextLayout::tlBottom ? slack : slack / 2;
        if (offset > 0) style += "padding-top:" + Px(offset) + ";";
    }
    out += Open(label, "div", style) + JoinedLines(lines) + "</div>\n";
}

void TSiteWriter::StaticText(const TCustomStaticText& text, std::string& out) {
    std::string style = "white-space:pre;" + Font(*text.Font()) + AlignStyle(text.Alignment());
    if (!text.Transparent()) style += "background:" + CssColor(text.Color()) + ";";
    int inset = 0;
    if (text.BorderStyle() == TStaticBorderStyle::sbsSingle) {
        style += "border:1px solid " + CssColor(clWindowFrame) + ";";
        inset = 1;
    } else if (text.BorderStyle() == TStaticBorderStyle::sbsSunken) {
        style += "border:1px solid;border-color:" + CssColor(clBtnShadow) + " " + CssColor(clBtnHighlight) +
                 " " + CssColor(clBtnHighlight) + " " + CssColor(clBtnShadow) + ";";
        inset = 1;
    }
    unsigned format = DT_WORDBREAK | DT_EXPANDTABS;
    if (!text.ShowAccelChar()) format |= DT_NOPREFIX;
    const std::vector<std::string> lines =
        Lines(*text.Font(), text.Caption(), format, text.Width() - 2 * inset);
    out += Open(text, "div", style) + JoinedLines(lines) + "</div>\n";
}

void TSiteWriter::ListBox(const TCustomListBox& list, std::string& out) {
    // Every item is one item height, empty ones too.
    const std::string style = Font(*list.Font()) + "background:" + CssColor(list.Color()) + ";" +
                              BorderStyle(list.BorderStyle() == TBorderStyle::bsSingle, list.Ctl3D()) +
                              "--item:" + Px(list.ItemHeight()) + ";";
    const int selected = list.ItemIndex();
    out +=
        Open(list, "div", style, " role=\"listbox\" tabindex=\"0\" aria-label=\"" + Html(list.Name()) + "\"");
    TStrings* items = list.Items();
    for (int i = 0; i < items->Count(); ++i)
        out += std::string("<div role=\"option\" aria-selected=\"") + (i == selected ? "true" : "false") +
               "\">" + Html(Utf8(ShownText(*list.Font(), items->Get(i)))) + "</div>";
    out += "</div>\n";
}

void TSiteWriter::Memo(const TCustomMemo& memo, std::string& out) {
    std::string style = Font(*memo.Font()) + "background:" + CssColor(memo.Color()) + ";" +
                        BorderStyle(memo.BorderStyle() == TBorderStyle::bsSingle, memo.Ctl3D()) +
                        AlignStyle(memo.Alignment());
    TStrings* lines = memo.Lines();
    if (dynamic_cast<const TCustomRichEdit*>(&memo)) {
        std::string attributes = " role=\"textbox\" aria-multiline=\"true\" tabindex=\"0\"";
        attributes += memo.ReadOnly() ? " aria-readonly=\"true\"" : " contenteditable=\"true\"";
        out += Open(memo, "div", style, attributes);
        for (int i = 0; i < lines->Count(); ++i) {
            const std::string text = Html(Utf8(ShownText(*memo.Font(), lines->Get(i))));
            out += "<p>" + (text.empty() ? std::string("<br>") : text) + "</p>";
        }
        out += "</div>\n";
        return;
    }
    std::string text;
    for (int i = 0; i < lines->Count(); ++i) {
        if (i > 0) text += '\n';
        text += Utf8(ShownText(*memo.Font(), lines->Get(i)));
    }
    std::string attributes = " aria-label=\"" + Html(memo.Name()) + "\"";
    if (memo.ReadOnly()) attributes += " readonly";
    if (!memo.WordWrap()) attributes += " wrap=\"off\"";
    // A line break straight after the opening tag is dropped by the parser, so one is written first.
    out += Open(memo, "textarea", style, attributes) + "\n" + Html(text) + "</textarea>\n";
}

void TSiteWriter::Picture(TImage& image, std::string& out) {
    const std::string kind = PictureKind(image);
    std::string attributes = " data-kind=\"" + kind + "\"";
    out += Open(image, "div", "", attributes);
    if (kind != "empty" && image.Width() > 0 && image.Height() > 0) {
        ++FPictures;
        auto alt = FAltTexts.find(image.Name());
        const std::string altText = alt != FAltTexts.end() ? alt->second : image.Hint();
        if (alt == FAltTexts.end() && image.Hint().empty())
            std::fprintf(stderr, "orvanta-form: %s has no text alternative\n", image.Name().c_str());
        std::string file, place;
        if (auto* jpeg = dynamic_cast<TJPEGImage*>(image.Picture()->Graphic())) {
            // JPEG files go out as stored; the browser scales them into the place the control gives, pixel
            // by pixel as the program does.
            file = "pictures/" + FileName(image) + ".jpg";
            const std::vector<uint8_t> bytes = WithoutColourProfile(jpeg->FileBytes());
            WriteFile(FDir / file,
                      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
            const TRect dest = image.DestRect();
            place = BoxStyle(dest.Left, dest.Top, dest.Width(), dest.Height());
            if (dest.Width() != jpeg->Width() || dest.Height() != jpeg->Height())
                place += "image-rendering:pixelated;";
        } else {
            // Every other kind as the exact pixels the control draws, transparent where it draws none.
            file = "pictures/" + FileName(image) + ".png";
            QImage pixels(image.Width(), image.Height(), QImage::Format_ARGB32_Premultiplied);
            pixels.fill(Qt::transparent);
            {
                QPainter painter(&pixels);
                QtCanvas canvas(&painter);
                image.Paint(canvas);
            }
            if (!Compact(pixels).save(QString::fromStdString((FDir / file).string()), "PNG"))
                throw Exception("cannot write '" + (FDir / file).string() + "'");
            place = BoxStyle(0, 0, image.Width(), image.Height());
        }
        FBytes += fs::file_size(FDir / file);
        out += "<img src=\"" + Html(file) + "\" alt=\"" + Html(altText) + "\" style=\"" + place + "\"" +
               (FLazy ? " loading=\"lazy\"" : "") + ">";
    }
    out += "</div>\n";
}

void TSiteWriter::Book(const TPageControl& book, std::string& out) {
    out += Open(book, "div", "");
    int tabRow = 0;
    for (int i = 0; i < book.PageCount(); ++i)
        tabRow = std::max(tabRow, book.Pages(i)->Top());
    out += "<div class=\"pane\" style=\"top:" + Px(std::max(0, tabRow - 2)) + "\"></div>\n";
    out += "<div class=\"tabs\" role=\"tablist\" style=\"height:" + Px(std::max(0, tabRow - 2)) + ";" +
           Font(*book.Font()) + "\">";
    const TTabSheet* active = book.ActivePage();
    for (int i = 0; i < book.PageCount(); ++i) {
        const TTabSheet* sheet = book.Pages(i);
        if (!sheet->TabVisible()) continue;
        const bool selected = sheet == active;
        const std::string n = std::to_string(sheet->PageIndex());
        out += "<button type=\"button\" role=\"tab\" id=\"tab-" + n + "\" aria-controls=\"page-" + n +
               "\" aria-selected=\"" + (selected ? "true" : "false") + "\" tabindex=\"" +
               (selected ? "0" : "-1") + "\"" + (sheet->Highlighted() ? " class=\"hl\"" : "") + ">" +
               Html(Utf8(ShownText(*book.Font(), sheet->Caption()))) + "</button>";
    }
    // The row's scroll buttons sit beside it, not over its last tab.
    out +=
        "</div>\n<div class=\"scroll\" aria-hidden=\"true\" style=\"height:" + Px(std::max(0, tabRow - 2)) +
        "\"><span data-step=\"-1\">&#9664;</span><span data-step=\"1\">&#9654;</span></div>\n";
    for (size_t i = 0; i < FSheets.size(); ++i)
        out += FSheets[i];
    out += "</div>\n";
}

void TSiteWriter::StatusBar(const TCustomStatusBar& bar, std::string& out) {
    const bool writtenOnChange =
        &bar == FForm.StatusBar1 && FForm.PageControl1 && FForm.PageControl1->OnChange();
    std::string style = Font(*bar.Font()) + "background:" + CssColor(bar.Color()) + ";";
    out += Open(bar, "div", style,
                std::string(" role=\"status\"") + (&bar == FForm.StatusBar1 ? " id=\"status\"" : "") +
                    (writtenOnChange ? " data-page-status=\"\"" : ""));
    if (bar.SimplePanel()) {
        out += "<span class=\"simple\">" + Html(FStatusText) + "</span>";
    } else {
        TStatusPanels* panels = bar.Panels();
        for (int i = 0; i < panels->Count(); ++i) {
            const TStatusPanel* panel = panels->Items(i);
            out += "<span class=\"panel\" style=\"width:" + Px(panel->Width()) + ";" +
                   AlignStyle(panel->Alignment()) + "\">" + Html(panel->Text()) + "</span>";
        }
    }
    if (bar.SizeGrip()) out += "<div class=\"grip\" aria-hidden=\"true\"></div>";
    out += "</div>\n";
}

std::string TSiteWriter::Page() {
    fs::create_directories(FDir / "pictures");
    TPageControl* book = FForm.PageControl1;
    const int firstPage = book && book->ActivePage() ? book->ActivePage()->PageIndex() : -1;
    FStatusText = FForm.StatusBar1 ? FForm.StatusBar1->SimpleText() : std::string();
    // Each sheet is written while it is on view, so that its controls have the places and the state
    // the layout gives them when the reader looks at it.
    for (int i = 0; book && i < book->PageCount(); ++i) {
        FLoaded.ShowPage(i);
        TTabSheet* sheet = book->Pages(i);
        const std::string n = std::to_string(i);
        FLazy = i != std::max(firstPage, 0);
        std::string html = Open(*sheet, "section", "background:" + CssColor(clWindow) + ";",
                                " role=\"tabpanel\" id=\"page-" + n + "\" aria-labelledby=\"tab-" + n + "\"" +
                                    (i == firstPage ? "" : " hidden"));
        Children(*sheet, html);
        html += "</section>\n";
        FSheets.push_back(std::move(html));
    }
    if (book) {
        if (firstPage >= 0)
            FLoaded.ShowPage(firstPage);
        else
            book->SetActivePage(nullptr);
    }
    FLazy = false;

    const TRect client = FForm.ClientRect();
    const std::string formFont = Font(*FForm.Font());
    std::string body;
    Children(FForm, body);
    // The faces go with the site: the same files the program draws with, whatever the reader has.
    const std::string fonts = EmbedFonts(FFaces, FDir, FBytes);
    const double minScale = FSmallestText > kLegiblePixels ? kLegiblePixels / FSmallestText : 1.0;
    char scale[32];
    std::snprintf(scale, sizeof scale, "%.3f", std::min(1.0, minScale));
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        "<title>" +
        Html(FForm.Caption()) + "</title>\n<link rel=\"stylesheet\" href=\"course.css\">\n" +
        (fonts.empty() ? std::string() : "<style>\n" + fonts + "</style>\n") +
        "<script src=\"course.js\" defer></script>\n</head>\n<body>\n<div id=\"stage\" style=\"" +
        BoxStyle(0, 0, client.Width(), client.Height()) + "\">\n<main id=\"form\" data-width=\"" +
        std::to_string(client.Width()) + "\" data-height=\"" + std::to_string(client.Height()) +
        "\" data-min-scale=\"" + scale + "\" style=\"" +
        Html(BoxStyle(0, 0, client.Width(), client.Height()) + "background:" + CssColor(FForm.Color()) + ";" +
             formFont) +
        "\">\n";
    page += body;
    page += "</main>\n</div>\n</body>\n</html>\n";
    return page;
}

} // namespace

std::map<std::string, std::string> ParseAltTexts(std::string_view text) {
    std::map<std::string, std::string> texts;
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const size_t equals = line.find(" = ");
        if (equals == std::string_view::npos || equals == 0 ||
            line.substr(0, equals).find(' ') != std::string_view::npos)
            throw Exception("text alternatives, line " + std::to_string(number) + ": expected NAME = text");
        texts[std::string(line.substr(0, equals))] = std::string(line.substr(equals + 3));
    }
    return texts;
}

int RunExportHtml(const std::string& outDir, const std::optional<std::string>& definitionPath,
                  const std::optional<std::string>& altTextsPath) {
    try {
        std::map<std::string, std::string> altTexts =
            ParseAltTexts(altTextsPath     ? ReadText(*altTextsPath)
                          : definitionPath ? std::string()
                                           : std::string(CourseAltTexts()));
        const fs::path dir(outDir);
        std::error_code ec;
        fs::create_directories(dir, ec);
        if (ec) throw Exception("cannot create '" + outDir + "': " + ec.message());
        THeadlessForm loaded(definitionPath);
        TSiteWriter writer(loaded, dir, std::move(altTexts));
        const std::string page = writer.Page();
        WriteFile(dir / "index.html", page);
        WriteFile(dir / "course.css", CourseStyleSheet());
        WriteFile(dir / "course.js", CourseScript());
        const uintmax_t bytes =
            page.size() + CourseStyleSheet().size() + CourseScript().size() + writer.PictureBytes();
        std::printf("%d pages, %d pictures, %ju bytes\n", writer.PageCount(), writer.PictureCount(), bytes);
        return 0;
    } catch (const std::exception& e) {
        std::printf("%s\n", ErrorDisplayText(e).c_str());
        return 1;
    }
}
