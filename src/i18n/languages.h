#pragma once

#include <QString>
#include <vector>

class QTranslator;

// The interface languages, one row each, for the desktop program and the logger alike. The
// first is the language the program's texts are written in; each other one is a Qt Linguist
// translation carried in the program (":/i18n/chargemon_<locale>.qm", compiled from
// translations/chargemon_<locale>.ts) together with Qt's own translation of its dialogs
// ("qtbase_<locale>"). A further language is its .ts file and one row of languages().
struct Language {
    // As the settings store it.
    QString code;
    // The tool of the "Lang" pop-up that chooses it, and that tool's caption, which reads the
    // same in every language.
    QString tool;
    const char *caption;
    // The translations' suffix; empty for the first row.
    QString locale;
    // The interface-text store's column of the about window's text in this language.
    const char *about;
    // The face Han characters are drawn in, on screen and on paper; empty leaves them to the
    // desktop, which picks by the system's language (the Japanese forms on most systems).
    QString hanFont = {};
};

const std::vector<Language> &languages();

// The language a code selects: the row of that code; a code that no row names selects
// Traditional Chinese, as the program has always read it.
const Language &languageFor(const QString &code);

// The row of exactly that code, or the first: the about window and the logger read a
// hand-edited code as English.
const Language &languageNamed(const QString &code);

// Loads the program's own texts in `language` into `own`; false for the first row, whose texts
// need no translation, and for a translation the program does not carry.
bool loadTranslation(QTranslator &own, const Language &language);

// Makes `language` the locale of QLocale(), so that dates and numbers in the program's texts
// (the book's, the notices', the MQTT messages') read in the interface language. The system's
// own locale where it speaks that language, keeping its region's ways.
void useLocale(const Language &language);
