#pragma once

#include <QString>
#include <QTranslator>
#include <functional>

class CommandBar;
class Settings;
struct Language;

// The interface language, one of the rows of languages(). The settings entry is the whole
// state; switching retranslates at once, Qt's own dialogs and buttons too.
class InterfaceLanguage {
public:
    using Report = std::function<void(const QString &)>;
    // `report` takes the one message about a settings store that cannot be written.
    InterfaceLanguage(CommandBar &bar, Settings &settings, Report report);
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage &) = delete;
    InterfaceLanguage &operator=(const InterfaceLanguage &) = delete;

    // Selects the language of code `c` (see languageFor); the choice is stored first.
    void ApplyLanguage(const QString &c);
    // Sets the information panel's captions after the command bar's.
    void setPanelCaptions(std::function<void()> apply) { panelCaptions_ = std::move(apply); }

private:
    void useTranslations(const Language &language);

    CommandBar &bar_;
    Settings &settings_;
    Report report_;
    std::function<void()> panelCaptions_;
    // The program's own texts and Qt's, of the language in use.
    QTranslator own_;
    QTranslator qt_;
    QString locale_;
    bool reported_ = false;
};
