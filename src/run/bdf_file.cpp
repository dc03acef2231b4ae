#include "run/bdf_file.h"

#include "link/frame_decoders.h"
#include "platform/core/whole_file.h"
#include "run/run_summary.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

constexpr qsizetype MaxLine = 64 * 1024;
constexpr qsizetype Chunk = 64 * 1024;
constexpr qint64 MaxRows = 4'000'000; // 46 days a sample a second
constexpr qint64 MaxMetadata = 1024 * 1024;

// A column that is not a term of the format, as the metadata file declares it.
struct Custom {
    int field;
    QString name, unit, description;
    QString header() const { return name + QStringLiteral(" / ") + unit; }
    // A cell or the internal temperature that shows nothing is written as none, and read as
    // zero as the charger sends it.
    bool zeroUnlessShown() const { return field != In_Volt && field != Cap; }
};

const std::vector<Custom> &customs()
{
    static const std::vector<Custom> list = [] {
        std::vector<Custom> l = {
            { In_temp, QStringLiteral("Internal Temperature"), QStringLiteral("degC"),
              QStringLiteral("The charger's own temperature.") },
            { In_Volt, QStringLiteral("Input Voltage"), QStringLiteral("V"),
              QStringLiteral("The charger's supply voltage.") },
            { Cap, QStringLiteral("Charger Capacity"), QStringLiteral("mAh"),
              QStringLiteral("The capacity the charger counts in its present mode.") },
        };
        for (int c = 1; c <= 12; ++c)
            l.push_back({ C1 + c - 1, QStringLiteral("Cell Voltage %1").arg(c), QStringLiteral("V"),
                          QStringLiteral("Cell %1's voltage at the balance lead.").arg(c) });
        return l;
    }();
    return list;
}

Value zeroOf(int field)
{
    return field == In_temp ? Value(qint64(0)) : Value(Fixed());
}

// Where each sample is in the run. A step is a stretch of samples in one mode as the Chg field
// names it (charging, discharging, idle); a cycle starts each time the run's first direction,
// charging or discharging, comes back after the other: a charge and then a discharge are one
// cycle, and so are a discharge and then a charge.
struct Phases {
    std::vector<int> step, cycle;
    int steps = 1, cycles = 1;
};

Phases phasesOf(const Samples &samples)
{
    Phases p;
    QString mode;
    int first = 0, last = 0; // 1 charging, -1 discharging, 0 none yet
    for (qint64 r = 0; r < samples.count(); ++r) {
        const QString *held = samples.heldText(r, Chg);
        const QString now = held ? *held : QString();
        if (r > 0 && now != mode)
            ++p.steps;
        mode = now;
        if (const int d = now == chargingText() ? 1 : now == dischargingText() ? -1 : 0; d != 0) {
            if (first == 0)
                first = d;
            else if (d == first && last == -first)
                ++p.cycles;
            last = d;
        }
        p.step.push_back(p.steps);
        p.cycle.push_back(p.cycles);
    }
    return p;
}

// Writes to a file, through gzip when asked.
class Sink {
public:
    Sink(QSaveFile &file, bool gzip) : file_(file), gzip_(gzip)
    {
        ok_ = !gzip_
            || deflateInit2(&z_, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY)
                == Z_OK;
    }
    ~Sink()
    {
        if (gzip_)
            deflateEnd(&z_);
    }
    Sink(const Sink &) = delete;
    Sink &operator=(const Sink &) = delete;

    // False once a write failed; `last` ends the compressed stream.
    bool write(const QByteArray &bytes, bool last)
    {
        if (!ok_ || !gzip_)
            return ok_ = ok_ && writeWhole(file_, bytes);
        z_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
        z_.avail_in = uInt(bytes.size());
        QByteArray out(Chunk, Qt::Uninitialized);
        int rc = Z_OK;
        do {
            z_.next_out = reinterpret_cast<Bytef *>(out.data());
            z_.avail_out = uInt(out.size());
            rc = deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
            const qint64 n = out.size() - z_.avail_out;
            ok_ = rc != Z_STREAM_ERROR && writeWhole(file_, QByteArrayView(out).first(n));
        } while (ok_ && (z_.avail_out == 0 || (last && rc != Z_STREAM_END)));
        return ok_;
    }

private:
    QSaveFile &file_;
    bool gzip_;
    bool ok_ = true;
    z_stream z_ {};
};

QString notRead(const QString &what, const QString &why)
{
    return QCoreApplication::translate("BdfFile", "%1 is not read: %2").arg(what, why);
}

// Opens `path` into `file` only if it names a regular file: opening a FIFO would wait for a
// writer. Why not, or "".
QString openRegular(const QString &path, QFile &file)
{
    const int fd
        = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("It is not a regular file.");
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
}

// The lines of a text file, plain or compressed with gzip, none longer than MaxLine.
class Lines {
public:
    explicit Lines(QFile &file) : file_(file)
    {
        gzip_ = file_.peek(2) == QByteArrayView("\x1f\x8b");
        if (gzip_ && inflateInit2(&z_, 15 + 32) != Z_OK)
            error = QCoreApplication::translate("BdfFile", "The compressed data is damaged.");
    }
    ~Lines()
    {
        if (gzip_)
            inflateEnd(&z_);
    }
    Lines(const Lines &) = delete;
    Lines &operator=(const Lines &) = delete;

    // The next line without its end, counted in `number`; false at the end or on an error.
    bool next(QByteArrayView &line)
    {
        while (error.isEmpty()) {
            if (const qsizetype end = buffer_.indexOf('\n', from_); end >= 0) {
                line = QByteArrayView(buffer_).sliced(from_, end - from_);
                from_ = end + 1;
                ++number;
                if (line.endsWith('\r'))
                    line.chop(1);
                return true;
            }
            if (buffer_.size() - from_ > MaxLine) {
                error = QCoreApplication::translate("BdfFile", "Line %1 is longer than %2 bytes.")
                            .arg(number + 1)
                            .arg(MaxLine);
                return false;
            }
            if (ended_) { // the last line without an end
                line = QByteArrayView(buffer_).sliced(from_);
                from_ = buffer_.size();
                return !line.isEmpty() && (++number, true);
            }
            buffer_.remove(0, from_);
            from_ = 0;
            more();
        }
        return false;
    }

    qint64 number = 0;
    QString error;

private:
    // Appends what the file holds next, inflated.
    void more()
    {
        if (!gzip_) {
            const QByteArray read = file_.read(Chunk);
            buffer_ += read;
            ended_ = read.isEmpty();
            if (ended_ && file_.error() != QFileDevice::NoError)
                error = file_.errorString();
            return;
        }
        if (z_.avail_in == 0) {
            in_ = file_.read(Chunk);
            z_.next_in = reinterpret_cast<Bytef *>(in_.data());
            z_.avail_in = uInt(in_.size());
            if (in_.isEmpty()) {
                error = QCoreApplication::translate("BdfFile", "The compressed file is cut short.");
                return;
            }
        }
        const qsizetype had = buffer_.size();
        buffer_.resize(had + Chunk);
        z_.next_out = reinterpret_cast<Bytef *>(buffer_.data() + had);
        z_.avail_out = uInt(Chunk);
        const int rc = inflate(&z_, Z_NO_FLUSH);
        buffer_.resize(buffer_.size() - z_.avail_out);
        if (rc == Z_STREAM_END)
            ended_ = true;
        else if (rc != Z_OK && rc != Z_BUF_ERROR)
            error = QCoreApplication::translate("BdfFile", "The compressed data is damaged.");
    }

    QFile &file_;
    bool gzip_ = false, ended_ = false;
    z_stream z_ {};
    QByteArray in_, buffer_;
    qsizetype from_ = 0;
};

// What a column of a table is read into: a field of the samples, or one of these.
enum Target : int { Seconds = FieldCount, UnixSeconds, StepCount, Derived, Unread };

struct Label {
    const char *text;
    int target;
    double scale = 1; // to seconds
    int rank = 0; // the lowest one counts where several columns hold one quantity
};

// The format's preferred labels and the alternatives it lists.
constexpr Label Labels[] = {
    { "Test Time / s", Seconds },
    { "test_time_second", Seconds },
    { "test_time_s", Seconds },
    { "Test Time / ms", Seconds, 1e-3 },
    { "test_time_millisecond", Seconds, 1e-3 },
    { "test_time_ms", Seconds, 1e-3 },
    { "Unix Time / s", UnixSeconds },
    { "unix_time_second", UnixSeconds },
    { "unix_time_s", UnixSeconds },
    { "Unix Time / ms", UnixSeconds, 1e-3 },
    { "unix_time_millisecond", UnixSeconds, 1e-3 },
    { "unix_time_ms", UnixSeconds, 1e-3 },
    { "Voltage / V", Bat_volt },
    { "voltage_volt", Bat_volt },
    { "voltage_v", Bat_volt },
    { "Current / A", Current },
    { "current_ampere", Current },
    { "current_a", Current },
    // The probe on the pack first; another program's table may have only the others.
    { "Surface Temperature T1 / degC", Ext_temp },
    { "temperature_t1_celsius", Ext_temp },
    { "temperature_t1_degc", Ext_temp },
    { "Surface Temperature / degC", Ext_temp, 1, 1 },
    { "surface_temperature_celsius", Ext_temp, 1, 1 },
    { "surface_temperature_degc", Ext_temp, 1, 1 },
    { "Ambient Temperature / degC", Ext_temp, 1, 2 },
    { "ambient_temperature_celsius", Ext_temp, 1, 2 },
    { "ambient_temperature_degc", Ext_temp, 1, 2 },
    { "Step Count / 1", StepCount },
    { "step_count", StepCount },
    { "step_count_1", StepCount },
    { "step_dimensionless", StepCount },
    // Worked out again from the samples.
    { "Cycle Count / 1", Derived },
    { "cycle_count", Derived },
    { "cycle_count_1", Derived },
    { "cycle_dimensionless", Derived },
    { "Charging Capacity / Ah", Derived },
    { "charging_capacity_ah", Derived },
    { "charging_capacity_ampere_hour", Derived },
    { "Discharging Capacity / Ah", Derived },
    { "discharging_capacity_ah", Derived },
    { "discharging_capacity_ampere_hour", Derived },
    { "Power / W", Derived },
    { "power_watt", Derived },
};

// The headers the metadata file beside `path` declares (a name with its unit, or a name alone);
// why it is not read, or "".
QString declaredIn(const QString &path, QSet<QString> &declared)
{
    QFile file;
    if (const QString why = openRegular(path, file); !why.isEmpty())
        return why;
    const QByteArray json = file.read(MaxMetadata + 1);
    if (json.size() > MaxMetadata)
        return QCoreApplication::translate("BdfFile", "It is larger than %1 bytes.")
            .arg(MaxMetadata);
    QJsonParseError e;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &e);
    if (e.error != QJsonParseError::NoError)
        return e.errorString();
    const QJsonArray list = doc[QLatin1String("battinfo_dataset")][QLatin1String("dataset")]
                               [QLatin1String("variable_measured")]
                                   .toArray();
    for (const QJsonValue &v : list) {
        const QString name = v[QLatin1String("name")].toString().trimmed();
        const QString unit = v[QLatin1String("unit_text")].toString().trimmed();
        if (!name.isEmpty() && !unit.isEmpty())
            declared << name << name + QStringLiteral(" / ") + unit;
    }
    return {};
}

// A field's text as a Fixed's raw value, doubled, plus one for a whole number; Missing when
// empty, none when it is no number in range.
constexpr qint64 Missing = std::numeric_limits<qint64>::min();

std::optional<double> numberIn(QByteArrayView text)
{
    bool ok = false;
    const double v = text.toByteArray().toDouble(&ok);
    // NaN and the infinities are out of range too.
    return ok && std::abs(v) < 1e12 ? std::optional(v) : std::nullopt;
}

QByteArrayView unquoted(QByteArrayView field)
{
    field = field.trimmed();
    return field.size() >= 2 && field.startsWith('"') && field.endsWith('"')
        ? field.sliced(1, field.size() - 2)
        : field;
}

} // namespace

QString bdfMetadataPath(const QString &path)
{
    QString base = path;
    for (const char *end : { ".gz", ".csv", ".bdf" })
        if (base.endsWith(QLatin1String(end), Qt::CaseInsensitive))
            base.chop(qsizetype(qstrlen(end)));
    return base + QStringLiteral(".bdf.metadata.json");
}

QString writeBdf(const QString &path, const Samples &samples, const QDateTime &start)
{
    const RunSummary summary = RunSummary::of(samples);
    const Phases phases = phasesOf(samples);
    const auto number = [&samples](int field) {
        return [&samples, field](qint64 r) {
            const Value v = samples.value(r, field);
            QByteArray out;
            if (v.number())
                v.appendText(out);
            return out;
        };
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
    if (phases.cycles > 1)
        columns.push_back(
            { "Cycle Count / 1", [&](qint64 r) { return QByteArray::number(phases.cycle[r]); } });
    if (phases.steps > 1)
        columns.push_back(
            { "Step Count / 1", [&](qint64 r) { return QByteArray::number(phases.step[r]); } });
    columns.push_back({ "Voltage / V", number(Bat_volt) });
    columns.push_back({ "Current / A", number(Current) });
    columns.push_back({ "Charging Capacity / Ah",
                        [&](qint64 r) { return fixed(summary.at(r).chargedMah / 1000, 6); } });
    columns.push_back({ "Discharging Capacity / Ah",
                        [&](qint64 r) { return fixed(summary.at(r).dischargedMah / 1000, 6); } });
    // The probe lies on the pack.
    columns.push_back({ "Surface Temperature T1 / degC", number(Ext_temp) });
    QJsonArray declared;
    for (const Custom &c : customs())
        for (qint64 r = 0; r < samples.count(); ++r)
            if (const auto v = samples.number(r, c.field);
                v && (*v != Fixed() || !c.zeroUnlessShown())) {
                columns.push_back({ c.header().toUtf8(), number(c.field) });
                declared.append(QJsonObject { { QStringLiteral("name"), c.name },
                                              { QStringLiteral("unit_text"), c.unit },
                                              { QStringLiteral("description"), c.description } });
                break;
            }
    const QJsonObject dataset {
        { QStringLiteral("description"),
          QStringLiteral("A run of a hobby battery charger. Current / A is positive while "
                         "charging and negative while discharging (positive = charge).") },
        { QStringLiteral("variable_measured"), declared },
    };
    const QByteArray metadataJson
        = QJsonDocument(QJsonObject { { QStringLiteral("battinfo_dataset"),
                                        QJsonObject { { QStringLiteral("dataset"), dataset } } } })
              .toJson();

    // Both files are written aside and take their names only once both are whole.
    // Unbuffered: a buffered write that the disk cuts short at the commit goes unnoticed.
    QSaveFile table(path), metadata(bdfMetadataPath(path));
    if (!table.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return table.errorString();
    const auto metadataFailed = [&metadata] {
        return QStringLiteral("%1: %2").arg(QFileInfo(metadata.fileName()).fileName(),
                                            metadata.errorString());
    };
    if (!metadata.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !writeWhole(metadata, metadataJson))
        return metadataFailed();
    Sink sink(table, path.endsWith(QStringLiteral(".gz"), Qt::CaseInsensitive));
    QByteArray out;
    bool written = true;
    for (qint64 row = -1; row < samples.count() && written; ++row) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0)
                out += ',';
            out += row < 0 ? columns[c].name : columns[c].value(row);
        }
        out += "\r\n";
        if (const bool last = row + 1 == samples.count(); out.size() >= 1024 * 1024 || last) {
            written = sink.write(out, last);
            out.resize(0);
        }
    }
    if (!written)
        return table.error() != QFileDevice::NoError
            ? table.errorString()
            : QCoreApplication::translate("BdfFile", "The table cannot be compressed.");
    if (!metadata.commit())
        return metadataFailed();
    if (!table.commit()) {
        QFile::remove(metadata.fileName()); // no declarations without their table
        return table.errorString();
    }
    return {};
}

BdfRead readBdf(const QString &path)
{
    BdfRead read;
    const auto refuse = [&read](const QString &why) {
        read = BdfRead();
        read.error = why;
        return read;
    };
    QFile file;
    if (const QString why = openRegular(path, file); !why.isEmpty())
        return refuse(why);
    Lines lines(file);
    QByteArrayView line;
    if (!lines.next(line))
        return refuse(lines.error.isEmpty()
                          ? QCoreApplication::translate("BdfFile", "The file is empty.")
                          : lines.error);
    QString header = QString::fromUtf8(line);
    if (line.contains('\0') || header.contains(QChar::ReplacementCharacter))
        return refuse(QCoreApplication::translate("BdfFile", "The file is not text."));
    if (header.startsWith(QChar::ByteOrderMark))
        header.remove(0, 1);

    // What each column is read into.
    QSet<QString> declared;
    const QString metadataName = QFileInfo(bdfMetadataPath(path)).fileName();
    if (QFileInfo::exists(bdfMetadataPath(path)))
        if (const QString why = declaredIn(bdfMetadataPath(path), declared); !why.isEmpty())
            read.skipped << notRead(metadataName, why);
    QStringList names;
    for (const QString &n : header.split(QLatin1Char(',')))
        names << QString::fromUtf8(unquoted(n.toUtf8()));
    struct Column {
        int target = Unread;
        double scale = 1;
        int rank = 0;
    };
    std::vector<Column> columns(names.size());
    QHash<int, qsizetype> chosen; // the column each quantity is read from
    for (qsizetype i = 0; i < names.size(); ++i) {
        Column c;
        for (const Label &l : Labels)
            if (names[i].compare(QLatin1String(l.text), Qt::CaseInsensitive) == 0)
                c = { l.target, l.scale, l.rank };
        bool undeclared = false;
        for (const Custom &custom : customs())
            if (names[i] == custom.header()) {
                undeclared = !declared.contains(names[i]);
                c.target = undeclared ? Unread : custom.field;
            }
        if (c.target == Unread) {
            read.skipped << (undeclared ? notRead(
                                 QStringLiteral("\"%1\"").arg(names[i]),
                                 QCoreApplication::translate("BdfFile", "%1 does not declare it.")
                                     .arg(metadataName))
                                        : QCoreApplication::translate("BdfFile",
                                                                      "Column \"%1\" is not read.")
                                              .arg(names[i]));
            continue;
        }
        columns[i] = c;
        if (c.target == Derived)
            continue;
        // Of two columns of one quantity the better ranked counts, else the first.
        const auto had = chosen.constFind(c.target);
        if (had != chosen.cend()) {
            const auto [keep, drop]
                = columns[*had].rank <= c.rank ? std::pair(*had, i) : std::pair(i, *had);
            columns[drop].target = Unread;
            read.skipped << notRead(
                QStringLiteral("\"%1\"").arg(names[drop]),
                QCoreApplication::translate("BdfFile", "\"%1\" holds the same.").arg(names[keep]));
            chosen[c.target] = keep;
        } else {
            chosen[c.target] = i;
        }
    }
    if (!chosen.contains(Seconds) && !chosen.contains(UnixSeconds))
        return refuse(QCoreApplication::translate("BdfFile", "The file has no %1 column.")
                          .arg(QStringLiteral("Test Time / s")));
    for (const auto &[field, label] :
         { std::pair(int(Bat_volt), "Voltage / V"), std::pair(int(Current), "Current / A") })
        if (!chosen.contains(field))
            return refuse(QCoreApplication::translate("BdfFile", "The file has no %1 column.")
                              .arg(QLatin1String(label)));
    if (!chosen.contains(Ext_temp))
        read.skipped << QCoreApplication::translate(
            "BdfFile", "The file has no temperature column: the temperature reads 0.");

    // The rows, kept as numbers: a Fixed's raw value doubled, plus one for a whole number.
    std::vector<double> seconds;
    std::vector<qint64> steps, values;
    std::optional<std::pair<std::size_t, double>> firstUnix; // a row and its Unix time
    const int timeColumn = int(chosen.value(Seconds, chosen.value(UnixSeconds)));
    while (lines.next(line)) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.contains('\0'))
            return refuse(QCoreApplication::translate("BdfFile", "The file is not text."));
        const QList<QByteArrayView> fields = [&line] {
            QList<QByteArrayView> f;
            for (qsizetype from = 0;;) {
                const qsizetype comma = line.indexOf(',', from);
                f << line.sliced(from, (comma < 0 ? line.size() : comma) - from);
                if (comma < 0)
                    return f;
                from = comma + 1;
            }
        }();
        if (fields.size() != qsizetype(columns.size())) {
            read.skipped << QCoreApplication::translate(
                                "BdfFile", "Line %1 is not read: it has %2 fields, the header %3.")
                                .arg(lines.number)
                                .arg(fields.size())
                                .arg(columns.size());
            continue;
        }
        if (qint64(seconds.size()) >= MaxRows)
            return refuse(
                QCoreApplication::translate("BdfFile", "The file holds more than %1 samples.")
                    .arg(MaxRows));
        const qsizetype at = qsizetype(values.size());
        values.resize(values.size() + FieldCount, Missing);
        steps.push_back(0);
        seconds.push_back(0);
        for (qsizetype i = 0; i < fields.size(); ++i) {
            const Column &c = columns[i];
            if (c.target >= Derived)
                continue;
            const QByteArrayView text = unquoted(fields[i]);
            const bool needed = i == timeColumn || c.target == Bat_volt;
            if (text.isEmpty() && !needed)
                continue;
            const auto v = numberIn(text);
            if (!v)
                return refuse(
                    text.isEmpty()
                        ? QCoreApplication::translate("BdfFile", "Line %1 has no value in %2.")
                              .arg(lines.number)
                              .arg(names[i])
                        : QCoreApplication::translate("BdfFile",
                                                      "Line %1: \"%2\" in %3 is not a number.")
                              .arg(lines.number)
                              .arg(QString::fromUtf8(
                                       text.first(std::min<qsizetype>(text.size(), 40))),
                                   names[i]));
            if (i == timeColumn)
                seconds.back() = *v * c.scale;
            if (c.target == UnixSeconds && !firstUnix)
                firstUnix = { seconds.size() - 1, *v * c.scale };
            else if (c.target == StepCount)
                steps.back() = qint64(*v);
            else if (c.target < FieldCount) {
                const bool whole
                    = !text.contains('.') && !text.contains('e') && !text.contains('E');
                values[at + c.target] = Fixed::fromDouble(*v).raw() * 2 + (whole ? 1 : 0);
            }
        }
    }
    if (!lines.error.isEmpty())
        return refuse(lines.error);
    if (seconds.empty())
        return refuse(QCoreApplication::translate("BdfFile", "The file holds no samples."));

    // The samples, their time of day going on from the start.
    if (firstUnix) {
        const auto [row, unixTime] = *firstUnix;
        read.start = QDateTime::fromMSecsSinceEpoch(
            qint64(std::llround((unixTime - seconds[row] + seconds[0]) * 1000)));
    }
    const double startOfDay
        = read.start.isValid() ? read.start.time().msecsSinceStartOfDay() / 1e3 : 0;
    const auto valueAt = [&values](std::size_t row, int field) -> Value {
        const qint64 v = values[row * FieldCount + field];
        if (v == Missing)
            return {};
        const Fixed f = Fixed::fromRaw(v >> 1);
        return v & 1 ? Value(f.roundedHalfEven()) : Value(f);
    };
    const auto amps = [&](std::size_t row) { return valueAt(row, Current).number(); };
    double mah = 0;
    const QString *mode = nullptr;
    for (std::size_t r = 0; r < seconds.size(); ++r) {
        // Each step is in the direction its current first shows, and idle when it shows none;
        // the charger's own mode is what the table does not carry.
        if (r == 0 || steps[r] != steps[r - 1]) {
            mode = &idleText();
            for (std::size_t s = r; s < seconds.size() && steps[s] == steps[r]; ++s)
                if (const auto a = amps(s); a && *a != Fixed()) {
                    mode = *a > Fixed() ? &chargingText() : &dischargingText();
                    break;
                }
        }
        ChannelReading reading;
        reading[Time] = DayTime { (startOfDay + seconds[r] - seconds[0]) / 86400 };
        for (int f : { int(Bat_volt), int(Current), int(Ext_temp), int(In_Volt), int(Cap) })
            reading[f] = valueAt(r, f);
        for (const Custom &c : customs())
            if (c.zeroUnlessShown())
                reading[c.field] = chosen.contains(c.field) ? valueAt(r, c.field) : zeroOf(c.field);
        if (!chosen.contains(Ext_temp))
            reading[Ext_temp] = qint64(0);
        const std::optional<Fixed> a = amps(r);
        if (a && *a != Fixed())
            mode = *a > Fixed() ? &chargingText() : &dischargingText();
        if (a)
            reading[Chg] = *mode;
        if (!chosen.contains(Cap)) { // the charge moved either way so far, as a charger counts it
            if (r > 0)
                mah += (std::abs(amps(r - 1).value_or(Fixed()).toDouble())
                        + std::abs(a.value_or(Fixed()).toDouble()))
                    / 2 * (seconds[r] - seconds[r - 1]) / 3.6;
            reading[Cap] = qint64(std::llround(mah));
        }
        const std::optional<Fixed> volts = reading[Bat_volt].number();
        reading[Power] = power(a.value_or(Fixed()), volts.value_or(Fixed()));
        read.samples.append(reading);
    }
    return read;
}
