#include "shell/language.h"

#include "platform/command_bar.h"
#include "platform/settings.h"
#include "shell/captions.h"

#include <QCoreApplication>
#include <QDir>

InterfaceLanguage::InterfaceLanguage(CommandBar &bar, Settings &settings, Report report)
    : bar_(bar), settings_(settings), report_(std::move(report))
{
}

InterfaceLanguage::~InterfaceLanguage()
{
    useTranslator(false);
}

void InterfaceLanguage::ApplyLanguage(const QString &c)
{
    const bool chinese = c != QLatin1String("ENG");
    const QString code = chinese ? QStringLiteral("CHT") : QStringLiteral("ENG");
    if (!settings_.setValue(SettingsKeys::Lang, code) && !reported_) {
        reported_ = true;
        report_(QStringLiteral("Cannot store the interface language in %1.")
                    .arg(QDir::toNativeSeparators(settings_.fileName())));
    }
    useTranslator(chinese);
    for (const LanguageCaption &caption : languageCaptions())
        bar_.tool(caption.band, caption.tool).setCaption(translatedCaption(caption));
    bar_.refresh();
    if (panelCaptions_)
        panelCaptions_();
}

void InterfaceLanguage::useTranslator(bool chinese)
{
    if (chinese == installed_)
        return;
    if (chinese) {
        if (chinese_.isEmpty() && !chinese_.load(QStringLiteral(":/i18n/chargemon_zh_TW.qm")))
            qWarning("The Chinese translation is missing from the program");
        installed_ = QCoreApplication::installTranslator(&chinese_);
    } else {
        QCoreApplication::removeTranslator(&chinese_);
        installed_ = false;
    }
}
