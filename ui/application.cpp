// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tarmelon {

namespace {
// Qt's Russian translation leaves the OK button in Latin letters; the game's
// boxes say "ОК" in Cyrillic.
class CyrillicOk : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        const QLatin1StringView text(sourceText);
        if (qstrcmp(context, "QPlatformTheme") == 0 && text == QLatin1StringView("OK"))
            return QStringLiteral("ОК");
        // The GNOME theme's own button texts.
        if (qstrcmp(context, "QGnomeTheme") == 0 && text == QLatin1StringView("&OK"))
            return QStringLiteral("&ОК");
        return {};
    }
};
} // namespace

void SetUpApplication(QCoreApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("tarmelon"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tarmelon.Tarmelon"));
    // Every word of the game is Russian, so the dialogs' own buttons ("Да",
    // "Нет", "Отмена", "ОК") are too, whatever the system's language. The
    // translator installed last is asked first.
    auto *russian = new QTranslator(&app);
    if (russian->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(russian);
    QCoreApplication::installTranslator(new CyrillicOk(&app));
}

} // namespace tarmelon
