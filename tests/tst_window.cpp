// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on the offscreen platform: what each panel covers, how the
// board stacks and takes clicks and keys, the dialogs' own texts, and the
// closing that ends the program; the pictures at this run's scale.

#include "scriptedwindow.h"

#include "ui/application.h"
#include "ui/board.h"
#include "ui/commands.h"
#include "ui/elements.h"
#include "ui/mainwindow.h"
#include "ui/pictures.h"

#include <QAbstractButton>
#include <QAccessible>
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
    QLabel *cell(int i) const { return find<QLabel>(QStringLiteral("Image1_%1").arg(i)); }
    // Where an element's middle shows in the window.
    QPoint middle(const QString &name) const { return find(name)->mapTo(window, find(name)->rect().center()); }
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
        QDir::setCurrent(dir.path());
        SetGenerator(&generator);
    }
    // Each test has a window of its own, as the program starts it.
    void init()
    {
        window = new MainWindow;
        SetWindow(window);
        SetProgramEnding(false);
        Main();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void cleanup() { delete window; }

    void panelsCoverWhatTheLayoutSays()
    {
        QCOMPARE(window->minimumSize(), window->maximumSize());
        const QPoint logo = middle("Image4"), title = middle("Image2"), titleCorner = find("Image2")->geometry().topLeft();
        QVERIFY(showsAt("Image4", logo));
        QVERIFY(showsAt("Image2", title));
        RunHandler([] { ToolbarClick(3); });
        QVERIFY(showsAt("Frame3", logo));
        QVERIFY(showsAt("Image2", title));
        auto *help = find<QLabel>("Label5"); // the whole help text fits
        QVERIFY(help->heightForWidth(help->width()) <= help->height());
        RunHandler([] { ToolbarClick(2); });
        // The panel paints over the logo, not just lies above it.
        const QImage shown = window->grab().toImage();
        QCOMPARE(shown.pixelColor((QPointF(logo) * shown.devicePixelRatio()).toPoint()),
                 find("Frame2")->palette().color(QPalette::Window));
        QVERIFY(showsAt("Image2", titleCorner + QPoint(PictureBorder, PictureBorder))); // beside the records panel
        QVERIFY(!find<QTimer>("Timer1")->isActive());
        RunHandler([] { ToolbarClick(1); });
        for (QPoint p : {logo, title, find("Image2")->geometry().bottomLeft()})
            QVERIFY(showsAt("Frame1", p));
        QCOMPARE(find("Label1_0")->palette().color(QPalette::Window), QColor(128, 0, 0));
    }

    void cellsStackAndTheMarkerSwallowsItsClicks()
    {
        // Игра pressed with the mouse while it holds the focus since start-up: no frame.
        QVERIFY(find("Toolbar1_1")->hasFocus());
        QTest::mouseClick(find("Toolbar1_1"), Qt::LeftButton);
        QVERIFY(board()->hasFocus());
        QVERIFY(!board()->FocusFrameShown());
        for (int i = 0; i < CellCount; ++i) // the holder's own picture, not a copy
            QCOMPARE(cell(i)->pixmap().cacheKey(), ValuePicture(Game.Board[i]).cacheKey());
        // In the overlap the higher-numbered cell is in front.
        for (auto [lower, higher] : {std::pair(0, 1), std::pair(0, 8)}) {
            const QPoint overlap = cell(higher)->mapTo(window, QPoint(1, 1));
            QVERIFY(cell(lower)->rect().contains(cell(lower)->mapFrom(window, overlap)));
            QCOMPARE(window->childAt(overlap), cell(higher));
        }
        const int sphere = int(std::find_if(Game.Board.begin(), Game.Board.end(), [](auto v) { return v; }) - Game.Board.begin());
        QTest::mouseClick(cell(sphere), Qt::LeftButton, {}, cell(sphere)->rect().center());
        QCOMPARE(board()->FocusCell(), sphere); // the focus cell follows the click
        auto *marker = find<QLabel>("Image3");
        QCOMPARE(marker->mapTo(window, QPoint()), cell(sphere)->mapTo(window, QPoint()));
        // A click on the marker, or on the selected cell where the marker
        // leaves it free, changes nothing.
        const auto before = Game.Board;
        QTest::mouseClick(marker, Qt::LeftButton, {}, marker->rect().center());
        QTest::mouseClick(cell(sphere), Qt::LeftButton, {}, QPoint(marker->width(), marker->height()) + QPoint(2, 2));
        QCOMPARE(std::pair(int(Game.SelectState), Game.Board), std::pair(int(OneSelected), before));
        QVERIFY(!board()->FocusFrameShown()); // a mouse player sees no frame
        // On a cell of column 0 the marker leaves the board's edge, the cell's border, as it was.
        const QRect edge(cell(8)->mapTo(window, QPoint()), QSize(PictureBorder, cell(8)->height()));
        const QImage plain = window->grab(edge).toImage();
        window->SetMarkerPlace(window->CellLeft(8), window->CellTop(8));
        QCOMPARE(window->grab(edge).toImage(), plain);
        window->SetMarkerPlace(window->CellLeft(sphere), window->CellTop(sphere));
    }

    void theKeyboardMovesTheFocusCell()
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
        }
    }

    void keysWorkFromAnyElementAndBoxesSpeakRussian()
    {
        find("Toolbar1_2")->setFocus();
        QTest::keySequence(window, QKeySequence(Qt::Key_F1));
        QVERIFY(find("Frame3")->isVisible());
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_H));
        QTest::keyClick(find("Toolbar1_3"), Qt::Key_Return); // Enter presses a button
        QVERIFY(find("Frame2")->isHidden());
        QVERIFY(find("Frame3")->isVisible());
        // Tab goes through the four buttons to the board.
        QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_N));
        find("Toolbar1_1")->setFocus();
        for (const char *next : {"Toolbar1_2", "Toolbar1_3", "Toolbar1_4", "board"}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(find(next)->hasFocus());
        }
        // Ctrl+Q asks; Escape answers No. The name box's OK is in Cyrillic, not Latin.
        const QStringList question = boxButtons([this] { QTest::keySequence(window, QKeySequence(Qt::CTRL | Qt::Key_Q)); });
        QCOMPARE(question, QStringList({"Да", "Нет"}));
        QVERIFY(!ProgramEnding());
        QString name = "?";
        QVERIFY(boxButtons([&] { name = window->InputBox("Введите свое имя", "Поздравляем!", "имя"); }).contains("ОК"));
        QCOMPARE(name, QString()); // Escape cancels
        // A name in markup shows as its own characters, no taller than any other.
        window->SetRecordNameText(0, "<h1>Огромный</h1>");
        QCOMPARE(find<QLabel>("Label3_0")->sizeHint().height(), find<QLabel>("Label3_1")->sizeHint().height());
        QCOMPARE(QAccessible::queryAccessibleInterface(find("Frame2"))->tableInterface()->cellAt(0, 0)->text(QAccessible::Name),
                 "<h1>Огромный</h1>"); // a table to a screen reader
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
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
