#include "book/book_table.h"

#include "run/samples.h"
#include <QCoreApplication>

namespace BookTable {

namespace {
QString n(std::optional<double> v, int decimals)
{
    return v ? QString::number(*v, 'f', decimals) : QString();
}

QString iso(const QDateTime &t)
{
    return t.isValid() ? t.toString(Qt::ISODate) : QString();
}

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
} // namespace

QString unnamed()
{
    return QCoreApplication::translate("Book", "Unnamed runs");
}

QStringList packHeader()
{
    return QString::fromLatin1("pack,runs,cycles,first,last,capacity_mah,fade_pct,dcir_mohm,"
                               "dcir_method,spread_v,warning")
        .split(u',');
}

QStringList runHeader()
{
    return QString::fromLatin1(
               "pack,file,date,kind,chemistry,cells,duration_s,charged_mah,discharged_mah,"
               "charged_wh,discharged_wh,peak_a,ext_max_c,int_max_c,v_start,v_end,spread_v,"
               "dcir_mohm,dcir_pm_mohm,dcir_method")
        .split(u',');
}

std::vector<QStringList> packRows(const std::vector<PackFigures> &packs)
{
    std::vector<QStringList> rows;
    for (const PackFigures &p : packs) {
        const auto &r = p.dcir ? p.dcir->resistance : std::nullopt;
        rows.push_back({ p.name.isEmpty() ? unnamed() : p.name, QString::number(p.runs.size()),
                         n(p.cycles, 2), iso(p.first), iso(p.last), n(p.capacityMah, 0),
                         n(p.fadePct, 1), n(r ? std::optional(r->milliohm) : std::nullopt, 0),
                         p.dcirMethod(), n(p.spread, 2), p.warning() });
    }
    return rows;
}

std::vector<QStringList> runRows(const std::vector<PackFigures> &packs)
{
    std::vector<QStringList> rows;
    for (const PackFigures &p : packs)
        for (const RunFigures *f : p.runs) {
            const auto &r = f->resistance;
            const auto mOhm = [&](double v) { return n(r ? std::optional(v) : std::nullopt, 0); };
            rows.push_back({ p.name.isEmpty() ? unnamed() : p.name,
                             f->path,
                             iso(f->date),
                             kindName(f->kind),
                             f->chemistry,
                             QString::number(f->cells),
                             n(f->seconds, 0),
                             n(f->chargedMah, 0),
                             n(f->dischargedMah, 0),
                             n(f->chargedWh, 2),
                             n(f->dischargedWh, 2),
                             n(f->peakAmps, 2),
                             n(f->extMax, 1),
                             n(f->intMax, 1),
                             n(f->startVolts, 2),
                             n(f->endVolts, 2),
                             n(f->spread, 2),
                             mOhm(r ? r->milliohm : 0),
                             mOhm(r ? r->plusMinus : 0),
                             r ? (r->iec61960(p.ratedMah) ? QStringLiteral("iec61960")
                                                          : QStringLiteral("estimate"))
                               : QString() });
        }
    return rows;
}

QString text(const QStringList &header, const std::vector<QStringList> &rows, bool csv)
{
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
        for (const QStringList &r : rows)
            line(r);
        return QString::fromUtf8(utf8);
    }
    QString out;
    QList<qsizetype> widths;
    for (const QString &h : header)
        widths << h.size();
    for (const QStringList &r : rows)
        for (int i = 0; i < r.size(); ++i)
            widths[i] = std::max(widths[i], r[i].size());
    const auto line = [&](const QStringList &fields) {
        QString l;
        for (int i = 0; i < fields.size(); ++i)
            l += fields[i].leftJustified(widths[i] + 2);
        out += l.trimmed() + u'\n';
    };
    line(header);
    for (const QStringList &r : rows)
        line(r);
    return out;
}

} // namespace BookTable
