#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <QtGlobal>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

class QIODevice;

// Writes a new SQLite database of rowid tables straight into a file, page by page, as SQLite
// lays out its file: pages of 4,096 bytes, texts in UTF-8, no journal. A file made whole once
// costs a tenth of SQLite's inserts this way, and SQLite reads it as its own (its integrity
// check passes). Values are stored as given: the columns' affinities are the caller's to apply.
class SqlitePages {
public:
    // The values of one row, in column order. Inline: every value of every row passes here.
    class Record {
    public:
        void clear() { types_.size = body_.size = 0; }
        void null() { *types_.grow(1) = 0; }
        void integer(qint64 v)
        {
            if (v == 0 || v == 1) // types of their own, without a byte of value
                return void(*types_.grow(1) = char(8 + v));
            // The fewest bytes that hold it, as SQLite picks them: 1, 2, 3, 4, 6 or 8.
            const quint64 u = v < 0 ? ~quint64(v) : quint64(v);
            const int type = u <= 0x7f ? 1
                : u <= 0x7fff          ? 2
                : u <= 0x7fffff        ? 3
                : u <= 0x7fffffff      ? 4
                : u <= 0x7fffffffffff  ? 5
                                       : 6;
            const int bytes = type < 5 ? type : type == 5 ? 6 : 8;
            *types_.grow(1) = char(type);
            const quint64 big = qToBigEndian(quint64(v));
            std::memcpy(body_.grow(std::size_t(bytes)),
                        reinterpret_cast<const char *>(&big) + 8 - bytes, std::size_t(bytes));
        }
        void real(double v)
        {
            *types_.grow(1) = 7;
            const quint64 big = qToBigEndian(std::bit_cast<quint64>(v));
            std::memcpy(body_.grow(8), &big, 8);
        }
        void text(QByteArrayView utf8);

    private:
        friend class SqlitePages;
        // Bytes appended in place, the room kept from row to row.
        struct Bytes {
            std::vector<char> data;
            std::size_t size = 0;
            char *grow(std::size_t n)
            {
                if (size + n > data.size())
                    data.resize(std::max(2 * data.size(), size + n));
                char *at = data.data() + size;
                size += n;
                return at;
            }
            QByteArrayView view() const { return { data.data(), qsizetype(size) }; }
        };
        Bytes types_, body_; // the serial types and the values, as the file keeps them
    };

    struct Table {
        QByteArray name, sql; // sql: its CREATE TABLE statement
    };

    // `file`: empty, open for writing and seekable. The tables' first pages follow the first,
    // in the order given, as SQLite places the tables it creates.
    SqlitePages(QIODevice &file, const QList<Table> &tables, int userVersion);
    ~SqlitePages();
    SqlitePages(const SqlitePages &) = delete;
    SqlitePages &operator=(const SqlitePages &) = delete;

    // Appends a row to table `table` (its index in the tables given), its rowid the next from
    // 1. False when the file refuses a page (its errorString() says why) or the row does not
    // fit a page; nothing more is written then.
    bool append(int table, const Record &row);
    // Writes what is left, the first page last: false as append.
    bool finish();

private:
    struct Tree;
    struct Child {
        quint32 page;
        qint64 lastRowid;
    };
    quint32 newPage();
    bool put(quint32 number, const uchar *page);
    bool flush();
    bool finishTree(Tree &tree);

    QIODevice &file_;
    QList<Table> tables_;
    int userVersion_;
    std::vector<Tree> trees_;
    quint32 lastPage_;
    bool failed_ = false;
    QByteArray pending_; // pages from pendingFirst_ on, written together
    quint32 pendingFirst_ = 0;
};
