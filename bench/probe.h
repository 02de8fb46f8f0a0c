// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game's bench program and the floor share: the modes bench/run
// starts them in. Results go to stdout as "key value" lines.

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

#include <unistd.h>

namespace bench {

// Microseconds since the driver's launch: it hands over its CLOCK_MONOTONIC
// reading, taken just before it starts the program, which steady_clock reads.
inline double SinceLaunchUs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::micro>(now).count()
           - qgetenv("TARMELON_BENCH_T0").toDouble() / 1000.0;
}

inline void Report(const char *key, double value) { std::printf("%s %.3f\n", key, value); }

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
                Report("first_paint_us", SinceLaunchUs());
                std::_Exit(0);
            }, Qt::QueuedConnection);
        return false;
    }
};

// Shows the window and runs the mode: "startup" to the end of the first
// paint; "idle" says "ready" once `idle` has started the window's clock, then
// runs until killed; "click" does the same, then answers each line on stdin
// with "click X Y W H", the place in the window of the widget `next` gives,
// for the driver to click; "memory" says "start" 3 s after launch, runs
// `play`, says "end" and runs until killed, the driver reading its memory.
inline int Run(QWidget &window, const QByteArray &mode, const std::function<void()> &idle,
               const std::function<void()> &play, const std::function<QWidget *()> &next)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches bench/run at once
    FirstPaint firstPaint;
    if (mode == "startup")
        qApp->installEventFilter(&firstPaint);
    window.show();
    QSocketNotifier input(0, QSocketNotifier::Read);
    input.setEnabled(mode == "click");
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64];
        if (::read(0, line, sizeof line) <= 0)
            std::_Exit(0);
        const QWidget *target = next();
        const QPoint at = target->mapTo(&window, QPoint());
        std::printf("click %d %d %d %d\n", at.x(), at.y(), target->width(), target->height());
    });
    if (mode == "idle" || mode == "click") {
        QTimer::singleShot(0, [&] {
            idle();
            std::printf("ready %llu\n", static_cast<unsigned long long>(window.winId()));
        });
    } else if (mode == "memory") {
        QTimer::singleShot(std::max(0, 3000 - static_cast<int>(SinceLaunchUs() / 1000)), [&] {
            std::puts("start");
            play();
            std::puts("end");
        });
    }
    return QApplication::exec();
}

} // namespace bench
