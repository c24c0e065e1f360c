#include "selection.h"
#include "temp_files.h"
#include "text_source.h"
#include "word_list.h"

#include <QtTest>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tavilon;

namespace {

// Many lines, so that the count's marks let a pass skip most of them.
QByteArray longList(const char* word, int lines = 200000)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += QByteArray(word) + QByteArray::number(i) + "\n";
    return bytes;
}

// Back-dates the file, so that any later write shows in its time.
void backDate(const std::string& path)
{
#ifdef Q_OS_UNIX
    const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
    QCOMPARE(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
#endif
}

// Writes bytes in place, without changing the file's inode or size.
void overwriteAt(const std::string& path, qint64 offset, const QByteArray& bytes)
{
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

std::vector<std::string> wordsPicked(TextSource& list, const std::string& count, const FieldIndex* index,
                                     Outcome<std::uint64_t>* outcome = nullptr)
{
    std::vector<std::string> words;
    RandomSource random;
    auto result = pickWords(list, count, "50", random, index, [&](std::string_view w) {
        words.emplace_back(w);
        return true;
    });
    if (outcome)
        *outcome = result;
    return words;
}

} // namespace

// The words picked come from the file that was counted, and from nothing else.
class TestListIdentity : public QObject {
    Q_OBJECT
private slots:
    void picksReadTheFileTheCountRead()
    {
        TempFiles files;
        const std::string path = files.write("list.txt", longList("old"));
        auto list = TextSource::open(path);
        FieldIndex index;
        const std::string count = countFields(list.value(), {}, &index).value();
        // Another list renamed over the name after the count.
        const std::string other = files.write("other.txt", longList("new-and-longer-words", 1000));
        QCOMPARE(std::rename(other.c_str(), path.c_str()), 0);

        const auto words = wordsPicked(list.value(), count, &index);
        QCOMPARE(words.size(), std::size_t{50});
        for (const std::string& word : words)
            QVERIFY2(word.rfind("old", 0) == 0, word.c_str());
    }

    void aFileWrittenInPlaceSinceTheCountIsRefused_data()
    {
        QTest::addColumn<qint64>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL in a part the picks read") << qint64(100) << QByteArray("\0", 1);
        QTest::newRow("NUL in a part the picks skip") << qint64(1000000) << QByteArray("\0", 1);
        QTest::newRow("words moved") << qint64(100) << QByteArray("\n\n\n\n\n\n");
    }
    void aFileWrittenInPlaceSinceTheCountIsRefused()
    {
#ifndef Q_OS_UNIX
        QSKIP("sets file times with utimensat");
#else
        QFETCH(qint64, offset);
        QFETCH(QByteArray, bytes);
        TempFiles files;
        const std::string path = files.write("list.txt", longList("w"));
        backDate(path);
        auto list = TextSource::open(path);
        FieldIndex index;
        const std::string count = countFields(list.value(), {}, &index).value();
        overwriteAt(path, offset, bytes);

        Outcome<std::uint64_t> outcome = std::uint64_t{0};
        const auto words = wordsPicked(list.value(), count, &index, &outcome);
        QVERIFY(words.empty());
        QCOMPARE(outcome.error().code, ErrorCode::ListChanged);
#endif
    }

    void aPressRefusesAListThatIsNotTheOneCounted_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("renamed over") << "rename";
        QTest::newRow("truncated") << "truncate";
        QTest::newRow("grown") << "append";
        QTest::newRow("written in place") << "overwrite";
    }
    void aPressRefusesAListThatIsNotTheOneCounted()
    {
#ifndef Q_OS_UNIX
        QSKIP("sets file times with utimensat");
#else
        QFETCH(QString, change);
        TempFiles files;
        const std::string path = files.write("list.txt", longList("w", 1000));
        backDate(path);
        FileIdentity identity;
        const std::string count = countFields(path, {}, nullptr, &identity).value();
        const PressInput input {"5", count, path, identity, 0};
        RandomSource unchanged;
        QVERIFY(press(input, unchanged).ok()); // the file as counted

        if (change == "rename") {
            const std::string other = files.write("other.txt", longList("w", 1000));
            QCOMPARE(std::rename(other.c_str(), path.c_str()), 0);
        } else if (change == "truncate") {
            QCOMPARE(::truncate(path.c_str(), 0), 0);
        } else if (change == "append") {
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::Append));
            file.write("more\n");
        } else {
            overwriteAt(path, 0, "W");
        }
        RandomSource random;
        auto result = press(input, random);
        QVERIFY(!result.ok());
        QCOMPARE(result.error().code, ErrorCode::ListChanged);
        QVERIFY(result.error().message.find("Load it again") != std::string::npos);
        // Nothing is claimed about what the file holds now.
        QVERIFY2(result.error().message.find("holds") == std::string::npos, result.error().message.c_str());
        QCOMPARE(random.state(), RandomSource::StartState);
#endif
    }
};

QTEST_APPLESS_MAIN(TestListIdentity)
#include "test_list_identity.moc"
