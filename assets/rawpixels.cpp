// SPDX-License-Identifier: GPL-3.0-or-later
// rawpixels IN.png OUT: writes the picture as its width, height and QImage
// format (three native 32-bit words), then its pixels in the format the
// screen takes as it is, so the program shows it with no decoding and no
// copy. The build runs it for the pictures of the first paint.

#include <QFile>
#include <QImage>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: rawpixels IN.png OUT\n", stderr);
        return 2;
    }
    QImage image(QString::fromLocal8Bit(argv[1]));
    image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32);
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (image.isNull() || !out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "rawpixels: cannot convert %s to %s\n", argv[1], argv[2]);
        return 1;
    }
    const quint32 head[3] = {quint32(image.width()), quint32(image.height()), quint32(image.format())};
    out.write(reinterpret_cast<const char *>(head), sizeof head);
    out.write(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    return out.error() == QFileDevice::NoError ? 0 : 1;
}
