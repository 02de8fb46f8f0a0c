// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The records file: 20 fixed records of 128 bytes. Records 1..10 hold the
// names of places 1..10 (16-bit little-endian length, then Windows-1251
// bytes), records 11..20 their scores (signed 16-bit little-endian). Bytes
// past the end read as zero; bytes after record 20 are kept as they are.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace tarmelon {

struct RecordEntry {
    std::int16_t Score = 0;
    QString Name;
};

namespace recordfile {

constexpr int RecordLength = 128;
constexpr int Places = 10;
constexpr int FileLength = 2 * Places * RecordLength; // 2,560 bytes
constexpr int MaxNameBytes = RecordLength - 2;        // 126

using Places10 = std::array<RecordEntry, Places>;

// A name is one line: control characters either way become spaces.
// Windows-1251 bytes of a name: a character the code page lacks becomes '?',
// and the result is cut to MaxNameBytes.
QByteArray EncodeName(const QString &name);
QString DecodeName(const QByteArray &bytes);

// Places 1..10 as the file image holds them; a short image reads as zeros.
Places10 DecodePlaces(const QByteArray &image);
// The file image with places 1..10 written over the first 20 records; any
// bytes of `previous` after record 20 are kept.
QByteArray EncodePlaces(const Places10 &places, const QByteArray &previous);

// A records file is a regular file of at most this size; anything else (a
// pipe, a device, a directory, a huge file) is not a table and is left alone.
constexpr qint64 MaxFileBytes = 64 * 1024;

struct ReadResult {
    bool ok = true;
    QByteArray image;  // empty for a missing file
    QString error;     // the reason when !ok
    QStringList names; // the path, then each link's target in turn: the file read is the last
    int permissions = -1; // the mode bits of the file read; -1 for none
};
// Never blocks, whatever stands at `path`. In a sticky folder that everyone
// may write in, such as /tmp, a symbolic link that neither the player nor the
// folder's owner made is not followed (the rule of the kernel's
// fs.protected_symlinks, kept whatever the system's setting): anyone could
// have put it there to turn the game's saves onto the player's own files.
ReadResult ReadFile(const QString &path);

// What a save makes of the file image as it stands; nothing to leave it as it is.
using Change = std::function<std::optional<QByteArray>(const QByteArray &image)>;

// Saves over the file `read` read, through the same links; when the path now
// leads elsewhere, writes nothing and says so. With the lock beside the file
// held, reads it afresh (another game may have saved meanwhile) and writes
// what `change` makes of it. The new file is renamed over the old one once
// it is on disk, or, where the directory takes no lock file, the file is
// locked and written in place. Returns the reason on failure, an empty text
// on success.
QString Update(const ReadResult &read, const Change &change);

// The current directory as a path that reaches it byte for byte: a name that
// is not valid UTF-8 loses bytes in a QString, so such a directory is reached
// through a handle held open for the run, as /proc/self/fd/N.
QString CurrentDirectory();
// A path as the player reads it: such a handle shown as the directory's name.
QString Readable(const QString &path);

} // namespace recordfile
} // namespace tarmelon
