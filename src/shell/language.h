#pragma once

#include <QString>
#include <QTranslator>
#include <functional>

class CommandBar;
class Settings;

// The interface language: English, or Traditional Chinese from the translation carried in
// the program. The settings entry is the whole state; switching retranslates at once.
class InterfaceLanguage {
public:
    using Report = std::function<void(const QString &)>;
    // `report` takes the one message about a settings store that cannot be written.
    InterfaceLanguage(CommandBar &bar, Settings &settings, Report report);
    ~InterfaceLanguage();
    InterfaceLanguage(const InterfaceLanguage &) = delete;
    InterfaceLanguage &operator=(const InterfaceLanguage &) = delete;

    // "ENG" is English, every other code Traditional Chinese; the choice is stored first.
    void ApplyLanguage(const QString &c);
    // Sets the information panel's captions after the command bar's.
    void setPanelCaptions(std::function<void()> apply) { panelCaptions_ = std::move(apply); }

private:
    void useTranslator(bool chinese);

    CommandBar &bar_;
    Settings &settings_;
    Report report_;
    std::function<void()> panelCaptions_;
    QTranslator chinese_;
    bool installed_ = false;
    bool reported_ = false;
};
