#include "document/axis_rules.h"
#include "document/cross_line.h"
#include "document/run_saver.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/qt_tool.h"
#include "run/bdf_file.h"
#include "run/run.h"
#include "run/run_file.h"
#include "run/run_title.h"
#include "support/fake_document_host.h"
#include "support/files.h"
#include "support/readings.h"

#include <qcustomplot.h>

#include <QPainter>
#include <QtTest>
#include <QtWidgets>

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

// The point on the plot over `seconds` of the time axis.
QPoint over(tee *doc, double seconds)
{
    return QPoint(qRound(doc->chart().plot()->xAxis->coordToPixel(seconds)), 99);
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

    // A chart window, opened from a file named `caption`.
    tee *newOpened(const QString &caption)
    {
        auto *doc = new tee(*host);
        area->addSubWindow(doc);
        doc->InitDoc(nullptr, caption, true);
        return doc;
    }

private slots:
    void init()
    {
        host = new FakeDocumentHost;
        area = new QMdiArea; // on screen, for the mouse
        area->resize(1000, 700);
        area->show();
    }
    void cleanup()
    {
        delete area;
        delete host;
    }

    void rescaleRules()
    {
        // The series, then the values' min and max.
        const QList<double> cases
            = { Chart::Voltage,     11, 16.8, Chart::Voltage, 0.1, 0.5, Chart::Voltage,  0, 0,
                Chart::Current,     0,  2,    Chart::Current, 0,   0,   Chart::Capacity, 0, 1000,
                Chart::Temperature, 20, 180 };
        QStringList axes;
        for (qsizetype i = 0; i < cases.size(); i += 3) {
            const Chart::Range r
                = AxisRules::rescaled(int(cases[i]), Chart::Range { cases[i + 1], cases[i + 2] });
            axes << QStringLiteral("%1..%2").arg(r.min).arg(r.max);
        }
        QCOMPARE(axes.join(' '), "10.8..17.1 0..0.8 0..0 0..2.2 0..0 0..1205 0..100");
    }

    // Readings lost on the way from a watched station break the lines; the cross line still
    // reads each sample.
    void gap()
    {
        const auto run
            = std::make_shared<Run>(QStringLiteral("pit-2 CH1 Chart 1"), host->fakeClock);
        run->goLive(1, {});
        tee *doc = newOpened(run->name());
        doc->showRun(run);
        for (int s : { 1, 2, 30, 31 }) {
            ChannelReading r = reading(100 + s);
            r[Time] = DayTime { s / 86400.0 };
            run->relay(r);
        }
        Chart &chart = doc->chart();
        QCOMPARE(chart.pointCount(Chart::Voltage), 4);
        QCOMPARE(qRound(chart.pointX(Chart::Voltage, 2) * 86400), 30);
        chart.redrawNow();
        const QImage shot = chart.plot()->grab().toImage();
        const QRgb line = chart.plot()->graph(Chart::Voltage)->pen().color().rgb();
        const auto drawn = [&](double seconds) {
            const int x = over(doc, seconds).x();
            for (int y = 0; y < shot.height(); ++y)
                if (shot.pixel(x, y) == line)
                    return true;
            return false;
        };
        QVERIFY(drawn(1.5) && !drawn(16) && drawn(30.5));
    }

    // Samples that change no pixel are not drawn, a new summary line redraws its own line, an
    // axis that grows redraws the columns and ticks that move (it ends as ticks have moved by a
    // pixel): the chart on screen is the one every sample drawn afresh shows.
    void liveDrawnAsAfresh()
    {
        QRandomGenerator random(7);
        std::vector<std::array<double, 2>> samples;
        // The voltage wanders inside its axis; the capacity grows, and its axis with it, to labels
        // wider than before.
        const auto feed = [&](Chart &chart, size_t from, size_t to) {
            for (size_t i = from; i < to; ++i) {
                chart.addPoint(Chart::Voltage, samples[i][0], samples[i][1]);
                chart.addPoint(Chart::Capacity, samples[i][0], double(i / 2));
                chart.setValueRange(Chart::Capacity, 0, double(i / 2) * 1.2 + 5);
            }
        };
        const auto drawn = [&](Chart &chart) {
            chart.resize(400, 300);
            chart.setTimeRange(0, 1);
            chart.setValueRange(Chart::Voltage, 0, 10);
            chart.show();
        };
        Chart live;
        drawn(live);
        for (int i = 0; i < 19'980; ++i)
            samples.push_back({ i / 24'000.0, 5 + 3 * std::sin(i / 900.0) + random.bounded(1.0) });
        feed(live, 0, 16'000);
        live.setSubtitleLine(QStringLiteral("0"));
        QApplication::processEvents();
        for (size_t i = 16'000; i < samples.size(); ++i) {
            feed(live, i, i + 1);
            live.setSubtitleLine(QString::number(i));
            QApplication::processEvents();
        }
        Chart afresh;
        drawn(afresh);
        feed(afresh, 0, samples.size());
        afresh.setSubtitleLine(live.subtitleLine());
        afresh.redrawNow();
        const QImage whole = afresh.plot()->grab().toImage();
        QCOMPARE(live.plot()->grab().toImage(), whole);
        // A region of several rectangles (a read-out over the plot) is painted the same.
        QImage parts(whole.size(), whole.format()), want = whole;
        parts.fill(Qt::black);
        QPainter(&want).fillRect(100, 100, 20, 20, Qt::black);
        afresh.plot()->render(&parts, {}, QRegion(whole.rect()) - QRegion(100, 100, 20, 20));
        QCOMPARE(parts, want);
        // Narrower labels keep the outer axis's room and bring its title in: nothing is left
        // where they stood.
        for (const double max : { 9'000.0, 13.4, 15.8 }) {
            live.setValueRange(Chart::Capacity, 0, max);
            QApplication::processEvents();
        }
        const QImage shown = live.plot()->grab().toImage();
        live.redrawNow();
        QCOMPARE(shown, live.plot()->grab().toImage());
    }

    // One live run as its window shows it from start to end: title and summary lines, the cross
    // line, a save and an export while it goes on, its axes, the title command, the end of the
    // run, a save that takes the file's name, pictures of the chart and a reset. At 1, 2 and 3 s
    // with 20, 25 and 30 A; at 4 and 5 s idle, of types that need trimming or quoting (a quote
    // alone as much as a comma).
    void liveRun()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pack.mdb"));
        const auto live = std::make_shared<Run>(QStringLiteral("CH1 Chart 1"), host->fakeClock);
        live->goLive(1, {});
        tee *doc = newOpened(live->name());
        doc->showRun(live);
        Chart &chart = doc->chart();
        const auto feed = [&](double seconds, ChannelReading r) { // the run goes on
            host->fakeClock.advanceSeconds(seconds);
            QVERIFY(doc->Proc(r, false));
        };
        for (int i = 0; i < 3; ++i) {
            ChannelReading r = reading(100 + i, 4, Fixed::fromHundredths(2000 + 500 * i));
            r[Bat_volt] = Fixed::fromHundredths(QList { 1600, 1620, 1650 }[i]);
            feed(1, r);
        }
        for (const char *type : { " \"AGM\" Pb ", "Pb, 6V" }) {
            ChannelReading idle = reading(103, 3, Value());
            idle[Type] = type;
            feed(1, idle);
        }
        QCOMPARE(doc->RtnGridRows(), 6);
        QVERIFY(!doc->close());
        QCOMPARE(host->messages.last(), QStringLiteral("Is working ......   Can't be closed."));
        const QString line = chart.titleLine();
        QCOMPARE(line + "\r\n", live->title());
        const QString summary = QStringLiteral(
            "0:00:04  Charged 18 mAh 0.29 Wh  Avg 16.25 A  Peak 30.00 A  Ext max 25.0℃  "
            "16.00→16.80 V  Cell spread 0.00 V @0:00:01"); // no internal temperature: no Int max
        QCOMPARE(chart.subtitleLine(), summary);
        QCOMPARE(RunSummary::of(live->samples()).line(), summary); // as an opened run sums it
        command(doc, "Summary");
        QCOMPARE(chart.subtitleLine(), QString());
        command(doc, "Summary");
        QCOMPARE(chart.subtitleLine(), summary);

        // Only the strips under the lines are redrawn: where the cross-hair was, the chart is
        // as drawn afresh; where it is, it shows.
        chart.redrawNow();
        const QImage before = chart.plot()->grab().toImage();
        const QRect in = chart.plot()->axisRect()->rect();
        const QPoint from = in.center() - QPoint(100, 50), to = in.center() + QPoint(100, 50);
        host->view.crossLineHeld = true;
        mouse(doc, QEvent::MouseMove, from);
        mouse(doc, QEvent::MouseMove, to);
        const QImage after = chart.plot()->grab().toImage();
        chart.redrawNow();
        QCOMPARE(after, chart.plot()->grab().toImage());
        QVERIFY(after.pixel(to.x(), in.top() + 5) != before.pixel(to.x(), in.top() + 5));

        // Unchecked, the cross line reads only while a button is held.
        host->view.crossLineHeld = false;
        const QPoint at = over(doc, 3.6);
        mouse(doc, QEvent::MouseMove, at);
        QVERIFY(!chart.crossHairShown() && host->shown.isEmpty());
        mouse(doc, QEvent::MouseButtonPress, at, Qt::LeftButton);
        mouse(doc, QEvent::MouseMove, at, Qt::LeftButton);
        QVERIFY(chart.crossHairShown() && host->shown.size() == 1);
        // the sample after the cursor, idle, its type as the panel compares it
        QCOMPARE(texts(host->shown.last()).mid(0, 8).join(' '),
                 "00:00:04 \"AGM\" Pb +CHG+ 25 0 12.00 16.80 ");
        mouse(doc, QEvent::MouseMove, at + QPoint(0, 30), Qt::LeftButton); // the same sample
        QCOMPARE(host->shown.size(), 1);
        mouse(doc, QEvent::MouseButtonRelease, at);
        QVERIFY(!host->view.crossLineHeld); // live samples may take the panel again
        host->view.crossLineOn = true; // "CrossLine" checked: moves read without a button
        mouse(doc, QEvent::MouseMove, at);
        QVERIFY(host->shown.size() == 2 && host->view.crossLineHeld);
        host->view = ViewState();
        mouse(doc, QEvent::MouseMove, at);
        QVERIFY(!chart.crossHairShown() && host->shown.size() == 2);

        // A Shift-click marks a sample; the label reads from it to the sample under the cursor.
        const auto hover = [&](int i, Qt::KeyboardModifiers keys = {}) {
            host->view.crossLineHeld = true;
            mouse(doc, QEvent::MouseMove, over(doc, i + 0.7));
            if (keys) // a Shift-click
                mouse(doc, QEvent::MouseButtonPress, over(doc, i + 0.7), Qt::LeftButton, keys);
        };
        for (const auto &[from, to, label] :
             { std::tuple(0, 2, "Δt 0:00:02\nΔV +0.50\nΔA +10.00\nΔmAh +14\nΔWh +0.226"),
               { 2, 0, "Δt -0:00:02\nΔV -0.50\nΔA -10.00\nΔmAh -14\nΔWh -0.226" },
               { 1, 1, "Δt 0:00:00\nΔV 0.00\nΔA 0.00\nΔmAh 0\nΔWh 0.000" } }) {
            hover(from, Qt::ShiftModifier);
            QCOMPARE(chart.referenceTime(), (from + 1) / Day);
            hover(to);
            QCOMPARE(chart.crossHairLabel(), QString::fromUtf8(label));
            hover(to, Qt::ShiftModifier);
            QVERIFY(!chart.referenceTime() && chart.crossHairLabel().isEmpty());
        }

        // Written on a thread of its own from the rows as they were: the live run goes on. Only
        // the file of an ended run holds the whole run.
        QSignalSpy saved(live.get(), &Run::saved);
        host->scripted.fileAnswers << path;
        doc->DBSave();
        QVERIFY(host->messages.filter("Chart was save").isEmpty());
        feed(1, reading(104));
        host->work.finish(); // as the program does before it ends
        QTRY_COMPARE(host->messages.last(), QStringLiteral("Chart was save at %1 .").arg(path));
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 >>Live<<")); // still recording
        QVERIFY(QFileInfo(path).permission(QFileDevice::ReadOther)); // not a private temporary
        RunFile::Reader reader;
        QVERIFY(reader.open(path));
        QCOMPARE(reader.title(), live->title());
        qint64 rows = 0;
        for (ChannelReading row; reader.next(row); ++rows)
            QCOMPARE(texts(row), texts(live->samples().reading(rows)));
        QCOMPARE(rows, 5);

        host->scripted.fileAnswers << QStringLiteral("a.mdb") << dir.filePath("run.csv");
        host->scripted.openFile({}, {}, {}); // a run file's name, remembered
        command(doc, "Export");
        QCOMPARE(host->scripted.asked.last().fileName, QString()); // offers no name
        QCOMPARE(host->scripted.fileName(), QStringLiteral("a.mdb")); // nor drops the run file's
        QCOMPARE(host->messages.last(), "CSV file was exported in folder:" + dir.path());
        // Every line ends in CRLF; types that need it quoted, an idle row's current empty.
        const QStringList lines
            = QString::fromUtf8(readFile(dir.filePath("run.csv"))).split("\r\n");
        QCOMPARE(lines.size(), 8); // the header, six rows, and after the last line's end
        QVERIFY(lines[0].startsWith("Time,Type,+CHG/DIS-,") && lines[0].endsWith(",C11,C12"));
        QVERIFY(lines[3].startsWith("00:00:03,LiIo/Po/Fe,+CHG+,25,0,12.00,16.50,30.00,102,"));
        QVERIFY(lines[4].startsWith("00:00:04,\" \"\"AGM\"\" Pb \",+CHG+,25,0,12.00,16.80,,103,"));
        QVERIFY(lines[5].startsWith("00:00:05,\"Pb, 6V\",+CHG+,") && lines[7].isEmpty());
        // The Battery Data Format, chosen as the filter of a bare name: its ending, the date
        // from the description, A·s summed as Ah.
        host->scripted.fileAnswers << dir.filePath("run");
        host->scripted.filterAnswers << 1;
        command(doc, "Export");
        const qint64 epoch = defaultTitleDate(live->title()).toSecsSinceEpoch();
        QVERIFY(epoch > 0);
        QCOMPARE(
            QString::fromUtf8(readFile(dir.filePath("run.bdf.csv"))).split("\r\n").mid(1, 2),
            QStringList(
                { QString("0,%1,16.00,20.00,0.000000,0.000000,25,12.00,100,4.20,4.20,4.20,4.20")
                      .arg(epoch),
                  QString("1,%1,16.20,25.00,0.006250,0.000000,25,12.00,101,4.20,4.20,4.20,4.20")
                      .arg(epoch + 1) }));

        feed(3, reading(1234, 4, -Fixed::fromHundredths(3500)));
        QCOMPARE(chart.valueExtremes(Chart::Current)->max, 35.0);
        for (int i = 0; i < 51; ++i)
            feed(1, reading(1234));
        QCOMPARE(chart.timeRange().max * Day, 120.0); // 120 - 60 is not below 60
        feed(1, reading(1234)); // grows in two-minute steps
        QCOMPARE(qRound(chart.timeRange().max * Day), 240);
        QCOMPARE(qRound(chart.timeRange().min * Day), 1); // follows the first point

        // A cancelled or empty description keeps the title.
        host->scripted.inputAnswers << std::nullopt << QString() << "6S \"Pack\" #P0007";
        for (int i = 0; i < 3; ++i)
            command(doc, "Title");
        QCOMPARE(host->scripted.asked.last().defaultText, line);
        QCOMPARE(host->scripted.asked.last().maxLength, RunFile::TitleSize); // what Save keeps
        QCOMPARE(live->title() + '|' + chart.titleLine(), "6S \"Pack\" #P0007|6S \"Pack\" #P0007");
        QCOMPARE(host->messages.last(), "Pack #P0007: Pack A"); // a label scanned into the box
        // Compressed; under the user's description the run starts at its file's time less its
        // length.
        host->scripted.fileAnswers << dir.filePath("run");
        host->scripted.filterAnswers << 2;
        command(doc, "Export");
        QVERIFY(readBdf(dir.filePath("run.bdf.gz")).start.isValid());

        // A cancelled dialog does nothing; a failure says where and why, and nothing changes.
        live->end();
        const qsizetype messages = host->messages.size();
        for (const QString tool : { "Save", "Export" }) {
            command(doc, tool);
            QCOMPARE(host->scripted.asked.last().kind, QStringLiteral("save"));
            const QString missing = dir.filePath(QStringLiteral("missing/run.x"));
            host->scripted.fileAnswers << missing;
            command(doc, tool);
            QTRY_VERIFY(!doc->findChild<RunFile::Saver *>());
            const ScriptedDialogs::Asked asked = host->scripted.asked.last();
            QCOMPARE(asked.title, QStringLiteral("Notice"));
            QVERIFY(asked.text.contains(missing + "\r\n") && !asked.text.endsWith("\r\n"));
        }
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 END"));
        QCOMPARE(host->messages.size(), messages);

        // The second save asks before replacing; Cancel keeps everything as it was.
        host->scripted.messageAnswers << Dialogs::Answer::Cancel;
        host->scripted.fileAnswers << path << path;
        doc->DBSave();
        QCOMPARE(host->scripted.asked.last().text, "Database already exist,overwriter it?");
        QCOMPARE(doc->caption(), QStringLiteral("CH1 Chart 1 END"));
        doc->DBSave();
        QCOMPARE(std::prev(host->scripted.asked.cend(), 2)->fileName, path); // offered again
        QTRY_COMPARE(doc->caption(), path); // an ended run takes its file's name
        QCOMPARE(saved, QList<QVariantList>({ { path } }));
        QCOMPARE(host->scripted.fileName(), QString());

        host->recordingPrinter.pdfPath = dir.filePath(QStringLiteral("chart.pdf"));
        command(doc, "Copy");
        const QMimeData *data = host->recordingClipboard.data.get();
        QVERIFY(data && data->data(QStringLiteral("image/svg+xml")).contains("<svg"));
        QVERIFY(!qvariant_cast<QImage>(data->imageData()).isNull());
        QCOMPARE(host->messages.last(), "Chart was copyed to Clipboard as a  Metafile.");
        command(doc, "Print"); // with small margins
        QCOMPARE(host->recordingPrinter.margins, QList<double> { 1.0 });
        const QByteArray bytes = readFile(host->recordingPrinter.pdfPath);
        QVERIFY(bytes.size() > 1000 && !bytes.contains("/Subtype /Image"));

        mouse(doc, QEvent::MouseButtonDblClick, QPoint(50, 50), Qt::LeftButton);
        QVERIFY(chart.isWindow() && chart.isFullScreen() && !doc->isVisible());
        mouse(doc, QEvent::MouseButtonDblClick, QPoint(50, 50), Qt::LeftButton);
        QVERIFY(doc->widget() == &chart && doc->isVisible() && host->cascades == 1);

        doc->reset();
        QVERIFY(doc->RtnGridRows() == 1 && chart.pointCount(Chart::Capacity) == 0);
        QCOMPARE(doc->run().title() + chart.titleLine(), QString());
        QVERIFY(!doc->isLive() && doc->close());
    }

    // A run past midnight twice, its rows' times going on as a run file's are read. Its name
    // is a path, however much it looks like a live run's.
    void openedRun()
    {
        tee *doc = newOpened(QStringLiteral("/Live runs/long >>Live<<"));
        doc->RePaint(true);
        for (qint64 s = 0; s <= 26 * 3600; s += 600) {
            ChannelReading r = s ? reading(s / 2) : reading(0, 0, Value()); // idle, no cells
            r[Time] = DayTime { s / Day };
            QVERIFY(!doc->Proc(r, true));
        }
        QVERIFY(doc->chart().titleLine().startsWith(QStringLiteral("LiIo/Po/Fe/+CHG+    @/Li")));
        QCOMPARE(doc->run().samples().text(156, Time), QStringLiteral("02:00:00"));
        QVERIFY(doc->RtnGridRows() == 158 && doc->chart().pointCount(Chart::Voltage) == 157);
        doc->RePaint(false);
        QCOMPARE(doc->chart().valueRange(Chart::Voltage).max, 16.8 + 0.3);
        QVERIFY(doc->chart().subtitleLine().startsWith(QStringLiteral("26:00:00  Charged ")));

        doc->chart().redrawNow();
        // Every curve stands at its samples' times: the first and the last sample of each on the
        // voltage's pixels.
        const QCustomPlot *plot = doc->chart().plot();
        const auto x = [plot](int graph, int i) {
            const QCPGraph *g = plot->graph(graph);
            return g->keyAxis()->coordToPixel(g->data()->at(i)->key);
        };
        for (int g = 1; g < plot->graphCount(); ++g)
            for (int i : { 0, 156 })
                QCOMPARE(x(g, i), x(Chart::Voltage, i));
        host->view.crossLineHeld = true;
        mouse(doc, QEvent::MouseMove, over(doc, 3400)); // a little before the sample
        QCOMPARE(host->shown.last()[Cap], Value(1800));
        mouse(doc, QEvent::MouseButtonPress, over(doc, 3400), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(doc->chart().referenceTime(), 3600 / Day);
        mouse(doc, QEvent::MouseMove, over(doc, 25 * 3600 - 200));
        QCOMPARE(host->shown.last()[Cap], Value(45000));
        QVERIFY(doc->chart().crossHairLabel().startsWith(QStringLiteral("Δt 24:00:00\n")));
        QVERIFY(!doc->isLive() && doc->close());
    }

    // With the cross line on, the chart's keys read sample by sample, ten with Shift, to either
    // end; Space marks a sample for the two-point read-out, which the chart describes.
    void crossLineKeys()
    {
        tee *doc = newOpened(QStringLiteral("keys"));
        for (qint64 s = 0; s < 30; ++s) {
            ChannelReading r = reading(s * 10);
            r[Time] = DayTime { s * 60 / Day };
            doc->Proc(r, true);
        }
        doc->RePaint(false);
        doc->chart().redrawNow();
        QTest::keyClick(&doc->chart(), Qt::Key_Right);
        QVERIFY(host->shown.isEmpty()); // the cross line off
        host->view.crossLineOn = true;
        const Qt::KeyboardModifier shift = Qt::ShiftModifier, none = Qt::NoModifier;
        const std::tuple<Qt::Key, Qt::KeyboardModifier, int> steps[]
            = { { Qt::Key_Right, none, 0 },    { Qt::Key_Right, none, 10 },
                { Qt::Key_Right, shift, 110 }, { Qt::Key_End, none, 290 },
                { Qt::Key_Right, none, 290 },  { Qt::Key_Left, shift, 190 },
                { Qt::Key_Home, none, 0 },     { Qt::Key_Left, none, 0 },
                { Qt::Key_Space, none, 0 },    { Qt::Key_Right, shift, 100 } };
        for (const auto &[key, modifier, cap] : steps) {
            QTest::keyClick(&doc->chart(), key, modifier);
            QCOMPARE(host->shown.last()[Cap].text(), QString::number(cap));
        }
        QCOMPARE(doc->chart().referenceTime(), 0.0);
        QVERIFY(doc->chart().crossHairLabel().startsWith(QStringLiteral("Δt 0:10:00\n")));
        // What a screen reader is told (offscreen there is none to hear it).
        const QString told = doc->chart().accessibleDescription();
        QVERIFY2(told.startsWith(QStringLiteral("00:10:00, 16.8"))
                     && told.contains(", Δt 0:10:00, ΔV "),
                 qPrintable(told));
    }

    // A label scanned into a live window tags its run and names the pack; keys typed by hand,
    // or a pack the book does not know, leave the description alone.
    void scanTag_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("said");
        QTest::newRow("scanned") << "#p0007" << 0 << "Pack #P0007"
                                 << "Pack #P0007: Pack A";
        QTest::newRow("by hand") << "#P0007" << 120 << "Pack #P0001"
                                 << "";
        QTest::newRow("unknown") << "#P0042" << 10 << "Pack #P0001"
                                 << "#P0042 is no pack of the battery book; the description "
                                    "stays as it was.";
    }
    void scanTag()
    {
        QFETCH(QString, keys);
        QFETCH(int, gapMs);
        const auto live = std::make_shared<Run>(QStringLiteral("CH1 Chart 1"), host->fakeClock);
        live->goLive(1, {});
        tee *doc = newOpened(live->name());
        doc->showRun(live);
        live->setTitle("Pack #P0001");
        for (const QChar c : keys + '\r') {
            host->fakeClock.advanceMs(gapMs);
            QTest::keyClick(doc, c.toLatin1());
        }
        QTEST(live->title(), "title");
        QTEST(host->messages.value(0), "said");
    }

    // The real input box takes no more than asked.
    void inputBoxLimit()
    {
        QtDialogs dialogs;
        QTimer::singleShot(0, [] {
            QWidget *box = QApplication::activeModalWidget();
            QTest::keyClicks(box->findChild<QLineEdit *>(), QString(150, 'x'));
            QMetaObject::invokeMethod(box, "accept");
        });
        QCOMPARE(dialogs.input("Describe", "Title", {}, 100).value_or("").size(), 100);
    }

    // A file dialog starts in its folder though the first save has not made it yet, and a
    // dialog that chose nothing in it leaves no folder behind. A bare name takes the ending of
    // the filter chosen, and the dialog says which.
    void fileDialogFolder_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("cancelled") << false;
        QTest::newRow("chosen") << true;
    }
    void fileDialogFolder()
    {
        QFETCH(bool, chosen);
        QTemporaryDir tmp;
        const QString folder = tmp.filePath("documents/save");
        QtDialogs dialogs;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            shown = d->directory().path();
            if (chosen) {
                QTest::keyClick(d->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down);
                d->selectFile("run");
            }
            QMetaObject::invokeMethod(d, chosen ? "accept" : "reject");
        });
        qsizetype filter = -1;
        const QString file = dialogs.exportFile(folder, "CSV(*.csv)|*.csv|BDF(*.bdf.csv)|*.bdf.csv",
                                                "csv", &filter);
        QCOMPARE(shown, folder);
        QCOMPARE(file, chosen ? folder + "/run.bdf.csv" : QString());
        QCOMPARE(filter, chosen ? 1 : 0);
        QCOMPARE(QFileInfo::exists(tmp.filePath("documents")), chosen);
    }

    void crossLineSearch()
    {
        const auto sampleAt = [](const QList<double> &times, double t) {
            return CrossLine::sampleAt(times.size(), t, [&](qsizetype i) { return times[i]; })
                .value_or(-1);
        };
        const QList<double> times = { 1, 2, 3, 5, 8 };
        // Equal times tell which middle the search takes: 1.5 and 2.5 both round to 2.
        QCOMPARE(QList<qsizetype>({ sampleAt(times, 0.5), sampleAt(times, 1), sampleAt(times, 4),
                                    sampleAt(times, 8), sampleAt(times, 8.5), sampleAt({}, 1),
                                    sampleAt(QList<double>(4, 2.0), 2),
                                    sampleAt(QList<double>(6, 2.0), 2) }),
                 QList<qsizetype>({ 0, 0, 3, 4, -1, -1, 2, 2 }));
    }
};

QTEST_MAIN(TestTee)
#include "test_tee.moc"
