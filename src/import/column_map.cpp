#include "import/column_map.h"

#include "link/channel_reading.h"
#include "platform/core/settings.h"

#include <QCryptographicHash>
#include <QRegularExpression>

const QList<Quantity> &quantities()
{
    static const QList<Quantity> all = {
        { "", QT_TRANSLATE_NOOP("LogImport", "(not imported)"), -1, 0 },
        { "s", QT_TRANSLATE_NOOP("LogImport", "time (s)"), Time, 1 },
        { "ms", QT_TRANSLATE_NOOP("LogImport", "time (ms)"), Time, 0.001 },
        { "clock", QT_TRANSLATE_NOOP("LogImport", "time (hh:mm:ss)"), Time, 0 },
        { "V", QT_TRANSLATE_NOOP("LogImport", "voltage (V)"), Bat_volt, 1 },
        { "mV", QT_TRANSLATE_NOOP("LogImport", "voltage (mV)"), Bat_volt, 0.001 },
        { "A", QT_TRANSLATE_NOOP("LogImport", "current (A)"), Current, 1 },
        { "mA", QT_TRANSLATE_NOOP("LogImport", "current (mA)"), Current, 0.001 },
        { "-A", QT_TRANSLATE_NOOP("LogImport", "current (A, charge negative)"), Current, -1 },
        { "mAh", QT_TRANSLATE_NOOP("LogImport", "capacity (mAh)"), Cap, 1 },
        { "Ah", QT_TRANSLATE_NOOP("LogImport", "capacity (Ah)"), Cap, 1000 },
        { "degC", QT_TRANSLATE_NOOP("LogImport", "temperature (°C)"), Ext_temp, 1 },
        { "cell", QT_TRANSLATE_NOOP("LogImport", "cell (V)"), C1, 1 },
        { "cell_mV", QT_TRANSLATE_NOOP("LogImport", "cell (mV)"), C1, 0.001 },
    };
    return all;
}

namespace {

int indexOf(const char *key)
{
    for (qsizetype i = 0; i < quantities().size(); ++i)
        if (qstrcmp(quantities()[i].key, key) == 0)
            return int(i);
    return 0;
}

// The quantity a header name tells, by its words: "Cell 2 [mV]" is a cell in millivolts.
int guessOne(const QString &name, const QString &example)
{
    static const QRegularExpression nonWord(QStringLiteral("[^a-z0-9°]+"));
    static const QRegularExpression cellName(QStringLiteral("^(c|v|u|cell)\\d+$"));
    const QStringList words = name.toLower().split(nonWord, Qt::SkipEmptyParts);
    const auto has = [&words](std::initializer_list<const char *> any) {
        for (const QString &w : words)
            for (const char *a : any)
                if (w == QLatin1String(a))
                    return true;
        return false;
    };
    const auto starts = [&words](const char *prefix) {
        return !words.isEmpty() && words.first().startsWith(QLatin1String(prefix));
    };
    const bool milli = has({ "mv", "ma" });
    if (starts("cell") || (!words.isEmpty() && cellName.match(words.first()).hasMatch()))
        return indexOf(milli ? "cell_mV" : "cell");
    if (starts("temp") || has({ "degc", "°c", "c°" }))
        return indexOf("degC");
    if (starts("time") || starts("elapsed") || starts("sec") || has({ "t" }))
        return indexOf(example.contains(u':') ? "clock" : has({ "ms" }) ? "ms" : "s");
    if (starts("cap") || has({ "mah", "ah" }))
        return indexOf(has({ "ah" }) && !has({ "mah" }) ? "Ah" : "mAh");
    if (starts("volt") || has({ "u", "v", "mv" }))
        return indexOf(milli ? "mV" : "V");
    if (starts("curr") || starts("amp") || has({ "i", "a", "ma" }))
        return indexOf(milli ? "mA" : "A");
    return 0;
}

QByteArray settingsKey(const QStringList &names)
{
    return "Import/"
        + QCryptographicHash::hash(names.join(u'\n').toUtf8(), QCryptographicHash::Md5).toHex();
}

} // namespace

ColumnMap LogColumns::guess() const
{
    ColumnMap map;
    QList<int> fieldsTaken;
    for (qsizetype c = 0; c < names.size(); ++c) {
        int q = guessOne(names[c], example.value(c));
        // One column for each quantity but the cells: the first that names it.
        const int field = quantities()[q].field;
        if (field != C1 && fieldsTaken.contains(field))
            q = 0;
        fieldsTaken << field;
        map << q;
    }
    return map;
}

ColumnMap LogColumns::offered(const Settings &settings) const
{
    const auto kept = parseColumnMap(settings.value(settingsKey(names).constData()));
    return kept && kept->size() == names.size() ? *kept : guess();
}

void LogColumns::remember(Settings &settings, const ColumnMap &map) const
{
    settings.setValue(settingsKey(names).constData(), columnMapKeys(map));
}

std::optional<ColumnMap> parseColumnMap(const QString &keys)
{
    if (keys.isEmpty())
        return std::nullopt;
    ColumnMap map;
    for (const QString &key : keys.split(u',')) {
        const int q = indexOf(key.trimmed().toUtf8().constData());
        if (q == 0 && !key.trimmed().isEmpty())
            return std::nullopt;
        map << q;
    }
    return map;
}

QString columnMapKeys(const ColumnMap &map)
{
    QStringList keys;
    for (int q : map)
        keys << QString::fromLatin1(quantities().value(q).key);
    return keys.join(u',');
}
