#pragma once

#include "import/text_log.h"

#include <QHash>
#include <QString>
#include <QStringList>

// What importing one file did, for the user.
struct ImportOutcome {
    QString source;
    QString run; // the run file written, or the one that holds the log already
    qint64 taken = 0; // samples
    QStringList skipped; // a line per reason
    QString warning; // the current looks flipped
    QString error; // why nothing was written; "" when imported or imported before
    bool already = false; // imported before: nothing written
    // A paragraph: what was taken into which file, what was skipped and why.
    QString text() const;
};

// Turns other tools' logs into run files in one folder, each log once: a run file's name ends
// in the first 16 hex digits of the SHA-256 of the log's bytes ("NAME-0123456789abcdef.mdb"),
// and a log whose digits a run file of the folder or its subfolders already ends in is not
// imported again.
class LogImport {
public:
    explicit LogImport(const QString &folder);

    ImportOutcome importFile(const QString &path, const ColumnMapper &mapper);

    static constexpr qint64 MaxBytes = 256 * 1024 * 1024;

private:
    QString folder_;
    QHash<QString, QString> known_; // hash digits: run file
};
