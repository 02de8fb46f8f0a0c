// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordfile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarmelon::recordfile {

namespace {

constexpr char Substitute = 0x1a; // what the converter writes for a missing character
const char *const CodePage = "windows-1251";

quint16 ReadWord(const QByteArray &image, qsizetype at)
{
    auto byte = [&](qsizetype i) -> quint16 {
        return i < image.size() ? static_cast<quint8>(image[i]) : 0;
    };
    return static_cast<quint16>(byte(at) | (byte(at + 1) << 8));
}

void WriteWord(QByteArray &image, qsizetype at, quint16 value)
{
    image[at] = static_cast<char>(value & 0xff);
    image[at + 1] = static_cast<char>(value >> 8);
}

} // namespace

QByteArray EncodeName(const QString &name)
{
    // One converter for the run, without state between names: finding the
    // code page is the costly part.
    static QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(name);
    if (!bytes.contains(Substitute))
        return bytes.left(MaxNameBytes);
    // The code page is one byte a character, so byte k stands for code point
    // k: a substitute byte that no U+001A produced marks a missing character.
    const QList<uint> codePoints = name.toUcs4();
    for (qsizetype k = 0; k < std::min(bytes.size(), codePoints.size()); ++k) {
        if (bytes[k] == Substitute && codePoints[k] != 0x1a)
            bytes[k] = '?';
    }
    bytes.truncate(MaxNameBytes);
    return bytes;
}

QString DecodeName(const QByteArray &bytes)
{
    static QStringDecoder decoder(CodePage, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

Places10 DecodePlaces(const QByteArray &image)
{
    Places10 places;
    for (int n = 1; n <= Places; ++n) {
        const qsizetype nameAt = qsizetype(n - 1) * RecordLength;
        // A damaged length never reads past its own record.
        const int length = std::min<int>(ReadWord(image, nameAt), MaxNameBytes);
        QByteArray bytes = image.mid(nameAt + 2, length);
        bytes.append(QByteArray(length - bytes.size(), '\0'));
        places[n - 1].Name = DecodeName(bytes);
        const qsizetype scoreAt = qsizetype(n + Places - 1) * RecordLength;
        places[n - 1].Score = static_cast<std::int16_t>(ReadWord(image, scoreAt));
    }
    return places;
}

QByteArray EncodePlaces(const Places10 &places, const QByteArray &previous)
{
    QByteArray image(FileLength, '\0');
    if (previous.size() > FileLength)
        image.append(previous.mid(FileLength));
    for (int n = 1; n <= Places; ++n) {
        const qsizetype nameAt = qsizetype(n - 1) * RecordLength;
        const QByteArray name = EncodeName(places[n - 1].Name);
        WriteWord(image, nameAt, static_cast<quint16>(name.size()));
        image.replace(nameAt + 2, name.size(), name);
        const qsizetype scoreAt = qsizetype(n + Places - 1) * RecordLength;
        WriteWord(image, scoreAt, static_cast<quint16>(places[n - 1].Score));
    }
    return image;
}

namespace {

constexpr int LockWaitMs = 2000;

QString Busy() { return QStringLiteral("Файл рекордов занят другой запущенной игрой."); }

// Opens without blocking, so that a pipe or a device in the file's place
// cannot hang the window, and checks the type of what was opened, not of
// what stood there a moment before. Returns errno, or -1 for not a regular
// file, or 0 when open.
int OpenRegular(QFile &file, const QString &path, int flags, QString &error)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int code = errno;
        error = qt_error_string(code);
        return code;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = QStringLiteral("Это не обычный файл.");
        return -1;
    }
    file.open(fd, flags == O_RDONLY ? QIODevice::ReadOnly : QIODevice::ReadWrite,
              QFileDevice::AutoCloseHandle);
    return 0;
}

bool ReadOpened(QFile &file, QByteArray &image, QString &error)
{
    image = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        error = file.errorString();
    else if (image.size() > MaxFileBytes)
        error = QStringLiteral("Файл больше 64 КиБ: это не таблица рекордов.");
    return error.isEmpty();
}

// The file a symbolic link leads to: a save replaces that file, and the
// link stays a link.
QString LinkTarget(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

// QSaveFile writes a new file beside the old one and, in commit(), syncs it
// to disk (fdatasync in Qt 6 on Linux) before it renames it over the old
// name: a kill or a crash leaves the old table or the new one. On failure
// the new file goes away with it.
QString WriteAtomically(const QString &target, const QByteArray &image)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Flushed here and told by errno: QSaveFile says only "Unknown error"
    // of a full disk.
    if (file.write(image) != image.size() || !file.flush()) {
        const QString error = qt_error_string(errno);
        file.cancelWriting();
        return error;
    }
    return file.commit() ? QString() : file.errorString();
}

// Qt takes a lock file without its owner's details for a live one until it
// is 30 s old, and a game killed between creating such a file and writing
// them leaves one (for the lock or for Qt's ".rmlock" beside it). Its owner
// held Qt's flock on it from the start, so one that nobody holds and that
// has stayed empty for a moment is stale.
bool RemoveHalfMadeLock(const QString &name)
{
    QFile file(name);
    struct stat held {}, named {};
    return file.open(QIODevice::ReadOnly) && file.size() == 0
        && QFileInfo(file).lastModified().msecsTo(QDateTime::currentDateTime()) > 100
        && ::flock(file.handle(), LOCK_EX | LOCK_NB) == 0
        // Still the file looked at, not one that another game made since.
        && ::fstat(file.handle(), &held) == 0 && ::stat(QFile::encodeName(name).constData(), &named) == 0
        && held.st_ino == named.st_ino && ::unlink(QFile::encodeName(name).constData()) == 0;
}

bool Lock(QLockFile &lock, const QString &name)
{
    QDeadlineTimer deadline(LockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired())
            return false;
        bool removed = false;
        for (QString n = name; QFileInfo::exists(n); n += QStringLiteral(".rmlock"))
            removed = RemoveHalfMadeLock(n) || removed;
        if (!removed)
            QThread::msleep(20);
    }
    return true;
}

// A directory the player cannot write in takes neither a lock file nor a new
// file, but may hold a writable records file: then that file is locked
// itself and written where it stands, which is not atomic.
QString UpdateInPlace(const QString &target, const Change &change)
{
    QFile file;
    QString error;
    if (OpenRegular(file, target, O_RDWR, error) != 0)
        return error;
    QDeadlineTimer deadline(LockWaitMs);
    while (::flock(file.handle(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || deadline.hasExpired())
            return Busy();
        QThread::msleep(50);
    }
    QByteArray image;
    if (!ReadOpened(file, image, error))
        return error;
    const std::optional<QByteArray> changed = change(image);
    if (!changed)
        return {};
    if (!file.seek(0) || file.write(*changed) != changed->size() || !file.flush())
        return file.errorString();
    return ::fsync(file.handle()) == 0 ? QString() : qt_error_string(errno);
}

} // namespace

ReadResult ReadFile(const QString &path)
{
    ReadResult result;
    QFile file;
    const int code = OpenRegular(file, path, O_RDONLY, result.error);
    if (code == ENOENT)
        result.error.clear();
    else
        result.ok = code == 0 && ReadOpened(file, result.image, result.error);
    return result;
}

QString Update(const QString &path, const Change &change)
{
    const QString target = LinkTarget(path);
    const QString lockName = target + QStringLiteral(".lock");
    QLockFile lock(lockName);
    if (!Lock(lock, lockName)) {
        switch (lock.error()) {
        case QLockFile::PermissionError: return UpdateInPlace(target, change);
        case QLockFile::LockFailedError: return Busy();
        default: return QStringLiteral("Не удалось создать файл блокировки рядом с ним.");
        }
    }
    const ReadResult fresh = ReadFile(target);
    if (!fresh.ok)
        return fresh.error;
    const std::optional<QByteArray> image = change(fresh.image);
    return image ? WriteAtomically(target, *image) : QString();
}

} // namespace tarmelon::recordfile
