#include "frame_builder.h"
#include "link/frame_decoders.h"
#include "support/fake_link_host.h"

#include <QTest>

namespace {

const DayTime TenOClock { 36000 / 86400.0 };

QStringList texts(const ChannelReading &r)
{
    QStringList out;
    for (const Value &v : r)
        out << v.text();
    return out;
}

// A charging channel block at `base`: 12.37 V, 2.05 A, 25 degrees, 1234 mAh, cells 4.01 +
// k/100 from cell 1 on.
FrameBuilder &chargingBlock(FrameBuilder &f, int base, int cells)
{
    f.code(base + 1, 2).code(base + 2, 0).capacity(base + 6, 1234).pair(base + 11, 205);
    f.pair(base + 15, 1237).pair(base + 17, 25);
    for (int k = 1; k <= cells; ++k)
        f.pair(base + 17 + 2 * k, 400 + k);
    return f;
}

FrameBuilder frame36()
{
    FrameBuilder f(Frame36Length);
    chargingBlock(f, 0, 8).pair(4, 1200);
    return f;
}

FrameBuilder frame112()
{
    FrameBuilder f(Frame112Length);
    chargingBlock(f, 0, 12).pair(4, 1200);
    chargingBlock(f, 54, 12);
    return f;
}

// Charging at 1.50 A, 8.40 V; 30 and 41 degrees; 11.90 V in; 987 mAh; cells 4.20 - k/100.
FrameBuilder frame76()
{
    FrameBuilder f(Frame76Length);
    f.code(8, 1).code(23, 1).pair(33, 150).pair(35, 840).pair(37, 30).pair(39, 41);
    f.pair(41, 1190).pair(43, 987);
    for (int k = 1; k <= 12; ++k)
        f.pair(43 + 2 * k, 420 - k);
    return f;
}

using Decoder = void (*)(const QByteArray &, LinkHost &, DayTime);

} // namespace

class TestFrameDecoders : public QObject {
    Q_OBJECT
private slots:
    void pairValue_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("f");
        QTest::addColumn<qint64>("hundredths");
        QTest::newRow("zero") << 128 << 128 << qint64(0);
        QTest::newRow("whole and hundredths") << 140 << 178 << qint64(1250);
        QTest::newRow("parts cancel") << 127 << 228 << qint64(0);
        QTest::newRow("negative hundredth") << 129 << 27 << qint64(-1);
        QTest::newRow("lowest") << 0 << 0 << qint64(-12928);
        QTest::newRow("highest") << 255 << 255 << qint64(12827);
    }
    void pairValue()
    {
        QFETCH(int, w);
        QFETCH(int, f);
        QFETCH(qint64, hundredths);
        QCOMPARE(PairValue(quint8(w), quint8(f)), Fixed::fromHundredths(hundredths));
    }

    void frame36Fields()
    {
        FakeLinkHost host;
        decode36(frame36(), host, TenOClock);
        QCOMPARE(host.events.size(), 1);
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(texts(r),
                 QStringList({ "10:00:00", "LiIo/Po/Fe", "+CHG+", "25",    "0",    "12.00",
                               "12.37",    "2.05",       "1234",  "25.36", "4.01", "4.02",
                               "4.03",     "4.04",       "4.05",  "4.06",  "4.07", "4.08",
                               "0.00",     "0.00",       "0.00",  "0.00" }));
        QVERIFY(r[Time].isTime());
        QVERIFY(r[Ext_temp].isWhole() && r[In_temp].isWhole() && r[Cap].isWhole());
        QVERIFY(r[In_Volt].isFixed() && r[Bat_volt].isFixed() && r[Current].isFixed());
        QVERIFY(r[Power].isText() && r[Type].isText() && r[Chg].isText());
        for (int c = C1; c <= C12; ++c)
            QVERIFY(r[c].isFixed());
    }

    void blockModes_data()
    {
        QTest::addColumn<int>("modeByte");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<QString>("chg");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("power");
        const std::tuple<const char *, int, bool, const char *> rows[] = {
            { "inactive", 128, true, "" },
            { "below zero is inactive", 100, true, "" },
            { "discharging", 129, false, "-DSC- -2.05 25.36" },
            { "charging", 130, false, "+CHG+ 2.05 25.36" },
            { "other mode", 131, false, "  0.00" },
        };
        for (const auto &[tag, mode, ends, shown] : rows) {
            const QStringList f = QString(shown).split(' ');
            QTest::newRow(tag) << mode << ends << f.value(0) << f.value(1) << f.value(2);
        }
    }
    void blockModes()
    {
        QFETCH(int, modeByte);
        QFETCH(bool, ends);
        QFETCH(QString, chg);
        QFETCH(QString, current);
        QFETCH(QString, power);
        FakeLinkHost host;
        decode36(frame36().byte(1, modeByte), host, TenOClock);
        QCOMPARE(host.events.size(), 1);
        QCOMPARE(host.count(FakeLinkHost::Event::End, 1), ends ? 1 : 0);
        if (ends)
            return;
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(r[Chg].text(), chg);
        QCOMPARE(r[Current].isEmpty(), current.isEmpty());
        QCOMPARE(r[Current].text(), current);
        QCOMPARE(r[Power].text(), power);
    }

    void frame76Fields()
    {
        FakeLinkHost host;
        decode76(frame76(), host, TenOClock);
        QCOMPARE(host.events.size(), 1);
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(texts(r),
                 QStringList({ "10:00:00", "LiIo/Po/Fe", "+CHG+", "30",    "41",   "11.90",
                               "8.40",     "1.50",       "987",   "12.60", "4.19", "4.18",
                               "4.17",     "4.16",       "4.15",  "4.14",  "4.13", "4.12",
                               "4.11",     "4.10",       "4.09",  "4.08" }));
        QVERIFY(r[Ext_temp].isWhole() && r[In_temp].isWhole() && r[Cap].isWhole());
    }

    void frame76Modes_data()
    {
        QTest::addColumn<int>("modeByte");
        QTest::addColumn<int>("batVolt");
        QTest::addColumn<QString>("chg");
        QTest::addColumn<QString>("current");
        const std::tuple<const char *, int, int, const char *, const char *> rows[] = {
            { "charging", 129, 840, "+CHG+", "1.50" },
            { "high mode charges too", 200, 840, "+CHG+", "1.50" },
            { "idle without battery voltage", 129, 0, "Idle", "1.50" },
            { "mode zero discharges", 128, 840, "-DSC-", "-1.50" },
            { "below zero discharges", 127, 840, "-DSC-", "-1.50" },
        };
        for (const auto &[tag, mode, batVolt, chg, current] : rows)
            QTest::newRow(tag) << mode << batVolt << QString(chg) << QString(current);
    }
    void frame76Modes()
    {
        QFETCH(int, modeByte);
        QFETCH(int, batVolt);
        QFETCH(QString, chg);
        QFETCH(QString, current);
        FakeLinkHost host;
        decode76(frame76().byte(8, modeByte).pair(35, batVolt), host, TenOClock);
        // every 76-byte frame is dispatched; none ends the run
        QCOMPARE(host.events.size(), 1);
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(r[Chg].text(), chg);
        QCOMPARE(r[Current].text(), current);
    }

    void typeTables_data()
    {
        QTest::addColumn<int>("kind"); // 36, 76, or 2 for channel 2 of a 112-byte frame
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        const char *const block[]
            = { "LiIo/Po/Fe", "LiIo/Po/Fe", "LiIo/Po/Fe", "LiIo/Po/Fe", "NiMH", "NiCd", "Pb", "" };
        const char *const ch2[] = { "Unknown", "LiIo/Po/Fe", "LiIo/Po/Fe", "LiIo/Po/Fe",
                                    "NiMH",    "NiCd",       "Pb",         "Unknown" };
        const char *const f76[] = { "", "LiIo/Po/Fe", "Ni-MH", "Ni-Cd", "Pb", "", "", "" };
        for (int code = 0; code < 8; ++code) {
            QTest::addRow("36 code %d", code) << 36 << code << block[code];
            QTest::addRow("ch2 code %d", code) << 2 << code << ch2[code];
            QTest::addRow("76 code %d", code) << 76 << code << f76[code];
        }
        QTest::newRow("36 code -1") << 36 << -1 << "";
        QTest::newRow("ch2 code -1") << 2 << -1 << "Unknown";
        QTest::newRow("76 code 127") << 76 << 127 << "";
    }
    void typeTables()
    {
        QFETCH(int, kind);
        QFETCH(int, code);
        QFETCH(QString, text);
        FakeLinkHost host;
        if (kind == 36)
            decode36(frame36().code(2, code), host, TenOClock);
        else if (kind == 76)
            decode76(frame76().code(23, code), host, TenOClock);
        else
            decode112(frame112().code(56, code), host, TenOClock);
        const int channel = kind == 2 ? 2 : 1;
        QCOMPARE(host.readings(channel).value(0)[Type].text(), text);
    }

    void frame112BothChannels()
    {
        FakeLinkHost host;
        // channel 2 discharging, its own input-voltage bytes differing from 4, 5
        decode112(frame112().code(55, 1).code(56, 4).pair(58, 500).pair(69, 700), host, TenOClock);
        QCOMPARE(host.events.size(), 2);
        QCOMPARE(host.events[0].channel, 1); // channel 1 first
        QCOMPARE(host.events[1].channel, 2);
        QCOMPARE(texts(host.events[0].reading).mid(10),
                 QStringList({ "4.01", "4.02", "4.03", "4.04", "4.05", "4.06", "4.07", "4.08",
                               "4.09", "4.10", "4.11", "4.12" }));
        const ChannelReading r2 = host.events[1].reading;
        QCOMPARE(texts(r2), QStringList({ "10:00:00", "NiMH",  "-DSC-", "25",    "0",    "12.00",
                                          "7.00",     "-2.05", "1234",  "14.35", "4.01", "4.02",
                                          "4.03",     "4.04",  "4.05",  "4.06",  "4.07", "4.08",
                                          "4.09",     "4.10",  "4.11",  "4.12" }));
    }

    void frame112ChannelStates_data()
    {
        QTest::addColumn<int>("mode1");
        QTest::addColumn<int>("mode2");
        QTest::addColumn<QString>("outcome"); // R = reading, E = end, per event in order
        QTest::newRow("both charging") << 2 << 2 << "R1 R2";
        QTest::newRow("channel 1 inactive") << 0 << 2 << "E1 R2";
        QTest::newRow("channel 2 inactive") << 1 << 0 << "R1 E2";
        QTest::newRow("both inactive") << 0 << -3 << "E1 E2";
        QTest::newRow("channel 2 other mode dropped") << 2 << 3 << "R1";
        QTest::newRow("channel 1 other mode kept") << 3 << 1 << "R1 R2";
    }
    void frame112ChannelStates()
    {
        QFETCH(int, mode1);
        QFETCH(int, mode2);
        QFETCH(QString, outcome);
        FakeLinkHost host;
        const DayTime later { 50000 / 86400.0 };
        decode112(frame112().code(1, mode1).code(55, mode2), host, later);
        QStringList got;
        for (const FakeLinkHost::Event &e : host.events) {
            got << QStringLiteral("%1%2")
                       .arg(e.kind == FakeLinkHost::Event::Reading ? "R" : "E")
                       .arg(e.channel);
            if (e.kind == FakeLinkHost::Event::Reading)
                QCOMPARE(*e.reading[Time].time(), later);
        }
        QCOMPARE(got.join(u' '), outcome);
    }

    void capacityTemperatureAndPower()
    {
        FakeLinkHost host;
        // 1.25 A x 12.50 V = 15.625 W, rounded half away from zero
        decode36(frame36().capacity(6, 98765).pair(17, -5).code(1, 1).pair(11, 125).pair(15, 1250),
                 host, TenOClock);
        const ChannelReading r = host.readings(1).value(0);
        QCOMPARE(r[Cap], Value(98765));
        QCOMPARE(r[Ext_temp], Value(-5));
        QCOMPARE(r[Power].text(), "15.63");
    }

    void shortBuffersIgnored_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("36") << 36;
        QTest::newRow("76") << 76;
        QTest::newRow("112") << 112;
    }
    void shortBuffersIgnored()
    {
        QFETCH(int, kind);
        const Decoder decode = kind == 36 ? decode36 : kind == 76 ? decode76 : decode112;
        FakeLinkHost host;
        decode(QByteArray(kind - 1, char(130)), host, TenOClock);
        decode(QByteArray(), host, TenOClock);
        QVERIFY(host.events.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestFrameDecoders)
#include "test_frame_decoders.moc"
