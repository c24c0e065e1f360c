#include "number_text.h"
#include "random_source.h"
#include "selection.h"

#include <QtTest>

using namespace tavilon;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void numericTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("digits") << "12" << true << 12.0;
        QTest::newRow("leading zeros") << "007" << true << 7.0;
        QTest::newRow("double zero") << "00" << true << 0.0;
        QTest::newRow("negative") << "-3" << true << -3.0;
        QTest::newRow("plus sign") << "+4" << true << 4.0;
        QTest::newRow("fraction") << "2.5" << true << 2.5;
        QTest::newRow("trailing dot") << "5." << true << 5.0;
        QTest::newRow("leading dot") << ".5" << true << 0.5;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("exponent sign") << "2.5E-1" << true << 0.25;
        QTest::newRow("blanks around") << "  42\t" << true << 42.0;
        QTest::newRow("underflow is zero") << "1e-400" << true << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "   " << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("dot only") << "." << false << 0.0;
        QTest::newRow("letter after digits") << "12a" << false << 0.0;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("grouping") << "1,000" << false << 0.0;
        QTest::newRow("basic hex") << "&H10" << false << 0.0;
        QTest::newRow("two dots") << "1.2.3" << false << 0.0;
        QTest::newRow("inner blank") << "1 2" << false << 0.0;
        QTest::newRow("overflow") << "1e400" << false << 0.0;
        QTest::newRow("two signs") << "+-1" << false << 0.0;
    }
    void numericTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const auto result = numericValue(text.toStdString());
        QCOMPARE(result.has_value(), numeric);
        if (numeric)
            QCOMPARE(*result, value);
    }

    void passesOfAPress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("effective");
        QTest::addColumn<qulonglong>("passes");
        QTest::newRow("empty becomes 1") << "" << "1" << 1ull;
        QTest::newRow("0 becomes 1") << "0" << "1" << 1ull;
        QTest::newRow("00 stays and picks none") << "00" << "00" << 0ull;
        QTest::newRow("0.0 stays and picks none") << "0.0" << "0.0" << 0ull;
        QTest::newRow("three") << "3" << "3" << 3ull;
        QTest::newRow("2.5 gives two") << "2.5" << "2.5" << 2ull;
        QTest::newRow("negative gives none") << "-1" << "-1" << 0ull;
        QTest::newRow("exponent") << "1e3" << "1e3" << 1000ull;
    }
    void passesOfAPress()
    {
        QFETCH(QString, text);
        QFETCH(QString, effective);
        QFETCH(qulonglong, passes);
        const std::string eff = effectivePicksText(text.toStdString());
        QCOMPARE(QString::fromStdString(eff), effective);
        QCOMPARE(*passCount(eff), passes);
    }

    void generatorStartsAtTheSameValues()
    {
        RandomSource source;
        const double expected[] = {0.7055475115776062, 0.5334240198135376, 0.5795186161994934,
                                   0.289562463760376, 0.30194801092147827};
        for (double e : expected)
            QCOMPARE(static_cast<double>(source.next()), e);
        source.reset();
        QCOMPARE(static_cast<double>(source.next()), expected[0]);
    }

    void generatorStaysInRangeAndCyclesAllStates()
    {
        // A full-period 24-bit generator visits every state once per cycle.
        RandomSource source;
        const std::uint32_t start = source.state();
        std::uint32_t steps = 0;
        do {
            const float r = source.next();
            QVERIFY(r >= 0.0f && r < 1.0f);
            ++steps;
        } while (source.state() != start && steps <= (1u << 24));
        QCOMPARE(steps, 1u << 24);
    }

    void targetsStayWithinTheCount()
    {
        QCOMPARE(targetFor(1, 0.0f), 1ull);
        QCOMPARE(targetFor(1, 0.99999994f), 1ull);
        QCOMPARE(targetFor(5, 0.0f), 1ull);
        QCOMPARE(targetFor(5, 0.99999994f), 5ull);
        // A large count: the product uses r's single-precision value.
        QCOMPARE(targetFor(1e12, 0.99999994f), static_cast<std::uint64_t>(1e12 * 0.99999994039535522 + 1));
        QCOMPARE(targetFor(4, 0.7055475115776062f), 3ull);
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_number_text.moc"
