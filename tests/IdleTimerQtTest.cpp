// The idle timer on Qt: it fires once after a quiet spell, input puts it off, and nothing of it is left
// waiting afterwards. Runs in the desktop tests' program, whose environment installs the Qt platform.
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {

// Runs the event loop, waiting for events as the program's does, for about ms milliseconds.
void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TEST(IdleTimerQt, FiresOnceAfterAQuietSpellThatInputPutsOff) {
    ASSERT_NE(TPlatform::Current(), nullptr);
    int fired = 0;
    std::unique_ptr<IIdleTimer> timer = TPlatform::Current()->CreateIdleTimer([&] { ++fired; });
    ASSERT_NE(timer, nullptr);
    QWidget window;
    window.show();

    QElapsedTimer clock;
    clock.start();
    timer->Start(80);
    // Keys every 20 ms for 200 ms, and painting: never quiet for long enough.
    while (clock.elapsed() < 200) {
        QTest::keyClick(&window, Qt::Key_A);
        Spin(10);
        window.repaint();
        Spin(10);
    }
    EXPECT_EQ(fired, 0);
    Spin(400);
    EXPECT_EQ(fired, 1);
    // Nothing waits any more: the loop stays quiet.
    Spin(200);
    EXPECT_EQ(fired, 1);

    // Stopped, or destroyed, before its time: it never fires.
    timer->Start(30);
    timer->Stop();
    Spin(100);
    EXPECT_EQ(fired, 1);
    timer->Start(30);
    timer.reset();
    Spin(100);
    EXPECT_EQ(fired, 1);
}
