// A shown form on the button face with a client area of 600 x 400, for controls made in code by the
// tests that draw through the Qt platform (registered with TQtTestEnvironment).
#pragma once

#include "app/TApplication.h"
#include "app/TCustomForm.h"
#include "controls/ColorToRGB.h"

#include <QImage>
#include <QWidget>

#include <functional>

struct TQtTestForm {
    TApplication App{"orvanta"};
    TForm* Form = new TForm(nullptr);
    TQtTestForm() {
        Application = &App;
        Form->SetBounds(0, 0, 616, 439);
        Form->SetColor(clBtnFace);
        Form->SetVisible(true);
    }
    ~TQtTestForm() {
        delete Form;
        Application = nullptr;
    }
    // A control on parent; setup runs before it has a parent (and so before it sizes itself).
    template <class T>
    T* Add(TWinControl* parent, int left, int top, int width, int height,
           const std::function<void(T&)>& setup = {}) {
        auto* c = new T(Form);
        if (setup) setup(*c);
        c->SetBounds(left, top, width, height);
        c->SetParent(parent);
        return c;
    }
    template <class T>
    T* Add(int left, int top, int width, int height, const std::function<void(T&)>& setup = {}) {
        return Add<T>(Form, left, top, width, height, setup);
    }
    QImage Grab() const {
        auto* window = dynamic_cast<QWidget*>(Form->Window());
        return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};
