// The main form's tables and its one handler.
#include "app/TForm1.h"

#include <string>

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    LoadFromDefinition();
}

void TForm1::PageControl1Change(TObject*) {
    // A definition may lack either component, or the page control may have no page on view.
    if (!PageControl1 || !StatusBar1 || !PageControl1->ActivePage()) return;
    // std::to_string sizes its own buffer, so positions of any length fit.
    StatusBar1->SetSimpleText("Page index: " + std::to_string(PageControl1->ActivePage()->PageIndex()));
}

static std::span<const TFieldInfo> Form1Fields() {
    static const TFieldInfo fields[] = {
#define ORV_FIELD(Class, Name)                                                                               \
    {#Name, &Class::ClassInfo, [](TComponent& owner, TComponent* value) {                                    \
         static_cast<TForm1&>(owner).Name = static_cast<Class*>(value);                                      \
     }},
#include "app/Form1Fields.inc"
#undef ORV_FIELD
    };
    return fields;
}

static std::span<const TMethodInfo> Form1Methods() {
    static const TMethodInfo methods[] = {
        {"PageControl1Change",
         [](TObject* self, TObject* sender) { static_cast<TForm1*>(self)->PageControl1Change(sender); }},
    };
    return methods;
}

const TClassInfo TForm1::ClassInfo{"TForm1", &TForm::ClassInfo, nullptr, nullptr, Form1Fields, Form1Methods};
