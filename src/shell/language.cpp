#include "shell/language.h"

#include "i18n/languages.h"
#include "platform/command_bar.h"
#include "platform/core/settings.h"
#include "platform/han_font.h"
#include "shell/captions.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

InterfaceLanguage::InterfaceLanguage(CommandBar &bar, Settings &settings, Report report)
    : bar_(bar), settings_(settings), report_(std::move(report))
{
}

InterfaceLanguage::~InterfaceLanguage()
{
    useTranslations(languages().front());
}

void InterfaceLanguage::ApplyLanguage(const QString &c)
{
    const Language &language = languageFor(c);
    if (!settings_.setValue(SettingsKeys::Lang, language.code) && !reported_) {
        reported_ = true;
        report_(QStringLiteral("Cannot store the interface language in %1.")
                    .arg(QDir::toNativeSeparators(settings_.fileName())));
    }
    useTranslations(language);
    for (const LanguageCaption &caption : languageCaptions())
        bar_.tool(caption.band, caption.tool).setCaption(translatedCaption(caption));
    bar_.refresh();
    if (panelCaptions_)
        panelCaptions_();
}

void InterfaceLanguage::useTranslations(const Language &language)
{
    useLocale(language);
    useHanFont(language.hanFont);
    if (language.locale == locale_)
        return;
    QCoreApplication::removeTranslator(&own_);
    QCoreApplication::removeTranslator(&qt_);
    locale_ = language.locale;
    if (locale_.isEmpty())
        return;
    if (!loadTranslation(own_, language))
        qWarning("The %s translation is missing from the program", qPrintable(locale_));
    QCoreApplication::installTranslator(&own_);
    // Without Qt's own translation installed, its dialogs stay in English.
    if (qt_.load(QStringLiteral("qtbase_") + locale_,
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qt_);
}
