// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the offscreen platform: what each panel covers, how the
// board stacks and takes clicks and keys, the dialogs' own texts, and the
// closing that ends the program; the pictures at this run's scale.

#include "scriptedwindow.h"

#include "ui/application.h"
#include "ui/board.h"
#include "ui/commands.h"
#include "ui/elements.h"
#include "ui/helptext.h"
#include "ui/mainwindow.h"
#include "ui/pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDirIterator>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace tarmelon;

class WindowTest : public QObject {
    Q_OBJECT
    MainWindow *window = nullptr;
    QTemporaryDir dir;
    test::ScriptedGenerator generator{5};

    template <typename T = QWidget> T *find(const QString &name) const { return window->findChild<T *>(name); }
    QLabel *cell(int i) const { return find<QLabel>(QStringLiteral("cell%1").arg(i)); }
    Board *board() const { return find<Board>("board"); }
    // Whether element `name`, or one inside it, is what shows at a point.
    bool showsAt(const QString &name, QPoint at) const
    {
        QWidget *top = window->childAt(at), *widget = find(name);
        return widget && (top == widget || widget->isAncestorOf(top));
    }
    // The buttons' texts of the box that `open` shows, which Escape answers.
    static QStringList boxButtons(const std::function<void()> &open)
    {
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            for (auto *button : QApplication::activeModalWidget()->findChildren<QAbstractButton *>())
                buttons << button->text().remove('&');
            QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
        });
        open();
        return buttons;
    }

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
        QCOMPARE(window->minimumSize(), window->maximumSize());
    }

    void panelsCoverWhatTheLayoutSays()
    {
        QVERIFY(showsAt("logo", {200, 100}) && showsAt("titlePicture", {260, 400}));
        RunHandler([] { ToolbarClick(3); });
        QVERIFY(showsAt("helpPanel", {200, 100}) && showsAt("titlePicture", {260, 400}));
        auto *help = find<QLabel>("helpText"); // all four paragraphs fit
        QVERIFY(HelpText.size() == 671 && HelpText.count("\r\n") == 3 && help->heightForWidth(help->width()) <= help->height());
        QStringList captions; // each with its two trailing blanks
        for (const char *name : {"gameButton", "recordsButton", "helpButton", "exitButton"})
            captions << find<QAbstractButton>(name)->text();
        QCOMPARE(captions, QStringList({"Игра  ", "Рекорды  ", "Справка  ", "Выход  "}));
        RunHandler([] { ToolbarClick(2); });
        // The panel paints over the logo, not just lies above it.
        const QImage shown = window->grab().toImage();
        QCOMPARE(shown.pixelColor((QPointF(250, 100) * shown.devicePixelRatio()).toPoint()),
                 find("recordsPanel")->palette().color(QPalette::Window));
        QVERIFY(showsAt("titlePicture", {50, 230}));
        QVERIFY(!find<QTimer>("clock")->isActive());
        RunHandler([] { ToolbarClick(1); });
        for (QPoint p : {QPoint(200, 100), QPoint(260, 400), QPoint(5, 610)})
            QVERIFY(showsAt("boardPanel", p));
        QCOMPARE(find("redCounter")->palette().color(QPalette::Window), QColor(128, 0, 0));
    }

    void cellsStackAndTheMarkerSwallowsItsClicks()
    {
        // Игра pressed with the mouse while it holds the focus since start-up: no frame.
        QVERIFY(find("gameButton")->hasFocus());
        QTest::mouseClick(find("gameButton"), Qt::LeftButton);
        QVERIFY(board()->hasFocus() && !board()->FocusFrameShown());
        for (int i = 0; i < CellCount; ++i) // the holder's own picture, not a copy
            QCOMPARE(cell(i)->pixmap().cacheKey(), ValuePicture(Game.Board[i]).cacheKey());
        // In the overlap the higher-numbered cell is in front.
        QVERIFY(window->childAt(73, 108) == cell(1) && window->childAt(20, 161) == cell(8));
        const int sphere = int(std::find_if(Game.Board.begin(), Game.Board.end(), [](auto v) { return v; }) - Game.Board.begin());
        QTest::mouseClick(cell(sphere), Qt::LeftButton, {}, {34, 34});
        QCOMPARE(board()->FocusCell(), sphere); // the focus cell follows the click
        auto *marker = find<QLabel>("marker");
        QCOMPARE(marker->mapTo(window, QPoint()), cell(sphere)->mapTo(window, QPoint()));
        // A click on the marker, or on the selected cell where the marker
        // leaves it free, changes nothing.
        const auto before = Game.Board;
        QTest::mouseClick(marker, Qt::LeftButton, {}, {30, 30});
        QTest::mouseClick(cell(sphere), Qt::LeftButton, {}, {66, 65});
        QCOMPARE(std::pair(int(Game.SelectState), Game.Board), std::pair(int(OneSelected), before));
        QVERIFY(!board()->FocusFrameShown()); // a mouse player sees no frame
        // On a cell of column 0 the marker leaves the board's edge, the cell's border, as it was.
        const QRect edge(cell(8)->mapTo(window, QPoint()), QSize(PictureBorder, 64));
        const QImage plain = window->grab(edge).toImage();
        window->SetMarkerPlace(window->CellLeft(8), window->CellTop(8));
        QCOMPARE(window->grab(edge).toImage(), plain);
        window->SetMarkerPlace(window->CellLeft(sphere), window->CellTop(sphere));
    }

    void theKeyboardMovesTheFocusCellAndClicks()
    {
        // from, key, modifiers, to
        const std::tuple<int, Qt::Key, Qt::KeyboardModifiers, int> rows[] = {
            {8, Qt::Key_Left, {}, 8}, {15, Qt::Key_Right, {}, 15}, {3, Qt::Key_Up, {}, 3},
            {60, Qt::Key_Down, {}, 60}, {9, Qt::Key_Right, {}, 10}, {9, Qt::Key_Down, {}, 17},
            {21, Qt::Key_Home, {}, 16}, {21, Qt::Key_End, {}, 23}, {21, Qt::Key_Home, Qt::ControlModifier, 0},
            {21, Qt::Key_End, Qt::ControlModifier, 63}, {21, Qt::Key_PageUp, {}, 5}, {21, Qt::Key_PageDown, {}, 61}};
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_N));
        QVERIFY(board()->hasFocus()); // a new game hands the board the focus
        for (auto [from, key, modifiers, to] : rows) {
            board()->SetFocusCell(from);
            QTest::keyClick(board(), key, modifiers);
            QCOMPARE(board()->FocusCell(), to);
            QVERIFY(board()->FocusFrameShown());
            // Space does what a click does: a sphere is selected, an empty cell drops the selection.
            QTest::keyClick(board(), Qt::Key_Space);
            QCOMPARE(board()->SelectedCell(), Game.Board[to] ? to : -1);
            QTest::keyClick(board(), Qt::Key_Space);
            QCOMPARE(board()->SelectedCell(), Game.Board[to] ? to : -1);
            Game.SelectState = NothingSelected;
        }
    }

    void keysWorkFromAnyElementAndBoxesSpeakRussian()
    {
        find("recordsButton")->setFocus();
        QTest::keySequence(window, QKeySequence(Qt::Key_F1));
        QVERIFY(find("helpPanel")->isVisible());
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_H));
        QTest::keyClick(find("helpButton"), Qt::Key_Return); // Enter presses a button
        QVERIFY(find("recordsPanel")->isHidden() && find("helpPanel")->isVisible());
        // Tab goes through the four buttons to the board.
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_N));
        find("gameButton")->setFocus();
        for (const char *next : {"recordsButton", "helpButton", "exitButton", "board"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(find(next)->hasFocus());
        }
        // Ctrl+Q asks; Escape answers No. The name box's OK is in Cyrillic, not Latin.
        const QStringList question = boxButtons([this] { QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_Q)); });
        QVERIFY(question.contains("Да") && question.contains("Нет") && !ProgramEnding());
        QString name = "?";
        QVERIFY(boxButtons([&] { name = window->InputBox("Введите свое имя", "Поздравляем!", "имя"); }).contains("ОК"));
        QCOMPARE(name, QString()); // Escape cancels
        // A name in markup shows as its own characters, no taller than any other.
        window->SetRecordNameText(0, "<h1>Огромный</h1>");
        QCOMPARE(find<QLabel>("recordName0")->sizeHint().height(), find<QLabel>("recordName1")->sizeHint().height());
    }

    void spheresShowTheirColourAndSizeAndEveryPictureHasASharpTwin()
    {
        int twins = 0;
        for (QDirIterator it(":/assets", {"*.png"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString one = it.next(); !one.contains("@2x") && !one.contains("/icon/"))
                twins += QImage(QString(one).replace(".png", "@2x.png")).size() == QImage(one).size() * 2;
        QCOMPARE(twins, 19 + 1 + 4); // values, marker, toolbar; the logo and the title:
        for (const char *name : {"logo", "title"}) // raw pixels at 1x, decoded in place
            QCOMPARE(QImage(QString(":/assets/%1@2x.png").arg(name)).size(), LoadPicture(name).deviceIndependentSize().toSize() * 2);
        // Across the middle row of what a cell shows: where the sphere stands
        // out from the black, and what colour its body is.
        const int diameters[] = {10, 16, 21, 26, 32, 37, 43, 48, 52}, scale = int(ValuePicture(0).devicePixelRatio());
        for (int v = 0; v <= 18; ++v) {
            const QImage image = ValuePicture(v).toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(image.size(), QSize(64, 63) * scale); // at scale 2, the sharp twin
            int first = -1, last = -1;
            long red = 0, blue = 0;
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb p = image.pixel(x, 31 * scale); qRed(p) + qGreen(p) + qBlue(p) > 24)
                    last = x, first = first < 0 ? x : first, red += qRed(p), blue += qBlue(p);
            const double across = double(last - first + 1) / scale, centre = (first + last) / 2.0 / scale;
            QVERIFY2(v == 0 ? first < 0
                            : std::abs(across - diameters[(v - 1) % 9]) <= 3 && std::abs(centre - 32) <= 2
                                  && (v <= 9 ? red > 2 * blue : blue > red),
                     qPrintable(QString("value %1: %2 px").arg(v).arg(across)));
        }
        const QImage marker = QImage(":/assets/marker.png").convertToFormat(QImage::Format_ARGB32);
        for (int y = 16; y < 47; ++y) // clear in the middle
            for (int x = 16; x < 48; ++x)
                QCOMPARE(qAlpha(marker.pixel(x, y)), 0);
    }

    void closingTheWindowEndsTheProgram()
    {
        QTimer::singleShot(0, window, &QWidget::close);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(ProgramEnding());
        delete window;
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
