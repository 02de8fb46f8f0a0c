// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"
#include "commands.h"
#include "mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

#include <cstdio>
#include <string_view>

namespace {

// The game's own options. The rest of a command line is Qt's (-style,
// -platform, -reverse, ...), taken out by QApplication, or unknown.
struct Options {
    QCommandLineParser parser;
    const QCommandLineOption dataFolder{
        QStringLiteral("data-folder"),
        QStringLiteral("Хранить рекорды в $XDG_DATA_HOME/tarmelon (обычно ~/.local/share/tarmelon), "
                       "а не в текущей папке.")};

    Options()
    {
        // Qt's -reverse is one word, not -r -e -v ...
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(QStringLiteral("Тармелон — головоломка из красных и синих сфер."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(dataFolder);
        parser.parse(QCoreApplication::arguments());
    }
};

// --help and --version answer in the terminal before Qt looks for a display.
void AnswerHelpAndVersion(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    Options options;
    for (const QString &asked : {QStringLiteral("help-all"), QStringLiteral("help"), QStringLiteral("version")})
        if (options.parser.isSet(asked)) // answers and exits
            options.parser.process({QCoreApplication::arguments().first(), QStringLiteral("--") + asked});
}

// Without a display Qt aborts with a core dump and advice to reinstall. A
// platform or display named outright is left to Qt.
bool DisplayMissing(int argc, char *argv[])
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name))
            return false;
    for (int i = 1; i < argc; ++i)
        if (const std::string_view arg = argv[i]; arg == "-platform" || arg == "--platform" || arg == "-display")
            return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationVersion(QStringLiteral(TARMELON_VERSION));
    // A plain start has nothing to answer, and starts without that detour.
    if (argc > 1)
        AnswerHelpAndVersion(argc, argv);
    if (DisplayMissing(argc, argv)) {
        std::fputs("tarmelon: нет дисплея: не заданы ни DISPLAY, ни WAYLAND_DISPLAY.\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    const Options options;
    // An unknown argument is no reason not to play.
    if (const QStringList unknown = options.parser.unknownOptionNames() + options.parser.positionalArguments();
        !unknown.isEmpty())
        std::fprintf(stderr, "tarmelon: пропущены неизвестные параметры: %s\n", qPrintable(unknown.join(u", ")));
    tarmelon::MainWindow form1;
    tarmelon::SetWindow(&form1);
    tarmelon::Main();
    if (options.parser.isSet(options.dataFolder))
        tarmelon::KeepRecordsIn(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tarmelon"));
    form1.show();
    return QApplication::exec();
}
