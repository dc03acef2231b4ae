#include "report/report.h"

#include "book/book_model.h"
#include "platform/core/whole_file.h"
#include "platform/trend_chart.h"
#include "report/pack_trends.h"
#include "run/run.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace Report {

namespace {
QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// An SVG picture as an element of the page: its XML declaration left out.
QString inline_(const QByteArray &svg)
{
    const qsizetype from = svg.indexOf("<svg");
    return from < 0 ? QString() : QString::fromUtf8(svg.mid(from));
}

QString figure(const QByteArray &svg)
{
    return QStringLiteral("<figure>%1</figure>\n").arg(inline_(svg));
}

// The columns of `model` as a table, a row of captions above its rows, in small type: many
// columns share the page's width.
QString table(const QAbstractItemModel &model)
{
    QString html = QStringLiteral("<table class=\"runs\">\n<tr>");
    for (int c = 0; c < model.columnCount(); ++c)
        html += QStringLiteral("<th>%1</th>")
                    .arg(escaped(model.headerData(c, Qt::Horizontal).toString()));
    html += QStringLiteral("</tr>\n");
    for (int r = 0; r < model.rowCount(); ++r) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < model.columnCount(); ++c)
            html += QStringLiteral("<td>%1</td>")
                        .arg(escaped(model.data(model.index(r, c)).toString()));
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

// The one row of `model` as a caption and its text a line, those without a text left out.
QString figures(const QAbstractItemModel &model)
{
    QString html = QStringLiteral("<table class=\"figures\">\n");
    for (int c = 0; c < model.columnCount(); ++c)
        if (const QString text = model.data(model.index(0, c)).toString(); !text.isEmpty())
            html
                += QStringLiteral("<tr><th>%1</th><td>%2</td></tr>\n")
                       .arg(escaped(model.headerData(c, Qt::Horizontal).toString()), escaped(text));
    return html + QStringLiteral("</table>\n");
}
} // namespace

QString runSection(const Run &run, const QByteArray &chartSvg)
{
    const RunSummary &summary = run.summary();
    QString html = QStringLiteral("<section>\n<h1>%1</h1>\n<p class=\"description\">%2</p>\n")
                       .arg(escaped(QCoreApplication::translate("Report", "Run %1")
                                        .arg(QFileInfo(run.name()).fileName())),
                            escaped(run.title().trimmed()));
    html += QStringLiteral("<h2>%1</h2>\n<ul>\n")
                .arg(escaped(QCoreApplication::translate("Report", "Summary")));
    for (const QString &f : summary.figures())
        html += QStringLiteral("<li>%1</li>\n").arg(escaped(f));
    html += QStringLiteral("</ul>\n");
    if (const auto &r = summary.resistance())
        html += QStringLiteral("<h2>%1</h2>\n<p>%2</p>\n")
                    .arg(escaped(QCoreApplication::translate("Report", "Internal resistance")),
                         escaped(r->text(RunSummary::ratedMahIn(run.title()))));
    return html + figure(chartSvg) + QStringLiteral("</section>\n");
}

QString packSection(const PackFigures &pack)
{
    BookModel<PackFigures> packModel(BookTable::packColumns());
    packModel.setRows({ pack });
    // The rows point into their packs, which must outlive them.
    const std::vector<PackFigures> packs { pack };
    BookModel<BookTable::RunRow> runModel(BookTable::runColumns());
    runModel.setRows(BookTable::runRows(packs));
    const QString name = pack.name.isEmpty() ? BookTable::unnamed() : pack.name;
    QString html
        = QStringLiteral("<section>\n<h1>%1</h1>\n")
              .arg(escaped(
                  pack.id.isEmpty()
                      ? QCoreApplication::translate("Report", "Pack %1").arg(name)
                      : QCoreApplication::translate("Report", "Pack #%1 %2").arg(pack.id, name)));
    html += figures(packModel);
    // Over cycles with the forecasts, where the book counts them.
    const QSize size(720, 300);
    TrendChart capacity, dcir;
    for (TrendChart *chart : { &capacity, &dcir })
        chart->resize(size);
    drawPackTrends(capacity, dcir, &pack, !pack.cyclesAt.empty());
    html += QStringLiteral("<h2>%1</h2>\n")
                .arg(escaped(QCoreApplication::translate("Report", "Capacity and resistance")));
    html += figure(capacity.toSvg(size)) + figure(dcir.toSvg(size));
    html += QStringLiteral("<h2>%1</h2>\n")
                .arg(escaped(QCoreApplication::translate("Report", "Runs")))
        + table(runModel);
    return html + QStringLiteral("</section>\n");
}

QByteArray page(const QStringList &sections)
{
    // Light whatever the reader's browser prefers; a section a page when printed.
    static const QString style = QStringLiteral(
        ":root{color-scheme:light}"
        "html{background:#fff;color:#000}"
        "body{font-family:sans-serif;max-width:70em;margin:1em auto;padding:0 1em}"
        "h1{font-size:1.4em}h2{font-size:1.1em;margin-top:1.2em}"
        ".description{white-space:pre-wrap;font-weight:bold}"
        "figure{margin:.5em 0}svg{display:block;width:100%;height:auto}"
        "table{border-collapse:collapse;font-size:.85em}table.runs{font-size:.7em}"
        "th,td{border:1px solid #aaa;padding:.15em .4em;text-align:left;vertical-align:top}"
        "th{background:#eee}"
        "section+section{margin-top:3em}"
        "@media print{body{max-width:none;margin:0}section+section{break-before:page;margin-top:0}"
        "figure,tr{break-inside:avoid}}");
    QString html
        = QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
                         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
                         "'none'; style-src 'unsafe-inline'\">\n"
                         "<meta name=\"viewport\" content=\"width=device-width\">\n"
                         "<title>%2</title>\n<style>%3</style>\n</head>\n<body>\n")
              .arg(escaped(QCoreApplication::translate("Report", "en",
                                                       "the language tag of the report's texts")),
                   escaped(QCoreApplication::translate("Report", "chargemon report")), style);
    html += sections.join(QString()) + QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

QString write(const QString &path, const QByteArray &page)
{
    return saveWhole(path, page);
}

} // namespace Report
