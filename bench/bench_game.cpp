// SPDX-License-Identifier: GPL-3.0-or-later
// The game's start-up path as ui/main.cpp has it, in the probe's modes. Idle,
// a game is on the board with its clock running; for the driver's clicks it
// names two spheres to combine, one at a time.

#include "probe.h"

#include "game/dealing.h"
#include "game/state.h"
#include "ui/application.h"
#include "ui/commands.h"
#include "ui/mainwindow.h"

#include <QAbstractButton>

#include <random>
#include <utility>
#include <vector>

namespace {

using tarmelon::Game;

std::mt19937 random(20040101);

// Two spheres to combine, never two that cancel when only they are left: a
// won game opens modal boxes and writes the records file. Stuck, a fresh game.
std::pair<int, int> NextMove()
{
    for (;; tarmelon::NewGame(), bench::Settle()) {
        std::vector<int> spheres;
        for (int i = 0; i < tarmelon::CellCount; ++i)
            if (Game.Board[i] != tarmelon::EmptyValue)
                spheres.push_back(i);
        std::shuffle(spheres.begin(), spheres.end(), random);
        if (spheres.size() < 2)
            continue;
        const int a = Game.Board[spheres[0]], b = Game.Board[spheres[1]];
        if (spheres.size() > 2 || tarmelon::IsBlue(a) == tarmelon::IsBlue(b)
            || tarmelon::SphereSize(a) != tarmelon::SphereSize(b))
            return {spheres[0], spheres[1]};
    }
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
    int second = -1;
    const auto next = [&form1, &second]() -> QWidget * {
        const auto cell = [&form1](int i) { return form1.findChild<QWidget *>(QStringLiteral("Image1_%1").arg(i)); };
        if (second >= 0)
            return cell(std::exchange(second, -1));
        const auto move = NextMove();
        second = move.second;
        return cell(move.first);
    };
    return bench::Run(form1, argc > 1 ? argv[1] : "startup", newGame, next);
}
