// The windows' texts and the core's sentences in the user's language, and
// exactly the program's own English under an English or C locale.
#include "core_errors.h"
#include "error_text.h"
#include "file_writer.h"
#include "input_file.h"
#include "output_box.h"
#include "output_box_rules.h"
#include "picked_fields.h"
#include "selection.h"
#include "temp_files.h"
#include "translations.h"
#include "window_fixture.h"
#include "word_list.h"

#include <QMenu>
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

// The system's own messages (glibc's strerror) in `language`, as under a
// desktop set to it: LANGUAGE is read on every look-up once the messages'
// locale is not plain C, so no locale of that language needs to be made.
struct SystemMessagesIn {
    explicit SystemMessagesIn(const QString& language)
    {
        qputenv("LANGUAGE", language.toLatin1());
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    ~SystemMessagesIn()
    {
        qunsetenv("LANGUAGE");
        std::setlocale(LC_MESSAGES, "");
    }
    SystemMessagesIn(const SystemMessagesIn&) = delete;
    SystemMessagesIn& operator=(const SystemMessagesIn&) = delete;
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
            // File names and numbers all kept; a system's reason is worded anew.
            const std::size_t kept = error.args.size() - (error.systemError != 0 ? 1 : 0);
            for (std::size_t i = 0; i < kept; ++i)
                QVERIFY2(text.contains(QString::fromStdString(error.args[i])), qPrintable(text));
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
        QTest::newRow("de_DE") << QLocale("de_DE") << "Datei" << "Auslosen"
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

    // Every text of a window in one language: a language we ship, or else
    // English, Qt's own buttons and menus and the system's reasons included.
    void oneLanguagePerWindow_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("message"); // %1: the missing file
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("selectAll");
        const QString english = QStringLiteral("The word list was not loaded.\n\n"
                                               "Cannot open \"%1\": No such file or directory.");
        QTest::newRow("es_ES") << "es_ES" << english << "Cancel" << "Select All";
        QTest::newRow("ja_JP") << "ja_JP" << english << "Cancel" << "Select All";
        QTest::newRow("de_DE") << "de_DE"
                               << "Die Wortliste wurde nicht geladen.\n\n„%1“ kann nicht geöffnet werden: "
                                  "Datei oder Ordner nicht gefunden."
                               << "Abbrechen" << "Alles auswählen";
        QTest::newRow("fr_FR") << "fr_FR"
                               << "La liste de mots n’a pas été chargée.\n\nImpossible d’ouvrir «\u00a0%1\u00a0»\u00a0: "
                                  "fichier ou dossier introuvable."
                               << "Annuler" << "Tout sélectionner";
    }
    void oneLanguagePerWindow()
    {
        QFETCH(QString, locale);
        const SystemMessagesIn system(locale.left(2));
        const tavilon::Translations translations {QLocale(locale)};
        tavilon::WindowFixture fixture;
        const QString missing = files.path("missing.txt");
        tavilon::MainWindow& window = fixture.mainWithList(missing);
        QFETCH(QString, message);
        QCOMPARE(fixture.services.lastMessage(), message.arg(missing));
        QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Ok | QMessageBox::Cancel);
        QFETCH(QString, cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), cancel);
        const std::unique_ptr<QMenu> menu(window.outputBox()->createStandardContextMenu());
        QFETCH(QString, selectAll);
        QCOMPARE(menu->actions().constLast()->text().section(QLatin1Char('\t'), 0, 0), selectAll);
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
