// Form defaults, the form's stored properties and the loading of its definition.
#include "app/TCustomForm.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TReader.h"

namespace {
constexpr std::string_view kPosition[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                          "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                          "poMainFormCenter",  "poOwnerFormCenter"};
constexpr std::string_view kFormBorderStyle[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                 "bsDialog", "bsToolWindow", "bsSizeToolWin"};
constexpr std::string_view kBorderIcon[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
constexpr std::string_view kWindowState[] = {"wsNormal", "wsMinimized", "wsMaximized"};
constexpr std::string_view kFormStyle[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
constexpr std::string_view kDefaultMonitor[] = {"dmDesktop", "dmPrimary", "dmMainForm", "dmActiveForm"};

using enum TTypeKind;
const TTypeInfo TypeInfo_TPosition{"TPosition", tkEnumeration, kPosition};
const TTypeInfo TypeInfo_TFormBorderStyle{"TFormBorderStyle", tkEnumeration, kFormBorderStyle};
const TTypeInfo TypeInfo_TBorderIcon{"TBorderIcon", tkEnumeration, kBorderIcon};
const TTypeInfo TypeInfo_TBorderIcons{"TBorderIcons", tkSet, {}, &TypeInfo_TBorderIcon};
const TTypeInfo TypeInfo_TWindowState{"TWindowState", tkEnumeration, kWindowState};
const TTypeInfo TypeInfo_TFormStyle{"TFormStyle", tkEnumeration, kFormStyle};
const TTypeInfo TypeInfo_TDefaultMonitor{"TDefaultMonitor", tkEnumeration, kDefaultMonitor};
} // namespace

TCustomForm::TCustomForm(TComponent* owner)
    : TScrollingWinControl(owner), FPixelsPerInch(DefFontData().PixelsPerInch),
      FIcon(std::make_unique<TIcon>()) {
    SetBounds(0, 0, 320, 240);
    SetColor(clBtnFace);
    FParentFont = false;
    FParentColor = false;
    SetVisible(false);
    RegisterRoot(this);
}

TCustomForm::~TCustomForm() {
    UnregisterRoot(this);
}

int TCustomForm::PixelsPerInch() const {
    return FScaled ? FPixelsPerInch : DefFontData().PixelsPerInch;
}

void TCustomForm::SetPixelsPerInch(int v) {
    if (v != FPixelsPerInch && v > 35) FPixelsPerInch = v;
}

// While the form is being created, Visible only records the wish; it is acted on after loading.
void TCustomForm::SetVisible(bool v) {
    if (FFormState & fsCreating) {
        if (v)
            FFormState |= fsVisible;
        else
            FFormState &= ~fsVisible;
        return;
    }
    TScrollingWinControl::SetVisible(v);
}

void TCustomForm::DeclareProperties(TFiler& filer) {
    TScrollingWinControl::DeclareProperties(filer);
    filer.DefineProperty(
        "TextHeight", [this](TReader& r) { FTextHeight = r.ReadInteger(); }, true);
}

void TCustomForm::ReadEntry(TReader& reader) {
    if (ClassType().Parent == &TForm::ClassInfo) FOldCreateOrder = false;
    DisableAlign();
    try {
        TScrollingWinControl::ReadEntry(reader);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TCustomForm::LoadFromDefinition() {
    FFormState |= fsCreating;
    DisableAlign();
    try {
        if (!InitInheritedComponent(this, TForm::ClassInfo))
            throw EResNotFound(Format(SConsts::SResNotFound, {ClassName()}));
    } catch (...) {
        EnableAlign();
        FFormState &= ~fsCreating;
        throw;
    }
    EnableAlign();
    FFormState &= ~fsCreating;
    if (FOldCreateOrder && (FFormState & fsVisible)) SetVisible(true);
}

static TPersistent* GetIcon(const TCustomForm& f) {
    return f.Icon();
}

static std::span<const TPropInfo> ScrollingProperties() {
    using C = TScrollingWinControl;
    static const TPropInfo props[] = {
        OrdProp<C, &C::AutoScroll, &C::SetAutoScroll>("AutoScroll", TypeInfo_Boolean),
    };
    return props;
}

static std::span<const TPropInfo> FormProperties() {
    using C = TCustomForm;
    static const TPropInfo props[] = {
        OrdProp<C, &C::BorderIcons, &C::SetBorderIcons>("BorderIcons", TypeInfo_TBorderIcons),
        OrdProp<C, &C::BorderStyle, &C::SetBorderStyle>("BorderStyle", TypeInfo_TFormBorderStyle),
        StrProp<TControl, &TControl::Caption, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::DefaultMonitor, &C::SetDefaultMonitor>("DefaultMonitor", TypeInfo_TDefaultMonitor),
        OrdProp<C, &C::FormStyle, &C::SetFormStyle>("FormStyle", TypeInfo_TFormStyle),
        ObjProp<C, &GetIcon, &C::SetIcon>("Icon"),
        OrdProp<C, &C::OldCreateOrder, &C::SetOldCreateOrder>("OldCreateOrder", TypeInfo_Boolean),
        OrdProp<C, &C::PixelsPerInch, &C::SetPixelsPerInch>("PixelsPerInch", TypeInfo_Integer),
        OrdProp<C, &C::Position, &C::SetPosition>("Position", TypeInfo_TPosition),
        OrdProp<C, &C::Scaled, &C::SetScaled>("Scaled", TypeInfo_Boolean),
        OrdProp<C, &C::WindowState, &C::SetWindowState>("WindowState", TypeInfo_TWindowState),
    };
    return props;
}

const TClassInfo TScrollingWinControl::ClassInfo{"TScrollingWinControl", &TWinControl::ClassInfo,
                                                 ScrollingProperties};
const TClassInfo TCustomForm::ClassInfo{"TCustomForm", &TScrollingWinControl::ClassInfo, FormProperties};
const TClassInfo TForm::ClassInfo{"TForm", &TCustomForm::ClassInfo};
