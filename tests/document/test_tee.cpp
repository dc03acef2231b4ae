#include "document/axis_rules.h"
#include "document/cross_line.h"
#include "document/live_sample.h"
#include "document/run_file.h"
#include "document/run_saver.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/qt_tool.h"
#include "platform/sample_table.h"
#include "support/fake_clock.h"
#include "support/fake_document_host.h"
#include "support/readings.h"

#include <qcustomplot.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QMdiArea>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr double Day = 86400.0;

// A mouse event on the plot as the desktop delivers it.
void mouse(tee *doc, QEvent::Type type, QPoint at, Qt::MouseButtons held = {},
           Qt::KeyboardModifiers keys = {})
{
    QWidget *plot = doc->chart().plot();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, plot->mapToGlobal(at), button, held, keys);
    QCoreApplication::sendEvent(plot, &event);
}

// A click on the tool `name` while `doc` is the active chart window.
void command(tee *doc, const QString &name)
{
    ToolSpec spec;
    spec.name = name;
    QtTool tool(QString(), spec);
    doc->CommandHandler(tool);
}
} // namespace

class TestTee : public QObject {
    Q_OBJECT
    FakeDocumentHost *host = nullptr;
    QMdiArea *area = nullptr;

    // A live chart window that has had `samples` samples a second apart.
    tee *newLive(int samples = 0, const QString &caption = QStringLiteral("CH1 Chart 1 >>Live<<"))
    {
        auto *doc = new tee(*host);
        area->addSubWindow(doc);
        doc->InitDoc(nullptr, caption, true);
        for (int i = 0; i < samples; ++i)
            feed(doc, 1);
        return doc;
    }
    // One live sample `seconds` after the previous one; the run goes on.
    void feed(tee *doc, double seconds, ChannelReading r = reading(100))
    {
        host->fakeClock.advanceSeconds(seconds);
        QVERIFY(doc->Proc(r, false));
    }
    // Saves `doc`, answering the file dialog with `path`, and waits until the save has ended.
    void save(tee *doc, const QString &path)
    {
        host->scripted.fileAnswers << path;
        doc->DBSave();
        QTRY_VERIFY(!doc->findChild<RunFile::Saver *>());
    }

private slots:
    void init()
    {
        CrossLineFlag = false;
        host = new FakeDocumentHost;
        area = new QMdiArea; // on screen, for the mouse
        area->resize(1000, 700);
        area->show();
    }
    void cleanup()
    {
        host->closing = true;
        delete area;
        delete host;
    }

    void oneRowASecondOnPastMidnight()
    {
        host->fakeClock = FakeClock(QDateTime(QDate(2026, 12, 6), QTime(23, 59, 57, 500)));
        tee *doc = newLive();
        feed(doc, 0.4); // the creation second
        QCOMPARE(doc->RtnGridRows(), 1);
        feed(doc, 0.6); // the next second, twice
        feed(doc, 0.3);
        QCOMPARE(doc->RtnGridRows(), 2);
        for (int i = 0; i < 4; ++i)
            feed(doc, 1);
        QCOMPARE(doc->RtnGridRows(), 6);
        QCOMPARE(doc->table().cell(5, 0), QStringLiteral("00:00:05"));
    }

    void rowTextsAndRewrittenReading()
    {
        tee *doc = newLive();
        host->fakeClock.advanceSeconds(3);
        ChannelReading r = reading(1234, 4, -Fixed::fromHundredths(155));
        QVERIFY(doc->Proc(r, false));
        const QStringList row = doc->table().rowTexts(1);
        QCOMPARE(row.mid(0, 11),
                 QStringList({ "00:00:03", "LiIo/Po/Fe", "+CHG+", "25", "0", "12.00", "16.80",
                               "-1.55", "1234", "33.60", "4.20" }));
        QCOMPARE(QStringList({ r[Time].text(), r[Current].text() }),
                 QStringList({ "00:00:03", "-1.55" }));
        QCOMPARE(doc->chart().valueExtremes(Chart::Current)->max, 1.55);
    }

    void liveSamples_data()
    {
        QTest::addColumn<qint64>("gap");
        QTest::addColumn<std::optional<Fixed>>("capacity");
        QTest::addColumn<LiveSample>("fate");
        const std::optional<Fixed> last = Fixed::fromWhole(100);
        QTest::newRow("same second") << qint64(0) << last << LiveSample::Skip;
        QTest::newRow("1 s") << qint64(1) << last << LiveSample::Row;
        QTest::newRow("7 s") << qint64(7) << last << LiveSample::Row;
        QTest::newRow("8 s") << qint64(8) << last << LiveSample::End;
        QTest::newRow("capacity up")
            << qint64(1) << std::optional(Fixed::fromWhole(101)) << LiveSample::Row;
        QTest::newRow("capacity back a little")
            << qint64(1) << std::optional(Fixed::fromHundredths(9999)) << LiveSample::End;
        QTest::newRow("capacity back, same second")
            << qint64(0) << std::optional(Fixed::fromWhole(99)) << LiveSample::End;
        QTest::newRow("no capacity") << qint64(1) << std::optional<Fixed>() << LiveSample::Row;
    }
    void liveSamples()
    {
        QFETCH(qint64, gap);
        QFETCH(std::optional<Fixed>, capacity);
        QFETCH(LiveSample, fate);
        QCOMPARE(liveSample(gap, capacity, 100), fate);
    }

    void titleLineFromTheFirstSample_data()
    {
        QTest::addColumn<int>("cells");
        QTest::addColumn<QString>("start");
        QTest::newRow("four cells") << 4 << "LiIo/Po/Fe/+CHG+  S4  @CH1  ";
        QTest::newRow("no cells") << 0 << "LiIo/Po/Fe/+CHG+    @CH1  ";
    }
    void titleLineFromTheFirstSample()
    {
        QFETCH(int, cells);
        QFETCH(QString, start);
        tee *doc = newLive();
        feed(doc, 1, reading(10, cells));
        QVERIFY(doc->chart().titleLine().startsWith(start));
        QVERIFY(doc->chart().titleLine().endsWith(QStringLiteral("10:00:01")));
        const QString connected = "Communication connected.Now receive data from charger.";
        QCOMPARE(host->messages.count(connected), 1);
        feed(doc, 1);
        QCOMPARE(host->messages.count(connected), 1);
    }

    void timeAxisGrowsInTwoMinuteSteps()
    {
        tee *doc = newLive(60);
        QCOMPARE(doc->chart().timeRange().max * Day, 120.0); // 120 - 60 is not below 60
        feed(doc, 1);
        QCOMPARE(qRound(doc->chart().timeRange().max * Day), 240);
        QCOMPARE(qRound(doc->chart().timeRange().min * Day), 1); // follows the first point
    }

    void rescaleRules_data()
    {
        QTest::addColumn<int>("series");
        QTest::addColumn<QList<double>>("ranges"); // the values' min and max, then the axis's
        const auto row = [](const char *tag, Chart::Series series, QList<double> ranges) {
            QTest::newRow(tag) << int(series) << ranges;
        };
        row("voltage", Chart::Voltage, { 11, 16.8, 10.8, 17.1 });
        row("voltage near zero", Chart::Voltage, { 0.1, 0.5, 0, 0.8 });
        row("voltage all zero", Chart::Voltage, { 0, 0, 0, 0 });
        row("current", Chart::Current, { 0, 2, 0, 2.2 });
        row("current zero", Chart::Current, { 0, 0, 0, 0 });
        row("capacity", Chart::Capacity, { 0, 1000, 0, 1205 });
        row("temperature", Chart::Temperature, { 20, 180, 0, 100 });
    }
    void rescaleRules()
    {
        QFETCH(int, series);
        QFETCH(QList<double>, ranges);
        const Chart::Range r = AxisRules::rescaled(series, Chart::Range { ranges[0], ranges[1] });
        QCOMPARE(r.min, ranges[2]);
        QCOMPARE(r.max, ranges[3]);
    }

    void onlyAnEndedRunCloses()
    {
        tee *doc = newLive(1, QStringLiteral("CH2 Chart 2 >>Live<<"));
        QVERIFY(!doc->close());
        QCOMPARE(host->messages.last(), QStringLiteral("Is working ......   Can't be closed."));
        doc->deCaption();
        QCOMPARE(doc->caption(), QStringLiteral("CH2 Chart 2 END"));
        QCOMPARE(host->messages.last(), QStringLiteral("CH2 Completed. You can save it now."));
        QVERIFY(!doc->isLive() && doc->close());

        // An opened run named like a live one keeps its path; a path with "Live" is no live one.
        tee *opened = newLive(0, QStringLiteral("/runs/x >>Live<<"));
        opened->deCaption();
        QCOMPARE(opened->caption(), QStringLiteral("/runs/x >>Live<<"));
        QCOMPARE(host->messages.last(), QStringLiteral("/runCompleted. You can save it now."));
        QVERIFY(newLive(0, QStringLiteral("/home/me/Live runs/a.mdb"))->close());
    }

    void replayedRows()
    {
        tee *doc = newLive(0, QStringLiteral("/runs/a.mdb"));
        doc->RePaint(true);
        ChannelReading r = reading(500);
        r[Time] = DayTime { 61 / Day };
        r[Current] = Value(); // idle: no current
        QVERIFY(!doc->Proc(r, true));
        QCOMPARE(doc->table().cell(1, 0), QStringLiteral("00:01:01"));
        QCOMPARE(doc->table().cell(1, 7), QString());
        QVERIFY(doc->chart().titleLine().contains(QStringLiteral("@/ru")));
        QVERIFY(doc->procFailure().isEmpty());

        r = reading(500);
        r[Time] = DayTime { 62 / Day };
        r[Bat_volt] = Value();
        QVERIFY(!doc->Proc(r, true));
        QVERIFY(doc->procFailure().contains(QStringLiteral("Bat_volt")));
        QCOMPARE(doc->RtnGridRows(), 2);
        QCOMPARE(doc->chart().pointCount(Chart::Voltage), 1);
        doc->RePaint(false);
        QCOMPARE(doc->chart().valueRange(Chart::Voltage).max, 16.8 + 0.3);
        QVERIFY(doc->chart().subtitleLine().startsWith(QStringLiteral("0:00:00  Charged 0 mAh")));
    }

    void summaryLineFollowsTheLiveRun()
    {
        tee *doc = newLive();
        for (int i = 0; i < 3; ++i)
            feed(doc, 1, reading(100 + i));
        const QString line = QStringLiteral(
            "0:00:02  Charged 1 mAh 0.02 Wh  Avg 2.00 A  Peak 2.00 A  Ext max 25.0℃  "
            "Int max 0.0℃  16.80→16.80 V  Cell spread 0.00 V @0:00:01");
        QCOMPARE(doc->chart().subtitleLine(), line);
        QCOMPARE(RunSummary::of(doc->table()).line(), line);

        command(doc, "Summary");
        QCOMPARE(doc->chart().subtitleLine(), QString());
        command(doc, "Summary");
        QCOMPARE(doc->chart().subtitleLine(), line);
    }

    void resetKeepsCaptionAndEmptiesTheRecord()
    {
        tee *doc = newLive(1);
        doc->ChartTitle(QStringLiteral("pack 7"));
        doc->reset();
        QCOMPARE(doc->RtnGridRows(), 1);
        QCOMPARE(doc->documentTitle(), QString());
        QCOMPARE(doc->chart().pointCount(Chart::Capacity), 0);
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 >>Live<<"));
    }

    void saveRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pack.mdb"));
        tee *doc = newLive(1);
        feed(doc, 1, reading(101, 3, Value())); // idle

        // Written on a thread of its own from the rows as they were: the live run goes on.
        host->scripted.fileAnswers << path;
        doc->DBSave();
        QVERIFY(host->messages.filter("Chart was save").isEmpty());
        feed(doc, 1, reading(102));
        RunFile::Saver::finishAll(); // as the program does before it ends
        QVERIFY(QFileInfo::exists(path));
        QTRY_COMPARE(host->messages.last(), QStringLiteral("Chart was save at %1 .").arg(path));
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 >>Live<<")); // still recording
        QVERIFY(QFileInfo(path).permission(QFileDevice::ReadOther)); // not a private temporary

        RunFile::Reader reader;
        QVERIFY(reader.open(path));
        QCOMPARE(reader.title(), doc->documentTitle());
        ChannelReading row;
        for (qint64 r = 1; r <= 2; ++r) {
            QVERIFY(reader.next(row));
            QCOMPARE(texts(row), doc->table().rowTexts(r));
        }
        QVERIFY(row[Current].isEmpty());
        QVERIFY(!reader.next(row));

        // The second save asks before replacing; Cancel keeps everything as it was.
        doc->deCaption();
        host->scripted.messageAnswers << Dialogs::Answer::Cancel;
        save(doc, path);
        QCOMPARE(host->scripted.asked.last().text, "Database already exist,overwriter it?");
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 END"));
        save(doc, path);
        QCOMPARE(std::prev(host->scripted.asked.cend(), 2)->fileName, path); // offered again
        QCOMPARE(doc->caption(), path); // an ended run takes its file's name
        QCOMPARE(host->scripted.fileName(), QString());
    }

    // A cancelled dialog does nothing; a failure says where and why, and nothing else changes.
    void unwritablePath_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::newRow("save") << "Save";
        QTest::newRow("export") << "Export";
    }
    void unwritablePath()
    {
        QFETCH(QString, tool);
        tee *doc = newLive(1);
        doc->deCaption();
        const qsizetype before = host->messages.size();
        command(doc, tool);
        QCOMPARE(host->scripted.asked.last().kind, QStringLiteral("save"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/run"));
        host->scripted.fileAnswers << path;
        command(doc, tool);
        QTRY_VERIFY(!doc->findChild<RunFile::Saver *>());
        const ScriptedDialogs::Asked asked = host->scripted.asked.last();
        QCOMPARE(asked.title, QStringLiteral("Notice"));
        QVERIFY(asked.text.contains(path + "\r\n") && !asked.text.endsWith("\r\n"));
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 END"));
        QCOMPARE(host->messages.size(), before);
    }

    void titleCommand_data()
    {
        QTest::addColumn<bool>("sampled");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("answer");
        QTest::newRow("no title, cancelled") << false << true << "";
        QTest::newRow("first-sample line, empty answer") << true << false << "";
        QTest::newRow("answered") << true << false << "6S \"Pack\", spare";
    }
    void titleCommand()
    {
        QFETCH(bool, sampled);
        QFETCH(bool, cancel);
        QFETCH(QString, answer);
        tee *doc = newLive(sampled ? 2 : 0);
        const QString line = doc->chart().titleLine();
        const QString title = doc->documentTitle();
        QCOMPARE(title, sampled ? line + "\r\n" : QString());
        host->scripted.inputAnswers << (cancel ? std::nullopt : std::optional(answer));
        command(doc, "Title");
        QCOMPARE(host->scripted.asked.last().defaultText, line);
        QCOMPARE(doc->documentTitle(), answer.isEmpty() ? title : answer);
        QCOMPARE(doc->chart().titleLine(), answer.isEmpty() ? line : answer);
    }

    void crossLineSearch_data()
    {
        QTest::addColumn<QList<double>>("times");
        QTest::addColumn<double>("t");
        QTest::addColumn<int>("sample"); // -1: none
        const QList<double> run = { 1, 2, 3, 5, 8 };
        QTest::newRow("before the first") << run << 0.5 << 0;
        QTest::newRow("the first") << run << 1.0 << 0;
        QTest::newRow("between two") << run << 4.0 << 3;
        QTest::newRow("the last") << run << 8.0 << 4;
        QTest::newRow("after the last") << run << 8.5 << -1;
        QTest::newRow("no samples") << QList<double>() << 1.0 << -1;
        // Equal times tell which middle the search takes: 1.5 and 2.5 both round to 2.
        QTest::newRow("four equal") << QList<double>(4, 2.0) << 2.0 << 2;
        QTest::newRow("six equal") << QList<double>(6, 2.0) << 2.0 << 2;
    }
    void crossLineSearch()
    {
        QFETCH(QList<double>, times);
        QFETCH(double, t);
        QFETCH(int, sample);
        const auto found
            = CrossLine::sampleAt(times.size(), t, [&times](qsizetype i) { return times[i]; });
        QCOMPARE(found.value_or(-1), sample);
    }

    void crossLineReadsWhileAButtonIsHeld()
    {
        tee *doc = newLive(1);
        ChannelReading idle = reading(101, 3, Value());
        idle[Type] = " NiMH ";
        feed(doc, 1, idle);
        feed(doc, 1, reading(102));
        doc->chart().redrawNow();
        host->shown.clear();
        const QPoint at(qRound(doc->chart().plot()->xAxis->coordToPixel(1.6)), 100);

        mouse(doc, QEvent::MouseMove, at);
        QVERIFY(!doc->chart().crossHairShown());
        QVERIFY(host->shown.isEmpty());
        mouse(doc, QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(doc, QEvent::MouseMove, at, Qt::LeftButton);
        QVERIFY(doc->chart().crossHairShown());
        QCOMPARE(host->shown.size(), 1);
        // the sample after the cursor; idle, its missing current reads as 0
        const ChannelReading &r = host->shown.last();
        QCOMPARE(QList<Value>({ r[Time], r[Type], r[Current], r[Bat_volt], r[C1 + 2] }),
                 QList<Value>({ "00:00:02", "NiMH", Fixed(), Fixed::fromHundredths(1680),
                                Fixed::fromHundredths(420) }));
        mouse(doc, QEvent::MouseMove, at + QPoint(0, 30), Qt::LeftButton); // the same sample
        QCOMPARE(host->shown.size(), 1);

        feed(doc, 1, reading(103)); // live samples leave the panel to the read-out
        QCOMPARE(host->shown.size(), 1);
        mouse(doc, QEvent::MouseButtonRelease, at);
        feed(doc, 1, reading(104));
        QCOMPARE(host->shown.size(), 2);
        CrossLineFlag = true; // as with "CrossLine" checked: the read-out takes the panel back
        mouse(doc, QEvent::MouseMove, at);
        QCOMPARE(host->shown.size(), 3);
        CrossLineFlag = false;
        mouse(doc, QEvent::MouseMove, at);
        QVERIFY(!doc->chart().crossHairShown());
        QCOMPARE(host->shown.size(), 3);
    }

    // Only the strips under the lines are redrawn: where the cross-hair was, the chart is as
    // before; where it is, it shows.
    void movedCrossHairLeavesNoTrace()
    {
        tee *doc = newLive(3);
        QCustomPlot *plot = doc->chart().plot();
        doc->chart().redrawNow();
        const QImage before = plot->grab().toImage();
        const QRect in = plot->axisRect()->rect();
        const QPoint from = in.center() - QPoint(100, 50), to = in.center() + QPoint(100, 50);
        CrossLineFlag = true;
        mouse(doc, QEvent::MouseMove, from);
        mouse(doc, QEvent::MouseMove, to);
        const QImage after = plot->grab().toImage();
        for (const QPoint &at : { QPoint(from.x(), in.top() + 5), QPoint(in.left() + 5, from.y()) })
            QCOMPARE(after.pixel(at), before.pixel(at));
        QVERIFY(after.pixel(to.x(), in.top() + 5) != before.pixel(to.x(), in.top() + 5));
    }

    void twoPointReadout_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("label");
        QTest::newRow("later") << 0 << 2 << "Δt 0:00:02\nΔV +0.50\nΔA +10.00\nΔmAh +14\nΔWh +0.226";
        QTest::newRow("earlier") << 2 << 0
                                 << "Δt -0:00:02\nΔV -0.50\nΔA -10.00\nΔmAh -14\nΔWh -0.226";
        QTest::newRow("itself") << 1 << 1 << "Δt 0:00:00\nΔV 0.00\nΔA 0.00\nΔmAh 0\nΔWh 0.000";
    }
    void twoPointReadout()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, label);
        tee *doc = newLive();
        for (int i = 0; i < 3; ++i) { // at 1, 2 and 3 s
            ChannelReading r = reading(100 + i, 4, Fixed::fromHundredths(2000 + 500 * i));
            r[Bat_volt] = Fixed::fromHundredths(QList { 1600, 1620, 1650 }[i]);
            feed(doc, 1, r);
        }
        Chart &chart = doc->chart();
        chart.redrawNow();
        const auto at
            = [&](int i) { return QPoint(chart.plot()->xAxis->coordToPixel(i + 0.7), 99); };
        const auto hover = [&](int i) {
            CrossLineFlag = true; // as with "CrossLine" checked
            mouse(doc, QEvent::MouseMove, at(i));
        };
        const auto shiftClick = [&](int i) {
            mouse(doc, QEvent::MouseButtonPress, at(i), Qt::LeftButton, Qt::ShiftModifier);
            mouse(doc, QEvent::MouseButtonRelease, at(i), {}, Qt::ShiftModifier);
        };
        hover(from);
        shiftClick(from);
        QCOMPARE(chart.referenceTime(), (from + 1) / Day);
        hover(to);
        QCOMPARE(chart.crossHairLabel(), label);
        QCOMPARE(host->shown.last()[Time], Value(QStringLiteral("00:00:0%1").arg(to + 1)));
        shiftClick(to);
        hover(to);
        QVERIFY(!chart.referenceTime());
        QCOMPARE(chart.crossHairLabel(), QString());
    }

    // A run file keeps times of day; a run past midnight twice reads its own rows all along.
    void openedRunPastMidnightTwice()
    {
        tee *doc = newLive(0, QStringLiteral("/runs/long.mdb"));
        for (qint64 s = 0; s <= 26 * 3600; s += 600) {
            ChannelReading r = daySample(s);
            r[Time] = DayTime { (s % 86400) / Day };
            doc->Proc(r, true);
        }
        doc->RePaint(false);
        Chart &chart = doc->chart();
        chart.redrawNow();
        const auto at = [&](double seconds) { // a little before the sample
            return QPoint(qRound(chart.plot()->xAxis->coordToPixel(seconds - 200)), 99);
        };
        CrossLineFlag = true;
        mouse(doc, QEvent::MouseMove, at(3600));
        QCOMPARE(host->shown.last()[Cap], Value(Fixed::fromHundredths(180000)));
        mouse(doc, QEvent::MouseButtonPress, at(3600), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(chart.referenceTime(), 3600 / Day);
        mouse(doc, QEvent::MouseMove, at(25 * 3600));
        QCOMPARE(host->shown.last()[Cap], Value(Fixed::fromHundredths(4500000)));
        QVERIFY(chart.crossHairLabel().startsWith(QStringLiteral("Δt 24:00:00\n")));
    }

    void doubleClickShowsTheChartAloneAndBack()
    {
        tee *doc = newLive();
        QWidget *chart = &doc->chart();
        mouse(doc, QEvent::MouseButtonDblClick, QPoint(50, 50), Qt::LeftButton);
        QVERIFY(chart->isWindow() && chart->isFullScreen());
        QVERIFY(!doc->isVisible());
        mouse(doc, QEvent::MouseButtonDblClick, QPoint(50, 50), Qt::LeftButton);
        QCOMPARE(doc->widget(), chart);
        QVERIFY(doc->isVisible());
        QCOMPARE(host->cascades, 1);
    }

    void exportRoundTrip()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 reads the file back");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.csv"));
        tee *doc = newLive(1);
        // A quote alone needs quoting as much as a comma does.
        for (const char *type : { "\"AGM\" Pb 6V", "Pb, 6V" }) {
            ChannelReading odd = reading(101, 3, Value());
            odd[Type] = type;
            feed(doc, 1, odd);
        }
        host->scripted.fileAnswers << QStringLiteral("a.mdb") << path;
        host->scripted.openFile({}, {}, {}); // a run file's name, remembered
        command(doc, "Export");
        QCOMPARE(host->scripted.asked.last().fileName, QString()); // offers no name
        QCOMPARE(host->scripted.fileName(), QStringLiteral("a.mdb")); // nor drops the run file's
        QCOMPARE(host->messages.last(), "CSV file was exported in folder:" + dir.path());

        const char *script = "import csv,json,sys; print(json.dumps(list(csv.reader("
                             "open(sys.argv[1], newline='', encoding='utf-8')))))";
        QProcess reader;
        reader.start(python, { "-c", script, path });
        QVERIFY(reader.waitForFinished());
        const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), doc->RtnGridRows());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n')); // spreadsheets want CRLF
        for (int r = 0; r < rows.size(); ++r)
            QCOMPARE(QVariant(rows[r].toArray().toVariantList()).toStringList(),
                     doc->table().rowTexts(r));
    }

    void copyAndPrintDrawVectors()
    {
        QTemporaryDir dir;
        host->recordingPrinter.pdfPath = dir.filePath(QStringLiteral("chart.pdf"));
        tee *doc = newLive(1);
        command(doc, "Copy");
        const QMimeData *data = host->recordingClipboard.data.get();
        QVERIFY(data && data->data(QStringLiteral("image/svg+xml")).contains("<svg"));
        QVERIFY(!qvariant_cast<QImage>(data->imageData()).isNull());
        QCOMPARE(host->messages.last(), "Chart was copyed to Clipboard as a  Metafile.");

        command(doc, "Print"); // with small margins
        QCOMPARE(host->recordingPrinter.margins, QList<double> { 1.0 });
        QFile pdf(host->recordingPrinter.pdfPath);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.size() > 1000);
        QVERIFY(!bytes.contains("/Subtype /Image"));
    }
};

QTEST_MAIN(TestTee)
#include "test_tee.moc"
