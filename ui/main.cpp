// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"
#include "commands.h"
#include "mainwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStandardPaths>

namespace {

// Reads the command line before the window exists, so --help and --version
// answer in the terminal without a display. True for --data-folder.
bool DataFolderWanted(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Тармелон — головоломка из красных и синих сфер."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataFolder(
        QStringLiteral("data-folder"),
        QStringLiteral("Хранить рекорды в $XDG_DATA_HOME/tarmelon (обычно ~/.local/share/tarmelon), "
                       "а не в текущей папке."));
    parser.addOption(dataFolder);
    parser.process(app);
    return parser.isSet(dataFolder);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setApplicationVersion(QStringLiteral(TARMELON_VERSION));
    // A plain start has nothing to read, and starts without that detour.
    const bool dataFolder = argc > 1 && DataFolderWanted(argc, argv);
    QApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    tarmelon::MainWindow form1;
    tarmelon::SetWindow(&form1);
    tarmelon::Main();
    if (dataFolder)
        tarmelon::KeepRecordsIn(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/tarmelon"));
    form1.show();
    return QApplication::exec();
}
