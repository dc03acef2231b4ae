#include "run/sqlite_pages.h"

#include "platform/core/whole_file.h"

#include <QIODevice>
#include <array>
#include <cstring>
#include <sqlite3.h>

namespace {

constexpr int PageSize = 4096;
constexpr int MaxLocal = PageSize - 35; // a table leaf's largest payload kept in the cell
// The page holding the bytes SQLite locks at 1 GiB is never part of a table.
constexpr quint32 LockBytePage = quint32(0x40000000 / PageSize + 1);
constexpr int PagesWrittenTogether = 64;
constexpr uchar LeafKind = 0x0d, InteriorKind = 0x05;

void put16(uchar *p, quint32 v)
{
    p[0] = uchar(v >> 8), p[1] = uchar(v);
}

void put32(uchar *p, quint32 v)
{
    put16(p, v >> 16), put16(p + 2, v);
}

int varintLength(quint64 v)
{
    int n = 1;
    while (n < 9 && v > 0x7f)
        v >>= 7, ++n;
    return n;
}

// SQLite's variable-length integer: 7 bits a byte, high bits first, the ninth byte whole.
int putVarint(uchar *p, quint64 v)
{
    if (v <= 0x7f)
        return p[0] = uchar(v), 1;
    if (v >> 56) {
        p[8] = uchar(v);
        v >>= 8;
        for (int i = 7; i >= 0; --i, v >>= 7)
            p[i] = uchar(v | 0x80);
        return 9;
    }
    const int n = varintLength(v);
    for (int i = n - 1; i >= 0; --i, v >>= 7)
        p[i] = uchar((v & 0x7f) | (i == n - 1 ? 0 : 0x80));
    return n;
}

// One b-tree page being filled: cells from the end down, their pointers after the header.
struct Page {
    std::array<uchar, PageSize> bytes {};
    int offset = 0; // the file header's 100 bytes on the first page
    int headerSize = 8;
    int cells = 0;
    int content = PageSize;

    void reset(uchar kind, int at = 0)
    {
        offset = at;
        headerSize = kind == LeafKind ? 8 : 12;
        cells = 0;
        content = PageSize;
        bytes[std::size_t(offset)] = kind;
    }
    // Room for a cell of `n` bytes; null when the page is full.
    uchar *add(int n)
    {
        const int pointer = offset + headerSize + 2 * cells;
        if (pointer + 2 + n > content)
            return nullptr;
        content -= n;
        put16(&bytes[std::size_t(pointer)], quint32(content));
        ++cells;
        return &bytes[std::size_t(content)];
    }
    const uchar *finished(quint32 rightChild = 0)
    {
        uchar *h = &bytes[std::size_t(offset)];
        put16(h + 1, 0); // no free blocks
        put16(h + 3, quint32(cells));
        put16(h + 5, quint32(content));
        h[7] = 0; // no fragments
        if (headerSize == 12)
            put32(h + 8, rightChild);
        // What an earlier page left between the pointers and the cells.
        const int free = offset + headerSize + 2 * cells;
        std::memset(&bytes[std::size_t(free)], 0, std::size_t(content - free));
        return bytes.data();
    }
};

// A row's cell: its payload's size, its rowid, its record. False when it does not fit.
bool addRow(Page &page, qint64 rowid, QByteArrayView types, QByteArrayView body)
{
    qsizetype header = types.size();
    if (header <= 126) {
        header += 1;
    } else {
        const int n = varintLength(quint64(header));
        header += n;
        header += varintLength(quint64(header)) > n;
    }
    const qsizetype payload = header + body.size();
    if (payload > MaxLocal)
        return false;
    uchar *p
        = page.add(int(varintLength(quint64(payload)) + varintLength(quint64(rowid)) + payload));
    if (!p)
        return false;
    p += putVarint(p, quint64(payload));
    p += putVarint(p, quint64(rowid));
    p += putVarint(p, quint64(header));
    // A row of Nulls has no body, whose bytes may then be nowhere.
    if (!types.isEmpty())
        std::memcpy(p, types.data(), std::size_t(types.size()));
    if (!body.isEmpty())
        std::memcpy(p + types.size(), body.data(), std::size_t(body.size()));
    return true;
}

} // namespace

struct SqlitePages::Tree {
    quint32 root;
    qint64 rows = 0;
    Page leaf;
    std::vector<Child> children; // the full leaves written
};

void SqlitePages::Record::text(QByteArrayView utf8)
{
    uchar type[9];
    const int n = putVarint(type, quint64(13 + 2 * utf8.size()));
    std::memcpy(types_.grow(std::size_t(n)), type, std::size_t(n));
    if (!utf8.isEmpty())
        std::memcpy(body_.grow(std::size_t(utf8.size())), utf8.data(), std::size_t(utf8.size()));
}

SqlitePages::SqlitePages(QIODevice &file, const QList<Table> &tables, int userVersion)
    : file_(file), tables_(tables), userVersion_(userVersion), trees_(std::size_t(tables.size())),
      lastPage_(quint32(1 + tables.size()))
{
    pending_.reserve(PagesWrittenTogether * PageSize);
    for (std::size_t i = 0; i < trees_.size(); ++i) {
        trees_[i].root = quint32(2 + i);
        trees_[i].leaf.reset(LeafKind);
    }
}

SqlitePages::~SqlitePages() = default;

quint32 SqlitePages::newPage()
{
    if (++lastPage_ == LockBytePage)
        ++lastPage_;
    return lastPage_;
}

bool SqlitePages::flush()
{
    if (pending_.isEmpty() || failed_)
        return !failed_;
    failed_ = !file_.seek(qint64(pendingFirst_ - 1) * PageSize) || !writeWhole(file_, pending_);
    pending_.resize(0);
    return !failed_;
}

bool SqlitePages::put(quint32 number, const uchar *page)
{
    if (!pending_.isEmpty() && number != pendingFirst_ + pending_.size() / PageSize && !flush())
        return false;
    if (pending_.isEmpty())
        pendingFirst_ = number;
    pending_.append(reinterpret_cast<const char *>(page), PageSize);
    return pending_.size() < PagesWrittenTogether * PageSize || flush();
}

bool SqlitePages::append(int table, const Record &row)
{
    Tree &t = trees_[std::size_t(table)];
    if (failed_)
        return false;
    if (!addRow(t.leaf, t.rows + 1, row.types_.view(), row.body_.view())) {
        const quint32 page = newPage();
        if (!put(page, t.leaf.finished()))
            return false;
        t.children.push_back({ page, t.rows });
        t.leaf.reset(LeafKind);
        if (!addRow(t.leaf, t.rows + 1, row.types_.view(), row.body_.view()))
            return !(failed_ = true);
    }
    ++t.rows;
    return true;
}

bool SqlitePages::finishTree(Tree &t)
{
    if (t.children.empty())
        return put(t.root, t.leaf.finished());
    const quint32 last = newPage();
    if (!put(last, t.leaf.finished()))
        return false;
    t.children.push_back({ last, t.rows });
    // Interior pages over the leaves, level by level, evenly filled, the top one the root.
    std::vector<Child> level = std::move(t.children);
    for (;;) {
        const std::size_t perPage
            = (PageSize - 12) / std::size_t(6 + varintLength(quint64(level.back().lastRowid))) + 1;
        const std::size_t pages = (level.size() + perPage - 1) / perPage;
        std::vector<Child> up;
        for (std::size_t i = 0; i < pages; ++i) {
            const std::size_t from = i * level.size() / pages, to = (i + 1) * level.size() / pages;
            Page &p = t.leaf;
            p.reset(InteriorKind);
            for (std::size_t c = from; c + 1 < to; ++c) {
                uchar *cell = p.add(4 + varintLength(quint64(level[c].lastRowid)));
                put32(cell, level[c].page);
                putVarint(cell + 4, quint64(level[c].lastRowid));
            }
            const quint32 number = pages == 1 ? t.root : newPage();
            if (!put(number, p.finished(level[to - 1].page)))
                return false;
            up.push_back({ number, level[to - 1].lastRowid });
        }
        if (pages == 1)
            return true;
        level = std::move(up);
    }
}

bool SqlitePages::finish()
{
    for (Tree &t : trees_)
        if (!finishTree(t))
            return false;
    // The first page: the file's header, then the schema table's rows, one a table.
    Page first;
    first.reset(LeafKind, 100);
    Record r;
    for (qsizetype i = 0; i < tables_.size(); ++i) {
        r.clear();
        r.text("table");
        r.text(tables_[i].name);
        r.text(tables_[i].name);
        r.integer(trees_[std::size_t(i)].root);
        r.text(tables_[i].sql);
        if (!addRow(first, i + 1, r.types_.view(), r.body_.view()))
            return !(failed_ = true);
    }
    first.finished();
    uchar *h = first.bytes.data();
    std::memcpy(h, "SQLite format 3", 16);
    put16(h + 16, PageSize);
    h[18] = h[19] = 1; // a rollback journal's file
    h[20] = 0; // no bytes reserved at a page's end
    h[21] = 64, h[22] = 32, h[23] = 32; // the payload fractions, fixed
    put32(h + 24, 1); // changed once
    put32(h + 28, lastPage_);
    put32(h + 40, 1); // the schema's version
    put32(h + 44, 4); // the schema format of 0 and 1 kept in the type alone
    put32(h + 56, 1); // UTF-8
    put32(h + 60, quint32(userVersion_));
    put32(h + 92, 1); // the size above holds for change 1
    put32(h + 96, quint32(sqlite3_libversion_number()));
    return put(1, h) && flush();
}
