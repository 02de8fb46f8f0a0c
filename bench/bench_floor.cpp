// The floor: the least a Qt 6 program of the game's size does. A plain
// 533 x 621 QWidget, a toolbar of four 32 x 32 text-beside-icon buttons, 64
// picture labels, 30 text labels and 4 frames; no game code, no resources
// (its pictures are filled in memory). Modes as bench_game's.

#include "probe.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("startup");
    if (mode == "version") {
        std::printf("qt %s\n", qVersion());
        return 0;
    }
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(533, 621);

    QPixmap picture(60, 56);
    picture.fill(QColor(128, 0, 0));
    QPixmap icon(32, 32);
    icon.fill(QColor(0, 0, 128));

    // Three frames of ten text labels side by side, and one around the
    // 8 x 8 pictures; the ticking label lies on one frame, as the game's
    // seconds do.
    QLabel *ticking = nullptr;
    for (int f = 0; f < 3; ++f) {
        auto *frame = new QFrame(&window);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setGeometry(4 + 176 * f, 46, 172, 78);
        for (int k = 0; k < 10; ++k) {
            auto *label = new QLabel(QStringLiteral("Label %1").arg(10 * f + k), frame);
            label->setGeometry(6 + 82 * (k % 2), 4 + 14 * (k / 2), 78, 14);
            if (!ticking)
                ticking = label;
        }
    }
    auto *board = new QFrame(&window);
    board->setFrameStyle(QFrame::Box | QFrame::Sunken);
    board->setGeometry(4, 126, 525, 493);
    for (int i = 0; i < 64; ++i) {
        auto *label = new QLabel(board);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(2);
        label->setPixmap(picture);
        label->setGeometry(6 + 64 * (i % 8), 4 + 60 * (i / 8), 64, 60);
    }
    auto *toolbar = new QToolBar(&window);
    toolbar->setGeometry(0, 0, 533, 44);
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (int k = 0; k < 4; ++k) {
        auto *button = new QToolButton(toolbar);
        button->setIcon(QIcon(icon));
        button->setText(QStringLiteral("Button %1").arg(k + 1));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        toolbar->addWidget(button);
    }

    bench::FirstPaint firstPaint(&window);
    if (mode == "startup")
        app.installEventFilter(&firstPaint);
    // The idle floor: a one-second timer updating one label.
    QTimer clock;
    int seconds = 0;
    QObject::connect(&clock, &QTimer::timeout, ticking,
                     [&] { ticking->setText(QString::number(++seconds)); });
    window.show();
    if (mode == "idle") {
        clock.start(1000);
        std::puts("ready");
        std::fflush(stdout);
    }
    if (mode == "startup" || mode == "idle")
        return QApplication::exec();
    if (mode == "memory") {
        bench::Spin(std::max(0, 3000 - static_cast<int>(bench::SinceLaunchUs() / 1000)));
        bench::Report("pss_start_kb", bench::SmapsKb("Pss"));
    }
    std::fflush(stdout);
    std::_Exit(0);
}
