// SPDX-License-Identifier: GPL-3.0-or-later
#include "checked.h"

namespace tarmelon {

const char *RunTimeError::what() const noexcept
{
    return number_ == Overflow ? "Overflow (6)" : "Subscript out of range (9)";
}

QString RunTimeError::message() const
{
    const QString name = number_ == Overflow ? QStringLiteral("Переполнение")
                                             : QStringLiteral("Индекс вне допустимого диапазона");
    return QStringLiteral("Ошибка выполнения %1:\n%2").arg(number_).arg(name);
}

} // namespace tarmelon
