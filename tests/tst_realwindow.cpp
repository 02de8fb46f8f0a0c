// SPDX-License-Identifier: GPL-3.0-or-later
// The built program in a real X server (Xvfb): its window is fixed in size,
// and closed through the window manager's protocol the program ends cleanly
// and leaves no file behind.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

class RealWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aFixedWindowThatClosingEnds()
    {
        QProcess xvfb;
        xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(xvfb.waitForReadyRead(20000));
        const QString display = QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
        QTemporaryDir dir;
        QProcess game;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        game.setProcessEnvironment(env);
        game.setWorkingDirectory(dir.path());
        game.start(QStringLiteral(TARMELON_BINARY), {});
        Display *x = XOpenDisplay(display.toLocal8Bit().constData());
        QVERIFY(x);

        // The game's window is the one top-level window that gets mapped.
        ::Window window = 0;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
            ::Window root, parent, *children = nullptr;
            unsigned int count = 0;
            XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
            for (unsigned int k = 0; k < count; ++k) {
                XWindowAttributes a;
                if (XGetWindowAttributes(x, children[k], &a) && a.map_state == IsViewable)
                    window = children[k];
            }
            XFree(children);
            return window != 0;
        }()), 20000);

        XSizeHints hints;
        long supplied = 0;
        QVERIFY(XGetWMNormalHints(x, window, &hints, &supplied));
        QVERIFY(hints.flags & PMinSize && hints.flags & PMaxSize);
        QCOMPARE(QSize(hints.min_width, hints.min_height), QSize(533, 621));
        QCOMPARE(QSize(hints.max_width, hints.max_height), QSize(533, 621));

        // Close it the way a window manager's close box does.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
        XSendEvent(x, window, False, NoEventMask, &event);
        XCloseDisplay(x);
        QVERIFY2(game.waitForFinished(15000), "the program did not end");
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(RealWindowTest)
#include "tst_realwindow.moc"
