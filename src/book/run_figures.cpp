#include "book/run_figures.h"

#include "run/run_file.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {
// "<type>/<state>  S<cells>  @<channel>  <date>  hh:mm:ss", as a run's first sample writes it.
const QRegularExpression &defaultTitle()
{
    static const QRegularExpression re(
        QStringLiteral("^[^\\r\\n]*/[^\\r\\n]*  (?:S\\d+)?  @\\S*  (\\S[^\\r\\n]*)  "
                       "(\\d\\d:\\d\\d:\\d\\d)\\r?\\n?$"));
    return re;
}
} // namespace

bool isDefaultTitle(const QString &title)
{
    return title.trimmed().isEmpty() || defaultTitle().match(title).hasMatch();
}

QDateTime defaultTitleDate(const QString &title)
{
    const auto m = defaultTitle().match(title);
    if (!m.hasMatch())
        return {};
    // The date is in the short form of the locale that saved it: this one's, or a common one.
    const QString text = m.captured(1).trimmed();
    QDate date = QLocale::system().toDate(text, QLocale::ShortFormat);
    for (const char *form :
         { "yyyy-MM-dd", "yyyy/M/d", "d.M.yy", "d.M.yyyy", "M/d/yy", "d/M/yyyy" })
        if (!date.isValid())
            date = QDate::fromString(text, QString::fromLatin1(form));
    if (date.isValid() && date.year() < 1970) // two digits of the year
        date = date.addYears(100);
    const QTime time = QTime::fromString(m.captured(2), QStringLiteral("hh:mm:ss"));
    return date.isValid() ? QDateTime(date, time) : QDateTime();
}

QString packNameOf(const QString &title)
{
    return isDefaultTitle(title) ? QString() : title.simplified();
}

QString packKey(const QString &name)
{
    return name.simplified().toCaseFolded();
}

RunFigures RunFigures::read(const QString &path)
{
    RunFigures f;
    const QFileInfo info(path);
    f.path = info.absoluteFilePath();
    f.size = info.size();
    f.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    RunFile::Reader reader;
    f.skipped = RunFile::openRegularFile(reader, path);
    const auto title = f.skipped.isEmpty() ? reader.title() : std::nullopt;
    if (!title) {
        f.skipped = f.skipped.isEmpty() ? reader.error() : f.skipped;
        return f;
    }
    f.title = *title;
    RunSummary s;
    ChannelReading row;
    while (reader.next(row))
        s.add(row);
    if (!reader.error().isEmpty()) {
        f.skipped = reader.error();
        return f;
    }
    if (s.samples() == 0) {
        f.skipped = QStringLiteral("The file holds no samples.");
        return f;
    }
    f.date = defaultTitleDate(f.title);
    f.dateFromFile = !f.date.isValid();
    if (f.dateFromFile)
        f.date = info.lastModified();
    f.kind = s.kind();
    f.chemistry = s.chemistry();
    f.cells = s.cells();
    f.seconds = s.seconds();
    f.chargedMah = s.chargedMah();
    f.dischargedMah = s.dischargedMah();
    f.chargedWh = s.chargedWh();
    f.dischargedWh = s.dischargedWh();
    f.peakAmps = s.peakAmps();
    f.startVolts = s.startVolts();
    f.endVolts = s.endVolts();
    f.extMax = s.highestExtTemp();
    f.intMax = s.highestIntTemp();
    f.spread = s.endOfChargeSpread();
    f.endsCharging = s.endsCharging();
    f.resistance = s.resistance();
    return f;
}
