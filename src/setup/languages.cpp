#include "setup/languages.h"

#include "platform/command_names.h"
#include "setup/config.h"

#include <algorithm>

const std::vector<Language> &languages()
{
    static const std::vector<Language> table = {
        { QStringLiteral("ENG"), ToolName::Eng, "&English", {}, &Config::AboutEN },
        { QStringLiteral("CHT"), ToolName::Cht, "繁體中文(&F)", QStringLiteral("zh_TW"),
          &Config::AboutCHT },
    };
    return table;
}

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
