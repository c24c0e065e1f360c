// The windows' texts and the core's sentences in the user's language.
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

#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>

#include <clocale>
#include <functional>

using namespace tavilon;

namespace {

CoreError errorOf(const auto& outcome)
{
    return outcome.error();
}

TempFiles files;

std::string at(const char* name)
{
    return files.path(name).toStdString();
}

CoreError pickError(const QByteArray& bytes)
{
    return errorOf(checkWordsFitBox(collectWords(files.write("list", bytes), {1}).value()));
}

// A real error of each kind a window can show, as the core words it.
const std::vector<std::pair<const char*, std::function<CoreError()>>> coreErrors = {
    {"no file name", [] { return errorOf(InputFile::open("")); }},
    {"cannot open", [] { return errorOf(InputFile::open(at("gone"))); }},
    {"a folder", [] { return errorOf(InputFile::open(files.root().toStdString())); }},
    {"a device", [] { return errorOf(InputFile::open("/dev/null")); }},
    {"cannot read", [] { return errorOf(countWords("/proc/self/mem")); }},
    {"binary", [] { return notWordListError("list.bin"); }},
    {"changed", [] { return listChangedError("words.txt"); }},
    {"text budget", [] { return textBudgetError(256u << 20); }},
    {"too many picks", [] { return errorOf(checkDraws(2'000'000, 10)); }},
    {"no words", [] { return errorOf(checkDraws(1, 0)); }},
    {"output full", [] { return errorOf(checkOutputRoom(999'999, 2)); }},
    {"word too long", [] { return pickError(QByteArray(10'001, 'x')); }},
    {"line break", [] { return pickError("a\u2029b"); }},
    {"save: a folder", [] { return errorOf(writeFileKeepingIdentity(at("."), "x")); }},
    {"save: no folder", [] { return errorOf(writeFileKeepingIdentity(at("gone/x"), "x")); }},
};

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
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
        QCOMPARE(errorText(error), QString::fromStdString(error.message));
        // Names and numbers are kept; the system's reason, the last, is worded anew.
        std::vector<std::string> kept = error.args;
        for (const CoreError::Counted& counted : error.counted)
            kept[counted.arg] = std::to_string(counted.number);
        if (error.systemError != 0)
            kept.pop_back();
        for (const char* language : {"de_DE", "fr_FR"}) {
            const Translations translations{QLocale(language)};
            QVERIFY(translations.programTranslated());
            const QString text = errorText(error);
            QVERIFY(text != QString::fromStdString(error.message));
            for (const std::string& arg : kept)
                QVERIFY2(text.contains(QString::fromStdString(arg)), qPrintable(text));
        }
    }

    // A window speaks one language, Qt's buttons and the system's reason included.
    void windowsSpeakOneLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message"); // %1: the missing file
        QTest::addColumn<QString>("cancel");  // Qt's own
        const QString english = "The word list was not loaded.\n\n"
                                "Cannot open \"%1\": No such file or directory.";
        for (const char* locale : {"C", "en_US", "es_ES"})
            QTest::newRow(locale) << locale << "File" << "Select" << english << "Cancel";
        QTest::newRow("de_DE") << "de_DE" << "Datei" << "Auslosen"
                               << "Die Wortliste wurde nicht geladen.\n\n„%1“ kann nicht "
                                  "geöffnet werden: Datei oder Ordner nicht gefunden."
                               << "Abbrechen";
        QTest::newRow("fr_FR") << "fr_FR" << "Fichier" << "Tirer"
                               << "La liste de mots n’a pas été chargée.\n\n"
                                  "Impossible d’ouvrir «\u00a0%1\u00a0»\u00a0: "
                                  "fichier ou dossier introuvable."
                               << "Annuler";
    }
    void windowsSpeakOneLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, message);
        // Once the messages' locale is not plain C, glibc reads LANGUAGE.
        qputenv("LANGUAGE", locale.left(2).toLatin1());
        std::setlocale(LC_MESSAGES, "C.UTF-8");
        const Translations translations{QLocale(locale)};
        WindowFixture f;
        MainWindow& window = f.mainWithList(files.path("missing.txt"));
        QTEST(window.menuBar()->actions().value(0)->text(), "menu");
        QTEST(window.selectButton()->text(), "button");
        QCOMPARE(f.services.lastMessage(), message.arg(files.path("missing.txt")));
        QMessageBox box(QMessageBox::Warning, "", "", QMessageBox::Ok | QMessageBox::Cancel);
        QTEST(box.button(QMessageBox::Cancel)->text(), "cancel");
    }
};

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
