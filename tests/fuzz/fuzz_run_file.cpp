// Fuzz target over run files read into a run: the input builds a run file, so that the reader's
// checks, not SQLite's own parser, are what is fuzzed. The first byte picks the sample table's
// columns (bit 0: numeric, as a run file's are, turning texts that are numbers into numbers;
// bits 1-2: 21 to 24 of them); then come lines: the title, then the sample rows, their fields
// separated by ",", an empty one Null. Besides not crashing, the run must end.

#include "run/file_run.h"
#include "support/fake_clock.h"
#include "support/fuzz_target.h"

#include <QTemporaryDir>

#include <sqlite3.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("run.chargemon"));
    const int columns = FieldCount - 1 + (data[0] >> 1 & 3);
    QByteArray sql = "create table Title (Title); create table CHGLOG (f0";
    for (int c = 1; c < columns; ++c)
        sql += ", f" + QByteArray::number(c) + (data[0] & 1 ? " real" : "");
    sqlite3 *db = nullptr;
    sqlite3_stmt *q = nullptr;
    const QList<QByteArray> lines
        = QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)).split('\n');
    bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, (sql + "); begin").constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    for (qsizetype i = 0; ok && i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(',');
        sql = i == 0 ? "insert into Title values (?" : "insert into CHGLOG values (?";
        for (int c = 1; c < (i == 0 ? 1 : columns); ++c)
            sql += ", ?";
        ok = sqlite3_prepare_v2(db, (sql + ')').constData(), -1, &q, nullptr) == SQLITE_OK;
        for (int c = 0; ok && c < fields.size() && c < columns; ++c)
            if (!fields[c].isEmpty())
                sqlite3_bind_text(q, c + 1, fields[c].constData(), int(fields[c].size()),
                                  SQLITE_TRANSIENT);
        sqlite3_step(q);
        sqlite3_finalize(q);
    }
    ok = ok && sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    if (!ok)
        return 0;
    RunHub hub;
    FakeClock clock;
    FileRun(hub, path, clock).readNow();
    require(hub.runs().isEmpty(), "fuzz_run_file: the run is left open");
    return 0;
}
