#include "application.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarmelon {

void SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("tarmelon"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarmelon.Tarmelon"));
    // Every word of the game is Russian, so the dialogs' own buttons ("Да",
    // "Нет", "Отмена") are too, whatever the system's language.
    auto *russian = new QTranslator(&app);
    if (russian->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(russian);
}

} // namespace tarmelon
