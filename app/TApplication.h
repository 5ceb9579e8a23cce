// The application object: its title, the main form, the message loop and the display of errors that
// nothing else handled.
#pragma once

#include "stream/TComponent.h"

#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>

class TCustomForm;

class TApplication : public TComponent {
    ORV_CLASS(TApplication)
public:
    // programPath: the program file; the title starts as its name, as DefaultTitle says.
    explicit TApplication(std::string_view programPath);
    ~TApplication() override;

    // The program file's name without its folder, cut at its first ".", every character after the
    // first in lower case.
    static std::string DefaultTitle(std::string_view programPath);

    void Initialize();
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title);
    TCustomForm* MainForm() const { return FMainForm; }
    bool ShowMainForm() const { return FShowMainForm; }
    bool Terminated() const { return FTerminated; }
    const std::string& ExeName() const { return FExeName; }
    // The application's icon (an ICO file held elsewhere), shown for the task bar entry.
    std::span<const uint8_t> IconFile() const { return FIconFile; }
    void SetIconFile(std::span<const uint8_t> icoFile);

    // Creates a form: the reference is set before the constructor runs, and reset if it fails.
    template <class T> void CreateForm(T*& reference);

    void Run();
    void Terminate();
    void ShowException(const std::exception& e);
    // Shows the exception being handled (call from a catch block): the error box for the exception
    // family, the "Application Error" box for anything else, nothing for EAbort.
    void HandleException(TObject* sender);
    void MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    // The platform asks whether the user may log off or shut down: the main form's CloseQuery.
    bool QueryEndSession();

private:
    void FormCreated(TCustomForm* form);

    std::string FTitle;
    std::string FExeName;
    std::span<const uint8_t> FIconFile;
    TCustomForm* FMainForm = nullptr;
    bool FShowMainForm = true;
    bool FTerminated = false;
};

extern TApplication* Application;

template <class T> void TApplication::CreateForm(T*& reference) {
    void* memory = ::operator new(sizeof(T));
    reference = static_cast<T*>(memory);
    try {
        new (memory) T(this);
    } catch (...) {
        // The constructor destroyed what it had built; only the memory is left to free.
        reference = nullptr;
        ::operator delete(memory);
        throw;
    }
    FormCreated(reference);
}
