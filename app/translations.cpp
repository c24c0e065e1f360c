#include "translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace tavilon {

Translations::Translations(const QLocale& locale)
{
    // Built into the program (tavilon_de.qm, ...); Qt's own come with the
    // system's Qt translations, when they are installed.
    programLoaded_ = program_.load(locale, QStringLiteral("tavilon"), QStringLiteral("_"), QStringLiteral(":/i18n"))
                     && QCoreApplication::installTranslator(&program_);
    qtLoaded_ = qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                && QCoreApplication::installTranslator(&qt_);
}

Translations::~Translations()
{
    if (qtLoaded_)
        QCoreApplication::removeTranslator(&qt_);
    if (programLoaded_)
        QCoreApplication::removeTranslator(&program_);
}

} // namespace tavilon
