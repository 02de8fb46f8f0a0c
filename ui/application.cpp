// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarmelon {

void SetUpApplication(QCoreApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("tarmelon"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarmelon.Tarmelon"));
    // Every word of the game is Russian, so Qt's own words are too, whatever
    // the system's language: the name box's edit menu, the command line's
    // help. The dialogs' buttons are named by the window itself.
    auto *russian = new QTranslator(&app);
    if (russian->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(russian);
}

} // namespace tarmelon
