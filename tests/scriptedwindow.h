// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window for tests, which remembers what the game shows and answers the
// dialogs from a script; and random draws for tests, a scripted sequence
// first, then a seeded stream.

#include "game/board.h"
#include "game/dealing.h"
#include "game/state.h"
#include "game/window.h"
#include "records/records.h"

#include <QDir>
#include <QList>

#include <algorithm>
#include <array>

namespace tarmelon::test {

struct Dialog {
    QString kind, text, title; // kind: "message" or "input"
    unsigned buttons = 0;
    Box::Icon icon = Box::NoIcon;
};

class ScriptedWindow : public Window {
public:
    std::array<int, CellCount> cellPicture{};
    std::array<QString, CellCount> cellToolTip;
    std::array<QString, 2> counter;
    QString seconds;
    std::array<QString, 10> recordName, recordScore;
    std::array<bool, 3> panelVisible{};
    int markerLeft = 0, markerTop = 0, clockInterval = 0, endedWith = -1;
    bool markerVisible = false;
    QList<std::pair<int, int>> cellWrites; // (cell, value) in the order shown
    QList<Dialog> dialogs;
    // The player's answers in order; with none left, Yes or OK, and the
    // input box's own default text.
    QList<Box::Button> answers;
    QList<QString> inputs;
    // Called as a dialog opens, to look at the window as the player sees it.
    std::function<void(const Dialog &)> onDialog;

    // Where a cell stands: any place that tells the cells apart will do.
    static std::pair<int, int> Place(int cell) { return {1000 + cell, 2000 + cell}; }

    void SetCellPicture(int cell, int value) override { cellPicture.at(cell) = value, cellWrites.append({cell, value}); }
    void SetCellToolTip(int cell, const QString &text) override { cellToolTip.at(cell) = text; }
    int CellLeft(int cell) const override { return Place(cell).first; }
    int CellTop(int cell) const override { return Place(cell).second; }
    void SetMarkerPlace(int left, int top) override { std::tie(markerLeft, markerTop) = std::pair(left, top); }
    void SetMarkerVisible(bool visible) override { markerVisible = visible; }
    void SetCounterText(int index, const QString &text) override { counter.at(index) = text; }
    void SetSecondsText(const QString &text) override { seconds = text; }
    void SetRecordNameText(int row, const QString &text) override { recordName.at(row) = text; }
    void SetRecordScoreText(int row, const QString &text) override { recordScore.at(row) = text; }
    void SetPanelVisible(Panel panel, bool visible) override { panelVisible.at(std::size_t(panel)) = visible; }
    void SetClockInterval(int milliseconds) override { clockInterval = milliseconds; }
    Box::Button MessageBox(const QString &text, const QString &title, unsigned buttons, Box::Icon icon) override
    {
        Open({QStringLiteral("message"), text, title, buttons, icon});
        return answers.empty() ? (buttons & Box::Yes ? Box::Yes : Box::Ok) : answers.takeFirst();
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        Open({QStringLiteral("input"), prompt, title, 0, Box::NoIcon});
        return inputs.empty() ? defaultText : inputs.takeFirst();
    }
    void EndProgram(int status) override { endedWith = status; }

    // Which panel shows: 0 none, else 1 board, 2 records, 3 help; -1 several.
    int shownPanel() const { return panelVisible[0] + panelVisible[1] + panelVisible[2] > 1 ? -1 : panelVisible[0] + 2 * panelVisible[1] + 3 * panelVisible[2]; }

private:
    void Open(const Dialog &d) { dialogs.append(d), onDialog ? onDialog(d) : void(); }
};

class ScriptedGenerator : public SeededGenerator {
public:
    explicit ScriptedGenerator(std::uint64_t seed = 1) : SeededGenerator(seed) {}
    QList<double> script;
    int reseeds = 0, draws = 0;

    void Reseed() override { ++reseeds, SeededGenerator::Reseed(); }
    double Next() override
    {
        if (++draws > 10'000'000) // a dealing that never ends fails at once, not at the time limit
            qFatal("ten million draws");
        return script.empty() ? SeededGenerator::Next() : script.takeFirst();
    }
    // Queues the draws that place a sphere of `value` in `cell`.
    void Place(int cell, int value) { script << (cell + 0.5) / CellCount << (value - 0.5) / MaxValue; }
};

// Fresh game state with this window as the game's; with a data directory,
// the records file kept there and none yet.
inline void ResetGame(ScriptedWindow &window, const QString &dataDir = {})
{
    Game = GameState{};
    InitialSpheres = 24;
    SetWindow(&window);
    if (!dataDir.isEmpty()) {
        DataDir = dataDir;
        QDir(RecordsPath()).removeRecursively();
        QFile::remove(RecordsPath());
    }
}

// A cell as the board text writes it: ".." empty, "r5" a red 5, "b3" a blue 3.
inline int Value(const QString &cell)
{
    return cell == ".." ? 0 : cell.mid(1).toInt() + (cell.startsWith('b') ? BlueBase : RedBase);
}

// Lays out a board written as eight lines of eight cells, top row first.
inline void SetBoard(const QString &rows)
{
    const QStringList cells = rows.simplified().split(' ');
    Q_ASSERT(cells.size() == CellCount);
    for (int i = 0; i < CellCount; ++i)
        SetCell(i, Value(cells[i]));
}

inline int SpheresOnBoard() { return int(CellCount - std::count(Game.Board.begin(), Game.Board.end(), 0)); }

} // namespace tarmelon::test
