#include "run/bdf_file.h"

#include "run/run_summary.h"
#include "run/samples.h"

#include <QFile>

#include <functional>
#include <vector>

QString writeBdf(const QString &path, const Samples &samples, const QDateTime &start)
{
    const RunSummary summary = RunSummary::of(samples);
    const auto plain = [&](qint64 row, int field) {
        return samples.number(row, field).value_or(Fixed()).plain().toUtf8();
    };
    const auto fixed = [](double v, int decimals) { return QByteArray::number(v, 'f', decimals); };
    struct Column {
        QByteArray name;
        std::function<QByteArray(qint64 row)> value;
    };
    std::vector<Column> columns = {
        { "Test Time / s", [&](qint64 r) { return fixed(summary.at(r).seconds, 0); } },
    };
    if (start.isValid())
        columns.push_back({ "Unix Time / s", [&](qint64 r) {
                               return fixed(
                                   double(start.toSecsSinceEpoch()) + summary.at(r).seconds, 0);
                           } });
    columns.push_back({ "Voltage / V", [&](qint64 r) { return plain(r, Bat_volt); } });
    columns.push_back({ "Current / A", [&](qint64 r) { return plain(r, Current); } });
    columns.push_back({ "Charging Capacity / Ah",
                        [&](qint64 r) { return fixed(summary.at(r).chargedMah / 1000, 6); } });
    columns.push_back({ "Discharging Capacity / Ah",
                        [&](qint64 r) { return fixed(summary.at(r).dischargedMah / 1000, 6); } });
    columns.push_back({ "Ambient Temperature / degC",
                        [&](qint64 r) { return samples.text(r, Ext_temp).toUtf8(); } });
    // The cells that show a voltage anywhere in the run.
    for (int c = C1; c <= C12; ++c)
        for (qint64 r = 0; r < samples.count(); ++r)
            if (samples.number(r, c).value_or(Fixed()) != Fixed()) {
                columns.push_back({ "Cell Voltage " + QByteArray::number(c - C1 + 1) + " / V",
                                    [&, c](qint64 row) { return plain(row, c); } });
                break;
            }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    QByteArray out;
    bool written = true;
    for (qint64 row = -1; row < samples.count() && written; ++row) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0)
                out += ',';
            out += row < 0 ? columns[c].name : columns[c].value(row);
        }
        out += "\r\n";
        if (out.size() >= 1024 * 1024 || row + 1 == samples.count()) {
            written = file.write(out) == out.size();
            out.resize(0);
        }
    }
    if (!written || !file.flush()) {
        const QString why = file.errorString();
        file.remove(); // a cut-off table must not pass for the whole run
        return why;
    }
    return {};
}
