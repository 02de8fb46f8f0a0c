#pragma once
// What the game's bench main and the floor share: the time since the
// launcher's exec, the first paint of a window, PSS, and a count of paint
// events per widget. Results go to stdout as "key value" lines for bench/run.

#include <QApplication>
#include <QEventLoop>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QPaintEvent>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <sys/resource.h>
#include <unistd.h>

namespace bench {

// CLOCK_MONOTONIC, as libstdc++'s steady_clock reads it, in nanoseconds.
inline long long MonotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Microseconds since the launcher's exec. The launcher takes a CLOCK_MONOTONIC
// reading just before exec and passes it in TARMELON_BENCH_T0; without it the
// kernel's process start time (10 ms ticks) is set against /proc/uptime.
inline double SinceLaunchUs()
{
    if (const char *t0 = std::getenv("TARMELON_BENCH_T0"))
        return static_cast<double>(MonotonicNs() - std::atoll(t0)) / 1000.0;
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which may hold blanks: field 3 is [0].
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(22 - 3).toDouble();
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    const double upSeconds = uptime.readAll().split(' ').value(0).toDouble();
    return (upSeconds - startTicks / ticks) * 1e6;
}

// User and system time of the whole process so far.
inline double CpuUs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return 1e6 * static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

inline void Report(const char *key, double value)
{
    std::printf("%s %.3f\n", key, value);
    std::fflush(stdout);
}

// A field of /proc/self/smaps_rollup, in kB.
inline long SmapsKb(const char *field)
{
    QFile file(QStringLiteral("/proc/self/smaps_rollup"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray wanted = QByteArray(field) + ':';
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Reports the first paint that reaches `window` or any of its children, then,
// from a zero timer, the end of that first frame, and ends the process.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QWidget *window) : window_(window) {}

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (!seen_ && event->type() == QEvent::Paint && object->isWidgetType()
            && static_cast<QWidget *>(object)->window() == window_) {
            seen_ = true;
            Report("first_paint_us", SinceLaunchUs());
            Report("first_paint_cpu_us", CpuUs());
            QTimer::singleShot(0, [] {
                Report("frame_done_us", SinceLaunchUs());
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    QWidget *window_;
    bool seen_ = false;
};

// Paint events per widget, and the painted area in the window's coordinates.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *window) : window_(window) {}
    QHash<QWidget *, int> counts;
    QHash<QWidget *, QRegion> regions;
    void Clear()
    {
        counts.clear();
        regions.clear();
    }
    QRegion All() const
    {
        QRegion all;
        for (const QRegion &r : regions)
            all += r;
        return all;
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && object->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(object);
            if (widget->window() == window_) {
                ++counts[widget];
                QRegion painted = static_cast<QPaintEvent *>(event)->region();
                painted.translate(widget->mapTo(window_, QPoint(0, 0)));
                regions[widget] += painted;
            }
        }
        return false;
    }

private:
    QWidget *window_;
};

// Runs the event loop for `ms` milliseconds.
inline void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Handles every pending event, painting included.
inline void Settle()
{
    for (int k = 0; k < 3; ++k) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

} // namespace bench
