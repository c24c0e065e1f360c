// The program's command line: --help and --version need no display; Qt takes its own options.
#include "tavilon_version.h"

#include <QtTest>

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("platform"); // Qt's; "none" does not exist: no display
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // how the standard output starts
        QTest::addColumn<QString>("err"); // how the standard error ends
        const QString usage = "Usage: tavilon [FILE]";
        const auto wrong = [](const char* why) {
            return "tavilon: " + QString(why) + "\nTry \"tavilon --help\" for more.\n";
        };
        const QStringList afterEnd{"-style", "fusion", "--", "-style", "x"}; // Qt's, after "--"
        const QString none = "none";
        const QString offscreen = "offscreen";
        QTest::newRow("--help") << QStringList{"--help"} << none << 0 << usage << "";
        QTest::newRow("--version")
            << QStringList{"--version"} << none << 0 << "tavilon " TAVILON_VERSION << "";
        QTest::newRow("two files")
            << QStringList{"a.txt", "b.txt"} << none << 2 << "" << wrong("one word list at a time");
        QTest::newRow("empty name")
            << QStringList{""} << none << 2 << "" << wrong("the word list's name is empty");
        QTest::newRow("-h after a Qt option")
            << QStringList{"-style", "fusion", "-h"} << offscreen << 0 << usage << "";
        QTest::newRow("unknown, then --help") << QStringList{"--bogus", "--help"} << offscreen << 2
                                                << "" << wrong("unknown option \"--bogus\"");
        QTest::newRow("Qt option after --")
            << afterEnd << offscreen << 2 << "" << wrong("one word list at a time");
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, platform);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.insert("QT_QPA_PLATFORM", platform);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(TAVILON_PROGRAM, args);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QTEST(program.exitCode(), "status");
        QFETCH(QString, out);
        QFETCH(QString, err);
        QVERIFY(program.readAllStandardOutput().startsWith(out.toUtf8()));
        QVERIFY(program.readAllStandardError().endsWith(err.toUtf8()));
    }

    void helpThatCannotBeWrittenSaysSo()
    {
        QProcess program;
        program.setStandardOutputFile("/dev/full");
        program.start(TAVILON_PROGRAM, {"--help"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardError(), "tavilon: standard output: cannot write\n");
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "test_start_options.moc"
