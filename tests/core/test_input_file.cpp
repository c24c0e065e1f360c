#include "input_file.h"
#include "text_source.h"
#include "word_list.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace tavilon;

// A source that has nothing to give yet must not hang a read.
class TestInputFile : public QObject {
    Q_OBJECT
private slots:
    void aFileThatWaitsForDataIsRefusedAtOnce()
    {
#ifndef Q_OS_UNIX
        QSKIP("needs a pipe");
#else
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        // The writing end stays open, so a waiting read would never return.
        auto list = TextSource::open(InputFile::adopt(ends[0], "waiting-list"));
        const CoreError error = list.ok() ? countFields(list.value()).error() : list.error();
        ::close(ends[1]);
        QCOMPARE(error.code, ErrorCode::ReadFailed);
        QVERIFY2(error.message.find("does not answer") != std::string::npos, error.message.c_str());
        QVERIFY(error.message.find("waiting-list") != std::string::npos);
#endif
    }
};

QTEST_APPLESS_MAIN(TestInputFile)
#include "test_input_file.moc"
