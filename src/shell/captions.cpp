#include "shell/captions.h"

#include <QCoreApplication>

const std::vector<LanguageCaption> &languageCaptions()
{
    // The same text in two places is one translation: "&File" of both menu bars, the three
    // shared entries of "File" and "Main_file". The language names read the same in every
    // language, so they have no translation.
    static const std::vector<LanguageCaption> table = {
        { "File", "Open", QT_TRANSLATE_NOOP("Captions", "&Open") },
        { "File", "Save", QT_TRANSLATE_NOOP("Captions", "&Save") },
        { "File", "Export", QT_TRANSLATE_NOOP("Captions", "&Export") },
        { "File", "Lang", QT_TRANSLATE_NOOP("Captions", "&Language") },
        { "File", "Print", QT_TRANSLATE_NOOP("Captions", "&Print") },
        { "File", "Exit", QT_TRANSLATE_NOOP("Captions", "&Exit") },
        { "View", "Copy", QT_TRANSLATE_NOOP("Captions", "&Copy") },
        { "View", "Title", QT_TRANSLATE_NOOP("Captions", "&Title") },
        { "View", "CrossLine", QT_TRANSLATE_NOOP("Captions", "&CrossLine") },
        { "Help", "Guid", QT_TRANSLATE_NOOP("Captions", "&Guid") },
        { "Help", "About", QT_TRANSLATE_NOOP("Captions", "&About") },
        { "Lang", "Eng", "&English" },
        { "Lang", "Cht", "繁體中文(&F)" },
        { "Windows", "miWTileH", QT_TRANSLATE_NOOP("Captions", "Tile &Horizontally") },
        { "Windows", "miWTileV", QT_TRANSLATE_NOOP("Captions", "Tile &Vertically") },
        { "Windows", "miWCascade", QT_TRANSLATE_NOOP("Captions", "&Cascade") },
        { "Windows", "miWArrangeIcons", QT_TRANSLATE_NOOP("Captions", "&ArrangeIcons") },
        { "Client_menu", "file", QT_TRANSLATE_NOOP("Captions", "&File") },
        { "Client_menu", "View", QT_TRANSLATE_NOOP("Captions", "&View") },
        { "Client_menu", "WList", QT_TRANSLATE_NOOP("Captions", "Window") },
        { "Client_menu", "Help", QT_TRANSLATE_NOOP("Captions", "&Help") },
        { "Main", "File", QT_TRANSLATE_NOOP("Captions", "&File") },
        { "Main", "Help", QT_TRANSLATE_NOOP("Captions", "&Help") },
        { "Main_file", "Open", QT_TRANSLATE_NOOP("Captions", "&Open") },
        { "Main_file", "Lang", QT_TRANSLATE_NOOP("Captions", "&Language") },
        { "Main_file", "Exit", QT_TRANSLATE_NOOP("Captions", "&Exit") },
        { "Tools", "Open", QT_TRANSLATE_NOOP("Captions", "Open") },
        { "Tools", "Save", QT_TRANSLATE_NOOP("Captions", "Save") },
        { "Tools", "Print", QT_TRANSLATE_NOOP("Captions", "Print") },
        { "Tools", "Copy", QT_TRANSLATE_NOOP("Captions", "Copy") },
        { "Tools", "Export", QT_TRANSLATE_NOOP("Captions", "Export") },
        { "Tools", "Title", QT_TRANSLATE_NOOP("Captions", "Title") },
        { "Tools", "CrossLine", QT_TRANSLATE_NOOP("Captions", "CrossLine") },
        { "Tools", "Lang", QT_TRANSLATE_NOOP("Captions", "Language") },
    };
    return table;
}

QString translatedCaption(const LanguageCaption &caption)
{
    return QCoreApplication::translate("Captions", caption.text);
}
