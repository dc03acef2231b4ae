#include "platform/analog_gauge.h"
#include "platform/cell_bar.h"
#include "platform/qt_command_bar.h"
#include "platform/segment_readout.h"
#include "platform/thermometer.h"
#include "setup/infoform1.h"

#include "support/fake_clock.h"
#include "support/scripted_dialogs.h"
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <QTest>

using namespace PanelRules;

namespace {
ChannelReading reading(const QString &type, QList<const char *> cells)
{
    ChannelReading r;
    r[Type] = type;
    r[In_Volt] = "12.00";
    r[Bat_volt] = "11.10";
    r[Current] = Fixed::fromHundredths(-150);
    r[Cap] = 2000;
    r[Power] = "16.65";
    r[In_temp] = 31;
    r[Ext_temp] = 27;
    for (int c = 0; c < 12; ++c)
        r[C1 + c] = c < cells.size() ? Value(*Fixed::parse(QString::fromLatin1(cells[c])))
                                     : Value(Fixed());
    return r;
}

QStringList texts(const Infoform1 &panel, SegmentReadout &(Infoform1::*readout)(int) const,
                  int count)
{
    QStringList shown;
    for (int i = 0; i < count; ++i)
        shown << (panel.*readout)(i).text();
    return shown;
}
} // namespace

class TestInfoPanel : public QObject {
    Q_OBJECT
private slots:
    void gaugeGrowth_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<qint64>("maximum");
        QTest::newRow("12.3 V") << 1 << QStringList { "12.3" } << qint64(20);
        QTest::newRow("13 V, a multiple moves a full step")
            << 1 << QStringList { "13" } << qint64(30);
        QTest::newRow("2000 mAh") << 2 << QStringList { "2000" } << qint64(3100);
        QTest::newRow("1500 mA") << 3 << QStringList { "1500" } << qint64(2300);
        QTest::newRow("at the maximum") << 0 << QStringList { "18" } << qint64(18);
        QTest::newRow("never shrinks") << 1 << QStringList { "13", "5", "20" } << qint64(30);
    }
    void gaugeGrowth()
    {
        QFETCH(int, index);
        QFETCH(QStringList, values);
        GaugeScale scale = startScale(index);
        for (const QString &v : values)
            scale = grownScale(scale, index, *Fixed::parse(v));
        QFETCH(qint64, maximum);
        QCOMPARE(scale.maximum, maximum);
        if (scale.maximum != startScale(index).maximum)
            QCOMPARE(scale.secondMark, 0.85 * double(scale.maximum));
    }

    void cells_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("voltage");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<int>("bar");
        QTest::addColumn<CellFill>("fill");
        const std::tuple<const char *, const char *, const char *, const char *, int, CellFill>
            rows[] = {
                { "3.54 V", "LiIo/Po/Fe", "3.54", "45.00", 45, CellFill::Yellow },
                { "3.5401 V", "LiIo/Po/Fe", "3.5401", "45.00", 45, CellFill::Yellow },
                { "3.55 V", "LiIo/Po/Fe", "3.55", "45.80", 46, CellFill::Green },
                { "17.96 % rounds to 18", "LiIo/Po/Fe", "3.2155", "18.00", 18, CellFill::Yellow },
                { "44.5 % to the even bar", "LiIo/Po/Fe", "3.534", "44.50", 44, CellFill::Yellow },
                { "below empty", "LiIo/Po/Fe", "2.9", "0.00", 0, CellFill::Red },
                { "above full", "LiIo/Po/Fe", "4.35", "100.00", 100, CellFill::Green },
                { "not lithium", "Pb", "3.9", "0.00", 0, CellFill::Red },
            };
        for (const auto &[tag, type, voltage, percent, bar, fill] : rows)
            QTest::newRow(tag) << QString(type) << QString(voltage) << QString(percent) << bar
                               << fill;
    }
    void cells()
    {
        QFETCH(QString, type);
        QFETCH(QString, voltage);
        QFETCH(QString, percent);
        QFETCH(int, bar);
        QFETCH(CellFill, fill);
        const CellShown shown = cellShown(type, *Fixed::parse(voltage));
        QCOMPARE(shown.percent.format2(), percent);
        QCOMPARE(shown.bar, bar);
        QCOMPARE(shown.fill, fill);
    }

    void summary_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QStringList>("stats"); // n, highest, lowest, average, spread
        QTest::newRow("three cells") << QStringList { "3.70", "3.72", "3.68" }
                                     << QStringList { "3", "3.72", "3.68", "3.70", "0.04" };
        QTest::newRow("dead first cell counts")
            << QStringList { "0", "3.70", "3.80" }
            << QStringList { "2", "3.70", "0.00", "1.85", "3.70" };
        QTest::newRow("one cell") << QStringList { "3.70" }
                                  << QStringList { "1", "3.70", "3.70", "3.70", "0.00" };
        QTest::newRow("none") << QStringList {}
                              << QStringList { "0", "0.00", "0.00", "0.00", "0.00" };
    }
    void summary()
    {
        QFETCH(QStringList, cells);
        QFETCH(QStringList, stats);
        std::array<Fixed, CellCount> voltages {};
        for (int i = 0; i < cells.size(); ++i)
            voltages[i] = *Fixed::parse(cells[i]);
        const CellSummary s = summarise(voltages);
        QCOMPARE((QStringList { QString::number(s.n), s.highest.format2(), s.lowest.format2(),
                                s.average.format2(), s.spread.format2() }),
                 stats);
    }

    void thermometers_data()
    {
        QTest::addColumn<qint64>("twips");
        QTest::addColumn<Thermometers>("shown");
        QTest::newRow("17501") << qint64(17501) << Thermometers::Both;
        QTest::newRow("17500") << qint64(17500) << Thermometers::InternalOnly;
        QTest::newRow("16201") << qint64(16201) << Thermometers::InternalOnly;
        QTest::newRow("16200") << qint64(16200) << Thermometers::None;
    }
    void thermometers()
    {
        QFETCH(qint64, twips);
        QFETCH(Thermometers, shown);
        QCOMPARE(thermometersShown(twips), shown);
    }

    void narrowPanelHidesTheOuterThermometer()
    {
        ScriptedDialogs dialogs;
        Infoform1 panel(dialogs);
        panel.show();
        panel.resize(1600, 140);
        panel.resize(17000 / TwipsPerPixel, 140);
        QVERIFY(!panel.InTemp().isHidden() && !panel.Lab_InTemp().isHidden());
        QVERIFY(panel.ExtTemp().isHidden() && panel.Lab_ExtTemp().isHidden());
    }

    void readingShown_data()
    {
        QTest::addColumn<ChannelReading>("reading");
        QTest::addColumn<QStringList>("cellTexts");
        QTest::addColumn<int>("litCells");
        QTest::addColumn<QStringList>("stats");
        QTest::addColumn<QString>("milliamps");
        QTest::newRow("Pb shows no cells")
            << reading("Pb", { "2.10", "2.10", "2.10" }) << QStringList(8, "0.00") << 0
            << QStringList(4, "0.00") << "1500";
        QTest::newRow("three lithium cells")
            << reading("LiIo/Po/Fe", { "3.70", "3.72", "3.68" })
            << (QStringList { "3.70", "3.72", "3.68" } << QStringList(5, "0.00")) << 3
            << QStringList { "3.72", "3.68", "3.70", "0.04" } << "1500";
        ChannelReading noCurrent = reading("NiMH", {});
        noCurrent[Current] = Value();
        QTest::newRow("no current")
            << noCurrent << QStringList(8, "0.00") << 0 << QStringList(4, "0.00") << "0";
    }
    void readingShown()
    {
        ScriptedDialogs dialogs;
        Infoform1 panel(dialogs);
        QFETCH(ChannelReading, reading);
        QFETCH(QStringList, cellTexts);
        QFETCH(int, litCells);
        QFETCH(QStringList, stats);
        QFETCH(QString, milliamps);
        panel.ShowReading(reading);
        QCOMPARE(texts(panel, &Infoform1::LED2, CellCount), cellTexts);
        QCOMPARE(texts(panel, &Infoform1::LED3, 4), stats);
        for (int i = 0; i < CellCount; ++i) {
            QCOMPARE(panel.LED2(i).digitColor() == Qt::black, i >= litCells);
            QCOMPARE(panel.BAR(i).fill(), i < litCells ? QString("GREEN") : QString("RED"));
            QCOMPARE(panel.BAR(i).value() > 0, i < litCells);
        }
        // -1.5 A is 1500 mA, and the current gauge has grown for it.
        QCOMPARE(texts(panel, &Infoform1::LED1, GaugeCount),
                 QStringList({ "12.00", "11.10", "2000", milliamps, "16.65" }));
        QCOMPARE(panel.LED(3).scale().maximum, milliamps == "0" ? 10.0 : 2300.0);
    }

    // Controls repaint only what changed; the window must still show what a full repaint shows
    // after needles, columns, bars, colours and digits have moved.
    void partialRepaintsLeaveNothingStale()
    {
        ScriptedDialogs dialogs;
        Infoform1 panel(dialogs);
        panel.resize(1600, 140);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        const auto shown = [&] {
            QApplication::processEvents();
            return panel.screen()->grabWindow(panel.winId()).toImage();
        };
        ChannelReading low = reading("LiIo/Po/Fe", { "4.10", "3.30" });
        low[Bat_volt] = "7.40";
        low[Current] = "0.20";
        low[In_temp] = 64;
        for (const ChannelReading &r :
             { reading("LiIo/Po/Fe", { "3.70", "3.72", "3.68" }), low, reading("NiMH", {}) }) {
            panel.ShowReading(r);
            const QImage partial = shown();
            for (QWidget *w : panel.findChildren<QWidget *>())
                w->update();
            panel.update();
            QCOMPARE(shown(), partial);
        }
    }

    void docksAlongTheTopOnce()
    {
        FakeClock clock;
        QMainWindow window;
        QtCommandBar bar(&window, nullptr, {}, clock);
        ScriptedDialogs dialogs;
        auto *panel = new Infoform1(dialogs, &window);
        panel->DockYourselfTo(bar, true, 1, 0, 802);
        Tool &tool
            = bar.tool("IWillDockToActiveBarBand_Infoform1", "IWillDockToActiveBarTool_Infoform1");
        auto *dock = qobject_cast<QDockWidget *>(panel->parentWidget());
        QVERIFY(dock);
        QCOMPARE(window.dockWidgetArea(dock), Qt::TopDockWidgetArea);
        window.show();
        tool.setVisible(false);
        QVERIFY(!dock->isVisible());
        QVERIFY(dialogs.asked.isEmpty());

        panel->DockYourselfTo(bar, true, 1, 0, 802);
        QCOMPARE(dialogs.asked.size(), 1);
    }
};

QTEST_MAIN(TestInfoPanel)
#include "test_info_panel.moc"
