#include "book/book_table.h"

#include "run/samples.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
namespace BookTable {

namespace {
QString kindName(RunSummary::Kind kind)
{
    switch (kind) {
    case RunSummary::Kind::Charge:
        return QStringLiteral("charge");
    case RunSummary::Kind::Discharge:
        return QStringLiteral("discharge");
    case RunSummary::Kind::Both:
        return QStringLiteral("both");
    case RunSummary::Kind::Idle:
        break;
    }
    return QStringLiteral("idle");
}

QString packName(const PackFigures &p)
{
    return p.name.isEmpty() ? unnamed() : p.name;
}

Value time(const QDateTime &t)
{
    return t.isValid() ? Value(t) : Value();
}

// A resistance the book shows; one whose ± is too large for it says why in its text alone.
const RunSummary::Resistance *shownResistance(const RunFigures &f)
{
    return f.resistance && f.resistance->shown() ? &*f.resistance : nullptr;
}

std::optional<double> milliohm(const RunFigures &f)
{
    const auto *r = shownResistance(f);
    return r ? std::optional(r->milliohm) : std::nullopt;
}

template <class Row> QStringList texts(const std::vector<Column<Row>> &columns, const Row *row)
{
    QStringList out;
    for (const Column<Row> &c : columns)
        if (c.name)
            out << (row ? written(c.value(*row)) : QString::fromLatin1(c.name));
    return out;
}
} // namespace

Value number(std::optional<double> v, int decimals)
{
    return v ? Value(Number { *v, decimals }) : Value();
}

bool known(const Value &v)
{
    return !std::holds_alternative<std::monostate>(v);
}

bool less(const Value &a, const Value &b)
{
    if (a.index() != b.index())
        return a.index() < b.index();
    if (const auto *n = std::get_if<Number>(&a))
        return n->value < std::get<Number>(b).value;
    if (const auto *t = std::get_if<QDateTime>(&a))
        return *t < std::get<QDateTime>(b);
    if (const auto *s = std::get_if<QString>(&a))
        return *s < std::get<QString>(b);
    return false;
}

QString written(const Value &v)
{
    if (const auto *n = std::get_if<Number>(&v))
        return QString::number(n->value, 'f', n->decimals);
    if (const auto *t = std::get_if<QDateTime>(&v))
        return t->toString(Qt::ISODate);
    if (const auto *s = std::get_if<QString>(&v))
        return *s;
    return QString();
}

QString shown(const Value &v)
{
    if (const auto *t = std::get_if<QDateTime>(&v))
        return t->toString(QStringLiteral("yyyy-MM-dd hh:mm"));
    return written(v);
}

QString unnamed()
{
    return QCoreApplication::translate("Book", "Unnamed runs");
}

// The window's texts keep the context its translators know them by.
const std::vector<Column<PackFigures>> &packColumns()
{
    using P = const PackFigures &;
    static const std::vector<Column<PackFigures>> columns = {
        { QT_TRANSLATE_NOOP("BookWindow", "ID"), "pack_id", [](P p) -> Value { return p.id; } },
        { QT_TRANSLATE_NOOP("BookWindow", "Pack"), "pack",
          [](P p) -> Value { return packName(p); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Runs"), "runs",
          [](P p) { return number(double(p.runs.size()), 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Cycles"), "cycles",
          [](P p) { return number(p.cycles, 2); } },
        { QT_TRANSLATE_NOOP("BookWindow", "First use"), "first",
          [](P p) { return time(p.first); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Last use"), "last", [](P p) { return time(p.last); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Capacity (mAh)"), "capacity_mah",
          [](P p) { return number(p.capacityMah, 0); } },
        { nullptr, "fade_pct", [](P p) { return number(p.fadePct, 1); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Of the best (%)"), "capacity_pct",
          [](P p) { return number(p.capacityPct, 1); } },
        { QT_TRANSLATE_NOOP("BookWindow", "DCIR (mΩ)"), "dcir_mohm",
          [](P p) { return number(p.dcir ? milliohm(*p.dcir) : std::nullopt, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Method"), nullptr,
          [](P p) -> Value { return p.dcir ? p.dcir->resistance->label(p.ratedMah) : QString(); } },
        { nullptr, "dcir_method", [](P p) -> Value { return p.dcirMethod(); } },
        { nullptr, "dcir_plan", [](P p) -> Value { return p.dcirPlan(); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Spread (V)"), "spread_v",
          [](P p) { return number(p.spread, 3); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Weak cell"), "weak_cell",
          [](P p) -> Value { return p.weakCell; } },
        { QT_TRANSLATE_NOOP("BookWindow", "Warnings"), "warning",
          [](P p) -> Value { return p.warning(); } },
        { QT_TRANSLATE_NOOP("BookWindow", "DCIR trend (mΩ)"), nullptr,
          [](P p) { return number(p.dcirTrend, 0); },
          [](P p) {
              // Like with like: the figure names the measurement both ends share.
              return p.dcirTrend
                  ? QCoreApplication::translate("BookWindow", "%1 since %2 by %3")
                        .arg(written(number(p.dcirTrend, 0)), shown(time(p.dcirFrom->date)),
                             p.dcir->resistance->label(p.ratedMah))
                  : QString();
          } },
        { QT_TRANSLATE_NOOP("BookWindow", "Rated (mAh)"), nullptr,
          [](P p) { return number(p.ratedMah, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Cells"), nullptr,
          [](P p) { return number(p.cells ? std::optional<double>(p.cells) : std::nullopt, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "End of life"), "eol_cycles",
          [](P p) { return number(p.eol.cycles, 0); }, [](P p) { return p.eol.text(); } },
        { nullptr, "eol_low", [](P p) { return number(p.eol.low, 0); } },
        { nullptr, "eol_high", [](P p) { return number(p.eol.high, 0); } },
        { nullptr, "eol_date", [](P p) { return time(p.eol.date); } },
        { nullptr, "eol_note", [](P p) -> Value { return p.eol.note(); } },
        { QT_TRANSLATE_NOOP("BookWindow", "DCIR end of life"), "r_eol_cycles",
          [](P p) { return number(p.dcirEol.cycles, 0); }, [](P p) { return p.dcirEol.text(); } },
        { nullptr, "r_eol_low", [](P p) { return number(p.dcirEol.low, 0); } },
        { nullptr, "r_eol_high", [](P p) { return number(p.dcirEol.high, 0); } },
        { nullptr, "r_eol_date", [](P p) { return time(p.dcirEol.date); } },
        { nullptr, "r_eol_note", [](P p) -> Value { return p.dcirEol.note(); } },
        { QT_TRANSLATE_NOOP("BookWindow", "CV share trend (%)"), "cv_share_trend_pct",
          [](P p) {
              const CvShareTrend &t = p.cvShare;
              return number(t.first ? std::optional((*t.last - *t.first) * 100) : std::nullopt, 1);
          },
          [](P p) {
              const CvShareTrend &t = p.cvShare;
              return t.first
                  ? QStringLiteral("%1 → %2").arg(QString::number(*t.first * 100, 'f', 0),
                                                  QString::number(*t.last * 100, 'f', 0))
                  : QString();
          } },
    };
    return columns;
}

const std::vector<Column<RunRow>> &runColumns()
{
    using R = const RunRow &;
    static const std::vector<Column<RunRow>> columns = {
        { nullptr, "pack_id", [](R r) -> Value { return r.pack->id; } },
        { nullptr, "pack", [](R r) -> Value { return packName(*r.pack); } },
        { nullptr, "file", [](R r) -> Value { return r.run->path; } },
        { QT_TRANSLATE_NOOP("BookWindow", "Date"), "date", [](R r) { return time(r.run->date); },
          [](R r) {
              return shown(time(r.run->date))
                  + (r.run->dateFromFile ? QCoreApplication::translate("BookWindow", " (file time)")
                                         : QString());
          } },
        { nullptr, "kind", [](R r) -> Value { return kindName(r.run->kind); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Kind"), nullptr,
          [](R r) -> Value {
              static constexpr std::array<const char *, 4> kinds
                  = { QT_TRANSLATE_NOOP("BookWindow", "idle"),
                      QT_TRANSLATE_NOOP("BookWindow", "charge"),
                      QT_TRANSLATE_NOOP("BookWindow", "discharge"),
                      QT_TRANSLATE_NOOP("BookWindow", "both") };
              return QCoreApplication::translate("BookWindow", kinds[size_t(r.run->kind)]);
          } },
        { QT_TRANSLATE_NOOP("BookWindow", "Chemistry"), "chemistry",
          [](R r) -> Value { return r.run->chemistry; } },
        { QT_TRANSLATE_NOOP("BookWindow", "Cells"), "cells",
          [](R r) { return number(r.run->cells, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Duration (s)"), "duration_s",
          [](R r) { return number(r.run->seconds, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Charged (mAh)"), "charged_mah",
          [](R r) { return number(r.run->chargedMah, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Discharged (mAh)"), "discharged_mah",
          [](R r) { return number(r.run->dischargedMah, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Charged (Wh)"), "charged_wh",
          [](R r) { return number(r.run->chargedWh, 2); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Discharged (Wh)"), "discharged_wh",
          [](R r) { return number(r.run->dischargedWh, 2); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Peak (A)"), "peak_a",
          [](R r) { return number(r.run->peakAmps, 2); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Ext max (℃)"), "ext_max_c",
          [](R r) { return number(r.run->extMax, 1); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Int max (℃)"), "int_max_c",
          [](R r) { return number(r.run->intMax, 1); } },
        { QT_TRANSLATE_NOOP("BookWindow", "V start"), "v_start",
          [](R r) { return number(r.run->startVolts, 2); } },
        { QT_TRANSLATE_NOOP("BookWindow", "V end"), "v_end",
          [](R r) { return number(r.run->endVolts, 2); } },
        { QT_TRANSLATE_NOOP("BookWindow", "End-of-charge spread (V)"), "spread_v",
          [](R r) { return number(r.run->spread, 3); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Resistance"), "dcir_mohm",
          [](R r) { return number(milliohm(*r.run), 0); },
          [](R r) {
              const auto &res = r.run->resistance;
              if (!res)
                  return QString();
              QStringList cells;
              for (const auto &c : res->cells)
                  cells << (c ? QString::number(*c, 'f', 0) : QStringLiteral("–"));
              return res->text(r.pack->ratedMah)
                  + (cells.isEmpty() ? QString()
                                     : QCoreApplication::translate("BookWindow", "; cells %1 mΩ")
                                           .arg(cells.join(u'/')));
          } },
        { nullptr, "dcir_pm_mohm",
          [](R r) {
              const auto *res = shownResistance(*r.run);
              return number(res ? std::optional(res->plusMinus) : std::nullopt, 0);
          } },
        { nullptr, "dcir_method",
          [](R r) -> Value {
              const auto *res = shownResistance(*r.run);
              return !res                           ? QString()
                  : res->iec61960(r.pack->ratedMah) ? QStringLiteral("iec61960")
                                                    : QStringLiteral("estimate");
          } },
        { QT_TRANSLATE_NOOP("BookWindow", "CV share (%)"), "cv_share_pct",
          [](R r) {
              return number(r.run->cvShare ? std::optional(*r.run->cvShare * 100) : std::nullopt,
                            1);
          } },
        { QT_TRANSLATE_NOOP("BookWindow", "Taper (s)"), "taper_s",
          [](R r) { return number(r.run->taperSeconds, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "dQ/dV peak (V)"), "ica_peak_v",
          [](R r) { return number(r.run->icaPeakVolts, 3); } },
        { QT_TRANSLATE_NOOP("BookWindow", "dQ/dV peak (mAh/V)"), "ica_peak_mah_v",
          [](R r) { return number(r.run->icaPeakHeight, 0); } },
        { QT_TRANSLATE_NOOP("BookWindow", "File"), nullptr,
          [](R r) -> Value { return QFileInfo(r.run->path).fileName(); } },
    };
    return columns;
}

const std::vector<Column<RunRow>> &skippedColumns()
{
    using R = const RunRow &;
    static const std::vector<Column<RunRow>> columns = {
        { QT_TRANSLATE_NOOP("BookWindow", "File"), nullptr,
          [](R r) -> Value { return QDir::toNativeSeparators(r.run->path); } },
        { QT_TRANSLATE_NOOP("BookWindow", "Why it was skipped"), nullptr,
          [](R r) -> Value { return r.run->skipped; } },
    };
    return columns;
}

std::vector<RunRow> runRows(const std::vector<PackFigures> &packs)
{
    std::vector<RunRow> rows;
    for (const PackFigures &p : packs)
        for (const RunFigures *f : p.runs)
            rows.push_back({ &p, f });
    return rows;
}

template <class Row>
QString text(const std::vector<Column<Row>> &columns, const std::vector<Row> &rows, bool csv)
{
    const QStringList header = texts<Row>(columns, nullptr);
    std::vector<QStringList> lines;
    for (const Row &r : rows)
        lines.push_back(texts(columns, &r));
    if (csv) {
        QByteArray utf8;
        const auto line = [&](const QStringList &fields) {
            for (qsizetype i = 0; i < fields.size(); ++i) {
                if (i > 0)
                    utf8 += ',';
                appendCsvField(utf8, fields[i]);
            }
            utf8 += "\r\n";
        };
        line(header);
        for (const QStringList &l : lines)
            line(l);
        return QString::fromUtf8(utf8);
    }
    QString out;
    QList<qsizetype> widths;
    for (const QString &h : header)
        widths << h.size();
    for (const QStringList &l : lines)
        for (int i = 0; i < l.size(); ++i)
            widths[i] = std::max(widths[i], l[i].size());
    const auto line = [&](const QStringList &fields) {
        QString l;
        for (int i = 0; i < fields.size(); ++i)
            l += fields[i].leftJustified(widths[i] + 2);
        out += l.trimmed() + u'\n';
    };
    line(header);
    for (const QStringList &l : lines)
        line(l);
    return out;
}

template <class Row>
QString tabbed(const std::vector<Column<Row>> &columns, const std::vector<Row> &rows)
{
    // A tab or line break inside a field would start another cell.
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]+"));
    QString out = texts<Row>(columns, nullptr).join(u'\t') + u'\n';
    for (const Row &r : rows)
        out += texts(columns, &r).replaceInStrings(breaks, QStringLiteral(" ")).join(u'\t') + u'\n';
    return out;
}

template QString text(const std::vector<Column<PackFigures>> &, const std::vector<PackFigures> &,
                      bool);
template QString text(const std::vector<Column<RunRow>> &, const std::vector<RunRow> &, bool);
template QString tabbed(const std::vector<Column<PackFigures>> &, const std::vector<PackFigures> &);
template QString tabbed(const std::vector<Column<RunRow>> &, const std::vector<RunRow> &);

} // namespace BookTable
