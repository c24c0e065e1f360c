// The windows' texts and the core's sentences in the user's language, and
// exactly the program's own English under an English or C locale.
#include "core_errors.h"
#include "error_text.h"
#include "file_writer.h"
#include "input_file.h"
#include "output_box_rules.h"
#include "picked_fields.h"
#include "selection.h"
#include "temp_files.h"
#include "translations.h"
#include "window_fixture.h"
#include "word_list.h"

#include <QMenuBar>
#include <QPushButton>

#include <functional>

namespace {

using tavilon::CoreError;

CoreError errorOf(const auto& outcome) { return outcome.error(); }

TempFiles files;

// A real error of each kind a window can show, as the core words it.
const std::vector<std::pair<const char*, std::function<CoreError()>>> coreErrors = {
    {"no file name", [] { return errorOf(tavilon::InputFile::open("")); }},
    {"cannot open", [] { return errorOf(tavilon::InputFile::open(files.path("gone").toStdString())); }},
    {"a folder", [] { return errorOf(tavilon::InputFile::open(files.root().toStdString())); }},
    {"a device", [] { return errorOf(tavilon::InputFile::open("/dev/null")); }},
    {"cannot read", [] { return errorOf(tavilon::countFields("/proc/self/mem")); }},
    {"binary", [] { return tavilon::notWordListError("list.bin"); }},
    {"changed", [] { return tavilon::listChangedError("words.txt"); }},
    {"text budget", [] { return tavilon::textBudgetError(256u << 20); }},
    {"too many picks", [] { return errorOf(tavilon::checkDraws(2'000'000, 10)); }},
    {"no words", [] { return errorOf(tavilon::checkDraws(1, 0)); }},
    {"output full", [] { return errorOf(tavilon::checkOutputRoom(999'999, 2)); }},
    {"word too long", [] {
         const auto picked = tavilon::collectFields(files.write("long", QByteArray(10'001, 'x')), {1});
         return errorOf(tavilon::checkWordsFitBox(picked.value()));
     }},
    {"line break", [] {
         const auto picked = tavilon::collectFields(files.write("para", "a\u2029b"), {1});
         return errorOf(tavilon::checkWordsFitBox(picked.value()));
     }},
    {"save: a folder", [] { return errorOf(tavilon::writeFileKeepingIdentity(files.root().toStdString(), "x")); }},
    {"save: no folder", [] { return errorOf(tavilon::writeFileKeepingIdentity(files.path("gone/x").toStdString(), "x")); }},
};

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void coreSentencesInEveryLanguage_data()
    {
        QTest::addColumn<int>("which");
        for (int i = 0; i < int(coreErrors.size()); ++i)
            QTest::newRow(coreErrors[i].first) << i;
    }
    void coreSentencesInEveryLanguage()
    {
        QFETCH(int, which);
        const CoreError error = coreErrors[which].second();
        QCOMPARE(tavilon::errorText(error), QString::fromUtf8(error.message));
        for (const char* language : {"de_DE", "fr_FR"}) {
            const tavilon::Translations translations {QLocale(QString::fromLatin1(language))};
            QVERIFY(translations.programTranslated());
            const QString text = tavilon::errorText(error);
            QVERIFY2(text != QString::fromUtf8(error.message), qPrintable(text));
            for (const std::string& arg : error.args) // file names, numbers and reasons all kept
                QVERIFY2(text.contains(QString::fromStdString(arg)), qPrintable(text));
        }
    }

    void windowsSpeakTheLocalesLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        const QString english = QStringLiteral("No words were picked.\n\nThe word list has no words to pick from. "
                                               "Load a list that holds at least one word.");
        QTest::newRow("C") << QLocale::c() << "File" << "Select" << english;
        QTest::newRow("en_US") << QLocale("en_US") << "File" << "Select" << english;
        QTest::newRow("de_DE") << QLocale("de_DE") << "Datei" << "Ziehen"
                               << "Es wurden keine Wörter gezogen.\n\nDie Wortliste enthält keine Wörter zum Ziehen. "
                                  "Laden Sie eine Liste mit mindestens einem Wort.";
    }
    void windowsSpeakTheLocalesLanguage()
    {
        QFETCH(QLocale, locale);
        const tavilon::Translations translations(locale);
        tavilon::WindowFixture fixture;
        tavilon::MainWindow& window = fixture.mainWithList(QString::fromStdString(files.write("blank", "\n \n")));
        QFETCH(QString, menu);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QCOMPARE(window.menuBar()->actions().value(0)->text(), menu);
        QCOMPARE(window.selectButton()->text(), button);
        QTest::mouseClick(window.selectButton(), Qt::LeftButton);
        QCOMPARE(fixture.services.lastMessage(), message);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
