// The simulator's charger, read by the monitor's own decoders: the runs it plays are the
// ones its help and the README promise.

#include "charger_channel.h"
#include "frame_encoder.h"
#include "link/frame_decoders.h"
#include "support/readings.h"

#include <QTest>

using Mode = ChannelSample::Mode;
using Chemistry = ChannelSample::Chemistry;

class TestChargerSim : public QObject {
    Q_OBJECT
    static Fixed number(const Value &v) { return v.number().value_or(Fixed::fromWhole(-1000)); }
    static bool between(const Value &v, double low, double high)
    {
        return number(v) >= Fixed::fromDouble(low) && number(v) <= Fixed::fromDouble(high);
    }

private slots:
    void chargeRuns_data()
    {
        QTest::addColumn<FrameKind>("kind");
        QTest::newRow("lithium, 36 bytes") << FrameKind::Short;
        QTest::newRow("lithium, 76 bytes") << FrameKind::Medium;
        QTest::newRow("NiMH, channel 2 of 112 bytes") << FrameKind::Long;
    }
    void chargeRuns()
    {
        QFETCH(FrameKind, kind);
        const bool lithium = kind != FrameKind::Long;
        const int channel = lithium ? 1 : 2;
        ChargerChannel charger(
            { { Mode::Charge, lithium ? Chemistry::LiIon : Chemistry::NiMH, lithium ? 3 : 6,
                lithium ? 1300.0 : 2000.0, 2.0, lithium ? 0.6 : 0.3 } },
            1);
        const auto decode = kind == FrameKind::Short ? decode36
            : kind == FrameKind::Medium              ? decode76
                                                     : decode112;
        for (int second = 0; second < 100; ++second)
            charger.step();
        QVERIFY(charger.step().capacity > 50);
        charger.restart(); // counts from zero again, with the pack as it is
        QList<ChannelReading> run;
        for (int second = 0; second < 4 * 3600; ++second) {
            FrameSample frame;
            frame.channels[channel - 1] = charger.step();
            if (frame.channels[channel - 1].mode == Mode::Inactive)
                break;
            const FrameOutcome heard
                = decode(encodeFrame(kind, frame), DayTime { second / 86400.0 });
            if (const auto &reading = heard[channel - 1].reading)
                run << *reading;
        }

        QVERIFY(run.size() > 600 && number(run.first()[Cap]) <= Fixed::fromWhole(1));
        for (const ChannelReading &r : run) {
            QCOMPARE(r[Type].text() + r[Chg].text(), lithium ? "LiIo/Po/Fe+CHG+" : "NiMH+CHG+");
            QVERIFY2(between(r[In_Volt], 11, 13) && between(r[Current], 0.2, 2.0)
                         && between(r[Ext_temp], 20, 60),
                     qPrintable(texts(r).join(' ')));
            for (int c = 0; c < 12; ++c)
                QVERIFY(lithium && c < 3 ? between(r[C1 + c], 3.0, 4.25)
                                         : number(r[C1 + c]) == Fixed());
        }
        QCOMPARE(run.first()[Current].text(), "2.00");
        if (lithium) { // constant voltage at the end, the current falling off
            QVERIFY(number(run.last()[Current]) < Fixed::fromDouble(0.5));
            QVERIFY(between(run.last()[C1], 4.1, 4.2));
        } else { // ended by the voltage's drop past its peak
            QCOMPARE(run.last()[Current].text(), "2.00");
            QVERIFY(number(run.last()[Bat_volt]) < number(run[run.size() - 30][Bat_volt]));
        }
    }
};

QTEST_GUILESS_MAIN(TestChargerSim)
#include "test_charger_sim.moc"
