#pragma once

#include <QLocale>
#include <QTranslator>

namespace tavilon {

// The program's texts, and Qt's own (its standard buttons, the text boxes'
// menus), in the first of a locale's languages that the program ships, or
// else in English: never two languages in one window. Install before any
// window is made: the windows take their texts when they are built. Under a
// locale without a translation, English or C, every text stays the
// program's own English, and Qt's stay Qt's English.
class Translations {
public:
    // Installs into the running application; removed again on destruction.
    explicit Translations(const QLocale& locale = QLocale());
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Whether a translation of the program's own texts was found.
    bool programTranslated() const { return programLoaded_; }

private:
    QTranslator program_;
    QTranslator qt_;
    bool programLoaded_ = false;
    bool qtLoaded_ = false;
};

} // namespace tavilon
