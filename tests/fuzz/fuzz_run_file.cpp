// Fuzz target over run files read into a run: the input builds a run file of fuzzed values, so
// that the reader's checks, not SQLite's own parser, are what is fuzzed. The first byte picks the
// sample table's columns (bit 0: typed as a run file's are; bits 1-2: 21 to 24 of them); then
// come values, the title's first, then the sample rows', each a kind byte (null, whole number,
// double, text, blob) and its bytes. Besides not crashing, the run must end.

#include "run/file_run.h"
#include "support/fake_clock.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

class Input {
public:
    Input(const uint8_t *data, size_t size) : data_(data), size_(size) { }
    bool done() const { return at_ >= size_; }
    uint8_t byte() { return done() ? 0 : data_[at_++]; }
    QByteArray bytes(size_t n)
    {
        n = std::min(n, size_ - at_);
        const QByteArray out(reinterpret_cast<const char *>(data_ + at_), qsizetype(n));
        at_ += n;
        return out;
    }
    // The next value, bound to parameter `i` of `q`.
    void bind(sqlite3_stmt *q, int i)
    {
        QByteArray b;
        const int kind = byte() % 5;
        switch (kind) {
        case 0:
            sqlite3_bind_null(q, i);
            break;
        case 1:
        case 2: {
            b = bytes(8).leftJustified(8, '\0');
            std::int64_t w = 0;
            double d = 0;
            std::memcpy(&w, b.constData(), 8);
            std::memcpy(&d, b.constData(), 8);
            if (kind == 1)
                sqlite3_bind_int64(q, i, w);
            else
                sqlite3_bind_double(q, i, d);
            break;
        }
        case 3:
            b = bytes(byte());
            sqlite3_bind_text(q, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        default:
            b = bytes(byte());
            sqlite3_bind_blob(q, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
    }

private:
    const uint8_t *data_;
    size_t size_, at_ = 0;
};

bool build(const QString &path, Input &in)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(path.toUtf8().constData(), &db) == SQLITE_OK;
    const uint8_t shape = in.byte();
    const int columns = FieldCount - 1 + (shape >> 1 & 3);
    QByteArray create = "create table Title (Title text); create table CHGLOG (f0";
    QByteArray insert = "insert into CHGLOG values (?";
    for (int c = 1; c < columns; ++c) {
        create += ", f" + QByteArray::number(c) + (shape & 1 ? " real" : "");
        insert += ", ?";
    }
    const QByteArray script = create + "); begin";
    ok = ok && sqlite3_exec(db, script.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_stmt *title = nullptr, *row = nullptr;
    ok = ok
        && sqlite3_prepare_v2(db, "insert into Title values (?)", -1, &title, nullptr) == SQLITE_OK;
    ok = ok && sqlite3_prepare_v2(db, (insert + ')').constData(), -1, &row, nullptr) == SQLITE_OK;
    if (ok) {
        in.bind(title, 1);
        sqlite3_step(title);
    }
    while (ok && !in.done()) {
        for (int c = 1; c <= columns; ++c)
            in.bind(row, c);
        sqlite3_step(row);
        sqlite3_reset(row);
    }
    ok = ok && sqlite3_exec(db, "commit", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_finalize(title);
    sqlite3_finalize(row);
    sqlite3_close(db);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("run.chargemon"));
    Input in(data, size);
    if (!build(path, in))
        return 0;
    RunHub hub;
    FakeClock clock;
    FileRun(hub, path, clock).readNow();
    if (!hub.runs().isEmpty()) {
        std::fprintf(stderr, "fuzz_run_file: the run is left open\n");
        std::abort();
    }
    return 0;
}
