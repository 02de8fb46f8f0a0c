#include "recordfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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
    QStringEncoder encoder(CodePage);
    QByteArray bytes = encoder.encode(name);
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
    QStringDecoder decoder(CodePage);
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

ReadResult ReadFile(const QString &path)
{
    ReadResult result;
    QFile file(path);
    result.exists = file.exists();
    if (!result.exists)
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.ok = false;
        result.error = file.errorString();
        return result;
    }
    result.image = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.ok = false;
        result.error = file.errorString();
    }
    return result;
}

QString WriteFile(const QString &path, const QByteArray &image)
{
    QSaveFile file(path);
    // A directory the player cannot write in may still hold a writable file.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(image) != image.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace tarmelon::recordfile
