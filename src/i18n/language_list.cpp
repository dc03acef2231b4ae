#include "i18n/languages.h"

// The rows alone in their file: a test links a list of its own in this file's place.
const std::vector<Language> &languages()
{
    static const std::vector<Language> table = {
        { QStringLiteral("ENG"), QStringLiteral("Eng"), "&English", {}, "AboutEN" },
        { QStringLiteral("CHT"), QStringLiteral("Cht"), "繁體中文(&F)", QStringLiteral("zh_TW"),
          "AboutCHT", QStringLiteral("Noto Sans CJK TC") },
    };
    return table;
}
