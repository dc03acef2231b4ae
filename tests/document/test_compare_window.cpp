#include "compare/compare_file.h"
#include "document/compare_window.h"
#include "platform/compare_chart.h"
#include "platform/qt_tool.h"
#include "run/run.h"
#include "run/run_file.h"
#include "support/fake_document_host.h"
#include "support/readings.h"
#include "support/sqlite_file.h"

#include <QtTest>

namespace {
// A discharge of `samples` seconds at 20 mAh a second, the voltage falling from `volts` by
// `drop` a second.
QString writeDischarge(const QString &path, const QString &title, int samples, double volts,
                       double drop)
{
    return RunFile::write(path, title, samples, [=](qint64 row, int field) {
        ChannelReading r = reading(20 * row, 4, Fixed::fromHundredths(-400));
        r[Chg] = "-DIS-";
        r[Time] = DayTime { (3600 + double(row)) / 86400 };
        r[Bat_volt] = Fixed::fromDouble(volts - drop * double(row));
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
    // 50 %; saved, the folder moved, opened again without one of its runs.
    void lostVoltageAtHalfCapacity()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir("packs"));
        const QString spring = tmp.filePath("packs/spring.mdb"),
                      now = tmp.filePath("packs/now.mdb");
        QCOMPARE(writeDischarge(spring, "4S 2000mAh", 101, 4.0, 0.008), QString());
        QCOMPARE(writeDischarge(now, "4S 2000mAh", 81, 3.9, 0.009), QString());

        FakeDocumentHost host;
        auto *window = new CompareWindow(host);
        window->addFile(spring);
        window->addFile(now);
        QSignalSpy loaded(window, &CompareWindow::loaded);
        QVERIFY(loaded.wait());
        CompareFile::Comparison s = window->settings();
        s.alignment = Compare::Alignment::Percent;
        window->apply(s);
        // 1000 mAh: 50 s into both runs.
        QString readOut = window->readOut(50);
        QVERIFY2(readOut.contains("#1 Voltage(V): 3.600")
                     && readOut.contains("#2 Voltage(V): 3.450"),
                 qPrintable(readOut));
        s.view = CompareFile::View::Difference;
        window->apply(s);
        readOut = window->readOut(50);
        QVERIFY2(readOut.contains("#2 Voltage(V): -0.150") && !readOut.contains("#1"),
                 qPrintable(readOut));
        // The shorter run ends at 80 %: nothing is read past it.
        QVERIFY(!window->readOut(90).contains("#2"));

        const QString saved = tmp.filePath("packs/pack.chargemon-compare");
        host.scripted.fileAnswers << saved;
        command(*window, "Save");
        QCOMPARE(host.messages.last(), "Comparison saved at " + QDir::toNativeSeparators(saved));
        delete window;

        QVERIFY(QDir(tmp.path()).rename("packs", "moved"));
        QVERIFY(QFile::remove(tmp.filePath("moved/spring.mdb")));
        auto *again = new CompareWindow(host);
        QSignalSpy reloaded(again, &CompareWindow::loaded);
        QVERIFY(again->open(tmp.filePath("moved/pack.chargemon-compare")));
        QVERIFY(reloaded.count() || reloaded.wait());
        QVERIFY(host.scripted.asked.last().text.contains("spring.mdb is missing"));
        QCOMPARE(again->runCount(), 1);
        QCOMPARE(again->settings().alignment, Compare::Alignment::Percent);
        QCOMPARE(again->settings().runs, QStringList { tmp.filePath("moved/now.mdb") });
        delete again;
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
