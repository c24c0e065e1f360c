// The program's own command line, run as a user runs it: --help and
// --version answer without a display, other options are usage errors.
#include "tavilon_version.h"

#include <QtTest>

class TestStartOptions : public QObject {
    Q_OBJECT
private slots:
    void withoutADisplay_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: tavilon [FILE]";
        QTest::newRow("-h after a Qt option") << QStringList{"-style", "fusion", "-h"} << 0 << "Usage: tavilon [FILE]";
        QTest::newRow("--version") << QStringList{"--version"} << 0 << "tavilon " TAVILON_VERSION;
        QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "";
        QTest::newRow("two files") << QStringList{"a.txt", "b.txt"} << 2 << "";
        QTest::newRow("a Qt option without its value") << QStringList{"-platform"} << 2 << "";
    }
    void withoutADisplay()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TAVILON_PROGRAM), args);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        QVERIFY2(program.readAllStandardOutput().startsWith(out.toUtf8()), qPrintable(out));
        if (status == 2)
            QVERIFY(program.readAllStandardError().contains("tavilon --help"));
    }
};

QTEST_GUILESS_MAIN(TestStartOptions)
#include "test_start_options.moc"
