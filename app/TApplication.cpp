// Application object.
#include "app/TApplication.h"

#include "app/ErrorText.h"
#include "app/TCustomForm.h"
#include "platform/Platform.h"
#include "stream/Exceptions.h"

#include <cstdio>
#include <cxxabi.h>
#include <memory>
#include <new>
#include <stdexcept>
#include <typeinfo>

TApplication* Application = nullptr;

const TClassInfo TApplication::ClassInfo{"TApplication", &TComponent::ClassInfo};

TApplication::TApplication(std::string_view programPath)
    : TComponent(nullptr), FTitle(DefaultTitle(programPath)), FExeName(programPath) {
    if (TPlatform* p = TPlatform::Current()) {
        p->SetApplicationTitle(FTitle);
        p->SetEndSessionQuery([this] { return QueryEndSession(); });
    }
}

TApplication::~TApplication() {
    if (TPlatform* p = TPlatform::Current()) p->SetEndSessionQuery({});
    FMainForm = nullptr;
}

// The end of the session is the main form's to allow.
bool TApplication::QueryEndSession() {
    try {
        return !FMainForm || FMainForm->CloseQuery();
    } catch (...) {
        HandleException(this);
        return true;
    }
}

std::string TApplication::DefaultTitle(std::string_view programPath) {
    size_t slash = programPath.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (size_t i = 1; i < title.size(); ++i)
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] + 32);
    return title;
}

// The start-up hook of the program's modules; this program registers none that needs work here.
void TApplication::Initialize() {}

void TApplication::SetIconFile(std::span<const uint8_t> icoFile) {
    FIconFile = icoFile;
    if (TPlatform* p = TPlatform::Current()) p->SetApplicationIcon(icoFile);
}

void TApplication::SetTitle(const std::string& title) {
    if (FTitle == title) return;
    FTitle = title;
    if (TPlatform* p = TPlatform::Current()) p->SetApplicationTitle(title);
}

void TApplication::FormCreated(TCustomForm* form) {
    form->HandleNeeded();
    if (!FMainForm) FMainForm = form;
}

void TApplication::Run() {
    if (FMainForm && FShowMainForm) FMainForm->SetVisible(true);
    if (!FTerminated)
        if (TPlatform* p = TPlatform::Current()) p->RunEventLoop();
    FTerminated = true;
}

void TApplication::Terminate() {
    FTerminated = true;
    if (TPlatform* p = TPlatform::Current()) p->Quit();
}

void TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    if (TPlatform* p = TPlatform::Current()) p->MessageBox(text, caption, flags);
}

void TApplication::ShowException(const std::exception& e) {
    MessageBox(ErrorDisplayText(e), FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(TObject*) {
    std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        ShowException(e);
    } catch (const std::bad_alloc& e) {
        // Memory that could not be had is the platform running out of resources, shown as such.
        ShowException(e);
    } catch (const std::length_error& e) {
        ShowException(e);
    } catch (const std::exception& e) {
        // Outside the family: the system-level display, naming the exception's class and the module.
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> name(
            abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status), std::free);
        std::string module = FExeName.substr(FExeName.find_last_of("/\\") + 1);
        char text[512];
        std::snprintf(text, sizeof text, "Exception %s in module %s at %p.\r\n%s%s\r\n",
                      status == 0 && name ? name.get() : typeid(e).name(), module.c_str(),
                      static_cast<const void*>(&e), "", "");
        MessageBox(text, "Application Error", MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBox("Exception in module " + FExeName + ".\r\n", "Application Error", MB_OK | MB_ICONERROR);
    }
}
