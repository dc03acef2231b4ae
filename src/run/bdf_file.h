#pragma once

#include "run/samples.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// A run in the CSV form of the LF Energy Battery Data Format, so that battery analysis tools
// read it and runs come back from them: a table NAME.bdf.csv, or NAME.bdf.gz compressed with
// gzip, and beside it NAME.bdf.metadata.json, which declares the columns that are not terms of
// the format and says which way the current counts (positive = charge).

// The metadata file of the table at `path`.
QString bdfMetadataPath(const QString &path);

// Writes a run's samples as a table at `path`, compressed when the name ends in ".gz", and its
// metadata file: "Unix Time / s" when `start` (the first sample's date and time) is known. Why
// it failed, or ""; a failure leaves neither file half written.
QString writeBdf(const QString &path, const Samples &samples, const QDateTime &start);

// What reading a table took.
struct BdfRead {
    Samples samples;
    QDateTime start; // the first sample's date and time, from Unix Time; invalid without
    QStringList skipped; // a line for each column and row left out, and why
    QString error; // why the file is refused, "" when read; then nothing else holds
};
// Reads a table, plain or compressed, by the format's preferred labels or the alternatives it
// lists, and the custom columns its metadata file declares.
BdfRead readBdf(const QString &path);
