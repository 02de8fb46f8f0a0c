// SPDX-License-Identifier: GPL-3.0-or-later
#include "records.h"

#include "game/checked.h"
#include "game/state.h"
#include "game/window.h"

#include <optional>

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

void Load(const QByteArray &image)
{
    const recordfile::Places10 places = recordfile::DecodePlaces(image);
    for (int n = 1; n <= recordfile::Places; ++n)
        Slot(n) = places[n - 1];
}

recordfile::Places10 Places()
{
    recordfile::Places10 places;
    for (int n = 1; n <= recordfile::Places; ++n)
        places[n - 1] = Slot(n);
    return places;
}

// The place a time earns: the first whose score is greater; 0 for none.
int PlaceFor(std::int16_t time)
{
    for (int n = 1; n <= recordfile::Places; ++n) {
        if (Slot(n).Score > time)
            return n;
    }
    return 0;
}

bool Enter(const RecordEntry &record)
{
    const int n = PlaceFor(record.Score);
    if (n == 0)
        return false;
    for (int k = recordfile::Places + 1; k >= n + 1; --k)
        Slot(k) = Slot(k - 1);
    Slot(n) = record;
    return true;
}

// The one place this part asks the window for a message box.
void Warn(const QString &what, const QString &reason)
{
    Win().MessageBox(QStringLiteral("%1\n%2\n\n%3").arg(what, recordfile::Readable(RecordsPath()), reason),
                     QStringLiteral("Рекорды"), Box::Ok, Box::Warning);
}

// Takes the table as the file `read` holds it at this moment, under the
// lock, so that another running game's save in between is kept: resets it to
// the defaults if it reads empty, enters the record (if any) by its time, and
// writes it back when either changed it.
void Store(const recordfile::ReadResult &read, const std::optional<RecordEntry> &record)
{
    bool entered = false;
    const QString error = recordfile::Update(read, [&](const QByteArray &image) {
        Load(image);
        const bool reset = Slot(1).Score == 0;
        if (reset)
            SetDefaults();
        entered = record && Enter(*record);
        return reset || entered ? std::optional(recordfile::EncodePlaces(Places(), image))
                                : std::nullopt;
    });
    if (error.isEmpty())
        return;
    // Not saved, but shown for this display.
    if (record && !entered)
        Enter(*record);
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
    ShowOnly(Panel::Records);

    // A file that cannot be read is never written over: the table it holds
    // must survive whatever this display does.
    const recordfile::ReadResult loaded = recordfile::ReadFile(RecordsPath());
    if (loaded.ok) {
        Load(loaded.image);
        if (Slot(1).Score == 0) {
            SetDefaults(); // shown even if the save fails
            Store(loaded, std::nullopt);
        }
    } else {
        Warn(QStringLiteral("Не удалось прочитать файл рекордов; показана таблица по умолчанию."),
             loaded.error);
        SetDefaults();
    }

    if (Game.SelectState == GameWon) {
        // The time as the search finds it, whatever the clock does meanwhile.
        const std::int16_t time = Game.ElapsedSeconds;
        if (PlaceFor(time) != 0) {
            const QString name = w.InputBox(
                QStringLiteral("Введите свое имя"),
                QStringLiteral("Поздравляем! Вы попали в таблицу рекордов"),
                QStringLiteral("имя"));
            // Shown as the file will hold it: one line, cut to its record,
            // '?' for what the code page lacks.
            const RecordEntry record{time, recordfile::DecodeName(recordfile::EncodeName(name))};
            if (loaded.ok) {
                Store(loaded, record);
            } else {
                Enter(record);
                Warn(QStringLiteral("Рекорд не сохранён: файл рекордов не удалось прочитать."),
                     loaded.error);
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
