#include "pick_command.h"
#include "temp_files.h"

#include <QtTest>

#include <sstream>

using namespace tavilon;

class TestPickCommand : public QObject {
    Q_OBJECT
private slots:
    void commands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errContains");
        QTest::newRow("count") << QStringList{"count", "LIST"} << 0 << "4\n" << "";
        QTest::newRow("count of an empty list") << QStringList{"count", "EMPTY"} << 0 << "\n" << "";
        QTest::newRow("pick one by default") << QStringList{"pick", "LIST"} << 0 << "gamma\n" << "";
        QTest::newRow("pick three") << QStringList{"pick", "-n", "3", "LIST"} << 0 << "gamma\ngamma\ngamma\n" << "";
        QTest::newRow("empty number picks one") << QStringList{"pick", "-n", "", "LIST"} << 0 << "gamma\n" << "";
        QTest::newRow("00 picks none") << QStringList{"pick", "-n", "00", "LIST"} << 0 << "" << "";
        QTest::newRow("not a number") << QStringList{"pick", "-n", "12a", "LIST"} << 2 << "" << "not a number";
        QTest::newRow("missing file") << QStringList{"count", "MISSING"} << 1 << "" << "No such file";
        QTest::newRow("pick from an empty list") << QStringList{"pick", "EMPTY"} << 1 << "" << "no words";
        QTest::newRow("too many") << QStringList{"pick", "-n", "2000000", "LIST"} << 1 << "" << "At most";
        QTest::newRow("no command") << QStringList{} << 2 << "" << "Usage";
        QTest::newRow("unknown command") << QStringList{"shuffle", "LIST"} << 2 << "" << "unknown";
        QTest::newRow("count without file") << QStringList{"count"} << 2 << "" << "Usage";
        QTest::newRow("-n without value") << QStringList{"pick", "LIST", "-n"} << 2 << "" << "needs a number";
    }
    void commands()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errContains);
        TempFiles files;
        const std::string list = files.write("list.txt", "alpha\nbeta\ngamma\ndelta\n");
        const std::string empty = files.write("empty.txt", "");
        std::vector<std::string> argv;
        for (const QString& a : args) {
            if (a == "LIST")
                argv.push_back(list);
            else if (a == "EMPTY")
                argv.push_back(empty);
            else if (a == "MISSING")
                argv.push_back(files.path("missing.txt").toStdString());
            else
                argv.push_back(a.toStdString());
        }
        std::ostringstream o;
        std::ostringstream e;
        QCOMPARE(runPickCommand(argv, o, e), status);
        QCOMPARE(QString::fromStdString(o.str()), out);
        QVERIFY2(QString::fromStdString(e.str()).contains(errContains), e.str().c_str());
    }

    void helpGoesToStandardOutput()
    {
        std::ostringstream o;
        std::ostringstream e;
        QCOMPARE(runPickCommand({"--help"}, o, e), 0);
        QVERIFY(o.str().find("Exit status") != std::string::npos);
        QVERIFY(e.str().empty());
    }
};

QTEST_APPLESS_MAIN(TestPickCommand)
#include "test_pick_command.moc"
