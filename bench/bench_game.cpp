// SPDX-License-Identifier: GPL-3.0-or-later
// The game's start-up path as ui/main.cpp has it, in the probe's modes. Idle,
// a game is on the board with its clock running; in the memory mode the bench
// then plays 1000 games of 10 moves through the real cells, timing NewGame
// and each move's combining click.

#include "probe.h"

#include "game/dealing.h"
#include "game/state.h"
#include "ui/application.h"
#include "ui/commands.h"
#include "ui/mainwindow.h"

#include <QAbstractButton>
#include <QMouseEvent>

#include <array>
#include <random>
#include <vector>

namespace {

using tarmelon::Game;

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

// Two spheres to combine, never two that cancel when only they are left: a
// won game opens modal boxes and writes the records file.
bool ChooseMove(std::mt19937 &random, int &first, int &second)
{
    std::vector<int> spheres;
    for (int i = 0; i < tarmelon::CellCount; ++i) {
        if (Game.Board[i] != tarmelon::EmptyValue)
            spheres.push_back(i);
    }
    if (spheres.size() < 2)
        return false;
    std::shuffle(spheres.begin(), spheres.end(), random);
    first = spheres[0];
    second = spheres[1];
    const int a = Game.Board[first], b = Game.Board[second];
    return spheres.size() > 2 || tarmelon::IsBlue(a) == tarmelon::IsBlue(b)
           || tarmelon::SphereSize(a) != tarmelon::SphereSize(b);
}

// The times in microseconds, touched before the first PSS reading so that
// they are no part of the growth.
std::vector<double> newGames(1000), moves(10000);

double Median(std::vector<double> &v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Runs `f`, noting its time.
template <class F> void Timed(double &time, F f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    time = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
}

void Play(QWidget &window)
{
    std::array<QWidget *, tarmelon::CellCount> cells{};
    for (int i = 0; i < tarmelon::CellCount; ++i)
        cells[i] = window.findChild<QWidget *>(QStringLiteral("Image1_%1").arg(i));
    std::mt19937 random(20040101);
    for (std::size_t game = 0; game < newGames.size(); ++game) {
        Timed(newGames[game], tarmelon::NewGame);
        bench::Settle();
        for (std::size_t move = 10 * game; move < 10 * game + 10; ++move) {
            int first = 0, second = 0;
            while (!ChooseMove(random, first, second)) { // stuck: a fresh game, untimed
                tarmelon::NewGame();
                bench::Settle();
            }
            // Events are handled between the clicks, never inside the timed one.
            Click(cells[first]);
            bench::Settle();
            Timed(moves[move], [&] { Click(cells[second]); });
            bench::Settle();
        }
    }
    bench::Report("pss_end_kb", bench::PssKb());
    bench::Report("newgame_us", Median(newGames));
    bench::Report("move_us", Median(moves));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    tarmelon::MainWindow form1;
    tarmelon::SetWindow(&form1);
    tarmelon::Main();
    // A press of "Игра": a game on the board and its clock running.
    const auto newGame = [&form1] {
        form1.findChild<QAbstractButton *>(QStringLiteral("Toolbar1_1"))->click();
    };
    return bench::Run(form1, argc > 1 ? argv[1] : "startup", newGame, [&] { Play(form1); });
}
