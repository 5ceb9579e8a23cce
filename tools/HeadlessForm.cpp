// Loading a definition for drawing into memory.
#include "tools/HeadlessForm.h"

#include "app/TApplication.h"
#include "platform/qt/QtPlatform.h"
#include "stream/Exceptions.h"
#include "stream/ResourceTable.h"
#include "tools/MappedFile.h"

#include <QCoreApplication>

#include <cstdlib>

THeadlessForm::THeadlessForm(const std::optional<std::string>& definitionPath, int scale) {
    std::optional<TByteView> bytes;
    if (definitionPath) {
        bytes = MapFile(*definitionPath);
        if (!bytes) throw Exception("cannot open '" + *definitionPath + "'");
    }
    // No display is needed: Qt draws into memory unless told otherwise.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Qt reads the scale once, when the application object is made.
    if (scale > 1) setenv("QT_SCALE_FACTOR", std::to_string(scale).c_str(), 1);

    FPlatform = CreateQtPlatform("orvanta-form");
    TPlatform::SetCurrent(FPlatform.get());
    if (bytes) {
        Resources::Register(Resources::RT_RCDATA, "TFORM1", std::move(*bytes));
        FRegistered = true;
    }
    FApplication = std::make_unique<TApplication>("orvanta");
    Application = FApplication.get();
    try {
        FApplication->CreateForm(FForm);
    } catch (...) {
        // No destructor runs for an object whose construction failed.
        Close();
        throw;
    }
}

THeadlessForm::~THeadlessForm() {
    Close();
}

void THeadlessForm::Close() {
    delete FForm;
    FForm = nullptr;
    Application = nullptr;
    FApplication.reset();
    if (FRegistered) Resources::Unregister(Resources::RT_RCDATA, "TFORM1");
    FRegistered = false;
    TPlatform::SetCurrent(nullptr);
    FPlatform.reset();
}

void THeadlessForm::ShowPage(int index) {
    TPageControl* book = FForm->PageControl1;
    if (!book) return;
    // Pages set from code raise no change event; the handler runs as a user's choice of the tab would
    // run it, so each page shows the status line the user would see.
    book->SetActivePageIndex(index);
    FForm->PageControl1Change(book);
    QCoreApplication::processEvents();
}
