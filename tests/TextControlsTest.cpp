// The text controls on a platform without a display: label and static text sizing and painting, the
// list box's items, selection and typing search, the memo's and rich edit's lines, the rich edit's
// default character format, and the windows these controls create and re-create while loading.
#include "FakePlatform.h"

#include "app/TForm1.h"
#include "controls/ColorToRGB.h"
#include "platform/TextLayout.h"
#include "stream/Exceptions.h"
#include "stream/ResourceTable.h"
#include "stream/TWriter.h"
#include "stream/TextCodec.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// ---- A canvas that lays text out (6 pixels a character, tab stops every 48, lines 13 high) and
// records what is drawn ----

struct Painted {
    std::string What; // "fill" or the text
    TRect Rect;
    unsigned Format = 0;
    uint32_t Color = 0;
    int OriginX = 0, OriginY = 0;
};

class LayoutCanvas : public FakeCanvas {
public:
    void FillRect(const TRect& r, uint32_t color) override { Log.push_back({"fill", r, 0, color, FX, FY}); }
    void SetTextColor(uint32_t color) override { FTextColor = color; }
    void Translate(int dx, int dy) override { FX += dx, FY += dy; }
    void Save() override { FSaved.push_back({FX, FY}); }
    void Restore() override {
        FX = FSaved.back().first, FY = FSaved.back().second;
        FSaved.pop_back();
    }
    int DrawText(const std::string& text, TRect& rect, unsigned format) override {
        TTextMetrics metrics{[](std::u16string_view s) { return 6 * static_cast<int>(s.size()); }, 48};
        auto lines = LayoutText(TextCodec::Utf16FromUtf8(text), format, rect.Width(), metrics);
        int height = 13 * static_cast<int>(lines.size()), widest = 0;
        for (const TTextLine& l : lines)
            widest = std::max(widest, l.Width);
        if (format & DT_CALCRECT) {
            rect.Right = rect.Left + ((format & DT_WORDBREAK) ? std::max(rect.Width(), widest) : widest);
            rect.Bottom = rect.Top + height;
        } else {
            Log.push_back({text, rect, format, FTextColor, FX, FY});
        }
        return height;
    }
    TSize TextExtent(const std::string& text) override {
        return {6 * static_cast<int>(TextCodec::Utf16Length(text)), 13};
    }

    std::vector<Painted> Log;

private:
    uint32_t FTextColor = 0;
    int FX = 0, FY = 0;
    std::vector<std::pair<int, int>> FSaved;
};

class TextPlatform : public FakePlatform {
public:
    std::unique_ptr<ICanvas> CreateMeasuringCanvas() override { return std::make_unique<LayoutCanvas>(); }
};

// ---- Definitions ----

using Writes = std::function<void(TWriter&)>;

// A component record: header, properties, end of properties, children, end of children.
void Record(TWriter& w, std::string_view cls, std::string_view name, const Writes& props,
            const Writes& children = {}) {
    w.WriteComponentHeader(cls, name);
    if (props) props(w);
    w.WriteListEnd();
    if (children) children(w);
    w.WriteListEnd();
}

void Strings(TWriter& w, std::string_view prop, const std::vector<std::string>& lines) {
    w.WritePropName(prop);
    w.WriteListBegin();
    for (const std::string& s : lines)
        w.WriteString(s);
    w.WriteListEnd();
}

void Int(TWriter& w, std::string_view prop, int value) {
    w.WritePropName(prop);
    w.WriteInteger(value);
}

void Bounds(TWriter& w, int left, int top, int width, int height) {
    Int(w, "Left", left), Int(w, "Top", top), Int(w, "Width", width), Int(w, "Height", height);
}

// The main form with a page control of two sheets (the first on view); each sheet's children and the
// form's own controls are written by the callers.
std::vector<uint8_t> Book(const Writes& sheet1, const Writes& sheet2 = {}, const Writes& onForm = {}) {
    TWriter w;
    w.WriteSignature();
    Record(
        w, "TForm1", "Form1",
        [](TWriter& w) {
            Bounds(w, 0, 0, 800, 600);
            w.WritePropName("Color"), w.WriteIdent("clBtnFace");
        },
        [&](TWriter& w) {
            if (onForm) onForm(w);
            Record(
                w, "TPageControl", "PageControl1",
                [](TWriter& w) {
                    Bounds(w, 8, 0, 700, 500);
                    w.WritePropName("ActivePage"), w.WriteIdent("TabSheet1");
                },
                [&](TWriter& w) {
                    Record(w, "TTabSheet", "TabSheet1", {}, sheet1);
                    Record(w, "TTabSheet", "TabSheet2", {}, sheet2);
                });
        });
    return w.TakeBytes();
}

struct Loaded {
    TextPlatform Platform;
    std::vector<uint8_t> Bytes;
    std::unique_ptr<TForm1> Form;
    explicit Loaded(std::vector<uint8_t> bytes) : Bytes(std::move(bytes)) {
        Resources::Register(Resources::RT_RCDATA, "TFORM1", Bytes);
        Form = std::make_unique<TForm1>(nullptr);
    }
    ~Loaded() {
        Form.reset();
        Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
    }
};

template <class T> T& PeerOf(const TWinControl& c) {
    auto* peer = dynamic_cast<T*>(c.ClientPeer());
    if (!peer) throw std::runtime_error("no window of the expected kind");
    return *peer;
}

template <class Op> std::string ErrorOf(Op&& op) {
    try {
        op();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

// A form with a window, for controls made in code.
struct Host {
    TextPlatform Platform;
    TForm Form{nullptr};
    Host() {
        Form.SetBounds(0, 0, 416, 339);
        Form.HandleNeeded();
    }
    // A control on the form; setup runs before it has a parent (and so before it sizes itself).
    template <class T>
    T* Add(int left, int top, int width, int height, const std::function<void(T&)>& setup = {}) {
        auto* c = new T(&Form);
        if (setup) setup(*c);
        c->SetBounds(left, top, width, height);
        c->SetParent(&Form);
        return c;
    }
};

const std::vector<std::string> kAlbedo = {
    "Superficie\tAlbedo (%)",
    "Nieve fresca\t80-95",
    "Nieve vieja\t45-70",
    "Hielo\t30-40",
    "Arena seca\t35-45",
    "Arena húmeda\t20-30",
    "Suelo oscuro\t5-15",
    "Suelo arcilloso\t15-25",
    "Pasto\t15-25",
    "Bosque de coníferas\t5-15",
    "Bosque caducifolio\t15-20",
    "Cultivos\t15-25",
    "Agua (sol alto)\t3-10",
    "Agua (sol bajo)\t10-100",
};

} // namespace

// ---- Labels ----

TEST(LabelSizing, AutoSizeFollowsTheCaptionKeepingLeftOrTheRightEdge) {
    Host h;
    auto* label = h.Add<TLabel>(100, 50, 65, 17);
    label->SetCaption("Brillo");
    EXPECT_EQ(label->BoundsRect(), (TRect{100, 50, 136, 63}));
    label->SetCaption("Contraste y brillo");
    EXPECT_EQ(label->BoundsRect(), (TRect{100, 50, 208, 63}));

    // Right-justified: the right edge stays where it was.
    label->SetAlignment(TAlignment::taRightJustify);
    label->SetCaption("Brillo");
    EXPECT_EQ(label->BoundsRect(), (TRect{172, 50, 208, 63}));
    // Centred: Left stays.
    label->SetAlignment(TAlignment::taCenter);
    label->SetCaption("Contraste");
    EXPECT_EQ(label->BoundsRect(), (TRect{172, 50, 226, 63}));

    // An empty caption keeps one line's height, the width of a blank.
    label->SetCaption("");
    EXPECT_EQ(label->BoundsRect(), (TRect{172, 50, 178, 63}));

    // Tabs go to the next stop; "&" marks an access key and is not measured unless told.
    label->SetCaption("a\tb");
    EXPECT_EQ(label->Width(), 48 + 6);
    label->SetCaption("&Filtro");
    EXPECT_EQ(label->Width(), 36);
    label->SetShowAccelChar(false);
    label->SetCaption("&Filtros");
    EXPECT_EQ(label->Width(), 48);

    // Without AutoSize the label keeps what it is given.
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 300, 40);
    label->SetCaption("x");
    EXPECT_EQ(label->BoundsRect(), (TRect{0, 0, 300, 40}));
}

TEST(LabelSizing, WordWrapKeepsTheWidthAndTakesTheHeightOfTheLines) {
    Host h;
    auto* label = h.Add<TLabel>(10, 10, 60, 17, [](TLabel& l) {
        l.SetAutoSize(false);
        l.SetWordWrap(true);
        l.SetCaption("aaaa bbbb cccc"); // "aaaa bbbb" is 54 wide: two lines in 60
    });
    label->SetAutoSize(true);
    EXPECT_EQ(label->BoundsRect(), (TRect{10, 10, 70, 36}));
    label->SetCaption("aaaa bbbb cccc dddd eeee");
    EXPECT_EQ(label->BoundsRect(), (TRect{10, 10, 70, 49}));
    label->SetCaption("aaa"); // one line: the width shrinks to the text
    EXPECT_EQ(label->BoundsRect(), (TRect{10, 10, 28, 23}));
    label->SetCaption("abcdefghijklmn"); // a word wider than the label widens it
    EXPECT_EQ(label->BoundsRect(), (TRect{10, 10, 94, 23}));
}

TEST(LabelSizing, ALoadedLabelSizesItselfOnlyWhenLoadingIsFinished) {
    std::vector<uint8_t> bytes = Book([](TWriter& w) {
        Record(w, "TLabel", "Label1", [](TWriter& w) {
            Bounds(w, 20, 30, 400, 90);
            w.WritePropName("Caption"), w.WriteString("Curvas de Reflectancia");
            w.WritePropName("Alignment"), w.WriteIdent("taRightJustify");
        });
        Record(w, "TLabel", "Label2", [](TWriter& w) {
            Bounds(w, 20, 130, 400, 90);
            w.WritePropName("AutoSize"), w.WriteBoolean(false);
            w.WritePropName("Caption"), w.WriteString("Curvas");
        });
    });
    Loaded l(bytes);
    // 22 characters: 132 wide, right edge kept at 420.
    EXPECT_EQ(l.Form->Label1->BoundsRect(), (TRect{288, 30, 420, 43}));
    EXPECT_EQ(l.Form->Label2->BoundsRect(), (TRect{20, 130, 420, 220}));
}

TEST(LabelPainting, FormatFillAndLayout) {
    Host h;
    auto* label = h.Add<TLabel>(0, 0, 100, 60, [](TLabel& l) { l.SetAutoSize(false); });
    label->SetCaption("b1 = a1");
    label->Font()->SetColor(clBlue);
    LayoutCanvas canvas;
    label->Paint(canvas);
    ASSERT_EQ(canvas.Log.size(), 1u); // transparent: no fill
    EXPECT_EQ(canvas.Log[0].What, "b1 = a1");
    EXPECT_EQ(canvas.Log[0].Format, DT_EXPANDTABS | DT_LEFT);
    EXPECT_EQ(canvas.Log[0].Color, 0xFF0000u);
    EXPECT_EQ(canvas.Log[0].Rect, (TRect{0, 0, 100, 60}));

    canvas.Log.clear();
    label->SetTransparent(false);
    label->SetColor(clWhite);
    label->SetWordWrap(true);
    label->SetAlignment(TAlignment::taCenter);
    label->SetShowAccelChar(false);
    label->SetLayout(TTextLayout::tlBottom);
    label->Paint(canvas);
    ASSERT_EQ(canvas.Log.size(), 2u);
    EXPECT_EQ(canvas.Log[0].What, "fill");
    EXPECT_EQ(canvas.Log[0].Color, 0xFFFFFFu);
    EXPECT_EQ(canvas.Log[1].Format, DT_EXPANDTABS | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_EQ(canvas.Log[1].Rect, (TRect{0, 47, 100, 107})); // one line at the bottom of 60
    EXPECT_TRUE(label->Opaque());

    // clDefault shows what the label stands on; an empty caption draws no text.
    canvas.Log.clear();
    h.Form.SetColor(clSkyBlue);
    label->SetColor(clDefault);
    label->SetCaption("");
    label->Paint(canvas);
    ASSERT_EQ(canvas.Log.size(), 1u);
    EXPECT_EQ(canvas.Log[0].Color, static_cast<uint32_t>(clSkyBlue));
}

// ---- Static texts ----

TEST(StaticText, AutoSizeIsTheTextExtentPlusFourBorders) {
    Host h;
    auto* text = h.Add<TStaticText>(30, 40, 65, 17);
    EXPECT_FALSE(text->TabStop());
    text->SetCaption("Banda 1");
    EXPECT_EQ(text->BoundsRect(), (TRect{30, 40, 30 + 42 + 4, 40 + 13 + 4}));
    text->Font()->SetName("Courier New"); // a font change measures again (same metrics here)
    EXPECT_EQ(text->Width(), 46);
    text->SetAutoSize(false);
    text->SetBounds(30, 40, 200, 80);
    text->SetCaption("Banda 2");
    EXPECT_EQ(text->BoundsRect(), (TRect{30, 40, 230, 120}));
}

TEST(StaticText, OpaqueFillsWithColourTransparentShowsTheParentAndItsGraphicChildren) {
    Host h;
    h.Form.SetColor(clBtnFace);
    auto* under = h.Add<TLabel>(0, 0, 50, 20, [](TLabel& l) { l.SetAutoSize(false); });
    under->SetTransparent(false);
    under->SetColor(clRed);
    auto* text = h.Add<TStaticText>(10, 5, 80, 30, [](TStaticText& t) { t.SetAutoSize(false); });
    text->SetCaption("Imagen Landsat 7");
    text->Font()->SetColor(clBlue);

    LayoutCanvas transparent;
    text->PaintHandler(transparent, {0, 0, 80, 30});
    // The form's face, then the red label moved to where it lies under the static text, then the text.
    ASSERT_GE(transparent.Log.size(), 3u);
    EXPECT_EQ(transparent.Log[0].What, "fill");
    EXPECT_EQ(transparent.Log[0].Color, ColorToRGB(clBtnFace));
    EXPECT_EQ(transparent.Log[0].OriginX, -10);
    EXPECT_EQ(transparent.Log[1].Color, 0x0000FFu);
    EXPECT_EQ(transparent.Log[1].OriginX, -10);
    EXPECT_EQ(transparent.Log[1].OriginY, -5);
    EXPECT_EQ(transparent.Log.back().What, "Imagen Landsat 7");
    EXPECT_EQ(transparent.Log.back().Format, DT_WORDBREAK | DT_EXPANDTABS | DT_LEFT);
    EXPECT_EQ(transparent.Log.back().Color, 0xFF0000u);

    LayoutCanvas opaque;
    text->SetTransparent(false);
    text->SetColor(clWhite);
    text->SetAlignment(TAlignment::taCenter);
    text->PaintHandler(opaque, {0, 0, 80, 30});
    ASSERT_EQ(opaque.Log.size(), 2u);
    EXPECT_EQ(opaque.Log[0].Rect, (TRect{0, 0, 80, 30}));
    EXPECT_EQ(opaque.Log[0].Color, 0xFFFFFFu);
    EXPECT_EQ(opaque.Log[1].Format, DT_WORDBREAK | DT_EXPANDTABS | DT_CENTER);
}

// ---- List boxes ----

TEST(ListBoxLoading, ItemsLiveInTheWindowMadeWhileReadingEvenOnAHiddenSheet) {
    std::vector<uint8_t> bytes = Book({}, [](TWriter& w) {
        Record(w, "TListBox", "ListBox1", [](TWriter& w) {
            Bounds(w, 74, 56, 500, 286);
            Int(w, "Font.Height", -16);
            w.WritePropName("Font.Name"), w.WriteString("Arial");
            Int(w, "ItemHeight", 23);
            Strings(w, "Items.Strings", {"FOTOINTERPRETACIÓN", "", "La fotointerpretación es..."});
            w.WritePropName("ParentFont"), w.WriteBoolean(false);
        });
    });
    Loaded l(bytes);
    TListBox& list = *l.Form->ListBox1;
    ASSERT_TRUE(list.HandleAllocated());
    EXPECT_EQ(l.Platform.ListBoxesCreated, 1);
    auto& peer = PeerOf<FakeListBoxPeer>(list);
    EXPECT_EQ(peer.Items(),
              (std::vector<std::string>{"FOTOINTERPRETACIÓN", "", "La fotointerpretación es..."}));
    EXPECT_EQ(list.Items()->Count(), 3);
    EXPECT_EQ(list.Items()->Get(0), "FOTOINTERPRETACIÓN");
    // Redrawing was off while the items were read, and switched on once at the end.
    EXPECT_EQ(peer.RedrawOffCount, 1);
    EXPECT_EQ(peer.RedrawOnCount, 1);
    EXPECT_TRUE(peer.Redraw());
    EXPECT_TRUE(peer.Params.ClientEdge);
    // The stored item height changes nothing: the platform's height for the font (16 + 2 here).
    EXPECT_EQ(list.ItemHeight(), 18);
    EXPECT_EQ(peer.TextColor(), ColorToRGB(clWindowText));
    EXPECT_EQ(peer.BackgroundColor(), ColorToRGB(clWindow));
    EXPECT_EQ(peer.Bounds(), (TRect{74, 56, 574, 342}));

    // Shown, the list of the hidden sheet stays hidden until its sheet is shown.
    l.Form->SetVisible(true);
    EXPECT_FALSE(peer.Visible());
    l.Form->PageControl1->SetActivePage(l.Form->TabSheet2);
    EXPECT_TRUE(peer.Visible());
}

TEST(ListBoxLoading, WithoutAPlatformTheItemsAreHeldInMemory) {
    std::vector<uint8_t> bytes = Book([](TWriter& w) {
        Record(w, "TListBox", "ListBox1", [](TWriter& w) { Strings(w, "Items.Strings", {"uno", "dos"}); });
    });
    Resources::Register(Resources::RT_RCDATA, "TFORM1", bytes);
    {
        TForm1 form(nullptr);
        EXPECT_FALSE(form.ListBox1->HandleAllocated());
        ASSERT_EQ(form.ListBox1->Items()->Count(), 2);
        EXPECT_EQ(form.ListBox1->Items()->Get(1), "dos");
        form.ListBox1->SetItemIndex(1);
        EXPECT_EQ(form.ListBox1->ItemIndex(), 1);
    }
    Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
}

TEST(ListBoxItems, EditingSelectionAndFailures) {
    Host h;
    auto* list = h.Add<TListBox>(0, 0, 121, 97);
    TListBoxStrings& items = *list->Items();
    items.Add("b");
    items.Add("d");
    items.Insert(0, "a");
    items.Insert(2, "c");
    EXPECT_EQ(PeerOf<FakeListBoxPeer>(*list).Items(), (std::vector<std::string>{"a", "b", "c", "d"}));
    list->SetItemIndex(2);
    items.Put(2, "C");
    EXPECT_EQ(items.Get(2), "C");
    EXPECT_EQ(list->ItemIndex(), 2); // replacing keeps the selection
    items.Delete(0);
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->Count(), 3);

    EXPECT_EQ(ErrorOf([&] { items.Get(3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorOf([&] { items.Insert(5, "x"); }), "List index out of bounds (5)");
    EXPECT_EQ(ErrorOf([&] { items.Delete(-1); }), "List index out of bounds (-1)");
    PeerOf<FakeListBoxPeer>(*list).RefuseItems = true;
    EXPECT_EQ(ErrorOf([&] { items.Add("e"); }), "Unable to insert a line");
    EXPECT_EQ(ErrorOf([&] { items.Insert(0, "e"); }), "Unable to insert a line");

    items.Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->ItemIndex(), -1);
    // Arrows and paging keys belong to the list; Tab and Enter do not.
    for (int key : {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT, VK_HOME, VK_END})
        EXPECT_TRUE(list->WantsKey(key, 0)) << key;
    EXPECT_FALSE(list->WantsKey(VK_TAB, 0));
    EXPECT_FALSE(list->WantsKey(VK_RETURN, 0));
}

TEST(ListBoxItems, ANewWindowKeepsItemsSelectionAndFont) {
    Host h;
    h.Form.SetVisible(true);
    auto* list = h.Add<TListBox>(0, 0, 121, 97);
    for (const char* s : {"uno", "dos", "tres"})
        list->Items()->Add(s);
    list->SetItemIndex(1);
    list->Font()->SetHeight(-19);
    EXPECT_EQ(list->ItemHeight(), 21);
    list->SetItemHeight(30); // another value: a new window
    EXPECT_EQ(h.Platform.ListBoxesCreated, 2);
    auto& peer = PeerOf<FakeListBoxPeer>(*list);
    EXPECT_EQ(peer.Items(), (std::vector<std::string>{"uno", "dos", "tres"}));
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(list->ItemHeight(), 21);
    EXPECT_TRUE(peer.Visible());
    list->SetColor(clSkyBlue);
    EXPECT_EQ(peer.BackgroundColor(), static_cast<uint32_t>(clSkyBlue));
}

TEST(ListBoxSearch, TypedLettersSelectTheFirstMatchAndAPauseStartsAfresh) {
    Host h;
    auto* list = h.Add<TListBox>(0, 0, 121, 97);
    for (const char* s : {"Banda azul", "banda roja", "Brillo", "contraste", "Canal", "Ñandú"})
        list->Items()->Add(s);
    uint64_t now = 1000;
    list->SetClock([&now] { return now; });
    auto& peer = PeerOf<FakeListBoxPeer>(*list);
    auto type = [&](char32_t ch, uint64_t after) {
        now += after;
        return peer.Type(ch);
    };

    EXPECT_TRUE(type('b', 0));
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_TRUE(type('R', 100)); // "bR", ignoring case: Brillo
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_FALSE(type(8, 100)); // Backspace: "b" again, and the list box sees the key too
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_TRUE(type('a', 500)); // exactly the delay: still the same search, "ba"
    EXPECT_TRUE(type('n', 10));
    EXPECT_TRUE(type('d', 10));
    EXPECT_TRUE(type('a', 10));
    EXPECT_TRUE(type(' ', 10));
    EXPECT_TRUE(type('r', 10)); // "banda r"
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_TRUE(type('x', 10)); // no item begins with "banda rx": the selection stays
    EXPECT_EQ(list->ItemIndex(), 1);

    EXPECT_TRUE(type('c', 501)); // a longer pause: a new search for "c"
    EXPECT_EQ(list->ItemIndex(), 3);
    EXPECT_TRUE(type('a', 100));
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_FALSE(type(13, 10)); // Enter and Escape are not part of the search
    EXPECT_FALSE(type(27, 10));
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_FALSE(type(8, 10));
    EXPECT_FALSE(type(8, 10)); // the search text is empty: the first item
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_TRUE(type(U'ñ', 1000));
    EXPECT_EQ(list->ItemIndex(), 5);

    list->SetAutoComplete(false);
    EXPECT_FALSE(type('c', 1000));
    EXPECT_EQ(list->ItemIndex(), 5);
}

// ---- Memos ----

TEST(MemoLines, LinesAddedOneByOneEndInABreakAndAreCounted) {
    std::vector<uint8_t> bytes = Book({}, [](TWriter& w) {
        Record(w, "TMemo", "Memo1", [](TWriter& w) {
            Bounds(w, 128, 392, 338, 258);
            Strings(w, "Lines.Strings", kAlbedo);
        });
    });
    Loaded l(bytes);
    TMemo& memo = *l.Form->Memo1;
    ASSERT_TRUE(memo.HandleAllocated());
    EXPECT_EQ(l.Platform.EditsCreated, 1);
    TMemoStrings& lines = *memo.Lines();
    EXPECT_EQ(lines.Count(), 14);
    EXPECT_EQ(lines.Get(5), "Arena húmeda\t20-30");
    std::string text = memo.Text();
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(PeerOf<FakeEditPeer>(memo).LineCount(), 15);
    EXPECT_FALSE(memo.Modified()); // cleared when loading finished
    EXPECT_FALSE(PeerOf<FakeEditPeer>(memo).Params().ReadOnly);
    EXPECT_TRUE(PeerOf<FakeEditPeer>(memo).Params().WordWrap);

    // The user edits; the text on screen changes, and the memo is modified.
    auto& peer = PeerOf<FakeEditPeer>(memo);
    peer.SetSelection(0, 10);
    EXPECT_TRUE(peer.Type("Cubierta"));
    EXPECT_EQ(lines.Get(0), "Cubierta\tAlbedo (%)");
    EXPECT_TRUE(memo.Modified());
}

TEST(MemoLines, InsertDeletePutAndTheBreakRules) {
    Host h;
    auto* memo = h.Add<TMemo>(0, 0, 185, 89);
    TMemoStrings& lines = *memo->Lines();
    memo->SetText("a"); // no final break
    EXPECT_EQ(lines.Count(), 1);
    lines.Add("b"); // past the last line, which is not empty: a break, then the line
    EXPECT_EQ(memo->Text(), "a\r\nb");
    lines.Insert(0, "z");
    EXPECT_EQ(memo->Text(), "z\r\na\r\nb");
    lines.Put(1, "A");
    lines.Delete(0);
    EXPECT_EQ(memo->Text(), "A\r\nb");
    lines.Delete(1);
    EXPECT_EQ(memo->Text(), "A\r\n");
    EXPECT_EQ(lines.Count(), 1);
    lines.Add("c"); // the empty last line is line 1: the line goes before it
    EXPECT_EQ(memo->Text(), "A\r\nc\r\n");
    EXPECT_EQ(memo->SelStart(), 6);
    EXPECT_EQ(ErrorOf([&] { lines.Get(2); }), "List index out of bounds (2)");
    EXPECT_EQ(ErrorOf([&] { lines.Insert(3, "x"); }), "List index out of bounds (3)");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(memo->Text(), "");

    memo->SetText("uno dos");
    memo->SetSelStart(4);
    memo->SetSelLength(3);
    EXPECT_EQ(memo->SelText(), "dos");
    memo->SetSelText("tres");
    EXPECT_EQ(memo->Text(), "uno tres");
    memo->SelectAll();
    memo->CopyToClipboard();
    EXPECT_EQ(PeerOf<FakeEditPeer>(*memo).Clipboard(), "uno tres");
}

TEST(MemoLines, LinesAddedTogetherLeaveWhatAddingThemOneByOneLeaves) {
    Host h;
    auto* together = h.Add<TMemo>(0, 0, 185, 89);
    auto* single = h.Add<TMemo>(0, 100, 185, 89);
    struct Case {
        std::string Before;
        std::vector<std::string> Lines;
        int MaxLength = 0;
    } cases[] = {
        {"", kAlbedo},
        {"", {"", "a", "", "", "b"}},   // empty lines
        {"a", {"b", "", "c", "d"}},     // after a last line with text, until an empty line
        {"a\r\n", {"b", "c"}},          // after a final break
        {"", {"a\nb", "c", "d\r"}},     // breaks inside lines
        {"", {"abc", "def", "ghi"}, 7}, // a length limit
    };
    for (const Case& c : cases) {
        for (TMemo* memo : {together, single}) {
            memo->SetMaxLength(c.MaxLength);
            memo->SetText(c.Before);
        }
        together->Lines()->AddLines(c.Lines);
        for (const std::string& line : c.Lines)
            single->Lines()->Add(line);
        EXPECT_EQ(together->Text(), single->Text()) << c.Before << " + " << c.Lines.size();
        EXPECT_EQ(together->SelStart(), single->SelStart()) << c.Before << " + " << c.Lines.size();
        EXPECT_EQ(together->Lines()->Count(), single->Lines()->Count());
    }
}

TEST(MemoWindow, StyleChangesMakeANewWindowWithTheTextAndKeysFollowTheSettings) {
    Host h;
    h.Form.SetVisible(true);
    auto* memo = h.Add<TMemo>(0, 0, 185, 89);
    memo->Lines()->Add("Nieve\t80");
    memo->SetSelStart(2);
    memo->SetReadOnly(true);
    EXPECT_TRUE(PeerOf<FakeEditPeer>(*memo).ReadOnly());
    EXPECT_FALSE(PeerOf<FakeEditPeer>(*memo).Type("x"));
    memo->SetWordWrap(false);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    EXPECT_EQ(h.Platform.EditsCreated, 3);
    auto& peer = PeerOf<FakeEditPeer>(*memo);
    EXPECT_EQ(memo->Text(), "Nieve\t80\r\n");
    EXPECT_EQ(memo->SelStart(), 2);
    EXPECT_FALSE(peer.Params().WordWrap);
    EXPECT_TRUE(peer.Params().VertScrollBar);
    EXPECT_TRUE(peer.Params().ReadOnly);
    EXPECT_TRUE(peer.Visible());

    // Update brackets switch redrawing only while the window exists.
    memo->Lines()->BeginUpdate();
    memo->Lines()->EndUpdate();
    EXPECT_EQ(peer.RedrawOffCount, 1);
    EXPECT_EQ(peer.RedrawOnCount, 1);

    EXPECT_TRUE(memo->WantsKey(VK_RETURN, 0));
    EXPECT_TRUE(memo->WantsKey(VK_DOWN, 0));
    EXPECT_FALSE(memo->WantsKey(VK_TAB, 0)); // Tab moves the focus on
    memo->SetWantTabs(true);
    EXPECT_TRUE(memo->WantsKey(VK_TAB, 0));
    EXPECT_TRUE(peer.Params().WantTabs);
    memo->SetWantReturns(false);
    EXPECT_FALSE(memo->WantsKey(VK_RETURN, 0));
}

// ---- Rich edits ----

TEST(RichEditFormat, TheFontBecomesTheDefaultFormatInWholePoints) {
    Host h;
    auto* rich = h.Add<TRichEdit>(0, 0, 300, 200);
    rich->HandleNeeded();
    rich->Font()->SetName("Default");
    struct {
        int Height, Twips;
    } sizes[] = {{-11, 160}, {-15, 220}, {-16, 240}, {-19, 280}, {-13, 200}};
    for (auto s : sizes) {
        rich->Font()->SetHeight(s.Height);
        EXPECT_EQ(PeerOf<FakeEditPeer>(*rich).DefaultCharFormat().SizeTwips, s.Twips) << s.Height;
    }
    TCharFormat f = PeerOf<FakeEditPeer>(*rich).DefaultCharFormat();
    EXPECT_EQ(f.FaceName, "Default"); // passed on for the platform to substitute
    EXPECT_TRUE(f.AutoColor);
    // Creating the window set the character set to the system font's.
    EXPECT_EQ(rich->Font()->Charset(), ANSI_CHARSET);
    EXPECT_EQ(f.CharSet, ANSI_CHARSET);

    rich->Font()->SetColor(clNavy);
    rich->Font()->SetStyle((1u << fsBold) | (1u << fsItalic));
    rich->Font()->SetName("Una fuente con un nombre de más de treinta y un caracteres");
    f = PeerOf<FakeEditPeer>(*rich).DefaultCharFormat();
    EXPECT_FALSE(f.AutoColor);
    EXPECT_EQ(f.Color, 0x800000u);
    EXPECT_TRUE(f.Bold && f.Italic && !f.Underline && !f.StrikeOut);
    EXPECT_EQ(f.FaceName, "Una fuente con un nombre de más");
    EXPECT_EQ(TextCodec::Utf16Length(f.FaceName), 31u);

    rich->SetColor(clSkyBlue);
    EXPECT_EQ(PeerOf<FakeEditPeer>(*rich).BackgroundColor(), static_cast<uint32_t>(clSkyBlue));
    EXPECT_FALSE(rich->DoubleBuffered());
}

TEST(RichEditLines, ParagraphsAddedOneByOneAndTheCaretCheck) {
    Host h;
    auto* rich = h.Add<TRichEdit>(0, 0, 300, 200);
    TRichEditStrings& lines = *rich->Lines();
    for (const char* s : {"DATOS", "", "Detección fotográfica y electrónica"})
        lines.Add(s);
    EXPECT_EQ(lines.Count(), 3);
    EXPECT_EQ(PeerOf<FakeEditPeer>(*rich).LineCount(), 4);
    EXPECT_EQ(lines.Get(2), "Detección fotográfica y electrónica");
    EXPECT_EQ(rich->Text(), "DATOS\r\n\r\nDetección fotográfica y electrónica\r\n");
    lines.Insert(1, "línea\r\ncon salto"); // a break inside counts once
    EXPECT_EQ(lines.Count(), 5);
    EXPECT_EQ(lines.Get(2), "con salto");
    EXPECT_EQ(rich->SelStart(), 6 + 16);

    PeerOf<FakeEditPeer>(*rich).CaretSlip = -1;
    EXPECT_EQ(ErrorOf([&] { lines.Add("x"); }), "RichEdit line insertion error");
}

TEST(RichEditWindow, StyleZoomAndReadOnlyReachTheControl) {
    Host h;
    auto* rich = h.Add<TRichEdit>(0, 0, 300, 200);
    rich->SetAlignment(TAlignment::taCenter);
    rich->SetReadOnly(true);
    rich->SetScrollBars(TScrollStyle::ssVertical);
    rich->Lines()->Add("centrado");
    auto& peer = PeerOf<FakeEditPeer>(*rich);
    EXPECT_EQ(peer.Params().Alignment, TNativeAlignment::Center);
    EXPECT_TRUE(peer.Params().ReadOnly);
    EXPECT_TRUE(peer.Params().VertScrollBar);
    EXPECT_TRUE(peer.Params().HideScrollBars); // only when the text is longer than the window
    EXPECT_FALSE(peer.Type("x"));
    EXPECT_EQ(rich->Zoom(), 100);
    rich->SetZoom(100);
    EXPECT_EQ(peer.ZoomCalls, 0); // the value it already has: nothing sent
    rich->SetZoom(150);
    EXPECT_EQ(peer.ZoomCalls, 1);
    EXPECT_EQ(peer.Zoom(), 150);
    // Update brackets switch redrawing only while the control is showing.
    rich->Lines()->BeginUpdate();
    rich->Lines()->EndUpdate();
    EXPECT_EQ(peer.RedrawOffCount, 0);
}

TEST(RichEditWindow, AStyleStoredAfterTheLinesRecreatesTheWindowWithTheTextKept) {
    std::vector<uint8_t> bytes = Book({}, [](TWriter& w) {
        Record(w, "TRichEdit", "RichEdit1", [](TWriter& w) {
            Bounds(w, 10, 10, 400, 300);
            Strings(w, "Lines.Strings", {"Filtrado de la imagen", "Convolución discreta"});
            w.WritePropName("ScrollBars"), w.WriteIdent("ssVertical");
            Int(w, "Zoom", 100);
        });
    });
    Loaded l(bytes);
    TRichEdit& rich = *l.Form->RichEdit1;
    // The window went with the style change; the next one comes when it is needed.
    EXPECT_EQ(l.Platform.RichEditsCreated, 1);
    EXPECT_FALSE(rich.HandleAllocated());
    EXPECT_EQ(rich.Lines()->Count(), 2);
    EXPECT_EQ(l.Platform.RichEditsCreated, 2);
    auto& peer = PeerOf<FakeEditPeer>(rich);
    EXPECT_EQ(rich.Lines()->Get(1), "Convolución discreta");
    EXPECT_TRUE(peer.Params().VertScrollBar);
    EXPECT_FALSE(rich.Modified());
    EXPECT_EQ(peer.ZoomCalls, 0);

    // Outside loading the content, selection and zoom go to the next window.
    rich.SetZoom(120);
    rich.SetSelStart(3);
    rich.SetWordWrap(false);
    EXPECT_EQ(rich.Lines()->Get(0), "Filtrado de la imagen");
    EXPECT_EQ(l.Platform.RichEditsCreated, 3);
    EXPECT_EQ(rich.SelStart(), 3);
    EXPECT_EQ(rich.Zoom(), 120);
}
