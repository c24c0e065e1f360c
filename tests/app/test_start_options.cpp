// The program's own command line, run as a user runs it: --help and
// --version alone answer without a display; the rest is read once Qt has
// taken its own options, and what is left that is not ours is a usage error.
#include "tavilon_version.h"

#include <QtTest>

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("display");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString usage = "Usage: tavilon [FILE]";
        QTest::newRow("--help") << QStringList{"--help"} << false << 0 << usage << "";
        QTest::newRow("--version") << QStringList{"--version"} << false << 0 << "tavilon " TAVILON_VERSION << "";
        QTest::newRow("two files") << QStringList{"a.txt", "b.txt"} << false << 2 << "" << "one word list at a time";
        QTest::newRow("empty name") << QStringList{""} << false << 2 << "" << "the word list's name is empty";
        QTest::newRow("-h after a Qt option") << QStringList{"-style", "fusion", "-h"} << true << 0 << usage << "";
        QTest::newRow("unknown, then --help")
            << QStringList{"--bogus", "--help"} << true << 2 << "" << "unknown option \"--bogus\"";
        const QStringList afterEnd {"-style", "fusion", "--", "-style", "x"}; // Qt takes options after "--"
        QTest::newRow("Qt option after --") << afterEnd << true << 2 << "" << "one word list at a time";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, display);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        if (display)
            env.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TAVILON_PROGRAM), args);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        QVERIFY2(program.readAllStandardOutput().startsWith(out.toUtf8()), qPrintable(out));
        const QByteArray errors = program.readAllStandardError();
        QVERIFY2(errors.contains(err.toUtf8()), qPrintable(err));
        if (status == 2)
            QVERIFY(errors.contains("tavilon --help"));
    }

    void helpThatCannotBeWrittenSaysSo()
    {
        QProcess program;
        program.setStandardOutputFile(QStringLiteral("/dev/full"));
        program.start(QStringLiteral(TAVILON_PROGRAM), {"--help"});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardError(), "tavilon: standard output: cannot write\n");
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "test_start_options.moc"
