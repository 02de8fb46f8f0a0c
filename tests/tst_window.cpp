// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the offscreen platform: what each panel covers, how the
// board stacks and takes clicks and keys, and the dialogs' own texts.

#include "scriptedgenerator.h"

#include "game/dealing.h"
#include "game/state.h"
#include "ui/application.h"
#include "ui/board.h"
#include "ui/commands.h"
#include "ui/helptext.h"
#include "ui/mainwindow.h"
#include "ui/pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarmelon;

class WindowTest : public QObject {
    Q_OBJECT
    MainWindow *window = nullptr;
    QTemporaryDir dir;
    test::ScriptedGenerator generator{5};

    template <typename T = QWidget> T *find(const QString &name) const
    {
        T *found = window->findChild<T *>(name);
        if (!found)
            qFatal("no element %s", qPrintable(name));
        return found;
    }
    QLabel *cell(int i) const { return find<QLabel>(QStringLiteral("cell%1").arg(i)); }
    Board *board() const { return find<Board>(QStringLiteral("board")); }
    // Whether `name`, or an element inside it, is what shows at a point.
    bool showsAt(const QString &name, QPoint at) const
    {
        QWidget *top = window->childAt(at), *widget = find(name);
        return top == widget || widget->isAncestorOf(top);
    }
    void newGame() { RunHandler([] { ToolbarClick(1); }); }

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

    void theHelpTextFitsItsLabel()
    {
        QCOMPARE(HelpText.size(), 671);
        QCOMPARE(HelpText.count(QStringLiteral("\r\n")), 3);
        auto *help = find<QLabel>(QStringLiteral("helpText"));
        QVERIFY(help->heightForWidth(help->width()) <= help->height());
    }

    void panelsCoverWhatTheLayoutSays()
    {
        QVERIFY(showsAt(QStringLiteral("logo"), {200, 100}));
        QVERIFY(showsAt(QStringLiteral("titlePicture"), {260, 400}));
        RunHandler([] { ToolbarClick(3); });
        QVERIFY(showsAt(QStringLiteral("helpPanel"), {200, 100}));
        QVERIFY(showsAt(QStringLiteral("titlePicture"), {260, 400}));
        RunHandler([] { ToolbarClick(2); });
        // The panel paints over the logo, not just lies above it.
        const QImage shown = window->grab().toImage();
        QCOMPARE(shown.pixelColor((QPointF(250, 100) * shown.devicePixelRatio()).toPoint()),
                 find(QStringLiteral("recordsPanel"))->palette().color(QPalette::Window));
        QVERIFY(showsAt(QStringLiteral("titlePicture"), {50, 230}));
        QCOMPARE(find<QLabel>(QStringLiteral("recordScore0"))->text(), QStringLiteral("500"));
        newGame();
        for (QPoint p : {QPoint(200, 100), QPoint(260, 400), QPoint(5, 610)})
            QVERIFY(showsAt(QStringLiteral("boardPanel"), p));
        QCOMPARE(find<QTimer>(QStringLiteral("clock"))->interval(), 1000);
    }

    void cellsShowSharedPicturesAndStackAsLaidOut()
    {
        newGame();
        for (int i = 0; i < CellCount; ++i) {
            QCOMPARE(cell(i)->size(), QSize(68, 67));
            // The holder's own picture, not a copy.
            QCOMPARE(cell(i)->pixmap().cacheKey(), ValuePicture(Game.Board[i]).cacheKey());
        }
        QCOMPARE(window->CellLeft(63), 456);
        QCOMPARE(window->CellTop(63), 496);
        // In the overlap the higher-numbered cell is in front.
        QCOMPARE(window->childAt(73 + 0, 60 + 48), cell(1));
        QCOMPARE(window->childAt(20, 113 + 48), cell(8));
        // At scale 2 the sharp set is shown, the layout unmoved.
        QCOMPARE(cell(0)->pixmap().devicePixelRatio(), qApp->devicePixelRatio() > 1 ? 2.0 : 1.0);
        QCOMPARE(window->size(), QSize(533, 621));
    }

    void clicksSelectAndTheMarkerSwallowsItsClicks()
    {
        newGame();
        int sphere = 0;
        while (Game.Board[sphere] == 0)
            ++sphere;
        QTest::mouseClick(cell(sphere), Qt::LeftButton, {}, {34, 34});
        QCOMPARE(int(Game.SelectState), OneSelected);
        QCOMPARE(board()->FocusCell(), sphere); // the focus cell follows the click
        auto *marker = find<QLabel>(QStringLiteral("marker"));
        QCOMPARE(marker->mapTo(window, QPoint()), cell(sphere)->mapTo(window, QPoint()));
        QCOMPARE(board()->childAt(cell(sphere)->pos() + QPoint(30, 30)), marker);
        // A click on the marker, over the selected cell, changes nothing;
        // nor does one on the selected cell where the marker leaves it free.
        const auto before = Game.Board;
        QTest::mouseClick(marker, Qt::LeftButton, {}, {30, 30});
        QTest::mouseClick(cell(sphere), Qt::LeftButton, {}, {66, 65});
        QCOMPARE(int(Game.SelectState), OneSelected);
        QCOMPARE(Game.Board, before);
        QVERIFY(!board()->FocusFrameShown()); // a mouse player sees no frame
    }

    void theKeyboardMovesTheFocusCellAndClicks_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<int>("to");
        const auto plain = Qt::NoModifier;
        QTest::newRow("left at the left edge stays") << 8 << (plain | Qt::Key_Left) << 8;
        QTest::newRow("right at the right edge stays") << 15 << (plain | Qt::Key_Right) << 15;
        QTest::newRow("up in the top row stays") << 3 << (plain | Qt::Key_Up) << 3;
        QTest::newRow("down in the bottom row stays") << 60 << (plain | Qt::Key_Down) << 60;
        QTest::newRow("right") << 9 << (plain | Qt::Key_Right) << 10;
        QTest::newRow("down") << 9 << (plain | Qt::Key_Down) << 17;
        QTest::newRow("home: row start") << 21 << (plain | Qt::Key_Home) << 16;
        QTest::newRow("end: row end") << 21 << (plain | Qt::Key_End) << 23;
        QTest::newRow("ctrl+home: top left") << 21 << (Qt::ControlModifier | Qt::Key_Home) << 0;
        QTest::newRow("ctrl+end: bottom right") << 21 << (Qt::ControlModifier | Qt::Key_End) << 63;
        QTest::newRow("page up: column top") << 21 << (plain | Qt::Key_PageUp) << 5;
        QTest::newRow("page down: column bottom") << 21 << (plain | Qt::Key_PageDown) << 61;
    }
    void theKeyboardMovesTheFocusCellAndClicks()
    {
        QFETCH(int, from);
        QFETCH(QKeyCombination, key);
        QFETCH(int, to);
        newGame();
        window->activateWindow();
        QTRY_VERIFY(board()->hasFocus()); // a new game hands the board the focus
        board()->SetFocusCell(from);
        QTest::keyClick(board(), key.key(), key.keyboardModifiers());
        QCOMPARE(board()->FocusCell(), to);
        QVERIFY(board()->FocusFrameShown());
        // Space on a sphere selects it as a click does; on it again, nothing.
        Game.SelectState = NothingSelected;
        const bool sphere = Game.Board[to] != 0;
        QTest::keyClick(board(), Qt::Key_Space);
        QCOMPARE(int(Game.SelectState), sphere ? OneSelected : NothingSelected);
        QCOMPARE(board()->SelectedCell(), sphere ? to : -1);
    }

    void shortcutsWorkFromAnyElement()
    {
        RunHandler([] { ToolbarClick(3); });
        find(QStringLiteral("recordsButton"))->setFocus();
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_H));
        QVERIFY(find(QStringLiteral("recordsPanel"))->isVisible());
        QTest::keySequence(window, QKeySequence(Qt::Key_F1));
        QVERIFY(find(QStringLiteral("helpPanel"))->isVisible());
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_N));
        QVERIFY(find(QStringLiteral("boardPanel"))->isVisible());
        QVERIFY(board()->hasFocus());
        // Enter on a focused toolbar button presses it.
        find(QStringLiteral("helpButton"))->setFocus();
        QTest::keyClick(find(QStringLiteral("helpButton")), Qt::Key_Return);
        QVERIFY(find(QStringLiteral("helpPanel"))->isVisible());
    }

    void namesShowAsTheirOwnCharacters()
    {
        window->SetRecordNameText(0, QStringLiteral("<h1>Огромный</h1>"));
        auto *name = find<QLabel>(QStringLiteral("recordName0"));
        QCOMPARE(name->textFormat(), Qt::PlainText);
        QCOMPARE(name->sizeHint().height(), find<QLabel>(QStringLiteral("recordName1"))->sizeHint().height());
    }

    void dialogsSpeakRussianAndEscapeAnswersNo()
    {
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            QWidget *modal = QApplication::activeModalWidget();
            for (auto *b : modal->findChildren<QAbstractButton *>())
                buttons << b->text().remove(QLatin1Char('&'));
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QCOMPARE(window->MessageBox(QStringLiteral("Вы уверены?"), QStringLiteral("ВЫХОД"),
                                    Box::Yes | Box::No, Box::Question),
                 Box::No);
        buttons.sort();
        QCOMPARE(buttons, QStringList({QStringLiteral("Да"), QStringLiteral("Нет")}));

        QString shownDefault;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            shownDefault = dialog->textValue();
            dialog->reject();
        });
        QCOMPARE(window->InputBox(QStringLiteral("Введите свое имя"), QStringLiteral("Поздравляем!"),
                                  QStringLiteral("имя")),
                 QString());
        QCOMPARE(shownDefault, QStringLiteral("имя"));
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
