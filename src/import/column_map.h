#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class Settings;

// What a column of another tool's log is taken as: a quantity of the run file and the scale
// from the column's unit to the run file's (V, A, mAh, °C), or none.
struct Quantity {
    const char *key; // as `--import --map` and the settings name it
    const char *caption; // a source text of the context "LogImport"
    int field; // -1: not imported
    double scale; // 0 for a time of day "hh:mm:ss(.mmm)"
};
const QList<Quantity> &quantities();

// One quantity (an index of quantities()) per column of a log.
using ColumnMap = QList<int>;

// A log's columns as its header names them, and a line of values from below it.
struct LogColumns {
    QStringList names;
    QStringList example;
    // What the settings say for this header, else a guess from the names and the example.
    ColumnMap offered(const Settings &settings) const;
    ColumnMap guess() const;
    void remember(Settings &settings, const ColumnMap &map) const;
};

// "s,V,,A": the keys of a map, one per column; none when a key is unknown.
std::optional<ColumnMap> parseColumnMap(const QString &keys);
QString columnMapKeys(const ColumnMap &map);
