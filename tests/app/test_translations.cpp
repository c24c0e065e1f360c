// The windows' texts and the core's sentences in the user's language, and
// exactly the program's own English under an English or C locale.
#include "window_fixture.h"
#include "app/translations.h"
#include "core/errors/core_errors.h"
#include "core/list/input_file.h"
#include "core/list/picked_words.h"
#include "core/list/word_list.h"
#include "core/picking/output_box_rules.h"
#include "core/picking/selection.h"
#include "core/saving/file_writer.h"
#include "platform/services/error_text.h"
#include "tests/support/temp_files.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <clocale>
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
    {"cannot read", [] { return errorOf(tavilon::countWords("/proc/self/mem")); }},
    {"binary", [] { return tavilon::notWordListError("list.bin"); }},
    {"changed", [] { return tavilon::listChangedError("words.txt"); }},
    {"text budget", [] { return tavilon::textBudgetError(256u << 20); }},
    {"too many picks", [] { return errorOf(tavilon::checkDraws(2'000'000, 10)); }},
    {"no words", [] { return errorOf(tavilon::checkDraws(1, 0)); }},
    {"output full", [] { return errorOf(tavilon::checkOutputRoom(999'999, 2)); }},
    {"word too long", [] {
         const auto picked = tavilon::collectWords(files.write("long", QByteArray(10'001, 'x')), {1});
         return errorOf(tavilon::checkWordsFitBox(picked.value()));
     }},
    {"line break", [] {
         const auto picked = tavilon::collectWords(files.write("para", "a\u2029b"), {1});
         return errorOf(tavilon::checkWordsFitBox(picked.value()));
     }},
    {"save: a folder", [] { return errorOf(tavilon::writeFileKeepingIdentity(files.root().toStdString(), "x")); }},
    {"save: no folder", [] {
         return errorOf(tavilon::writeFileKeepingIdentity(files.path("gone/x").toStdString(), "x"));
     }},
};

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    // After every test: the system's messages back in the locale's language.
    void cleanup()
    {
        qunsetenv("LANGUAGE");
        std::setlocale(LC_MESSAGES, "");
    }

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
            // File names and numbers all kept; a system reason, last, and a
            // number's noun are worded anew.
            std::vector<std::string> kept = error.args;
            for (const CoreError::Counted& counted : error.counted)
                kept[counted.arg] = std::to_string(counted.number);
            for (std::size_t i = 0; i + (error.systemError != 0 ? 1 : 0) < kept.size(); ++i)
                QVERIFY2(text.contains(QString::fromStdString(kept[i])), qPrintable(text));
        }
    }

    // Every text of a window in one language: one the program ships, or else
    // English, Qt's own buttons and the system's reason after a colon included.
    void windowsSpeakOneLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message"); // %1: the missing file
        QTest::addColumn<QString>("cancel");  // Qt's own
        const QString english = QStringLiteral("The word list was not loaded.\n\n"
                                               "Cannot open \"%1\": No such file or directory.");
        for (const char* locale : {"C", "en_US", "es_ES", "ja_JP"})
            QTest::newRow(locale) << locale << "File" << "Select" << english << "Cancel";
        QTest::newRow("de_DE") << "de_DE" << "Datei" << "Auslosen" << "Die Wortliste wurde nicht geladen.\n\n„%1“ "
                                  "kann nicht geöffnet werden: Datei oder Ordner nicht gefunden." << "Abbrechen";
        QTest::newRow("fr_FR") << "fr_FR" << "Fichier" << "Tirer"
                               << "La liste de mots n’a pas été chargée.\n\nImpossible d’ouvrir "
                                  "«\u00a0%1\u00a0»\u00a0: fichier ou dossier introuvable." << "Annuler";
    }
    void windowsSpeakOneLanguage()
    {
        QFETCH(QString, locale);
        // The system's messages (strerror) in that language too: glibc reads LANGUAGE on every
        // look-up once the messages' locale is not plain C, so no locale of it needs to be made.
        qputenv("LANGUAGE", locale.left(2).toLatin1());
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        const tavilon::Translations translations {QLocale(locale)};
        tavilon::WindowFixture fixture;
        const QString missing = files.path("missing.txt");
        tavilon::MainWindow& window = fixture.mainWithList(missing);
        QFETCH(QString, menu);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QFETCH(QString, cancel);
        QCOMPARE(window.menuBar()->actions().value(0)->text(), menu);
        QCOMPARE(window.selectButton()->text(), button);
        QCOMPARE(fixture.services.lastMessage(), message.arg(missing));
        const QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), cancel);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
