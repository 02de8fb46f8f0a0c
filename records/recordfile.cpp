// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordfile.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryFile>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarmelon::recordfile {

namespace {

constexpr char Substitute = 0x1a; // what the converter writes for a missing character
const char *const CodePage = "windows-1251";

// Bytes past the end of the image read as zero.
template <typename Word> Word ReadWord(const QByteArray &image, qsizetype at)
{
    return qFromLittleEndian<Word>(image.mid(at, 2).leftJustified(2, '\0').constData());
}

QString OneLine(QString name)
{
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return name;
}

} // namespace

QByteArray EncodeName(const QString &name)
{
    // One converter for the run, without state between names: finding the
    // code page is the costly part.
    static QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    // With no control character left, every substitute byte marks a missing character.
    QByteArray bytes = encoder.encode(OneLine(name));
    return bytes.replace(Substitute, '?').left(MaxNameBytes);
}

QString DecodeName(const QByteArray &bytes)
{
    static QStringDecoder decoder(CodePage, QStringConverter::Flag::Stateless);
    return OneLine(decoder.decode(bytes));
}

Places10 DecodePlaces(const QByteArray &image)
{
    Places10 places;
    for (int n = 1; n <= Places; ++n) {
        const qsizetype nameAt = qsizetype(n - 1) * RecordLength;
        // A damaged length never reads past its own record.
        const int length = std::min<int>(ReadWord<quint16>(image, nameAt), MaxNameBytes);
        QByteArray bytes = image.mid(nameAt + 2, length);
        bytes.append(QByteArray(length - bytes.size(), '\0'));
        places[n - 1].Name = DecodeName(bytes);
        const qsizetype scoreAt = qsizetype(n + Places - 1) * RecordLength;
        places[n - 1].Score = ReadWord<qint16>(image, scoreAt);
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
        qToLittleEndian<quint16>(quint16(name.size()), image.data() + nameAt);
        image.replace(nameAt + 2, name.size(), name);
        const qsizetype scoreAt = qsizetype(n + Places - 1) * RecordLength;
        qToLittleEndian<qint16>(places[n - 1].Score, image.data() + scoreAt);
    }
    return image;
}

namespace {

constexpr int LockWaitMs = 2000;

QString Busy() { return QStringLiteral("Файл рекордов занят другой запущенной игрой."); }

QByteArray Native(const QString &path) { return QFile::encodeName(path); }

// Opens without blocking, so that a pipe or a device in the file's place
// cannot hang the window, and checks the type of what was opened, not of
// what stood there a moment before. A link put in the file's place after its
// name was followed is not opened. Returns errno, or -1 for not a regular
// file, or 0 when open.
int OpenRegular(QFile &file, const QString &path, int flags, QString &error)
{
    const int fd = ::open(Native(path).constData(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
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

// The names `path` leads through, link by link (a save replaces the file at
// the end, and the links stay links); empty, with the reason, where a link
// may not be followed.
QStringList FollowLinks(const QString &path, QString &error)
{
    QStringList names{path};
    for (struct stat link {}; ::lstat(Native(names.last()).constData(), &link) == 0 && S_ISLNK(link.st_mode);) {
        const QString folder = QFileInfo(names.last()).path();
        struct stat shared {};
        if (::stat(Native(folder).constData(), &shared) != 0) {
            error = qt_error_string(errno);
            return {};
        }
        if ((shared.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH) && link.st_uid != ::geteuid()
            && link.st_uid != shared.st_uid) {
            error = QStringLiteral("Это ссылка другого пользователя в общей папке: по ней игра не читает и не пишет.");
            return {};
        }
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(Native(names.last()).constData(), target.data(), target.size());
        if (length < 0 || names.size() > 40) {
            error = qt_error_string(length < 0 ? errno : ELOOP);
            return {};
        }
        target.truncate(length);
        names << (target.startsWith('/') ? QFile::decodeName(target) : folder + u'/' + QFile::decodeName(target));
    }
    return names;
}

// Writes a new file beside the old one, syncs it to disk and renames it over
// the old name: a kill or a crash leaves the old table or the new one. The
// rename replaces the name itself, never what a link put there meanwhile
// leads to. On failure the new file goes away.
QString WriteAtomically(const QString &target, const QByteArray &image, int permissions)
{
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return file.errorString();
    if (permissions < 0) { // as any new file is made
        const mode_t mask = ::umask(0);
        ::umask(mask);
        permissions = int(0666 & ~mask);
    }
    // Told by errno: Qt says only "Unknown error" of a full disk.
    if (file.write(image) != image.size() || !file.flush() || ::fchmod(file.handle(), mode_t(permissions)) != 0
        || ::fdatasync(file.handle()) != 0 || ::rename(Native(file.fileName()).constData(), Native(target).constData()) != 0)
        return qt_error_string(errno);
    file.setAutoRemove(false);
    return {};
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
        && ::fstat(file.handle(), &held) == 0 && ::stat(Native(name).constData(), &named) == 0
        && held.st_ino == named.st_ino && ::unlink(Native(name).constData()) == 0;
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
    if (const int code = OpenRegular(file, target, O_RDWR, error); code != 0)
        return code == ENOENT ? QStringLiteral("В папку файла рекордов нельзя записывать.") : error;
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
    result.names = FollowLinks(path, result.error);
    QFile file;
    const int code = result.names.isEmpty() ? -1 : OpenRegular(file, result.names.last(), O_RDONLY, result.error);
    if (code == ENOENT)
        result.error.clear();
    else
        result.ok = code == 0 && ReadOpened(file, result.image, result.error);
    struct stat info {};
    if (result.ok && file.isOpen() && ::fstat(file.handle(), &info) == 0)
        result.permissions = int(info.st_mode & 0777);
    return result;
}

QString Update(const ReadResult &read, const Change &change)
{
    const QString replaced = QStringLiteral("Файл рекордов подменён после того, как его прочли; рекорд не записан.");
    QString error;
    const QStringList names = FollowLinks(read.names.value(0), error);
    if (names.isEmpty())
        return error;
    if (names != read.names)
        return replaced;
    const QString target = names.last();
    const QString lockName = target + QStringLiteral(".lock");
    QLockFile lock(lockName);
    if (!Lock(lock, lockName)) {
        switch (lock.error()) {
        case QLockFile::PermissionError: return UpdateInPlace(target, change);
        case QLockFile::LockFailedError: return Busy();
        default: return QStringLiteral("Не удалось создать файл блокировки рядом с ним.");
        }
    }
    // Whoever might swap the file ignores the lock: the path is followed anew.
    const ReadResult fresh = ReadFile(read.names[0]);
    if (!fresh.ok)
        return fresh.error;
    if (fresh.names != names)
        return replaced;
    const std::optional<QByteArray> image = change(fresh.image);
    return image ? WriteAtomically(target, *image, fresh.permissions) : QString();
}

QString CurrentDirectory()
{
    const QString path = QDir::currentPath();
    char *bytes = ::getcwd(nullptr, 0);
    const bool exact = bytes && Native(path) == bytes;
    std::free(bytes);
    const int handle = exact ? -1 : ::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    return handle < 0 ? path : QStringLiteral("/proc/self/fd/%1").arg(handle);
}

QString Readable(const QString &path)
{
    static const QRegularExpression handle(QStringLiteral("^/proc/self/fd/\\d+"));
    const QRegularExpressionMatch match = handle.match(path);
    return match.hasMatch() ? QFile::symLinkTarget(match.captured()) + path.mid(match.capturedEnd()) : path;
}

} // namespace tarmelon::recordfile
