#include "shell/captions.h"

#include "i18n/languages.h"
#include "platform/command_names.h"

#include <QCoreApplication>
#include <algorithm>

// The command bar names its status bar in the language of the moment; its text is gathered
// for the translators here, with the program's other texts.
[[maybe_unused]] constexpr const char *CommandBarTexts[]
    = { QT_TRANSLATE_NOOP("QtCommandBar", "Status bar") };

const std::vector<LanguageCaption> &languageCaptions()
{
    // The same text in two places is one translation: "&File" of both menu bars, the three
    // shared entries of "File" and "Main_file". The language names read the same in every
    // language, so they have no translation.
    static const std::vector<LanguageCaption> table = [] {
        std::vector<LanguageCaption> rows = {
            { Band::File, ToolName::Open, QT_TRANSLATE_NOOP("Captions", "&Open") },
            { Band::File, ToolName::Save, QT_TRANSLATE_NOOP("Captions", "&Save") },
            { Band::File, ToolName::Export, QT_TRANSLATE_NOOP("Captions", "&Export") },
            { Band::File, ToolName::Lang, QT_TRANSLATE_NOOP("Captions", "&Language") },
            { Band::File, ToolName::Print, QT_TRANSLATE_NOOP("Captions", "&Print") },
            { Band::File, ToolName::Exit, QT_TRANSLATE_NOOP("Captions", "E&xit") },
            { Band::View, ToolName::Copy, QT_TRANSLATE_NOOP("Captions", "&Copy") },
            { Band::View, ToolName::Title, QT_TRANSLATE_NOOP("Captions", "&Title") },
            { Band::View, ToolName::CrossLine, QT_TRANSLATE_NOOP("Captions", "Cross&Line") },
            { Band::Help, ToolName::Guid, QT_TRANSLATE_NOOP("Captions", "&Guid") },
            { Band::Help, ToolName::About, QT_TRANSLATE_NOOP("Captions", "&About") },
            { Band::Windows, ToolName::TileH, QT_TRANSLATE_NOOP("Captions", "Tile &Horizontally") },
            { Band::Windows, ToolName::TileV, QT_TRANSLATE_NOOP("Captions", "Tile &Vertically") },
            { Band::Windows, ToolName::Cascade, QT_TRANSLATE_NOOP("Captions", "&Cascade") },
            { Band::Windows, ToolName::ArrangeIcons,
              QT_TRANSLATE_NOOP("Captions", "&ArrangeIcons") },
            { Band::ClientMenu, ToolName::ClientFileMenu, QT_TRANSLATE_NOOP("Captions", "&File") },
            { Band::ClientMenu, ToolName::ViewMenu, QT_TRANSLATE_NOOP("Captions", "&View") },
            { Band::ClientMenu, ToolName::WindowMenu, QT_TRANSLATE_NOOP("Captions", "&Window") },
            { Band::ClientMenu, ToolName::HelpMenu, QT_TRANSLATE_NOOP("Captions", "&Help") },
            { Band::Main, ToolName::MainFileMenu, QT_TRANSLATE_NOOP("Captions", "&File") },
            { Band::Main, ToolName::HelpMenu, QT_TRANSLATE_NOOP("Captions", "&Help") },
            { Band::MainFile, ToolName::Open, QT_TRANSLATE_NOOP("Captions", "&Open") },
            { Band::MainFile, ToolName::Lang, QT_TRANSLATE_NOOP("Captions", "&Language") },
            { Band::MainFile, ToolName::Exit, QT_TRANSLATE_NOOP("Captions", "E&xit") },
            { Band::Tools, ToolName::Open, QT_TRANSLATE_NOOP("Captions", "Open") },
            { Band::Tools, ToolName::Save, QT_TRANSLATE_NOOP("Captions", "Save") },
            { Band::Tools, ToolName::Print, QT_TRANSLATE_NOOP("Captions", "Print") },
            { Band::Tools, ToolName::Copy, QT_TRANSLATE_NOOP("Captions", "Copy") },
            { Band::Tools, ToolName::Export, QT_TRANSLATE_NOOP("Captions", "Export") },
            { Band::Tools, ToolName::Title, QT_TRANSLATE_NOOP("Captions", "Title") },
            { Band::Tools, ToolName::CrossLine, QT_TRANSLATE_NOOP("Captions", "CrossLine") },
            { Band::Tools, ToolName::Lang, QT_TRANSLATE_NOOP("Captions", "Language") },
            { Band::View, ToolName::Summary, QT_TRANSLATE_NOOP("Captions", "&Summary") },
            { Band::View, ToolName::Book, QT_TRANSLATE_NOOP("Captions", "&Battery book") },
            { Band::MainFile, ToolName::Book, QT_TRANSLATE_NOOP("Captions", "&Battery book") },
            { Band::Windows, ToolName::Compare, QT_TRANSLATE_NOOP("Captions", "Co&mpare") },
            { Band::MainFile, ToolName::Compare, QT_TRANSLATE_NOOP("Captions", "Co&mpare") },
            { Band::MainFile, ToolName::Watch, QT_TRANSLATE_NOOP("Captions", "&Watch station…") },
            { Band::File, ToolName::Watch, QT_TRANSLATE_NOOP("Captions", "&Watch station…") },
        };
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
