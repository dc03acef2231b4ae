#pragma once

#include <QString>
#include <vector>

// A command-bar caption that follows the interface language. `text` is the English caption
// and the source text of its translation in the context "Captions".
struct LanguageCaption {
    QString band;
    QString tool;
    const char *text;
};

// Every caption that follows the language, in the order the language step sets them.
const std::vector<LanguageCaption> &languageCaptions();

// The caption in the language whose translator is installed.
QString translatedCaption(const LanguageCaption &caption);
