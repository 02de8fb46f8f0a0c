#pragma once
// A window for tests: it remembers what the game shows and answers the
// dialogs from a script.

#include "game/board.h"
#include "game/state.h"
#include "game/window.h"
#include "records/records.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QList>

#include <array>
#include <deque>

namespace tarmelon::test {

struct Dialog {
    QString kind; // "message" or "input"
    QString text;
    QString title;
    unsigned buttons = 0;
    Box::Icon icon = Box::NoIcon;
    QString defaultText;
};

class ScriptedWindow : public Window {
public:
    std::array<int, CellCount> cellPicture;
    std::array<QString, CellCount> cellToolTip;
    std::array<QString, 2> counter{QStringLiteral("Label1"), QStringLiteral("Label1")};
    QString seconds = QStringLiteral("0");
    std::array<QString, 10> recordName;
    std::array<QString, 10> recordScore;
    std::array<bool, 3> panelVisible{};
    int markerLeft = 8, markerTop = 48;
    bool markerVisible = true;
    int clockInterval = 0;
    int endedWith = -1;
    QList<std::pair<int, int>> cellWrites; // (cell, value) in the order shown
    QList<Dialog> dialogs;
    // What the player answers, in order; an empty script answers OK / Yes and
    // leaves the input box's default text.
    std::deque<Box::Button> answers;
    std::deque<QString> inputs;
    // Called when a dialog opens, before it is answered (to look at the
    // window as the player sees it then).
    std::function<void(const Dialog &)> onDialog;

    ScriptedWindow()
    {
        cellPicture.fill(-1);
        recordName.fill(QStringLiteral("---"));
        recordScore.fill(QStringLiteral("---"));
    }

    // Where a cell stands: any place that tells the cells apart will do.
    static std::pair<int, int> Place(int cell) { return {1000 + cell, 2000 + cell}; }

    void SetCellPicture(int cell, int value) override
    {
        cellPicture.at(cell) = value;
        cellWrites.append({cell, value});
    }
    void SetCellToolTip(int cell, const QString &text) override { cellToolTip.at(cell) = text; }
    int CellLeft(int cell) const override { return Place(cell).first; }
    int CellTop(int cell) const override { return Place(cell).second; }
    void SetMarkerPlace(int left, int top) override { markerLeft = left; markerTop = top; }
    void SetMarkerVisible(bool visible) override { markerVisible = visible; }
    void SetCounterText(int index, const QString &text) override { counter.at(index) = text; }
    void SetSecondsText(const QString &text) override { seconds = text; }
    void SetRecordNameText(int row, const QString &text) override { recordName.at(row) = text; }
    void SetRecordScoreText(int row, const QString &text) override { recordScore.at(row) = text; }
    void SetPanelVisible(Panel panel, bool visible) override
    {
        panelVisible.at(static_cast<std::size_t>(panel)) = visible;
    }
    void SetClockInterval(int milliseconds) override { clockInterval = milliseconds; }
    Box::Button MessageBox(const QString &text, const QString &title, unsigned buttons,
                           Box::Icon icon) override
    {
        Dialog d{QStringLiteral("message"), text, title, buttons, icon, {}};
        dialogs.append(d);
        if (onDialog)
            onDialog(d);
        if (answers.empty())
            return (buttons & Box::Yes) ? Box::Yes : Box::Ok;
        const Box::Button answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override
    {
        Dialog d{QStringLiteral("input"), prompt, title, 0, Box::NoIcon, defaultText};
        dialogs.append(d);
        if (onDialog)
            onDialog(d);
        if (inputs.empty())
            return defaultText;
        const QString text = inputs.front();
        inputs.pop_front();
        return text;
    }
    void EndProgram(int status) override { endedWith = status; }

    bool visible(Panel panel) const { return panelVisible.at(static_cast<std::size_t>(panel)); }
    // Which panel shows: 0 none, else 1 board, 2 records, 3 help; -1 several.
    int shownPanel() const
    {
        int shown = 0;
        for (int k = 0; k < 3; ++k) {
            if (panelVisible.at(static_cast<std::size_t>(k)))
                shown = shown == 0 ? k + 1 : -1;
        }
        return shown;
    }
    int countDialogs(const QString &kind) const
    {
        int n = 0;
        for (const Dialog &d : dialogs)
            n += d.kind == kind;
        return n;
    }
};

// Fresh game state and this window as the game's window; with a data
// directory, the records file kept there and none yet (a won game writes it).
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

// A template for QTemporaryDir on a RAM disk where there is one: many saves
// there wait for no disk.
inline QString RamDiskTemplate(const QString &name)
{
    const QString shm = QStringLiteral("/dev/shm");
    return (QFileInfo(shm).isWritable() ? shm : QDir::tempPath()) + QLatin1Char('/') + name
        + QStringLiteral("-XXXXXX");
}

inline int SpheresOnBoard()
{
    int n = 0;
    for (auto v : Game.Board)
        n += v != 0;
    return n;
}

} // namespace tarmelon::test
