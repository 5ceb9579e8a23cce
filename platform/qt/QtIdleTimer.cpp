// Idle timer: waits for a quiet spell of the user's input, then runs its task once.
#include "platform/qt/QtIdleTimer.h"

#include "platform/WindowPeer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>

QtIdleTimer::QtIdleTimer(std::function<void()> task) : FTask(std::move(task)) {
    FTimer.setSingleShot(true);
    FTimer.setTimerType(Qt::CoarseTimer);
    connect(&FTimer, &QTimer::timeout, this, [this] { Fire(); });
}

QtIdleTimer::~QtIdleTimer() {
    Stop();
}

// The wait begins when the loop has nothing left to do: a start made while the program loads, before
// its window has been shown and painted, does not count the time that takes.
void QtIdleTimer::Start(int milliseconds) {
    FTimer.stop();
    FInterval = milliseconds;
    if (!FLoopIdle)
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
            FLoopIdle = connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
                disconnect(FLoopIdle);
                FLoopIdle = {};
                FTimer.start(FInterval);
            });
    if (!FLoopIdle) FTimer.start(FInterval);
    if (!FWatching && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        FWatching = true;
    }
}

void QtIdleTimer::Stop() {
    FTimer.stop();
    if (FLoopIdle) disconnect(FLoopIdle);
    FLoopIdle = {};
    if (FWatching && QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
    FWatching = false;
}

bool QtIdleTimer::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Paint:
        // The same wait again, from now.
        if (FTimer.isActive()) FTimer.start(FInterval);
        break;
    default:
        break;
    }
    return false;
}

void QtIdleTimer::Fire() {
    Stop();
    GuardedCallback(FTask);
}
