#include "temp_files.h"
#include "word_list.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace tavilon;

// Runs alone in its own process so that the peak memory it reads is its own.
class TestCountMemory : public QObject {
    Q_OBJECT
private slots:
    void aHundredMegabyteLineCountsInBoundedMemory()
    {
#ifndef Q_OS_UNIX
        QSKIP("peak memory is read with getrusage");
#else
        TempFiles files;
        const QString path = files.path("one-line.txt");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'w');
            for (int i = 0; i < 100; ++i)
                QCOMPARE(file.write(block), qint64(block.size()));
        }
        rusage before {};
        getrusage(RUSAGE_SELF, &before);
        auto counted = countFields(path.toStdString());
        rusage after {};
        getrusage(RUSAGE_SELF, &after);
        QCOMPARE(counted.value(), std::string("1"));
        const long grownKiB = after.ru_maxrss - before.ru_maxrss;
        QVERIFY2(grownKiB < 16 * 1024, qPrintable(QString("peak grew by %1 KiB").arg(grownKiB)));
#endif
    }
};

QTEST_APPLESS_MAIN(TestCountMemory)
#include "test_count_memory.moc"
