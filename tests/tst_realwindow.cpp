// The built program in a real X server (Xvfb): it opens its fixed-size window
// and, closed through the window manager protocol, ends cleanly and leaves no
// file behind.

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

QString WindowName(Display *display, ::Window window)
{
    Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char *data = nullptr;
    QString name;
    if (XGetWindowProperty(display, window, netWmName, 0, 256, False, utf8, &type, &format, &items,
                           &after, &data) == Success && data) {
        name = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(items));
        XFree(data);
    }
    return name;
}

// A viewable top-level window with this title, or 0.
::Window FindWindow(Display *display, const QString &title)
{
    ::Window root, parent, *children = nullptr;
    unsigned int count = 0;
    ::Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned int k = 0; k < count && !found; ++k) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[k], &attributes)
            && attributes.map_state == IsViewable && WindowName(display, children[k]) == title)
            found = children[k];
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace

class RealWindowTest : public QObject {
    Q_OBJECT
    QProcess xvfb;
    QString displayName;

private slots:
    void initTestCase()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        QVERIFY2(!server.isEmpty(), "Xvfb is not installed");
        int number = 91;
        while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
               || QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            ++number;
        displayName = QStringLiteral(":%1").arg(number);
        xvfb.start(server, {displayName, QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(xvfb.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)), 20000);
    }
    void cleanupTestCase()
    {
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }

private:
    QProcessEnvironment Environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), displayName);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return env;
    }

    // Starts the program in `dir` and waits for its window on the display.
    void Start(QProcess &game, const QTemporaryDir &dir, Display *&display, ::Window &window)
    {
        game.setProcessEnvironment(Environment());
        game.setWorkingDirectory(dir.path());
        game.start(QStringLiteral(TARMELON_BINARY), {});
        QVERIFY(game.waitForStarted());
        display = XOpenDisplay(displayName.toLocal8Bit().constData());
        QVERIFY(display);
        QTRY_VERIFY_WITH_TIMEOUT((window = FindWindow(display, QStringLiteral("Тармелон"))) != 0, 20000);
    }

    // It ended by itself, with status 0, and wrote nothing.
    static void VerifyCleanEnd(QProcess &game, const QTemporaryDir &dir)
    {
        QVERIFY2(game.waitForFinished(15000), "the program did not end");
        QCOMPARE(game.exitStatus(), QProcess::NormalExit);
        QCOMPARE(game.exitCode(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void Xdotool(const QStringList &arguments)
    {
        QProcess xdotool;
        xdotool.setProcessEnvironment(Environment());
        xdotool.start(QStringLiteral("xdotool"), arguments);
        QVERIFY(xdotool.waitForFinished(10000));
        QCOMPARE(xdotool.exitCode(), 0);
    }

private slots:
    void opensItsWindowAndEndsWhenClosed()
    {
        QTemporaryDir dir;
        QProcess game;
        Display *display = nullptr;
        ::Window window = 0;
        Start(game, dir, display, window);
        if (QTest::currentTestFailed())
            return;

        XWindowAttributes attributes;
        QVERIFY(XGetWindowAttributes(display, window, &attributes));
        QCOMPARE(attributes.width, 533);
        QCOMPARE(attributes.height, 621);
        // Fixed size: the window manager is told it cannot be resized.
        XSizeHints hints;
        long supplied = 0;
        QVERIFY(XGetWMNormalHints(display, window, &hints, &supplied));
        QVERIFY(hints.flags & PMinSize && hints.flags & PMaxSize);
        QCOMPARE(hints.min_width, 533);
        QCOMPARE(hints.max_width, 533);
        QCOMPARE(hints.min_height, 621);
        QCOMPARE(hints.max_height, 621);

        // Close it the way a window manager's close box does.
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        XFlush(display);
        XCloseDisplay(display);
        VerifyCleanEnd(game, dir);
    }

    void theExitQuestionAnsweredYesEndsTheProgram()
    {
        QTemporaryDir dir;
        QProcess game;
        Display *display = nullptr;
        ::Window window = 0;
        Start(game, dir, display, window);
        if (QTest::currentTestFailed())
            return;
        // The toolbar's "Выход  " button, then Enter on the question's default "Да".
        Xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), QString::number(window),
                 QStringLiteral("330"), QStringLiteral("22"), QStringLiteral("click"), QStringLiteral("1")});
        QTRY_VERIFY_WITH_TIMEOUT(FindWindow(display, QStringLiteral("ВЫХОД")) != 0, 20000);
        XCloseDisplay(display);
        Xdotool({QStringLiteral("key"), QStringLiteral("Return")});
        VerifyCleanEnd(game, dir);
    }
};

QTEST_GUILESS_MAIN(RealWindowTest)
#include "tst_realwindow.moc"
