// The course's main form: a field for every component of its definition and the page-change handler.
#pragma once

#include "app/TCustomForm.h"
#include "app/TStatusBar.h"
#include "controls/TImage.h"
#include "controls/TLabel.h"
#include "controls/TListBox.h"
#include "controls/TMemo.h"
#include "controls/TPageControl.h"
#include "controls/TRichEdit.h"
#include "controls/TStaticText.h"

class TForm1 : public TForm {
    ORV_CLASS(TForm1)
public:
    // Creating the form loads its definition; a definition that cannot be read raises.
    explicit TForm1(TComponent* owner);

    void PageControl1Change(TObject* sender);

#define ORV_FIELD(Class, Name) Class* Name = nullptr;
#include "app/Form1Fields.inc"
#undef ORV_FIELD
};
