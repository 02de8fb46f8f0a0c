#include "records.h"

#include "game/checked.h"
#include "game/state.h"
#include "game/window.h"

namespace tarmelon {

std::array<RecordEntry, RecordSlots> RecordTable;

namespace {

const QString DefaultName = QStringLiteral("Зарвел");

int DefaultScore(int place) { return 100 * place + 400; }

void SetDefaults()
{
    for (int n = 1; n <= recordfile::Places; ++n) {
        Slot(n).Name = DefaultName;
        Slot(n).Score = ToInteger(DefaultScore(n));
    }
}

recordfile::Places10 Places()
{
    recordfile::Places10 places;
    for (int n = 1; n <= recordfile::Places; ++n)
        places[n - 1] = Slot(n);
    return places;
}

void Warn(const QString &what, const QString &reason)
{
    Win().MessageBox(QStringLiteral("%1\n%2\n\n%3").arg(what, RecordsPath(), reason),
                     QStringLiteral("Рекорды"), Box::Ok, Box::Warning);
}

// Writes places 1..10 over the file as it was read, keeping whatever it
// holds after them.
void Save(const QByteArray &read)
{
    const QString error = recordfile::WriteFile(RecordsPath(), recordfile::EncodePlaces(Places(), read));
    if (!error.isEmpty())
        Warn(QStringLiteral("Не удалось сохранить таблицу рекордов в файл"), error);
}

} // namespace

RecordEntry &Slot(int n)
{
    return RecordTable[Subscript(n, 1, RecordSlots)];
}

QString RecordsPath()
{
    return DataDir + QStringLiteral("/tarmelon.dat");
}

void ShowRecords()
{
    Window &w = Win();
    w.SetClockInterval(0);
    w.SetPanelVisible(Panel::Board, false);
    w.SetPanelVisible(Panel::Records, true);
    w.SetPanelVisible(Panel::Help, false);

    // A file that cannot be read is never written over: the table it holds
    // must survive whatever this display does.
    const recordfile::ReadResult loaded = recordfile::ReadFile(RecordsPath());
    if (loaded.ok) {
        const recordfile::Places10 places = recordfile::DecodePlaces(loaded.image);
        for (int n = 1; n <= recordfile::Places; ++n)
            Slot(n) = places[n - 1];
        if (Slot(1).Score == 0) {
            SetDefaults();
            Save(loaded.image);
        }
    } else {
        Warn(QStringLiteral("Не удалось прочитать файл рекордов; показана таблица по умолчанию."),
             loaded.error);
        SetDefaults();
    }

    if (Game.SelectState == GameWon) {
        for (int n = 1; n <= recordfile::Places; ++n) {
            if (Slot(n).Score > Game.ElapsedSeconds) {
                const QString name = w.InputBox(
                    QStringLiteral("Введите свое имя"),
                    QStringLiteral("Поздравляем! Вы попали в таблицу рекордов"),
                    QStringLiteral("имя"));
                for (int k = recordfile::Places + 1; k >= n + 1; --k)
                    Slot(k) = Slot(k - 1);
                // Shown as the file will hold it: cut to its record, '?' for
                // what the code page lacks.
                Slot(n).Name = recordfile::DecodeName(recordfile::EncodeName(name));
                Slot(n).Score = Game.ElapsedSeconds;
                if (loaded.ok)
                    Save(loaded.image);
                else
                    Warn(QStringLiteral("Рекорд не сохранён: файл рекордов не удалось прочитать."),
                         loaded.error);
                break;
            }
        }
        Game.SelectState = NothingSelected;
    }

    for (int n = 1; n <= recordfile::Places; ++n) {
        w.SetRecordNameText(n - 1, Slot(n).Name);
        w.SetRecordScoreText(n - 1, QString::number(Slot(n).Score));
    }
}

} // namespace tarmelon
