#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

#include <vector>

class QIODevice;

// Writes a new SQLite database of rowid tables straight into a file, page by page, as SQLite
// lays out its file: pages of 4,096 bytes, texts in UTF-8, no journal. A file made whole once
// costs a tenth of SQLite's inserts this way, and SQLite reads it as its own (its integrity
// check passes). Values are stored as given: the columns' affinities are the caller's to apply.
class SqlitePages {
public:
    // The values of one row, in column order.
    class Record {
    public:
        void clear()
        {
            types_.clear(); // keeping what was allocated
            body_.clear();
        }
        void null() { types_.push_back(0); }
        void integer(qint64 v);
        void real(double v);
        void text(QByteArrayView utf8);

    private:
        friend class SqlitePages;
        void type(quint64 t);
        // The serial types and the values, as the file keeps them. Vectors: a string's
        // appends are calls into the library, a vector's are made here.
        std::vector<char> types_, body_;
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
