// SPDX-License-Identifier: GPL-3.0-or-later
// The floor: the least a Qt 6 program of the game's size does. A 533 x 621
// window, a toolbar of four 32 x 32 text-beside-icon buttons, 64 picture
// labels, 30 text labels, 4 frames; no game code, no resources. Idle, a label
// ticks every second; a click on a picture swaps it for another.

#include "probe.h"

#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

#include <vector>

// A picture label that shows the other picture on a click.
struct Picture : QLabel {
    const QPixmap *pictures;
    Picture(QWidget *parent, const QPixmap *both) : QLabel(parent), pictures(both) { setPixmap(both[0]); }
    void mouseReleaseEvent(QMouseEvent *) override
    {
        setPixmap(pictures[pixmap().cacheKey() == pictures[0].cacheKey()]);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.setFixedSize(533, 621);
    auto frame = [&window](QRect place) {
        auto *f = new QFrame(&window);
        f->setFrameStyle(QFrame::Box | QFrame::Sunken);
        f->setGeometry(place);
        return f;
    };

    // Three frames of ten text labels side by side; the first label ticks,
    // as the game's seconds do.
    QLabel *ticking = nullptr;
    for (int f = 0; f < 3; ++f) {
        QFrame *texts = frame({4 + 176 * f, 46, 172, 78});
        for (int k = 0; k < 10; ++k) {
            auto *label = new QLabel(QStringLiteral("Label %1").arg(10 * f + k), texts);
            label->setGeometry(6 + 82 * (k % 2), 4 + 14 * (k / 2), 78, 14);
            if (!ticking)
                ticking = label;
        }
    }
    // And one around the 8 x 8 pictures.
    QFrame *board = frame({4, 126, 525, 493});
    QPixmap pictures[2] = {QPixmap(60, 56), QPixmap(60, 56)};
    pictures[0].fill(QColor(128, 0, 0));
    pictures[1].fill(QColor(0, 0, 128));
    std::vector<QLabel *> labels;
    for (int i = 0; i < 64; ++i) {
        labels.push_back(new Picture(board, pictures));
        labels.back()->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        labels.back()->setLineWidth(2);
        labels.back()->setGeometry(6 + 64 * (i % 8), 4 + 60 * (i / 8), 64, 60);
    }
    auto *toolbar = new QToolBar(&window);
    toolbar->setGeometry(0, 0, 533, 44);
    toolbar->setIconSize(QSize(32, 32));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QPixmap icon(32, 32);
    icon.fill(QColor(0, 0, 128));
    for (int k = 0; k < 4; ++k) {
        auto *button = new QToolButton(toolbar);
        button->setIcon(QIcon(icon));
        button->setText(QStringLiteral("Button %1").arg(k + 1));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        toolbar->addWidget(button);
    }

    QTimer clock;
    int seconds = 0;
    QObject::connect(&clock, &QTimer::timeout, ticking,
                     [&] { ticking->setText(QString::number(++seconds)); });
    std::size_t clicked = 0;
    return bench::Run(window, argc > 1 ? argv[1] : "startup", [&] { clock.start(1000); },
                      [&] { return labels[clicked++ % labels.size()]; });
}
