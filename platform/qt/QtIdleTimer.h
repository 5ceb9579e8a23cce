// The platform's idle timer on Qt: a single-shot timer started once the event loop has run out of work,
// which user input and painting start again.
#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QtIdleTimer : public QObject, public IIdleTimer {
public:
    explicit QtIdleTimer(std::function<void()> task);
    ~QtIdleTimer() override;

    void Start(int milliseconds) override;
    void Stop() override;

protected:
    // Watches the application's input while the timer waits, and only then.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fire();

    std::function<void()> FTask;
    QTimer FTimer;
    int FInterval = 0;
    // Set from Start until the loop first goes to wait.
    QMetaObject::Connection FLoopIdle;
    bool FWatching = false;
};
