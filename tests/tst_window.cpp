// The real window on the offscreen platform: its layout, its texts, its
// stacking, and the element operations the game uses.

#include "scriptedgenerator.h"

#include "game/dealing.h"
#include "game/moves.h"
#include "game/state.h"
#include "ui/application.h"
#include "ui/commands.h"
#include "ui/mainwindow.h"
#include "ui/pictures.h"

#include <QApplication>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace tarmelon;

namespace {

// Whether `widget`, or an element inside it, is what shows at a point of
// the window.
bool ShowsAt(QWidget *window, QWidget *widget, QPoint at)
{
    QWidget *top = window->childAt(at);
    return top == widget || widget->isAncestorOf(top);
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
    MainWindow *window = nullptr;
    QTemporaryDir dir;
    test::ScriptedGenerator generator{5};

private slots:
    void initTestCase()
    {
        SetUpApplication(*qApp);
        window = new MainWindow;
        SetWindow(window);
        QDir::setCurrent(dir.path());
        SetGenerator(&generator);
        Main();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanupTestCase()
    {
        SetGenerator(nullptr);
        delete window;
    }

    void windowIsFixedAndTitled()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Тармелон"));
        QCOMPARE(window->size(), QSize(533, 621));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!window->windowIcon().isNull());
    }

    void elementsStandWhereTheLayoutPutsThem()
    {
        QCOMPARE(window->toolbar()->geometry(), QRect(0, 0, 533, 44));
        QCOMPARE(window->panel(Panel::Board)->geometry(), QRect(0, 48, 529, 569));
        QCOMPARE(window->panel(Panel::Records)->geometry(), QRect(112, 48, 305, 193));
        QCOMPARE(window->panel(Panel::Help)->geometry(), QRect(8, 48, 513, 177));
        QCOMPARE(window->counter(0)->geometry(), QRect(8, 16, 57, 25));
        QCOMPARE(window->counter(1)->geometry(), QRect(64, 16, 57, 25));
        QCOMPARE(window->seconds()->geometry(), QRect(128, 16, 89, 25));
        QCOMPARE(window->marker()->geometry(), QRect(8, 48, 64, 63));
        QCOMPARE(window->cell(0)->geometry(), QRect(8, 48, 66, 66));
        QCOMPARE(window->cell(9)->pos(), QPoint(72, 112));
        QCOMPARE(window->cell(63)->pos(), QPoint(456, 496));
        QCOMPARE(window->recordName(9)->geometry(), QRect(32, 168, 145, 17));
        QCOMPARE(window->recordScore(9)->geometry(), QRect(200, 168, 65, 17));
        QVERIFY(window->recordName(9)->geometry().bottom() < 193);
        QCOMPARE(window->divider()->geometry(), QRect(184, 8, 9, 177));
        QCOMPARE(window->helpText()->geometry(), QRect(16, 16, 481, 153));
        QCOMPARE(window->authorLine()->geometry(), QRect(112, 160, 305, 17));
        QCOMPARE(window->addressLine()->geometry(), QRect(128, 176, 281, 17));
        QCOMPARE(window->logo()->geometry(), QRect(160, 64, 218, 94));
        QCOMPARE(window->titlePicture()->geometry(), QRect(8, 224, 516, 388));
        QVERIFY(window->authorLine()->text().startsWith(QStringLiteral("Программу сделал ")));
        QVERIFY(window->addressLine()->text().startsWith(QStringLiteral("(2004 г.)  ")));
        QCOMPARE(window->recordName(0)->text(), QStringLiteral("---"));
        QVERIFY(window->recordName(0)->font().bold() && window->recordName(0)->font().underline());
        QVERIFY(!window->recordName(1)->font().bold());
    }

    void toolbarAndHelpReadExactly()
    {
        const QStringList captions = {QStringLiteral("Игра  "), QStringLiteral("Рекорды  "),
                                      QStringLiteral("Справка  "), QStringLiteral("Выход  ")};
        for (int k = 1; k <= 4; ++k) {
            QToolButton *button = window->toolbarButton(k);
            QCOMPARE(button->text(), captions[k - 1]);
            QCOMPARE(button->size(), QSize(94, 38));
            QCOMPARE(button->iconSize(), QSize(32, 32));
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
            QVERIFY(button->toolTip().isEmpty());
            QVERIFY(button->geometry().bottom() < 44);
        }
        QCOMPARE(HelpText.size(), 671);
        QCOMPARE(HelpText.count(QStringLiteral("\r\n")), 3);
        QVERIFY(HelpText.startsWith(QStringLiteral("Вначале игры на поле расположено 24 сферы.")));
        QVERIFY(HelpText.endsWith(QStringLiteral("еще три случайные сферы.")));
        QLabel *help = window->helpText();
        QVERIFY(help->wordWrap());
        // All four paragraphs fit the label at its width.
        QVERIFY2(help->heightForWidth(481) <= 153, qPrintable(QString::number(help->heightForWidth(481))));
    }

    void startUpShowsTheTitleScreenOnly()
    {
        for (Panel p : {Panel::Board, Panel::Records, Panel::Help})
            QVERIFY(!window->panel(p)->isVisible());
        QVERIFY(!window->clock().isActive());
        QVERIFY(ShowsAt(window, window->logo(), {200, 100}));
        QVERIFY(ShowsAt(window, window->titlePicture(), {260, 400}));
    }

    void panelsCoverWhatTheLayoutSays()
    {
        RunHandler([] { ToolbarClick(3); }); // help
        QVERIFY(window->panel(Panel::Help)->isVisible());
        QVERIFY(ShowsAt(window, window->panel(Panel::Help), {200, 100}));
        QVERIFY(ShowsAt(window, window->titlePicture(), {260, 400}));

        RunHandler([] { ToolbarClick(2); }); // records
        QVERIFY(window->panel(Panel::Records)->isVisible());
        // The panel paints over the logo, not just lies above it.
        const QColor panelColour = window->panel(Panel::Records)->palette().color(QPalette::Window);
        const QImage shown = window->grab().toImage();
        QCOMPARE(shown.pixelColor((QPointF(250, 100) * shown.devicePixelRatio()).toPoint()), panelColour);
        QVERIFY(!window->panel(Panel::Help)->isVisible());
        QVERIFY(ShowsAt(window, window->titlePicture(), {50, 230}));
        QCOMPARE(window->recordScore(0)->text(), QStringLiteral("500"));
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/tarmelon.dat")));

        RunHandler([] { ToolbarClick(1); }); // game
        QVERIFY(window->panel(Panel::Board)->isVisible());
        QVERIFY(!window->panel(Panel::Records)->isVisible());
        QVERIFY(window->clock().isActive());
        QCOMPARE(window->clock().interval(), 1000);
        for (QPoint p : {QPoint(200, 100), QPoint(260, 400), QPoint(5, 610)})
            QVERIFY(ShowsAt(window, window->panel(Panel::Board), p));
    }

    void cellsShowSharedPicturesAndStackAsLaidOut()
    {
        RunHandler([] { ToolbarClick(1); });
        for (int i = 0; i < CellCount; ++i) {
            QLabel *cell = window->cell(i);
            QCOMPARE(cell->size(), QSize(68, 67));
            // The holder's own picture, not a copy.
            QCOMPARE(cell->pixmap().cacheKey(), ValuePicture(Game.Board[i]).cacheKey());
        }
        QCOMPARE(window->cell(63)->geometry().bottomRight(), QPoint(456 + 67, 496 + 66));
        QVERIFY(window->cell(63)->geometry().right() < 529 && window->cell(63)->geometry().bottom() < 569);
        // In the 4 px overlap the higher-numbered cell is in front.
        QWidget *board = window->panel(Panel::Board);
        QCOMPARE(board->childAt(73, 60), window->cell(1));
        QCOMPARE(board->childAt(20, 113), window->cell(8));
    }

    void eachValueShowsItsOwnPicture()
    {
        for (int v = 0; v <= MaxValue; ++v) {
            const bool sharp = qApp->devicePixelRatio() > 1;
            QImage file(QStringLiteral(":/assets/values/v%1%2.png")
                            .arg(v, 2, 10, QLatin1Char('0'))
                            .arg(sharp ? QStringLiteral("@2x") : QString()));
            QVERIFY(!file.isNull());
            file.setDevicePixelRatio(sharp ? 2.0 : 1.0);
            QCOMPARE(ValuePicture(v).toImage().convertToFormat(file.format()), file);
            QCOMPARE(ValuePicture(v).deviceIndependentSize().toSize(), ValuePictureSize);
        }
    }

    // Run once at scale 1 and once with QT_SCALE_FACTOR=2.
    void picturesAreSharpAtEveryScale()
    {
        const qreal scale = qApp->devicePixelRatio();
        const QPixmap sphere = ValuePicture(9);
        QCOMPARE(sphere.devicePixelRatio(), scale > 1 ? 2.0 : 1.0);
        QCOMPARE(sphere.size(), scale > 1 ? QSize(128, 126) : QSize(64, 63));
        QCOMPARE(window->marker()->pixmap().devicePixelRatio(), sphere.devicePixelRatio());
        QCOMPARE(window->titlePicture()->pixmap().deviceIndependentSize().toSize(), TitleSize);
        QCOMPARE(window->logo()->pixmap().deviceIndependentSize().toSize(), LogoSize);
        // The layout, in logical pixels, does not move.
        QCOMPARE(window->size(), QSize(533, 621));
        QCOMPARE(window->titlePicture()->geometry(), QRect(8, 224, 516, 388));
    }

    void clicksSelectAndTheMarkerSwallowsItsClicks()
    {
        RunHandler([] { ToolbarClick(1); });
        int sphere = 0;
        while (Game.Board[sphere] == 0)
            ++sphere;
        QWidget *board = window->panel(Panel::Board);
        QLabel *cell = window->cell(sphere);
        QTest::mouseClick(cell, Qt::LeftButton, {}, {34, 34});
        QCOMPARE(int(Game.SelectState), OneSelected);
        QVERIFY(window->marker()->isVisible());
        QCOMPARE(window->marker()->pos(), cell->pos());
        QCOMPARE(board->childAt(cell->pos() + QPoint(30, 30)), window->marker());
        // A click on the marker, over the selected cell, changes nothing.
        const auto boardBefore = Game.Board;
        QTest::mouseClick(window->marker(), Qt::LeftButton, {}, {30, 30});
        QCOMPARE(int(Game.SelectState), OneSelected);
        QCOMPARE(Game.Board, boardBefore);
        QVERIFY(window->marker()->isVisible());
        // So does a click on the selected cell where the marker leaves it free.
        QTest::mouseClick(cell, Qt::LeftButton, {}, {66, 65});
        QCOMPARE(int(Game.SelectState), OneSelected);
        QCOMPARE(cell->toolTip().isEmpty(), false);
    }

    void dialogsSpeakRussian()
    {
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            QWidget *modal = QApplication::activeModalWidget();
            QVERIFY(modal);
            for (auto *b : modal->findChildren<QAbstractButton *>())
                buttons << b->text().remove(QLatin1Char('&'));
            for (auto *b : modal->findChildren<QAbstractButton *>())
                if (b->text().remove(QLatin1Char('&')) == QStringLiteral("Нет"))
                    b->click();
        });
        QCOMPARE(window->MessageBox(QStringLiteral("Вы уверены?"), QStringLiteral("ВЫХОД"), 36), Answer::No);
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Да"), QStringLiteral("Нет")}));

        QStringList inputButtons;
        QString shownDefault;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shownDefault = dialog->textValue();
            for (auto *b : dialog->findChildren<QAbstractButton *>())
                inputButtons << b->text().remove(QLatin1Char('&'));
            dialog->reject();
        });
        QCOMPARE(window->InputBox(QStringLiteral("Введите свое имя"), QStringLiteral("Поздравляем!"),
                                  QStringLiteral("имя")),
                 QString());
        QCOMPARE(shownDefault, QStringLiteral("имя"));
        QVERIFY(inputButtons.contains(QStringLiteral("Отмена")));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
