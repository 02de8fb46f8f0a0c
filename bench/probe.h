// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game's bench program and the floor share: the modes the driver
// starts them in, answering on stdout.

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

#include <unistd.h>

namespace bench {

// Microseconds since the driver's CLOCK_MONOTONIC reading at the launch.
inline double SinceLaunchUs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::micro>(now).count()
           - qgetenv("TARMELON_BENCH_T0").toDouble() / 1000.0;
}

// Handles every pending event, painting included.
inline void Settle()
{
    for (int k = 0; k < 3; ++k) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Reports the end of the first paint and ends the process. The repaint that
// sends the first Paint event paints every widget and flushes the window's
// contents before the queued report runs.
class FirstPaint : public QObject {
    bool seen_ = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !std::exchange(seen_, true))
            QMetaObject::invokeMethod(qApp, [] {
                std::printf("first_paint_us %.3f\n", SinceLaunchUs());
                std::_Exit(0);
            }, Qt::QueuedConnection);
        return false;
    }
};

// Shows the window and runs the mode: "startup" to the end of the first
// paint; "idle" says "ready WINID" once `idle` has started the window's clock,
// then answers each line on stdin with "click X Y W H", where in the window
// the widget `next` gives lies, for the driver to click; it runs until killed.
inline int Run(QWidget &window, const QByteArray &mode, const std::function<void()> &idle,
               const std::function<QWidget *()> &next)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches bench/run at once
    FirstPaint firstPaint;
    if (mode == "startup")
        qApp->installEventFilter(&firstPaint);
    window.show();
    QSocketNotifier input(0, QSocketNotifier::Read);
    input.setEnabled(mode != "startup");
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64];
        if (::read(0, line, sizeof line) <= 0)
            std::_Exit(0);
        const QWidget *target = next();
        const QPoint at = target->mapTo(&window, QPoint());
        std::printf("click %d %d %d %d\n", at.x(), at.y(), target->width(), target->height());
    });
    if (mode != "startup") {
        QTimer::singleShot(0, [&] {
            idle();
            std::printf("ready %llu\n", static_cast<unsigned long long>(window.winId()));
        });
    }
    return QApplication::exec();
}

} // namespace bench
