// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the game's bench program and the floor share: the modes bench/run
// starts them in. Results go to stdout as "key value" lines.

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace bench {

// Microseconds since the driver's exec: it hands over its CLOCK_MONOTONIC
// reading, taken just before exec, which steady_clock reads too.
inline double SinceLaunchUs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::micro>(now).count()
           - qgetenv("TARMELON_BENCH_T0").toDouble() / 1000.0;
}

inline void Report(const char *key, double value) { std::printf("%s %.3f\n", key, value); }

// The proportional set size in kB.
inline double PssKb()
{
    QFile file(QStringLiteral("/proc/self/smaps_rollup"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n'))
            if (line.startsWith("Pss:"))
                return line.mid(4).trimmed().split(' ').value(0).toDouble();
    }
    return -1;
}

// Handles every pending event, painting included.
inline void Settle()
{
    for (int k = 0; k < 3; ++k) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Reports the first paint, the window's or a child's, and ends the process.
class FirstPaint : public QObject {
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            Report("first_paint_us", SinceLaunchUs());
            std::_Exit(0);
        }
        return false;
    }
};

// Shows the window and runs the mode: "startup" to the first paint; "idle"
// says "ready" once `idle` has started the window's clock, then runs until
// killed; "memory" reports PSS 3 s after launch, then runs `play`. It ends
// with _Exit: closing the game's window would end the game.
inline int Run(QWidget &window, const QByteArray &mode,
               const std::function<void()> &idle, const std::function<void()> &play)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches bench/run at once
    FirstPaint firstPaint;
    if (mode == "startup")
        qApp->installEventFilter(&firstPaint);
    window.show();
    if (mode == "idle") {
        QTimer::singleShot(0, [&] {
            idle();
            std::puts("ready");
        });
    } else if (mode == "memory") {
        QTimer::singleShot(std::max(0, 3000 - static_cast<int>(SinceLaunchUs() / 1000)), [&] {
            Report("pss_start_kb", PssKb());
            play();
            std::_Exit(0);
        });
    }
    return QApplication::exec();
}

} // namespace bench
