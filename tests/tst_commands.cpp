// The shell: start-up, the panel rule, help, exit, the toolbar and the guard
// around every event handler.

#include "scriptedgenerator.h"
#include "scriptedwindow.h"

#include "game/checked.h"
#include "game/dealing.h"
#include "records/records.h"
#include "ui/commands.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace tarmelon;
using namespace tarmelon::test;

class CommandsTest : public QObject {
    Q_OBJECT
    ScriptedWindow window;
    ScriptedGenerator generator{3};
    QTemporaryDir dir;

private slots:
    void init()
    {
        window = ScriptedWindow();
        ResetGame(window);
        SetProgramEnding(false);
        SetGenerator(&generator);
        QDir::setCurrent(dir.path());
        Main();
    }
    void cleanupTestCase() { SetGenerator(nullptr); }

    void startUpFixesItsSettingsAndShowsNoPanel()
    {
        QCOMPARE(int(InitialSpheres), 24);
        QCOMPARE(DataDir, QDir::currentPath());
        QVERIFY(!DataDir.endsWith(QLatin1Char('/')));
        QCOMPARE(RecordsPath(), DataDir + QStringLiteral("/tarmelon.dat"));
        QCOMPARE(window.shownPanel(), 0);
        QCOMPARE(window.clockInterval, 0);
        QVERIFY(QDir(dir.path()).isEmpty()); // no file before the records are shown
        // A later change of directory does not move the records file.
        QTemporaryDir other;
        QDir::setCurrent(other.path());
        QCOMPARE(RecordsPath(), dir.path() + QStringLiteral("/tarmelon.dat"));
    }

    void everyCommandShowsItsPanelAlone()
    {
        // The toolbar's buttons in every order show one panel each.
        const int shown[] = {0, 1, 2, 3, 0};
        for (int first = 1; first <= 4; ++first) {
            for (int second = 1; second <= 4; ++second) {
                window.answers = {Box::No, Box::No};
                ToolbarClick(first);
                QCOMPARE(window.shownPanel(), shown[first]);
                ToolbarClick(second);
                QCOMPARE(window.shownPanel(), shown[second]);
            }
        }
        const auto before = window.panelVisible;
        ToolbarClick(0);
        ToolbarClick(5);
        QCOMPARE(window.panelVisible, before);
    }

    void toolbarCommandsDuringAGame()
    {
        ToolbarClick(1);
        Game.ElapsedSeconds = 42;
        ToolbarClick(3); // help: board hidden, clock running
        QCOMPARE(window.shownPanel(), 3);
        QCOMPARE(window.clockInterval, 1000);
        ToolbarClick(2); // records: clock stopped, nothing asked
        QCOMPARE(window.clockInterval, 0);
        QCOMPARE(window.dialogs.size(), 0);
        QCOMPARE(int(Game.ElapsedSeconds), 42);
        ToolbarClick(1); // a new game at once
        QCOMPARE(window.shownPanel(), 1);
        QCOMPARE(int(Game.ElapsedSeconds), 0);
        QCOMPARE(Game.RedCount + Game.BlueCount, 24);
    }

    void exitAsksAndEndsOnlyOnYes()
    {
        ToolbarClick(1);
        const GameState game = Game;
        int panelsWhileAsked = -2;
        window.onDialog = [&](const Dialog &) { panelsWhileAsked = window.shownPanel(); };
        window.answers.push_back(Box::No);
        ToolbarClick(4);
        QCOMPARE(panelsWhileAsked, 0); // every panel hidden before the question
        QCOMPARE(window.dialogs.size(), 1);
        QCOMPARE(window.dialogs[0].text, QStringLiteral("Вы уверены?"));
        QCOMPARE(window.dialogs[0].title, QStringLiteral("ВЫХОД"));
        QCOMPARE(window.dialogs[0].buttons, unsigned(Box::Yes | Box::No));
        QCOMPARE(window.dialogs[0].icon, Box::Question);
        QCOMPARE(window.endedWith, -1);
        QCOMPARE(window.shownPanel(), 0);
        QCOMPARE(window.clockInterval, 1000);
        QCOMPARE(Game.Board, game.Board);

        window.answers.push_back(Box::Yes);
        RunHandler([] { ToolbarClick(4); });
        QCOMPARE(window.endedWith, 0);
        QVERIFY(ProgramEnding());
        // Once ending, no handler runs any more.
        bool ran = false;
        RunHandler([&] { ran = true; });
        QVERIFY(!ran);
    }

    void aRunTimeErrorShowsItsBoxAndEndsTheProgram_data()
    {
        QTest::addColumn<int>("number");
        QTest::newRow("overflow") << 6;
        QTest::newRow("subscript") << 9;
    }
    void aRunTimeErrorShowsItsBoxAndEndsTheProgram()
    {
        QFETCH(int, number);
        bool after = false;
        RunHandler([&] {
            if (number == 6)
                ToByte(300);
            else
                Subscript(64, 0, 63);
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(window.dialogs.size(), 1);
        QCOMPARE(window.dialogs[0].icon, Box::Critical);
        QVERIFY(window.dialogs[0].text.contains(QString::number(number)));
        QCOMPARE(window.endedWith, number);
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "tst_commands.moc"
