// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"

#include "game/checked.h"
#include "game/dealing.h"
#include "game/state.h"
#include "game/window.h"
#include "records/records.h"

#include <QDir>

namespace tarmelon {

namespace {
bool ending = false;

void Fail(const QString &message, int status)
{
    SetProgramEnding(true);
    Win().MessageBox(message, QStringLiteral("Тармелон"), Box::Ok, Box::Critical);
    Win().EndProgram(status);
}
} // namespace

void Main()
{
    InitialSpheres = 24;
    DataDir = recordfile::CurrentDirectory();
    ShowOnly(std::nullopt);
}

void KeepRecordsIn(const QString &folder)
{
    if (QDir().mkpath(folder)) {
        DataDir = folder;
        return;
    }
    Win().MessageBox(QStringLiteral("Не удалось создать папку для рекордов\n%1\n\nРекорды хранятся в папке\n%2")
                         .arg(folder, recordfile::Readable(DataDir)),
                     QStringLiteral("Рекорды"), Box::Ok, Box::Warning);
}

void ShowHelp()
{
    ShowOnly(Panel::Help);
}

void ExitCommand()
{
    ShowOnly(std::nullopt);
    const Box::Button answer = Win().MessageBox(QStringLiteral("Вы уверены?"), QStringLiteral("ВЫХОД"),
                                                Box::Yes | Box::No, Box::Question);
    if (answer == Box::Yes) {
        SetProgramEnding(true);
        Win().EndProgram(0);
    }
}

void ToolbarClick(int index)
{
    switch (index) {
    case 1: NewGame(); break;
    case 2: ShowRecords(); break;
    case 3: ShowHelp(); break;
    case 4: ExitCommand(); break;
    default: break;
    }
}

void RunHandler(const std::function<void()> &handler)
{
    if (ending)
        return;
    try {
        handler();
    } catch (const RunTimeError &error) {
        Fail(error.message(), error.number());
    } catch (const std::exception &error) {
        Fail(QStringLiteral("Ошибка выполнения:\n%1").arg(QString::fromLocal8Bit(error.what())), 1);
    }
}

void SetProgramEnding(bool ends)
{
    ending = ends;
}

bool ProgramEnding()
{
    return ending;
}

} // namespace tarmelon
