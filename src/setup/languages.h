#pragma once

#include <QString>
#include <vector>

class Config;

// The interface languages, one row each. The first is the language the program's texts are
// written in; each other one is a Qt Linguist translation carried in the program
// (":/i18n/chargemon_<locale>.qm") together with Qt's own translation of its dialogs.
struct Language {
    // As the settings store it.
    QString code;
    // The tool of the "Lang" pop-up that chooses it, and that tool's caption, which reads the
    // same in every language.
    QString tool;
    const char *caption;
    // The translations' suffix; empty for the first row.
    QString locale;
    // The about window's text in this language.
    const QString &(Config::*about)() const;
};

const std::vector<Language> &languages();

// The language a code selects: the row of that code; a code that no row names selects
// Traditional Chinese, as the program has always read it.
const Language &languageFor(const QString &code);

// The row of exactly that code, or the first: the about window reads a hand-edited code as
// English.
const Language &languageNamed(const QString &code);
