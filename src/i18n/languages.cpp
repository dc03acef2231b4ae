#include "i18n/languages.h"

#include <QLocale>
#include <QTranslator>
#include <algorithm>

namespace {
const Language *find(const QString &code)
{
    const auto &all = languages();
    const auto row = std::find_if(all.begin(), all.end(),
                                  [&code](const Language &l) { return l.code == code; });
    return row == all.end() ? nullptr : &*row;
}
} // namespace

const Language &languageFor(const QString &code)
{
    const Language *row = find(code);
    return row ? *row : *find(QStringLiteral("CHT"));
}

const Language &languageNamed(const QString &code)
{
    const Language *row = find(code);
    return row ? *row : languages().front();
}

bool loadTranslation(QTranslator &own, const Language &language)
{
    return !language.locale.isEmpty()
        && own.load(QStringLiteral(":/i18n/chargemon_%1.qm").arg(language.locale));
}

void useLocale(const Language &language)
{
    const QLocale wanted(language.locale.isEmpty() ? QStringLiteral("en") : language.locale);
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == wanted.language() && system.script() == wanted.script()
                            ? system
                            : wanted);
}
