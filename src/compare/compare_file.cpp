#include "compare/compare_file.h"

#include "link/channel_reading.h"
#include "platform/core/whole_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace CompareFile {
namespace {

constexpr std::array<const char *, 4> AlignmentNames
    = { "start", "constant-voltage", "capacity", "percent" };
constexpr std::array<const char *, 3> ViewNames = { "overlay", "difference", "dqdv" };

template <size_t N> int indexOf(const std::array<const char *, N> &names, const QString &name)
{
    for (size_t i = 0; i < N; ++i)
        if (name == QLatin1String(names[i]))
            return int(i);
    return -1;
}

} // namespace

QString write(const QString &path, const Comparison &c)
{
    const QDir folder = QFileInfo(path).absoluteDir();
    QJsonArray runs, quantities;
    for (const QString &run : c.runs) {
        const QFileInfo info(run);
        runs << (info.absoluteDir() == folder ? info.fileName() : info.absoluteFilePath());
    }
    for (int field : c.quantities)
        quantities << QString::fromLatin1(FieldNames[size_t(field)]);
    const QJsonObject o { { "runs", runs },
                          { "alignment", AlignmentNames[size_t(c.alignment)] },
                          { "reference", c.reference },
                          { "quantities", quantities },
                          { "view", ViewNames[size_t(c.view)] } };
    return saveWhole(path, QJsonDocument(o).toJson());
}

QString unreadableRun(const QString &run)
{
    const QFileInfo info(run);
    const QString name = QDir::toNativeSeparators(run);
    if (!info.exists())
        return QCoreApplication::translate("CompareFile", "The run file %1 is missing.").arg(name);
    if (!info.isFile())
        return QCoreApplication::translate("CompareFile", "%1 is no run file.").arg(name);
    return {};
}

Comparison read(const QString &path, QString &error)
{
    Comparison c;
    const auto fail = [&](const QString &why) {
        error = QCoreApplication::translate("CompareFile", "%1 is no comparison file: %2")
                    .arg(QDir::toNativeSeparators(path), why);
        return Comparison();
    };
    // Checked before opening: opening a FIFO waits for a writer, a device may start doing things.
    const QFileInfo info(path);
    if (!info.isFile())
        return fail(QCoreApplication::translate("CompareFile", "not a regular file"));
    if (info.size() > MaxBytes)
        return fail(
            QCoreApplication::translate("CompareFile", "larger than %1 KB").arg(MaxBytes / 1024));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(MaxBytes + 1), &parse);
    if (!doc.isObject())
        return fail(parse.error != QJsonParseError::NoError
                        ? parse.errorString()
                        : QCoreApplication::translate("CompareFile", "not a JSON object"));
    const QJsonObject o = doc.object();

    const QJsonArray runs = o.value("runs").toArray();
    if (runs.size() < MinRuns || runs.size() > MaxRuns)
        return fail(QCoreApplication::translate("CompareFile",
                                                "it names %1 runs; a comparison holds %2 to %3")
                        .arg(runs.size())
                        .arg(MinRuns)
                        .arg(MaxRuns));
    for (const QJsonValue &run : runs) {
        if (!run.isString() || run.toString().isEmpty())
            return fail(QCoreApplication::translate("CompareFile", "a run is not a file name"));
        c.runs << QDir::cleanPath(info.absoluteDir().absoluteFilePath(run.toString()));
    }
    const int alignment = indexOf(AlignmentNames, o.value("alignment").toString());
    const int view = indexOf(ViewNames, o.value("view").toString("overlay"));
    if (alignment < 0 || view < 0)
        return fail(QCoreApplication::translate("CompareFile", "unknown alignment or view"));
    c.alignment = Compare::Alignment(alignment);
    c.view = View(view);
    c.reference = o.value("reference").toInt(-1);
    if (c.reference < 0 || c.reference >= c.runs.size())
        return fail(
            QCoreApplication::translate("CompareFile", "the reference is none of its runs"));
    const QJsonArray quantities = o.value("quantities").toArray();
    if (quantities.isEmpty() || quantities.size() > FieldCount)
        return fail(QCoreApplication::translate("CompareFile", "no quantities"));
    for (const QJsonValue &q : quantities) {
        const int field = indexOf(FieldNames, q.toString());
        if (field != Bat_volt && field != Current && field != Cap && field != Ext_temp
            && (field < C1 || field > C12))
            return fail(QCoreApplication::translate("CompareFile", "unknown quantity %1")
                            .arg(q.toString()));
        c.quantities << field;
    }
    error.clear();
    return c;
}

} // namespace CompareFile
