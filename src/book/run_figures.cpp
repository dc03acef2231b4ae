#include "book/run_figures.h"

#include "run/incremental_capacity.h"
#include "run/run_loader.h"
#include "run/run_title.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace {
// A cell's voltage under load when a discharge has reached its end, by the charger's type:
// lithium packs are discharged to 3.0-3.3 V a cell and a storage discharge stops near 3.85 V;
// nickel cells sag below 1.0 V only past their last few per cent; lead cells end at 1.75-1.8 V.
std::optional<double> endCellVolts(const QString &chemistry)
{
    if (chemistry == u"LiIo/Po/Fe")
        return 3.3;
    if (chemistry == u"NiMH" || chemistry == u"NiCd")
        return 1.0;
    if (chemistry == u"Pb")
        return 1.8;
    return std::nullopt;
}

// Per cell where the cells are known, so that packs of any count read alike; 20 mV bins of a
// cell then, finer than a pack's.
// `volts` and `amps` (either way) of every sample, as the summary read them.
std::optional<IcaPeak> chargeIcaPeak(const RunSummary &s, std::vector<double> volts,
                                     const std::vector<double> &amps)
{
    const double per = std::max(s.cells(), 1);
    std::vector<double> mah;
    mah.reserve(std::size_t(s.samples()));
    for (qsizetype i = 0; i < s.samples(); ++i) {
        volts[std::size_t(i)] /= per;
        mah.push_back(s.at(i).chargedMah);
    }
    return mainPeak(incrementalCapacity(volts, amps, mah));
}
} // namespace

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
    QString firstTime;
    std::vector<double> volts, amps;
    const auto number = [](const Value &v) { return v.number().value_or(Fixed()).toDouble(); };
    f.skipped = RunFile::read(path,
                              { [&f](const QString &title, qint64) { f.title = title; },
                                [&](ChannelReading &row) {
                                    if (s.samples() == 0)
                                        firstTime = row[Time].text();
                                    s.add(row);
                                    volts.push_back(number(row[Bat_volt]));
                                    amps.push_back(std::abs(number(row[Current])));
                                } },
                              stop);
    if (!f.skipped.isEmpty())
        return f;
    if (s.samples() == 0) {
        f.skipped = QStringLiteral("The file holds no samples.");
        return f;
    }
    f.date = runStart(f.title, info.lastModified(), s.seconds());
    f.dateFromFile = !defaultTitleDate(f.title).isValid();
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
    f.loadedVolts = s.loadedVolts();
    f.cvHigh = s.highestAtCv();
    f.endLow = s.lowestAtEnd();
    f.firstOut = s.firstOut();
    f.chargedCells = s.chargedCells();
    f.dischargedCells = s.dischargedCells();
    if (const auto cv = s.constantVoltage()) {
        f.cvShare = cv->share;
        f.taperSeconds = cv->taperSeconds;
    }
    // A discharge's steps would count with a charge's.
    if (const auto peak = f.kind == RunSummary::Kind::Charge
            ? chargeIcaPeak(s, std::move(volts), amps)
            : std::nullopt) {
        f.icaPeakVolts = peak->volts;
        f.icaPeakHeight = peak->mahPerVolt;
    }
    // A run is its description and its samples: a copy or a link reads the same.
    QStringList identity { f.title, firstTime, QString::number(s.samples()) };
    for (double v : { f.seconds, f.chargedMah, f.dischargedMah, f.chargedWh, f.dischargedWh,
                      f.peakAmps, f.startVolts, f.endVolts })
        identity << QString::number(v, 'g', 17);
    f.runKey = QString::fromLatin1(
        QCryptographicHash::hash(identity.join(u'\n').toUtf8(), QCryptographicHash::Md5).toHex());
    return f;
}

bool RunFigures::reachedEnd(int cells) const
{
    const auto end = endCellVolts(chemistry);
    // Half a reading's step more: 9.90 V is 3.30 V a cell for three.
    return end && loadedVolts && cells > 0 && *loadedVolts <= cells * *end + 0.005;
}
