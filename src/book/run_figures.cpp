#include "book/run_figures.h"

#include "run/run_loader.h"
#include "run/run_title.h"

#include <QFileInfo>

QString packNameOf(const QString &title)
{
    return isDefaultTitle(title) ? QString() : title.simplified();
}

QString packKey(const QString &name)
{
    return name.simplified().toCaseFolded();
}

RunFigures RunFigures::read(const QString &path, const std::atomic<bool> &stop)
{
    RunFigures f;
    const QFileInfo info(path);
    f.path = info.absoluteFilePath();
    f.size = info.size();
    f.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    RunSummary s;
    f.skipped = RunFile::read(path,
                              { [&f](const QString &title, qint64) { f.title = title; },
                                [&s](ChannelReading &row) { s.add(row); } },
                              stop);
    if (!f.skipped.isEmpty())
        return f;
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
