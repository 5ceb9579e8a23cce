// Loading definitions into components: creation by class, naming, property assignment by kind,
// references, handlers, collections, the finishing order and the clean-up after a failure.
#include "stream/Loader.h"
#include "app/ErrorText.h"
#include "app/TForm1.h"
#include "content/IconArt.h"
#include "controls/TImage.h"
#include "controls/TMenuItem.h"
#include "graphics/TBitmap.h"
#include "graphics/TPicture.h"
#include "stream/Exceptions.h"
#include "stream/ResourceTable.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---- A small root class with its own field and method tables, and probes that record what happens ----

std::vector<std::string> gFinished;
int gLiveProbes = 0;

constexpr std::string_view kWideEnum[] = {"e0",  "e1",  "e2",  "e3",  "e4",  "e5",  "e6",  "e7",  "e8",
                                          "e9",  "e10", "e11", "e12", "e13", "e14", "e15", "e16", "e17",
                                          "e18", "e19", "e20", "e21", "e22", "e23", "e24", "e25", "e26",
                                          "e27", "e28", "e29", "e30", "e31", "e32", "e33"};
const TTypeInfo TypeInfo_Wide{"TWide", TTypeKind::tkEnumeration, kWideEnum};
const TTypeInfo TypeInfo_WideSet{"TWideSet", TTypeKind::tkSet, {}, &TypeInfo_Wide};

class TProbe : public TComponent {
    ORV_CLASS(TProbe)
public:
    explicit TProbe(TComponent* owner) : TComponent(owner) { ++gLiveProbes; }
    ~TProbe() override { --gLiveProbes; }
    void FinishLoading() override {
        TComponent::FinishLoading();
        gFinished.push_back(Name());
    }
    int Number() const { return FNumber; }
    void SetNumber(int v) { FNumber = v; }
    TSetBits Bits() const { return FBits; }
    void SetBits(TSetBits v) { FBits = v; }
    int Fixed() const { return 7; }
    TProbe* Buddy() const { return FBuddy; }
    void SetBuddy(TProbe* v) { FBuddy = v; }
    TNotifyEvent OnPing() const { return FOnPing; }
    void SetOnPing(TNotifyEvent v) { FOnPing = v; }
    TFont* Font() const { return FFont.get(); }
    // Setters that fail the way the standard library does when memory runs out.
    int Zero() const { return 0; }
    void SetGreedy(int) { throw std::bad_alloc(); }
    void SetHuge(int) { throw std::length_error("vector::_M_default_append"); }

    int FNumber = 0;
    TSetBits FBits = 0;
    TProbe* FBuddy = reinterpret_cast<TProbe*>(1); // distinguishes "set to nothing" from "never set"
    TNotifyEvent FOnPing;
    std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
};

TPersistent* ProbeFont(const TProbe& p) {
    return p.Font();
}

std::span<const TPropInfo> ProbeProperties() {
    using C = TProbe;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetNumber>("Number", TypeInfo_Integer),
        OrdProp<C, &C::SetBits>("Bits", TypeInfo_WideSet),
        OrdProp<C, nullptr>("Fixed", TypeInfo_Integer),
        ObjProp<C, &C::Buddy, &C::SetBuddy>("Buddy"),
        EventProp<C, &C::SetOnPing>("OnPing"),
        ObjProp<C, &ProbeFont, nullptr>("Font"),
        OrdProp<C, &C::SetGreedy>("Greedy", TypeInfo_Integer),
        OrdProp<C, &C::SetHuge>("Huge", TypeInfo_Integer),
    };
    return props;
}

class TTestRoot : public TComponent {
    ORV_CLASS(TTestRoot)
public:
    using TComponent::TComponent;
    void FinishLoading() override {
        TComponent::FinishLoading();
        gFinished.push_back(Name());
    }
    void Ping(TObject* sender) { LastSender = sender; }
    TProbe* P1 = nullptr;
    TObject* LastSender = nullptr;
};

const TClassInfo TProbe::ClassInfo{"TProbe", &TComponent::ClassInfo, ProbeProperties,
                                   [](TComponent* o) -> TComponent* { return new TProbe(o); }};

std::span<const TFieldInfo> RootFields() {
    static const TFieldInfo fields[] = {
        {"P1", &TProbe::ClassInfo,
         [](TComponent& o, TComponent* v) { static_cast<TTestRoot&>(o).P1 = static_cast<TProbe*>(v); }},
    };
    return fields;
}

std::span<const TMethodInfo> RootMethods() {
    static const TMethodInfo methods[] = {
        {"Ping", [](TObject* self, TObject* sender) { static_cast<TTestRoot*>(self)->Ping(sender); }},
    };
    return methods;
}

const TClassInfo TTestRoot::ClassInfo{"TTestRoot", &TComponent::ClassInfo, nullptr, nullptr, RootFields,
                                      RootMethods};

// Writes "TPF0", the root header, then whatever body writes, then the two end markers.
std::vector<uint8_t> RootStream(std::string_view rootClass, std::string_view rootName,
                                const std::function<void(TWriter&)>& body) {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader(rootClass, rootName);
    body(w);
    return w.TakeBytes();
}

std::string LoadError(const std::vector<uint8_t>& bytes, TTestRoot& root) {
    TCustomMemoryStream stream(bytes);
    TReader reader(stream);
    try {
        reader.ReadRootComponent(&root);
    } catch (const std::exception& e) {
        return ErrorDisplayText(e);
    }
    return "ok";
}

// ---- TForm1 loading through the resource table ----

struct FormDefinition {
    std::vector<uint8_t> Bytes;
    explicit FormDefinition(std::vector<uint8_t> bytes) : Bytes(std::move(bytes)) {
        Resources::Register(Resources::RT_RCDATA, "TFORM1", Bytes);
    }
    ~FormDefinition() { Resources::Unregister(Resources::RT_RCDATA, "TFORM1"); }
};

std::string CreateFormError() {
    try {
        TForm1 form(nullptr);
    } catch (const std::exception& e) {
        return ErrorDisplayText(e);
    }
    return "ok";
}

// A small form: two sheets on a page control, a label and a list box on the first, the status bar.
std::vector<uint8_t> SmallForm(const std::function<void(TWriter&)>& extraLabelProps = {}) {
    return RootStream("TForm1", "Form1", [&](TWriter& w) {
        w.WritePropName("Caption");
        w.WriteString("Orvanta Software por Quillon");
        w.WritePropName("Color");
        w.WriteIdent("clBtnFace");
        w.WritePropName("Visible");
        w.WriteBoolean(true);
        w.WritePropName("TextHeight");
        w.WriteInteger(13);
        w.WriteListEnd();
        w.WriteComponentHeader("TPageControl", "PageControl1");
        w.WritePropName("ActivePage");
        w.WriteIdent("TabSheet1");
        w.WritePropName("OnChange");
        w.WriteIdent("PageControl1Change");
        w.WriteListEnd();
        for (const char* sheet : {"TabSheet1", "TabSheet2"}) {
            w.WriteComponentHeader("TTabSheet", sheet);
            w.WritePropName("Caption");
            w.WriteString(sheet);
            w.WriteListEnd();
            if (std::string(sheet) == "TabSheet1") {
                w.WriteComponentHeader("TLabel", "Label3");
                w.WritePropName("Font.Name");
                w.WriteString("Arial");
                w.WritePropName("ParentFont");
                w.WriteBoolean(false);
                if (extraLabelProps) extraLabelProps(w);
                w.WriteListEnd();
                w.WriteListEnd();
                w.WriteComponentHeader("TListBox", "ListBox1");
                w.WritePropName("Items.Strings");
                w.WriteListBegin();
                w.WriteString("uno");
                w.WriteStringAs(TValueType::vaWString, "");
                w.WriteString("canción");
                w.WriteListEnd();
                w.WriteListEnd();
                w.WriteListEnd();
            }
            w.WriteListEnd();
        }
        w.WriteListEnd();
        w.WriteComponentHeader("TStatusBar", "StatusBar1");
        w.WritePropName("SimplePanel");
        w.WriteBoolean(true);
        w.WritePropName("SimpleText");
        w.WriteString("Page index: 0");
        w.WritePropName("Panels");
        w.WriteCollectionBegin();
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
}

} // namespace

TEST(LoaderForm, BuildsTheTreeBindsFieldsReferencesAndHandler) {
    FormDefinition def(SmallForm());
    TForm1 form(nullptr);
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.ComponentCount(), 6);
    ASSERT_NE(form.PageControl1, nullptr);
    ASSERT_NE(form.TabSheet1, nullptr);
    ASSERT_NE(form.StatusBar1, nullptr);
    ASSERT_NE(form.Label3, nullptr);
    EXPECT_EQ(form.TabSheet1->Parent(), form.PageControl1);
    EXPECT_EQ(form.Label3->Parent(), form.TabSheet1);
    EXPECT_EQ(form.Label3->Owner(), &form);
    EXPECT_EQ(form.PageControl1->ActivePage(), form.TabSheet1);
    EXPECT_EQ(form.PageControl1->PageCount(), 2);
    EXPECT_EQ(form.Caption(), "Orvanta Software por Quillon");
    EXPECT_EQ(form.TextHeight(), 13);
    EXPECT_EQ(form.Label3->Font()->Name(), "Arial");
    EXPECT_FALSE(form.Label3->ParentFont());
    ASSERT_NE(form.ListBox1, nullptr);
    auto* items = form.ListBox1->Items();
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->Get(1), "");
    EXPECT_EQ(items->Get(2), "canción");
    EXPECT_EQ(form.StatusBar1->SimpleText(), "Page index: 0");
    // The bound handler runs on the form with the page control as sender.
    TNotifyEvent change = form.PageControl1->OnChange();
    ASSERT_TRUE(change);
    form.PageControl1->SetActivePage(form.Imag2 ? form.Imag2 : form.TabSheet2);
    change(form.PageControl1);
    EXPECT_EQ(form.StatusBar1->SimpleText(), "Page index: 1");
}

TEST(LoaderForm, MissingDefinitionAndFailedLoadsAreReported) {
    EXPECT_EQ(CreateFormError(), "Resource TForm1 not found.");
    {
        FormDefinition def(SmallForm([](TWriter& w) {
            w.WritePropName("Colour");
            w.WriteInteger(1);
        }));
        EXPECT_EQ(CreateFormError(), "Error reading Label3.Colour: Property Colour does not exist.");
    }
    {
        FormDefinition def(SmallForm([](TWriter& w) {
            w.WritePropName("Font.Color");
            w.WriteIdent("clChartreuse");
        }));
        EXPECT_EQ(CreateFormError(), "Error reading Label3.Font.Color: Invalid property value.");
    }
    {
        FormDefinition def(SmallForm([](TWriter& w) {
            w.WritePropName("Caption.Text");
            w.WriteString("x");
        }));
        EXPECT_EQ(CreateFormError(), "Error reading Label3.Caption.Text: Invalid property path.");
    }
    {
        auto bytes = SmallForm();
        bytes.resize(bytes.size() - 3);
        FormDefinition def(bytes);
        EXPECT_EQ(CreateFormError(), "Stream read error.");
    }
    {
        auto bytes = SmallForm();
        bytes[0] = 'X';
        FormDefinition def(bytes);
        EXPECT_EQ(CreateFormError(), "Invalid stream format.");
    }
}

TEST(LoaderForm, DefinitionsTooShortForASignatureAreReadErrors) {
    const std::vector<uint8_t> full = SmallForm();
    for (size_t n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        FormDefinition def(std::vector<uint8_t>(full.begin(), full.begin() + static_cast<ptrdiff_t>(n)));
        EXPECT_EQ(CreateFormError(), "Stream read error.");
    }
    auto bytes = SmallForm();
    bytes.resize(4);
    bytes[3] = '1';
    FormDefinition def(bytes);
    EXPECT_EQ(CreateFormError(), "Invalid stream format.");
}

TEST(LoaderForm, MenuItemsAndPlainComponentsAreCreatedFromTheRegistry) {
    FormDefinition def(RootStream("TForm1", "Form1", [](TWriter& w) {
        w.WriteListEnd();
        w.WriteComponentHeader("TMenuItem", "Archivo1");
        w.WritePropName("Caption");
        w.WriteString("&Archivo");
        w.WriteListEnd();
        w.WriteComponentHeader("tmenuitem", "Salir1");
        w.WritePropName("Caption");
        w.WriteString("Salir");
        w.WritePropName("ShortCut");
        w.WriteInteger(16465);
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteComponentHeader("TComponent", "Holder1");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    }));
    TForm1 form(nullptr);
    auto* file = dynamic_cast<TMenuItem*>(form.FindComponent("Archivo1"));
    auto* quit = dynamic_cast<TMenuItem*>(form.FindComponent("Salir1"));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(file->Caption(), "&Archivo");
    EXPECT_EQ(quit->ShortCut(), 16465);
    ASSERT_EQ(file->Count(), 1);
    EXPECT_EQ(file->Items(0), quit);
    EXPECT_EQ(quit->Owner(), &form);
    TComponent* holder = form.FindComponent("Holder1");
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(holder->ClassName(), "TComponent");

    // Only the menu item and its ancestors below TPersistent are registered.
    FormDefinition other(RootStream("TForm1", "Form1", [](TWriter& w) {
        w.WriteListEnd();
        w.WriteComponentHeader("TPersistent", "P1");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    }));
    EXPECT_EQ(CreateFormError(), "Class TPersistent not found.");
}

TEST(LoaderForm, NamesMatchWithoutRegardToCase) {
    FormDefinition def(SmallForm([](TWriter& w) {
        w.WritePropName("font.height");
        w.WriteInteger(-16);
        w.WritePropName("FONT.COLOR");
        w.WriteIdent("CLBLUE");
        w.WritePropName("font.style");
        w.WriteSet({"FSBOLD"});
        w.WritePropName("alignment");
        w.WriteIdent("TACENTER");
    }));
    TForm1 form(nullptr);
    EXPECT_EQ(form.Label3->Font()->Height(), -16);
    EXPECT_EQ(form.Label3->Font()->Color(), clBlue);
    EXPECT_EQ(form.Label3->Font()->Style(), 1u << fsBold);
    EXPECT_EQ(form.Label3->Alignment(), TAlignment::taCenter);
}

TEST(LoaderForm, MissingActivePageIsSetToNothing) {
    auto bytes = SmallForm();
    std::string needle = "TabSheet1";
    auto it = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
    ASSERT_NE(it, bytes.end());
    *(it + 8) = '9'; // ActivePage now names TabSheet9
    FormDefinition def(bytes);
    TForm1 form(nullptr);
    EXPECT_EQ(form.PageControl1->ActivePage(), nullptr);
}

TEST(LoaderForm, SecondFormOfTheSameNameGetsASuffix) {
    FormDefinition def(SmallForm());
    TForm1 first(nullptr);
    TForm1 second(nullptr);
    TForm1 third(nullptr);
    EXPECT_EQ(first.Name(), "Form1");
    EXPECT_EQ(second.Name(), "Form1_1");
    EXPECT_EQ(third.Name(), "Form1_2");
}

TEST(LoaderOrder, FinishLoadingRunsRootFirstThenInReadingOrder) {
    gFinished.clear();
    auto bytes = RootStream("TTestRoot", "Root", [](TWriter& w) {
        w.WriteListEnd();
        w.WriteComponentHeader("TProbe", "P1");
        w.WritePropName("Buddy");
        w.WriteIdent("P3");
        w.WriteListEnd();
        w.WriteComponentHeader("TProbe", "P2");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd(); // end of P1's children
        w.WriteComponentHeader("TProbe", "P3");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
    TTestRoot root(nullptr);
    EXPECT_EQ(LoadError(bytes, root), "ok");
    EXPECT_EQ(gFinished, (std::vector<std::string>{"Root", "P2", "P1", "P3"}));
    ASSERT_NE(root.P1, nullptr);
    // P3 is read after P1's reference to it: references resolve once the whole tree exists.
    EXPECT_EQ(root.P1->Buddy(), root.FindComponent("p3"));
}

TEST(LoaderOrder, TheInnermostFinishWatchIsToldOfEachFinishBeforeItRuns) {
    auto bytes = RootStream("TTestRoot", "Root", [](TWriter& w) {
        w.WriteListEnd();
        w.WriteComponentHeader("TProbe", "P1");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
    std::vector<std::string> outer, inner;
    TFinishLoadingWatch outerWatch([&](TComponent* c) { outer.push_back(c->Name()); });
    {
        gFinished.clear();
        TFinishLoadingWatch innerWatch([&](TComponent* c) {
            EXPECT_EQ(gFinished.size(), inner.size()) << c->Name(); // not finished yet
            inner.push_back(c->Name());
        });
        TTestRoot root(nullptr);
        EXPECT_EQ(LoadError(bytes, root), "ok");
    }
    EXPECT_EQ(inner, (std::vector<std::string>{"Root", "P1"}));
    EXPECT_TRUE(outer.empty());
    TTestRoot again(nullptr);
    EXPECT_EQ(LoadError(bytes, again), "ok");
    EXPECT_EQ(outer, (std::vector<std::string>{"Root", "P1"}));
}

TEST(LoaderValues, AssignmentByKind) {
    auto bytes = RootStream("TTestRoot", "Root", [](TWriter& w) {
        w.WriteListEnd();
        w.WriteComponentHeader("TProbe", "P1");
        w.WritePropName("Number");
        w.WriteIntegerAs(TValueType::vaInt32, -5);
        w.WritePropName("Bits");
        w.WriteSet({"e1", "E33", "e31"}); // e33 lies beyond bit 31 and is dropped
        w.WritePropName("OnPing");
        w.WriteIdent("ping");
        w.WritePropName("Buddy");
        w.WriteIdent("nil");
        w.WritePropName("Font.Charset");
        w.WriteIdent("symbol_charset");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
    TTestRoot root(nullptr);
    ASSERT_EQ(LoadError(bytes, root), "ok");
    EXPECT_EQ(root.P1->Number(), -5);
    EXPECT_EQ(root.P1->Bits(), (1u << 1) | (1u << 31));
    EXPECT_EQ(root.P1->Buddy(), nullptr);
    EXPECT_EQ(root.P1->Font()->Charset(), SYMBOL_CHARSET);
    root.P1->OnPing()(root.P1);
    EXPECT_EQ(root.LastSender, root.P1);
}

TEST(LoaderValues, EveryFailureHasItsMessage) {
    struct Case {
        const char* Label;
        std::function<void(TWriter&)> Props;
        std::string Expected;
    };
    const Case cases[] = {
        {"read-only", [](TWriter& w) { w.WritePropName("Fixed"), w.WriteInteger(1); },
         "Error reading P1.Fixed: Property is read-only."},
        {"unknown set element",
         [](TWriter& w) {
             w.WritePropName("Bits"), w.WriteSet({"e1", "nope", "e2"});
         },
         "Error reading P1.Bits: Invalid property value."},
        {"set from a non-set", [](TWriter& w) { w.WritePropName("Bits"), w.WriteInteger(3); },
         "Error reading P1.Bits: Invalid property value."},
        {"unknown handler", [](TWriter& w) { w.WritePropName("OnPing"), w.WriteIdent("Pong"); },
         "Error reading P1.OnPing: Invalid property value."},
        {"text for an integer", [](TWriter& w) { w.WritePropName("Number"), w.WriteString("12"); },
         "Error reading P1.Number: Invalid property value."},
        {"tag beyond the table",
         [](TWriter& w) { w.WritePropName("Number"), w.WriteRaw(std::vector<uint8_t>{22}); },
         "Error reading P1.Number: Invalid property value."},
        {"unknown path head", [](TWriter& w) { w.WritePropName("Paint.Color"), w.WriteInteger(1); },
         "Error reading P1.Paint.Color: Property Paint.Color does not exist."},
        {"identifier for a plain integer",
         [](TWriter& w) { w.WritePropName("Number"), w.WriteIdent("clRed"); },
         "Error reading P1.Number: Invalid property value."},
        // A path ending in "." names nothing: its value is skipped and the empty name reported.
        {"empty last segment",
         [](TWriter& w) {
             w.WritePropName("Font."), w.WriteInteger(5);
             w.WritePropName("Number"), w.WriteInteger(3);
         },
         "Error reading P1.Font.: Property  does not exist."},
        {"empty last segment without a value",
         [](TWriter& w) {
             w.WritePropName("Font.");
             w.WritePropName("Number"), w.WriteInteger(3);
         },
         "Error reading P1.Font.: Stream read error."},
        {"memory refused", [](TWriter& w) { w.WritePropName("Greedy"), w.WriteInteger(1); },
         "Error reading P1.Greedy: Out of system resources."},
        {"size beyond a container", [](TWriter& w) { w.WritePropName("Huge"), w.WriteInteger(1); },
         "Error reading P1.Huge: Out of system resources."},
    };
    // Outside a property too, the error box never shows a library's name for running out of memory.
    EXPECT_EQ(ErrorDisplayText(std::bad_alloc()), "Out of system resources.");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        auto bytes = RootStream("TTestRoot", "Root", [&](TWriter& w) {
            w.WriteListEnd();
            w.WriteComponentHeader("TProbe", "P1");
            c.Props(w);
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteListEnd();
        });
        TTestRoot root(nullptr);
        EXPECT_EQ(LoadError(bytes, root), c.Expected);
    }
}

TEST(LoaderComponents, CreationAndNamingFailuresAreNotWrapped) {
    struct Case {
        const char* Class;
        const char* Name;
        std::string Expected;
    };
    const Case cases[] = {
        {"TGadget", "G1", "Class TGadget not found."},
        {"TProbe", "1st", "''1st'' is not a valid component name."},
        {"TProbe", "p1", "A component named p1 already exists."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Class);
        gLiveProbes = 0;
        auto bytes = RootStream("TTestRoot", "Root", [&](TWriter& w) {
            w.WriteListEnd();
            w.WriteComponentHeader("TProbe", "P1");
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteComponentHeader(c.Class, c.Name);
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteListEnd();
        });
        {
            TTestRoot root(nullptr);
            EXPECT_EQ(LoadError(bytes, root), c.Expected);
            // The failing record's component is already gone; the root still owns the earlier one.
            EXPECT_EQ(root.ComponentCount(), 1);
        }
        EXPECT_EQ(gLiveProbes, 0);
    }
}

TEST(LoaderComponents, FailureInsideANestedRecordFreesWhatThatRecordCreated) {
    gLiveProbes = 0;
    auto bytes = RootStream("TTestRoot", "Root", [](TWriter& w) {
        w.WriteListEnd();
        w.WriteComponentHeader("TProbe", "Outer");
        w.WriteListEnd();
        w.WriteComponentHeader("TProbe", "Inner");
        w.WritePropName("Number");
        w.WriteString("bad");
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
        w.WriteListEnd();
    });
    TTestRoot root(nullptr);
    EXPECT_EQ(LoadError(bytes, root), "Error reading Inner.Number: Invalid property value.");
    EXPECT_EQ(root.ComponentCount(), 0);
    EXPECT_EQ(gLiveProbes, 0);
}

TEST(LoaderCollections, ItemsAreReadAndItemErrorsWrappedTwice) {
    auto panels = [](const std::function<void(TWriter&)>& item) {
        return RootStream("TForm1", "Form1", [&](TWriter& w) {
            w.WriteListEnd();
            w.WriteComponentHeader("TStatusBar", "StatusBar1");
            w.WritePropName("Panels");
            w.WriteCollectionBegin();
            w.WriteListBegin();
            w.WritePropName("Width");
            w.WriteInteger(120);
            w.WriteListEnd();
            w.WriteInteger(7); // a stored index, read and ignored
            w.WriteListBegin();
            item(w);
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteListEnd();
        });
    };
    {
        FormDefinition def(panels([](TWriter& w) {
            w.WritePropName("Text");
            w.WriteString("listo");
        }));
        TForm1 form(nullptr);
        ASSERT_EQ(form.StatusBar1->Panels()->Count(), 2);
        EXPECT_EQ(static_cast<TStatusPanel*>(form.StatusBar1->Panels()->Items(0))->Width(), 120);
        EXPECT_EQ(static_cast<TStatusPanel*>(form.StatusBar1->Panels()->Items(1))->Text(), "listo");
    }
    {
        FormDefinition def(panels([](TWriter& w) {
            w.WritePropName("Bevel");
            w.WriteIdent("pbSideways");
        }));
        EXPECT_EQ(
            CreateFormError(),
            "Error reading StatusBar1.Panels: Error reading TStatusPanel.Bevel: Invalid property value.");
    }
}

TEST(LoaderBinary, DeclaredBinaryPropertiesGetExactlyTheirBytes) {
    auto form = [](const std::function<void(TWriter&)>& data) {
        return RootStream("TForm1", "Form1", [&](TWriter& w) {
            w.WritePropName("Icon.Data");
            data(w);
            w.WriteListEnd();
            w.WriteListEnd();
        });
    };
    {
        std::vector<uint8_t> icon = FormIconFile();
        FormDefinition def(form([&](TWriter& w) { w.WriteBinary(icon); }));
        TForm1 f(nullptr);
        EXPECT_EQ(f.Icon()->FileBytes(), icon);
    }
    {
        FormDefinition def(form([](TWriter& w) { w.WriteString("not binary"); }));
        EXPECT_EQ(CreateFormError(), "Error reading Form1.Icon.Data: Invalid property value.");
    }
    {
        // A length far beyond the stream fails before anything of that size is allocated.
        FormDefinition def(form([](TWriter& w) {
            w.WriteValue(TValueType::vaBinary);
            w.WriteRaw(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F});
        }));
        EXPECT_EQ(CreateFormError(), "Error reading Form1.Icon.Data: Stream read error.");
    }
}

TEST(LoaderBinary, PicturesOfALastingDefinitionReferToItAndKeepItAlive) {
    // Picture data: the tag, the 4-byte length, then a 1 x 1 bitmap of 24 bits (file header, 40-byte
    // info header, one padded row of blue, green, red).
    std::vector<uint8_t> data(12 + 58, 0);
    const uint8_t head[] = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 58, 0, 0, 0, 'B', 'M', 58};
    const uint8_t info[] = {54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24};
    const uint8_t row[] = {0x10, 0x20, 0x30};
    std::copy(std::begin(head), std::end(head), data.begin());
    std::copy(std::begin(info), std::end(info), data.begin() + 12 + 10);
    std::copy(std::begin(row), std::end(row), data.begin() + 12 + 54);
    auto definition =
        std::make_shared<const std::vector<uint8_t>>(RootStream("TForm1", "Form1", [&](TWriter& w) {
            w.WriteListEnd();
            w.WriteComponentHeader("TImage", "Image1");
            w.WritePropName("Picture.Data");
            w.WriteBinary(data);
            w.WriteListEnd();
            w.WriteListEnd();
            w.WriteListEnd();
        }));
    std::weak_ptr<const void> kept = definition;
    Resources::Register(Resources::RT_RCDATA, "TFORM1", TByteView{std::span(*definition), definition, true});
    auto form = std::make_unique<TForm1>(nullptr);
    Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
    const uint8_t* stored = definition->data() + definition->size() - 7; // before the three end markers
    definition.reset();

    auto* image = dynamic_cast<TImage*>(form->FindComponent("Image1"));
    ASSERT_NE(image, nullptr);
    const TBitmap* bitmap = image->Picture()->Graphic()->DecodedBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bits().data(), stored);
    EXPECT_EQ(bitmap->ToBGRA(), std::vector<uint32_t>{0xFF302010u});
    EXPECT_FALSE(kept.expired());
    form.reset();
    EXPECT_TRUE(kept.expired());
}
