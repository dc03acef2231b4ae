#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class Run;
struct PackFigures;

// A report in one web page that any browser opens offline: no script, nothing fetched, the
// charts inline as SVG, dark on white on screen and paper alike. Every text from a file is
// escaped: a description is the user's, whatever it holds.
namespace Report {

// A run: its description, figures, resistance with its method and ±, and `chartSvg`, its chart
// as Copy makes it.
QString runSection(const Run &run, const QByteArray &chartSvg);
// A pack: its figures and forecasts as the book's table has them, its capacity and resistance
// over the cycles (over the dates, for runs under no name), and its runs.
QString packSection(const PackFigures &pack);
// The page of `sections`, each on a page of its own when printed, in the interface language.
QByteArray page(const QStringList &sections);
// Writes `page` to `path`: "" or why it failed.
QString write(const QString &path, const QByteArray &page);

} // namespace Report
