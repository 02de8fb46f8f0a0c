#include "application.h"
#include "commands.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tarmelon::SetUpApplication(app);
    tarmelon::MainWindow form1;
    tarmelon::SetWindow(&form1);
    tarmelon::Main();
    form1.show();
    return QApplication::exec();
}
