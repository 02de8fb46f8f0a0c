// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include "game/checked.h"
#include "game/state.h"

#include <QGuiApplication>
#include <QResource>

#include <array>

namespace tarmelon {

QPixmap LoadPicture(const QString &name)
{
    const QString base = QStringLiteral(":/assets/") + name;
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        QPixmap sharp(base + QStringLiteral("@2x.png"));
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    // The first paint's pictures are raw pixels in the screen's own format,
    // shown in place: no decoding, no copy (see assets/rawpixels.cpp).
    const QResource raw(QStringLiteral(":/pixels/") + name);
    if (raw.isValid()) {
        const auto *head = reinterpret_cast<const quint32 *>(raw.data());
        return QPixmap::fromImage(QImage(raw.data() + sizeof(quint32[3]), int(head[0]), int(head[1]),
                                         QImage::Format(head[2])));
    }
    return QPixmap(base + QStringLiteral(".png"));
}

const QPixmap &ValuePicture(int value)
{
    static const std::array<QPixmap, MaxValue + 1> holder = [] {
        std::array<QPixmap, MaxValue + 1> pictures;
        for (int v = 0; v <= MaxValue; ++v)
            pictures[static_cast<std::size_t>(v)] =
                LoadPicture(QStringLiteral("values/v%1").arg(v, 2, 10, QLatin1Char('0')));
        return pictures;
    }();
    return holder[Subscript(value, 0, MaxValue)];
}

QIcon ProgramIcon()
{
    // The desktop takes its larger icons from the installed icon theme.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64})
        icon.addPixmap(LoadPicture(QStringLiteral("icon/tarmelon-%1").arg(size)));
    return icon;
}

} // namespace tarmelon
