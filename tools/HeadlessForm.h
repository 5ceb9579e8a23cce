// The main form of a definition, loaded as the program loads it but drawn into memory: for the tools
// that render or export a course without a display.
#pragma once

#include "app/TForm1.h"

#include <memory>
#include <optional>
#include <string>

class TApplication;
class TPlatform;

class THeadlessForm {
public:
    // Loads the definition in the file (without one, the definition registered already, such as the
    // course built into the tool) on Qt's offscreen platform unless QT_QPA_PLATFORM names another; with a
    // scale above 1 the window is drawn as on a screen of that many device pixels per pixel. Raises what
    // loading raises, and Exception when the file cannot be read.
    explicit THeadlessForm(const std::optional<std::string>& definitionPath, int scale = 1);
    ~THeadlessForm();
    THeadlessForm(const THeadlessForm&) = delete;
    THeadlessForm& operator=(const THeadlessForm&) = delete;

    TForm1& Form() const { return *FForm; }
    // Makes page index active as the reader's choice of its tab would, running the form's handler, and
    // lets the window catch up.
    void ShowPage(int index);

private:
    void Close();

    std::unique_ptr<TPlatform> FPlatform;
    std::unique_ptr<TApplication> FApplication;
    TForm1* FForm = nullptr;
    bool FRegistered = false;
};
