#pragma once

#include <QTranslator>

// A language in which every text is the English one marked "譯" in front: what a window shows
// after a switch to it tells which of its texts follow the language.
struct MarkedTranslator : QTranslator {
    bool isEmpty() const override { return false; }
    QString translate(const char *, const char *source, const char *, int) const override
    {
        return QStringLiteral("譯") + QLatin1String(source);
    }
};
