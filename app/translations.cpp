#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tavilon {

Translations::Translations(const QLocale& locale)
{
    // The first of the user's languages that the program speaks, English
    // counted: a language the program has no translation for is passed
    // over, so that Qt's own texts and the system's reasons never come in
    // one language while the program's own come in another.
    for (const QString& tag : locale.uiLanguages()) {
        const QLocale language(tag);
        if (language.language() == QLocale::English)
            return;
        // Built into the program (tavilon_de.qm, ...).
        if (!program_.load(language, QStringLiteral("tavilon"), QStringLiteral("_"), QStringLiteral(":/i18n")))
            continue;
        programLoaded_ = QCoreApplication::installTranslator(&program_);
        // Qt's own texts in the same language, from the system's Qt
        // translations when they are installed.
        qtLoaded_ = qt_.load(language, QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                    && QCoreApplication::installTranslator(&qt_);
        return;
    }
}

Translations::~Translations()
{
    if (qtLoaded_)
        QCoreApplication::removeTranslator(&qt_);
    if (programLoaded_)
        QCoreApplication::removeTranslator(&program_);
}

} // namespace tavilon
