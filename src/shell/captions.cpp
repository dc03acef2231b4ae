#include "shell/captions.h"

#include "i18n/languages.h"
#include "platform/command_names.h"
#include "shell/features.h"

#include <QCoreApplication>
#include <algorithm>

// The command bar names its status bar in the language of the moment; its text is gathered
// for the translators here, with the program's other texts.
[[maybe_unused]] constexpr const char *CommandBarTexts[]
    = { QT_TRANSLATE_NOOP("QtCommandBar", "Status bar") };

const std::vector<LanguageCaption> &languageCaptions()
{
    // The menu bars' openers, then every command at each of its places (a command's caption
    // is its feature's). The same text in two places is one translation: "&File" of both menu
    // bars, the shared entries of "File" and "Main_file". The language names read the same in
    // every language, so they have no translation.
    static const std::vector<LanguageCaption> table = [] {
        std::vector<LanguageCaption> rows = {
            { Band::ClientMenu, ToolName::ClientFileMenu, QT_TRANSLATE_NOOP("Captions", "&File") },
            { Band::ClientMenu, ToolName::ViewMenu, QT_TRANSLATE_NOOP("Captions", "&View") },
            { Band::ClientMenu, ToolName::WindowMenu, QT_TRANSLATE_NOOP("Captions", "&Window") },
            { Band::ClientMenu, ToolName::HelpMenu, QT_TRANSLATE_NOOP("Captions", "&Help") },
            { Band::Main, ToolName::MainFileMenu, QT_TRANSLATE_NOOP("Captions", "&File") },
            { Band::Main, ToolName::HelpMenu, QT_TRANSLATE_NOOP("Captions", "&Help") },
        };
        for (const CommandSpec *command : registeredCommands())
            for (const CommandPlace &place : command->places)
                rows.push_back({ place.band, command->name, place.caption });
        // The "Lang" pop-up's entries come after "Help", as the language step sets them.
        auto at = std::find_if(rows.begin(), rows.end(), [](const LanguageCaption &row) {
            return row.band == Band::Windows;
        });
        for (const Language &language : languages())
            at = rows.insert(at, { Band::Lang, language.tool, language.caption }) + 1;
        return rows;
    }();
    return table;
}

QString translatedCaption(const LanguageCaption &caption)
{
    return QCoreApplication::translate("Captions", caption.text);
}
