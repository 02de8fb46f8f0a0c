#include "commands.h"
#include "mainwindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Every word of the game is Russian, so the dialogs' own buttons are too,
    // whatever the system's language.
    QTranslator qtRussian;
    if (qtRussian.load(QStringLiteral("qtbase_ru"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtRussian);

    tarmelon::MainWindow form1;
    tarmelon::SetWindow(&form1);
    tarmelon::Main();
    form1.show();
    return QApplication::exec();
}
