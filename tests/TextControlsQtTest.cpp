// The text controls on the real platform (Qt's offscreen screen): sizes measured with the real fonts,
// what static texts and list boxes put on the screen, keys typed into lists, memos and rich edits, and
// the lines the platform edit counts when it wraps.
#include "app/TApplication.h"
#include "app/TCustomForm.h"
#include "controls/ColorToRGB.h"
#include "controls/TLabel.h"
#include "controls/TListBox.h"
#include "controls/TMemo.h"
#include "controls/TRichEdit.h"
#include "controls/TStaticText.h"
#include "platform/qt/QtFont.h"
#include "tests/QtTestEnvironment.h"
#include "tests/QtTestForm.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace {

const auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));

using Screen = TQtTestForm;

QRgb Rgb(uint32_t colorRef) {
    return qRgb(colorRef & 0xFF, colorRef >> 8 & 0xFF, colorRef >> 16 & 0xFF) & 0xFFFFFF;
}

int Count(const QImage& image, const TRect& r, QRgb colour) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == colour) ++n;
    return n;
}

// Pixels of text drawn in clBlue, antialiased edges included.
int Bluish(const QImage& image, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            QRgb p = image.pixel(x, y);
            if (qBlue(p) >= 128 && qRed(p) <= 128 && qGreen(p) <= 128) ++n;
        }
    return n;
}

// The metrics the platform measures a control's font with.
QFontMetrics MetricsOf(const TFont& font) {
    return QFontMetrics(QtFont(font.LogFont()).Font());
}

QRgb SystemRgb(int index) {
    return Rgb(TPlatform::Current()->GetSysColor(index));
}

// The screen lines the editor shows, laid out as it lays them out.
std::vector<std::string> ShownLines(QPlainTextEdit* edit) {
    auto* layout = static_cast<QPlainTextDocumentLayout*>(edit->document()->documentLayout());
    std::vector<std::string> lines;
    for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next()) {
        layout->ensureBlockLayout(b);
        for (int i = 0; i < b.layout()->lineCount(); ++i) {
            QTextLine line = b.layout()->lineAt(i);
            lines.push_back(b.text().mid(line.textStart(), line.textLength()).toStdString());
        }
    }
    return lines;
}

void Key(QWidget* w, int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void Type(QWidget* w, const QString& text) {
    for (QChar c : text)
        Key(w, c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : Qt::Key_unknown, QString(c));
}

} // namespace

TEST(QtLabelSizing, RealFontsMeasureTheCaption) {
    Screen s;
    auto* label = s.Add<TLabel>(8, 30, 65, 17, [](TLabel& l) {
        l.Font()->SetName("Times New Roman");
        l.Font()->SetHeight(-19);
        l.Font()->SetStyle(1u << fsBold);
    });
    label->SetCaption("Sensores Remotos");
    QFontMetrics fm = MetricsOf(*label->Font());
    EXPECT_EQ(label->BoundsRect(),
              (TRect{8, 30, 8 + fm.horizontalAdvance("Sensores Remotos"), 30 + fm.height()}));
    auto* list = s.Add<TListBox>(300, 10, 200, 100, [](TListBox& l) {
        l.Font()->SetName("Times New Roman");
        l.Font()->SetHeight(-19);
        l.Font()->SetStyle(1u << fsBold);
    });
    // The list box's item height is the line height of the same font.
    int line = list->ItemHeight();
    EXPECT_GE(line, 20);
    EXPECT_LE(line, 23);
    EXPECT_EQ(label->Height(), line);
    EXPECT_GT(label->Width(), 120);
    EXPECT_LT(label->Width(), 180);

    // Wrapped: the width stays and the height is a whole number of lines.
    label->SetAutoSize(false);
    label->SetWordWrap(true);
    label->SetBounds(8, 30, 150, 17);
    label->SetCaption("Curvas características de reflectancia espectral para el suelo, vegetación y agua");
    label->SetAutoSize(true);
    EXPECT_EQ(label->Width(), 150);
    EXPECT_GT(label->Height(), 2 * line);
    EXPECT_EQ(label->Height() % line, 0);
    // Empty: one line.
    label->SetCaption("");
    EXPECT_EQ(label->Height(), line);
}

TEST(QtStaticText, OpaqueIsABoxOfItsColourTransparentShowsWhatLiesBeneath) {
    Screen s;
    auto* beneath = s.Add<TLabel>(20, 20, 200, 60, [](TLabel& l) { l.SetAutoSize(false); });
    beneath->SetTransparent(false);
    beneath->SetColor(clRed);
    auto* see = s.Add<TStaticText>(10, 10, 150, 40, [](TStaticText& t) { t.SetAutoSize(false); });
    see->SetCaption("B1");
    see->Font()->SetColor(clBlue);
    auto* box = s.Add<TStaticText>(300, 10, 65, 17, [](TStaticText& t) {
        t.SetTransparent(false);
        t.SetColor(clWhite);
        t.Font()->SetName("Courier New");
        t.Font()->SetHeight(-13);
        t.Font()->SetColor(clBlue);
    });
    box->SetCaption("Banda 4 - Infrarrojo");
    // Sized to its text on one line plus four border widths.
    QFontMetrics fm = MetricsOf(*box->Font());
    EXPECT_EQ(box->BoundsRect(),
              (TRect{300, 10, 300 + fm.horizontalAdvance("Banda 4 - Infrarrojo") + 4, 10 + fm.height() + 4}));

    QImage image = s.Grab();
    QRgb red = Rgb(0x0000FF), white = Rgb(0xFFFFFF), face = Rgb(ColorToRGB(clBtnFace));
    // Transparent: the form's face where nothing is beneath, the red label where it is, blue text.
    EXPECT_EQ(image.pixel(12, 45) & 0xFFFFFF, face);
    EXPECT_EQ(image.pixel(140, 45) & 0xFFFFFF, red);
    EXPECT_GT(Bluish(image, {10, 10, 60, 50}), 10);
    // Opaque: a white box with blue text, nothing of the face inside.
    TRect r = box->BoundsRect();
    EXPECT_EQ(Count(image, r, face), 0);
    EXPECT_GT(Count(image, r, white), r.Width() * r.Height() / 2);
    EXPECT_GT(Bluish(image, r), 40);
}

TEST(QtListBox, ItemsSelectionKeysAndTheTypingSearch) {
    Screen s;
    auto* list = s.Add<TListBox>(10, 10, 150, 100);
    auto* after = s.Add<TListBox>(200, 10, 150, 100);
    for (int i = 0; i < 20; ++i)
        list->Items()->Add("Línea " + std::to_string(i) + " de un texto largo que no cabe en el ancho");
    list->Items()->Add("Brillo");
    list->Items()->Add("Contraste");
    auto* widget = dynamic_cast<QListWidget*>(list->ClientPeer());
    ASSERT_NE(widget, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(widget->count(), 22);
    // A vertical bar for the items that do not fit; never a horizontal one.
    EXPECT_TRUE(widget->verticalScrollBar()->isVisible());
    EXPECT_FALSE(widget->horizontalScrollBar()->isVisible());
    EXPECT_EQ(list->ItemHeight(), widget->visualItemRect(widget->item(0)).height());

    list->SetFocus();
    list->SetItemIndex(0);
    Key(widget, Qt::Key_Down);
    EXPECT_EQ(list->ItemIndex(), 1);
    Key(widget, Qt::Key_Right); // one column: Right moves like Down
    EXPECT_EQ(list->ItemIndex(), 2);
    Key(widget, Qt::Key_End);
    EXPECT_EQ(list->ItemIndex(), 21);
    EXPECT_EQ(s.Form->ActiveControl(), list); // the arrows stayed in the list

    uint64_t now = 10000;
    list->SetClock([&now] { return now; });
    Key(widget, Qt::Key_B, "b");
    EXPECT_EQ(list->ItemIndex(), 20);
    now += 100;
    Key(widget, Qt::Key_Backspace, "\b"); // empty: the first item
    EXPECT_EQ(list->ItemIndex(), 0);
    now += 1000;
    Key(widget, Qt::Key_C, "C");
    EXPECT_EQ(list->ItemIndex(), 21);
    EXPECT_EQ(widget->currentRow(), 21);
    EXPECT_LT(widget->visualItemRect(widget->item(21)).bottom(), widget->viewport()->height() + 1);

    // The selected item shows in the highlight colour.
    QImage image = s.Grab();
    QRect item = widget->visualItemRect(widget->item(21))
                     .translated(widget->viewport()->mapTo(widget->window(), QPoint()));
    EXPECT_GT(Count(image, {item.left(), item.top(), item.right(), item.bottom()}, SystemRgb(13)),
              item.width() * item.height() / 3);

    // Tab leaves the list for the next control.
    Key(widget, Qt::Key_Tab);
    EXPECT_EQ(s.Form->ActiveControl(), after);
}

TEST(QtMemo, LinesAreScreenLinesAndTabMovesTheFocusOn) {
    Screen s;
    auto* memo = s.Add<TMemo>(10, 10, 338, 258, [](TMemo& m) {
        m.Font()->SetName("Arial Narrow");
        m.Font()->SetHeight(-16);
    });
    auto* next = s.Add<TMemo>(400, 10, 100, 100);
    const char* rows[] = {"Superficie\tAlbedo (%)", "Nieve fresca\t80-95",    "Nieve vieja\t45-70",
                          "Hielo\t30-40",           "Arena seca\t35-45",      "Arena húmeda\t20-30",
                          "Suelo oscuro\t5-15",     "Pasto\t15-25",           "Bosque\t5-20",
                          "Cultivos\t15-25",        "Asfalto\t5-10",          "Hormigón\t17-27",
                          "Agua (sol alto)\t3-10",  "Agua (sol bajo)\t10-100"};
    for (const char* r : rows)
        memo->Lines()->Add(r);
    EXPECT_EQ(memo->Lines()->Count(), 14);
    EXPECT_EQ(memo->Lines()->Get(13), "Agua (sol bajo)\t10-100");

    // A line longer than the width goes on over screen lines, each of which the list counts, as the
    // editor breaks them at every width.
    auto* edit = dynamic_cast<QPlainTextEdit*>(memo->ClientPeer());
    ASSERT_NE(edit, nullptr);
    memo->Lines()->Add("   Los valores de albedo dependen del ángulo de incidencia de la "
                       "radiación solar y de la longitud de onda considerada en cada caso.");
    for (int width : {338, 301, 263, 229, 201, 180, 157, 133}) {
        memo->SetWidth(width);
        std::vector<std::string> shown = ShownLines(edit);
        ASSERT_EQ(memo->Lines()->Count(), static_cast<int>(shown.size()) - 1) << width;
        EXPECT_GT(shown.size(), 16u) << width;
        for (int i = 0; i < memo->Lines()->Count(); ++i)
            EXPECT_EQ(memo->Lines()->Get(i), shown[static_cast<size_t>(i)]) << width << " line " << i;
    }
    memo->SetWidth(338);

    // The tab stops: eight average character widths, as the platform edit's are.
    EXPECT_EQ(edit->tabStopDistance(), 8 * QFontMetrics(edit->font()).averageCharWidth());

    // Typing edits the text; Tab does not insert a tab but moves on to the next control.
    memo->SetFocus();
    memo->SetSelStart(0);
    Key(edit, Qt::Key_X, "X");
    EXPECT_EQ(memo->Lines()->Get(0), "XSuperficie\tAlbedo (%)");
    EXPECT_TRUE(memo->Modified());
    Key(edit, Qt::Key_Tab);
    EXPECT_EQ(memo->Lines()->Get(0), "XSuperficie\tAlbedo (%)");
    EXPECT_EQ(s.Form->ActiveControl(), next);
    // Enter breaks the line.
    Key(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(memo->Lines()->Get(0), "X");
}

TEST(QtRichEdit, DefaultFormatCentringAndReadOnly) {
    Screen s;
    auto* rich = s.Add<TRichEdit>(10, 10, 400, 150, [](TRichEdit& r) {
        r.Font()->SetName("Default");
        r.Font()->SetHeight(-11);
        r.SetAlignment(TAlignment::taCenter);
    });
    for (const char* p : {"Procedimientos Geométricos", "", "Corrección geométrica y radiométrica"})
        rich->Lines()->Add(p);
    auto* edit = dynamic_cast<QTextEdit*>(rich->ClientPeer());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(rich->Lines()->Count(), 3);
    // 8 points at 96 pixels per inch.
    EXPECT_EQ(edit->document()->defaultFont().pixelSize(), 11);
    // Every paragraph centred.
    QApplication::processEvents();
    QTextBlock block = edit->document()->findBlockByNumber(2);
    ASSERT_GT(block.layout()->lineCount(), 0);
    EXPECT_GT(block.layout()->lineAt(0).cursorToX(0), 50);

    // The one read-only rich edit: no typing, no pasting, but selecting and copying.
    auto* fixed = s.Add<TRichEdit>(10, 200, 400, 100, [](TRichEdit& r) { r.SetReadOnly(true); });
    fixed->Lines()->Add("Sólo lectura");
    fixed->SetModified(false);
    auto* fixedEdit = dynamic_cast<QTextEdit*>(fixed->ClientPeer());
    fixed->SelectAll();
    EXPECT_EQ(fixed->SelText(), "Sólo lectura\r\n");
    fixed->CopyToClipboard();
    fixed->SetSelStart(0);
    Type(fixedEdit, "abc");
    Key(fixedEdit, Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(fixed->Text(), "Sólo lectura\r\n");
    EXPECT_FALSE(fixed->Modified());
    fixed->SetSelStart(0);
    Key(fixedEdit, Qt::Key_Right, {}, Qt::ShiftModifier); // the keyboard selects
    Key(fixedEdit, Qt::Key_Right, {}, Qt::ShiftModifier);
    EXPECT_EQ(fixed->SelText(), "Só");

    // The other rich edits take typing and pasting: what was copied goes in.
    rich->SetSelStart(0);
    Type(edit, "abc");
    Key(edit, Qt::Key_V, "\x16", Qt::ControlModifier);
    EXPECT_EQ(rich->Lines()->Get(0), "abcSólo lectura");
    EXPECT_EQ(rich->Lines()->Get(1), "Procedimientos Geométricos");
    EXPECT_TRUE(rich->Modified());
}
