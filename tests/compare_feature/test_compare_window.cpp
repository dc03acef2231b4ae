#include "compare/compare_file.h"
#include "compare_feature/compare_window.h"
#include "platform/compare_chart.h"
#include "platform/qt_tool.h"
#include "run/run.h"
#include "run/run_file.h"
#include "support/fake_document_host.h"
#include "support/marked_translator.h"
#include "support/readings.h"
#include "support/sqlite_file.h"

#include <QProgressBar>
#include <QtTest>
#include <qcustomplot.h>

namespace {
// A discharge of `samples` seconds at 20 mAh a second and 4 A give or take 10 mA, the voltage
// falling from `volts` by `drop` a second.
QString writeDischarge(const QString &path, const QString &title, int samples, double volts,
                       double drop)
{
    return RunFile::write(path, title, samples, [=](qint64 row, int field) {
        ChannelReading r = reading(20 * row, 4, Fixed::fromHundredths(-400 - row % 2));
        r[Chg] = "-DIS-";
        r[Time] = DayTime { (3600 + double(row)) / 86400 };
        r[Bat_volt] = Fixed::fromDouble(volts - drop * double(row));
        return r[field].text();
    });
}

// A charge of `samples` seconds: 2 A while the voltage climbs to 4.20 V for `cc` seconds, then
// the current below 1.9 A and falling at that voltage.
QString writeCharge(const QString &path, int samples, int cc)
{
    return RunFile::write(path, "1S 1000mAh", samples, [=](qint64 row, int field) {
        const double rising = std::min(1.0, double(row) / cc);
        ChannelReading r
            = reading(row / 2, 1, Fixed::fromDouble(rising < 1 ? 2 : 1.8 * cc / double(row)));
        r[Time] = DayTime { double(row) / 86400 };
        r[Bat_volt] = Fixed::fromDouble(3.7 + 0.5 * rising);
        return r[field].text();
    });
}

void command(CompareWindow &window, const QString &name)
{
    ToolSpec spec;
    spec.name = name;
    QtTool tool(QString(), spec);
    QVERIFY(window.CommandHandler(tool));
}
} // namespace

class TestCompareWindow : public QObject {
    Q_OBJECT
private slots:
    // This season's and last season's discharge of a 2000 mAh pack, aligned by capacity, read at
    // 50 %, a pack of unknown capacity left out; saved beside its runs, the folder moved, opened
    // again without one of its runs.
    void lostVoltageAtHalfCapacity()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir("packs"));
        const QString spring = tmp.filePath("packs/spring.mdb"),
                      now = tmp.filePath("packs/now.mdb"), odd = tmp.filePath("packs/odd.mdb");
        QCOMPARE(writeDischarge(spring, "4S 2000mAh", 101, 4.0, 0.008), QString());
        QCOMPARE(writeDischarge(now, "4S 2000mAh", 81, 3.9, 0.009), QString());
        QCOMPARE(writeDischarge(odd, "odd pack", 81, 3.8, 0.01), QString());

        FakeDocumentHost host;
        auto *window = new CompareWindow(host);
        window->addFile(spring);
        window->addFile(now);
        window->addFile(odd);
        QSignalSpy loaded(window, &CompareWindow::loaded);
        QVERIFY(loaded.wait());
        CompareFile::Comparison s = window->settings();
        s.alignment = Compare::Alignment::Percent;
        window->apply(s);
        // 1000 mAh: 50 s into both runs.
        QString readOut = window->readOut(50);
        QVERIFY2(readOut.contains("#1 Voltage(V): 3.600")
                     && readOut.contains("#2 Voltage(V): 3.450") && !readOut.contains("#3"),
                 qPrintable(readOut));
        s.view = CompareFile::View::Difference;
        window->apply(s);
        readOut = window->readOut(50);
        QVERIFY2(readOut.contains("#2 - #1 Voltage(V): -0.150"), qPrintable(readOut));
        // The shorter run ends at 80 %: nothing is read past it.
        QVERIFY(!window->readOut(90).contains("#2"));

        const QString saved = tmp.filePath("packs/pack.chargemon-compare");
        host.scripted.fileAnswers << saved;
        command(*window, "Save");
        QCOMPARE(host.scripted.asked.last().text, tmp.filePath("packs"));
        QCOMPARE(host.messages.last(), "Comparison saved at " + QDir::toNativeSeparators(saved));
        delete window;

        QVERIFY(QDir(tmp.path()).rename("packs", "moved"));
        QVERIFY(QFile::remove(tmp.filePath("moved/spring.mdb")));
        auto *again = new CompareWindow(host);
        QSignalSpy reloaded(again, &CompareWindow::loaded);
        QVERIFY(again->open(tmp.filePath("moved/pack.chargemon-compare")));
        QVERIFY(reloaded.count() || reloaded.wait());
        QVERIFY(host.scripted.asked.last().text.contains("spring.mdb is missing"));
        QCOMPARE(again->settings().alignment, Compare::Alignment::Percent);
        QCOMPARE(again->settings().runs,
                 QStringList({ tmp.filePath("moved/now.mdb"), tmp.filePath("moved/odd.mdb") }));
        delete again;
    }

    // A comparison aligned at constant voltage opened again: the short run is read long before
    // the long one, which is drawn once it is read too.
    void reopenedWhileReading()
    {
        QTemporaryDir tmp;
        const QString longRun = tmp.filePath("long.mdb"), shortRun = tmp.filePath("short.mdb");
        QCOMPARE(writeCharge(longRun, 20'000, 500), QString());
        QCOMPARE(writeCharge(shortRun, 100, 50), QString());
        CompareFile::Comparison c;
        c.runs = QStringList { longRun, shortRun };
        c.alignment = Compare::Alignment::ConstantVoltage;
        c.quantities = { Bat_volt };
        const QString saved = tmp.filePath("charges.chargemon-compare");
        QCOMPARE(CompareFile::write(saved, c), QString());

        FakeDocumentHost host;
        CompareWindow window(host);
        QSignalSpy loaded(&window, &CompareWindow::loaded);
        QVERIFY(window.open(saved));
        auto *progress = window.findChild<QProgressBar *>();
        QVERIFY(progress && !progress->isHidden());
        QVERIFY(loaded.wait());
        QVERIFY(progress->isHidden());
        // 0.1 V below constant voltage: 100 s before it for the long run, 10 s for the short.
        QVERIFY(window.readOut(-100).contains("#1 Voltage(V): 4.100"));
        QVERIFY(window.readOut(-10).contains("#2 Voltage(V): 4.100"));
    }

    // Two discharges at 4 A give or take 10 mA, one of a long description, read as an engineer
    // reads them, printed, zoomed, and in another language.
    void readableChart()
    {
        QTemporaryDir tmp;
        QCOMPARE(writeDischarge(tmp.filePath("a.mdb"), QString(100, u'a'), 60, 4.0, 0.008),
                 QString());
        QCOMPARE(writeDischarge(tmp.filePath("b.mdb"), "4S 2000mAh", 60, 3.9, 0.009), QString());
        FakeDocumentHost host;
        CompareWindow window(host);
        window.resize(820, 520);
        window.show();
        window.addFile(tmp.filePath("a.mdb"));
        window.addFile(tmp.filePath("b.mdb"));
        QSignalSpy loaded(&window, &CompareWindow::loaded);
        QVERIFY(loaded.wait());
        CompareFile::Comparison s = window.settings();
        s.quantities = { Current };
        window.apply(s);
        QCustomPlot &plot = *window.chart().plot();
        plot.replot();
        // The noise small on the current axis, the legend whole and off the curves, the texts
        // sized for a page as for the screen.
        QVERIFY(plot.yAxis2->range().size() > 0.19);
        QVERIFY(!plot.axisRect()->outerRect().intersects(plot.legend->outerRect()));
        for (const QFont &font :
             { plot.legend->font(), plot.xAxis->labelFont(), plot.yAxis2->tickLabelFont() })
            QVERIFY(font.pixelSize() > 0);

        // The wheel's zoom stays while the curves are drawn again; a double click shows all.
        const QCPRange all = plot.xAxis->range();
        const QPointF middle = plot.axisRect()->center();
        QWheelEvent wheel(middle, plot.mapToGlobal(middle), {}, { 0, 120 }, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&plot, &wheel);
        const QCPRange zoomed = plot.xAxis->range();
        QVERIFY(zoomed.size() < all.size());
        window.redraw();
        QCOMPARE(plot.xAxis->range(), zoomed);
        QTest::mouseDClick(&plot, Qt::LeftButton, {}, middle.toPoint());
        QCOMPARE(plot.xAxis->range(), all);

        // The cross line by keys, its read-out told to a screen reader.
        host.view.crossLineOn = true;
        QTest::keyClick(&window.chart(), Qt::Key_Home);
        const QString first = window.chart().accessibleDescription();
        QTest::keyClick(&window.chart(), Qt::Key_Right, Qt::ShiftModifier);
        QVERIFY(first.startsWith(window.readOut(all.lower)));
        QVERIFY(window.chart().accessibleDescription() != first);

        MarkedTranslator marked;
        QCoreApplication::installTranslator(&marked);
        QTRY_COMPARE(window.windowTitle(), "譯Compare");
        QCOMPARE(plot.yAxis2->label(), "譯Current(A)");
        QCoreApplication::removeTranslator(&marked);
    }

    // A file with a sample no chart can draw is refused as Open refuses it, not cut short.
    void holedFileRefused()
    {
        QTemporaryDir tmp;
        const QString holed = tmp.filePath("holed.mdb");
        QCOMPARE(writeDischarge(holed, "pack", 2000, 16.0, 0.0001), QString());
        runSql(holed, { "update CHGLOG set Cap = NULL where rowid = 1500" });
        FakeDocumentHost host;
        CompareWindow window(host);
        QSignalSpy loaded(&window, &CompareWindow::loaded);
        window.addFile(holed);
        QVERIFY(loaded.wait());
        QCOMPARE(window.runCount(), 0);
        QVERIFY(host.scripted.asked.last().text.endsWith("Sample 1500 has no value in Cap."));
    }

    // Live runs go on growing in the comparison, drawn as they come.
    void liveRunsGrow()
    {
        FakeDocumentHost host;
        CompareWindow window(host);
        std::vector<std::shared_ptr<Run>> runs;
        for (int i = 0; i < 2; ++i) {
            runs.push_back(
                std::make_shared<Run>(QStringLiteral("CH%1").arg(i + 1), host.fakeClock));
            runs.back()->goLive(i + 1, {});
            window.addRun(runs.back());
        }
        for (int s = 0; s < 3; ++s) {
            host.fakeClock.advanceSeconds(1);
            for (int i = 0; i < 2; ++i) {
                ChannelReading r = reading(s, 4);
                r[Bat_volt] = Fixed::fromHundredths(1600 + 10 * s + i);
                runs[size_t(i)]->offer(r);
            }
        }
        const QString readOut = window.readOut(2);
        QVERIFY2(readOut.contains("#1 Voltage(V): 16.200")
                     && readOut.contains("#2 Voltage(V): 16.210"),
                 qPrintable(readOut));
    }
};

QTEST_MAIN(TestCompareWindow)
#include "test_compare_window.moc"
