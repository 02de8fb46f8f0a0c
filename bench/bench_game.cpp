// The game's start-up path (SetUpApplication, MainWindow, SetWindow, Main,
// show) with a probe in place of ui/main.cpp. The mode, argv[1], picks what
// is measured: startup, memory, idle, ticks or work.

#include "probe.h"

#include "game/dealing.h"
#include "game/moves.h"
#include "game/state.h"
#include "ui/application.h"
#include "ui/commands.h"
#include "ui/mainwindow.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <vector>

namespace {

using tarmelon::Game;
using tarmelon::MainWindow;

using Clock = std::chrono::steady_clock;

double Us(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::micro>(to - from).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// A click as the player makes it: press and release on the cell's middle.
void Click(QWidget *w)
{
    const QPointF p(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

// Two spheres to combine, never a pair whose cancelling would empty the board:
// a won game opens modal dialogs and writes the records file.
std::mt19937 picker(20040101);
bool ChooseMove(int &first, int &second)
{
    std::vector<int> spheres;
    for (int i = 0; i < tarmelon::CellCount; ++i) {
        if (Game.Board[static_cast<std::size_t>(i)] != 0)
            spheres.push_back(i);
    }
    if (spheres.size() < 2)
        return false;
    std::uniform_int_distribution<std::size_t> any(0, spheres.size() - 1);
    for (int tries = 0; tries < 100; ++tries) {
        first = spheres[any(picker)];
        second = spheres[any(picker)];
        if (first == second)
            continue;
        const int a = Game.Board[static_cast<std::size_t>(first)];
        const int b = Game.Board[static_cast<std::size_t>(second)];
        const bool cancels = (a > tarmelon::BlueBase) != (b > tarmelon::BlueBase)
                             && (a - 1) % tarmelon::MaxSize == (b - 1) % tarmelon::MaxSize;
        if (cancels && spheres.size() == 2)
            continue;
        return true;
    }
    return false;
}

// Plays one move through the real cells: select, settle, combine.
void PlayMove(MainWindow &w)
{
    int first = 0, second = 0;
    if (!ChooseMove(first, second)) {
        tarmelon::NewGame();
        bench::Settle();
        ChooseMove(first, second);
    }
    Click(w.cell(first));
    bench::Settle();
    Click(w.cell(second));
    bench::Settle();
}

// The real window, noting which cells the game writes, for the paint check
// (a cell emptied and refilled with its old value within a move is written
// though its value stays).
class RecordingWindow : public tarmelon::Window {
public:
    explicit RecordingWindow(MainWindow &w) : w_(w) {}
    std::set<int> written;
    void SetCellPicture(int cell, int value) override
    {
        written.insert(cell);
        w_.SetCellPicture(cell, value);
    }
    void SetCellToolTip(int cell, const QString &text) override { w_.SetCellToolTip(cell, text); }
    int CellLeft(int cell) const override { return w_.CellLeft(cell); }
    int CellTop(int cell) const override { return w_.CellTop(cell); }
    void SetMarkerPlace(int left, int top) override { w_.SetMarkerPlace(left, top); }
    void SetMarkerVisible(bool visible) override { w_.SetMarkerVisible(visible); }
    void SetCounterText(int index, const QString &text) override { w_.SetCounterText(index, text); }
    void SetSecondsText(const QString &text) override { w_.SetSecondsText(text); }
    void SetRecordNameText(int row, const QString &text) override { w_.SetRecordNameText(row, text); }
    void SetRecordScoreText(int row, const QString &text) override { w_.SetRecordScoreText(row, text); }
    void SetPanelVisible(tarmelon::Panel panel, bool visible) override { w_.SetPanelVisible(panel, visible); }
    void SetClockInterval(int milliseconds) override { w_.SetClockInterval(milliseconds); }
    int MessageBox(const QString &text, const QString &title, int style) override
    {
        return w_.MessageBox(text, title, style);
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        return w_.InputBox(prompt, title, defaultText);
    }
    void EndProgram(int status) override { w_.EndProgram(status); }

private:
    MainWindow &w_;
};

QString Name(MainWindow &w, QWidget *widget)
{
    for (int i = 0; i < tarmelon::CellCount; ++i) {
        if (w.cell(i) == widget)
            return QStringLiteral("cell");
    }
    if (widget == w.counter(0) || widget == w.counter(1))
        return QStringLiteral("counter");
    if (widget == w.seconds())
        return QStringLiteral("seconds");
    if (widget == w.marker())
        return QStringLiteral("marker");
    if (widget == w.panel(tarmelon::Panel::Board))
        return QStringLiteral("board-frame");
    if (widget == &w)
        return QStringLiteral("window");
    return QString::fromLatin1(widget->metaObject()->className());
}

QRect InWindow(MainWindow &w, QWidget *widget)
{
    return QRect(widget->mapTo(&w, QPoint(0, 0)), widget->size());
}

void PrintWidgets(const char *key, MainWindow &w, const QHash<QWidget *, int> &counts)
{
    QMap<QString, int> byName;
    for (auto it = counts.begin(); it != counts.end(); ++it)
        byName[Name(w, it.key())] += it.value();
    QStringList parts;
    for (auto it = byName.begin(); it != byName.end(); ++it)
        parts << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    std::printf("%s %s\n", key, qPrintable(parts.join(QLatin1Char(','))));
    std::fflush(stdout);
}

// Paint events per widget over three clock ticks, against the seconds label.
void CheckTicks(MainWindow &w)
{
    w.toolbarButton(1)->click();
    bench::Settle();
    bench::PaintCounter counter(&w);
    int ticks = 0;
    QEventLoop loop;
    QObject::connect(&w.clock(), &QTimer::timeout, &loop, [&] {
        if (++ticks == 1)
            QTimer::singleShot(100, &loop, [&] { qApp->installEventFilter(&counter); });
        if (ticks == 4)
            QTimer::singleShot(100, &loop, &QEventLoop::quit);
    });
    loop.exec();
    qApp->removeEventFilter(&counter);
    PrintWidgets("tick_paints", w, counter.counts);
    const QRegion outside = counter.All() - QRegion(InWindow(w, w.seconds()));
    bench::Report("tick_seconds_painted", counter.counts.value(w.seconds()));
    const QRect out = outside.boundingRect();
    bench::Report("tick_area_outside_px", 1.0 * out.width() * out.height());
}

void Work(MainWindow &w)
{
    bench::Settle();
    constexpr int Runs = 1000;
    std::vector<double> newGames, selects, moves;
    for (int k = 0; k < Runs; ++k) {
        const auto t0 = Clock::now();
        tarmelon::NewGame();
        const auto t1 = Clock::now();
        newGames.push_back(Us(t0, t1));
        w.SetClockInterval(0); // no tick may fall into the moves below
        bench::Settle();
    }
    for (int k = 0; k < Runs; ++k) {
        int first = 0, second = 0;
        if (!ChooseMove(first, second)) {
            tarmelon::NewGame();
            w.SetClockInterval(0);
            bench::Settle();
            ChooseMove(first, second);
        }
        auto t0 = Clock::now();
        Click(w.cell(first));
        auto t1 = Clock::now();
        selects.push_back(Us(t0, t1));
        bench::Settle();
        t0 = Clock::now();
        Click(w.cell(second));
        t1 = Clock::now();
        moves.push_back(Us(t0, t1));
        bench::Settle();
    }
    bench::Report("newgame_us", Median(newGames));
    bench::Report("select_us", Median(selects));
    bench::Report("move_us", Median(moves));

    // Which widgets a move repaints, against the cells it changed and the two
    // counters.
    bench::PaintCounter counter(&w);
    RecordingWindow recording(w);
    tarmelon::SetWindow(&recording);
    int checked = 0, outsideMoves = 0, missing = 0, otherWidgets = 0;
    QHash<QWidget *, int> all;
    for (int k = 0; k < 200; ++k) {
        int first = 0, second = 0;
        if (!ChooseMove(first, second)) {
            tarmelon::NewGame();
            w.SetClockInterval(0);
            bench::Settle();
            continue;
        }
        Click(w.cell(first));
        bench::Settle();
        recording.written.clear();
        qApp->installEventFilter(&counter);
        counter.Clear();
        Click(w.cell(second));
        bench::Settle();
        qApp->removeEventFilter(&counter);
        QRegion allowed(InWindow(w, w.counter(0)));
        allowed += InWindow(w, w.counter(1));
        std::set<QWidget *> expected{w.counter(0), w.counter(1)};
        for (int i : recording.written) {
            allowed += InWindow(w, w.cell(i));
            expected.insert(w.cell(i));
            if (!counter.counts.contains(w.cell(i)))
                ++missing;
        }
        for (auto it = counter.counts.begin(); it != counter.counts.end(); ++it) {
            all[it.key()] += it.value();
            if (!expected.count(it.key()))
                ++otherWidgets;
        }
        if (!(counter.All() - allowed).isEmpty()) {
            ++outsideMoves;
            if (qEnvironmentVariableIsSet("BENCH_DEBUG")) {
                const QRegion out = counter.All() - allowed;
                std::printf("outside first=%d second=%d\n", first, second);
                for (const QRect &r : out)
                    std::printf("  %d,%d %dx%d\n", r.x(), r.y(), r.width(), r.height());
                for (auto it = counter.regions.begin(); it != counter.regions.end(); ++it)
                    if (!(it.value() - allowed).isEmpty())
                        std::printf("  by %s\n", qPrintable(Name(w, it.key())));
            }
        }
        ++checked;
    }
    bench::Report("move_checked", checked);
    bench::Report("move_outside", outsideMoves);
    bench::Report("move_missing", missing);
    bench::Report("move_other_widgets_per_move", checked ? 1.0 * otherWidgets / checked : 0);
    tarmelon::SetWindow(&w);
    PrintWidgets("move_paints", w, all);
    CheckTicks(w);
}

// With BENCH_SMAPS_DIR set, keeps a copy of /proc/self/smaps per reading, to
// see which mappings grow.
void KeepSmaps(const char *name)
{
    const QString dir = qEnvironmentVariable("BENCH_SMAPS_DIR");
    if (dir.isEmpty())
        return;
    // Read to the end: /proc files report a size of 0, so QFile::copy copies nothing.
    QFile in(QStringLiteral("/proc/self/smaps"));
    QFile out(dir + QLatin1Char('/') + QLatin1String(name));
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(in.readAll());
}

void Memory(MainWindow &w, int games)
{
    bench::Spin(std::max(0, 3000 - static_cast<int>(bench::SinceLaunchUs() / 1000)));
    bench::Report("pss_start_kb", bench::SmapsKb("Pss"));
    bench::Report("private_start_kb", bench::SmapsKb("Private_Clean") + bench::SmapsKb("Private_Dirty"));
    KeepSmaps("smaps.start");
    for (int g = 0; g < games; ++g) {
        w.toolbarButton(1)->click();
        bench::Settle();
        for (int m = 0; m < 10; ++m)
            PlayMove(w);
        if (g == 99) {
            bench::Report("pss_100_kb", bench::SmapsKb("Pss"));
            bench::Report("private_100_kb", bench::SmapsKb("Private_Clean") + bench::SmapsKb("Private_Dirty"));
            KeepSmaps("smaps.100");
        }
    }
    bench::Settle();
    bench::Report("pss_end_kb", bench::SmapsKb("Pss"));
    bench::Report("private_end_kb", bench::SmapsKb("Private_Clean") + bench::SmapsKb("Private_Dirty"));
    KeepSmaps("smaps.end");
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("startup");
    QApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    tarmelon::MainWindow form1;
    tarmelon::SetWindow(&form1);
    tarmelon::Main();
    bench::FirstPaint firstPaint(&form1);
    if (mode == "startup")
        app.installEventFilter(&firstPaint);
    form1.show();
    if (mode == "startup" || mode == "idle") {
        if (mode == "idle") {
            // A game on the board and its clock running, as after a press of "Игра".
            QTimer::singleShot(0, &form1, [&form1] {
                form1.toolbarButton(1)->click();
                std::puts("ready");
                std::fflush(stdout);
            });
        }
        return QApplication::exec();
    }
    if (mode == "memory")
        Memory(form1, argc > 2 ? std::atoi(argv[2]) : 1000);
    else if (mode == "work")
        Work(form1);
    else if (mode == "ticks")
        CheckTicks(form1);
    std::fflush(stdout);
    std::_Exit(0); // past the window's closing, which would end the game
}
